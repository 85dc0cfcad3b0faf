#pragma once
// Routes the library routines' messages to the dialogs (error icon, application title).

namespace LibraryMessages {

// Installs the handler (the program does so at start-up; tests do so to capture the messages).
void useDialogs();
// Installs it unless another handler is in place; windows that use the library call it.
void ensureInstalled();

} // namespace LibraryMessages
