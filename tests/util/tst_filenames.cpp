#include "support/TestEnv.h"
#include "util/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString repeated(const QString &unit, int times) {
    QString s;
    for (int i = 0; i < times; ++i)
        s += unit;
    return s;
}

const QString Smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, a surrogate pair

} // namespace

class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    void safeFileName_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("forbidden characters") << "a/b:c*d?e<f>g|h"
                                              << "abcdefgh";
        QTest::newRow("forbidden characters with backslash") << "a/b:c*d?e<f>g\\|h"
                                                             << "abcdefgh";
        QTest::newRow("dots at both ends") << "..name.."
                                           << "name";
        QTest::newRow("line break") << "a\r\nb"
                                    << "ab";
        QTest::newRow("line feed, carriage return, NUL") << QString::fromUtf16(u"a\nb\rc\0d", 7) << "abcd";
        QTest::newRow("double quotes") << "\"quoted\""
                                       << "quoted";
        QTest::newRow("only forbidden characters and dots") << "..:*?\\/\".<>|.."
                                                            << "";
        QTest::newRow("spaces kept inside") << "  my  name  "
                                            << "my  name";
        QTest::newRow("dots behind spaces stay") << " .a. "
                                                 << ".a.";
        QTest::newRow("inner dots stay") << ".a.b."
                                         << "a.b";
        QTest::newRow("Chinese name") << "Varnel软件"
                                      << "Varnel软件";
        QTest::newRow("empty") << ""
                               << "";
    }
    void safeFileName() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Module1::ToSafeFileName(text), expected);
    }

    void safeFileNameCap_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("255 ASCII kept") << QString(255, 'a') << QString(255, 'a');
        QTest::newRow("256 ASCII cut") << QString(256, 'a') << QString(255, 'a');
        QTest::newRow("CJK cut at 85 characters")
            << QString(100, QChar(0x4E2D)) << QString(85, QChar(0x4E2D));
        QTest::newRow("CJK not split") << QString(254, 'a') + QChar(0x4E2D) << QString(254, 'a');
        QTest::newRow("two-byte characters") << QString(200, QChar(0x00E9)) << QString(127, QChar(0x00E9));
        QTest::newRow("surrogate pairs kept whole") << repeated(Smile, 70) << repeated(Smile, 63);
        QTest::newRow("surrogate pair not split") << "ab" + repeated(Smile, 64) << "ab" + repeated(Smile, 63);
        QTest::newRow("pair that just fits") << QString(251, 'a') + Smile << QString(251, 'a') + Smile;
        // The cap comes before the trim: the spaces that end up at the cut are trimmed.
        QTest::newRow("trim after cap") << QString(250, 'a') + QString(10, ' ') + "b" << QString(250, 'a');
    }
    void safeFileNameCap() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString name = Module1::ToSafeFileName(text);
        QCOMPARE(name, expected);
        QVERIFY(name.toUtf8().size() <= 255);
        QCOMPARE(QString::fromUtf8(name.toUtf8()), name); // no broken pair left behind
    }

    void splitFileName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("withoutExtension");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");

        QTest::newRow("disk path") << "C:\\dir\\page.htm" << true << "page"
                                   << "htm";
        QTest::newRow("address") << "http://h/x/a.js" << true << "a"
                                 << "js";
        QTest::newRow("query behind the dot") << "http://h/x/a.js?v=1" << true << "a.js?v=1"
                                              << "";
        QTest::newRow("six-letter extension") << "C:\\d\\archive.backup" << true << "archive.backup"
                                              << "";
        QTest::newRow("surrounding spaces, extension kept")
            << "  C:\\d\\my file.html  " << false << "my file.html"
            << "html";
        QTest::newRow("two dots") << "a.b.c" << true << "a.b"
                                  << "c";
        QTest::newRow("trailing dot") << "name." << true << "name"
                                      << "";
        QTest::newRow("folder, without extension") << "C:\\dir\\" << true << ""
                                                   << "";
        QTest::newRow("folder, extension kept") << "C:\\dir\\" << false << ""
                                                << "";

        QTest::newRow("extension kept but reported") << "C:\\dir\\page.htm" << false << "page.htm"
                                                     << "htm";
        QTest::newRow("six-letter extension kept") << "/d/archive.backup" << false << "archive.backup"
                                                   << "";
        QTest::newRow("five-letter extension") << "/d/a.html5" << true << "a"
                                               << "html5";
        QTest::newRow("only dot and extension") << "http://h/.js" << true << ""
                                                << "js";
        QTest::newRow("spaces before the dot trimmed") << "/home/u/my page .js" << true << "my page"
                                                       << "js";
        QTest::newRow("no dot") << "/home/u/README" << true << "README"
                                << "";
        QTest::newRow("mixed separators") << "C:/a\\b/c.txt" << true << "c"
                                          << "txt";
        QTest::newRow("bare name") << "page.htm" << true << "page"
                                   << "htm";
    }
    void splitFileName() {
        QFETCH(QString, path);
        QFETCH(bool, withoutExtension);
        QFETCH(QString, name);
        QFETCH(QString, extension);

        QString gotExtension = QStringLiteral("stale");
        QCOMPARE(Module1::SplitFileName(path, withoutExtension, gotExtension), name);
        QCOMPARE(gotExtension, extension);
    }

    void createFolderPathMakesEveryLevel() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString path = tmp.path() + QStringLiteral("/a/b/c");
        QCOMPARE(Module1::CreateFolderPath(path), path);
        QVERIFY(QFileInfo(path).isDir());
    }

    void createFolderPathKeepsExistingLevels() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("a/b")));
        TestEnv::writeFile(tmp.path() + QStringLiteral("/a/b/keep.txt"), "kept");

        const QString path = tmp.path() + QStringLiteral("/a/b/");
        QCOMPARE(Module1::CreateFolderPath(path), path);
        QCOMPARE(TestEnv::readFile(tmp.path() + QStringLiteral("/a/b/keep.txt")), QByteArray("kept"));
        QCOMPARE(QDir(tmp.path() + QStringLiteral("/a/b")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("keep.txt")});

        // A missing last level under existing ones; a trailing "/" stays on the result.
        QCOMPARE(Module1::CreateFolderPath(tmp.path() + QStringLiteral("/a/b/Varnel软件/")),
                 tmp.path() + QStringLiteral("/a/b/Varnel软件/"));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/a/b/Varnel软件")).isDir());
    }

    void createFolderPathCleansLevels() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QCOMPARE(Module1::CreateFolderPath(tmp.path() + QStringLiteral("/x/a:b/c")),
                 tmp.path() + QStringLiteral("/x/ab/c"));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/x/ab/c")).isDir());
        QVERIFY(!QFileInfo::exists(tmp.path() + QStringLiteral("/x/a:b")));

        // ".." is no way out: it is cleaned to an empty level.
        QCOMPARE(Module1::CreateFolderPath(tmp.path() + QStringLiteral("/in/../out")),
                 tmp.path() + QStringLiteral("/in//out"));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/in/out")).isDir());
        QVERIFY(!QFileInfo::exists(tmp.path() + QStringLiteral("/out")));
    }

    void createFolderPathKeepsHiddenFolders() {
        // An existing hidden folder is used as it is; a missing one is still cleaned like any level.
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral(".local/share")));
        QCOMPARE(Module1::CreateFolderPath(tmp.path() + QStringLiteral("/.local/share/g/")),
                 tmp.path() + QStringLiteral("/.local/share/g/"));
        QVERIFY(!QFileInfo::exists(tmp.path() + QStringLiteral("/local")));
        QCOMPARE(Module1::CreateFolderPath(tmp.path() + QStringLiteral("/.new")),
                 tmp.path() + QStringLiteral("/new"));
    }

    void createFolderPathKeepsFirstLevel() {
        // The first level is a drive or the root and is taken as written, forbidden characters included.
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tmp.path()));
        QVERIFY(QDir().mkdir(QStringLiteral("C:")));
        const QString created = Module1::CreateFolderPath(QStringLiteral("C:/dir?"));
        const QString missingDrive = Module1::CreateFolderPath(QStringLiteral("D:/dir"));
        QVERIFY(QDir::setCurrent(before));

        QCOMPARE(created, QStringLiteral("C:/dir"));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/C:/dir")).isDir());
        QCOMPARE(missingDrive, QString());
        QVERIFY(!QFileInfo::exists(tmp.path() + QStringLiteral("/D:")));
    }

    void createFolderPathReportsFailure() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        TestEnv::writeFile(tmp.path() + QStringLiteral("/file"), "x");
        // A file where a folder should be: the level below cannot be made.
        QCOMPARE(Module1::CreateFolderPath(tmp.path() + QStringLiteral("/file/sub")), QString());
        QCOMPARE(Module1::CreateFolderPath(QString()), QString());
        QCOMPARE(Module1::CreateFolderPath(QStringLiteral("/")), QStringLiteral("/"));
    }
};

VARNEL_TEST_MAIN(TestFileNames)
#include "tst_filenames.moc"
