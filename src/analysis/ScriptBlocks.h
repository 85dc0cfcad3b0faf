#pragma once
// Where the scripts of a combined text are: one block per header line of the collection's form,
// "网址" + number + class tag + address, at the start of a line. Offsets are 0-based UTF-16 positions.
//
// A block's body runs from the line after its header to the next header, without the one line break
// the collection puts after every body; for the last block, to the end of the text, likewise. A line
// of header form counts only when its number is greater than the previous header's (so a script whose
// own text holds such a line, or a block the user deleted, does not break the blocks that follow).
// Text before the first header belongs to no block. A text without headers has no blocks.

#include "analysis/ScriptClass.h"

#include <QList>
#include <QString>
#include <QStringView>

struct ScriptBlock {
    int number = 0;
    ScriptClass kind = ScriptClass::Other;
    QString address;
    qsizetype headerStart = 0; // the "网址" of the header line (== bodyStart when headers are left out)
    qsizetype bodyStart = 0;   // just after the header line's line break
    qsizetype bodyEnd = 0;     // just before the body's closing line break
    bool operator==(const ScriptBlock &) const = default;
};

QList<ScriptBlock> findScriptBlocks(QStringView combined);
