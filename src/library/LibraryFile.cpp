#include "library/LibraryFile.h"

#include "library/SqlCipher.h"

#include <QFile>

#include <cstdio>

namespace LibraryFile {

bool CreateFromSql(const QString &path, const QString &password, const QString &sql, QString *error) {
    const QString building = path + QStringLiteral(".building");
    QFile::remove(building);
    const QByteArray file = QFile::encodeName(building);
    sqlite3 *db = nullptr;
    QString problem;
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        problem = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("cannot create the file");
    } else {
        const QByteArray key = password.toUtf8();
        char *message = nullptr;
        if (!key.isEmpty() && sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
            problem = QString::fromUtf8(sqlite3_errmsg(db));
        else if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
            problem = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(message);
    }
    if (sqlite3_close(db) != SQLITE_OK && problem.isEmpty())
        problem = QStringLiteral("cannot close the new database");
    if (problem.isEmpty() && std::rename(file.constData(), QFile::encodeName(path).constData()) != 0)
        problem = QStringLiteral("cannot move the new database into place");
    if (!problem.isEmpty()) {
        QFile::remove(building);
        if (error)
            *error = problem;
        return false;
    }
    return true;
}

} // namespace LibraryFile
