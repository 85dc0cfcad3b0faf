#include "LibraryFixtures.h"

#include "library/DataAccess.h"
#include "library/LibraryFile.h"
#include "library/ModuleDataBase.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

namespace LibraryFixtures {

namespace {
QString literal(const QString &text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
} // namespace

QString LibrarySql(const QList<Entry> &entries, int padding) {
    QString sql =
        QStringLiteral("CREATE TABLE CSS (函数名称 TEXT, 网址 TEXT, TI TEXT, PR TEXT, VA TEXT, ABC TEXT);\n"
                       "BEGIN;\n");
    const QString filler = literal(QString(padding, QLatin1Char('x')));
    for (const Entry &e : entries)
        sql += QStringLiteral("INSERT INTO CSS VALUES (%1, %2, 'title', 'p', 'v', %3);\n")
                   .arg(literal(e.first), literal(e.second), filler);
    sql += QStringLiteral("COMMIT;\n");
    return sql;
}

void MakeLibrary(const QString &path, const QList<Entry> &entries, const QString &password, int padding) {
    QString error;
    QVERIFY2(LibraryFile::CreateFromSql(path, password, LibrarySql(entries, padding), &error),
             qPrintable(error));
}

QList<Entry> ManyEntries(int count) {
    QList<Entry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i)
        entries.append({QStringLiteral("f%1").arg(i, 6, 10, QLatin1Char('0')),
                        QStringLiteral("http://www.example.com/js/%1.htm").arg(i)});
    QRandomGenerator random(42);
    for (int i = count - 1; i > 0; --i)
        entries.swapItemsAt(i, int(random.bounded(i + 1)));
    return entries;
}

QList<Entry> ReadEntries(const QString &path, const QString &password) {
    DataAccess::Connection connection;
    if (!connection.open(ModuleDataBase::OpeningConnectionText(path, password)))
        return {};
    DataAccess::RecordSet records;
    if (!records.open(QStringLiteral("select 函数名称,网址 from CSS order by 函数名称, rowid"), connection))
        return {};
    QList<Entry> entries;
    for (int row = 0; row < records.rowCount(); ++row)
        entries.append({records.value(row, 0).toString(), records.value(row, 1).toString()});
    return entries;
}

qint64 FileSize(const QString &path) {
    return QFileInfo(path).size();
}

} // namespace LibraryFixtures
