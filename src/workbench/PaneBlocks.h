#pragma once
// The script blocks of a text pane as code ranges, and back: the pane marks the line where each block
// starts (its header line, or its first line when the headers are left out); the normaliser works on
// ranges. Offsets are UTF-8 bytes, as the pane holds its text; lines end at CR LF, LF or a lone CR.

#include "workbench/Normaliser.h"

#include <QByteArrayView>
#include <QList>

// The bodies of the blocks that start at `lines` (ascending): from the line after the header (or from
// the line itself when not `headed`) to the next block, without the one line break before it; the last
// one to the end, likewise. No lines: the whole text is one block.
QList<CodeRange> BlockRangesOfLines(QByteArrayView text, const QList<int> &lines, bool headed);

// The line each block of `blocks` starts at in `text`: its header's line when `headed`.
QList<int> LinesOfBlocks(QByteArrayView text, const QList<CodeRange> &blocks, bool headed);
