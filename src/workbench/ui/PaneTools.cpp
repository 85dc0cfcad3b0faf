#include "workbench/ui/PaneTools.h"

#include "platform/ui/TextPane.h"
#include "workbench/FindNext.h"
#include "workbench/Normaliser.h"
#include "workbench/PaneBlocks.h"

#include <exception>

bool NormalisePane(TextPane *pane, const NormaliseOptions &options) {
    if (!pane)
        return false;
    try {
        // On the editor's own UTF-8, so the whole text is never converted to UTF-16 and back. Each
        // script block the pane marks is normalised on its own; header lines stay as they are.
        const QByteArrayView text = pane->utf8View();
        const QList<int> lines = pane->blockLines();
        const bool headed = pane->blocksHeaded();
        QList<CodeRange> moved;
        const QByteArray result =
            NormaliseCodeBlocksUtf8(text, BlockRangesOfLines(text, lines, headed), options, &moved);
        pane->setUtf8Text(result);
        if (!lines.isEmpty())
            pane->setBlocks(LinesOfBlocks(result, moved, headed), headed);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

int FindNextInPane(TextPane *pane, const QString &needle) {
    if (!pane || needle.isEmpty())
        return -1;
    const int caret = pane->selectionStart();
    pane->setSelection(caret, 0);
    const int found = FindNext(pane->text(), needle, caret);
    if (found >= 0)
        pane->setSelection(found, int(needle.size()));
    return found;
}
