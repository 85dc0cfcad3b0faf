#include "app/AppLook.h"
#include "app/Emboss.h"
#include "app/LibraryLocation.h"
#include "app/OpenCommands.h"
#include "platform/page/PageEngineChoice.h"
#include "app/SysInfo.h"
#include "app/WindowArrangement.h"
#include "app/WindowList.h"
#include "platform/SettingsStore.h"
#include "support/TestEnv.h"
#include "util/AppInfo.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// A registry holding a few values under HKEY_LOCAL_MACHINE.
class FakeRegistry final : public SysInfo::Registry {
public:
    struct Value {
        quint32 type;
        QByteArray data;
    };
    QMap<QString, QMap<QString, Value>> keys;
    QString openedKey;
    int opens = 0;
    int closes = 0;

    bool openKey(quint32 root, const QString &keyName) override {
        if (root != SysInfo::HKEY_LOCAL_MACHINE || !keys.contains(keyName))
            return false;
        ++opens;
        openedKey = keyName;
        return true;
    }
    bool queryValue(const QString &name, quint32 &type, QByteArray &data) override {
        const auto values = keys.value(openedKey);
        if (!values.contains(name))
            return false;
        type = values[name].type;
        data = values[name].data;
        return true;
    }
    void closeKey() override { ++closes; }
};

} // namespace

