// The library file: connection texts, opening, compaction, clearing, and the built sample library.

#include "LibraryFixtures.h"
#include "support/FakeDialogs.h"
#include "support/TestEnv.h"

#include "library/ConnectionText.h"
#include "library/DataAccess.h"
#include "library/LibraryFile.h"
#include "library/ModuleDataBase.h"
#include "library/ui/LibraryMessages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace LibraryFixtures;
namespace Db = ModuleDataBase;

namespace {

const QString WrongKey = QStringLiteral("file is encrypted or is not a database");
const QString CrLf = QStringLiteral("\r\n");

QList<Entry> sampleEntries() {
    return {{QStringLiteral("trim"), QStringLiteral("http://a/trim.htm")},
            {QStringLiteral("getCookie"), QStringLiteral("http://a/cookie.htm")},
            {QStringLiteral("数组去重"), QStringLiteral("http://a/unique.htm")}};
}

QByteArray randomBytes(int size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(7);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

qint64 countRows(const QString &path, const QString &password) {
    DataAccess::Connection connection;
    if (!connection.open(Db::OpeningConnectionText(path, password)))
        return -1;
    DataAccess::RecordSet records;
    if (!records.open(Db::CountSql, connection))
        return -1;
    return records.value(0, 0).toLongLong();
}

} // namespace

class TestModuleDataBase : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString lib_;

    // The kinds of file that are not a usable library.
    void addBadFiles();
    void writeBadFile(const QString &kind, const QString &path);
    static void resetHooks() {
        Db::testing::SetBeforeReplaceHook({});
        Db::testing::SetAfterCopyHook({});
        Db::testing::SetRenameHook({});
    }

private slots:
    void initTestCase() { LibraryMessages::useDialogs(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        lib_ = dir_->filePath(QStringLiteral("xqd.dll"));
        Db::LibraryDbPath = lib_;
        resetHooks();
    }
    void cleanup() { resetHooks(); }

    void parseConnectionText_data();
    void parseConnectionText();
    void builtTexts();

    void openWithDefaults();
    void openMissingFile();
    void openBadFile_data();
    void openBadFile();
    void recordSetFieldsByPosition();

    void compactKeepsRowsAndPasswordAndShrinks();
    void compactReplacesStaleTemp();
    void compactRefused_data();
    void compactRefused();
    void compactRefusedWhileOpen();
    void compactionFailureLosesNothing_data();
    void compactionFailureLosesNothing();
    void interruptedReplaceLosesNothing();
    void abandonedCopyIsReplacedNextTime();

    void clearTable_data();
    void clearTable();
    void clearUnknownTable();
    void openClearCompactSequence();

    void builtLibrary();
};

void TestModuleDataBase::parseConnectionText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("password");

    QTest::newRow("opening spelling")
        << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/p/xqd.dll;jet oledb:database "
           "password=qtrmbwoplkex"
        << "/p/xqd.dll"
        << "qtrmbwoplkex";
    QTest::newRow("compaction spelling") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/p/xqd.dllDDD;Jet "
                                            "OLEDB:Database Password=pw"
                                         << "/p/xqd.dllDDD"
                                         << "pw";
    QTest::newRow("keys in any case, spaces around")
        << " DATA SOURCE = /a b/c.dll ; JET OLEDB:DATABASE PASSWORD=x"
        << "/a b/c.dll"
        << "x";
    QTest::newRow("quoted value with ; and doubled quote")
        << "Data Source=\"/a;b/\"\"c\"\".dll\";jet oledb:database password='it''s'"
        << "/a;b/\"c\".dll"
        << "it's";
    QTest::newRow("segment without = is skipped") << "junk;Data Source=/d.dll;;"
                                                  << "/d.dll"
                                                  << "";
    QTest::newRow("last occurrence wins") << "Data Source=/one;data source=/two"
                                          << "/two"
                                          << "";
    QTest::newRow("value holding =") << "Data Source=/x=y.dll"
                                     << "/x=y.dll"
                                     << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestModuleDataBase::parseConnectionText() {
    QFETCH(QString, text);
    QFETCH(QString, source);
    QFETCH(QString, password);
    const auto pairs = DataAccess::ParseConnectionText(text);
    QCOMPARE(pairs.value(DataAccess::DataSourceKey), source);
    QCOMPARE(pairs.value(DataAccess::PasswordKey), password);
}

void TestModuleDataBase::builtTexts() {
    QCOMPARE(Db::OpeningConnectionText(QStringLiteral("/opt/v/xqd.dll"), QStringLiteral("qtrmbwoplkex")),
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/v/xqd.dll;jet oledb:database "
                            "password=qtrmbwoplkex"));
    QCOMPARE(
        Db::CompactionConnectionText(QStringLiteral("/opt/v/xqd.dllDDD"), QStringLiteral("qtrmbwoplkex")),
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/v/xqd.dllDDD;Jet OLEDB:Database "
                       "Password=qtrmbwoplkex"));
    QCOMPARE(Db::DeleteAllSql(QStringLiteral("CSS")), QStringLiteral("delete from \"CSS\""));
    QCOMPARE(Db::DeleteAllSql(QStringLiteral("a\"b; drop")), QStringLiteral("delete from \"a\"\"b; drop\""));
    // A path that the split would cut survives the round trip.
    const QString odd = QStringLiteral("/tmp/a;b/ 'x' ");
    QCOMPARE(DataAccess::ParseConnectionText(Db::OpeningConnectionText(odd, QStringLiteral("p;w")))
                 .value(DataAccess::DataSourceKey),
             odd);
    // Only the ';' forces quotes here: both values come back whole.
    const auto plain = DataAccess::ParseConnectionText(
        Db::CompactionConnectionText(QStringLiteral("/tmp/a;b/xqd.dll"), QStringLiteral("p;w")));
    QCOMPARE(plain.value(DataAccess::DataSourceKey), QStringLiteral("/tmp/a;b/xqd.dll"));
    QCOMPARE(plain.value(DataAccess::PasswordKey), QStringLiteral("p;w"));
    QCOMPARE(Db::LibraryDbPassword, QStringLiteral("qtrmbwoplkex"));
}

