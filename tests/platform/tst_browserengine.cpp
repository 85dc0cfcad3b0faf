// The browser page engine against pages served from 127.0.0.1 and local files; the static engine reads
// the same pages for comparison.
#include "platform/net/HttpManager.h"
#include "platform/page/PageEngine.h"
#include "platform/page/ScriptFetchers.h"
#include "platform/page/browser/BrowserLoadError.h"
#include "platform/page/browser/BrowserPageEngine.h"
#include "platform/page/browser/BrowserReadout.h"
#include "platform/page/browser/BrowserStartCheck.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <semaphore>

namespace {

using Response = LocalHttpServer::Response;

Response html(const QByteArray &body) {
    return LocalHttpServer::reply(200, body, "text/html; charset=utf-8");
}

// One of each way a script comes into a page, and the things a silent engine must not let through.
const QByteArray kMixed = R"(<html><head>
<script>alert('hi'); confirm('sure?'); prompt('name?'); window.open('/popup.htm'); var one = 1;</script>
<script src="ext.js"></script>
<script>document.write('<script src="written.js"><\/script>');</script>
</head><body>
<template><script>var never = 1;</script></template>
<script>var s = document.createElement('script'); s.src = 'added.js'; document.body.appendChild(s);</script>
<script>var g = document.createElement('script'); g.src = 'gone.js'; document.head.appendChild(g); g.remove();</script>
</body></html>)";

// Scripts added once the page has loaded: from a timer, and after five chained timers (throttled in
// a page no one sees, they would take seconds).
const QByteArray kLate = R"(<html><body><script>
function add(src) { var s = document.createElement('script'); s.src = src; document.body.appendChild(s); }
window.addEventListener('load', function () {
  setTimeout(function () { add('timer.js'); }, 150);
  var n = 0;
  (function step() { if (++n < 5) setTimeout(step, 10); else add('chain.js'); })();
});
</script></body></html>)";

QStringList describe(const PageDocument &doc) {
    QStringList out;
    for (const ScriptElement &s : doc.scripts)
        out << (s.src.isEmpty() ? QStringLiteral("inline") : s.src);
    return out;
}

} // namespace

// A port on 127.0.0.1 that no one listens on.
int closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

