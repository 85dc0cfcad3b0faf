// The functions of a script and of a combined text: names, lines, script numbers (their text ranges are
// pinned where the function array drops them).

#include "DecomposeTestText.h"
#include "decompose/FunctionChunks.h"
#include "decompose/Functions.h"
#include "support/TestEnv.h"

#include <QTest>

using namespace Decompose;

class TestFunctions : public QObject {
    Q_OBJECT

private slots:
    void naming_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char16_t *source, const char16_t *expected) {
            QTest::newRow(name) << QString::fromUtf16(source) << QString::fromUtf16(expected);
        };
        row("declaration", u"function init() {}", u"init:1");
        row("generator declaration", u"function* gen() {}", u"gen:1");
        row("var function", u"var init = function () {};", u"init:1");
        row("const arrow", u"const init = () => {};", u"init:1");
        row("second declarator", u"let a = 1, f = function () {};", u"f:1");
        row("parenthesised value", u"var p = (function () {});", u"p:1");
        row("member chain", u"a.b.init = function () {};", u"a.b.init:1");
        row("subscript target, blanks removed", u"items[ i ].onclick = function () {};", u"items[i].onclick:1");
        row("chained assignment", u"a.b = c = function () {};", u"c:1");
        row("object property", u"var o = { init: function () {} };", u"o.init:1");
        row("shorthand method", u"var o = { init() {} };", u"o.init:1");
        row("string key", u"var o = { 'go': () => 0 };", u"o.go:1");
        row("unbound object", u"foo({ init: function () {} });", u"init:1");
        row("nested objects", u"var o = { a: { b: function () {} } };", u"o.a.b:1");
        row("object assigned to a member", u"A.prototype = { go: function () {} };", u"A.prototype.go:1");
        row("class methods", u"class A { init() {} get size() { return 1; } static make() {} }",
            u"A.init:1 | A.size:1 | A.make:1");
        row("class field", u"class A {\n  run = () => 1;\n}", u"A.run:2");
        row("class expression bound to a name", u"var B = class { run() {} };", u"B.run:1");
        row("anonymous ones are not listed", u"setTimeout(function () {}, 1);\n(function () {})();\n[1].map(x => x);",
            u"");
        row("named callback is not listed", u"setTimeout(function tick() {}, 1);", u"");
        row("nested", u"function outer() {\n  function inner() {}\n  var v = () => 0;\n}", u"outer:1 | inner:2 | v:3");
        row("inside an IIFE", u"(function () {\n  function hidden() {}\n})();", u"hidden:2");
        row("export", u"export function ex() {}\nexport const ey = () => 1;", u"ex:1 | ey:2");
        row("CR LF lines", u"\r\nfunction a() {}\r\n\r\nfunction b() {}", u"a:2 | b:4");
        row("Chinese identifiers", u"function 初始化() {}\nvar 处理 = function () {};\nobj.显示 = () => 1;",
            u"初始化:1 | 处理:2 | obj.显示:3");
        row("syntax errors do not stop the block",
            u"function a() { x = ; }\nfunction b() {}\nvar c = function () { if ( };\nfunction d() {}",
            u"a:1 | b:2 | c:3 | d:4");
        row("empty", u"", u"");
    }
    void naming() {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QCOMPARE(listing(functionsOf(source, wholeTextBlock(source))), expected);
    }

    void combined_data() {
        QTest::addColumn<QString>("combined");
        QTest::addColumn<QString>("expected");
        QTest::newRow("header lines between blocks")
            << QStringLiteral("网址0[网页内JS]：C:\\p.htm\r\nfunction a() {}\r\n网址1[本地JS]：C:/b.js\r\n\r\n"
                              "var b = function () {};\r\n网址2：http://h/c.js\r\nfunction c() {\r\n")
            << "a:2:0 | b:5:1 | c:7:2";
        // A header cuts a function off: each block is parsed on its own.
        QTest::newRow("unterminated block does not swallow the next")
            << QStringLiteral("网址0：http://h/a.js\r\nfunction a() {\r\n网址1：http://h/b.js\r\nfunction b() {}\r\n")
            << "a:2:0 | b:4:1";
        QTest::newRow("empty bodies") << QStringLiteral("网址0：x\r\n\r\n网址1：y\r\n\r\n") << "";
    }
    void combined() {
        QFETCH(QString, combined);
        QFETCH(QString, expected);
        QCOMPARE(listing(functionsOf(combined, blocksOf(combined)), true), expected);
    }

    // The chunks running in parallel give what one block after the other gives.
    void parallelEqualsSerial_data() {
        QTest::addColumn<int>("chunks");
        QTest::newRow("1") << 1;
        QTest::newRow("7") << 7;
        QTest::newRow("more chunks than blocks") << 1000;
    }
    void parallelEqualsSerial() {
        QFETCH(int, chunks);
        QString text;
        for (int i = 0; i < 300; ++i) {
            text += QStringLiteral("网址%1：http://h/%1.js\r\n").arg(i);
            text += QStringLiteral("function f%1() {\r\n  var g%1 = () => %1;\r\n}\r\n%2o%1.m = function () {};\r\n")
                        .arg(i)
                        .arg(QString(i % 5, QLatin1Char('\n')));
        }
        const QList<Block> blocks = blocksOf(text);
        QCOMPARE(blocks.size(), 300);
        QList<Function> serial;
        for (const Block &b : blocks)
            serial += functionsOfBlock(text, b, lineAt(text, b.body.start)).functions;
        QList<ChunkResult> results;
        for (const Chunk &c : splitIntoChunks(blocks, text.size(), chunks))
            results.push_back(functionsOfChunk(text, c));
        QCOMPARE(listing(joinChunks(results), true), listing(serial, true));
        QCOMPARE(listing(functionsOf(text, blocks), true), listing(serial, true));
        QCOMPARE(serial.size(), 900);
    }
};

VARNEL_TEST_MAIN(TestFunctions)
#include "tst_functions.moc"
