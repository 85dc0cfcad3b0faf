#pragma once
// Making a new library file from an SQL script: the build turns data/library.sql into xqd.dll with it,
// and tests and benchmarks make their sample files the same way.

#include <QString>

namespace LibraryFile {

// Writes a new database encrypted with `password` (none when empty) holding what `sql` creates, and
// puts it at `path` in one step, replacing what was there. False with `error` set when it fails; the
// file at `path` is then as it was.
bool CreateFromSql(const QString &path, const QString &password, const QString &sql,
                   QString *error = nullptr);

} // namespace LibraryFile
