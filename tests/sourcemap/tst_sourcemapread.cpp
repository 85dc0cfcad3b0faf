#include "FixtureFiles.h"
#include "sourcemap/MapLocator.h"
#include "sourcemap/SourceMap.h"

#include <QTest>

using namespace SourceMaps;

namespace {

const QString BundleMap = QStringLiteral("http://site.test/out/app.min.js.map");
const QStringList FixtureSources = {QStringLiteral("src/ui/menu.ts"), QStringLiteral("src/util/format.js"),
                                    QStringLiteral("src/main.ts")};

SourceMap parsed(const QByteArray &json, const QString &address = BundleMap) {
    SourceMap map;
    map.parse(json, Referrer::of(address));
    return map;
}

// A regular map around the given mappings, with two sources and one name.
QByteArray withMappings(const QByteArray &mappings) {
    return R"({"version":3,"sources":["a.js","b.js"],"names":["n"],"mappings":")" + mappings + "\"}";
}

} // namespace

class TestSourceMapRead : public QObject {
    Q_OBJECT
private slots:
    // Each fixture map's sources, byte for byte against the files the bundle was built from.
    void fixtureSources_data() {
        QTest::addColumn<QString>("mapFile");
        QTest::addColumn<bool>("withContent");
        QTest::newRow("external map with sourcesContent") << "out/app.min.js.map" << true;
        QTest::newRow("map without sourcesContent") << "out/nocontent.min.js.map" << false;
    }
    void fixtureSources() {
        QFETCH(QString, mapFile);
        QFETCH(bool, withContent);
        const SourceMap map = parsed(fixtureBytes(mapFile));
        QVERIFY2(map.ok(), qPrintable(map.error()));
        QCOMPARE(map.parts().size(), 1);
        const QList<MapSource> &sources = map.parts()[0].sources;
        QCOMPARE(sources.size(), FixtureSources.size());
        for (int i = 0; i < sources.size(); ++i) {
            QCOMPARE(sources[i].name, QStringLiteral("../") + FixtureSources[i]);
            QCOMPARE(sources[i].address, QStringLiteral("http://site.test/") + FixtureSources[i]);
            QCOMPARE(sources[i].state, withContent ? MapSource::Content : MapSource::Fetch);
            QCOMPARE(sources[i].content, withContent ? fixtureBytes(FixtureSources[i]) : QByteArray());
        }
        QVERIFY(map.parts()[0].mappingsError.isEmpty());
    }

    // The inline map, found and decoded from the bundle's own text, gives the same sources.
    void inlineFixture() {
        const QByteArray bundle = fixtureBytes("out/inline.min.js");
        const MapLocation where = locateMap(QString::fromUtf8(bundle), "https://site.test/out/inline.min.js",
                                            "https://site.test/", {});
        QCOMPARE(where.kind, MapLocation::Inline);
        QCOMPARE(where.address, QStringLiteral("data:"));
        SourceMap map;
        QVERIFY(map.parse(where.bytes, where.referrer));
        const QList<MapSource> &sources = map.parts()[0].sources;
        QCOMPARE(sources.size(), 3);
        for (int i = 0; i < sources.size(); ++i) {
            QCOMPARE(sources[i].address, QStringLiteral("https://site.test/") + FixtureSources[i]);
            QCOMPARE(sources[i].content, fixtureBytes(FixtureSources[i]));
        }
    }