class TestBrowserEngine : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<LocalHttpServer> secure; // its certificate is one the engine does not trust
    std::unique_ptr<LocalHttpServer> trusted; // its certificate is in the engine's trust store
    QTemporaryDir dir;
    std::counting_semaphore<16> hangRelease{0};

    // Navigates and waits for the one completion; returns its address.
    static QString load(PageEngine *engine, const QString &address) {
        QSignalSpy spy(engine, &PageEngine::documentComplete);
        engine->navigate(address);
        if (!engine->busy())
            return QStringLiteral("<not busy after navigate>");
        if (!spy.wait(30000))
            return QStringLiteral("<no completion>");
        if (engine->busy())
            return QStringLiteral("<still busy>");
        if (spy[0][0].value<QObject *>() != engine)
            return QStringLiteral("<wrong source>");
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
        const QString trustProblem = TestEnv::trustInBrowserEngine(LocalHttpServer::browserTrustedCertificatePath());
        QVERIFY2(trustProblem.isEmpty(), qPrintable(trustProblem));
        trusted = std::make_unique<LocalHttpServer>(LocalHttpServer::Scheme::HttpsBrowserTrusted);
        trusted->route(QStringLiteral("/t.htm"), html("<script>var t;</script><script src=\"t.js\"></script>"));
        trusted->route(QStringLiteral("/t.js"), LocalHttpServer::reply(200, "var t = 1;"));
        server->route(QStringLiteral("/mixed.htm"), html(kMixed));
        server->route(QStringLiteral("/late.htm"), html(kLate));
        server->route(QStringLiteral("/popup.htm"), html("<script>var popup = 1;</script>"));
        for (const char *name : {"/ext.js", "/written.js", "/added.js", "/gone.js", "/timer.js", "/chain.js"})
            server->route(QString::fromLatin1(name), LocalHttpServer::reply(200, "var x = 1;"));
        server->route(QStringLiteral("/missing.htm"), LocalHttpServer::reply(404, "<script>nf</script>", "text/html"));
        // An image that never comes: the main frame never finishes.
        server->route(QStringLiteral("/hang.png"), [this](const QString &) {
            hangRelease.acquire();
            return LocalHttpServer::reply(200, "", "image/png");
        });
        server->route(QStringLiteral("/unfinished.htm"),
                      html("<script>var a;</script><img src=\"hang.png\"><script src=\"ext.js\"></script>"));
        // A page that stops answering once loaded.
        server->route(QStringLiteral("/loop.htm"),
                      html("<script>var a;</script><script src=\"ext.js\"></script><script>"
                           "window.addEventListener('load', function () { setTimeout(function () { for (;;) {} }, 300); });"
                           "</script>"));
        TestEnv::writeFile(dir.filePath(QStringLiteral("本地 页面#1.htm")),
                           server->expand(QString::fromUtf8(kMixed).replace(QStringLiteral("ext.js"),
                                                                            QStringLiteral("$HTTP/ext.js")),
                                          dir.path())
                               .toUtf8());
    }
    void cleanupTestCase() {
        hangRelease.release(8);
        server.reset();
        secure.reset();
        trusted.reset();
    }

    void pages_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("browserEngine");
        QTest::addColumn<QStringList>("scripts");
        const QStringList mixedStatic{"inline", "ext.js", "inline", "inline", "inline"};
        QTest::newRow("mixed, browser") << "/mixed.htm" << true
                                        << QStringList{"inline", "ext.js", "inline", "written.js", "inline",
                                                       "added.js", "inline", "gone.js"};
        QTest::newRow("mixed, static") << "/mixed.htm" << false << mixedStatic;
        QTest::newRow("late, browser") << "/late.htm" << true << QStringList{"inline", "chain.js", "timer.js"};
        QTest::newRow("late, static") << "/late.htm" << false << QStringList{"inline"};
    }
    void pages() {
        QFETCH(QString, path);
        QFETCH(bool, browserEngine);
        QFETCH(QStringList, scripts);
        std::unique_ptr<PageEngine> engine(browserEngine ? browser() : std::unique_ptr<PageEngine>(
                                                                           createDefaultPageEngine()));
        QSignalSpy revealed(engine.get(), &PageEngine::scriptRevealed);
        const QString address = server->baseUrl() + path;
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(engine->document().url, address);
        QCOMPARE(describe(engine->document()), scripts);
        QCOMPARE(engine->document().loadError, QString());
        if (path == QLatin1String("/mixed.htm")) { // an inline script brings its text, an external one none
            QVERIFY(engine->document().scripts[0].text.contains(QStringLiteral("var one = 1;")));
            QCOMPARE(engine->document().scripts[1].text, QString());
        }
        if (browserEngine) {
            QStringList external;
            for (const QString &name : scripts.filter(QStringLiteral(".js")))
                external << server->baseUrl() + QLatin1Char('/') + name; // revealed as the engine loaded it
            QStringList seen;
            for (const QList<QVariant> &signal : revealed)
                seen << signal[0].toString();
            seen.sort();
            external.sort();
            QCOMPARE(seen, external);
            QCOMPARE(server->hits(QStringLiteral("/popup.htm")), 0);
        }
    }

    void localFileWithAwkwardName() {
        const QString path = dir.filePath(QStringLiteral("本地 页面#1.htm"));
        auto engine = browser();
        QCOMPARE(load(engine.get(), path), QStringLiteral("file://") + path);
        QCOMPARE(describe(engine->document()).mid(0, 2), (QStringList{"inline", server->baseUrl() + "/ext.js"}));
        QCOMPARE(describe(engine->document()).size(), 8);
    }

    void failures_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("reason");
        QTest::newRow("http 404") << server->baseUrl() + "/missing.htm"
                                  << "HTTP 404";
        QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:%1/x.htm").arg(closedPort())
                                 << "连接被拒绝";
        QTest::newRow("no such file") << dir.filePath("none.htm") << "找不到文件";
        QTest::newRow("other scheme") << "ftp://127.0.0.1/x.htm"
                                      << "不支持的地址";
        QTest::newRow("untrusted certificate") << secure->baseUrl() + "/s.htm"
                                               << "证书错误：";
    }
    void failures() {
        QFETCH(QString, address);
        QFETCH(QString, reason);
        auto engine = browser();
        const QString reported = load(engine.get(), address);
        QVERIFY2(!reported.startsWith(QLatin1Char('<')), qPrintable(reported));
        if (reason.endsWith(QStringLiteral("：")))
            QVERIFY2(engine->document().loadError.startsWith(reason) && engine->document().loadError.size() > reason.size(),
                     qPrintable(engine->document().loadError));
        else
            QCOMPARE(engine->document().loadError, reason);
        QVERIFY(engine->document().scripts.isEmpty());
        QCOMPARE(engine->document().url, address);
    }

    // The wait ends by time: what the page has revealed by then is its document.
    void limits_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("main frame never finishes") << "/unfinished.htm";
        QTest::newRow("page stops answering") << "/loop.htm";
    }
    void limits() {
        QFETCH(QString, path);
        BrowserTiming timing;
        timing.limitMs = 2500;
        timing.readGraceMs = 300;
        timing.settleMs = 5000; // the loop begins long before the page would count as settled
        auto engine = browser(timing);
        const QString address = server->baseUrl() + path;
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(describe(engine->document()).mid(0, 2), (QStringList{"inline", "ext.js"}));
        QCOMPARE(engine->document().loadError, QString());
        QCOMPARE(int(engine->document().cut), int(PageCut::WaitLimit));
    }

    void stopEndsWithoutCompletion() {
        auto engine = browser();
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        QSignalSpy revealed(engine.get(), &PageEngine::scriptRevealed);
        engine->navigate(server->baseUrl() + QStringLiteral("/unfinished.htm"));
        QVERIFY(engine->busy());
        QVERIFY(revealed.wait(30000)); // the page is well under way
        engine->stop();
        QVERIFY(!engine->busy());
        // A completion would be queued by now; a blank page after it proves the order of events.
        QCOMPARE(load(engine.get(), QStringLiteral("about:blank")), QStringLiteral("about:blank"));
        QCOMPARE(spy.count(), 1);
    }

    void startCheck_data() {
        QTest::addColumn<bool>("gui");
        QTest::addColumn<bool>("helper");
        QTest::addColumn<bool>("resources");
        QTest::addColumn<bool>("root");
        QTest::addColumn<QString>("disableSandbox");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("problemPart"); // empty: it can start
        QTest::newRow("user") << true << true << true << false << "" << "" << "";
        QTest::newRow("no gui application") << false << true << true << false << "" << "" << "图形界面";
        QTest::newRow("no helper") << true << false << true << false << "" << "" << "QtWebEngineProcess";
        QTest::newRow("no resources") << true << true << false << false << "" << "" << "资源文件";
        QTest::newRow("root, sandbox on") << true << true << true << true << "" << "" << "root";
        QTest::newRow("root, sandbox variable 0") << true << true << true << true << "0" << "" << "root";
        QTest::newRow("root, sandbox off") << true << true << true << true << "1" << "" << "";
        QTest::newRow("root, no-sandbox switch") << true << true << true << true << ""
                                                 << "--disable-gpu --no-sandbox" << "";
        QTest::newRow("root, look-alike switch") << true << true << true << true << ""
                                                 << "--no-sandboxes" << "root";
    }
    void startCheck() {
        QFETCH(bool, gui);
        QFETCH(bool, helper);
        QFETCH(bool, resources);
        QFETCH(bool, root);
        QFETCH(QString, disableSandbox);
        QFETCH(QString, flags);
        QFETCH(QString, problemPart);
        const BrowserStartCheck::Facts facts{gui, helper, resources, root, disableSandbox, flags};
        const QString problem = BrowserStartCheck::problem(facts);
        if (problemPart.isEmpty())
            QCOMPARE(problem, QString());
        else
            QVERIFY2(problem.contains(problemPart), qPrintable(problem));
    }

    void loadErrorReason_data() {
        using D = BrowserLoadError::Domain;
        QTest::addColumn<int>("domain");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fine") << int(D::None) << 0 << "";
        QTest::newRow("status 200") << int(D::HttpStatus) << 200 << "";
        QTest::newRow("status 503") << int(D::HttpStatus) << 503 << "HTTP 503";
        QTest::newRow("refused") << int(D::Connection) << -102 << "连接被拒绝";
        QTest::newRow("dns") << int(D::Dns) << -105 << "找不到服务器";
        QTest::newRow("closed") << int(D::Connection) << -324 << "服务器关闭了连接";
        QTest::newRow("certificate") << int(D::Certificate) << -202 << "证书错误：bad";
        QTest::newRow("certificate number") << int(D::Internal) << -202 << "证书错误：bad";
        QTest::newRow("missing file") << int(D::Internal) << -6 << "找不到文件";
        QTest::newRow("anything else") << int(D::Internal) << -999 << "网络错误：bad";
    }
    void loadErrorReason() {
        QFETCH(int, domain);
        QFETCH(int, code);
        QFETCH(QString, reason);
        QCOMPARE(BrowserLoadError::reason(BrowserLoadError::Domain(domain), code, QStringLiteral("bad")), reason);
    }

    // Read-outs arrive in pieces; the document is the live order, then what was inserted and removed.
    void readoutMerge_data() {
        QTest::addColumn<QVariantList>("answers"); // each: [count, order, fresh srcs]
        QTest::addColumn<QStringList>("scripts");  // src, or "inline"
        auto answer = [](int count, QVariantList order, QStringList fresh) {
            QVariantList items;
            for (const QString &src : fresh)
                items << QVariant(QVariantList{src == QLatin1String("inline") ? QVariant() : QVariant(src),
                                               QStringLiteral("text"), false});
            return QVariant(QVariantMap{{"count", count}, {"order", order}, {"fresh", items},
                                        {"url", "http://h/"}});
        };
        QTest::newRow("one read") << QVariantList{answer(2, {0, 1}, {"inline", "a.js"})}
                                  << QStringList{"inline", "a.js"};
        QTest::newRow("two reads") << QVariantList{answer(1, {0}, {"a.js"}), answer(3, {0, 2, 1}, {"b.js", "c.js"})}
                                   << QStringList{"a.js", "c.js", "b.js"};
        QTest::newRow("removed go last, in insertion order")
            << QVariantList{answer(4, {2, 0}, {"a.js", "gone1.js", "b.js", "gone2.js"})}
            << QStringList{"b.js", "a.js", "gone1.js", "gone2.js"};
        QTest::newRow("final read from the start replaces")
            << QVariantList{answer(2, {0, 1}, {"a.js", "b.js"}), answer(2, {1, 0}, {"x.js", "y.js"})}
            << QStringList{"y.js", "x.js"};
        QTest::newRow("not a read-out is ignored")
            << QVariantList{answer(1, {0}, {"a.js"}), QVariant(QStringLiteral("oops")), QVariant()}
            << QStringList{"a.js"};
        QTest::newRow("gap is ignored") << QVariantList{answer(1, {0}, {"a.js"}), answer(5, {0}, {"e.js"})}
                                        << QStringList{"a.js"};
        QTest::newRow("order out of range is ignored")
            << QVariantList{answer(1, {0}, {"a.js"}), answer(2, {0, 7}, {"b.js"})} << QStringList{"a.js"};
    }
    void readoutMerge() {
        QFETCH(QVariantList, answers);
        QFETCH(QStringList, scripts);
        BrowserReadout::State state;
        for (const QVariant &a : answers)
            BrowserReadout::merge(a, state);
        const PageDocument doc = BrowserReadout::documentOf(state, QStringLiteral("http://h/"));
        QCOMPARE(doc.url, QStringLiteral("http://h/"));
        QCOMPARE(describe(doc), scripts);
    }

    // A page whose certificate the engine trusts loads over https like any other.
    void trustedHttpsPage() {
        auto engine = browser();
        const QString address = trusted->baseUrl() + QStringLiteral("/t.htm");
        QCOMPARE(load(engine.get(), address), address);
        QCOMPARE(engine->document().loadError, QString());
        QCOMPARE(describe(engine->document()), (QStringList{"inline", "t.js"}));
    }

    // Cookies the page gets, from its server or from its own scripts, go with the program's own fetches.
    void cookiesReachTheProgramsFetches() {
        LocalHttpServer::Response page = html("<script>document.cookie = 'fromScript=2; path=/';</script>");
        page.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("fromServer=1; Path=/")));
        server->route(QStringLiteral("/cookies.htm"), page);
        server->route(QStringLiteral("/cookies.js"), LocalHttpServer::reply(200, "var c;"));
        auto engine = browser();
        const QString address = server->baseUrl() + QStringLiteral("/cookies.htm");
        QCOMPARE(load(engine.get(), address), address);
        const QUrl js(server->baseUrl() + QStringLiteral("/cookies.js"));
        QTRY_COMPARE(HttpManager::cookiesFor(js).size(), 2);
        QCOMPARE(downloadScript(js.toString()).text, QStringLiteral("var c;"));
        const QByteArray sent = server->lastHeader(QStringLiteral("/cookies.js"), "cookie");
        QVERIFY2(sent.contains("fromServer=1") && sent.contains("fromScript=2"), sent.constData());
    }

    void blankPageKeepsAddedScript() {
        auto engine = browser();
        QSignalSpy spy(engine.get(), &PageEngine::documentComplete);
        engine->navigate(QStringLiteral("about:blank"));
        engine->document().appendScript(QStringLiteral("/tmp/a.js"), true);
        QVERIFY(spy.wait(5000));
        QCOMPARE(describe(engine->document()), QStringList{QStringLiteral("/tmp/a.js")});
    }
};

int main(int argc, char **argv) {
    TestEnv::isolate();
    TestEnv::prepareBrowserEngine();
    QApplication app(argc, argv);
    TestBrowserEngine tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_browserengine.moc"