void TestModuleDataBase::openWithDefaults() {
    MakeLibrary(lib_, sampleEntries(), Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    Db::Connection connection;
    QString path;
    QString password;
    QVERIFY(Db::OpenLibraryConnection(connection, path, password));
    QCOMPARE(path, lib_);
    QCOMPARE(password, QStringLiteral("qtrmbwoplkex"));
    QVERIFY(connection);
    QCOMPARE(connection->state(), 1);
    QVERIFY(DataAccess::IsOpenInProgram(lib_));
    QVERIFY(fake.messages.isEmpty());
    connection->close();
    QCOMPARE(connection->state(), 0);
    QVERIFY(!DataAccess::IsOpenInProgram(lib_));
}

void TestModuleDataBase::openMissingFile() {
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    auto connection = std::make_unique<DataAccess::Connection>();
    auto *before = connection.get();
    QString path;
    QString password;
    QVERIFY(!Db::OpenLibraryConnection(connection, path, password));
    QCOMPARE(path, lib_);
    QCOMPARE(password, Db::LibraryDbPassword);
    QCOMPARE(connection.get(), before); // not touched
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages.at(0).text, QStringLiteral("找不到合法的数据库文件或者数据库文件格式不对！\r\n"));
    QCOMPARE(fake.messages.at(0).icon, Dialogs::Icon::Critical);
    QVERIFY(fake.messages.at(0).caption.isEmpty()); // the application title
    QVERIFY(!QFileInfo::exists(lib_));              // opening never creates the file

    // A folder in the file's place is not a file either; the reason of the test follows the line break.
    QVERIFY(QDir().mkpath(lib_));
    QVERIFY(!Db::OpenLibraryConnection(connection, path, password));
    QCOMPARE(fake.messages.size(), 2);
    QVERIFY(fake.messages.at(1).text.startsWith(Db::MissingFileMessage + CrLf));
    QVERIFY(fake.messages.at(1).text.size() > Db::MissingFileMessage.size() + 2);
}

void TestModuleDataBase::addBadFiles() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("wrong password") << "wrong password";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("zero bytes") << "empty";
    QTest::newRow("plain unencrypted database") << "plain";
    QTest::newRow("truncated library") << "truncated";
    QTest::newRow("text file") << "text";
}

void TestModuleDataBase::writeBadFile(const QString &kind, const QString &path) {
    if (kind == QLatin1String("wrong password")) {
        MakeLibrary(path, sampleEntries(), QStringLiteral("another"));
    } else if (kind == QLatin1String("random")) {
        TestEnv::writeFile(path, randomBytes(8192));
    } else if (kind == QLatin1String("empty")) {
        TestEnv::writeFile(path, QByteArray());
    } else if (kind == QLatin1String("plain")) {
        MakeLibrary(path, sampleEntries(), QString());
    } else if (kind == QLatin1String("truncated")) {
        MakeLibrary(path, ManyEntries(200), Db::LibraryDbPassword);
        const QByteArray whole = TestEnv::readFile(path);
        TestEnv::writeFile(path, whole.left(700));
    } else {
        TestEnv::writeFile(path, "function f() { return 1; }\r\n");
    }
}

