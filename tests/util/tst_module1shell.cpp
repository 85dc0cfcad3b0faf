#include "support/TestEnv.h"
#include "util/AppInfo.h"
#include "util/Module1Shell.h"
#include "util/Shell.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

namespace {

QStringList desktopFiles(const QString &folder) {
    return QDir(folder).entryList({QStringLiteral("*.desktop")}, QDir::Files);
}

} // namespace

class TestModule1Shell : public QObject {
    Q_OBJECT
    QList<QUrl> opened;

private slots:
    void init() {
        opened.clear();
        Shell::setUrlOpener([this](const QUrl &url) {
            opened << url;
            return true;
        });
    }
    void cleanup() { Shell::setUrlOpener({}); }

    void programsFolderIsTheIsolatedMenuFolder() {
        const QString home = TestEnv::isolate();
        Module1::LookUpProgramsFolder();
        QVERIFY(!Module1::ProgramsFolder.isEmpty());
        QVERIFY2(Module1::ProgramsFolder.startsWith(home), qPrintable(Module1::ProgramsFolder));
        QVERIFY(!Module1::ProgramsFolder.endsWith(QLatin1Char('/')));
    }

    void desktopEntryText_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("execLine");

        QTest::newRow("plain path") << "/opt/varnel/varneljs"
                                    << "Exec=/opt/varnel/varneljs";
        QTest::newRow("spaces quoted") << "/opt/my app/varneljs"
                                       << "Exec=\"/opt/my app/varneljs\"";
        QTest::newRow("percent doubled") << "/opt/100%/v"
                                         << "Exec=/opt/100%%/v";
        QTest::newRow("quote, dollar, backslash escaped twice") << "/opt/a\"b$c\\d"
                                                                << "Exec=\"/opt/a\\\\\"b\\\\$c\\\\\\\\d\"";
        QTest::newRow("parenthesis quoted") << "/opt/v(1)/v"
                                            << "Exec=\"/opt/v(1)/v\"";
    }
    void desktopEntryText() {
        QFETCH(QString, target);
        QFETCH(QString, execLine);
        const QString text = Module1::DesktopEntryText(QStringLiteral("VarnelJS"), QStringLiteral("工具"),
                                                       target, QStringLiteral("/home/u/apps/"));
        QCOMPARE(text, QStringLiteral("[Desktop Entry]\nType=Application\nName=VarnelJS\nComment=工具\n") +
                           execLine + QStringLiteral("\nPath=/home/u/apps/\n"));
    }

    void desktopEntryEscapesValues() {
        const QString text = Module1::DesktopEntryText(QStringLiteral(" a\nb"), QStringLiteral("c\\d\te"),
                                                       QStringLiteral("/v"), QStringLiteral("/x\r/"));
        QVERIFY(text.contains(QStringLiteral("\nName=\\sa\\nb\n")));
        QVERIFY(text.contains(QStringLiteral("\nComment=c\\\\d\\te\n")));
        QVERIFY(text.contains(QStringLiteral("\nPath=/x\\r/\n")));
        QCOMPARE(text.count(QLatin1Char('\n')), 6);
    }

    void desktopEntryIcon_data() {
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("iconLine");
        QTest::newRow("none: no line") << QString() << QString();
        QTest::newRow("theme name") << "varneljs" << "Icon=varneljs\n";
        QTest::newRow("file path") << "/opt/my app/varneljs.svg" << "Icon=/opt/my app/varneljs.svg\n";
    }
    void desktopEntryIcon() {
        QFETCH(QString, icon);
        QFETCH(QString, iconLine);
        const QString text = Module1::DesktopEntryText(QStringLiteral("V"), QStringLiteral("c"),
                                                       QStringLiteral("/v"), QStringLiteral("/"), icon);
        QVERIFY(text.endsWith(QStringLiteral("\nPath=/\n") + iconLine));
    }

    void shortcutWrittenOnceByTheLaterCall() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString group = tmp.path() + QStringLiteral("/Varnel软件");
        QVERIFY(QDir().mkdir(group));

        QString folder = group;
        Module1::CreateProgramShortcut(AppInfo::Title, QStringLiteral("old"), QStringLiteral("/opt/old"),
                                       folder);
        QCOMPARE(folder, group + QLatin1Char('/'));

        QString again = group + QLatin1Char('/');
        Module1::CreateProgramShortcut(AppInfo::Title, AppInfo::ShortcutDescription,
                                       QStringLiteral("/opt/my app/varneljs"), again);
        QCOMPARE(again, group + QLatin1Char('/'));

        QCOMPARE(desktopFiles(group), QStringList{AppInfo::Title + QStringLiteral(".desktop")});
        const QByteArray written = TestEnv::readFile(group + QLatin1Char('/') + AppInfo::Title + ".desktop");
        QCOMPARE(QString::fromUtf8(written), QStringLiteral("[Desktop Entry]\n"
                                                            "Type=Application\n"
                                                            "Name=VarnelJS分析提取分解器\n"
                                                            "Comment=分析JS文件的最佳工具！\n"
                                                            "Exec=\"/opt/my app/varneljs\"\n"
                                                            "Path=") +
                                                 group + QStringLiteral("/\n"));
    }

    void shortcutFailuresStaySilent() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString name = QStringLiteral("varnel-test-%1").arg(QCoreApplication::applicationPid());

        // No folder: nothing is written, not even into the root or the current folder.
        QString empty;
        Module1::CreateProgramShortcut(name, QStringLiteral("d"), QStringLiteral("/v"), empty);
        QCOMPARE(empty, QString());
        QVERIFY(!QFileInfo::exists(QStringLiteral("/") + name + QStringLiteral(".desktop")));
        QVERIFY(!QFileInfo::exists(name + QStringLiteral(".desktop")));

        // A folder that does not exist: nothing created, the folder still gets its "/".
        QString missing = tmp.path() + QStringLiteral("/missing");
        Module1::CreateProgramShortcut(name, QStringLiteral("d"), QStringLiteral("/v"), missing);
        QCOMPARE(missing, tmp.path() + QStringLiteral("/missing/"));
        QVERIFY(!QFileInfo::exists(missing));

        // A folder standing where the entry should go is left alone.
        QVERIFY(QDir(tmp.path()).mkdir(name + QStringLiteral(".desktop")));
        QString folder = tmp.path();
        Module1::CreateProgramShortcut(name, QStringLiteral("d"), QStringLiteral("/v"), folder);
        QVERIFY(QFileInfo(tmp.path() + QLatin1Char('/') + name + QStringLiteral(".desktop")).isDir());
    }

    void openInNewBrowserWindow() {
        Module1::OpenInNewBrowserWindow(AppInfo::CustomSoftwareUrl);
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://www.varnel.com/custom.htm"))});

        // A desktop that refuses is not reported and does not stop the caller.
        Shell::setUrlOpener([this](const QUrl &url) {
            opened << url;
            return false;
        });
        Module1::OpenInNewBrowserWindow(AppInfo::SupportPageUrl);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.last(), QUrl(QStringLiteral("http://www.varnel.com/")));
    }

    void feedbackMailText() {
        const QDate date(2026, 12, 7);
        const QString shortDate = QLocale::system().toString(date, QLocale::ShortFormat);
        QVERIFY(!shortDate.isEmpty());
        QCOMPARE(Module1::FeedbackMailAddress(date),
                 QStringLiteral("mailto:support@varnel.com?cc=varnel@varnel.com&bcc=service@varnel.com"
                                "&subject=我要对[VarnelJS分析提取分解器]提建议"
                                "&body=软件名称：VarnelJS分析提取分解器 姓名：          "
                                " Email：           "
                                " 联系地址：           "
                                " 邮编：              "
                                " 电话：                    "
                                " 日期：") +
                     shortDate);
    }

    void feedbackMailReachesTheDesktopIntact() {
        const QDate before = QDate::currentDate();
        Module1::SendFeedbackMail(nullptr);
        const QDate after = QDate::currentDate();
        QCOMPARE(opened.size(), 1);

        const QUrl url = opened.first();
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("support@varnel.com"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("cc")), QStringLiteral("varnel@varnel.com"));
        QCOMPARE(query.queryItemValue(QStringLiteral("bcc")), QStringLiteral("service@varnel.com"));
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("我要对[VarnelJS分析提取分解器]提建议"));
        const QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
        const QString expected = Module1::FeedbackMailAddress(before).section(QStringLiteral("&body="), 1);
        const QString expectedAfter =
            Module1::FeedbackMailAddress(after).section(QStringLiteral("&body="), 1);
        QVERIFY2(body == expected || body == expectedAfter, qPrintable(body));
    }
};

VARNEL_TEST_MAIN(TestModule1Shell)
#include "tst_module1shell.moc"
