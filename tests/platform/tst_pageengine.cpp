#include "platform/WorkerPool.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageEngine.h"
#include "support/BlockingParser.h"
#include "support/EventTurns.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Response = LocalHttpServer::Response;

QByteArray gbk(const QString &text) {
    QStringEncoder e("GBK");
    return e.encode(text);
}

const QString kPage = QStringLiteral("<html><head><meta charset=gbk><title>测试</title>"
                                     "<script src=\"a.js\"></script></head>"
                                     "<body><script>var 名称 = '欢迎光临';</script></body></html>");

QStringList describe(const PageDocument &doc) {
    QStringList out;
    for (const ScriptElement &s : doc.scripts)
        out << (s.src.isEmpty() ? QStringLiteral("inline:") + s.text : QStringLiteral("src:") + s.src);
    return out;
}

} // namespace

class TestPageEngine : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<LocalHttpServer> server;
    QTemporaryDir dir;

    // Navigates and waits for the one completion; returns its address.
    static QString load(PageEngine *engine, const QString &address) {
        QSignalSpy spy(engine, &PageEngine::documentComplete);
        engine->navigate(address);
        if (!engine->busy())
            return QStringLiteral("<not busy after navigate>");
        if (!spy.wait(10000))
            return QStringLiteral("<no completion>");
        if (engine->busy())
            return QStringLiteral("<still busy>");
        if (!EventTurns::pendingHandled()) // a second completion would be a step queued by now
            return QStringLiteral("<event loop stuck>");
        if (spy.count() != 1)
            return QStringLiteral("<%1 completions>").arg(spy.count());
        if (spy[0][0].value<QObject *>() != engine)
            return QStringLiteral("<wrong source>");
        return spy[0][1].toString();
    }

