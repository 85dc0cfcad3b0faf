#include "analysis/SourceDocument.h"

#include <QTest>

// The one record of a window's source: what a new load keeps, what "重新打开" changes, what the tools see.
class TestSourceDocument : public QObject {
    Q_OBJECT

    static QList<ScriptBlock> oneBlock() {
        ScriptBlock b;
        b.kind = ScriptClass::Local;
        return {b};
    }

private slots:
    void beginLoad_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<bool>("header"); // "保存" leaves a header out
        QTest::newRow("script file") << SourceKind::ScriptFile << true;
        QTest::newRow("page file") << SourceKind::PageFile << false;
        QTest::newRow("address") << SourceKind::PageAddress << false;
        QTest::newRow("nothing") << SourceKind::None << false;
    }
    void beginLoad() {
        QFETCH(SourceKind, kind);
        QFETCH(bool, header);
        SourceDocument doc;
        doc.beginLoad(SourceKind::ScriptFile, QStringLiteral("/old.js"), QStringLiteral("old.js"));
        doc.collected(oneBlock(), {"GBK", false});
        doc.reloaded(TextCodec::Encoding{"UTF-8", true});
        doc.beginLoad(kind, QStringLiteral("/d/a.js"), QStringLiteral("a.js"));
        QCOMPARE(doc.kind, kind);
        QCOMPARE(doc.path, QStringLiteral("/d/a.js"));
        QCOMPARE(doc.name, QStringLiteral("a.js"));
        QVERIFY(!doc.encoding && !doc.wholeFile && doc.collectedBlocks.isEmpty());
        QCOMPARE(!doc.saveHeader.isEmpty(), header);
        if (header)
            QVERIFY2(doc.saveHeader.contains(doc.path) && doc.saveHeader.endsWith(QStringLiteral("\r\n")),
                     qPrintable(doc.saveHeader));
        // A load begun again from the document's own fields keeps them.
        doc.beginLoad(doc.kind, doc.path, doc.name);
        QCOMPARE(doc.kind, kind);
        QCOMPARE(doc.path, QStringLiteral("/d/a.js"));
        QCOMPARE(doc.name, QStringLiteral("a.js"));
    }

    void reload_data() {
        QTest::addColumn<bool>("readable");
        QTest::newRow("file read again") << true;
        QTest::newRow("file could not be read") << false;
    }
    void reload() {
        QFETCH(bool, readable);
        SourceDocument doc;
        doc.beginLoad(SourceKind::ScriptFile, QStringLiteral("/d/a.js"));
        doc.collected(oneBlock(), {"GBK", false});
        QCOMPARE(doc.facts().encoding, (TextCodec::Encoding{"GBK", false}));
        const std::optional<TextCodec::Encoding> readAs =
            readable ? std::optional(TextCodec::Encoding{"UTF-8", true}) : std::nullopt;
        doc.reloaded(readAs);
        const SourceFacts facts = doc.facts();
        QCOMPARE(facts.path, QStringLiteral("/d/a.js"));
        QVERIFY(facts.saveHeader.isEmpty()); // the pane holds the file alone, or nothing
        QCOMPARE(facts.encoding, readable ? readAs : std::optional(TextCodec::Encoding{"GBK", false}));
        QCOMPARE(doc.wholeFile, readable);
    }
};

QTEST_GUILESS_MAIN(TestSourceDocument)
#include "tst_sourcedocument.moc"
