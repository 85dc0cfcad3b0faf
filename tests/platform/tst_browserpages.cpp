// The browser page engine on pages that do not end as pages should: ended at the wait or the memory
// limit with what they had; scripts added for a while; addresses as the engine loaded them; the run's
// request options on the engine's own requests; a cookie set for a parent domain.
#include "analysis/SourceLoader.h"
#include "analysis/StringSink.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageEngine.h"
#include "platform/net/RequestDefaults.h"
#include "platform/page/browser/BrowserPageEngine.h"
#include "platform/page/browser/BrowserStartCheck.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

using Response = LocalHttpServer::Response;

Response html(const QByteArray &body) {
    return LocalHttpServer::reply(200, body, "text/html; charset=utf-8");
}

// What the collection would fetch for each script: the address the engine loaded it from.
QStringList loaded(const PageDocument &doc) {
    QStringList out;
    for (const ScriptElement &s : doc.scripts)
        out << (s.src.isEmpty() ? QStringLiteral("inline") : s.loaded);
    return out;
}


} // namespace

class TestBrowserPages : public QObject {
    Q_OBJECT
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<LocalHttpServer> secure;

    static QString load(PageEngine *engine, const QString &address) {
        QSignalSpy spy(engine, &PageEngine::documentComplete);
        engine->navigate(address);
        if (!spy.wait(60000))
            return QStringLiteral("<no completion>");
        return spy[0][1].toString();
    }
    static std::unique_ptr<PageEngine> browser(BrowserTiming timing = {}) {
        return std::unique_ptr<PageEngine>(createBrowserPageEngine(nullptr, timing));
    }

private slots:
    void initTestCase() {
        QVERIFY2(BrowserStartCheck::problemHere().isEmpty(), qPrintable(BrowserStartCheck::problemHere()));
        server = std::make_unique<LocalHttpServer>();
        secure = std::make_unique<LocalHttpServer>(LocalHttpServer::Scheme::Https);
        secure->route(QStringLiteral("/s.htm"), html("<script>var s;</script>"));
        for (const char *name : {"/a1.js", "/b1.js", "/r.js", "/h.js", "/sub/x.js", "/echo.js", "/c.js"})
            server->route(QString::fromLatin1(name), LocalHttpServer::reply(200, "var x = 1;"));
        for (int i = 0; i < 8; ++i)
            server->route(QStringLiteral("/d%1.js").arg(i), LocalHttpServer::reply(200, "var d;"));
        // The page's own script never ends: the document stops there, the engine has asked for both scripts.
        server->route(QStringLiteral("/blocked.htm"), html("<script src=\"a1.js\"></script><script>while(true){}</script>"
                                                           "<script src=\"b1.js\"></script>"));
        server->route(QStringLiteral("/reload.htm"), html("<script src=\"r.js\"></script><script>"
                                                          "setTimeout(function () { location.reload(); }, 50);</script>"));
        server->route(QStringLiteral("/hog.htm"),
                      html("<script src=\"h.js\"></script><script>var keep = [];"
                           "setInterval(function () { for (var i = 0; i < 4; i++) {"
                           " var b = new Uint8Array(16 << 20); b.fill(1); keep.push(b); } }, 10);</script>"));
        // A script every 200 ms for 1.4 s, each one later than the settle time after the last.
        server->route(QStringLiteral("/drip.htm"),
                      html("<script>var n = 0; var t = setInterval(function () {"
                           " var s = document.createElement('script'); s.src = 'd' + n + '.js';"
                           " document.body.appendChild(s); if (++n == 7) clearInterval(t); }, 200);</script>"));
        server->route(QStringLiteral("/base.htm"),
                      html("<base href=\"/sub/\"><script src=\"x.js?u=http://127.0.0.1:1/q.js\"></script>"));
        server->route(QStringLiteral("/echo.htm"), html("<script src=\"echo.js\"></script>"));
    }
    void cleanupTestCase() {
        server.reset();
        secure.reset();
    }

