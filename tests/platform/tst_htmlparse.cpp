#include "platform/page/MarkupNesting.h"
#include "platform/page/PageEngine.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QTest>

#include <algorithm>

class TestHtmlParse : public QObject {
    Q_OBJECT
private slots:
    void scripts_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("srcs");
        QTest::addColumn<QStringList>("texts");
        using L = QStringList;

        QTest::newRow("no scripts") << "<html><body><p>hi</p></body></html>" << L{} << L{};
        QTest::newRow("empty page") << "" << L{} << L{};
        QTest::newRow("inline and src in order")
            << "<script>a()</script><script src=\"x.js\"></script><p><script src='../y.js'>z</script>"
            << L{"", "x.js", "../y.js"} << L{"a()", "", "z"};
        QTest::newRow("head, body, after html")
            << "<html><head><script src=h.js></script></head><body><script>b</script></body></html>"
               "<script>after</script>"
            << L{"h.js", "", ""} << L{"", "b", "after"};
        QTest::newRow("empty src attribute") << "<script src=\"\">x</script>" << L{""} << L{"x"};
        QTest::newRow("src as written")
            << "<script src=\"  /js/a.js \"></script>" << L{"  /js/a.js "} << L{""};
        QTest::newRow("src character references")
            << "<script src=\"a.js?x=1&amp;y=2\"></script>" << L{"a.js?x=1&y=2"} << L{""};
        QTest::newRow("first of duplicate src")
            << "<script src=a.js src=b.js></script>" << L{"a.js"} << L{""};
        QTest::newRow("template contents excluded")
            << "<template><script>t</script></template><script>u</script>" << L{""} << L{"u"};
        QTest::newRow("template deep in body")
            << "<div><template><div><script>t</script></div></template></div>" << L{} << L{};
        QTest::newRow("noscript in body")
            << "<body><noscript><script>n</script></noscript><script>s</script>" << L{""} << L{"s"};
        QTest::newRow("noscript in head")
            << "<head><noscript><script>n</script></noscript></head><body><script>s</script>" << L{""}
            << L{"s"};
        QTest::newRow("noscript content is raw text")
            << "<noscript><script></noscript><script>b</script>" << L{""} << L{"b"};
        QTest::newRow("noscript ends inside a comment")
            << "<noscript><!--</noscript>--><script>c</script>" << L{""} << L{"c"};
        QTest::newRow("noscript found after a fake script")
            << "<noscript><script></noscript><noscript><script>c</script></noscript><script>d</script>"
            << L{""} << L{"d"};
        QTest::newRow("noscript with template inside")
            << "<noscript><template></noscript><script>x</script>" << L{""} << L{"x"};
        QTest::newRow("noscript with svg inside")
            << "<noscript><svg></noscript><script>x</script>" << L{""} << L{"x"};
        QTest::newRow("noscript in head with link")
            << "<head><noscript><link rel=stylesheet href=a.css></noscript><script>h</script></head>" << L{""}
            << L{"h"};
        QTest::newRow("noscript never closed") << "<noscript><script>x</script>" << L{} << L{};
        QTest::newRow("noscript end tag letter case")
            << "<NOSCRIPT><script>x</script></NoScript ><script>y</script>" << L{""} << L{"y"};
        QTest::newRow("noscript end tag needs delimiter")
            << "<noscript></noscriptx><script>x</script></noscript><script>y</script>" << L{""} << L{"y"};
        QTest::newRow("svg script excluded")
            << "<svg><script>s</script></svg><script>h</script>" << L{""} << L{"h"};
        QTest::newRow("mathml script excluded") << "<math><script>m</script></math>" << L{} << L{};
        QTest::newRow("html script in foreignObject")
            << "<svg><foreignObject><script>f</script></foreignObject></svg>" << L{""} << L{"f"};
        QTest::newRow("svg noscript is not raw text")
            << "<svg><noscript><foreignObject><script>f</script></foreignObject></noscript></svg>" << L{""}
            << L{"f"};
        QTest::newRow("line breaks normalised") << "<script>a\r\nb\rc</script>" << L{""} << L{"a\nb\nc"};
        QTest::newRow("script text holds markup")
            << "<script>document.write(\"<script>x<\\/script><p>\")</script>" << L{""}
            << L{"document.write(\"<script>x<\\/script><p>\")"};
        QTest::newRow("commented out") << "<!-- <script>c</script> -->" << L{} << L{};
        QTest::newRow("inside title and textarea")
            << "<title><script>t</script></title><textarea><script>u</script></textarea>" << L{} << L{};
        QTest::newRow("unterminated script") << "<script>var a = 1;" << L{""} << L{"var a = 1;"};
        QTest::newRow("in table and select") << "<table><script>t</script><tr><td><script>u</script></"
                                                "table><select><script>s</script></select>"
                                             << L{"", "", ""} << L{"t", "u", "s"};
        QTest::newRow("garbage around") << "<<>></script><script src=a.js<p>>x</script></div></html><script>"
                                        << L{"a.js<p", ""} << L{">x", ""};
        QTest::newRow("chinese inline")
            << "<script>var 名称 = '欢迎';</script>" << L{""} << L{"var 名称 = '欢迎';"};
    }
    void scripts() {
        QFETCH(QString, html);
        QFETCH(QStringList, srcs);
        QFETCH(QStringList, texts);
        const PageDocument doc = parseHtmlDocument(html, QStringLiteral("http://h/p.htm"));
        QCOMPARE(doc.url, QStringLiteral("http://h/p.htm"));
        QStringList gotSrcs, gotTexts;
        for (const ScriptElement &s : doc.scripts) {
            gotSrcs << s.src;
            gotTexts << s.text;
        }
        QCOMPARE(gotSrcs, srcs);
        QCOMPARE(gotTexts, texts);
        // None of these pages comes near the nesting bound, so it must leave them alone.
        QByteArray bytes = html.toUtf8();
        const QByteArray before = bytes;
        QCOMPARE(boundMarkupNesting(bytes), 0);
        QCOMPARE(bytes, before);
    }

    void deferAttribute() {
        const PageDocument doc = parseHtmlDocument(
            QStringLiteral("<script defer src=a.js></script><script src=b.js></script>"), {});
        QCOMPARE(doc.scripts.size(), 2);
        QVERIFY(doc.scripts[0].defer);
        QVERIFY(!doc.scripts[1].defer);
    }

    void appendScriptAddsToTheEnd() {
        PageDocument doc =
            parseHtmlDocument(QStringLiteral("<script>a</script>"), QStringLiteral("about:blank"));
        doc.appendScript(QStringLiteral("/tmp/a.js"), true);
        QCOMPARE(doc.scripts.size(), 2);
        QCOMPARE(doc.scripts[1].src, QStringLiteral("/tmp/a.js"));
        QVERIFY(doc.scripts[1].defer);
        QVERIFY(doc.scripts[1].text.isEmpty());
    }

    void manyNoscriptsAndScripts() {
        // Many pages carry a tracking <noscript> per widget; every script around them must survive.
        QString html;
        for (int i = 0; i < 300; ++i)
            html += QStringLiteral("<noscript><img src=t%1.gif></noscript><script>s%1</script>").arg(i);
        const PageDocument doc = parseHtmlDocument(html, {});
        QCOMPARE(doc.scripts.size(), 300);
        QCOMPARE(doc.scripts.last().text, QStringLiteral("s299"));
    }

    void deepNestingDoesNotCrash() {
        const QString html =
            QStringLiteral("<span>").repeated(3000) + QStringLiteral("<script>deep</script>");
        const PageDocument doc = parseHtmlDocument(html, {});
        QCOMPARE(doc.scripts.size(), 1);
        QCOMPARE(doc.scripts[0].text, QStringLiteral("deep"));
    }

    // Beyond the nesting bound, the page lists the same scripts as when its nesting stays shallow: each row
    // repeats `unit` a few times and then thousands of times, between `before` and `after`.
    void deepNestingListsTheSameScripts_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("texts");
        using L = QStringList;
        const QString tail = QStringLiteral("<script>b</script>");
        QTest::newRow("div") << "<div>" << tail << L{"a", "b"};
        QTest::newRow("div with script inside") << "<div><script>s</script>" << tail << L{"a", "s", "b"};
        QTest::newRow("list items") << "<ul><li>" << tail << L{"a", "b"};
        QTest::newRow("formatting") << "<i><b>" << tail << L{"a", "b"};
        QTest::newRow("numbered formatting in paragraphs") << "<p><b id=%1>x" << tail << L{"a", "b"};
        QTest::newRow("table cells") << "<table><tr><td>" << tail << L{"a", "b"};
        QTest::newRow("attribute holding markup")
            << "<div title='<script>no</script>'>" << tail << L{"a", "b"};
        QTest::newRow("template") << "<template><div>" << tail << L{"a"};
        QTest::newRow("svg") << "<svg><g>" << tail << L{"a"};
        QTest::newRow("svg left by a div") << "<svg><g></svg><div>" << tail << L{"a", "b"};
        QTest::newRow("foreignObject") << "<div><svg><foreignObject><script>f</script></foreignObject></svg>"
                                       << tail << L{"a", "f", "b"};
        QTest::newRow("closed templates")
            << "<div><template><script>t</script></template>" << tail << L{"a", "b"};
        QTest::newRow("noscript") << "<div><noscript><p>n</noscript>" << tail << L{"a", "b"};
        QTest::newRow("script text with markup") << "<div><script>w('<!--<script></script><div>')</script>"
                                                 << tail << L{"a", "w('<!--<script></script><div>')", "b"};
    }
    void deepNestingListsTheSameScripts() {
        QFETCH(QString, unit);
        QFETCH(QString, after);
        QFETCH(QStringList, texts);
        auto page = [&](int count) {
            QString html = QStringLiteral("<script>a</script>");
            for (int i = 0; i < count; ++i)
                html += unit.contains(QLatin1String("%1")) ? unit.arg(i) : unit;
            return html + after;
        };
        auto textsOf = [](const QString &html) {
            QStringList out;
            for (const ScriptElement &s : parseHtmlDocument(html, {}).scripts)
                out << s.text;
            out.erase(std::unique(out.begin(), out.end()), out.end()); // a repeated inner script counts once
            return out;
        };
        QCOMPARE(textsOf(page(3)), texts);
        QCOMPARE(textsOf(page(3000)), texts);
        QByteArray deep = page(3000).toUtf8();
        QVERIFY(boundMarkupNesting(deep) > 0);
    }

    // The limits are exact: at a limit nothing is blanked, one element past it is; closed elements free
    // their place (twenty <b>x</b> in a row stay).
    void exactLimits_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("maxDepth");
        QTest::addColumn<int>("maxFormatting");
        QTest::addColumn<int>("blanked");
        const QString b = QStringLiteral("<b>x</b>");
        QTest::newRow("depth at the limit") << QStringLiteral("<div>").repeated(4) << 4 << 8 << 0;
        QTest::newRow("depth one past") << QStringLiteral("<div>").repeated(5) << 4 << 8 << 1;
        QTest::newRow("formatting at the limit") << QStringLiteral("<b>").repeated(3) << 512 << 3 << 0;
        QTest::newRow("formatting one past") << QStringLiteral("<b>").repeated(4) << 512 << 3 << 1;
        QTest::newRow("closed formatting, default limits") << b.repeated(20) << 512 << 8 << 0;
    }
    void exactLimits() {
        QFETCH(QString, html);
        QFETCH(int, maxDepth);
        QFETCH(int, maxFormatting);
        QFETCH(int, blanked);
        QByteArray bytes = html.toUtf8();
        QCOMPARE(boundMarkupNesting(bytes, NestingLimits{maxDepth, maxFormatting}), blanked);
        QCOMPARE(bytes.size(), html.toUtf8().size());
        if (blanked == 0)
            QCOMPARE(bytes, html.toUtf8());
    }

    // A page too large for one tree is parsed in parts; its scripts come out as from one parse.
    void largePageInPartsListsTheSameScripts() {
        const QString unit = QStringLiteral(
            "<div><script>a</script><template><script>t</script></template><svg><script>s</script></svg>"
            "<noscript><script>n</script></noscript><table><tr><td><script>c</script></td></tr></table>"
            "<select><script>o</script></select><p>text<b>bold</div>");
        QString html = QStringLiteral("<html><head><script>h</script></head><body>");
        int units = 0;
        for (; html.size() < 9 * 1024 * 1024; ++units)
            html += unit;
        QByteArray bytes = html.toUtf8();
        std::vector<qsizetype> cuts;
        boundMarkupNesting(bytes, {}, &cuts, 1 << 20);
        QVERIFY(cuts.size() >= 8); // it really is parsed in parts
        const PageDocument doc = parseHtmlDocument(html, {});
        QCOMPARE(doc.scripts.size(), 1 + 3 * units);
        QCOMPARE(doc.scripts.first().text, QStringLiteral("h"));
        for (int i = 0; i < units; ++i) {
            const QString got =
                doc.scripts[1 + 3 * i].text + doc.scripts[2 + 3 * i].text + doc.scripts[3 + 3 * i].text;
            QVERIFY2(got == QLatin1String("aco"), qPrintable(QStringLiteral("unit %1: %2").arg(i).arg(got)));
        }
    }

    void binaryGarbageDoesNotCrash() {
        QString junk;
        for (int i = 0; i < 20000; ++i)
            junk += QChar(char16_t((i * 7919) % 0xD7FF + 1));
        junk += QStringLiteral("<script>x</script>");
        const PageDocument doc = parseHtmlDocument(junk, {});
        QVERIFY(!doc.scripts.isEmpty());
    }
};

VARNEL_TEST_MAIN(TestHtmlParse)
#include "tst_htmlparse.moc"
