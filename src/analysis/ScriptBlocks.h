#pragma once
// The script blocks of a combined text, found from its header lines: "网址" + number + class tag
// ("[网页内JS]：", "[网络JS]：", "[本地JS]：" or "：") + address, at the start of the text or of a line.
// Offsets are 0-based UTF-16 positions, end exclusive.
//
// Two readings, for two uses:
// - findScriptBlocks: the blocks where header lines stand, with each block's class, address and header
//   position. A line of header form counts only when its number is greater than the previous header's (a
//   script whose own text holds such a line, or a block the user deleted, does not break the blocks that
//   follow). A body runs from the line after its header to the next header, without the one line break
//   the collection puts after every body; the last one likewise to the end of the text. Text before the
//   first header belongs to no block; a text without headers has no blocks.
// - ScriptBlocksOf: the decomposition's reading. The numbers run on from the first header one by one; a
//   body ends at the CR LF before the next header (the last one at the text's final CR LF). A text that
//   does not begin with a header (numbering switched off, a plain script) is one block numbered 0.

#include "analysis/ScriptClass.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

struct ScriptBlock {
    int number = 0;
    qsizetype bodyStart = 0;
    qsizetype bodyEnd = 0;
    // Filled by findScriptBlocks (ScriptBlocksOf leaves them as they are).
    ScriptClass kind = ScriptClass::Other;
    QString address;
    qsizetype headerStart = 0; // the "网址" of the header line (== bodyStart when headers are left out)
    bool operator==(const ScriptBlock &) const = default;
};

QList<ScriptBlock> findScriptBlocks(QStringView combined);

QList<ScriptBlock> ScriptBlocksOf(const QString &text);

// The same with the header lines known (their text without the line break, in script order, as
// HeaderOfListEntry gives them): found by their exact text, also where the normaliser has joined a header
// to the line after it. Headers not in the text are skipped; with none found, ScriptBlocksOf(text).
QList<ScriptBlock> ScriptBlocksOf(const QString &text, const QStringList &headers);

// The 0-based line of each header of `headers` in `text` (line breaks CR LF, LF or a lone CR, as the
// editor counts them), found as ScriptBlocksOf(text, headers) finds them; a header not in the text takes
// the line of the one before it. Empty when the text does not begin with a header (numbering off).
QList<int> HeaderLinesOf(const QString &text, const QStringList &headers);

// The header line of script `index` from its script-list entry ("[本地JS-1] C:/a.js" -> "网址1[本地JS]：C:/a.js").
QString HeaderOfListEntry(int index, const QString &entry);
// The header lines of a whole script list, in its order.
QStringList HeadersOfListEntries(const QStringList &entries);
