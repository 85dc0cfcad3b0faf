// 加载DocCss到数组 over documents built here: the combined text and script list formats, the four
// classes, failures kept as empty bodies, and the prefetch matching the one-at-a-time walk piece for piece.

#include "analysis/ScriptCollection.h"
#include "analysis/StringSink.h"
#include "platform/net/HttpManager.h"
#include "support/EventTurns.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// A script element written as "src|text"; "|text" is inline.
// A script the server holds until the test releases it.
LocalHttpServer::Response held(const QByteArray &body) {
    LocalHttpServer::Response r = LocalHttpServer::reply(200, body, "text/javascript");
    r.held = true;
    return r;
}

PageDocument makeDocument(const QString &url, const QStringList &scripts) {
    PageDocument doc;
    doc.url = url;
    for (const QString &s : scripts) {
        const qsizetype bar = s.indexOf(QLatin1Char('|'));
        doc.scripts.append({bar < 0 ? s : s.left(bar), bar < 0 ? QString() : s.mid(bar + 1), false});
    }
    return doc;
}

// A sink whose selection handler aborts the load, as a window closed from that handler would.
struct AbortingSink : StringSink {
    ScriptCollection *collection = nullptr;
    void selectEntry(int index) override {
        StringSink::selectEntry(index);
        collection->abort();
    }
};

} // namespace