    // Positions in the minified bundle, with what Node's decoder gives for them
    // (tests/data/sourcemap/lookups.mjs).
    void lookupAgainstNode_data() {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("originalColumn");
        QTest::addColumn<QString>("name");
        QTest::newRow("function o") << "function o" << 6 << 0 << 1 << 7 << "";
        QTest::newRow("n.push") << "n.push" << 56 << 0 << 4 << 4 << "entries";
        QTest::newRow("toFixed") << "toFixed" << 120 << 1 << 2 << 21 << "";
        QTest::newRow("toUpperCase") << "toUpperCase" << 154 << 1 << 6 << 17 << "";
        QTest::newRow("coffee") << "name:\"coffee\"" << 207 << 2 << 10 << 4 << "";
        QTest::newRow("console") << "console" << 342 << 2 << 17 << 2 << "";
        QTest::newRow("m({") << "m({" << 366 << 2 << 20 << 0 << "start";
    }
    void lookupAgainstNode() {
        QFETCH(QString, needle);
        QFETCH(int, column);
        QFETCH(int, source);
        QFETCH(int, line);
        QFETCH(int, originalColumn);
        QFETCH(QString, name);
        QCOMPARE(QString::fromUtf8(fixtureBytes("out/app.min.js")).indexOf(needle), column);
        const SourceMap map = parsed(fixtureBytes("out/app.min.js.map"));
        const std::optional<Location> hit = map.find(0, column);
        QVERIFY(hit);
        QCOMPARE(hit->source, source);
        QCOMPARE(hit->line, line);
        QCOMPARE(hit->column, originalColumn);
        QCOMPARE(hit->name, name);
    }

    // Every named segment of the real bundle points at that name in the original text.
    void namedSegmentsPointAtTheirNames() {
        const SourceMap map = parsed(fixtureBytes("out/app.min.js.map"));
        const MapPart &part = map.parts()[0];
        int named = 0;
        for (const Segment &s : part.mappings.line(0)) {
            if (s.name < 0)
                continue;
            ++named;
            const QStringList lines = QString::fromUtf8(part.sources[s.source].content).split('\n');
            QVERIFY(s.line < lines.size());
            QCOMPARE(lines[s.line].mid(s.originalColumn, part.names[s.name].size()), part.names[s.name]);
        }
        QCOMPARE(named, 38); // counted with a separate decoder
    }