private slots:
    void initTestCase() {
        server = std::make_unique<LocalHttpServer>();
        Response page;
        page.body = gbk(kPage);
        page.contentType = "text/html";
        server->route(QStringLiteral("/page.htm"), page);
        Response labelled = page;
        labelled.body = kPage.toUtf8(); // the header's charset beats the page's own meta
        labelled.contentType = "text/html; charset=utf-8";
        server->route(QStringLiteral("/utf8.htm"), labelled);
        Response moved;
        moved.status = 302;
        moved.location = "/step2";
        server->route(QStringLiteral("/start"), moved);
        moved.location = "page.htm";
        server->route(QStringLiteral("/step2"), moved);
        Response slow = page;
        slow.held = true;
        server->route(QStringLiteral("/slow.htm"), slow);
        Response error;
        error.status = 500;
        error.body = "<script>error page</script>";
        server->route(QStringLiteral("/broken.htm"), error);
        TestEnv::writeFile(dir.filePath(QStringLiteral("p.htm")), gbk(kPage));
    }
    void cleanupTestCase() { server.reset(); }
    void init() { server->hold(); }

    void aboutBlank() {
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        engine->setSilent(true);
        QCOMPARE(load(engine.get(), QStringLiteral("about:blank")), QStringLiteral("about:blank"));
        QCOMPARE(engine->document().url, QStringLiteral("about:blank"));
        QVERIFY(engine->document().scripts.isEmpty());
    }

    void blankPageKeepsAddedScript() {
        // The single-file load adds its script right after navigating, before the completion arrives.
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        engine->navigate(QStringLiteral("about:blank"));
        engine->document().appendScript(QStringLiteral("/tmp/a.js"), true);
        QVERIFY(spy.wait(5000));
        QCOMPARE(engine->document().url, QStringLiteral("about:blank"));
        QCOMPARE(describe(engine->document()), QStringList{QStringLiteral("src:/tmp/a.js")});
    }

    void localFile_data() {
        QTest::addColumn<QString>("address");
        const QString path = dir.filePath(QStringLiteral("p.htm"));
        QTest::newRow("native path") << path;
        QTest::newRow("file address") << QStringLiteral("file://") + path;
        QTest::newRow("FILE address") << QStringLiteral("FILE://") + path;
        QTest::newRow("with dot segment") << dir.path() + QStringLiteral("/./p.htm");
    }
    void localFile() {
        QFETCH(QString, address);
        const QString path = dir.filePath(QStringLiteral("p.htm"));
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QCOMPARE(load(engine.get(), address), QStringLiteral("file://") + path);
        QCOMPARE(engine->document().url.mid(7), path);
        QCOMPARE(describe(engine->document()),
                 (QStringList{QStringLiteral("src:a.js"), QStringLiteral("inline:var 名称 = '欢迎光临';")}));
    }

    void missingLocalFile() {
        const QString path = dir.filePath(QStringLiteral("missing.htm"));
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QCOMPARE(load(engine.get(), path), QStringLiteral("file://") + path);
        QVERIFY(engine->document().scripts.isEmpty());
    }

    void servedPages_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("finalPath");
        QTest::newRow("gbk page by meta") << "/page.htm"
                                          << "/page.htm";
        QTest::newRow("two redirects") << "/start"
                                       << "/page.htm";
        QTest::newRow("header charset") << "/utf8.htm"
                                        << "/utf8.htm";
    }
    void servedPages() {
        QFETCH(QString, path);
        QFETCH(QString, finalPath);
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QCOMPARE(load(engine.get(), server->baseUrl() + path), server->baseUrl() + finalPath);
        QCOMPARE(engine->document().url, server->baseUrl() + finalPath);
        QCOMPARE(describe(engine->document()),
                 (QStringList{QStringLiteral("src:a.js"), QStringLiteral("inline:var 名称 = '欢迎光临';")}));
    }

    void failedPages_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("http 500") << server->baseUrl() + QStringLiteral("/broken.htm");
        QTest::newRow("http 404") << server->baseUrl() + QStringLiteral("/none.htm");
        QTest::newRow("unsupported scheme") << QStringLiteral("ftp://127.0.0.1/p.htm");
        QTest::newRow("about other") << QStringLiteral("about:config");
    }
    void failedPages() {
        QFETCH(QString, address);
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(engine->document().url, address);
        QVERIFY(engine->document().scripts.isEmpty());
    }

    void stopEndsWithoutCompletion() {
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QCOMPARE(load(engine.get(), QStringLiteral("about:blank")), QStringLiteral("about:blank"));
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        const int hits = server->hits(QStringLiteral("/slow.htm"));
        const int answers = server->answered(QStringLiteral("/slow.htm"));
        engine->navigate(server->baseUrl() + QStringLiteral("/slow.htm"));
        QVERIFY(engine->busy());
        QTRY_COMPARE(server->hits(QStringLiteral("/slow.htm")), hits + 1); // the request is at the server
        engine->stop();
        QVERIFY(!engine->busy());
        server->release();
        QVERIFY(EventTurns::answerPassed(*server, QStringLiteral("/slow.htm"), answers + 1));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(engine->document().url, QStringLiteral("about:blank"));
    }

    void newNavigationCancelsThePrevious() {
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        const int hits = server->hits(QStringLiteral("/slow.htm"));
        const int answers = server->answered(QStringLiteral("/slow.htm"));
        engine->navigate(server->baseUrl() + QStringLiteral("/slow.htm"));
        QTRY_COMPARE(server->hits(QStringLiteral("/slow.htm")), hits + 1); // the first page is on its way
        engine->navigate(dir.filePath(QStringLiteral("p.htm")));
        QVERIFY(spy.wait(5000));
        server->release();
        QVERIFY(EventTurns::answerPassed(*server, QStringLiteral("/slow.htm"), answers + 1));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][1].toString(), QStringLiteral("file://") + dir.filePath(QStringLiteral("p.htm")));
        QCOMPARE(engine->document().scripts.size(), 2);
    }

    void bigPageParsedAwayFromTheUiThread() {
        QString html = QStringLiteral("<html><body>");
        for (int i = 0; i < 40000; ++i)
            html += QStringLiteral("<div><p>第%1段 text</p><script>var v%1;</script></div>").arg(i);
        const QString path = dir.filePath(QStringLiteral("big.htm"));
        TestEnv::writeFile(path, html.toUtf8());

        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        QCOMPARE(load(engine.get(), path), QStringLiteral("file://") + path);
        QCOMPARE(engine->document().scripts.size(), 40000);
        QCOMPARE(engine->document().scripts.last().text, QStringLiteral("var v39999;"));

        // Stopped or destroyed while the worker parses: no completion, no crash.
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        {
            BlockingParser parser;
            engine->navigate(QStringLiteral("file://") + path);
            QTRY_VERIFY(parser.entered());
            engine->stop();
            parser.release();
            // The parse runs to its end and its result comes back to this thread, to be dropped.
            QTRY_COMPARE_WITH_TIMEOUT(WorkerPool::program().activeCount(), 0, 20000);
            QVERIFY(EventTurns::pendingHandled());
        }
        QCOMPARE(spy.count(), 0);
        QCOMPARE(engine->document().scripts.size(), 40000);
        {
            BlockingParser parser;
            engine->navigate(path);
            QTRY_VERIFY(parser.entered());
            engine.reset();
            parser.release();
            QTRY_COMPARE_WITH_TIMEOUT(WorkerPool::program().activeCount(), 0, 20000);
            QVERIFY(EventTurns::pendingHandled());
        }
    }

    void destroyedWhileLoading() {
        const int hits = server->hits(QStringLiteral("/slow.htm"));
        const int answers = server->answered(QStringLiteral("/slow.htm"));
        PageEngine *engine = createDefaultPageEngine();
        engine->navigate(server->baseUrl() + QStringLiteral("/slow.htm"));
        QTRY_COMPARE(server->hits(QStringLiteral("/slow.htm")), hits + 1);
        delete engine;
        PageEngine *second = createDefaultPageEngine();
        second->navigate(dir.filePath(QStringLiteral("p.htm")));
        delete second; // its queued load must not run
        server->release();
        QVERIFY(EventTurns::answerPassed(*server, QStringLiteral("/slow.htm"), answers + 1));
    }
};

VARNEL_TEST_MAIN(TestPageEngine)
#include "tst_pageengine.moc"
