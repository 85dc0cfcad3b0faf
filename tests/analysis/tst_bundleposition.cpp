// From a position in the combined text to the line and column within its script, as a source map counts
// them, and the start of an original line.

#include "analysis/BundlePosition.h"
#include "analysis/OriginalPosition.h"

#include <QTest>

class TestBundlePosition : public QObject {
    Q_OBJECT

private slots:
    void position_data() {
        QTest::addColumn<QString>("text"); // "|" marks the position; blocks from the header lines
        QTest::addColumn<int>("script");   // -1: in no script
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        const QString h0 = QStringLiteral("网址0[网络JS]：http://a/x.js\r\n");
        const QString h1 = QStringLiteral("网址1[网页内JS]：http://a/\r\n");
        QTest::newRow("first character") << h0 + "|ab\r\n" << 0 << 0 << 0;
        QTest::newRow("LF lines") << h0 + "a\nbc|d\r\n" << 0 << 1 << 2;
        QTest::newRow("CR LF is one break") << h0 + "a\r\nb\r\n|c\r\n" << 0 << 2 << 0;
        QTest::newRow("lone CR") << h0 + "a\rb|\r\n" << 0 << 1 << 1;
        QTest::newRow("line and paragraph separators")
            << h0 + QStringLiteral("a\u2028b\u2029|c\r\n") << 0 << 2 << 0;
        QTest::newRow("columns count UTF-16 units") << h0 + QStringLiteral("\U0001F600x|\r\n") << 0 << 0 << 3;
        QTest::newRow("end of the body") << h0 + "abc|\r\n" << 0 << 0 << 3;
        QTest::newRow("second script") << h0 + "a\r\n" + h1 + "x\ny|\r\n" << 1 << 1 << 1;
        QTest::newRow("on a header line") << h0 + "a\r\n网址1[网页|内JS]：http://a/\r\nb\r\n" << -1 << 0 << 0;
        QTest::newRow("before the first header") << "|" + h0 + "a\r\n" << -1 << 0 << 0;
    }

    void position() {
        QFETCH(QString, text);
        QFETCH(int, script);
        QFETCH(int, line);
        QFETCH(int, column);
        const qsizetype at = text.indexOf(QLatin1Char('|'));
        text.remove(at, 1);
        const std::optional<BundlePosition> p = positionInScript(text, findScriptBlocks(text), at);
        QCOMPARE(p.has_value(), script >= 0);
        if (!p)
            return;
        QCOMPARE(p->script, script);
        QCOMPARE(p->line, line);
        QCOMPARE(p->column, column);
    }

    // The batch lookup the findings use gives, for every position of a text, what the single lookup gives:
    // in a mapped script, in one whose text changed since its map, in one without a map, on header lines.
    void batchAgreesWithSingle() {
        const QString mapped = QStringLiteral("a();\r\nb(c\u2028d);\re()\n\n");
        const QString changed = QStringLiteral("x()");
        const QString text = QStringLiteral("网址0[网络JS]：http://a/x.js\r\n") + mapped +
                             QStringLiteral("\r\n网址1[网络JS]：http://a/y.js\r\n") + changed +
                             QStringLiteral("\r\n网址2[网络JS]：http://a/z.js\r\nq()\r\n");
        SourceMapResult maps;
        for (int script : {0, 1}) {
            auto map = std::make_shared<SourceMaps::SourceMap>();
            QVERIFY(map->parse(R"({"version":3,"sources":["s.ts","t.ts"],"sourcesContent":["1","2"],)"
                               R"("mappings":"AAAA,EAAE;ACCA,EAAC;ADDA;AAAA"})",
                               SourceMaps::Referrer::of(QStringLiteral("http://a/x.js.map"))));
            MappedBundle b;
            b.script = script;
            b.map = map;
            b.sources.resize(2);
            b.sources[0].name = QStringLiteral("s.ts");
            b.sources[1].name = QStringLiteral("t.ts");
            b.sources[1].index = 1;
            b.textHash = scriptTextHash(script == 0 ? mapped : QStringLiteral("x(1)"));
            b.textLength = script == 0 ? mapped.size() : changed.size();
            maps.bundles << b;
        }
        const QList<ScriptBlock> blocks = findScriptBlocks(text);
        QList<qsizetype> offsets;
        for (qsizetype i = text.size(); i >= 0; --i) // out of order on purpose
            offsets << i;
        const QList<OriginalLine> batch = originalLines(text, blocks, offsets, maps);
        int found = 0;
        for (int i = 0; i < offsets.size(); ++i) {
            const OriginalJump single = originalAt(text, blocks, offsets[i], maps);
            const bool hit = single.outcome == OriginalJump::Found;
            QCOMPARE(batch[i].line, hit ? single.line + 1 : 0);
            QCOMPARE(batch[i].source, hit ? maps.bundles[single.bundle].sources[single.source].name : QString());
            found += hit;
        }
        QVERIFY(found > 5);
    }

    void lineStart_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("offset");
        QTest::newRow("first") << "ab\ncd" << 0 << 0;
        QTest::newRow("LF") << "ab\ncd" << 1 << 3;
        QTest::newRow("CR LF") << "ab\r\ncd\r\ne" << 2 << 8;
        QTest::newRow("CR") << "a\rb" << 1 << 2;
        QTest::newRow("past the end") << "a\nb" << 5 << 3;
        QTest::newRow("empty last line") << "a\n" << 1 << 2;
    }

    void lineStart() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, offset);
        QCOMPARE(lineStartOffset(text, line), qsizetype(offset));
    }
};

QTEST_APPLESS_MAIN(TestBundlePosition)
#include "tst_bundleposition.moc"
