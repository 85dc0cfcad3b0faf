#pragma once
// Routes the library routines' messages to the dialogs (error icon, application title).

namespace LibraryMessages {

// Installs the handler; windows that use the library call it (calling it again changes nothing).
void useDialogs();

} // namespace LibraryMessages
