// Source maps found through the real load sequence: every way a script names its map (comment, old
// comment, header, data: in base64 and percent form, index map), sources with and without content,
// sources fetched from the server, refused local reads, and maps that cannot be had. The bundles and
// maps are esbuild's (tests/data/sourcemap).

#include "analysis/SourceLoader.h"
#include "analysis/SourceMapCollector.h"
#include "analysis/SourceMapSink.h"
#include "analysis/StringSink.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageEngine.h"
#include "sourcemap/FixtureFiles.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray withoutComment(const QByteArray &script) {
    return script.left(script.lastIndexOf("//# sourceMappingURL="));
}

QByteArray withComment(const QByteArray &script, const QByteArray &url) {
    return withoutComment(script) + "//# sourceMappingURL=" + url + "\n";
}

// The fixture file an esbuild source name ("../src/ui/menu.ts") stands for.
QByteArray originalOf(const QString &name) {
    const qsizetype at = name.indexOf(QLatin1String("src/"));
    return at < 0 ? QByteArray() : fixtureBytes(name.mid(at));
}

QString summary(const MappedBundle &b) {
    QStringList parts;
    for (const OriginalSource &s : b.sources) {
        const char *status[] = {"pending", "ok", "failed", "refused"};
        parts << QStringLiteral("%1=%2%3").arg(
            s.name, QLatin1String(status[s.status]),
            s.origin == OriginalSource::Fetched && s.status == OriginalSource::Ok ? "(fetched)" : "");
    }
    return parts.join(QLatin1Char(' '));
}

const QString App3 = QStringLiteral("../src/ui/menu.ts=ok ../src/util/format.js=ok ../src/main.ts=ok");
const QString App3Fetched = QStringLiteral(
    "../src/ui/menu.ts=ok(fetched) ../src/util/format.js=ok(fetched) ../src/main.ts=ok(fetched)");

} // namespace

