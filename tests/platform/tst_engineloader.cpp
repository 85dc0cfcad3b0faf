// The browser engine plugin: which file is loaded, and why a file is refused before any of its code runs.

#include "platform/page/BrowserEngineFactory.h"
#include "platform/page/BrowserEngineLoader.h"
#include "platform/page/PageEngine.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestEngineLoader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // "$DIR" stands for the test's folder, "$PLUGIN" for the plugin this build made, "$QT" for Qt's plugins.
    QString expand(QString path) const {
        return path.replace(QLatin1String("$DIR"), m_dir.path())
            .replace(QLatin1String("$PLUGIN"), QStringLiteral(VARNEL_BROWSER_PLUGIN_PATH))
            .replace(QLatin1String("$QT"), QLibraryInfo::path(QLibraryInfo::PluginsPath));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TestEnv::writeFile(m_dir.filePath(QStringLiteral("text/libvarneljs_browser.so")), "not a library\n");
    }

    void load_data() {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("problemPart");

        QTest::newRow("nothing there") << QStringList{"$DIR/none/libvarneljs_browser.so"} << false
                                       << "找不到浏览器内核插件 libvarneljs_browser.so";
        QTest::newRow("a folder of that name") << QStringList{"$DIR/text"} << false << "找不到浏览器内核插件";
        QTest::newRow("not a library") << QStringList{"$DIR/text/libvarneljs_browser.so"} << false
                                       << "浏览器内核插件无法载入：$DIR/text/libvarneljs_browser.so";
        QTest::newRow("another program's plugin")
            << QStringList{"$QT/platforms/libqoffscreen.so"} << false
            << "浏览器内核插件与本程序的版本不符：$QT/platforms/libqoffscreen.so";
        QTest::newRow("this build's plugin") << QStringList{"$PLUGIN"} << true << "";
        QTest::newRow("the first that exists")
            << QStringList{"$DIR/none/libvarneljs_browser.so", "$PLUGIN", "$DIR/text/libvarneljs_browser.so"} << true
            << "";
        QTest::newRow("a broken one first is not passed over")
            << QStringList{"$DIR/text/libvarneljs_browser.so", "$PLUGIN"} << false << "无法载入";
    }
    void load() {
        QFETCH(QStringList, paths);
        QFETCH(bool, loads);
        QFETCH(QString, problemPart);
        for (QString &p : paths)
            p = expand(p);
        const BrowserEngineLoader::Loaded loaded = BrowserEngineLoader::load(paths);
        QCOMPARE(loaded.factory != nullptr, loads);
        if (loads)
            QCOMPARE(loaded.problem, QString());
        else
            QVERIFY2(loaded.problem.contains(expand(problemPart)), qPrintable(loaded.problem));
    }

    // The layout cmake --install makes: the plugin beside the program first (the build folder), then in the
    // private library folder next to the programs' folder.
    void candidates() {
        const QStringList found = BrowserEngineLoader::candidates(QStringLiteral("/opt/v/bin"));
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0), QStringLiteral("/opt/v/bin/libvarneljs_browser.so"));
        QVERIFY2(found.at(1).startsWith(QLatin1String("/opt/v/lib")) &&
                     found.at(1).endsWith(QLatin1String("/varneljs/libvarneljs_browser.so")),
                 qPrintable(found.at(1)));
        // The build folder holds the programs and the plugin side by side.
        QCOMPARE(QFileInfo(QStringLiteral(VARNEL_BROWSER_PLUGIN_PATH)).absolutePath(),
                 QFileInfo(QStringLiteral(VARNEL_CLI_DIR "/x")).absolutePath());
    }

    // An engine made through the plugin is a working page engine.
    void engineFromPlugin() {
        const BrowserEngineLoader::Loaded loaded = BrowserEngineLoader::load({expand(QStringLiteral("$PLUGIN"))});
        QVERIFY(loaded.factory);
        QCOMPARE(loaded.factory->startProblem(), QString());
        std::unique_ptr<PageEngine> engine(loaded.factory->create(nullptr));
        QVERIFY(engine);
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        const QString page = m_dir.filePath(QStringLiteral("p.htm"));
        TestEnv::writeFile(page, "<html><body><script>var s = document.createElement('script');"
                                 " s.src = 'made.js'; document.body.appendChild(s);</script></body></html>");
        engine->navigate(page);
        QVERIFY(spy.wait(60000));
        QStringList srcs;
        for (const ScriptElement &s : engine->document().scripts)
            srcs << s.src;
        QVERIFY2(srcs.contains(QStringLiteral("made.js")) ||
                     srcs.contains(QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("made.js"))).toString()),
                 qPrintable(srcs.join(QLatin1Char(' '))));
    }
};

int main(int argc, char **argv) {
    TestEnv::isolate();
    TestEnv::prepareBrowserEngine();
    QApplication app(argc, argv);
    TestEngineLoader tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_engineloader.moc"
