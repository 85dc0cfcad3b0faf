// findScriptBlocks: the blocks of combined texts as the collection writes them and as edits leave them.

#include "analysis/ScriptBlocks.h"
#include "analysis/ScriptCollection.h"
#include "analysis/StringSink.h"
#include "support/TestEnv.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QString describe(QStringView text, const ScriptBlock &b) {
    const char kinds[] = {'I', 'N', 'L', 'O'};
    return QStringLiteral("%1|%2|%3|%4")
        .arg(b.number)
        .arg(QLatin1Char(kinds[int(b.kind)]))
        .arg(b.address, text.mid(b.bodyStart, b.bodyEnd - b.bodyStart).toString());
}

// A sink that leaves header lines out, as the window does with "不显示编号".
class HeaderlessSink : public StringSink {
public:
    void appendHeader(const QString &) override {}
    bool writesHeaders() const override { return false; }
};

} // namespace

class TestFindScriptBlocks : public QObject {
    Q_OBJECT
private slots:
    // Each block as "number|class|address|body".
    void blocks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("no header") << "var a;\r\n" << QStringList();
        QTest::newRow("the four classes, an empty body")
            << "网址0[网页内JS]：C:\\p.htm\r\nvar a;\r\n网址1[本地JS]：C:/a.js\r\n\r\n"
               "网址2[网络JS]：//s/b.js\r\nb();\r\n网址3：http://h/c.js\r\nc\r\nd\r\n"
            << QStringList{"0|I|C:\\p.htm|var a;", "1|L|C:/a.js|", "2|N|//s/b.js|b();", "3|O|http://h/c.js|c\r\nd"};
        QTest::newRow("header form inside a body with a lower number")
            << "网址0：http://h/a.js\r\nx\r\n网址0：fake\r\n网址1：http://h/b.js\r\ny\r\n"
            << QStringList{"0|O|http://h/a.js|x\r\n网址0：fake", "1|O|http://h/b.js|y"};
        QTest::newRow("a deleted block leaves a gap")
            << "网址0：a\r\n1\r\n网址2：c\r\n3\r\n" << QStringList{"0|O|a|1", "2|O|c|3"};
        QTest::newRow("not at a line start") << "x网址0：a\r\nb\r\n" << QStringList();
        QTest::newRow("text before the first header")
            << "// note\r\n网址0：a\r\nb\r\n" << QStringList{"0|O|a|b"};
        QTest::newRow("line feeds only") << "网址0：a\nb\n网址1：c\nd\n" << QStringList{"0|O|a|b", "1|O|c|d"};
        QTest::newRow("last header without a line break") << "网址0：a" << QStringList{"0|O|a|"};
        QTest::newRow("body kept without its closing break") << "网址0：a\r\nb" << QStringList{"0|O|a|b"};
        QTest::newRow("leading zero, unknown tag, no number")
            << "网址01：a\r\n网址0[其他]：b\r\n网址：c\r\n" << QStringList();
        QTest::newRow("ten digits do not fit") << "网址1234567890：a\r\n" << QStringList();
        QTest::newRow("nine digits do") << "网址123456789：a\r\nb\r\n" << QStringList{"123456789|O|a|b"};
    }
    void blocks() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const QList<ScriptBlock> blocks = findScriptBlocks(text);
        QStringList got;
        for (const ScriptBlock &b : blocks) {
            got << describe(text, b);
            QCOMPARE(text.mid(b.headerStart, 2), QStringLiteral("网址"));
            QVERIFY(b.headerStart < b.bodyStart && b.bodyStart <= b.bodyEnd);
        }
        QCOMPARE(got, expected);
    }

    // The blocks the collection records match its text, with header lines and without them; with them,
    // the text comes back apart into the same blocks, every body exactly as the script's text.
    void collectedBlocksMatchTheText_data() {
        QTest::addColumn<QStringList>("bodies");
        QTest::addColumn<bool>("headers");
        QTest::newRow("plain") << QStringList{"var a = 1;", "b();"} << true;
        QTest::newRow("empty and break-only bodies") << QStringList{"", "\r\n", "\r\n\r\n", ""} << true;
        QTest::newRow("a body holding header lines")
            << QStringList{"x\r\n网址0[网页内JS]：C:\\p.htm\r\ny", "网址1：z"} << true;
        QTest::newRow("header lines left out") << QStringList{"first();", "", "a\r\nb", "last"} << false;
    }
    void collectedBlocksMatchTheText() {
        QFETCH(QStringList, bodies);
        QFETCH(bool, headers);
        PageDocument document;
        document.url = QStringLiteral("file://C:\\dir\\p.htm");
        for (const QString &body : bodies)
            document.scripts.append({QString(), body, false});
        StringSink withHeaders;
        HeaderlessSink without;
        StringSink &sink = headers ? withHeaders : without;
        ScriptCollection collection(document, &sink);
        QSignalSpy finished(&collection, &ScriptCollection::finished);
        collection.start();
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        const QList<ScriptBlock> blocks = collection.blocks();
        QCOMPARE(blocks.size(), bodies.size());
        for (int i = 0; i < blocks.size(); ++i) {
            QCOMPARE(sink.text.mid(blocks[i].bodyStart, blocks[i].bodyEnd - blocks[i].bodyStart), bodies[i]);
            QCOMPARE(blocks[i].headerStart == blocks[i].bodyStart, !headers);
        }
        if (!headers)
            return;
        QCOMPARE(findScriptBlocks(sink.text), blocks);
        for (int i = 0; i < blocks.size(); ++i) {
            QCOMPARE(blocks[i].number, i);
            QCOMPARE(blocks[i].kind, ScriptClass::Inline);
            QCOMPARE(blocks[i].address, QStringLiteral("C:\\dir\\p.htm"));
        }
    }
};

VARNEL_TEST_MAIN(TestFindScriptBlocks)
#include "tst_findscriptblocks.moc"
