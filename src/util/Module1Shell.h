#pragma once
// Module1's routines that talk to the desktop: the applications menu folder, the program's menu entry,
// opening an address in the browser and composing the feedback mail. None of them reports a failure.

#include <QString>

class QDate;
class QWidget;

namespace Module1 {

// The user's applications menu folder; empty until LookUpProgramsFolder runs.
extern QString ProgramsFolder;
void LookUpProgramsFolder();

// Writes the desktop entry `folder` + `name` + ".desktop" for the program `target`, replacing an older
// one. `folder` gets a final "/" if it lacks one (the caller sees that); an empty folder writes nothing.
// `icon` (an icon name or an absolute file path) becomes the entry's icon when it is not empty.
void CreateProgramShortcut(const QString &name, const QString &description, const QString &target,
                           QString &folder, const QString &icon = QString());

// The text of the desktop entry CreateProgramShortcut writes (LF line breaks, values escaped).
QString DesktopEntryText(const QString &name, const QString &description, const QString &target,
                         const QString &workingFolder, const QString &icon = QString());

// Asks the desktop to show `address` in the browser.
void OpenInNewBrowserWindow(const QString &address);

// The "mailto:" text of the feedback mail written on `date`, unescaped.
QString FeedbackMailAddress(const QDate &date);
// Hands today's feedback mail to the desktop's mail program. `window` is the owner (unused here).
void SendFeedbackMail(QWidget *window);

} // namespace Module1