    void positionsWithoutMapping_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::newRow("before the first segment") << 0 << 5;
        QTest::newRow("line past the end") << 7 << 0;
        QTest::newRow("negative line") << -1 << 0;
    }
    void positionsWithoutMapping() {
        QFETCH(int, line);
        QFETCH(int, column);
        QVERIFY(!parsed(fixtureBytes("out/app.min.js.map")).find(line, column));
    }

    // Index map: the first section embedded, the second named by url and loaded afterwards.
    void indexMap() {
        SourceMap map = parsed(fixtureBytes("out/index.map"));
        QVERIFY2(map.ok(), qPrintable(map.error()));
        QVERIFY(map.isIndexMap());
        QCOMPARE(map.parts().size(), 2);
        QVERIFY(map.parts()[0].loaded);
        QVERIFY(!map.parts()[1].loaded);
        QCOMPARE(map.parts()[1].url, QStringLiteral("http://site.test/out/nocontent.min.js.map"));
        QCOMPARE(map.parts()[1].urlAccess, Access::Fetch);
        QVERIFY(!map.find(1, 56)); // not loaded yet

        QString why;
        const Referrer second = Referrer::of(map.parts()[1].url);
        QVERIFY(map.loadSection(1, fixtureBytes("out/nocontent.min.js.map"), second, &why));
        QCOMPARE(map.sourceCount(), 6);
        QCOMPARE(map.parts()[1].sources[2].state, MapSource::Fetch);
        const auto first = map.find(0, 154);
        const auto other = map.find(1, 154);
        QVERIFY(first && other);
        QCOMPARE(first->part, 0);
        QCOMPARE(other->part, 1);
        QCOMPARE(std::tuple(other->source, other->line, other->column), std::tuple(1, 6, 17));
        QVERIFY(!map.loadSection(1, fixtureBytes("out/nocontent.min.js.map"), second, &why)); // only once
    }

    void sectionOffsetsShiftColumns() {
        const QByteArray json = R"({"version":3,"sections":[
            {"offset":{"line":0,"column":0},"map":{"version":3,"sources":["a.js"],"mappings":"AAAA;;AAAA"}},
            {"offset":{"line":2,"column":10},"map":{"version":3,"sources":["b.js"],"mappings":"AAAA,EAAE;AACA"}}]})";
        const SourceMap map = parsed(json);
        QVERIFY2(map.ok(), qPrintable(map.error()));
        QCOMPARE(map.find(2, 9)->part, 0);
        QCOMPARE(map.find(2, 11)->part, 1);
        QCOMPARE(map.find(2, 12)->column, 2);
        QCOMPARE(map.find(3, 0)->line, 1); // later lines of a section keep their columns
    }

    void emptyIndexMap() {
        const SourceMap map = parsed(R"({"version":3,"sections":[]})");
        QVERIFY(map.ok());
        QVERIFY(map.isIndexMap());
        QCOMPARE(map.sourceCount(), 0);
        QVERIFY(!map.find(0, 0));
    }

    void sourceRootAndContentNulls() {
        // (moc misreads "//" inside a raw string that spans lines)
        const QByteArray json =
            R"({"version":3,"sourceRoot":"https://cdn.test/lib","sources":["a.js",null,"c.js"],)"
            R"("sourcesContent":[null,"x",null],"mappings":""})";
        const SourceMap map = parsed(json);
        QVERIFY2(map.ok(), qPrintable(map.error()));
        const QList<MapSource> &s = map.parts()[0].sources;
        QCOMPARE(s[0].address, QStringLiteral("https://cdn.test/lib/a.js"));
        QCOMPARE(s[0].state, MapSource::Fetch);
        QCOMPARE(s[1].state, MapSource::Content);
        QCOMPARE(s[1].content, QByteArray("x"));
        QCOMPARE(s[2].state, MapSource::Fetch);
    }

    // Sources a network map names on this machine are refused; its own content is still taken.
    void hostileMapFromNetwork() {
        const SourceMap map = parsed(fixtureBytes("out/hostile.map"));
        QVERIFY2(map.ok(), qPrintable(map.error()));
        const QList<MapSource> &s = map.parts()[0].sources;
        const QList<MapSource::State> expected = {
            MapSource::Fetch,   MapSource::Fetch, MapSource::Refused,    MapSource::Refused,
            MapSource::Content, MapSource::Fetch, MapSource::Unreachable};
        for (int i = 0; i < s.size(); ++i)
            QVERIFY2(s[i].state == expected[i], qPrintable(s[i].name));
        QCOMPARE(s[0].address, QStringLiteral("http://site.test/etc/passwd")); // ".." stays on the server
        QCOMPARE(s[2].reason, QStringLiteral("已拒绝：file:///etc/hosts（网络上的源映射不能读本机文件）"));
        QCOMPARE(s[6].reason,
                 QStringLiteral("原始源码未能取得：webpack://app/only-name.js（没有内容，地址无法下载）"));
    }

    void malformedMappings_data() {
        QTest::addColumn<QByteArray>("mappings");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not base64") << QByteArray("AAAA,C!AC") << "不是 base64 字符";
        QTest::newRow("cut-off value") << QByteArray("AAAA,g") << "数值没有结束";
        QTest::newRow("two fields") << QByteArray("AA") << "一段应有 1、4 或 5 个数";
        QTest::newRow("six fields") << QByteArray("AAAAAA") << "一段应有 1、4 或 5 个数";
        QTest::newRow("source past the end") << QByteArray("AEAA") << "源序号超出范围";
        QTest::newRow("name past the end") << QByteArray("AAAAC") << "名称序号超出范围";
        QTest::newRow("negative column") << QByteArray("D") << "生成列超出范围";
        QTest::newRow("negative original line") << QByteArray("AADA") << "原始位置超出范围";
        QTest::newRow("value beyond 32 bits") << QByteArray("gggggggA") << "数值超过 32 位";
    }
    void malformedMappings() {
        QFETCH(QByteArray, mappings);
        QFETCH(QString, reason);
        const SourceMap map = parsed(withMappings("AAAA;" + mappings));
        QVERIFY(map.ok()); // the sources stand
        QCOMPARE(map.parts()[0].sources.size(), 2);
        QVERIFY2(map.parts()[0].mappingsError.contains(reason), qPrintable(map.parts()[0].mappingsError));
        QVERIFY(!map.find(0, 0)); // the good first line is not used either
    }

    void unsortedLineIsSorted() {
        const SourceMap map = parsed(withMappings("UAAA,VAAC,CAAC")); // columns 10, 0, 1
        QCOMPARE(map.find(0, 0)->column, 1);
        QCOMPARE(map.find(0, 5)->column, 2);
        QCOMPARE(map.find(0, 10)->column, 0);
    }

    void unmappedSegmentEndsTheStretch() {
        const SourceMap map = parsed(withMappings("AAAA,K;;AACA"));
        QVERIFY(map.find(0, 4));
        QVERIFY(!map.find(0, 5));
        QVERIFY(!map.find(1, 0));
        QCOMPARE(map.find(2, 3)->line, 1);
    }

    void rejectedMaps_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("reason");
        QTest::newRow("version 2") << QByteArray(R"({"version":2,"sources":[],"mappings":""})") << "版本";
        QTest::newRow("no mappings") << QByteArray(R"({"version":3,"sources":[]})") << "缺少";
        QTest::newRow("cut off") << QByteArray("{\"version\":3,\"sources\":[\"a") << "字符串没有结束";
        QTest::newRow("trailing comma")
            << QByteArray(R"({"version":3,"sources":["a",],"mappings":""})") << "逗号";
        QTest::newRow("text after the object")
            << QByteArray(R"({"version":3,"sources":[],"mappings":""} x)") << "对象后还有内容";
        QTest::newRow("bad escape") << QByteArray("{\"version\":3,\"sources\":[\"\\q\"],\"mappings\":\"\"}")
                                    << "转义";
        QTest::newRow("nested index map")
            << QByteArray(R"({"version":3,"sections":[{"offset":{"line":0,"column":0},"map":{"version":3,)"
                          R"("sections":[]}}]})")
            << "缺少";
        QTest::newRow("sections out of order")
            << QByteArray(R"({"version":3,"sections":[{"offset":{"line":2,"column":0},"url":"a.map"},)"
                          R"({"offset":{"line":1,"column":0},"url":"b.map"}]})")
            << "排序";
        QTest::newRow("both sections and mappings")
            << QByteArray(R"({"version":3,"sources":[],"mappings":"","sections":[]})") << "sections";
        QTest::newRow("deep nesting")
            << QByteArray(R"({"version":3,"x":)" + QByteArray(100, '[') + "]}") << "嵌套太深";
    }
    void rejectedMaps() {
        QFETCH(QByteArray, json);
        QFETCH(QString, reason);
        const SourceMap map = parsed(json);
        QVERIFY(!map.ok());
        QVERIFY2(map.error().contains(reason), qPrintable(map.error()));
    }

    void tooManySources_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("at the limit") << MaxSources << true;
        QTest::newRow("one more") << MaxSources + 1 << false;
    }
    void tooManySources() {
        QFETCH(int, count);
        QFETCH(bool, accepted);
        QByteArray json = R"({"version":3,"mappings":"","sources":[)";
        for (int i = 0; i < count; ++i)
            json += (i ? ",\"s" : "\"s") + QByteArray::number(i) + '"';
        json += "]}";
        const SourceMap map = parsed(json);
        QCOMPARE(map.ok(), accepted);
        if (!accepted)
            QVERIFY2(map.error().contains(QString::number(MaxSources)), qPrintable(map.error()));
    }

    void escapesInStrings() {
        // Written with ordinary literals: moc misreads escapes inside raw strings.
        const QByteArray json =
            "{\"version\":3,\"sources\":[\"a.js\"],\"sourcesContent\":"
            "[\"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u8336\\ud83d\\ude00\\ud800\"],\"mappings\":\"AAAA\"}";
        const SourceMap map = parsed(json);
        QVERIFY2(map.ok(), qPrintable(map.error()));
        QCOMPARE(QString::fromUtf8(map.parts()[0].sources[0].content),
                 QString::fromUtf8("\"\\/\b\f\n\r\t茶\xF0\x9F\x98\x80\xEF\xBF\xBD"));
    }
};

QTEST_GUILESS_MAIN(TestSourceMapRead)
#include "tst_sourcemapread.moc"
