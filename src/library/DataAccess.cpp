#include "library/DataAccess.h"

#include "library/ConnectionText.h"
#include "library/SqlCipher.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace DataAccess {

namespace {

// Connections open in this program, by canonical path (one entry per connection).
QHash<QString, int> &openFiles() {
    static QHash<QString, int> files;
    return files;
}

QString canonicalKey(const QString &path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

QString errorOf(sqlite3 *db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Why the file at `path` cannot be a database, or an empty text when it may be one.
QString unusableFileReason(const QString &path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return EngineErrorText(SQLITE_CANTOPEN) + QStringLiteral(" (") +
               QString::fromLocal8Bit(std::strerror(errno)) + QLatin1Char(')');
    if (!S_ISREG(st.st_mode))
        return EngineErrorText(SQLITE_CANTOPEN) + QStringLiteral(" (") +
               QString::fromLocal8Bit(std::strerror(EISDIR)) + QLatin1Char(')');
    // An empty file would be taken for a new database; it is not a library.
    if (st.st_size == 0)
        return EngineErrorText(SQLITE_NOTADB);
    return QString();
}

} // namespace

QString EngineErrorText(int code) {
    return QString::fromUtf8(sqlite3_errstr(code));
}

bool IsOpenInProgram(const QString &path) {
    return openFiles().value(canonicalKey(path)) > 0;
}

QString QuoteIdentifier(const QString &name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

Connection::~Connection() {
    close();
}

bool Connection::open(const QString &connectionText) {
    close();
    error_.clear();
    const QHash<QString, QString> pairs = ParseConnectionText(connectionText);
    const QString source = pairs.value(DataSourceKey);
    if (source.isEmpty()) {
        error_ = QStringLiteral("no Data Source in the connection text");
        return false;
    }
    // Absolute, so that a name such as "file:..." is never taken for a URI.
    const QString path = QFileInfo(source).absoluteFilePath();
    error_ = unusableFileReason(path);
    if (!error_.isEmpty())
        return false;

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        error_ = db ? errorOf(db) : EngineErrorText(rc);
        sqlite3_close(db);
        return false;
    }
    const QByteArray password = pairs.value(PasswordKey).toUtf8();
    if (!password.isEmpty() && sqlite3_key(db, password.constData(), int(password.size())) != SQLITE_OK) {
        error_ = errorOf(db);
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 2000);
    // Decrypting a page costs more than keeping it: a larger cache lets the count after the listing
    // reuse the pages the listing read.
    sqlite3_exec(db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    // Reading the schema checks the key and the file format now rather than at the first query.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        error_ = errorOf(db);
        sqlite3_close(db);
        return false;
    }
    db_ = db;
    filePath_ = path;
    registryKey_ = canonicalKey(path);
    ++openFiles()[registryKey_];
    return true;
}

bool Connection::execute(const QString &sql) {
    error_.clear();
    if (!db_) {
        error_ = QStringLiteral("the connection is closed");
        return false;
    }
    char *message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        error_ = message ? QString::fromUtf8(message) : EngineErrorText(rc);
        sqlite3_free(message);
        return false;
    }
    return true;
}

void Connection::close() {
    if (!db_)
        return;
    sqlite3_close_v2(db_);
    db_ = nullptr;
    if (--openFiles()[registryKey_] <= 0)
        openFiles().remove(registryKey_);
    registryKey_.clear();
    filePath_.clear();
}

bool RecordSet::open(const QString &sql, Connection &connection) {
    close();
    error_.clear();
    sqlite3 *db = connection.handle();
    if (!db) {
        error_ = QStringLiteral("the connection is closed");
        return false;
    }
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        error_ = errorOf(db);
        sqlite3_finalize(stmt);
        return false;
    }
    const int columns = sqlite3_column_count(stmt);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt, c));
    QList<QVariant> values;
    int rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                values.append(QVariant(qint64(sqlite3_column_int64(stmt, c))));
                break;
            case SQLITE_FLOAT:
                values.append(QVariant(sqlite3_column_double(stmt, c)));
                break;
            case SQLITE_NULL:
                values.append(QVariant());
                break;
            case SQLITE_BLOB: {
                const void *blob = sqlite3_column_blob(stmt, c);
                values.append(
                    QVariant(QByteArray(static_cast<const char *>(blob), sqlite3_column_bytes(stmt, c))));
                break;
            }
            default: {
                const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                values.append(QVariant(QString::fromUtf8(chars, sqlite3_column_bytes(stmt, c))));
                break;
            }
            }
        }
        ++rows;
    }
    if (rc != SQLITE_DONE) {
        error_ = errorOf(db);
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_finalize(stmt);
    names_ = names;
    values_ = std::move(values);
    rows_ = rows;
    open_ = true;
    return true;
}

void RecordSet::close() {
    open_ = false;
    names_.clear();
    values_.clear();
    rows_ = 0;
}

QVariant RecordSet::value(int row, int field) const {
    if (row < 0 || row >= rows_ || field < 0 || field >= names_.size())
        return QVariant();
    return values_.at(qsizetype(row) * names_.size() + field);
}

} // namespace DataAccess
