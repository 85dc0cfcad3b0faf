#pragma once
// The program's look as a Chinese desktop program: Qt's own dialogs and buttons in simplified Chinese, and
// the program's icon on every window.

#include <QIcon>
#include <QString>

class QCoreApplication;
class QGuiApplication;

namespace AppLook {

// The icon's name in the desktop's icon theme (the installed file is named after it).
inline const QString IconName = QStringLiteral("varneljs");

// Loads Qt's simplified Chinese translations into `app` from `folder` (empty: Qt's own translations
// folder). True when Qt's base texts were found; without them Qt's dialogs stay in English.
bool InstallChineseTranslations(QCoreApplication &app, const QString &folder = QString());

// The program's icon, made from the SVG built into the program.
QIcon AppIcon();

// What the desktop entry names as its icon: the icon file beside the program when there is one (a build
// folder), otherwise the installed icon's name.
QString DesktopIcon(const QString &programFolder);

// Both of the above for the whole program: Chinese dialogs, and the icon on every window.
void Apply(QGuiApplication &app);

} // namespace AppLook
