#pragma once
// Opening addresses and mails with the desktop's handlers. Failures are ignored: callers never report them.

#include <QString>
#include <QUrl>
#include <functional>

namespace Shell {

// Asks the desktop to open `address` (a web page or a mailto: address). Returns whether the desktop accepted.
bool openUrl(const QString &address);

// Replaces the desktop call, so tests can record what would be opened; an empty function restores it.
void setUrlOpener(std::function<bool(const QUrl &)> opener);

} // namespace Shell
