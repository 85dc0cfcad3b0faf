#pragma once
// Sample library files for the library tests.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace LibraryFixtures {

using Entry = QPair<QString, QString>; // 函数名称, 网址

// The table CSS with the library's six text columns, holding `entries` in the given order; `padding`
// characters of filler go into ABC of every row (to give the file some size).
QString LibrarySql(const QList<Entry> &entries, int padding = 0);

// Writes a library file at `path`; fails the test when it cannot.
void MakeLibrary(const QString &path, const QList<Entry> &entries, const QString &password, int padding = 0);

// Entries "f00000".."fNNNNN" with addresses, in a shuffled order.
QList<Entry> ManyEntries(int count);

// The names and addresses in CSS, in ascending order of name (the rowid breaks ties); empty if unreadable.
QList<Entry> ReadEntries(const QString &path, const QString &password);

qint64 FileSize(const QString &path);

} // namespace LibraryFixtures
