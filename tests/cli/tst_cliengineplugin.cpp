// Where varneljs-cli finds its browser engine plugin (the build folder, an installation) and what it does
// when the plugin is missing or cannot be loaded: the static engine, with the reason.

#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestCliEnginePlugin : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    // The program as `layout` has it: the one in the build folder, an installation made by cmake --install,
    // or a copy in a folder of its own with no plugin or with a broken one.
    QString programFor(const QString &layout) {
        const QString cli = QStringLiteral(VARNEL_CLI_PATH);
        if (layout == QLatin1String("build"))
            return cli;
        const QString folder = m_dir.filePath(layout);
        if (layout == QLatin1String("installed")) {
            QProcess install;
            install.start(QStringLiteral(VARNEL_CMAKE),
                          {QStringLiteral("--install"), QStringLiteral(VARNEL_BINARY_DIR), QStringLiteral("--prefix"),
                           folder});
            if (!install.waitForFinished(120000) || install.exitCode() != 0)
                qWarning() << install.readAllStandardError() << install.readAllStandardOutput();
            return folder + QStringLiteral("/bin/varneljs-cli");
        }
        QDir().mkpath(folder);
        QFile::copy(cli, folder + QStringLiteral("/varneljs-cli"));
        if (layout == QLatin1String("broken"))
            TestEnv::writeFile(folder + QStringLiteral("/libvarneljs_browser.so"), "\x7f" "ELF but no more");
        return folder + QStringLiteral("/varneljs-cli");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TestEnv::prepareBrowserEngine();
        m_server = std::make_unique<LocalHttpServer>();
        m_server->route(QStringLiteral("/site/dyn.htm"),
                        LocalHttpServer::reply(200,
                                               "<html><body><script>var s = document.createElement('script');"
                                               " s.src = 'x.js'; document.body.appendChild(s);</script>"
                                               "</body></html>",
                                               "text/html"));
        m_server->route(QStringLiteral("/site/x.js"), LocalHttpServer::reply(200, "x();", "text/javascript"));
    }
    void cleanupTestCase() { m_server.reset(); }

    void browserEngine_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errPart"); // empty: nothing on stderr

        const QString ran = "[网页内JS-0] $HTTP/site/dyn.htm\n$HTTP/site/x.js\n";
        const QString parsed = "[网页内JS-0] $HTTP/site/dyn.htm\n";
        QTest::newRow("build folder") << "build" << ran << "";
        QTest::newRow("installed") << "installed" << ran << "";
        QTest::newRow("no plugin") << "none" << parsed
                                   << "浏览器内核无法启动，已改用静态解析。（找不到浏览器内核插件 libvarneljs_browser.so）";
        QTest::newRow("plugin cannot be loaded")
            << "broken" << parsed << "浏览器内核无法启动，已改用静态解析。（浏览器内核插件无法载入：$DIR/broken/";
    }
    void browserEngine() {
        QFETCH(QString, layout);
        QFETCH(QString, out);
        QFETCH(QString, errPart);
        const QString program = programFor(layout);
        QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
        QProcess p;
        p.start(program, {QStringLiteral("collect"), QStringLiteral("--engine"), QStringLiteral("browser"),
                          QStringLiteral("--list"), QStringLiteral("--url"),
                          m_server->baseUrl() + QStringLiteral("/site/dyn.htm")});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), m_server->expand(out, m_dir.path()));
        if (errPart.isEmpty())
            QCOMPARE(err, QByteArray());
        else
            QVERIFY2(QString::fromUtf8(err).contains(m_server->expand(errPart, m_dir.path())), err.constData());
    }
};

int main(int argc, char **argv) {
    TestEnv::isolate();
    QApplication app(argc, argv);
    TestCliEnginePlugin tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_cliengineplugin.moc"
