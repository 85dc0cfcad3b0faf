// How a load ends other than by completing: aborted from its own progress signal, a page the engine cut
// short at a limit of its own, and a stop while the page itself is still loading.

#include "FakePageEngine.h"

#include "analysis/SourceLoader.h"
#include "analysis/StringSink.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

class TestLoaderEnds : public QObject {
    Q_OBJECT

    static PageDocument pageWithInline(const QString &url, const QString &text) {
        PageDocument doc;
        doc.url = url;
        doc.scripts.append({QString(), text, false});
        return doc;
    }

private slots:
    // Aborted from its own progress signal, with later scripts already there: nothing more is written
    // and finished() does not come.
    void abortFromProgress() {
        FakePageEngine engine;
        const QString page = QStringLiteral("http://127.0.0.1:1/p.htm");
        PageDocument doc = pageWithInline(page, QStringLiteral("one();"));
        doc.scripts.append({QString(), QStringLiteral("two();"), false});
        doc.scripts.append({QString(), QStringLiteral("three();"), false});
        engine.pages.insert(page, doc);
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        connect(&loader, &SourceLoader::progress, this, [&](int obtained, int) {
            if (obtained == 1)
                loader.abort();
        });
        QSignalSpy finished(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, page);
        QTRY_VERIFY(loader.IsLoading);
        engine.complete();
        QTRY_VERIFY(!loader.isRunning());
        QCOMPARE(sink.entries.size(), 1);
        QVERIFY(!sink.text.contains(QStringLiteral("two();")));
        QVERIFY(!finished.wait(200));
    }

    // An engine that ended the page at a limit of its own: the reason is said, and what the page had
    // is collected.
    void pageCutByTheEngine_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QString>("failure");
        QTest::newRow("wait limit") << int(PageCut::WaitLimit) << "网页在15秒内未载入完成：";
        QTest::newRow("memory limit") << int(PageCut::MemoryLimit) << "网页占用内存过多（超过 1 GB），已停止：";
        QTest::newRow("complete") << int(PageCut::None) << "";
    }
    void pageCutByTheEngine() {
        QFETCH(int, cut);
        QFETCH(QString, failure);
        FakePageEngine engine;
        const QString page = QStringLiteral("http://127.0.0.1:1/p.htm");
        PageDocument doc = pageWithInline(page, QStringLiteral("partial();"));
        doc.cut = PageCut(cut);
        engine.pages.insert(page, doc);
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        QSignalSpy finished(&loader, &SourceLoader::finished);
        loader.start(SourceKind::PageAddress, page);
        QTRY_VERIFY(loader.IsLoading);
        engine.complete();
        QVERIFY(finished.wait(5000));
        QCOMPARE(loader.pageFailure(), failure.isEmpty() ? QString() : failure + page);
        QCOMPARE(sink.entries.size(), 1);
        QVERIFY(sink.text.contains(QStringLiteral("partial();")));
    }

    // Stopped while the page itself loads: what the engine's document holds is collected, what it names
    // but has not brought is listed as not obtained; the engine's count of scripts is passed on.
    void stopWhileThePageLoads() {
        FakePageEngine engine;
        const QString page = QStringLiteral("http://127.0.0.1:1/p.htm");
        StringSink sink;
        SourceLoader loader(&engine, &sink);
        loader.setPollIntervalMs(5);
        QSignalSpy finished(&loader, &SourceLoader::finished);
        QSignalSpy seen(&loader, &SourceLoader::pageLoading);
        loader.start(SourceKind::PageAddress, page);
        QTRY_VERIFY(loader.IsLoading);
        engine.doc.scripts.append({QString(), QStringLiteral("early();"), false});
        engine.doc.scripts.append({QStringLiteral("http://127.0.0.1:1/x.js"), QString(), false});
        emit engine.scriptsSeen(2);
        QCOMPARE(seen.count(), 1);
        QCOMPARE(seen[0][0].toInt(), 2);
        loader.stop();
        QCOMPARE(finished.count(), 1);
        QVERIFY(loader.wasStopped());
        QCOMPARE(engine.stops, 1);
        QCOMPARE(sink.text, QStringLiteral("网址0[网页内JS]：") + page +
                                QStringLiteral("\r\nearly();\r\n网址1：http://127.0.0.1:1/x.js\r\n\r\n"));
        QCOMPARE(loader.failures(), (QList<ScriptFailure>{{1, QStringLiteral("http://127.0.0.1:1/x.js"),
                                                            QStringLiteral("载入已停止，未取得")}}));
        QVERIFY(!finished.wait(100));
    }
};

VARNEL_TEST_MAIN(TestLoaderEnds)
#include "tst_loaderends.moc"
