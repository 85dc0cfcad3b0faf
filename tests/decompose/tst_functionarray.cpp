// The function array: drop, edit, merge and undo give the expected text, and the functions it keeps are
// those a fresh parse of that text finds.

#include "DecomposeTestText.h"
#include "decompose/FunctionArray.h"
#include "support/TestEnv.h"

#include <QTest>

using namespace Decompose;
using Outcome = FunctionArray::Outcome;
Q_DECLARE_METATYPE(FunctionArray::Outcome)

namespace {

void load(FunctionArray &array, const QString &text) {
    const QList<Block> blocks = blocksOf(text);
    array.reset(text, blocks, functionsOf(text, blocks));
}

int indexOf(const FunctionArray &array, const QString &name) {
    for (int i = 0; i < array.functions().size(); ++i) {
        if (array.functions().at(i).name == name)
            return i;
    }
    return -1;
}

// Everything the array derives after a change equals a fresh derivation of its text.
void verifyDerivedAgain(const FunctionArray &array) {
    const QList<Block> blocks = blocksOf(array.text());
    QCOMPARE(array.blocks().size(), blocks.size());
    for (int i = 0; i < blocks.size(); ++i)
        QCOMPARE(array.blocks().at(i).body, blocks.at(i).body);
    const QList<Function> fresh = functionsOf(array.text(), blocks);
    QCOMPARE(listing(array.functions(), true), listing(fresh, true));
    for (int i = 0; i < fresh.size(); ++i) {
        QCOMPARE(array.functions().at(i).text, fresh.at(i).text);
        QCOMPARE(array.functions().at(i).definition, fresh.at(i).definition);
    }
}

const QString TwoScripts = QStringLiteral("网址0：http://h/a.js\r\nfunction a() {}\r\nvar x = 1, f = () => 1, y = 2;\r\n"
                                          "网址1：http://h/b.js\r\nvar o = {\r\n  f: function () {},\r\n  g() {}\r\n};\r\n"
                                          "function F() { function inner() {} }\r\n");

} // namespace

