#include "library/ModuleDataBase.h"

#include "library/ConnectionText.h"
#include "library/SqlCipher.h"
#include "util/AppInfo.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ModuleDataBase {

QString LibraryDbPath;

namespace {

const QString CrLf = QStringLiteral("\r\n");
const char *const CopySchema = "varnel_compact";

MessageHandler &messageHandler() {
    static MessageHandler handler;
    return handler;
}

std::function<bool(const QString &)> &beforeReplaceHook() {
    static std::function<bool(const QString &)> hook;
    return hook;
}

std::function<void(DataAccess::Connection &, const QString &)> &afterCopyHook() {
    static std::function<void(DataAccess::Connection &, const QString &)> hook;
    return hook;
}

std::function<bool(const QString &, const QString &)> &renameHook() {
    static std::function<bool(const QString &, const QString &)> hook;
    return hook;
}

QByteArray encoded(const QString &path) {
    return QFile::encodeName(path);
}

bool renameFile(const QString &from, const QString &to) {
    if (renameHook())
        return renameHook()(from, to);
    return std::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

// Whether a regular file is at `path`; `problem` receives the system's reason when the test itself
// failed for another cause than a missing file.
bool fileExists(const QString &path, QString *problem) {
    struct stat st {};
    if (::stat(encoded(path).constData(), &st) != 0) {
        if (errno != ENOENT && problem)
            *problem = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (problem)
            *problem = QString::fromLocal8Bit(std::strerror(EISDIR));
        return false;
    }
    return true;
}

// Anything at all at `path`, a dangling link included.
bool somethingAt(const QString &path) {
    struct stat st {};
    return ::lstat(encoded(path).constData(), &st) == 0;
}

bool exec(sqlite3 *db, const QString &sql) {
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// One integer from a single-value query; -1 when it fails.
qint64 queryNumber(sqlite3 *db, const QString &sql) {
    sqlite3_stmt *stmt = nullptr;
    qint64 result = -1;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        result = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return result;
}

bool attachCopy(sqlite3 *db, const QString &path, const QString &password) {
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = QByteArray("ATTACH DATABASE ?1 AS ") + CopySchema + " KEY ?2";
    const QByteArray file = encoded(path);
    const QByteArray key = password.toUtf8();
    bool ok = sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK &&
              sqlite3_bind_text(stmt, 1, file.constData(), int(file.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
              sqlite3_bind_text(stmt, 2, key.constData(), int(key.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
              sqlite3_step(stmt) == SQLITE_DONE;
    sqlite3_finalize(stmt);
    return ok;
}

// Every table of the copy holds as many rows as the original.
bool copyIsComplete(sqlite3 *db) {
    sqlite3_stmt *stmt = nullptr;
    const char *sql = "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'";
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return false;
    }
    QStringList tables;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        return false;
    for (const QString &table : tables) {
        const QString name = DataAccess::QuoteIdentifier(table);
        const qint64 original = queryNumber(db, QStringLiteral("SELECT count(*) FROM main.") + name);
        const qint64 copy =
            queryNumber(db, QStringLiteral("SELECT count(*) FROM ") + QLatin1String(CopySchema) + '.' + name);
        if (original < 0 || original != copy)
            return false;
    }
    return true;
}

// Creates an empty file at `path` (which must not exist) with the permissions of `like`.
bool createEmptyFile(const QString &path, const QString &like) {
    struct stat st {};
    const mode_t mode = ::stat(encoded(like).constData(), &st) == 0 ? (st.st_mode & 0777) : 0644;
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

void syncFolderOf(const QString &path) {
    const int fd =
        ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the compacted copy of the open `source` to `copyPath`; false leaves no usable copy behind.
bool writeCompactedCopy(DataAccess::Connection &source, const QString &copyPath,
                        const QString &copyPassword) {
    sqlite3 *db = source.handle();
    if (!createEmptyFile(copyPath, source.filePath()))
        return false;
    if (!attachCopy(db, copyPath, copyPassword))
        return false;
    // The exclusive transaction keeps other processes from writing to the original while it is copied.
    bool ok = exec(db, QStringLiteral("BEGIN EXCLUSIVE")) &&
              exec(db, QStringLiteral("SELECT sqlcipher_export('%1')").arg(QLatin1String(CopySchema)));
    if (ok && afterCopyHook())
        afterCopyHook()(source, QLatin1String(CopySchema));
    ok = ok && copyIsComplete(db) && exec(db, QStringLiteral("COMMIT"));
    if (!ok)
        exec(db, QStringLiteral("ROLLBACK"));
    ok = exec(db, QStringLiteral("DETACH DATABASE %1").arg(QLatin1String(CopySchema))) && ok;
    return ok;
}

} // namespace

QString DeleteAllSql(const QString &table) {
    return QStringLiteral("delete from ") + DataAccess::QuoteIdentifier(table);
}

QString OpeningConnectionText(const QString &path, const QString &password) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           DataAccess::QuoteConnectionValue(path) + QStringLiteral(";jet oledb:database password=") +
           DataAccess::QuoteConnectionValue(password);
}

QString CompactionConnectionText(const QString &path, const QString &password) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           DataAccess::QuoteConnectionValue(path) + QStringLiteral(";Jet OLEDB:Database Password=") +
           DataAccess::QuoteConnectionValue(password);
}

QString DefaultLibraryDbPath() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + AppInfo::LibraryFileName;
}

void SetMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}

bool HasMessageHandler() {
    return bool(messageHandler());
}

void ReportMessage(const QString &text) {
    if (messageHandler())
        messageHandler()(text);
    else
        qWarning().noquote() << text;
}

bool OpenLibraryConnection(Connection &connection, QString &path, QString &password) {
    if (path.isEmpty())
        path = LibraryDbPath;
    if (password.isEmpty())
        password = LibraryDbPassword;

    QString lastError;
    if (!fileExists(path, &lastError)) {
        ReportMessage(MissingFileMessage + CrLf + lastError);
        return false;
    }
    if (!connection)
        connection = std::make_unique<DataAccess::Connection>();
    connection->open(OpeningConnectionText(path, password));
    if (connection->state() == DataAccess::StateOpen)
        return true;
    const QString reason = connection->errorDescription();
    connection.reset();
    ReportMessage(OpenFailedMessage + reason);
    return false;
}

bool CompactLibraryDb(const QString &path, const QString &password) {
    const QString tempPath = path + QStringLiteral("DDD");
    // Nothing is touched unless the file is a library that this program does not hold open.
    if (!fileExists(path, nullptr) || DataAccess::IsOpenInProgram(path))
        return false;

    const auto source = DataAccess::ParseConnectionText(CompactionConnectionText(path, password));
    const auto target = DataAccess::ParseConnectionText(CompactionConnectionText(tempPath, password));
    DataAccess::Connection connection;
    if (!connection.open(CompactionConnectionText(path, password)))
        return false;

    const QString copyPath = target.value(DataAccess::DataSourceKey);
    if (somethingAt(copyPath))
        QFile::remove(copyPath);
    if (somethingAt(copyPath))
        return false;

    const bool copied = writeCompactedCopy(connection, copyPath, target.value(DataAccess::PasswordKey));
    connection.close();
    if (!copied) {
        QFile::remove(copyPath);
        return false;
    }
    if (beforeReplaceHook() && !beforeReplaceHook()(copyPath))
        return false;
    // The copy takes the file's place in one step; the original exists until then.
    const QString original = source.value(DataAccess::DataSourceKey);
    if (!renameFile(copyPath, original)) {
        QFile::remove(copyPath);
        return false;
    }
    syncFolderOf(original);
    return true;
}

bool ClearLibraryTable(const QString &table) {
    Connection connection = std::make_unique<DataAccess::Connection>();
    QString path;
    QString password;
    bool cleared = false;
    if (OpenLibraryConnection(connection, path, password)) {
        cleared = connection->execute(DeleteAllSql(table));
        if (!cleared)
            ReportMessage(MissingFileMessage + CrLf + connection->errorDescription());
        connection->close();
    }
    connection.reset();
    return cleared;
}

namespace testing {
void SetBeforeReplaceHook(std::function<bool(const QString &)> hook) {
    beforeReplaceHook() = std::move(hook);
}
void SetAfterCopyHook(std::function<void(DataAccess::Connection &, const QString &)> hook) {
    afterCopyHook() = std::move(hook);
}
void SetRenameHook(std::function<bool(const QString &, const QString &)> hook) {
    renameHook() = std::move(hook);
}
} // namespace testing

} // namespace ModuleDataBase
