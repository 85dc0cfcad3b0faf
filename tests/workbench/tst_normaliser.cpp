#include "ReferenceNormaliser.h"
#include "support/TestEnv.h"
#include "workbench/Normaliser.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Shows line breaks and the other invisible characters so a failing comparison can be read.
QString visible(const QString &s) {
    QString v = s;
    v.replace(u'\r', QStringLiteral("<CR>"));
    v.replace(u'\n', QStringLiteral("<LF>"));
    v.replace(u'\t', QStringLiteral("<TAB>"));
    v.replace(QChar(u'\0'), QStringLiteral("<NUL>"));
    return v;
}

} // namespace

class TestNormaliser : public QObject {
    Q_OBJECT
private slots:
    void examples_data();
    void examples();
    void randomTextsMatchTheRuleList();
    void longSpaceRunsAndBreakPairs();
};

void TestNormaliser::examples_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("white space only") << QStringLiteral("\r\n\t ") << QStringLiteral(" ");
    QTest::newRow("function") << QStringLiteral("function f(a) {\r\n\tvar x = 1;\r\n\treturn x;\r\n}\r\n")
                              << QStringLiteral("function f(a){\r\nvar x = 1;\r\nreturn x;\r\n}\r\n\r\n");
    QTest::newRow("empty braces") << QStringLiteral("{}") << QStringLiteral("{\r\n}\r\n\r\n");
    QTest::newRow("spaced semicolon") << QStringLiteral("a ; b") << QStringLiteral("a;\r\nb");
    QTest::newRow("for loop") << QStringLiteral("for (i = 0; i < n; i++) { x++; }")
                              << QStringLiteral("for(i = 0;\r\ni < n;\r\ni++){\r\nx++;\r\n}\r\n\r\n");
    QTest::newRow("block comment") << QStringLiteral("/* c */ var b;")
                                   << QStringLiteral("/* c */\r\nvar b;\r\n");
    QTest::newRow("line comment") << QStringLiteral("// note\r\nvar a = 1;")
                                  << QStringLiteral("// note var a = 1;\r\n");
    QTest::newRow("header line joined") << QStringLiteral("网址1[本地JS]：C:/dir/a.js\r\nvar a = 1;\r\n")
                                        << QStringLiteral("网址1[本地JS]：C:/dir/a.js var a = 1;\r\n");
    QTest::newRow("spaces inside parentheses") << QStringLiteral("f( a )") << QStringLiteral("f( a )");
    // Beyond the worked examples: the corners of the rule list.
    QTest::newRow("lone CR, lone LF, CR CR LF LF")
        << QStringLiteral("a\rb\nc\r\r\n\nd") << QStringLiteral("a b c d");
    QTest::newRow("NUL and TAB") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("\tb")
                                 << QStringLiteral("a b");
    QTest::newRow("seven spaces") << QStringLiteral("a       b") << QStringLiteral("a b");
    QTest::newRow("ends not trimmed") << QStringLiteral("  x  ") << QStringLiteral(" x ");
    QTest::newRow("closing brace then semicolon")
        << QStringLiteral("} ;") << QStringLiteral("}\r\n\r\n;\r\n");
    QTest::newRow("comment end before brace") << QStringLiteral("*/ }") << QStringLiteral("*/\r\n}\r\n\r\n");
    QTest::newRow("comment end before parenthesis") << QStringLiteral("*/ (") << QStringLiteral("*/\r\n(");
    QTest::newRow("slash star slash") << QStringLiteral("/*/ x") << QStringLiteral("/*/\r\nx");
    QTest::newRow("star space slash is no comment end") << QStringLiteral("* / x") << QStringLiteral("* / x");
    QTest::newRow("comment end split by a break") << QStringLiteral("*\r\n/ x") << QStringLiteral("* / x");
    QTest::newRow("CJK untouched") << QStringLiteral("变量 = \"中文；\";")
                                   << QStringLiteral("变量 = \"中文；\";\r\n");
}

void TestNormaliser::examples() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString once = NormaliseCodeText(input);
    QCOMPARE(visible(once), visible(expected));
    QCOMPARE(visible(ReferenceNormaliseCodeText(input)), visible(expected));
    // Normalising normalised text changes nothing.
    QCOMPARE(visible(NormaliseCodeText(once)), visible(once));
    // The byte form gives the same text in UTF-8.
    QCOMPARE(visible(QString::fromUtf8(NormaliseCodeUtf8(input.toUtf8()))), visible(expected));
}

void TestNormaliser::randomTextsMatchTheRuleList() {
    // Pieces weighted towards what the rules touch.
    const QStringList pieces = {
        QStringLiteral("\r"),
        QStringLiteral("\n"),
        QStringLiteral("\r\n"),
        QStringLiteral("\t"),
        QString(QChar(u'\0')),
        QStringLiteral(" "),
        QStringLiteral("  "),
        QStringLiteral("     "),
        QStringLiteral(";"),
        QStringLiteral("{"),
        QStringLiteral("}"),
        QStringLiteral("*/"),
        QStringLiteral("*"),
        QStringLiteral("/"),
        QStringLiteral("("),
        QStringLiteral(")"),
        QStringLiteral("a"),
        QStringLiteral("x"),
        QStringLiteral("if"),
        QStringLiteral("函数"),
        QStringLiteral("中"),
        QStringLiteral("\r\r"),
        QStringLiteral("\n\r"),
        QStringLiteral(" ;"),
        QStringLiteral("; "),
        QStringLiteral(" {"),
        QStringLiteral("} "),
        QStringLiteral(" ("),
        // Two- and four-byte UTF-8 sequences (a surrogate pair in UTF-16) for the byte form.
        QStringLiteral("\u00E9"),
        QStringLiteral("\U0001F600"),
        QStringLiteral("*\U0001F600/"),
        QStringLiteral("\u00E9;"),
    };
    const quint32 seed = 20261207;
    QRandomGenerator rng(seed);
    for (int round = 0; round < 12000; ++round) {
        QString text;
        const int count = rng.bounded(0, 40);
        for (int k = 0; k < count; ++k)
            text += pieces.at(rng.bounded(int(pieces.size())));
        const QString fast = NormaliseCodeText(text);
        const QString reference = ReferenceNormaliseCodeText(text);
        const QByteArray bytes = NormaliseCodeUtf8(text.toUtf8());
        if (fast != reference || bytes != reference.toUtf8()) {
            qWarning("seed %u, round %d, input: %s", seed, round, qPrintable(visible(text)));
            QCOMPARE(visible(fast), visible(reference));
            QCOMPARE(visible(QString::fromUtf8(bytes)), visible(reference));
        }
    }
}

void TestNormaliser::longSpaceRunsAndBreakPairs() {
    // Long runs take the loop of the space rule through several passes.
    QString text = QStringLiteral("a");
    for (int run = 1; run <= 70; ++run)
        text += QString(run, u' ') + QStringLiteral("b;") + QString(run % 5, u'\t') + QStringLiteral("\r\n");
    QCOMPARE(visible(NormaliseCodeText(text)), visible(ReferenceNormaliseCodeText(text)));
    QCOMPARE(NormaliseCodeUtf8(text.toUtf8()), ReferenceNormaliseCodeText(text).toUtf8());
}

VARNEL_TEST_MAIN(TestNormaliser)
#include "tst_normaliser.moc"
