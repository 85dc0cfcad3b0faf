#include "app/LibraryLocation.h"

#include "util/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace LibraryLocation {

namespace {

QString inFolder(const QString &folder, const QString &name) {
    return QDir(folder).filePath(name);
}

// Copies `from` to `to` through a temporary name in the same folder, so `to` is whole or absent.
void copyWhole(const QString &from, const QString &to) {
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part))
        return;
    // The template is installed read-only; the user's copy is theirs to change.
    QFile::setPermissions(part, QFile::permissions(part) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (!QFile::rename(part, to))
        QFile::remove(part);
}

} // namespace

QString InstalledTemplate(const QString &programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/varneljs/") + AppInfo::LibraryFileName);
}

QString Resolve(const QString &programFolder, const QString &userDataFolder, const QString &templatePath) {
    const QString beside = inFolder(programFolder, AppInfo::LibraryFileName);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString own = inFolder(userDataFolder, AppInfo::LibraryFileName);
    if (!QFileInfo(own).isFile() && QFileInfo(templatePath).isFile() && QDir().mkpath(userDataFolder))
        copyWhole(templatePath, own);
    return own;
}

} // namespace LibraryLocation