    // Ended by the wait limit: said in the document, which keeps what the page had.
    void endedByTheWaitLimit_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("scripts"); // the external ones, as loaded
        QTest::newRow("endless loop blocks the document") << "/blocked.htm" << QStringList{"/a1.js", "/b1.js"};
        // Its document may be caught between two reloads, empty: only the cut is certain.
        QTest::newRow("reloads every 50 ms") << "/reload.htm" << QStringList{};
    }
    void endedByTheWaitLimit() {
        QFETCH(QString, path);
        QFETCH(QStringList, scripts);
        BrowserTiming timing;
        timing.limitMs = 2500;
        timing.readGraceMs = 300;
        auto engine = browser(timing);
        const QString address = server->baseUrl() + path;
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(int(engine->document().cut), int(PageCut::WaitLimit));
        QCOMPARE(engine->document().loadError, QString());
        const QStringList found = loaded(engine->document());
        for (const QString &script : scripts)
            QVERIFY2(found.contains(server->baseUrl() + script), qPrintable(found.join(' ')));
    }

    // Not a timed test: the page allocates without end and is ended at the bound, whenever that comes.
    void endedByItsMemory() {
        BrowserTiming timing;
        timing.memoryLimitBytes = qint64(300) << 20;
        timing.limitMs = 60000;
        auto engine = browser(timing);
        const QString address = server->baseUrl() + QStringLiteral("/hog.htm");
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(int(engine->document().cut), int(PageCut::MemoryLimit));
        QVERIFY(loaded(engine->document()).contains(server->baseUrl() + QStringLiteral("/h.js")));
    }

    // Every script a page adds stays in, as long as each comes within the settle time of the last.
    void scriptsAddedForAWhile() {
        auto engine = browser();
        const QString address = server->baseUrl() + QStringLiteral("/drip.htm");
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(int(engine->document().cut), int(PageCut::None));
        QStringList expected{"inline"};
        for (int i = 0; i < 7; ++i)
            expected << server->baseUrl() + QStringLiteral("/d%1.js").arg(i);
        QCOMPARE(loaded(engine->document()), expected);
    }

    // The collection fetches what the engine loaded (the base address honoured), not what the
    // page-address rules would make of the src.
    void addressIsTheEnginesOwn() {
        auto engine = browser();
        StringSink sink;
        QString failure;
        const QList<ScriptFailure> failures =
            SourceLoader::runBlocking(engine.get(), &sink, SourceKind::PageAddress,
                                      server->baseUrl() + QStringLiteral("/base.htm"), &failure);
        QCOMPARE(failure, QString());
        QVERIFY(failures.isEmpty());
        const QString script = server->baseUrl() + QStringLiteral("/sub/x.js?u=http://127.0.0.1:1/q.js");
        QCOMPARE(sink.entries, QStringList{script});
        QCOMPARE(sink.text, QStringLiteral("网址0：") + script + QStringLiteral("\r\nvar x = 1;\r\n"));
    }

    // The run's headers and user agent go with the engine's own requests; --insecure lets it accept a
    // certificate no one vouches for.
    void requestOptions() {
        RequestDefaults defaults;
        defaults.headers = {qMakePair(QByteArray("X-Varnel"), QByteArray("yes"))};
        defaults.userAgent = "VarnelTest/1";
        defaults.insecure = true;
        setRequestDefaults(defaults);
        auto engine = browser();
        const QString address = server->baseUrl() + QStringLiteral("/echo.htm");
        QCOMPARE(load(engine.get(), address), address);
        const QString secured = secure->baseUrl() + QStringLiteral("/s.htm");
        QCOMPARE(load(engine.get(), secured), secured);
        const PageDocument securedDoc = engine->document();
        setRequestDefaults({});
        for (const QString &path : {QStringLiteral("/echo.htm"), QStringLiteral("/echo.js")}) {
            QCOMPARE(server->lastHeader(path, "x-varnel"), QByteArray("yes"));
            QCOMPARE(server->lastHeader(path, "user-agent"), QByteArray("VarnelTest/1"));
        }
        QCOMPARE(securedDoc.loadError, QString());
        QCOMPARE(securedDoc.scripts.size(), 1);
    }

    // A cookie the engine got for a parent domain (".example.com") is filed where the program's jar takes
    // it, and goes with the collection's fetches from a host under that domain.
    void parentDomainCookie_data() {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("fetched");
        QTest::newRow("leading dot") << ".example.com" << "http://www.example.com/a.js";
        QTest::newRow("leading dot, the domain itself") << ".example.org" << "http://example.org/a.js";
        QTest::newRow("no dot") << "www.example.net" << "http://www.example.net/a.js";
    }
    void parentDomainCookie() {
        QFETCH(QString, domain);
        QFETCH(QString, fetched);
        QNetworkCookie cookie("dot", "1");
        cookie.setDomain(domain);
        cookie.setPath(QStringLiteral("/"));
        HttpManager::addCookies({cookie}, browserCookieOrigin(cookie));
        QStringList names;
        for (const QNetworkCookie &c : HttpManager::cookiesFor(QUrl(fetched)))
            names << QString::fromLatin1(c.name());
        QCOMPARE(names, QStringList{QStringLiteral("dot")});
    }
};

int main(int argc, char **argv) {
    TestEnv::isolate();
    TestEnv::prepareBrowserEngine();
    QApplication app(argc, argv);
    TestBrowserPages tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_browserpages.moc"
