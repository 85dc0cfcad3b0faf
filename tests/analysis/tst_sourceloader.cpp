// The load sequence over a page engine the test drives: kinds 1, 2, 3 and other, the DocumentComplete
// rule, the 15-second wait on an injected clock, and abort/teardown while a load runs.

#include "FakePageEngine.h"

#include "analysis/SourceLoader.h"
#include "analysis/StringSink.h"
#include "platform/net/HttpManager.h"
#include "support/EventTurns.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestSourceLoader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static PageDocument pageWithInline(const QString &url, const QString &text) {
        PageDocument doc;
        doc.url = url;
        doc.scripts.append({QString(), text, false});
        return doc;
    }

    // Gives the loader a clock that stands still and counts its looks: each check of a wait reads it.
    static std::shared_ptr<int> countLooks(SourceLoader &loader) {
        auto looks = std::make_shared<int>(0);
        loader.setClock([looks] {
            ++*looks;
            return 100.0;
        });
        return looks;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/a.js"), "var a;\r\n");
    }

    void singleScriptFile() {
        FakePageEngine engine;
        StringSink sink;
        sink.addEntry(QStringLiteral("old"));
        sink.appendText(QStringLiteral("old text"));
        SourceLoader loader(&engine, &sink);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        const QString path = m_dir.path() + QStringLiteral("/a.js");
        loader.start(SourceKind::ScriptFile, path);
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(5000));
        QVERIFY(engine.silent);
        QCOMPARE(engine.navigations, QStringList{QStringLiteral("about:blank")});
        // The blank page keeps the one added script element.
        QCOMPARE(engine.doc.scripts.size(), 1);
        QCOMPARE(engine.doc.scripts[0].src, path);
        QVERIFY(engine.doc.scripts[0].defer);
        QCOMPARE(sink.text, QStringLiteral("网址0[本地JS]：") + path + QStringLiteral("\r\nvar a;\r\n\r\n"));
        QCOMPARE(sink.entries, QStringList{QStringLiteral("[本地JS-0] ") + path});
        QCOMPARE(sink.selected, 0);
        QVERIFY(loader.failures().isEmpty());
        QVERIFY(!loader.isRunning());
    }

    void pageKinds_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<QString>("address");
        QTest::newRow("local page") << SourceKind::PageFile << m_dir.path() + QStringLiteral("/p.htm");
        QTest::newRow("online page") << SourceKind::PageAddress << QStringLiteral("http://127.0.0.1:1/p.htm");
    }
    void pageKinds() {
        QFETCH(SourceKind, kind);
        QFETCH(QString, address);
        FakePageEngine engine;
        engine.pages.insert(address, pageWithInline(address, QStringLiteral("go();")));
        StringSink sink;
        sink.appendText(QStringLiteral("old"));
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        const auto looks = countLooks(loader);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(kind, address);
        QTRY_COMPARE(engine.navigations.size(), 2);
        QCOMPARE(engine.navigations[1], address);
        QVERIFY(loader.IsLoading);
        QCOMPARE(sink.text, QString()); // emptied before the page is requested
        const int before = *looks;
        QTRY_VERIFY(*looks >= before + 3); // the wait has looked again and again
        QCOMPARE(spy.count(), 0);          // still busy, still loading
        engine.complete();
        QVERIFY(!loader.IsLoading);
        QVERIFY(spy.count() == 1 || spy.wait(2000));
        QCOMPARE(sink.text, QStringLiteral("网址0[网页内JS]：") + address + QStringLiteral("\r\ngo();\r\n"));
    }

    // Scripts an engine reveals while the page loads are fetched at once; the collection takes those
    // transfers over (one per address, for its first use) and writes exactly what it would have written.
    void revealedScriptsFetchedWhileLoading_data() {
        QTest::addColumn<QStringList>("revealed"); // as written in the page
        QTest::addColumn<QStringList>("page");     // the document's script srcs at completion
        QTest::addColumn<QList<int>>("hits");      // requests for /a.js, /b.js, /x.js
        QTest::newRow("each fetched once") << QStringList{"a.js", "$HTTP/b.js"} << QStringList{"a.js", "$HTTP/b.js"}
                                           << QList<int>{1, 1, 0};
        QTest::newRow("same address twice") << QStringList{"a.js", "a.js"} << QStringList{"a.js", "a.js"}
                                            << QList<int>{2, 0, 0};
        QTest::newRow("gone before the read-out") << QStringList{"x.js", "a.js"} << QStringList{"a.js"}
                                                  << QList<int>{1, 0, 1};
        QTest::newRow("not revealed") << QStringList{} << QStringList{"b.js"} << QList<int>{0, 1, 0};
    }
    void revealedScriptsFetchedWhileLoading() {
        QFETCH(QStringList, revealed);
        QFETCH(QStringList, page);
        QFETCH(QList<int>, hits);
        LocalHttpServer server;
        for (const char *name : {"a", "b", "x"})
            server.route(QStringLiteral("/%1.js").arg(QLatin1String(name)),
                         LocalHttpServer::reply(200, QByteArray(name) + "();"));
        const QString address = server.baseUrl() + QStringLiteral("/p.htm");
        FakePageEngine engine;
        PageDocument doc{address, {}, {}};
        QString expected;
        for (int i = 0; i < page.size(); ++i) {
            const QString src = server.expand(page[i], QString());
            doc.scripts.append({src, QString(), false});
            const QString full = src.startsWith(QLatin1String("http")) ? src : server.baseUrl() + "/" + src;
            expected += QStringLiteral("网址%1：%2\r\n%3();\r\n").arg(i).arg(full, full.mid(full.size() - 4, 1));
        }
        engine.pages.insert(address, doc);
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, address);
        QTRY_COMPARE(engine.navigations.size(), 2);
        for (const QString &src : revealed)
            emit engine.scriptRevealed(server.expand(src, QString()));
        // The transfers run while the page is still loading.
        int revealedHits = 0;
        for (const QString &path : {QStringLiteral("/a.js"), QStringLiteral("/b.js"), QStringLiteral("/x.js")})
            revealedHits += revealed.join(' ').contains(path.mid(1)) ? 1 : 0;
        QTRY_COMPARE(server.hits("/a.js") + server.hits("/b.js") + server.hits("/x.js"), revealedHits);
        QVERIFY(engine.busy());
        engine.complete();
        QVERIFY(spy.count() == 1 || spy.wait(10000));
        QCOMPARE(sink.text, expected);
        QCOMPARE(loader.failures().size(), 0);
        QCOMPARE((QList<int>{server.hits("/a.js"), server.hits("/b.js"), server.hits("/x.js")}), hits);
    }

    void completionOfAFrameDoesNotEndTheWait() {
        FakePageEngine engine;
        QObject frame;
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        const auto looks = countLooks(loader);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, QStringLiteral("http://127.0.0.1:1/p.htm"));
        QTRY_VERIFY(loader.IsLoading);
        engine.complete(&frame);
        QVERIFY(loader.IsLoading);
        const int before = *looks;
        QTRY_VERIFY(*looks >= before + 3); // the wait has looked again since
        QCOMPARE(spy.count(), 0);
        // The engine's own completion clears IsLoading even while the engine still reports busy.
        engine.complete(nullptr, true);
        QVERIFY(!loader.IsLoading);
        QVERIFY(spy.count() == 1 || spy.wait(2000));
    }

    void notBusyEndsTheWaitAtOnce() {
        FakePageEngine engine;
        engine.busyOnNavigate = false;
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageFile, m_dir.path() + QStringLiteral("/p.htm"));
        QVERIFY(spy.wait(2000));
        QVERIFY(loader.IsLoading); // no completion came; the wait does not reset it
        QCOMPARE(sink.text, QString());
    }

    void fifteenSecondLimit_data() {
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<bool>("ends");
        QTest::newRow("14.999 s") << 14.999 << false;
        QTest::newRow("exactly 15 s goes on") << 15.0 << false;
        QTest::newRow("15.001 s ends") << 15.001 << true;
        QTest::newRow("an hour") << 3600.0 << true;
    }
    void fifteenSecondLimit() {
        QFETCH(double, elapsed);
        QFETCH(bool, ends);
        FakePageEngine engine;
        const QString address = QStringLiteral("http://127.0.0.1:1/p.htm");
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        double now = 86399.5; // any origin: the clock is monotonic, no midnight wrap
        int reads = 0;
        loader.setClock([&] {
            ++reads;
            return now;
        });
        loader.setPollIntervalMs(5);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, address);
        QTRY_VERIFY(reads >= 1); // t0 taken
        // The page stays busy; meanwhile the engine has parsed part of it.
        engine.doc.scripts.append({QString(), QStringLiteral("partial();"), false});
        now += elapsed;
        if (ends) {
            // Only the clock can end this wait: the engine stays busy and IsLoading stays true.
            QVERIFY(spy.count() == 1 || spy.wait(2000));
        } else {
            const int before = reads;
            QTRY_VERIFY(reads >= before + 3); // several looks at the clock
            QCOMPARE(spy.count(), 0);
            now += 0.5;
            QVERIFY(spy.wait(2000));
        }
        // Collected on the document as it stood; the engine, still busy then, was stopped, and IsLoading
        // stays as the wait left it.
        QCOMPARE(engine.stops, 1);
        QVERIFY(!engine.busy());
        QVERIFY(loader.IsLoading);
        QCOMPARE(sink.text,
                 QStringLiteral("网址0[网页内JS]：") + address + QStringLiteral("\r\npartial();\r\n"));
    }

    void otherKindLoadsNothing_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::newRow("0") << SourceKind::None;
        QTest::newRow("4") << SourceKind(4);
        QTest::newRow("-1") << SourceKind(-1);
    }
    void otherKindLoadsNothing() {
        QFETCH(SourceKind, kind);
        FakePageEngine engine;
        StringSink sink;
        sink.addEntry(QStringLiteral("kept"));
        sink.appendText(QStringLiteral("kept text"));
        SourceLoader loader(&engine, &sink);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(kind, m_dir.path() + QStringLiteral("/a.js"));
        QVERIFY(spy.wait(2000));
        QCOMPARE(engine.navigations, QStringList{QStringLiteral("about:blank")});
        QCOMPARE(sink.text, QStringLiteral("kept text"));
        QCOMPARE(sink.entries, QStringList{QStringLiteral("kept")});
    }

    void abortWhileWaiting() {
        FakePageEngine engine;
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        const auto looks = countLooks(loader);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, QStringLiteral("http://127.0.0.1:1/p.htm"));
        QTRY_VERIFY(loader.IsLoading);
        QTRY_VERIFY(*looks >= 3); // the page's wait is running
        loader.abort();
        QCOMPARE(engine.stops, 1);
        QVERIFY(!loader.isRunning());
        engine.complete();
        // The completion, and the polls that would have seen it, have had their turns.
        QVERIFY(EventTurns::intervalsPassed(5));
        QCOMPARE(spy.count(), 0);
        QVERIFY(sink.pieces.isEmpty());
    }

    void abortBeforeTheFirstStep() {
        FakePageEngine engine;
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::ScriptFile, m_dir.path() + QStringLiteral("/a.js"));
        loader.abort();
        QVERIFY(EventTurns::pendingHandled()); // the first step, queued by start()
        QCOMPARE(spy.count(), 0);
        QCOMPARE(engine.doc.scripts.size(), 0);
    }

    void windowClosedWhileWaiting() {
        auto *engine = new FakePageEngine;
        StringSink sink;
        auto *loader = new SourceLoader(engine, &sink);
        loader->setPollIntervalMs(5);
        loader->start(SourceKind::PageFile, m_dir.path() + QStringLiteral("/p.htm"));
        QTRY_VERIFY(loader->IsLoading);
        delete loader;
        QCOMPARE(engine->stops, 1);
        engine->complete();
        QVERIFY(EventTurns::pendingHandled());
        QVERIFY(sink.pieces.isEmpty());
        delete engine;
    }

    void engineGoesFirst() {
        auto *engine = new FakePageEngine;
        StringSink sink;
        SourceLoader loader(engine, &sink);
        loader.setPollIntervalMs(5);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, QStringLiteral("http://127.0.0.1:1/p.htm"));
        QTRY_VERIFY(loader.IsLoading);
        delete engine;
        QVERIFY(spy.wait(2000)); // the wait ends; there is no document to collect
        QCOMPARE(sink.text, QString());
    }

    void secondStartReplacesTheFirst() {
        FakePageEngine engine;
        const QString first = QStringLiteral("http://127.0.0.1:1/first.htm");
        const QString second = QStringLiteral("http://127.0.0.1:1/second.htm");
        engine.pages.insert(second, pageWithInline(second, QStringLiteral("two();")));
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, first);
        QTRY_VERIFY(loader.IsLoading);
        loader.start(SourceKind::PageAddress, second);
        QTRY_COMPARE(engine.navigations.size(), 4);
        engine.complete();
        QVERIFY(spy.wait(2000));
        QVERIFY(EventTurns::intervalsPassed(5)); // whatever the first load left queued or polling
        QCOMPARE(spy.count(), 1);
        QCOMPARE(sink.text, QStringLiteral("网址0[网页内JS]：") + second + QStringLiteral("\r\ntwo();\r\n"));
    }

    // loadStarting comes once the blank page is in and before the source is touched, for every kind.
    void loadStartingBeforeTheSource_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::newRow("script file") << SourceKind::ScriptFile;
        QTest::newRow("page file") << SourceKind::PageFile;
        QTest::newRow("page address") << SourceKind::PageAddress;
        QTest::newRow("other") << SourceKind(7);
    }
    void loadStartingBeforeTheSource() {
        QFETCH(SourceKind, kind);
        FakePageEngine engine;
        engine.busyOnNavigate = false;
        StringSink sink;
        sink.appendText(QStringLiteral("old"));
        SourceLoader loader(&engine, &sink);
        QList<SourceKind> kinds;
        QStringList seen;
        connect(&loader, &SourceLoader::loadStarting, this, [&](SourceKind k) {
            kinds << k;
            seen << engine.navigations.join(QLatin1Char(',')) << sink.text;
        });
        QSignalSpy spy(&loader, &SourceLoader::finished);
        loader.start(kind, m_dir.path() + QStringLiteral("/a.js"));
        QVERIFY(spy.wait(5000));
        QCOMPARE(kinds, QList<SourceKind>{kind});
        QCOMPARE(seen, (QStringList{QStringLiteral("about:blank"), QStringLiteral("old")}));
        QCOMPARE(loader.document().kind, kind);
    }

    // Progress counts the scripts written; stop() ends the load at once, keeping every piece written.
    void progressAndStopKeepingWhatWasCollected() {
        LocalHttpServer server;
        server.route(QStringLiteral("/a.js"), LocalHttpServer::reply(200, "var a;"));
        LocalHttpServer::Response slow = LocalHttpServer::reply(200, "var slow;");
        slow.held = true; // answers only once the load has been stopped
        server.route(QStringLiteral("/slow.js"), slow);
        FakePageEngine engine;
        const QString page = server.baseUrl() + QStringLiteral("/p.htm");
        PageDocument doc = pageWithInline(page, QStringLiteral("first();"));
        doc.scripts.append({server.baseUrl() + QStringLiteral("/a.js"), QString(), false});
        doc.scripts.append({server.baseUrl() + QStringLiteral("/slow.js"), QString(), false});
        doc.scripts.append({server.baseUrl() + QStringLiteral("/fast.js"), QString(), false});
        doc.scripts.append({QString(), QStringLiteral("last();"), false});
        server.route(QStringLiteral("/fast.js"), LocalHttpServer::reply(200, "var fast;"));
        engine.pages.insert(page, doc);
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        QList<QPair<int, int>> steps;
        connect(&loader, &SourceLoader::progress, this, [&](int obtained, int total) { steps << qMakePair(obtained, total); });
        QSignalSpy finished(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, page);
        QTRY_VERIFY(loader.IsLoading);
        engine.complete();
        QTRY_COMPARE_WITH_TIMEOUT(steps.size(), 3, 10000);
        QCOMPARE(steps, (QList<QPair<int, int>>{{0, 5}, {1, 5}, {2, 5}}));
        QTRY_COMPARE_WITH_TIMEOUT(server.hits(QStringLiteral("/slow.js")), 1, 5000);
        // fast.js has come, and waits behind slow.js.
        QTRY_COMPARE_WITH_TIMEOUT(HttpManager::forThread()->runningFor(QUrl(server.baseUrl())), 1, 5000);
        loader.stop();
        const QString kept = sink.text;
        QCOMPARE(finished.count(), 1);
        QVERIFY(loader.wasStopped());
        QVERIFY(!loader.isRunning());
        // The stopped script ends with its line break, as one that failed; it is reported as not obtained.
        // What came after it stays in its place: the script already fetched and the inline one.
        QVERIFY2(kept.endsWith(QStringLiteral("网址2：") + server.baseUrl() + QStringLiteral("/slow.js\r\n\r\n网址3：") +
                               server.baseUrl() + QStringLiteral("/fast.js\r\nvar fast;\r\n网址4[网页内JS]：") + page +
                               QStringLiteral("\r\nlast();\r\n")),
                 qPrintable(kept));
        QCOMPARE(sink.entries.size(), 5);
        QCOMPARE(loader.failures().size(), 1);
        QCOMPARE(loader.failures().first().index, 2);
        QCOMPARE(loader.failures().first().reason, QStringLiteral("载入已停止，未取得"));
        QCOMPARE(loader.document().collectedBlocks.size(), 5);
        // The slow script's transfer is cancelled: nothing more can be written or said.
        QTRY_COMPARE(HttpManager::forThread()->runningFor(QUrl(server.baseUrl())), 0);
        server.release();
        QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow.js")));
        QCOMPARE(sink.text, kept);
        QCOMPARE(steps.size(), 3);
        QCOMPARE(finished.count(), 1);
        loader.stop(); // nothing running: nothing happens
        QCOMPARE(finished.count(), 1);
    }

    void blockingForm() {
        FakePageEngine engine;
        engine.busyOnNavigate = false;
        const QString address = m_dir.path() + QStringLiteral("/p.htm");
        engine.pages.insert(address, pageWithInline(address, QStringLiteral("x")));
        StringSink sink;
        const QList<ScriptFailure> failures =
            SourceLoader::runBlocking(&engine, &sink, SourceKind::ScriptFile, m_dir.path() + "/a.js");
        QVERIFY(failures.isEmpty());
        QCOMPARE(sink.entries.size(), 1);
        QVERIFY(sink.text.endsWith(QStringLiteral("var a;\r\n\r\n")));
    }
};

VARNEL_TEST_MAIN(TestSourceLoader)
#include "tst_sourceloader.moc"
