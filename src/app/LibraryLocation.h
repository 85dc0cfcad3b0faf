#pragma once
// Where the library file lives. A program that has one beside it (the build folder, a portable copy)
// keeps it there; an installed program has none beside it and keeps the user's own copy in the user's
// data folder, made from the installed template on first start.

#include <QString>

namespace LibraryLocation {

// The installed template of a program in `programFolder` (…/bin): …/share/varneljs/xqd.dll.
QString InstalledTemplate(const QString &programFolder);

// The library file for a program in `programFolder`: the one beside it when there is one; otherwise
// xqd.dll in `userDataFolder`, copied there from `templatePath` when it is not there yet. A copy that
// cannot be made leaves the user's file missing (the library browser then says so); a half-written copy
// never takes the file's name.
QString Resolve(const QString &programFolder, const QString &userDataFolder, const QString &templatePath);

} // namespace LibraryLocation
