#include "ReferenceNormaliser.h"
#include "support/TestEnv.h"
#include "workbench/Normaliser.h"

#include <QApplication>
#include <QRandomGenerator>

Q_DECLARE_METATYPE(CodeRange)
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
    void indentation_data();
    void indentation();
    void blocks_data();
    void blocks();
    void randomTextsMatchTheRuleList();
    void longSpaceRunsAndBreakPairs();
};

void TestNormaliser::examples_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    // Plain code (breaks only after ";", "{", "}" or "*/", nothing touched inside literals) comes out
    // exactly as the nineteen replacements give it.
    QTest::addColumn<bool>("plain");

    QTest::newRow("empty") << QString() << QString() << true;
    QTest::newRow("white space only") << QStringLiteral("\r\n\t ") << QStringLiteral(" ") << true;
    QTest::newRow("function") << QStringLiteral("function f(a) {\r\n\tvar x = 1;\r\n\treturn x;\r\n}\r\n")
                              << QStringLiteral("function f(a){\r\nvar x = 1;\r\nreturn x;\r\n}\r\n\r\n")
                              << true;
    QTest::newRow("empty braces") << QStringLiteral("{}") << QStringLiteral("{\r\n}\r\n\r\n") << true;
    QTest::newRow("spaced semicolon") << QStringLiteral("a ; b") << QStringLiteral("a;\r\nb") << true;
    QTest::newRow("for loop") << QStringLiteral("for (i = 0; i < n; i++) { x++; }")
                              << QStringLiteral("for(i = 0;\r\ni < n;\r\ni++){\r\nx++;\r\n}\r\n\r\n") << true;
    QTest::newRow("block comment") << QStringLiteral("/* c */ var b;")
                                   << QStringLiteral("/* c */\r\nvar b;\r\n") << true;
    QTest::newRow("spaces inside parentheses")
        << QStringLiteral("f( a )") << QStringLiteral("f( a )") << true;
    QTest::newRow("TAB") << QStringLiteral("a\t\tb") << QStringLiteral("a b") << true;
    QTest::newRow("seven spaces") << QStringLiteral("a       b") << QStringLiteral("a b") << true;
    QTest::newRow("ends not trimmed") << QStringLiteral("  x  ") << QStringLiteral(" x ") << true;
    QTest::newRow("closing brace then semicolon")
        << QStringLiteral("} ;") << QStringLiteral("}\r\n\r\n;\r\n") << true;
    QTest::newRow("comment end before brace")
        << QStringLiteral("/**/ }") << QStringLiteral("/**/\r\n}\r\n\r\n") << true;
    QTest::newRow("comment end before parenthesis")
        << QStringLiteral("/**/ (") << QStringLiteral("/**/\r\n(") << true;
    QTest::newRow("CJK untouched") << QStringLiteral("变量 = \"中文；\";")
                                   << QStringLiteral("变量 = \"中文；\";\r\n") << true;

    // Where the rule list would change what the script means.
    QTest::newRow("line comment keeps its break")
        << QStringLiteral("// note\r\nvar a = 1;") << QStringLiteral("// note\r\nvar a = 1;\r\n") << false;
    QTest::newRow("no semicolons") << QStringLiteral("a = 1\n    b = 2\n")
                                   << QStringLiteral("a = 1\r\nb = 2 ") << false;
    QTest::newRow("return before a break")
        << QStringLiteral("return\nx") << QStringLiteral("return\r\nx") << false;
    QTest::newRow("comment after return")
        << QStringLiteral("return /* c */ x;") << QStringLiteral("return /* c */ x;\r\n") << false;
    QTest::newRow("comment before postfix")
        << QStringLiteral("a /* c */ ++;") << QStringLiteral("a /* c */ ++;\r\n") << false;
    QTest::newRow("break before prefix") << QStringLiteral("a\n++b") << QStringLiteral("a\r\n++b") << false;
    QTest::newRow("break after postfix") << QStringLiteral("a++\nb") << QStringLiteral("a++\r\nb") << false;
    QTest::newRow("async before a break") << QStringLiteral("async\nfunction f(){}")
                                          << QStringLiteral("async\r\nfunction f(){\r\n}\r\n\r\n") << false;
    QTest::newRow("arrow before a break")
        << QStringLiteral("f = (a) =>\n1") << QStringLiteral("f =(a) =>\r\n1") << false;
    QTest::newRow("debugger before a parenthesis")
        << QStringLiteral("debugger\n(a)") << QStringLiteral("debugger\r\n(a)") << false;
    QTest::newRow("operator continues the line")
        << QStringLiteral("x = a +\n  b\n  .c;") << QStringLiteral("x = a + b .c;\r\n") << false;
    QTest::newRow("condition continues the line")
        << QStringLiteral("if (a)\n  b()\nelse\n  c()") << QStringLiteral("if(a) b()\r\nelse c()") << false;
    QTest::newRow("brace after a head joins")
        << QStringLiteral("function f()\n{\n}\nwhile (a)\n{}")
        << QStringLiteral("function f(){\r\n}\r\n\r\nwhile(a){\r\n}\r\n\r\n") << false;
    QTest::newRow("brace after an expression stays")
        << QStringLiteral("x = a\n{}") << QStringLiteral("x = a\r\n{\r\n}\r\n\r\n") << false;
    QTest::newRow("class members without semicolons")
        << QStringLiteral("class A {\n x\n *g(){}\n}")
        << QStringLiteral("class A{\r\nx\r\n*g(){\r\n}\r\n\r\n}\r\n\r\n") << false;
    QTest::newRow("keyword as property name")
        << QStringLiteral("x.new\nfoo()") << QStringLiteral("x.new\r\nfoo()") << false;
    QTest::newRow("export from stays on the brace's line")
        << QStringLiteral("export { a } from 'x'; import {b}\nfrom 'y'")
        << QStringLiteral("export{\r\na} from 'x';\r\nimport{\r\nb}\r\nfrom 'y'") << false;
    QTest::newRow("string untouched")
        << QStringLiteral("s = \"a; {b}\t  c\";") << QStringLiteral("s = \"a; {b}\t  c\";\r\n") << false;
    QTest::newRow("template untouched") << QStringLiteral("t = `x;${ {a: `;  {`}.a }  y`;")
                                        << QStringLiteral("t = `x;${ {a: `;  {`}.a }  y`;\r\n") << false;
    QTest::newRow("regular expression untouched")
        << QStringLiteral("r = /[/;{}]  \\//g;") << QStringLiteral("r = /[/;{}]  \\//g;\r\n") << false;
    QTest::newRow("regex after a condition")
        << QStringLiteral("if (a) /;/.test(b)") << QStringLiteral("if(a) /;/.test(b)") << false;
    QTest::newRow("division after a parenthesis")
        << QStringLiteral("x = (a) / 2; y = b / c / d;")
        << QStringLiteral("x =(a) / 2;\r\ny = b / c / d;\r\n") << false;
    QTest::newRow("unsure slash leaves the rest")
        << QStringLiteral("a; {}\n/x;/.test(b);  c ;")
        << QStringLiteral("a;\r\n{\r\n}\r\n\r\n/x;/.test(b);  c ;") << false;
    QTest::newRow("unterminated string")
        << QStringLiteral("a = 1; b = \"x; y") << QStringLiteral("a = 1; b = \"x; y") << false;
    QTest::newRow("unterminated comment")
        << QStringLiteral("a; /* b; c") << QStringLiteral("a; /* b; c") << false;
    QTest::newRow("unterminated template")
        << QStringLiteral("a; `b; ${c}") << QStringLiteral("a; `b; ${c}") << false;
    QTest::newRow("unterminated regex")
        << QStringLiteral("a; x = /b;\nc;") << QStringLiteral("a; x = /b;\nc;") << false;
    QTest::newRow("NUL is no blank") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("\tb")
                                     << QStringLiteral("a") + QChar(u'\0') + QStringLiteral(" b") << false;
    QTest::newRow("html close comment where an operand is due")
        << QStringLiteral("a; --> x;\nb-->c;") << QStringLiteral("a;\r\n--> x;\r\nb-->c;\r\n") << false;
    QTest::newRow("html comments") << QStringLiteral("<!-- hide\nvar a;\n  -->\nb --> c;")
                                   << QStringLiteral("<!-- hide\r\nvar a;\r\n-->\r\nb --> c;\r\n") << false;
    QTest::newRow("hashbang") << QStringLiteral("#!/usr/bin/env node\nx;")
                              << QStringLiteral("#!/usr/bin/env node\r\nx;\r\n") << false;
    QTest::newRow("other blanks stay")
        << QStringLiteral("a\u00a0=\u00a01;") << QStringLiteral("a\u00a0=\u00a01;\r\n") << false;
    QTest::newRow("line separator is a break")
        << QStringLiteral("a = 1\u2028b = 2") << QStringLiteral("a = 1\r\nb = 2") << false;
}