class TestFunctionArray : public QObject {
    Q_OBJECT

private slots:
    // The function's own text, then the text without its definition.
    void drop_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *tag, const char *source, const char *name, const char *text, const char *expected) {
            QTest::newRow(tag) << source << name << text << expected;
        };
        row("declaration and its line", "function a() {}\nfunction b() {}\n", "a", "function a() {}",
            "function b() {}\n");
        row("line with CR LF", "  function a() {}  \r\nb();", "a", "function a() {}", "b();");
        row("first declarator", "var f = () => 1, g = 2;", "f", "() => 1", "var g = 2;");
        row("middle declarator", "var a = 1, f = function () {}, b = 2;", "f", "function () {}", "var a = 1, b = 2;");
        row("last declarator", "var a = 1, f = function () {};", "f", "function () {}", "var a = 1;");
        row("only declarator: no var f = ;", "var f = function () {};\nx();", "f", "function () {}", "x();");
        row("exported", "export const f = () => 1;\nf();", "f", "() => 1", "f();");
        row("assignment statement", "x();\na.b = function () {};\n", "a.b", "function () {}", "x();\n");
        row("first property", "var o = { f: function () {}, g: 1 };", "o.f", "function () {}", "var o = { g: 1 };");
        row("last method", "var o = { g: 1, f() {} };", "o.f", "f() {}", "var o = { g: 1 };");
        row("only property, trailing comma", "var o = { f() {}, };", "o.f", "f() {}", "var o = {  };");
        row("class method and its semicolon", "class A { f() {}; g() {} }", "A.f", "f() {}", "class A {  g() {} }");
        row("inside an expression", "x(a.b = function () {});", "a.b", "function () {}", "x(a.b = undefined);");
        row("nested ones go with it", "function o() {\n  function i() {}\n}\nz();", "o",
            "function o() {\n  function i() {}\n}", "z();");
    }
    void drop() {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        FunctionArray array;
        load(array, source);
        QCOMPARE(array.functionText(indexOf(array, name)), text);
        QCOMPARE(array.drop(indexOf(array, name)), Outcome::Changed);
        QCOMPARE(array.text(), expected);
        QCOMPARE(indexOf(array, name), -1);
        verifyDerivedAgain(array);
        QVERIFY(array.undo());
        QCOMPARE(array.text(), source);
    }

    void edit_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("names");
        QTest::newRow("body changed") << "a" << "function a() {\r\n  return 1;\r\n}" << Outcome::Changed
                                      << "a:2:0 | f:5:0 | o.f:8:1 | o.g:9:1 | F:11:1 | inner:11:1";
        QTest::newRow("renamed, nested one added")
            << "o.f" << "function () { function deep() {} }" << Outcome::Changed
            << "a:2:0 | f:3:0 | o.f:6:1 | deep:6:1 | o.g:7:1 | F:9:1 | inner:9:1";
        QTest::newRow("a method becomes async") << "o.g" << "async g() { await 0; }" << Outcome::Changed
                                                   << "a:2:0 | f:3:0 | o.f:6:1 | o.g:7:1 | F:9:1 | inner:9:1";
        QTest::newRow("syntax error refused") << "a" << "function a() { return ( }" << Outcome::AddsSyntaxErrors
                                              << "a:2:0 | f:3:0 | o.f:6:1 | o.g:7:1 | F:9:1 | inner:9:1";
        QTest::newRow("same text") << "F" << "function F() { function inner() {} }" << Outcome::Unchanged
                                   << "a:2:0 | f:3:0 | o.f:6:1 | o.g:7:1 | F:9:1 | inner:9:1";
    }
    void edit() {
        QFETCH(QString, name);
        QFETCH(QString, replacement);
        QFETCH(Outcome, outcome);
        QFETCH(QString, names);
        FunctionArray array;
        load(array, TwoScripts);
        const int index = indexOf(array, name);
        QCOMPARE(array.replaceText(index, replacement), outcome);
        QCOMPARE(listing(array.functions(), true), names);
        verifyDerivedAgain(array);
        if (outcome == Outcome::Changed) {
            QCOMPARE(array.functionText(indexOf(array, name)), replacement);
            QVERIFY(array.undo());
        }
        QCOMPARE(array.text(), TwoScripts);
        QVERIFY(!array.canUndo());
    }

    void mergeSame_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the last one stays, letter case ignored")
            << "function f() { return 1; }\nvar x = 1;\nfunction F() { return 2; }\nfunction f() { return 3; }\n"
            << "f" << "var x = 1;\nfunction f() { return 3; }\n";
        QTest::newRow("across scripts")
            << QStringLiteral("网址0：a\r\nfunction g() {}\r\nfunction h() {}\r\n网址1：b\r\nvar g = () => 2;\r\n")
            << "g" << QStringLiteral("网址0：a\r\nfunction h() {}\r\n网址1：b\r\nvar g = () => 2;\r\n");
        QTest::newRow("one holding the last stays") << "function f() {\n  function f() {}\n}\n" << "f"
                                                    << "function f() {\n  function f() {}\n}\n";
    }
    void mergeSame() {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        FunctionArray array;
        load(array, source);
        const Outcome outcome = array.mergeSame(indexOf(array, name));
        QCOMPARE(array.text(), expected);
        QCOMPARE(outcome, expected == source ? Outcome::Unchanged : Outcome::Changed);
        verifyDerivedAgain(array);
    }

    // Steps undo one at a time, back to the collected text.
    void undoSteps() {
        FunctionArray array;
        load(array, TwoScripts);
        QStringList texts{array.text()};
        QCOMPARE(array.drop(indexOf(array, QStringLiteral("f"))), Outcome::Changed);
        texts << array.text();
        QCOMPARE(array.replaceText(indexOf(array, QStringLiteral("F")), QStringLiteral("function F() {}")),
                 Outcome::Changed);
        texts << array.text();
        QCOMPARE(array.drop(indexOf(array, QStringLiteral("o.g"))), Outcome::Changed);
        QCOMPARE(array.changeCount(), 3);
        for (int i = 2; i >= 0; --i) {
            QVERIFY(array.undo());
            QCOMPARE(array.text(), texts.at(i));
            verifyDerivedAgain(array);
        }
        QVERIFY(!array.undo());
        QCOMPARE(array.drop(-1), Outcome::NoSuchFunction);
    }

    // A function of the changed text maps back onto the text as loaded; an edited one onto what it replaced.
    void rangeInLoadedText() {
        FunctionArray array;
        load(array, TwoScripts);
        const Range loadedOf = array.functions().at(indexOf(array, QStringLiteral("o.f"))).text;
        const Range loadedA = array.functions().at(indexOf(array, QStringLiteral("a"))).text;
        QCOMPARE(array.drop(indexOf(array, QStringLiteral("f"))), Outcome::Changed);
        QCOMPARE(array.replaceText(indexOf(array, QStringLiteral("a")), QStringLiteral("function a() { return 2; }")),
                 Outcome::Changed);
        QCOMPARE(array.rangeInLoadedText(array.functions().at(indexOf(array, QStringLiteral("o.f"))).text), loadedOf);
        QCOMPARE(array.rangeInLoadedText(array.functions().at(indexOf(array, QStringLiteral("a"))).text), loadedA);
    }
};

VARNEL_TEST_MAIN(TestFunctionArray)
#include "tst_functionarray.moc"
