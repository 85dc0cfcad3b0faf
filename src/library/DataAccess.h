#pragma once
// A small connection / record-set layer over SQLCipher, shaped after what the library routines need:
// a connection opened with a connection text (state 1 = open), statements executed on it, and record
// sets opened with an SQL text whose fields are read by position.
//
// A connection never creates a database: opening a missing file fails. Opening checks the key at once
// (by reading the schema), so a wrong password or a foreign file fails at open with the engine's
// explanation. Every open connection is entered in a registry by canonical path, so the compaction can
// tell that the file is in use by this program.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;

namespace DataAccess {

inline constexpr int StateClosed = 0;
inline constexpr int StateOpen = 1;

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the file named by "Data Source", keyed with the database password when one is given.
    // On failure the state stays closed and errorDescription() says why.
    bool open(const QString &connectionText);
    int state() const { return db_ ? StateOpen : StateClosed; }
    // Runs one or more statements; false with errorDescription() on failure.
    bool execute(const QString &sql);
    void close();

    QString errorDescription() const { return error_; }
    // The file as opened (absolute path); empty when closed.
    QString filePath() const { return filePath_; }
    sqlite3 *handle() const { return db_; }

    // Records `text` as the last error (for routines that work on handle() directly).
    void setError(const QString &text) { error_ = text; }

private:
    sqlite3 *db_ = nullptr;
    QString filePath_;
    QString registryKey_;
    QString error_;
};

// A static snapshot of a query's result: every row is read at open, so no statement stays active on the
// connection (other connections can write meanwhile) and rows are reachable by index.
class RecordSet {
public:
    bool open(const QString &sql, Connection &connection);
    int state() const { return open_ ? StateOpen : StateClosed; }
    void close();

    int fieldCount() const { return int(names_.size()); }
    QString fieldName(int field) const { return names_.value(field); }
    int rowCount() const { return rows_; }
    // Field `field` (0-based) of row `row` (0-based); an invalid QVariant for NULL or out of range.
    QVariant value(int row, int field) const;

    QString errorDescription() const { return error_; }

private:
    bool open_ = false;
    QStringList names_;
    QList<QVariant> values_; // row-major
    int rows_ = 0;
    QString error_;
};

// The engine's own text for an error code (e.g. "file is encrypted or is not a database").
QString EngineErrorText(int code);

// True while a connection of this program has the file at `path` open.
bool IsOpenInProgram(const QString &path);

// `name` quoted as an SQL identifier.
QString QuoteIdentifier(const QString &name);

} // namespace DataAccess