void TestModuleDataBase::openBadFile_data() {
    addBadFiles();
}

void TestModuleDataBase::openBadFile() {
    QFETCH(QString, kind);
    writeBadFile(kind, lib_);
    const QByteArray before = TestEnv::readFile(lib_);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    Db::Connection connection = std::make_unique<DataAccess::Connection>();
    QString path = lib_;
    QString password;
    QVERIFY(!Db::OpenLibraryConnection(connection, path, password));
    QVERIFY(!connection); // released
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages.at(0).text, Db::OpenFailedMessage + WrongKey);
    QCOMPARE(fake.messages.at(0).icon, Dialogs::Icon::Critical);
    QCOMPARE(TestEnv::readFile(lib_), before);
    QVERIFY(!DataAccess::IsOpenInProgram(lib_));
}

void TestModuleDataBase::recordSetFieldsByPosition() {
    MakeLibrary(lib_, sampleEntries(), Db::LibraryDbPassword);
    DataAccess::Connection connection;
    QVERIFY(connection.open(Db::OpeningConnectionText(lib_, Db::LibraryDbPassword)));
    DataAccess::RecordSet records;
    QVERIFY(records.open(Db::ListingSql, connection));
    QCOMPARE(records.state(), 1);
    QCOMPARE(records.fieldCount(), 2);
    QCOMPARE(records.fieldName(0), QStringLiteral("函数名称"));
    QCOMPARE(records.fieldName(1), QStringLiteral("网址"));
    QCOMPARE(records.rowCount(), 3);
    QCOMPARE(records.value(0, 0).toString(), QStringLiteral("getCookie"));
    QCOMPARE(records.value(0, 1).toString(), QStringLiteral("http://a/cookie.htm"));
    QCOMPARE(records.value(2, 0).toString(), QStringLiteral("数组去重"));
    QVERIFY(!records.value(3, 0).isValid());
    QVERIFY(!records.value(0, 2).isValid());

    DataAccess::RecordSet count;
    QVERIFY(count.open(Db::CountSql, connection));
    QCOMPARE(count.value(0, 0).toString(), QStringLiteral("3"));

    DataAccess::RecordSet bad;
    QVERIFY(!bad.open(QStringLiteral("select x from nowhere"), connection));
    QCOMPARE(bad.state(), 0);
    QVERIFY(bad.errorDescription().contains(QStringLiteral("no such table")));
    records.close();
    QCOMPARE(records.state(), 0);
    QCOMPARE(records.rowCount(), 0);
}

void TestModuleDataBase::compactKeepsRowsAndPasswordAndShrinks() {
    const QList<Entry> entries = ManyEntries(2000);
    MakeLibrary(lib_, entries, Db::LibraryDbPassword, 400);
    {
        DataAccess::Connection connection;
        QVERIFY(connection.open(Db::OpeningConnectionText(lib_, Db::LibraryDbPassword)));
        QVERIFY(connection.execute(QStringLiteral("delete from CSS where 函数名称 >= 'f001000'")));
    }
    const QList<Entry> kept = ReadEntries(lib_, Db::LibraryDbPassword);
    QCOMPARE(kept.size(), 1000);
    const qint64 sizeBefore = FileSize(lib_);

    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(fake.messages.isEmpty());
    QVERIFY(!QFileInfo::exists(lib_ + QStringLiteral("DDD")));
    QVERIFY2(FileSize(lib_) < sizeBefore * 3 / 4,
             qPrintable(QStringLiteral("%1 -> %2").arg(sizeBefore).arg(FileSize(lib_))));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), kept);
    // Still protected by the same password.
    QVERIFY(ReadEntries(lib_, QString()).isEmpty());
    QVERIFY(ReadEntries(lib_, QStringLiteral("another")).isEmpty());
    QVERIFY(!TestEnv::readFile(lib_).startsWith("SQLite format 3"));
}

void TestModuleDataBase::compactReplacesStaleTemp() {
    MakeLibrary(lib_, sampleEntries(), Db::LibraryDbPassword);
    const QString temp = lib_ + QStringLiteral("DDD");
    TestEnv::writeFile(temp, randomBytes(5000));
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(!QFileInfo::exists(temp));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword).size(), 3);

    // A stale copy that was a complete library of its own is not mistaken for the result either.
    MakeLibrary(temp, ManyEntries(10), Db::LibraryDbPassword);
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword).size(), 3);
}