class TestSourceMapCollect : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    void serve(const QString &path, const QByteArray &body,
               const QList<QPair<QByteArray, QByteArray>> &headers = {}) {
        LocalHttpServer::Response r = LocalHttpServer::reply(200, body, "text/javascript");
        r.headers = headers;
        m_server->route(path, r);
    }

    // Loads `source` (kind 1 script file, 2 page file, 3 address) and waits for its maps.
    SourceMapResult load(SourceKind kind, const QString &source) {
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        StringSink text;
        SourceMapCollector maps;
        SourceMapSink sink(&text, &maps);
        SourceLoader::runBlocking(engine.get(), &sink, kind, m_server->expand(source, m_dir.path()));
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!maps.isBusy(), 20000); }();
        return maps.result();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        HttpManager::setDefaultTimeoutMs(5000);
        m_server = std::make_unique<LocalHttpServer>();
        const QByteArray app = fixtureBytes(QStringLiteral("out/app.min.js"));
        const QByteArray appMap = fixtureBytes(QStringLiteral("out/app.min.js.map"));
        QVERIFY(!app.isEmpty() && !appMap.isEmpty());
        for (const char *name : {"app.min.js", "app.min.js.map", "inline.min.js", "nocontent.min.js",
                                 "nocontent.min.js.map", "index.map"})
            serve(QStringLiteral("/out/") + QLatin1String(name),
                  fixtureBytes(QStringLiteral("out/") + QLatin1String(name)));
        for (const char *name : {"src/ui/menu.ts", "src/util/format.js", "src/main.ts"})
            serve(QStringLiteral("/") + QLatin1String(name), fixtureBytes(QLatin1String(name)));

        QByteArray old = app;
        old.replace("//# sourceMappingURL", "//@ sourceMappingURL");
        serve(QStringLiteral("/out/old.min.js"), old);
        serve(QStringLiteral("/out/header.min.js"), withoutComment(app), {{"SourceMap", "app.min.js.map"}});
        serve(QStringLiteral("/out/xheader.min.js"), withoutComment(app),
              {{"X-SourceMap", "/out/app.min.js.map"}});
        serve(QStringLiteral("/out/both.min.js"), withComment(app, "gone.map"),
              {{"SourceMap", "app.min.js.map"}});
        serve(QStringLiteral("/out/base64.min.js"),
              withComment(app, "data:application/json;base64," + appMap.toBase64()));
        serve(QStringLiteral("/out/percent.min.js"),
              withComment(app, "data:application/json," + appMap.toPercentEncoding()));
        serve(QStringLiteral("/out/index.min.js"), withComment(app, "index.map"));
        serve(QStringLiteral("/out/gone.min.js"), withComment(app, "gone.map"));
        serve(QStringLiteral("/out/webpack.min.js"), withComment(app, "webpack.map"));
        QByteArray webpack = fixtureBytes(QStringLiteral("out/nocontent.min.js.map"));
        webpack.replace("../src/", "webpack://app/./src/");
        serve(QStringLiteral("/out/webpack.map"), webpack);
        // A network map that names local files: refused, and nothing is read.
        serve(QStringLiteral("/out/local.min.js"), withComment(app, "local.map"));
        QByteArray local = fixtureBytes(QStringLiteral("out/nocontent.min.js.map"));
        local.replace("../src/ui/menu.ts",
                      QUrl::fromLocalFile(fixturePath(QStringLiteral("src/ui/menu.ts"))).toEncoded());
        serve(QStringLiteral("/out/local.map"), local);
        serve(QStringLiteral("/out/mapfile.min.js"),
              withComment(
                  app, QUrl::fromLocalFile(fixturePath(QStringLiteral("out/app.min.js.map"))).toEncoded()));
        serve(QStringLiteral("/out/plain.js"), "var plain = 1;\n");

        // A page of one script: /p?s=<its path>.
        m_server->route(QStringLiteral("/p"), [](const QString &target) {
            const QString src = target.mid(target.indexOf(QLatin1String("?s=")) + 3);
            return LocalHttpServer::reply(200, "<html><script src=\"" + src.toUtf8() + "\"></script></html>",
                                          "text/html");
        });
        m_server->route(QStringLiteral("/inline.htm"),
                        LocalHttpServer::reply(200,
                                               "<html><script>" +
                                                   fixtureBytes(QStringLiteral("out/inline.min.js")) +
                                                   "</script></html>",
                                               "text/html"));

        // A copy of the fixture on disk for the local rows, and a map outside the script's folder.
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("site/out"))));
        for (const char *name :
             {"out/app.min.js", "out/app.min.js.map", "out/nocontent.min.js", "out/nocontent.min.js.map",
              "src/ui/menu.ts", "src/util/format.js", "src/main.ts"})
            TestEnv::writeFile(m_dir.filePath(QStringLiteral("site/") + QLatin1String(name)),
                               fixtureBytes(QLatin1String(name)));
        TestEnv::writeFile(m_dir.filePath(QStringLiteral("site/out/outside.min.js")),
                           withComment(app, "../src/app.min.js.map"));
        TestEnv::writeFile(m_dir.filePath(QStringLiteral("site/src/app.min.js.map")), appMap);
        TestEnv::writeFile(m_dir.filePath(QStringLiteral("site/out/page.htm")),
                           "<html><script src=\"app.min.js\"></script><script>" +
                               fixtureBytes(QStringLiteral("out/inline.min.js")) + "</script></html>");
    }

    void maps_data() {
        QTest::addColumn<short>("kind");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("mapAddress"); // how the first bundle's map address ends
        QTest::addColumn<QString>("sources");    // summary() of the first bundle
        QTest::addColumn<QString>("reason");     // part of the first bundle's not-obtained lines

        QTest::newRow("comment") << short(3) << "$HTTP/p?s=/out/app.min.js"
                                 << "$HTTP/out/app.min.js.map" << App3 << "";
        QTest::newRow("old comment") << short(3) << "$HTTP/p?s=/out/old.min.js"
                                     << "$HTTP/out/app.min.js.map" << App3 << "";
        QTest::newRow("SourceMap header") << short(3) << "$HTTP/p?s=/out/header.min.js"
                                          << "$HTTP/out/app.min.js.map" << App3 << "";
        QTest::newRow("X-SourceMap header") << short(3) << "$HTTP/p?s=/out/xheader.min.js"
                                            << "$HTTP/out/app.min.js.map" << App3 << "";
        QTest::newRow("header wins over comment") << short(3) << "$HTTP/p?s=/out/both.min.js"
                                                  << "$HTTP/out/app.min.js.map" << App3 << "";
        QTest::newRow("data: base64") << short(3) << "$HTTP/p?s=/out/base64.min.js"
                                      << "data:" << App3 << "";
        QTest::newRow("data: percent") << short(3) << "$HTTP/p?s=/out/percent.min.js"
                                       << "data:" << App3 << "";
        QTest::newRow("inline script, inline map") << short(3) << "$HTTP/inline.htm"
                                                   << "data:" << App3 << "";
        QTest::newRow("without content: fetched") << short(3) << "$HTTP/p?s=/out/nocontent.min.js"
                                                  << "$HTTP/out/nocontent.min.js.map" << App3Fetched << "";
        QTest::newRow("index map: embedded and url section")
            << short(3) << "$HTTP/p?s=/out/index.min.js"
            << "$HTTP/out/index.map" << App3 + ' ' + App3Fetched << "";
        QTest::newRow("map 404") << short(3) << "$HTTP/p?s=/out/gone.min.js"
                                 << "$HTTP/out/gone.map"
                                 << ""
                                 << "源映射未能取得：$HTTP/out/gone.map（HTTP 404）";
        QTest::newRow("webpack: without content")
            << short(3) << "$HTTP/p?s=/out/webpack.min.js"
            << "$HTTP/out/webpack.map"
            << "webpack://app/./src/ui/menu.ts=failed webpack://app/./src/util/format.js=failed "
               "webpack://app/./src/main.ts=failed"
            << "原始源码未能取得：webpack://app/./src/ui/menu.ts（没有内容，地址无法下载）";
        QTest::newRow("network map names a local source")
            << short(3) << "$HTTP/p?s=/out/local.min.js"
            << "$HTTP/out/local.map"
            << QStringLiteral("%1=refused ../src/util/format.js=ok(fetched) ../src/main.ts=ok(fetched)")
                   .arg(QUrl::fromLocalFile(fixturePath(QStringLiteral("src/ui/menu.ts"))).toString())
            << "（网络上的源映射不能读本机文件）";
        QTest::newRow("network script names a local map") << short(3) << "$HTTP/p?s=/out/mapfile.min.js"
                                                          << ""
                                                          << ""
                                                          << "网络上的源映射不能读本机文件";
        QTest::newRow("local script file, local map") << short(1) << "$DIR/site/out/app.min.js"
                                                      << "$DIR/site/out/app.min.js.map" << App3 << "";
        QTest::newRow("local sources outside the script's folder")
            << short(1) << "$DIR/site/out/nocontent.min.js"
            << "$DIR/site/out/nocontent.min.js.map"
            << "../src/ui/menu.ts=refused ../src/util/format.js=refused ../src/main.ts=refused"
            << "（在本机文件所在文件夹之外）";
        QTest::newRow("local map outside the script's folder") << short(1) << "$DIR/site/out/outside.min.js"
                                                               << ""
                                                               << ""
                                                               << "在本机文件所在文件夹之外";
    }

    void maps() {
        QFETCH(short, kind);
        QFETCH(QString, source);
        QFETCH(QString, mapAddress);
        QFETCH(QString, sources);
        QFETCH(QString, reason);
        const SourceMapResult result = load(static_cast<SourceKind>(kind), source);
        QCOMPARE(result.bundles.size(), 1);
        const MappedBundle &b = result.bundles.first();
        QVERIFY(b.settled);
        if (!mapAddress.isEmpty())
            QCOMPARE(b.mapAddress, m_server->expand(mapAddress, m_dir.path()));
        QCOMPARE(summary(b), sources);
        if (reason.isEmpty()) {
            QCOMPARE(result.notObtained(), QStringList());
            QCOMPARE(result.mapCount(), 1);
            QVERIFY(b.map != nullptr);
        } else {
            QVERIFY2(result.notObtained().join('\n').contains(m_server->expand(reason, m_dir.path())),
                     qPrintable(result.notObtained().join('\n')));
        }
        // Every source obtained is the original file, byte for byte.
        for (const OriginalSource &s : b.sources)
            if (s.status == OriginalSource::Ok)
                QCOMPARE(s.bytes, originalOf(s.name));
    }

    // A page with several bundles lists them in script order; a script without a map is no bundle.
    void localPageKeepsScriptOrder() {
        const SourceMapResult result = load(SourceKind::PageFile, QStringLiteral("$DIR/site/out/page.htm"));
        QCOMPARE(result.bundles.size(), 2);
        QCOMPARE(result.bundles[0].script, 0);
        QCOMPARE(result.bundles[0].mapAddress, m_dir.filePath(QStringLiteral("site/out/app.min.js.map")));
        QCOMPARE(result.bundles[1].script, 1);
        QCOMPARE(result.bundles[1].mapAddress, QStringLiteral("data:"));
        QCOMPARE(result.sourceCount(), 6);
        QCOMPARE(result.mapCount(), 2);
        QVERIFY(load(SourceKind::PageAddress, QStringLiteral("$HTTP/p?s=/out/plain.js")).bundles.isEmpty());
    }

    // Everything goes through the HTTP layer's per-host queue: no source is asked for twice.
    void sourcesFetchedOnce() {
        const int before = m_server->hits(QStringLiteral("/src/main.ts"));
        load(SourceKind::PageAddress, QStringLiteral("$HTTP/p?s=/out/nocontent.min.js"));
        QCOMPARE(m_server->hits(QStringLiteral("/src/main.ts")), before + 1);
    }
};

VARNEL_TEST_MAIN(TestSourceMapCollect)
#include "tst_sourcemapcollect.moc"
