#pragma once
// The function library: one password-protected database file holding the table CSS, reached through
// three routines. Messages go through a handler that the windows install (LibraryMessages::useDialogs).

#include "library/DataAccess.h"

#include <QString>

#include <functional>
#include <memory>

namespace ModuleDataBase {

// Full path of the library file; set by the start-up, empty before.
extern QString LibraryDbPath;
inline const QString LibraryDbPassword = QStringLiteral("qtrmbwoplkex");

// The SQL texts issued on the library.
inline const QString ListingSql = QStringLiteral("select 函数名称,网址 from CSS order by 函数名称 asc");
inline const QString CountSql = QStringLiteral("select count(*) from css");
QString DeleteAllSql(const QString &table); // "delete from " + the table name quoted as an identifier

// Connection texts: one for opening, one for compaction (the keyword's letter case differs only).
QString OpeningConnectionText(const QString &path, const QString &password);
QString CompactionConnectionText(const QString &path, const QString &password);

// The default library file: xqd.dll in the program's folder.
QString DefaultLibraryDbPath();

using Connection = std::unique_ptr<DataAccess::Connection>;

// Opens `connection` (created when empty) on `path` with `password`; empty ones take the defaults and
// the caller's variables receive them. False: a message has been shown and the connection is released
// (when the file exists but would not open) or left alone (when the file is missing).
bool OpenLibraryConnection(Connection &connection, QString &path, QString &password);

// Replaces the file at `path` with a compacted copy encrypted with the same password. False, without a
// message and with the files as they were, when the file is missing, not a library, encrypted with
// another password, open through a connection of this program, or the copy cannot be made.
bool CompactLibraryDb(const QString &path, const QString &password);

// Deletes every row of `table` through a connection of its own with the default file and password.
// Nothing happens when that connection cannot be opened (its message has been shown); a failing delete
// is reported with a message. Returns whether the rows were deleted.
bool ClearLibraryTable(const QString &table);

// Where the routines' messages go (shown with the error icon and the application title). Without a
// handler they go to the debug log.
using MessageHandler = std::function<void(const QString &text)>;
void SetMessageHandler(MessageHandler handler);
bool HasMessageHandler();
// Shows `text` through the handler.
void ReportMessage(const QString &text);

// The message texts.
inline const QString MissingFileMessage = QStringLiteral("找不到合法的数据库文件或者数据库文件格式不对！");
inline const QString OpenFailedMessage = QStringLiteral("连接数据库失败！");

namespace testing {
// Called by CompactLibraryDb after the copy is complete and before it takes the file's place, with the
// copy's path. Returning false abandons the compaction there, as a crash would.
void SetBeforeReplaceHook(std::function<bool(const QString &tempPath)> hook);
// Called right after the rows are copied and before they are counted, with the connection that holds
// the copy attached under the schema name `copySchema`: a test can make the copy come out short.
void SetAfterCopyHook(std::function<void(DataAccess::Connection &, const QString &copySchema)> hook);
// Stands in for the rename that puts the copy in the file's place; returning false makes it fail.
void SetRenameHook(std::function<bool(const QString &from, const QString &to)> hook);
} // namespace testing

} // namespace ModuleDataBase
