// The script blocks of a combined text, found from its header lines.

#include "analysis/ScriptBlocks.h"
#include "support/TestEnv.h"

#include <QStringList>
#include <QTest>

class TestScriptBlocks : public QObject {
    Q_OBJECT

private slots:
    void split_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("blocks"); // "number:body"
        QTest::newRow("every class tag")
            << QStringLiteral("网址0[网页内JS]：C:\\p.htm\r\na;\r\n网址1[网络JS]：\\\\s\\b.js\r\nb;\r\n"
                              "网址2[本地JS]：C:/c.js\r\nc;\r\n网址3：http://h/d.js\r\nd;\r\n")
            << QStringList{"0:a;", "1:b;", "2:c;", "3:d;"};
        QTest::newRow("empty bodies") << QStringLiteral("网址0：x\r\n\r\n网址1：y\r\n\r\n") << QStringList{"0:", "1:"};
        QTest::newRow("body lines keep their breaks")
            << QStringLiteral("网址0：x\r\na;\nb;\r\n\r\n网址1：y\r\nc;\r\n") << QStringList{"0:a;\nb;\r\n", "1:c;"};
        QTest::newRow("a look-alike line with another number stays in the body")
            << QStringLiteral("网址0：x\r\n网址5：fake\r\n网址1：y\r\nb\r\n") << QStringList{"0:网址5：fake", "1:b"};
        QTest::newRow("a look-alike without a tag stays in the body")
            << QStringLiteral("网址0：x\r\na\r\n网址1 is here\r\n") << QStringList{"0:a\r\n网址1 is here"};
        QTest::newRow("no header: one block") << QStringLiteral("var a;\r\n") << QStringList{"0:var a;\r\n"};
        QTest::newRow("numbers need not start at 0") << QStringLiteral("网址7：x\r\na\r\n网址8：y\r\nb")
                                                     << QStringList{"7:a", "8:b"};
        QTest::newRow("header without a line break is no header") << QStringLiteral("网址0：x")
                                                                  << QStringList{"0:网址0：x"};
        QTest::newRow("empty text") << QString() << QStringList{"0:"};
    }
    void split() {
        QFETCH(QString, text);
        QFETCH(QStringList, blocks);
        QStringList actual;
        for (const ScriptBlock &b : ScriptBlocksOf(text))
            actual << QString::number(b.number) + QLatin1Char(':') + text.mid(b.bodyStart, b.bodyEnd - b.bodyStart);
        QCOMPARE(actual, blocks);
    }

    void knownHeaders_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries"); // script-list entries
        QTest::addColumn<QStringList>("blocks");
        QTest::addColumn<QList<int>>("lines"); // where the editor shows each header
        QTest::newRow("as collected")
            << QStringLiteral("网址0[网页内JS]：C:\\p.htm\r\na;\r\n网址1[本地JS]：C:/b.js\r\nb;\r\n")
            << QStringList{"[网页内JS-0] C:\\p.htm", "[本地JS-1] C:/b.js"} << QStringList{"0:a;", "1:b;"} << QList<int>{0, 2};
        QTest::newRow("headers joined to their next line, an address with a space")
            << QStringLiteral("网址0[网络JS]：\\\\s\\my a.js function a(){\r\n}\r\n网址1：http://h/b.js var b;\r\n")
            << QStringList{"[网络JS-0] \\\\s\\my a.js", "http://h/b.js"}
            << QStringList{"0: function a(){\r\n}", "1: var b;"} << QList<int>{0, 2};
        QTest::newRow("a header not in the text is skipped")
            << QStringLiteral("网址0：x\r\na\r\n网址2：z\r\nc\r\n") << QStringList{"x", "y", "z"}
            << QStringList{"0:a", "2:c"} << QList<int>{0, 0, 2};
        QTest::newRow("old Mac line breaks") << QStringLiteral("网址0：x\ra\r网址1：y\rb") << QStringList{"x", "y"}
                                             << QStringList{"0:\ra\r", "1:\rb"} << QList<int>{0, 2};
        QTest::newRow("no header in the text: the lines decide")
            << QStringLiteral("var a;\r\n") << QStringList{"[本地JS-0] C:/a.js"} << QStringList{"0:var a;\r\n"} << QList<int>{};
    }
    void knownHeaders() {
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, blocks);
        QFETCH(QList<int>, lines);
        QStringList headers;
        for (int i = 0; i < entries.size(); ++i)
            headers << HeaderOfListEntry(i, entries.at(i));
        QStringList actual;
        for (const ScriptBlock &b : ScriptBlocksOf(text, headers))
            actual << QString::number(b.number) + QLatin1Char(':') + text.mid(b.bodyStart, b.bodyEnd - b.bodyStart);
        QCOMPARE(actual, blocks);
        QCOMPARE(HeaderLinesOf(text, headers), lines);
    }
};

VARNEL_TEST_MAIN(TestScriptBlocks)
#include "tst_scriptblocks.moc"