class TestAppLogic : public QObject {
    Q_OBJECT
private slots:
    void stackedRows_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<QRect>>("expected");
        QTest::newRow("one fills the area")
            << QRect(0, 0, 800, 600) << 1 << QList<QRect>{QRect(0, 0, 800, 600)};
        QTest::newRow("three rows, remainder to the first")
            << QRect(10, 20, 800, 601) << 3
            << QList<QRect>{QRect(10, 20, 800, 201), QRect(10, 221, 800, 200), QRect(10, 421, 800, 200)};
        QTest::newRow("none") << QRect(0, 0, 800, 600) << 0 << QList<QRect>{};
    }
    void stackedRows() {
        QFETCH(QRect, area);
        QFETCH(int, count);
        QFETCH(QList<QRect>, expected);
        QCOMPARE(WindowArrangement::StackedRows(area, count), expected);
    }

    void sideBySideColumns() {
        QCOMPARE(WindowArrangement::SideBySideColumns(QRect(0, 0, 301, 400), 2),
                 (QList<QRect>{QRect(0, 0, 151, 400), QRect(151, 0, 150, 400)}));
    }

    void iconPositionsWrapUpwards() {
        // Three icons of 100 x 30 per row in an area 320 wide; the fourth starts a row above.
        const QRect area(0, 0, 320, 300);
        const QList<QPoint> points = WindowArrangement::IconPositions(area, QSize(100, 30), 4);
        QCOMPARE(points, (QList<QPoint>{QPoint(0, 270), QPoint(100, 270), QPoint(200, 270), QPoint(0, 240)}));
        QCOMPARE(WindowArrangement::AreaAboveIcons(area, QSize(100, 30), 4), QRect(0, 0, 320, 240));
        QCOMPARE(WindowArrangement::AreaAboveIcons(area, QSize(100, 30), 0), area);
    }

    void embossPositions_data() {
        QTest::addColumn<short>("effect");
        QTest::addColumn<QPoint>("shadow");
        QTest::addColumn<QPoint>("highlight");
        QTest::newRow("raised") << short(1) << QPoint(52, 22) << QPoint(48, 18);
        QTest::newRow("sunken") << short(2) << QPoint(48, 18) << QPoint(52, 22);
        QTest::newRow("none keeps design positions") << short(0) << QPoint(7, 8) << QPoint(9, 10);
    }
    void embossPositions() {
        QFETCH(short, effect);
        QFETCH(QPoint, shadow);
        QFETCH(QPoint, highlight);
        const Emboss::Placement placed =
            Emboss::Positions(QPoint(50, 20), effect, 2, {QPoint(7, 8), QPoint(9, 10)});
        QCOMPARE(placed.shadow, shadow);
        QCOMPARE(placed.highlight, highlight);
    }

    void coloursHaveBlueInTheHighByte() {
        QCOMPARE(Emboss::FromBgr(0x800000), QColor(0, 0, 0x80));
        QCOMPARE(Emboss::FromBgr(0x0000FF), QColor(0xFF, 0, 0));
        QCOMPARE(Emboss::FromBgr(Emboss::ShadowColour), QColor(0x80, 0x80, 0x80));
    }

    void valueText_data() {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text with final NUL")
            << SysInfo::REG_SZ << QByteArray("C:\\msinfo32.exe", 16) << QStringLiteral("C:\\msinfo32.exe");
        QTest::newRow("text without NUL") << SysInfo::REG_SZ << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("32-bit value, last character first")
            << SysInfo::REG_DWORD << QByteArray("\x78\x56\x34\x12", 4) << QStringLiteral("&h12345678");
        // The final NUL byte of a small value is cut like a text's, and digits are not padded.
        QTest::newRow("32-bit value 10")
            << SysInfo::REG_DWORD << QByteArray("\x0A\x00\x00\x00", 4) << QStringLiteral("&h00A");
        QTest::newRow("other type leaves the text")
            << quint32(3) << QByteArray("xyz") << QStringLiteral("before");
    }
    void valueText() {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QString keyVal = QStringLiteral("before");
        SysInfo::ValueText(type, data, keyVal);
        QCOMPARE(keyVal, expected);
    }

    void getKeyValueFailures() {
        FakeRegistry registry;
        QString value = QStringLiteral("old");
        QVERIFY(!SysInfo::GetKeyValue(registry, SysInfo::HKEY_LOCAL_MACHINE, "SOFTWARE\\X", "PATH", value));
        QCOMPARE(value, QString());

        registry.keys["SOFTWARE\\X"]["OTHER"] = {SysInfo::REG_SZ, "a"};
        value = QStringLiteral("old");
        QVERIFY(!SysInfo::GetKeyValue(registry, SysInfo::HKEY_LOCAL_MACHINE, "SOFTWARE\\X", "PATH", value));
        QCOMPARE(value, QString());

        registry.keys["SOFTWARE\\X"]["PATH"] = {SysInfo::REG_SZ, QByteArray(1025, 'a')};
        QVERIFY(!SysInfo::GetKeyValue(registry, SysInfo::HKEY_LOCAL_MACHINE, "SOFTWARE\\X", "PATH", value));
        registry.keys["SOFTWARE\\X"]["PATH"] = {SysInfo::REG_SZ, QByteArray(1024, 'a')};
        QVERIFY(SysInfo::GetKeyValue(registry, SysInfo::HKEY_LOCAL_MACHINE, "SOFTWARE\\X", "PATH", value));
        QCOMPARE(value.size(), 1024);
        QCOMPARE(registry.closes, registry.opens);
    }

    void programPath() {
        const auto nothingExists = [](const QString &) { return false; };
        QCOMPARE(SysInfo::ProgramPath(SysInfo::SystemRegistry(), nothingExists), QString());

        FakeRegistry registry;
        registry.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {SysInfo::REG_SZ,
                                                                                 QByteArray("C:\\T\0", 5)};
        QCOMPARE(SysInfo::ProgramPath(registry, nothingExists), QString());
        QStringList asked;
        const auto exists = [&](const QString &p) {
            asked << p;
            return true;
        };
        QCOMPARE(SysInfo::ProgramPath(registry, exists), QStringLiteral("C:\\T\\MSINFO32.EXE"));
        QCOMPARE(asked, QStringList{"C:\\T\\MSINFO32.EXE"});

        registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {SysInfo::REG_SZ,
                                                                              QByteArray("D:\\msinfo32.exe")};
        QCOMPARE(SysInfo::ProgramPath(registry, nothingExists), QStringLiteral("D:\\msinfo32.exe"));
    }

    void proposedAddress_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("expected");
        QTest::newRow("http") << "http://a.b/c"
                              << "http://a.b/c";
        QTest::newRow("capitals") << "HTTP://A.B/"
                                  << "HTTP://A.B/";
        QTest::newRow("secure scheme") << "https://a.b/"
                                       << "https://a.b/";
        QTest::newRow("secure scheme, capitals") << "HTTPS://A.B/"
                                                 << "HTTPS://A.B/";
        QTest::newRow("other scheme") << "ftp://a.b/"
                                      << "";
        QTest::newRow("plain text") << "hello"
                                    << "";
        QTest::newRow("short") << "http:/"
                               << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void proposedAddress() {
        QFETCH(QString, clipboard);
        QFETCH(QString, expected);
        QCOMPARE(OpenCommands::ProposedAddress(clipboard), expected);
    }

    void completeTypedAddress_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // $FILE: an existing file
        QTest::newRow("bare host") << "www.example.com"
                                   << "http://www.example.com";
        QTest::newRow("host and port") << "localhost:8080/p.htm"
                                       << "http://localhost:8080/p.htm";
        QTest::newRow("https, capitals") << "HTTPS://A.B/"
                                         << "HTTPS://A.B/";
        QTest::newRow("other scheme") << "ftp://a.b/x"
                                      << "ftp://a.b/x";
        QTest::newRow("about") << "about:blank"
                               << "about:blank";
        QTest::newRow("absolute path") << "/tmp/none/p.htm"
                                       << "/tmp/none/p.htm";
        QTest::newRow("drive") << "C:\\web\\p.htm"
                               << "C:\\web\\p.htm";
        QTest::newRow("share") << "\\\\srv\\p.htm"
                               << "\\\\srv\\p.htm";
        QTest::newRow("existing file, relative") << "$FILE"
                                                 << "$FILE";
    }
    void completeTypedAddress() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        TestEnv::writeFile(dir.filePath(QStringLiteral("page.htm")), "<html></html>");
        const QString relative = QDir::current().relativeFilePath(dir.filePath(QStringLiteral("page.htm")));
        typed.replace(QStringLiteral("$FILE"), relative);
        expected.replace(QStringLiteral("$FILE"), relative);
        QCOMPARE(OpenCommands::CompleteTypedAddress(typed), expected);
    }

    void useBrowserEngineSetting_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("0 with spaces") << " 0 " << false;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("not a number") << "no" << true;
    }
    void useBrowserEngineSetting() {
        QFETCH(QString, stored);
        QFETCH(bool, expected);
        QCOMPARE(SettingsStore::ParseUseBrowserEngine(stored), expected);
    }

    void useBrowserEngineRoundTrip() {
        QSettings raw(QSettings::UserScope, AppInfo::Title);
        raw.remove(QStringLiteral("设置/使用浏览器内核"));
        raw.sync();
        QVERIFY(SettingsStore::LoadUseBrowserEngine()); // absent: on
        QVERIFY(SettingsStore::SaveUseBrowserEngine(false));
        QVERIFY(!SettingsStore::LoadUseBrowserEngine());
        raw.sync();
        QCOMPARE(raw.value(QStringLiteral("设置/使用浏览器内核")).toString(), QStringLiteral("0"));
        QVERIFY(SettingsStore::SaveUseBrowserEngine(true));
        raw.sync();
        QCOMPARE(raw.value(QStringLiteral("设置/使用浏览器内核")).toString(), QStringLiteral("1"));
    }

    void engineDecision_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<bool>("option");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<bool>("browser");
        QTest::addColumn<bool>("announce");
        QTest::newRow("page file") << SourceKind::PageFile << true << "" << false << true << false;
        QTest::newRow("address") << SourceKind::PageAddress << true << "" << false << true << false;
        QTest::newRow("script file stays static")
            << SourceKind::ScriptFile << true << "" << false << false << false;
        QTest::newRow("option off") << SourceKind::PageAddress << false << "" << false << false << false;
        QTest::newRow("option off, engine missing")
            << SourceKind::PageAddress << false << "x" << false << false << false;
        QTest::newRow("cannot start: say so")
            << SourceKind::PageFile << true << "x" << false << false << true;
        QTest::newRow("cannot start, said before")
            << SourceKind::PageAddress << true << "x" << true << false << false;
        QTest::newRow("other kind") << SourceKind::None << true << "" << false << false << false;
    }
    void engineDecision() {
        QFETCH(SourceKind, kind);
        QFETCH(bool, option);
        QFETCH(QString, problem);
        QFETCH(bool, announced);
        QFETCH(bool, browser);
        QFETCH(bool, announce);
        const PageEngineChoice::Decision d = PageEngineChoice::decide(kind, option, problem, announced);
        QCOMPARE(d.browser, browser);
        QCOMPARE(d.announce, announce);
    }

    void sourceFileName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("script file") << "/tmp/dir/a.js"
                                     << "a.js";
        QTest::newRow("six characters after the dot") << "/tmp/notes.backup"
                                                      << "notes.backup";
        QTest::newRow("ends with a dot") << "/tmp/notes."
                                         << "notes";
        QTest::newRow("no extension") << "/tmp/README"
                                      << "README";
        QTest::newRow("address") << "http://h/x/page.htm"
                                 << "page.htm";
        QTest::newRow("address with query") << "http://h/x/a.js?v=1"
                                            << "a.js?v=1";
    }
    void sourceFileName() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(OpenCommands::SourceFileName(path), expected);
    }

    void parseHideNumbering_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<short>("expected");
        QTest::newRow("0") << "0" << short(0);
        QTest::newRow("1") << "1" << short(1);
        QTest::newRow("spaces") << " 1 " << short(1);
        QTest::newRow("not a number") << "yes" << short(0);
        QTest::newRow("fraction") << "1.5" << short(0);
        QTest::newRow("empty") << "" << short(0);
        QTest::newRow("too large for 16 bits") << "40000" << short(0);
    }
    void parseHideNumbering() {
        QFETCH(QString, stored);
        QFETCH(short, expected);
        QCOMPARE(SettingsStore::ParseHideNumbering(stored), expected);
    }

    void settingsRoundTrip() {
        QCOMPARE(SettingsStore::LoadHideNumbering(), short(0));
        QVERIFY(SettingsStore::SaveHideNumbering(1));
        QCOMPARE(SettingsStore::LoadHideNumbering(), short(1));
        // Stored under the title, group "设置", as decimal text.
        QSettings raw(QSettings::UserScope, AppInfo::Title);
        QCOMPARE(raw.value(QStringLiteral("设置/不显示编号")).toString(), QStringLiteral("1"));
        QVERIFY(raw.fileName().startsWith(TestEnv::isolate()));
        raw.setValue(QStringLiteral("设置/不显示编号"), QStringLiteral("abc"));
        raw.sync();
        QCOMPARE(SettingsStore::LoadHideNumbering(), short(0));
        QVERIFY(SettingsStore::SaveHideNumbering(0));
    }
    void windowListCaption_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ninth keeps its key") << 9 << "t" << "&9 t";
        QTest::newRow("tenth has none") << 10 << "t" << "10 t";
        QTest::newRow("untitled") << 3 << "" << "&3 ";
    }
    void windowListCaption() {
        QFETCH(int, number);
        QFETCH(QString, title);
        QFETCH(QString, caption);
        QCOMPARE(WindowList::EntryCaption(number, title), caption);
    }

    void droppedItems_data() {
        QTest::addColumn<QString>("file");    // created in a temporary folder when not empty
        QTest::addColumn<QString>("dropped"); // an address or text, when no file
        QTest::addColumn<bool>("asUrl");
        QTest::addColumn<SourceKind>("kind");
        QTest::newRow("script file") << "a.js"
                                     << "" << true << SourceKind::ScriptFile;
        QTest::newRow("script file, capital suffix") << "B.JS"
                                                     << "" << true << SourceKind::ScriptFile;
        QTest::newRow("page file html") << "页.html"
                                        << "" << true << SourceKind::PageFile;
        QTest::newRow("other file") << "notes.txt"
                                    << "" << true << SourceKind::None;
        QTest::newRow("missing file") << ""
                                      << "file:///no/such/a.js" << true << SourceKind::None;
        QTest::newRow("http address") << ""
                                      << "http://127.0.0.1/p.htm" << true << SourceKind::PageAddress;
        QTest::newRow("ftp address") << ""
                                     << "ftp://127.0.0.1/p.htm" << true << SourceKind::None;
        QTest::newRow("text address, spaces trimmed")
            << ""
            << "  HTTP://127.0.0.1/a  " << false << SourceKind::PageAddress;
        QTest::newRow("text that is no address") << ""
                                                 << "var a = 1;" << false << SourceKind::None;
        QTest::newRow("two lines of text") << ""
                                           << "http://a/\nhttp://b/" << false << SourceKind::None;
    }
    void droppedItems() {
        QFETCH(QString, file);
        QFETCH(QString, dropped);
        QFETCH(bool, asUrl);
        QFETCH(SourceKind, kind);
        QTemporaryDir dir;
        QString expectedPath = dropped.trimmed();
        OpenCommands::Source source;
        if (!file.isEmpty()) {
            expectedPath = dir.filePath(file);
            TestEnv::writeFile(expectedPath, "x");
            source = OpenCommands::DroppedUrl(QUrl::fromLocalFile(expectedPath));
        } else {
            source = asUrl ? OpenCommands::DroppedUrl(QUrl(dropped)) : OpenCommands::DroppedText(dropped);
        }
        QCOMPARE(source.kind, kind);
        if (kind != SourceKind::None)
            QCOMPARE(source.path, expectedPath);
    }

    // The library beside the program wins; otherwise the user's own copy, made from the template once.
    void libraryLocation_data() {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("template_");
        QTest::addColumn<QByteArray>("userCopy"); // empty: none yet
        QTest::addColumn<QString>("where");       // "program" or "user"
        QTest::addColumn<QByteArray>("userBytes"); // the user's file afterwards, empty when missing
        QTest::newRow("build folder") << true << true << QByteArray() << "program" << QByteArray();
        QTest::newRow("portable copy with a user copy about") << true << false << QByteArray("mine") << "program"
                                                             << QByteArray("mine");
        QTest::newRow("installed, first start") << false << true << QByteArray() << "user"
                                                << QByteArray("template");
        QTest::newRow("installed, later start keeps the user's") << false << true << QByteArray("mine")
                                                                 << "user" << QByteArray("mine");
        QTest::newRow("installed without template") << false << false << QByteArray() << "user" << QByteArray();
    }
    void libraryLocation() {
        QFETCH(bool, beside);
        QFETCH(bool, template_);
        QFETCH(QByteArray, userCopy);
        QFETCH(QString, where);
        QFETCH(QByteArray, userBytes);
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString user = root.filePath(QStringLiteral("home/.local/share/VarnelJS分析提取分解器"));
        const QString tmpl = LibraryLocation::InstalledTemplate(bin);
        QCOMPARE(tmpl, root.filePath(QStringLiteral("usr/share/varneljs/xqd.dll")));
        if (beside)
            TestEnv::writeFile(bin + QStringLiteral("/xqd.dll"), "beside");
        if (template_) {
            TestEnv::writeFile(tmpl, "template");
            QFile::setPermissions(tmpl, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        }
        if (!userCopy.isEmpty())
            TestEnv::writeFile(user + QStringLiteral("/xqd.dll"), userCopy);

        const QString path = LibraryLocation::Resolve(bin, user, tmpl);
        QCOMPARE(path, (where == QLatin1String("program") ? bin : user) + QStringLiteral("/xqd.dll"));
        const QString userFile = user + QStringLiteral("/xqd.dll");
        QCOMPARE(QFileInfo::exists(userFile), !userBytes.isEmpty());
        if (!userBytes.isEmpty()) {
            QCOMPARE(TestEnv::readFile(userFile), userBytes);
            QVERIFY(QFileInfo(userFile).isWritable()); // compaction replaces it
        }
        QVERIFY(!QFileInfo::exists(userFile + QStringLiteral(".part")));
    }

    void desktopIcon() {
        QTemporaryDir dir;
        QCOMPARE(AppLook::DesktopIcon(dir.path()), QStringLiteral("varneljs"));
        TestEnv::writeFile(dir.filePath(QStringLiteral("varneljs.svg")), "<svg/>");
        QCOMPARE(AppLook::DesktopIcon(dir.path()), dir.filePath(QStringLiteral("varneljs.svg")));
    }
};

VARNEL_TEST_MAIN(TestAppLogic)
#include "tst_applogic.moc"
