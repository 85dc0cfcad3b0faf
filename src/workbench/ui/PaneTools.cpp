#include "workbench/ui/PaneTools.h"

#include "platform/ui/TextPane.h"
#include "workbench/FindNext.h"
#include "workbench/Normaliser.h"

#include <exception>

bool NormalisePane(TextPane *pane) {
    if (!pane)
        return false;
    try {
        // On the editor's own UTF-8, so the whole text is never converted to UTF-16 and back.
        const QByteArray result = NormaliseCodeUtf8(pane->utf8View());
        pane->setUtf8Text(result);
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