void TestModuleDataBase::compactRefused_data() {
    addBadFiles();
    QTest::newRow("missing file") << "missing";
}

void TestModuleDataBase::compactRefused() {
    QFETCH(QString, kind);
    if (kind != QLatin1String("missing"))
        writeBadFile(kind, lib_);
    const QString temp = lib_ + QStringLiteral("DDD");
    // A leftover copy stays where it is when the compaction cannot go ahead.
    TestEnv::writeFile(temp, "leftover");
    const QByteArray before = TestEnv::readFile(lib_);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(fake.messages.isEmpty());
    QCOMPARE(QFileInfo::exists(lib_), kind != QLatin1String("missing"));
    QCOMPARE(TestEnv::readFile(lib_), before);
    QCOMPARE(TestEnv::readFile(temp), QByteArray("leftover"));
}

void TestModuleDataBase::compactRefusedWhileOpen() {
    MakeLibrary(lib_, sampleEntries(), Db::LibraryDbPassword);
    const QByteArray before = TestEnv::readFile(lib_);
    // A failed opening shows its message here instead of in a real modal box that nobody closes.
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    Db::Connection connection;
    QString path;
    QString password;
    QVERIFY2(Db::OpenLibraryConnection(connection, path, password),
             qPrintable(fake.messages.isEmpty() ? QString() : fake.messages.at(0).text));
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    // The same file reached by another spelling of its path is still the same file.
    const QString other = dir_->path() + QStringLiteral("/./sub/../xqd.dll");
    QVERIFY(QDir().mkpath(dir_->filePath(QStringLiteral("sub"))));
    QVERIFY(!Db::CompactLibraryDb(other, Db::LibraryDbPassword));
    QVERIFY(QFile::link(lib_, dir_->filePath(QStringLiteral("link.dll"))));
    QVERIFY(!Db::CompactLibraryDb(dir_->filePath(QStringLiteral("link.dll")), Db::LibraryDbPassword));
    QCOMPARE(TestEnv::readFile(lib_), before);
    QVERIFY(!QFileInfo::exists(lib_ + QStringLiteral("DDD")));

    connection->close();
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
}

void TestModuleDataBase::compactionFailureLosesNothing_data() {
    QTest::addColumn<QString>("failure");
    QTest::newRow("copy comes out short") << "short";
    QTest::newRow("rename fails") << "rename";
}

// Whatever goes wrong after the copy was started, the library keeps every row and no copy is left behind.
void TestModuleDataBase::compactionFailureLosesNothing() {
    QFETCH(QString, failure);
    MakeLibrary(lib_, ManyEntries(200), Db::LibraryDbPassword);
    const QList<Entry> all = ReadEntries(lib_, Db::LibraryDbPassword);
    const QByteArray before = TestEnv::readFile(lib_);
    int calls = 0;
    if (failure == QLatin1String("short")) {
        Db::testing::SetAfterCopyHook([&](DataAccess::Connection &connection, const QString &copy) {
            ++calls;
            QVERIFY(connection.execute(QStringLiteral("delete from ") + copy +
                                       QStringLiteral(".CSS where rowid % 50 = 0")));
        });
    } else {
        Db::testing::SetRenameHook([&](const QString &from, const QString &to) {
            calls += QFileInfo::exists(from) && to == lib_ ? 1 : 100; // the copy was there to move
            return false;
        });
    }
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QCOMPARE(calls, 1);
    QCOMPARE(TestEnv::readFile(lib_), before);
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);
    QVERIFY(!QFileInfo::exists(lib_ + QStringLiteral("DDD")));
    QVERIFY(fake.messages.isEmpty());
}

void TestModuleDataBase::interruptedReplaceLosesNothing() {
    const QList<Entry> entries = ManyEntries(500);
    MakeLibrary(lib_, entries, Db::LibraryDbPassword);
    const QList<Entry> all = ReadEntries(lib_, Db::LibraryDbPassword);
    const QByteArray before = TestEnv::readFile(lib_);
    // Between the copy and the replacement, the copy's name becomes something a rename cannot move
    // over a file (a folder), so the replacement itself fails.
    bool called = false;
    Db::testing::SetBeforeReplaceHook([&](const QString &temp) {
        called = true;
        QFile::remove(temp);
        return QDir().mkpath(temp + QStringLiteral("/inside"));
    });
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(called);
    QCOMPARE(TestEnv::readFile(lib_), before);
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);

    // The obstacle stays; compaction keeps refusing without touching the file.
    Db::testing::SetBeforeReplaceHook({});
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QCOMPARE(TestEnv::readFile(lib_), before);
    QVERIFY(QDir(lib_ + QStringLiteral("DDD")).removeRecursively());
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);
}

