// The fetchers and the file test: which paths count as files, how files and downloads are decoded,
// which addresses are fetched at all, and the asynchronous fetch's finish/abort contract.

#include "platform/page/ScriptFetchers.h"
#include "platform/net/HttpManager.h"
#include "platform/WorkerPool.h"
#include "support/EventTurns.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestScriptFetchers : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TestEnv::writeFile(path(QStringLiteral("a.js")), "var a;");
        TestEnv::writeFile(path(QStringLiteral(".hidden.js")), "var h;");
        TestEnv::writeFile(path(QStringLiteral("sub/b.js")), "var b;");
        QVERIFY(QFile::link(path(QStringLiteral("a.js")), path(QStringLiteral("link.js"))));
    }

    void fileExists_data() {
        QTest::addColumn<QString>("name"); // relative to the temp folder; "<empty>" for ""
        QTest::addColumn<bool>("expected");
        QTest::newRow("ordinary file") << "a.js" << true;
        QTest::newRow("file in a folder") << "sub/b.js" << true;
        QTest::newRow("link to a file") << "link.js" << true;
        QTest::newRow("missing") << "missing.js" << false;
        QTest::newRow("folder") << "sub" << false;
        QTest::newRow("name starting with a dot") << ".hidden.js" << true;
        QTest::newRow("wildcard is literal") << "*.js" << false;
        QTest::newRow("question mark is literal") << "?.js" << false;
        QTest::newRow("empty path") << "<empty>" << false;
    }
    void fileExists() {
        QFETCH(QString, name);
        QFETCH(bool, expected);
        QCOMPARE(FileExists(name == QLatin1String("<empty>") ? QString() : path(name)), expected);
    }

    void fileExistsOddPaths() {
        QVERIFY(!FileExists(QStringLiteral("C:\\dir\\a.js")));
        QTest::ignoreMessage(QtWarningMsg, "Broken filename passed to function");
        QVERIFY(!FileExists(QString(QChar(0)) + QStringLiteral("x")));
        QVERIFY(!FileExists(QStringLiteral("/")));
    }

    void readLocal_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString chinese = QStringLiteral("var 名字 = \"中文\";\r\n// 注释\r\n");
        QTest::newRow("utf-8") << chinese.toUtf8() << chinese;
        QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese;
        QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("utf-16le with bom") << QByteArray(le(chinese)) << chinese;
        QStringEncoder be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("utf-16be with bom") << QByteArray(be(chinese)) << chinese;
        QStringEncoder gb("GB18030");
        QTest::newRow("gbk without bom") << QByteArray(gb(chinese)) << chinese;
        QTest::newRow("empty file") << QByteArray() << QString();
    }
    void readLocal() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString file = path(QStringLiteral("read-%1.js").arg(QTest::currentDataTag()));
        TestEnv::writeFile(file, bytes);
        const FetchResult r = readLocalScript(file);
        QCOMPARE(r.text, expected);
        QVERIFY(!r.failed);
        QCOMPARE(读入本地JS文件内容(file), expected);
    }

    void readLocalFailures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty path") << QString() << "没有指定文件";
        QTest::newRow("folder") << path(QStringLiteral("sub")) << "这是文件夹，不是文件";
        QTest::newRow("missing file") << path(QStringLiteral("missing.js")) << "文件不存在";
        QTest::newRow("link in a loop")
            << path(QStringLiteral("loop.js")) << "链接指向的文件不存在，或链接绕成了环";
        QTest::newRow("device") << QStringLiteral("/dev/null") << "不是普通文件，无法读取";
    }
    void readLocalFailures() {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        if (file.endsWith(QLatin1String("loop.js")) && !QFileInfo(file).isSymLink())
            QVERIFY(QFile::link(file, file));
        const FetchResult r = readLocalScript(file);
        QCOMPARE(r.text, QString());
        QVERIFY(r.failed); // every empty body is explained
        QCOMPARE(r.reason, reason);
    }

    void readLocalUnreadable() {
        if (::geteuid() == 0)
            QSKIP("the superuser reads every file");
        const QString file = path(QStringLiteral("locked.js"));
        TestEnv::writeFile(file, "var x;");
        QVERIFY(QFile::setPermissions(file, QFileDevice::Permissions()));
        const FetchResult r = readLocalScript(file);
        QVERIFY(r.failed);
        QVERIFY(!r.reason.isEmpty());
        QCOMPARE(r.text, QString());
    }

    void download_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("hits");
        QTest::newRow("http") << "http://"
                              << "var d;" << 1;
        QTest::newRow("HTTP in capitals") << "HTTP://"
                                          << "var d;" << 1;
        QTest::newRow("Http mixed") << "Http://"
                                    << "var d;" << 1;
        QTest::newRow("ftp declined") << "ftp://"
                                      << "" << 0;
    }
    void download() {
        QFETCH(QString, scheme);
        QFETCH(QString, expected);
        QFETCH(int, hits);
        LocalHttpServer server;
        server.route(QStringLiteral("/d.js"), LocalHttpServer::reply(200, "var d;", "text/javascript"));
        const QString address = scheme + QStringLiteral("127.0.0.1:%1/d.js").arg(server.port());
        const FetchResult r = downloadScript(address);
        QCOMPARE(r.text, expected);
        QCOMPARE(r.failed, hits == 0); // a declined address is reported too
        QCOMPARE(server.hits(QStringLiteral("/d.js")), hits);
    }

    // Secure addresses are fetched like plain ones; a certificate no one trusts is a failure with its
    // reason. (Trust is process-wide: the untrusted case runs first.)
    void downloadHttps_data() {
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("scheme");
        QTest::newRow("untrusted certificate") << false << "https://";
        QTest::newRow("trusted") << true << "https://";
        QTest::newRow("trusted, capitals") << true << "HTTPS://";
    }
    void downloadHttps() {
        QFETCH(bool, trusted);
        QFETCH(QString, scheme);
        if (trusted)
            LocalHttpServer::trustCertificate();
        LocalHttpServer server(LocalHttpServer::Scheme::Https);
        server.route(QStringLiteral("/d.js"), LocalHttpServer::reply(200, "var d;", "text/javascript"));
        const QString address = scheme + QStringLiteral("127.0.0.1:%1/d.js").arg(server.port());
        const FetchResult r = downloadScript(address);
        QCOMPARE(r.failed, !trusted);
        QCOMPARE(r.text, trusted ? QStringLiteral("var d;") : QString());
        if (!trusted)
            QVERIFY2(r.reason.startsWith(QStringLiteral("证书错误：")), qPrintable(r.reason));
        QCOMPARE(server.hits(QStringLiteral("/d.js")), trusted ? 1 : 0);
    }

    void downloadDecodesDeclaredCharset_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("expected");
        const QString chinese = QStringLiteral("alert(\"你好，世界\");");
        QStringEncoder gb("GB18030");
        QTest::newRow("gbk") << QByteArray(gb(chinese)) << QByteArray("application/javascript; charset=gbk")
                             << chinese;
        // These bytes are valid UTF-8 too, so only the header tells what they are.
        QTest::newRow("windows-1252 that reads as utf-8")
            << QByteArray("var s = '\xC3\xA9';") << QByteArray("text/javascript; charset=windows-1252")
            << QStringLiteral("var s = 'Ã©';");
        QTest::newRow("no charset: utf-8") << QByteArray("var s = '\xC3\xA9';")
                                           << QByteArray("text/javascript") << QStringLiteral("var s = 'é';");
    }
    void downloadDecodesDeclaredCharset() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, type);
        QFETCH(QString, expected);
        LocalHttpServer server;
        server.route(QStringLiteral("/g.js"), LocalHttpServer::reply(200, body, type));
        QCOMPARE(下载JS内容(server.baseUrl() + QStringLiteral("/g.js")), expected);
    }

    void downloadFailures_data() {
        QTest::addColumn<int>("status");
        QTest::newRow("404") << 404;
        QTest::newRow("500") << 500;
    }
    void downloadFailures() {
        QFETCH(int, status);
        LocalHttpServer server;
        server.route(QStringLiteral("/e.js"), LocalHttpServer::reply(status, "error page", "text/html"));
        const FetchResult r = downloadScript(server.baseUrl() + QStringLiteral("/e.js"));
        QCOMPARE(r.text, QString()); // never the error page
        QVERIFY(r.failed);
        QVERIFY2(r.reason.contains(QString::number(status)), qPrintable(r.reason));
    }

    void asyncDownloadFinishesLater() {
        LocalHttpServer server;
        server.route(QStringLiteral("/d.js"), LocalHttpServer::reply(200, "var d;", "text/javascript"));
        QObject owner;
        ScriptFetch *fetch =
            ScriptFetch::download(server.baseUrl() + QStringLiteral("/d.js"), &owner);
        QSignalSpy spy(fetch, &ScriptFetch::finished);
        QVERIFY(!fetch->isFinished());
        QVERIFY(spy.wait(5000));
        QCOMPARE(fetch->result().text, QStringLiteral("var d;"));
        QCOMPARE(spy.count(), 1);
    }

    void asyncDeclinedFinishesLaterWithoutRequest() {
        QObject owner;
        ScriptFetch *fetch =
            ScriptFetch::download(QStringLiteral("ftp://127.0.0.1:9/x.js"), &owner);
        QSignalSpy spy(fetch, &ScriptFetch::finished);
        QCOMPARE(spy.count(), 0); // never from inside the starting call
        QVERIFY(spy.wait(2000));
        QCOMPARE(fetch->result().text, QString());
        QVERIFY(fetch->result().failed);
    }

    void asyncReadLocal() {
        QObject owner;
        ScriptFetch *fetch = ScriptFetch::readLocal(path(QStringLiteral("a.js")), &owner);
        QSignalSpy spy(fetch, &ScriptFetch::finished);
        QVERIFY(spy.wait(5000));
        QCOMPARE(fetch->result().text, QStringLiteral("var a;"));
    }

    void abortStopsTransfer() {
        LocalHttpServer server;
        LocalHttpServer::Response late = LocalHttpServer::reply(200, "late", "text/javascript");
        late.held = true;
        server.route(QStringLiteral("/slow.js"), late);
        QObject owner;
        ScriptFetch *fetch =
            ScriptFetch::download(server.baseUrl() + QStringLiteral("/slow.js"), &owner);
        QSignalSpy spy(fetch, &ScriptFetch::finished);
        QTRY_COMPARE_WITH_TIMEOUT(server.hits(QStringLiteral("/slow.js")), 1, 10000);
        fetch->abort();
        server.release();
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow.js")));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!fetch->isFinished());
    }

    void deleteMidway() {
        LocalHttpServer server;
        LocalHttpServer::Response late = LocalHttpServer::reply(200, "late", "text/javascript");
        late.held = true;
        server.route(QStringLiteral("/slow.js"), late);
        auto *download = ScriptFetch::download(server.baseUrl() + QStringLiteral("/slow.js"));
        auto *read = ScriptFetch::readLocal(path(QStringLiteral("a.js")));
        QTRY_COMPARE_WITH_TIMEOUT(server.hits(QStringLiteral("/slow.js")), 1, 10000);
        delete download;
        delete read;
        // Late replies and the worker's result must land nowhere: the read's worker ends, the answer comes.
        QTRY_COMPARE_WITH_TIMEOUT(WorkerPool::program().activeCount(), 0, 10000);
        server.release();
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow.js")));
        // The shared manager is still sound after a fetch was dropped mid-transfer.
        QObject owner;
        server.route(QStringLiteral("/next.js"), LocalHttpServer::reply(200, "next", "text/javascript"));
        ScriptFetch *next =
            ScriptFetch::download(server.baseUrl() + QStringLiteral("/next.js"), &owner);
        QSignalSpy spy(next, &ScriptFetch::finished);
        QVERIFY(spy.wait(5000));
        QCOMPARE(next->result().text, QStringLiteral("next"));
    }
};

VARNEL_TEST_MAIN(TestScriptFetchers)
#include "tst_scriptfetchers.moc"