void TestNormaliser::examples() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(bool, plain);
    const QString once = NormaliseCodeText(input);
    QCOMPARE(visible(once), visible(expected));
    if (plain)
        QCOMPARE(visible(ReferenceNormaliseCodeText(input)), visible(expected));
    // Normalising normalised text changes nothing.
    QCOMPARE(visible(NormaliseCodeText(once)), visible(once));
    // The byte form gives the same text in UTF-8.
    QCOMPARE(visible(QString::fromUtf8(NormaliseCodeUtf8(input.toUtf8()))), visible(expected));
}

void TestNormaliser::indentation_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nested blocks")
        << QStringLiteral("function f(a) { if (a) { return [1,\n2]; } }")
        << QStringLiteral("function f(a){\r\n  if(a){\r\n    return [1, 2];\r\n  }\r\n\r\n}\r\n\r\n");
    QTest::newRow("kept breaks inside parentheses")
        << QStringLiteral("f(a,\n    // c\n    b)") << QStringLiteral("f(a,\r\n  // c\r\n  b)");
    QTest::newRow("literals do not count") << QStringLiteral("x = \"{[(\"; y = `${ {} }`;")
                                           << QStringLiteral("x = \"{[(\";\r\ny = `${ {} }`;\r\n");
    QTest::newRow("comment lines keep their text")
        << QStringLiteral("{ /* a\n   b */ x }") << QStringLiteral("{\r\n  /* a\n   b */\r\n  x}\r\n\r\n");
}

