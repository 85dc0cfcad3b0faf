#pragma once
// Paths from maps are hostile input. These turn a source's name into a relative path that is safe to write
// under a folder the user chose, and give each source of a save its own path.

#include <QSet>
#include <QString>
#include <QStringList>

namespace SourceMaps {

// `name` as "/"-separated relative path: a scheme becomes a folder ("webpack://app/x.js" → webpack/app/x.js),
// a drive letter too; "", "." and ".." segments are dropped; characters file systems refuse (controls, NUL,
// <>:"|?*) become "_"; names the platform reserves (CON, NUL, COM1, ...) get a leading "_"; trailing dots and
// spaces go; segments over 120 bytes of UTF-8 are shortened with a hash; more than 32 levels are folded into
// one hashed folder. Never empty, never absolute, never leaves the folder it is joined to.
QString safeRelativePath(const QString &name);

// The paths of one save: each name's safeRelativePath, with a suffix "~2", "~3", ... before the extension
// when it would clash with an earlier path (equal ignoring case, or a file where a folder is or the other way
// round). The same names in the same order always get the same paths.
class OutputNames {
public:
    QString place(const QString &name);

private:
    QSet<QString> m_files; // folded to lower case
    QSet<QString> m_folders;
};

// A source's place in the tree of the window: `webpack://app/./src/ui/menu.ts` gives
// ["webpack://app", "src", "ui", "menu.ts"]; "." and empty segments go, ".." takes one level back.
QStringList treePath(const QString &address);

} // namespace SourceMaps