class TestCollection : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    QString expand(const QString &s) const { return m_server->expand(s, m_dir.path()); }
    QStringList expand(const QStringList &list) const {
        QStringList out;
        for (const QString &s : list)
            out << expand(s);
        return out;
    }
    PageDocument slowPage(int count, int firstDelayMs);

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        HttpManager::setDefaultTimeoutMs(1000);
        HttpManager::setDefaultMaxBytes(1000);
        m_server = std::make_unique<LocalHttpServer>();
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/a.js"), "var a = 1;\r\n");
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/.h.js"), "hidden");
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/sub/c.js"), "var c;");
        m_server->route(QStringLiteral("/b.js"),
                        LocalHttpServer::reply(200, "var b = 2;", "text/javascript"));
        m_server->route(QStringLiteral("/dir/sub/a.js"),
                        LocalHttpServer::reply(200, "plain relative", "text/javascript"));
        m_server->route(QStringLiteral("/dir/b.js"),
                        LocalHttpServer::reply(200, "parent folder", "text/javascript"));
        m_server->route(QStringLiteral("/dir/sub/c.js"),
                        LocalHttpServer::reply(200, "dot slash", "text/javascript"));
        m_server->route(QStringLiteral("/d.js"), LocalHttpServer::reply(200, "site root", "text/javascript"));
        m_server->route(QStringLiteral("/dir/sub/page.htm"), [](const QString &target) {
            return LocalHttpServer::reply(200, ("query " + target).toUtf8(), "text/javascript");
        });
        m_server->route(QStringLiteral("/moved.js"), LocalHttpServer::reply(302, {}, "text/plain", "/b.js"));
        m_server->route(QStringLiteral("/404.js"), LocalHttpServer::reply(404, "not here", "text/html"));
        m_server->route(QStringLiteral("/500.js"), LocalHttpServer::reply(500, "broken", "text/html"));
        m_server->route(QStringLiteral("/stall.js"),
                        LocalHttpServer::reply(200, "too late", "text/javascript", {}, 2500));
        m_server->route(QStringLiteral("/big.js"),
                        LocalHttpServer::reply(200, QByteArray(5000, 'x'), "text/javascript"));
    }
    void cleanupTestCase() { m_server.reset(); }

    void formats_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("scripts");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");

        QTest::newRow("worked example")
            << "file://$DIR/p.htm" << QStringList{"|inline();", "a.js", "$HTTP/b.js"}
            << "网址0[网页内JS]：$DIR/p.htm\r\ninline();\r\n"
               "网址1[本地JS]：$DIR/a.js\r\nvar a = 1;\r\n\r\n"
               "网址2：$HTTP/b.js\r\nvar b = 2;\r\n"
            << QStringList{"[网页内JS-0] $DIR/p.htm", "[本地JS-1] $DIR/a.js", "$HTTP/b.js"};
        QTest::newRow("worked example, drive paths")
            << "file://C:\\dir\\p.htm" << QStringList{"|inline();", "a.js", "$HTTP/b.js"}
            << "网址0[网页内JS]：C:\\dir\\p.htm\r\ninline();\r\n"
               "网址1[本地JS]：C:/dir/a.js\r\n\r\n"
               "网址2：$HTTP/b.js\r\nvar b = 2;\r\n"
            << QStringList{"[网页内JS-0] C:\\dir\\p.htm", "[本地JS-1] C:/dir/a.js", "$HTTP/b.js"};
        QTest::newRow("no scripts") << "file://$DIR/p.htm" << QStringList{} << "" << QStringList{};
        QTest::newRow("only inline") << "$HTTP/p.htm" << QStringList{"|x = 1;"}
                                     << "网址0[网页内JS]：$HTTP/p.htm\r\nx = 1;\r\n"
                                     << QStringList{"[网页内JS-0] $HTTP/p.htm"};
        QTest::newRow("two inline")
            << "$HTTP/p.htm" << QStringList{"|a();", "|b();"}
            << "网址0[网页内JS]：$HTTP/p.htm\r\na();\r\n网址1[网页内JS]：$HTTP/p.htm\r\nb();\r\n"
            << QStringList{"[网页内JS-0] $HTTP/p.htm", "[网页内JS-1] $HTTP/p.htm"};
        QTest::newRow("FILE:// in capitals")
            << "FILE://$DIR/p.htm" << QStringList{"|x"} << "网址0[网页内JS]：$DIR/p.htm\r\nx\r\n"
            << QStringList{"[网页内JS-0] $DIR/p.htm"};
        QTest::newRow("file:/// keeps its slash")
            << "file:///C:/dir/p.htm" << QStringList{"|x"} << "网址0[网页内JS]：/C:/dir/p.htm\r\nx\r\n"
            << QStringList{"[网页内JS-0] /C:/dir/p.htm"};
        QTest::newRow("empty inline")
            << "about:blank" << QStringList{"|"} << "网址0[网页内JS]：about:blank\r\n\r\n"
            << QStringList{"[网页内JS-0] about:blank"};
        QTest::newRow("five scripts, numbered from 0")
            << "about:blank" << QStringList{"|0", "|1", "|2", "|3", "|4"}
            << "网址0[网页内JS]：about:blank\r\n0\r\n网址1[网页内JS]：about:blank\r\n1\r\n"
               "网址2[网页内JS]：about:blank\r\n2\r\n网址3[网页内JS]：about:blank\r\n3\r\n"
               "网址4[网页内JS]：about:blank\r\n4\r\n"
            << QStringList{"[网页内JS-0] about:blank", "[网页内JS-1] about:blank", "[网页内JS-2] about:blank",
                           "[网页内JS-3] about:blank", "[网页内JS-4] about:blank"};
        QTest::newRow("network share, backslashes") << "about:blank" << QStringList{"\\\\server\\share\\a.js"}
                                                    << "网址0[网络JS]：\\\\server\\share\\a.js\r\n\r\n"
                                                    << QStringList{"[网络JS-0] \\\\server\\share\\a.js"};
        QTest::newRow("network share, slashes") << "about:blank" << QStringList{"//server/share/a.js"}
                                                << "网址0[网络JS]：//server/share/a.js\r\n\r\n"
                                                << QStringList{"[网络JS-0] //server/share/a.js"};
        QTest::newRow("disk path from the root is local")
            << "about:blank" << QStringList{"$DIR/sub/c.js"} << "网址0[本地JS]：$DIR/sub/c.js\r\nvar c;\r\n"
            << QStringList{"[本地JS-0] $DIR/sub/c.js"};
        QTest::newRow("drive path on a blank page")
            << "about:blank" << QStringList{"D:\\x\\a.js"} << "网址0[本地JS]：D:\\x\\a.js\r\n\r\n"
            << QStringList{"[本地JS-0] D:\\x\\a.js"};
        QTest::newRow("dot-file read, folder empty")
            << "about:blank" << QStringList{"$DIR/.h.js", "$DIR/sub"}
            << "网址0[本地JS]：$DIR/.h.js\r\nhidden\r\n网址1[本地JS]：$DIR/sub\r\n\r\n"
            << QStringList{"[本地JS-0] $DIR/.h.js", "[本地JS-1] $DIR/sub"};
        QTest::newRow("ftp listed, not fetched")
            << "about:blank" << QStringList{"ftp://$HOST/b.js"} << "网址0：ftp://$HOST/b.js\r\n\r\n"
            << QStringList{"ftp://$HOST/b.js"};
        QTest::newRow("HTTP in capitals fetched") << "about:blank" << QStringList{"HTTP://$HOST/b.js"}
                                                  << "网址0：HTTP://$HOST/b.js\r\nvar b = 2;\r\n"
                                                  << QStringList{"HTTP://$HOST/b.js"};
        QTest::newRow("relative addresses on a served page")
            << "$HTTP/dir/sub/page.htm" << QStringList{"a.js", "../b.js", "./c.js", "/d.js", "?v=1"}
            << "网址0：$HTTP/dir/sub/a.js\r\nplain relative\r\n"
               "网址1：$HTTP/dir/b.js\r\nparent folder\r\n"
               "网址2：$HTTP/dir/sub/c.js\r\ndot slash\r\n"
               "网址3：$HTTP/d.js\r\nsite root\r\n"
               "网址4：$HTTP/dir/sub/page.htm?v=1\r\nquery /dir/sub/page.htm?v=1\r\n"
            << QStringList{"$HTTP/dir/sub/a.js", "$HTTP/dir/b.js", "$HTTP/dir/sub/c.js", "$HTTP/d.js",
                           "$HTTP/dir/sub/page.htm?v=1"};
        QTest::newRow("redirect followed")
            << "about:blank" << QStringList{"$HTTP/moved.js"} << "网址0：$HTTP/moved.js\r\nvar b = 2;\r\n"
            << QStringList{"$HTTP/moved.js"};
    }
    void formats() {
        QFETCH(QString, url);
        QFETCH(QStringList, scripts);
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        const PageDocument doc = makeDocument(expand(url), expand(scripts));

        StringSink sink;
        const QList<ScriptFailure> failures = 加载DocCss到数组(doc, sink);
        QCOMPARE(sink.text, expand(text));
        QCOMPARE(sink.entries, expand(entries));
        // Every script of a file or an address whose body came out empty is reported, and no other.
        QList<int> emptyBodies, reported;
        for (qsizetype i = 0; i < scripts.size() && 2 * i + 1 < sink.pieces.size(); ++i)
            if (!scripts[i].startsWith(QLatin1Char('|')) && sink.pieces[2 * i + 1] == QLatin1String("\r\n"))
                emptyBodies << int(i);
        for (const ScriptFailure &f : failures) {
            reported << f.index;
            QVERIFY2(!f.reason.isEmpty(), qPrintable(f.address));
        }
        QCOMPARE(reported, emptyBodies);
        // The first entry is selected once, and only when there is one.
        QCOMPARE(sink.selected, entries.isEmpty() ? -1 : 0);
        QCOMPARE(sink.selectCalls, entries.isEmpty() ? 0 : 1);
        // Header and body are separate pieces, in document order.
        QCOMPARE(sink.pieces.size(), 2 * scripts.size());

        StringSink walk;
        collectOneAtATime(doc, walk);
        QCOMPARE(walk.pieces, sink.pieces);
        QCOMPARE(walk.entries, sink.entries);
    }

    void unobtainable_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reasonPart"); // empty: any reason
        QTest::newRow("404") << "/404.js"
                             << "404";
        QTest::newRow("500") << "/500.js"
                             << "500";
        QTest::newRow("stalled server") << "/stall.js"
                                        << "";
        QTest::newRow("oversized body") << "/big.js"
                                        << "";
        QTest::newRow("nothing listening") << "CLOSED"
                                           << "";
    }
    void unobtainable() {
        QFETCH(QString, path);
        QFETCH(QString, reasonPart);
        const QString address = path == QLatin1String("CLOSED") ? QStringLiteral("http://127.0.0.1:1/x.js")
                                                                : m_server->baseUrl() + path;
        const PageDocument doc = makeDocument(QStringLiteral("about:blank"), {QStringLiteral("|a"), address});

        StringSink sink;
        const QList<ScriptFailure> failures = 加载DocCss到数组(doc, sink);
        QCOMPARE(sink.text, QStringLiteral("网址0[网页内JS]：about:blank\r\na\r\n网址1：") + address +
                                QStringLiteral("\r\n\r\n"));
        QCOMPARE(sink.entries.size(), 2);
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].index, 1);
        QCOMPARE(failures[0].address, address);
        QVERIFY(!failures[0].reason.isEmpty());
        if (!reasonPart.isEmpty())
            QVERIFY2(failures[0].reason.contains(reasonPart), qPrintable(failures[0].reason));
    }

    // Later scripts answer first; the sink still sees document order, identical to the plain walk.
    void prefetchMatchesOneAtATime() {
        QStringList scripts;
        for (int i = 0; i < 12; ++i) {
            const QString path = QStringLiteral("/order/%1.js").arg(i);
            m_server->route(path, LocalHttpServer::reply(200, QStringLiteral("s%1();").arg(i).toUtf8(),
                                                         "text/javascript", {}, 20 * (12 - i)));
            scripts << m_server->baseUrl() + path;
            if (i % 4 == 0)
                scripts << QStringLiteral("|inline%1();").arg(i);
        }
        scripts << QStringLiteral("a.js") << QStringLiteral("sub/c.js")
                << m_server->baseUrl() + QStringLiteral("/404.js");
        const PageDocument doc =
            makeDocument(QStringLiteral("file://") + m_dir.path() + QStringLiteral("/p.htm"), scripts);

        // The collection runs on this test's event loop, so a transfer that never ends fails the test
        // instead of holding it.
        StringSink prefetched;
        ScriptCollection collection(doc, &prefetched);
        QSignalSpy spy(&collection, &ScriptCollection::finished);
        collection.start();
        QVERIFY(spy.wait(10000));
        const QList<ScriptFailure> f1 = collection.failures();
        StringSink walked;
        const QList<ScriptFailure> f2 = collectOneAtATime(doc, walked);
        QCOMPARE(prefetched.pieces, walked.pieces);
        QCOMPARE(prefetched.entries, walked.entries);
        QCOMPARE(prefetched.text, walked.text);
        QCOMPARE(f1, f2);
        QCOMPARE(f1.size(), 1);
        QVERIFY(prefetched.text.contains(QStringLiteral("s11();")));
        QVERIFY(prefetched.text.contains(QStringLiteral("[本地JS]：") + m_dir.path() +
                                         QStringLiteral("/sub/c.js\r\nvar c;\r\n")));
    }

    // Each host has its own limit: the scripts of two hosts are fetched side by side, six of each at once.
    void hostsSideBySide() {
        LocalHttpServer a, b;
        QStringList scripts;
        for (int i = 0; i < 16; ++i) {
            LocalHttpServer &server = i % 2 ? b : a;
            const QString path = QStringLiteral("/h/%1.js").arg(i);
            server.route(path, LocalHttpServer::reply(200, "x", "text/javascript", {}, 150));
            scripts << server.baseUrl() + path;
        }
        StringSink sink;
        ScriptCollection collection(makeDocument(QStringLiteral("about:blank"), scripts), &sink);
        QSignalSpy spy(&collection, &ScriptCollection::finished);
        collection.start();
        QVERIFY(spy.wait(20000));
        QCOMPARE(sink.text.count(QStringLiteral("\r\nx\r\n")), 16);
        QCOMPARE(a.peakConcurrent(), HttpManager::MaxPerHost);
        QCOMPARE(b.peakConcurrent(), HttpManager::MaxPerHost);
    }

    void transferLimit() {
        std::atomic<int> inFlight{0};
        std::atomic<int> peak{0};
        QStringList scripts;
        for (int i = 0; i < 14; ++i) {
            const QString path = QStringLiteral("/limit/%1.js").arg(i);
            m_server->route(path, [&](const QString &) {
                const int now = ++inFlight;
                int seen = peak.load();
                while (now > seen && !peak.compare_exchange_weak(seen, now)) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(80)); // the server works: transfers overlap
                --inFlight;
                return LocalHttpServer::reply(200, "x", "text/javascript");
            });
            scripts << m_server->baseUrl() + path;
        }
        StringSink sink;
        ScriptCollection collection(makeDocument(QStringLiteral("about:blank"), scripts), &sink);
        collection.setMaxTransfers(3); // below the HTTP layer's own per-host limit, so this one shows
        QSignalSpy spy(&collection, &ScriptCollection::finished);
        collection.start();
        QVERIFY(spy.wait(10000));
        QCOMPARE(sink.entries.size(), 14);
        QCOMPARE(sink.text.count(QStringLiteral("\r\nx\r\n")), 14);
        QVERIFY2(peak.load() <= 3, qPrintable(QString::number(peak.load())));
        QVERIFY2(peak.load() >= 2, "transfers ran one at a time");
    }

    // While script 0 is still on its way, nothing of script 1 is written, though script 1 is already here.
    void writesInOrderWhileRunning() {
        LocalHttpServer server;
        server.route(QStringLiteral("/first.js"), held("first"));
        server.route(QStringLiteral("/second.js"), LocalHttpServer::reply(200, "second", "text/javascript"));
        const QString first = server.baseUrl() + QStringLiteral("/first.js");
        const QString second = server.baseUrl() + QStringLiteral("/second.js");
        StringSink sink;
        ScriptCollection collection(makeDocument(QStringLiteral("about:blank"), {first, second}), &sink);
        QSignalSpy spy(&collection, &ScriptCollection::finished);
        collection.start();
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/second.js")));
        QCOMPARE(sink.pieces, QStringList{QStringLiteral("网址0：") + first + QStringLiteral("\r\n")});
        QCOMPARE(sink.entries, QStringList{first});
        server.release();
        QVERIFY(spy.wait(10000));
        QCOMPARE(sink.pieces.size(), 4);
        QCOMPARE(sink.pieces[3], QStringLiteral("second\r\n"));
    }

    void finishedNeverFromStart() {
        StringSink sink;
        ScriptCollection collection(makeDocument(QStringLiteral("about:blank"), {QStringLiteral("|x")}),
                                    &sink);
        QSignalSpy spy(&collection, &ScriptCollection::finished);
        collection.start();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(sink.text, QStringLiteral("网址0[网页内JS]：about:blank\r\nx\r\n")); // inline text at once
        QVERIFY(spy.wait(1000));
        QVERIFY(collection.isFinished());
    }

    void abortFromSelection_data() {
        QTest::addColumn<QStringList>("scripts");
        QTest::newRow("inline only, selected during start") << QStringList{QStringLiteral("|x")};
        QTest::newRow("download, selected later") << QStringList{QStringLiteral("$HTTP/b.js")};
    }
    void abortFromSelection() {
        QFETCH(QStringList, scripts);
        AbortingSink sink;
        ScriptCollection collection(makeDocument(QStringLiteral("about:blank"), expand(scripts)), &sink);
        sink.collection = &collection;
        QSignalSpy spy(&collection, &ScriptCollection::finished);
        collection.start();
        QTRY_COMPARE_WITH_TIMEOUT(sink.selectCalls, 1, 10000);
        QCoreApplication::processEvents(); // a finished() queued by mistake would arrive here
        QVERIFY(!collection.isFinished());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(sink.entries.size(), 1);
    }

    void abortMidway() {
        LocalHttpServer server;
        server.route(QStringLiteral("/slow1.js"), held("a"));
        server.route(QStringLiteral("/slow2.js"), held("b"));
        StringSink sink;
        auto *collection = new ScriptCollection(
            makeDocument(QStringLiteral("about:blank"), {server.baseUrl() + QStringLiteral("/slow1.js"),
                                                         server.baseUrl() + QStringLiteral("/slow2.js")}),
            &sink);
        QSignalSpy spy(collection, &ScriptCollection::finished);
        collection->start();
        QTRY_VERIFY_WITH_TIMEOUT(server.hits(QStringLiteral("/slow1.js")) == 1 &&
                                     server.hits(QStringLiteral("/slow2.js")) == 1,
                                 10000);
        collection->abort();
        const QStringList before = sink.pieces;
        server.release();
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow1.js")));
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow2.js")));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(sink.pieces, before);
        QCOMPARE(sink.pieces.size(), 1);

        // Deleting one mid-way is just as quiet.
        server.hold();
        StringSink other;
        auto *second = new ScriptCollection(
            makeDocument(QStringLiteral("about:blank"), {server.baseUrl() + QStringLiteral("/slow1.js")}),
            &other);
        second->start();
        QTRY_COMPARE_WITH_TIMEOUT(server.hits(QStringLiteral("/slow1.js")), 2, 10000);
        delete second;
        server.release();
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow1.js"), 2));
        QCOMPARE(other.pieces.size(), 1);
        delete collection;
    }
};

VARNEL_TEST_MAIN(TestCollection)
#include "tst_collection.moc"
