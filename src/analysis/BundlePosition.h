#pragma once
// Where a position of the combined text lies in the script it belongs to, as a source map counts it:
// the script's number, and the line and column within the script's own text (from 0; lines end at LF,
// CR LF, CR, U+2028 and U+2029 as in JavaScript; columns in UTF-16 code units).

#include "analysis/ScriptBlocks.h"

#include <QList>
#include <QStringView>

#include <optional>

struct BundlePosition {
    int script = 0;
    int line = 0;
    int column = 0;
    qsizetype bodyStart = 0; // the script's body in the text
    qsizetype bodyEnd = 0;
};

// The block of `blocks` whose body holds `offset` (its end included), and the line and column there.
std::optional<BundlePosition> positionInScript(QStringView text, const QList<ScriptBlock> &blocks,
                                               qsizetype offset);
