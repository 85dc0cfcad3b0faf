#pragma once
// The script blocks of a combined text, found from its header lines: "网址" + number + class tag
// ("[网页内JS]：", "[网络JS]：", "[本地JS]：" or "：") + address + CR LF, at the start of the text or of a
// line. The numbers run on from the first header one by one, so a line of a script that merely looks like
// a header does not split it. A body runs from after its header to the CR LF before the next header (the
// last one to the text's final CR LF). A text that does not begin with a header (numbering switched off,
// a plain script) is one block numbered 0.

#include <QList>
#include <QString>
#include <QStringList>

struct ScriptBlock {
    int number = 0;
    qsizetype bodyStart = 0; // 0-based UTF-16 offsets, end exclusive
    qsizetype bodyEnd = 0;
};

QList<ScriptBlock> ScriptBlocksOf(const QString &text);

// The same with the header lines known (their text without the line break, in script order, as
// HeaderOfListEntry gives them): found by their exact text, also where the normaliser has joined a header
// to the line after it. Headers not in the text are skipped; with none found, ScriptBlocksOf(text).
QList<ScriptBlock> ScriptBlocksOf(const QString &text, const QStringList &headers);

// The header line of script `index` from its script-list entry ("[本地JS-1] C:/a.js" -> "网址1[本地JS]：C:/a.js").
QString HeaderOfListEntry(int index, const QString &entry);
