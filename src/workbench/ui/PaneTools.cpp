#include "workbench/ui/PaneTools.h"

#include "platform/ui/TextPane.h"
#include "workbench/FindNext.h"
#include "workbench/Normaliser.h"

#include <exception>

bool NormalisePane(TextPane *pane) {
    if (!pane)
        return false;
    try {
        const QString result = NormaliseCodeText(pane->text());
        pane->setText(result);
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
