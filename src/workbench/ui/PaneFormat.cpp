#include "workbench/ui/PaneFormat.h"

#include "platform/ui/TextPane.h"
#include "workbench/LinePitch.h"

namespace Module1 {

void SetWordWrap(TextPane *pane, short value) {
    if (pane)
        pane->setWordWrap(value == 1);
}

void SetLineSpacing(TextPane *pane, int extra) {
    if (!pane)
        return;
    // The rule goes to every paragraph the selection touches; selecting from offset 1 to the end touches
    // them all.
    pane->setSelection(1, pane->length());
    pane->setLinePitchTwips(LinePitchTwips(pane->fontPointSize(), extra));
    pane->setSelection(1, 0);
}

} // namespace Module1
