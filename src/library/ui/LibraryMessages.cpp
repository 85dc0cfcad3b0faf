#include "library/ui/LibraryMessages.h"

#include "library/ModuleDataBase.h"
#include "platform/ui/Dialogs.h"

namespace LibraryMessages {

void useDialogs() {
    ModuleDataBase::SetMessageHandler([](const QString &text) {
        Dialogs::current().message(nullptr, text, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    });
}

void ensureInstalled() {
    if (!ModuleDataBase::HasMessageHandler())
        useDialogs();
}

} // namespace LibraryMessages