void TestModuleDataBase::abandonedCopyIsReplacedNextTime() {
    MakeLibrary(lib_, ManyEntries(300), Db::LibraryDbPassword);
    const QList<Entry> all = ReadEntries(lib_, Db::LibraryDbPassword);
    // The program stops right after writing the copy, as a crash would.
    Db::testing::SetBeforeReplaceHook([](const QString &) { return false; });
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(QFileInfo::exists(lib_ + QStringLiteral("DDD")));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);

    Db::testing::SetBeforeReplaceHook({});
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(!QFileInfo::exists(lib_ + QStringLiteral("DDD")));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);
}

void TestModuleDataBase::clearTable_data() {
    QTest::addColumn<QString>("table");
    QTest::newRow("CSS") << "CSS";
    QTest::newRow("css, another case") << "css";
}

void TestModuleDataBase::clearTable() {
    QFETCH(QString, table);
    MakeLibrary(lib_, ManyEntries(50), Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    QVERIFY(Db::ClearLibraryTable(table));
    QVERIFY(fake.messages.isEmpty());
    QCOMPARE(countRows(lib_, Db::LibraryDbPassword), 0); // the table is still there, empty
    QVERIFY(!DataAccess::IsOpenInProgram(lib_));         // its connection is closed again
}

void TestModuleDataBase::clearUnknownTable() {
    MakeLibrary(lib_, ManyEntries(20), Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    QVERIFY(!Db::ClearLibraryTable(QStringLiteral("CSS; drop table CSS")));
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages.at(0).text,
             Db::MissingFileMessage + CrLf + QStringLiteral("no such table: CSS; drop table CSS"));
    QCOMPARE(countRows(lib_, Db::LibraryDbPassword), 20);
    QVERIFY(!DataAccess::IsOpenInProgram(lib_));
}

void TestModuleDataBase::openClearCompactSequence() {
    // Rows that were not cleared survive any order of opening, compacting, interrupting and clearing
    // another table.
    QString sql =
        LibrarySql(ManyEntries(400), 100) + QStringLiteral("CREATE TABLE other (a TEXT);"
                                                           "INSERT INTO other VALUES ('x'), ('y');");
    QString error;
    QVERIFY2(LibraryFile::CreateFromSql(lib_, Db::LibraryDbPassword, sql, &error), qPrintable(error));
    const QList<Entry> all = ReadEntries(lib_, Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);

    Db::Connection held;
    QString path;
    QString password;
    QVERIFY(Db::OpenLibraryConnection(held, path, password));
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(Db::ClearLibraryTable(QStringLiteral("other")));
    held.reset();
    Db::testing::SetBeforeReplaceHook([](const QString &) { return false; });
    QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    Db::testing::SetBeforeReplaceHook({});
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword), all);
    QCOMPARE(countRows(lib_, Db::LibraryDbPassword), 400);
    QVERIFY(fake.messages.isEmpty());
}

void TestModuleDataBase::builtLibrary() {
    // The build's xqd.dll, copied so the test never changes it.
    QVERIFY2(QFile::copy(QStringLiteral(VARNEL_LIBRARY_FILE), lib_), VARNEL_LIBRARY_FILE);
    const QByteArray raw = TestEnv::readFile(lib_);
    QVERIFY(!raw.startsWith("SQLite format 3"));
    QVERIFY(!raw.contains("varnel.com"));
    QVERIFY(!raw.contains("function"));

    const QList<Entry> entries = ReadEntries(lib_, Db::LibraryDbPassword);
    QVERIFY2(entries.size() >= 24, qPrintable(QString::number(entries.size())));
    for (const Entry &e : entries) {
        QVERIFY(!e.first.isEmpty());
        QVERIFY2(e.second.startsWith(QLatin1String("http://")), qPrintable(e.second));
    }
    DataAccess::Connection connection;
    QVERIFY(connection.open(Db::OpeningConnectionText(lib_, Db::LibraryDbPassword)));
    DataAccess::RecordSet columns;
    QVERIFY(columns.open(QStringLiteral("select 函数名称, 网址, TI, PR, VA, ABC from CSS"), connection));
    connection.close();

    DataAccess::Connection without;
    QVERIFY(!without.open(QStringLiteral("Data Source=") + lib_));
    QCOMPARE(without.errorDescription(), WrongKey);
    QCOMPARE(without.state(), 0);
}

VARNEL_TEST_MAIN(TestModuleDataBase)
#include "tst_moduledatabase.moc"