void TestNormaliser::indentation() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    NormaliseOptions options;
    options.indent = true;
    const QString once = NormaliseCodeText(input, options);
    QCOMPARE(visible(once), visible(expected));
    QCOMPARE(visible(NormaliseCodeText(once, options)), visible(once));
    QCOMPARE(QString::fromUtf8(NormaliseCodeUtf8(input.toUtf8(), options)), expected);
}

void TestNormaliser::blocks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<CodeRange>>("blocks");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<CodeRange>>("moved");
    const QString h0 = QStringLiteral("网址0[网页内JS]：C:\\p.htm\r\n");
    const QString h1 = QStringLiteral("网址1：http://h/b.js\r\n");
    QTest::newRow("headers stay whole lines")
        << h0 + QStringLiteral("a = 1\r\n// c\r\n") + h1 + QStringLiteral("{}\r\n")
        << QList<CodeRange>{{h0.size(), h0.size() + 11},
                            {h0.size() + 13 + h1.size(), h0.size() + 15 + h1.size()}}
        << h0 + QStringLiteral("a = 1\r\n// c\r\n\r\n") + h1 + QStringLiteral("{\r\n}\r\n\r\n\r\n")
        << QList<CodeRange>{{h0.size(), h0.size() + 13},
                            {h0.size() + 15 + h1.size(), h0.size() + 23 + h1.size()}};
    QTest::newRow("an unterminated string stays in its block")
        << h0 + QStringLiteral("s = \"x\r\n") + h1 + QStringLiteral("a ; b\r\n")
        << QList<CodeRange>{{h0.size(), h0.size() + 6},
                            {h0.size() + 8 + h1.size(), h0.size() + 13 + h1.size()}}
        << h0 + QStringLiteral("s = \"x\r\n") + h1 + QStringLiteral("a;\r\nb\r\n")
        << QList<CodeRange>{{h0.size(), h0.size() + 6},
                            {h0.size() + 8 + h1.size(), h0.size() + 13 + h1.size()}};
}

void TestNormaliser::blocks() {
    QFETCH(QString, text);
    QFETCH(QList<CodeRange>, blocks);
    QFETCH(QString, expected);
    QFETCH(QList<CodeRange>, moved);
    QList<CodeRange> where;
    const QString once = NormaliseCodeBlocks(text, blocks, {}, &where);
    QCOMPARE(visible(once), visible(expected));
    QCOMPARE(where, moved);
    QCOMPARE(visible(NormaliseCodeBlocks(once, where, {})), visible(once));
    // In UTF-8 the blocks are counted in bytes.
    QList<CodeRange> bytes;
    for (const CodeRange &b : blocks)
        bytes.append({text.left(b.start).toUtf8().size(), text.left(b.end).toUtf8().size()});
    QCOMPARE(QString::fromUtf8(NormaliseCodeBlocksUtf8(text.toUtf8(), bytes, {})), expected);
}

void TestNormaliser::randomTextsMatchTheRuleList() {
    // Pieces weighted towards what the rules touch.
    // Plain code: line breaks only after ";", "{", "}" or a comment, nothing the layout must protect.
    const QStringList pieces = {
        QStringLiteral("\t"),
        QStringLiteral(" "),
        QStringLiteral("  "),
        QStringLiteral("     "),
        QStringLiteral(";"),
        QStringLiteral("{"),
        QStringLiteral("}"),
        QStringLiteral(";\r\n"),
        QStringLiteral("{\n"),
        QStringLiteral("}\r"),
        QStringLiteral("/* c */"),
        QStringLiteral("/**/\r\n  "),
        QStringLiteral("("),
        QStringLiteral(")"),
        QStringLiteral("a"),
        QStringLiteral("x"),
        QStringLiteral("if"),
        QStringLiteral("函数"),
        QStringLiteral("中"),
        QStringLiteral(" ;"),
        QStringLiteral("; "),
        QStringLiteral(" {"),
        QStringLiteral("} "),
        QStringLiteral(" ("),
        QStringLiteral(" = "),
        QStringLiteral("'s'"),
        // Two- and four-byte UTF-8 sequences (a surrogate pair in UTF-16) for the byte form.
        QStringLiteral("\u00E9"),
        QStringLiteral("\U0001F600"),
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
