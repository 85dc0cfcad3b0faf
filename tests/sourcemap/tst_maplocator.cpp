#include "FixtureFiles.h"
#include "sourcemap/LocalRead.h"
#include "sourcemap/MapLocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace SourceMaps;

Q_DECLARE_METATYPE(SourceMaps::Headers)

class TestMapLocator : public QObject {
    Q_OBJECT
private slots:
    void commentUrl_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("current form") << "f();\n//# sourceMappingURL=app.js.map\n"
                                      << "app.js.map";
        QTest::newRow("old form") << "f();\n//@ sourceMappingURL=old.map"
                                  << "old.map";
        QTest::newRow("the last one wins") << "//# sourceMappingURL=a.map\nf();\n//# sourceMappingURL=b.map"
                                           << "b.map";
        QTest::newRow("blank lines and comments after it")
            << "f();\n//# sourceMappingURL=a.map\r\n\n// end\n  \n"
            << "a.map";
        QTest::newRow("indented, tab after the hash") << "f();\n   //#\tsourceMappingURL=a.map  "
                                                      << "a.map";
        QTest::newRow("code after it") << "//# sourceMappingURL=a.map\nf();"
                                       << "a.map";
        QTest::newRow("not at the start of its line") << "f(); //# sourceMappingURL=a.map"
                                                      << "";
        QTest::newRow("inside a string of the code") << "var s = \"\\n//# sourceMappingURL=\" + url;"
                                                     << "";
        QTest::newRow("words after the URL") << "//# sourceMappingURL=a.map b"
                                             << "";
        QTest::newRow("an earlier one stands when the last is malformed")
            << "//# sourceMappingURL=a.map\n//# sourceMappingURL=b.map c"
            << "a.map";
        QTest::newRow("empty URL") << "//# sourceMappingURL="
                                   << "";
        QTest::newRow("other key") << "//# sourceURL=a.js"
                                   << "";
        QTest::newRow("no comment") << "f();"
                                    << "";
        QTest::newRow("fixture bundle")
            << QString::fromUtf8(fixtureBytes("out/app.min.js")) << "app.min.js.map";
    }
    void commentUrl() {
        QFETCH(QString, text);
        QFETCH(QString, url);
        QCOMPARE(mappingUrlFromComment(text), url);
    }

    void headerUrl_data() {
        QTest::addColumn<Headers>("headers");
        QTest::addColumn<QString>("url");
        QTest::newRow("SourceMap") << Headers{{"Content-Type", "text/javascript"}, {"SourceMap", "/m/a.map"}}
                                   << "/m/a.map";
        QTest::newRow("X-SourceMap") << Headers{{"x-sourcemap", " b.map "}} << "b.map";
        QTest::newRow("SourceMap before X-SourceMap")
            << Headers{{"X-SourceMap", "old.map"}, {"sourcemap", "new.map"}} << "new.map";
        QTest::newRow("empty value") << Headers{{"SourceMap", " "}} << "";
        QTest::newRow("none") << Headers{{"Content-Type", "text/javascript"}} << "";
    }
    void headerUrl() {
        QFETCH(Headers, headers);
        QFETCH(QString, url);
        QCOMPARE(mappingUrlFromHeaders(headers), url);
    }

    void dataUrl_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("base64") << "data:application/json;charset=utf-8;base64,eyJhIjoi6Iy2In0=" << true
                                << QByteArray("{\"a\":\"\xE8\x8C\xB6\"}");
        QTest::newRow("base64, percent-encoded padding")
            << "data:application/json;base64,eyJhIjoxfQ%3D%3D" << true << QByteArray("{\"a\":1}");
        QTest::newRow("percent-encoded") << "data:application/json,%7B%22a%22%3A%22%E8%8C%B6%22%7D" << true
                                         << QByteArray("{\"a\":\"\xE8\x8C\xB6\"}");
        QTest::newRow("plain text") << "data:,{}" << true << QByteArray("{}");
        QTest::newRow("upper-case scheme") << "DATA:;BASE64,e30=" << true << QByteArray("{}");
        QTest::newRow("no comma") << "data:application/json;base64" << false << QByteArray();
        QTest::newRow("broken base64") << "data:;base64,e30*" << false << QByteArray();
    }
    void dataUrl() {
        QFETCH(QString, url);
        QFETCH(bool, ok);
        QFETCH(QByteArray, bytes);
        QByteArray out;
        QString why;
        QCOMPARE(decodeDataUrl(url, out, &why), ok);
        QCOMPARE(out, bytes);
        QCOMPARE(why.isEmpty(), ok);
    }

    // Every way a script names its map, and what is done about it.
    void locate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("page");
        QTest::addColumn<Headers>("headers");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("fromHeader");
        const QString comment = QStringLiteral("f();\n//# sourceMappingURL=maps/a.js.map");
        QTest::newRow("comment, relative to the script")
            << comment << "https://s.test/js/a.js"
            << "https://s.test/p/index.html" << Headers{} << int(MapLocation::Fetch)
            << "https://s.test/js/maps/a.js.map" << false;
        QTest::newRow("inline script: relative to the page")
            << comment << ""
            << "https://s.test/p/index.html" << Headers{} << int(MapLocation::Fetch)
            << "https://s.test/p/maps/a.js.map" << false;
        QTest::newRow("header wins over the comment")
            << comment << "https://s.test/js/a.js"
            << "https://s.test/" << Headers{{"SourceMap", "/h.map"}} << int(MapLocation::Fetch)
            << "https://s.test/h.map" << true;
        QTest::newRow("header alone") << "f();"
                                      << "http://s.test/a.js"
                                      << "http://s.test/" << Headers{{"X-SourceMap", "a.map"}}
                                      << int(MapLocation::Fetch) << "http://s.test/a.map" << true;
        QTest::newRow("data: map") << "f();\n//# sourceMappingURL=data:application/json;base64,e30="
                                   << "https://s.test/a.js"
                                   << "https://s.test/" << Headers{} << int(MapLocation::Inline)
                                   << "data:" << false;
        QTest::newRow("broken data: map")
            << "f();\n//# sourceMappingURL=data:;base64,!!"
            << "https://s.test/a.js"
            << "https://s.test/" << Headers{} << int(MapLocation::Unreachable) << "data:" << false;
        QTest::newRow("network script naming file:")
            << "f();\n//# sourceMappingURL=file:///etc/passwd"
            << "https://s.test/a.js"
            << "https://s.test/" << Headers{} << int(MapLocation::Refused) << "file:///etc/passwd" << false;
        QTest::newRow("network script naming a drive")
            << "f();\n//# sourceMappingURL=C:\\maps\\a.map"
            << "https://s.test/a.js"
            << "https://s.test/" << Headers{} << int(MapLocation::Refused) << "file:///C:/maps/a.map"
            << false;
        QTest::newRow("network header naming file:")
            << "f();"
            << "https://s.test/a.js"
            << "https://s.test/" << Headers{{"SourceMap", "file:///x.map"}} << int(MapLocation::Refused)
            << "file:///x.map" << true;
        QTest::newRow("local script, map beside it")
            << comment << "/home/u/site/js/a.js"
            << "/home/u/site/index.html" << Headers{} << int(MapLocation::ReadLocal)
            << "/home/u/site/js/maps/a.js.map" << false;
        QTest::newRow("local page's inline script")
            << comment << ""
            << "/home/u/site/index.html" << Headers{} << int(MapLocation::ReadLocal)
            << "/home/u/site/maps/a.js.map" << false;
        QTest::newRow("local script, map above its folder")
            << "f();\n//# sourceMappingURL=../a.map"
            << "/home/u/site/js/a.js"
            << "/home/u/site/index.html" << Headers{} << int(MapLocation::Refused)
            << "file:///home/u/site/a.map" << false;
        QTest::newRow("local script, absolute path")
            << "f();\n//# sourceMappingURL=/etc/a.map"
            << "/home/u/site/a.js"
            << "/home/u/site/index.html" << Headers{} << int(MapLocation::Refused) << "file:///etc/a.map"
            << false;
        QTest::newRow("local script, network map")
            << "f();\n//# sourceMappingURL=https://cdn.test/a.map"
            << "/home/u/a.js"
            << "/home/u/index.html" << Headers{} << int(MapLocation::Fetch) << "https://cdn.test/a.map"
            << false;
        QTest::newRow("webpack address") << "f();\n//# sourceMappingURL=webpack://app/a.map"
                                         << "https://s.test/a.js"
                                         << "https://s.test/" << Headers{} << int(MapLocation::Unreachable)
                                         << "webpack://app/a.map" << false;
        QTest::newRow("no map") << "f();"
                                << "https://s.test/a.js"
                                << "https://s.test/" << Headers{} << int(MapLocation::None) << "" << false;
    }
    void locate() {
        QFETCH(QString, text);
        QFETCH(QString, script);
        QFETCH(QString, page);
        QFETCH(Headers, headers);
        QFETCH(int, kind);
        QFETCH(QString, address);
        QFETCH(bool, fromHeader);
        const MapLocation m = locateMap(text, script, page, headers);
        QCOMPARE(int(m.kind), kind);
        QCOMPARE(m.address, address);
        QCOMPARE(m.fromHeader, fromHeader);
        const bool notObtained = kind == MapLocation::Refused || kind == MapLocation::Unreachable;
        QCOMPARE(!m.reason.isEmpty(), notObtained);
        if (kind == MapLocation::Inline)
            QCOMPARE(m.bytes, QByteArray("{}"));
    }

    // What a map's sources may reach, by where the map came from.
    void access_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("referrer");
        QTest::addColumn<int>("access");
        QTest::addColumn<QString>("target");
        const QString net = QStringLiteral("https://s.test/js/app.js.map");
        const QString local = QStringLiteral("/home/u/site/js/app.js.map");
        QTest::newRow("net: relative")
            << "../src/a.ts" << net << int(Access::Fetch) << "https://s.test/src/a.ts";
        QTest::newRow("net: .. past the root stays on the server")
            << "../../../../etc/passwd" << net << int(Access::Fetch) << "https://s.test/etc/passwd";
        QTest::newRow("net: absolute path stays on the server")
            << "/etc/passwd" << net << int(Access::Fetch) << "https://s.test/etc/passwd";
        QTest::newRow("net: file:") << "file:///etc/passwd" << net << int(Access::Refused)
                                    << "file:///etc/passwd";
        QTest::newRow("net: file: with a host")
            << "file://server/share/a.js" << net << int(Access::Refused) << "file://server/share/a.js";
        QTest::newRow("net: drive letter")
            << "C:\\secret.txt" << net << int(Access::Refused) << "file:///C:/secret.txt";
        QTest::newRow("net: UNC path")
            << "\\\\server\\share\\a.js" << net << int(Access::Refused) << "https://server/share/a.js";
        QTest::newRow("net: webpack")
            << "webpack://app/./src/a.ts" << net << int(Access::Unreachable) << "webpack://app/src/a.ts";
        QTest::newRow("net: data:") << "data:,x" << net << int(Access::Data) << "data:,x";
        QTest::newRow("local: below the folder")
            << "../js/src/a.ts" << local << int(Access::ReadLocal) << "/home/u/site/js/src/a.ts";
        QTest::newRow("local: .. out of the folder")
            << "../src/a.ts" << local << int(Access::Refused) << "file:///home/u/site/src/a.ts";
        QTest::newRow("local: absolute path elsewhere")
            << "/etc/passwd" << local << int(Access::Refused) << "file:///etc/passwd";
        QTest::newRow("local: absolute path inside")
            << "/home/u/site/js/x.ts" << local << int(Access::ReadLocal) << "/home/u/site/js/x.ts";
        QTest::newRow("local: a folder that only starts like it")
            << "/home/u/site/js2/x.ts" << local << int(Access::Refused) << "file:///home/u/site/js2/x.ts";
        QTest::newRow("local: percent-encoded dots")
            << "%2e%2e/%2e%2e/x.ts" << local << int(Access::Refused) << "file:///home/u/x.ts";
        QTest::newRow("local: http") << "http://cdn.test/a.ts" << local << int(Access::Fetch)
                                     << "http://cdn.test/a.ts";
    }
    void access() {
        QFETCH(QString, reference);
        QFETCH(QString, referrer);
        QFETCH(int, access);
        QFETCH(QString, target);
        const AccessDecision d = decideAccess(reference, Referrer::of(referrer));
        QCOMPARE(int(d.access), access);
        QCOMPARE(d.target, target);
    }

    // A local script's map that names a network address hands the network's trust to its sources.
    void trustFollowsTheNetwork() {
        const Referrer local = Referrer::of(QStringLiteral("/home/u/site/a.js"));
        QVERIFY(!local.fromNetwork);
        QCOMPARE(local.localRoot, QStringLiteral("/home/u/site/"));
        const Referrer net = local.leadingTo(QStringLiteral("https://cdn.test/a.map"));
        QVERIFY(net.fromNetwork);
        QCOMPARE(decideAccess(QStringLiteral("/home/u/site/x.js"), net).access, Access::Fetch);
        QCOMPARE(decideAccess(QStringLiteral("file:///home/u/site/x.js"), net).access, Access::Refused);
    }

    // On disk, a link inside the folder that leads out of it is refused like ".." is.
    void readInsideRoot_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<qint64>("cap");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file in the folder") << "site/js/a.map" << qint64(100) << true << "";
        QTest::newRow("link to a file outside") << "site/js/out.map" << qint64(100) << false << "已拒绝";
        QTest::newRow("path through a linked folder")
            << "site/up/secret.map" << qint64(100) << false << "已拒绝";
        QTest::newRow("over the cap") << "site/js/a.map" << qint64(2) << false << "文件太大";
        QTest::newRow("missing") << "site/js/none.map" << qint64(100) << false << "不存在";
        QTest::newRow("a folder") << "site/js" << qint64(100) << false << "不是文件";
    }
    void readInsideRoot() {
        QFETCH(QString, relative);
        QFETCH(qint64, cap);
        QFETCH(bool, ok);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("site/js"));
        auto write = [&](const QString &name) {
            QFile f(dir.filePath(name));
            return f.open(QIODevice::WriteOnly) && f.write("{}\n") == 3;
        };
        QVERIFY(write("site/js/a.map") && write("secret.map"));
        QVERIFY(QFile::link(dir.filePath("secret.map"), dir.filePath("site/js/out.map")));
        QVERIFY(QFile::link(dir.path(), dir.filePath("site/up")));
        QByteArray bytes;
        QString why;
        QCOMPARE(SourceMaps::readInsideRoot(dir.filePath(relative), dir.filePath("site"), cap, bytes, &why),
                 ok);
        QCOMPARE(bytes, ok ? QByteArray("{}\n") : QByteArray());
        QVERIFY2(why.contains(reason), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestMapLocator)
#include "tst_maplocator.moc"
