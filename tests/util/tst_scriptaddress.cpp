#include "support/TestEnv.h"
#include "util/Module1.h"

#include <QTest>

namespace {

const QString Page = QStringLiteral("http://h/x/y.htm");
const QString Folder = QStringLiteral("http://h/x/");

void resetLinkState(const QString &scriptText = QString()) {
    Module1::LinkScriptText = scriptText;
    Module1::LastLinkFunction.clear();
    Module1::LastLinkPrefix.clear();
}

void addRow(const QString &address, const QString &page, const QString &expected) {
    QTest::addRow("%s @ %s", qPrintable(address), qPrintable(page)) << address << page << expected;
}

} // namespace

class TestScriptAddress : public QObject {
    Q_OBJECT
private slots:
    void init() { resetLinkState(); }

    void resolveAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");

        // Reference cases across every kind of address.
        addRow("a/b.js", Page, "http://h/x/a/b.js");
        addRow("./a.js", Page, "http://h/x/a.js");
        addRow("../a.js", Page, "http://h/a.js");
        addRow("../../a.js", Page, "http://h/../a.js");
        addRow("/s/a.js", Page, "http://h/s/a.js");
        addRow("?v=2", Page, "http://h/x/y.htm?v=2");
        addRow("?v=2", "http://h/x/y.htm?a=1", "http://h/x/y.htm?v=2");
        addRow("http://k/z.js", Page, "http://k/z.js");
        addRow("HTTP://k/z.js", Page, "HTTP://k/z.js");
        addRow("ftp://k/z.js", Page, "ftp://k/z.js");
        addRow("mailto:someone", Page, "mailto:someone");
        addRow("/go?u=http://k/z.js", Page, "http://k/z.js");
        addRow("/go?u=http://k/z.js?a=1&b=2", Page, "http://k/z.js?a=1&b=2");
        addRow("x?u=mms://k/s", Page, "mms://k/s");
        addRow("http://k/r?u=http://m/z.js?a=1&b=2", Page, "http://m/z.js?a=1");
        addRow("http://k/r?u=ftp://m/z?a=1&b=2", Page, "ftp://m/z?a=1");
        addRow("http://k/r?u=rtsp://m/s?a=1&b=2", Page, "rtsp://m/s?a=1&b=2");
        addRow("x.cgi?u=abcd://m/z", Page, "abcd://m/z");
        addRow("'a.js'", Page, "http://h/x/a.js");
        addRow("a b.js", Page, "http://h/x/ab.js");
        addRow("a.js\");", Page, "http://h/x/a.js");
        addRow("javascript:f('http://k/z.htm');", Page, "http://k/z.htm");
        addRow("javascript:window.open('b.htm')", Page, "http://h/x/b.htm");
        addRow("a.js", "C:\\dir\\page.htm", "C:/dir/a.js");
        addRow("/a.js", "C:\\dir\\page.htm", "C:/a.js");
        addRow("?v=2", "C:\\dir\\page.htm", "C:/dir/page.htm?v=2");
        addRow("'a.js'", "about:blank", "'a.js'");
        addRow("a.js", "", "a.js");

        // Blank pages keep the address exactly, whatever the letter case.
        addRow("'a b.js');", "ABOUT:Blank", "'a b.js');");
        addRow("'a b.js');", "", "'a b.js');");
        // A query-only address gets no clean-up.
        addRow("?v='2 3'", Page, "http://h/x/y.htm?v='2 3'");
        // Only the leading "../" is consumed; a page without any "/" has no parent folder.
        addRow("../a.js", "page.htm", "a.js");
        addRow("../a.js", "http://h/", "http://a.js");
        // A page that is its own folder.
        addRow("a.js", Folder, "http://h/x/a.js");
        // Local pages: the root of a folder under "/" is "/", a network share keeps its server.
        addRow("/a.js", "/home/u/site/page.htm", "/a.js");
        addRow("a.js", "/home/u/site/page.htm", "/home/u/site/a.js");
        addRow("../a.js", "/home/u/site/page.htm", "/home/u/a.js");
        addRow("/a.js", "\\\\srv\\share\\page.htm", "//srv/a.js");
        // "//host/path" takes the scheme of a web page; elsewhere it stays a path from the root.
        addRow("//cdn.example/a.js", Page, "http://cdn.example/a.js");
        addRow("//cdn.example/a.js", "HTTPS://h/x/y.htm", "HTTPS://cdn.example/a.js");
        addRow("//cdn.example/a.js", "https://h/", "https://cdn.example/a.js");
        addRow("//k/r?u=http://m/z.js", Page, "http://m/z.js");
        // The script address itself keeps its backslashes.
        addRow("a\\b.js", Page, "http://h/x/a\\b.js");
        // Schemes of up to four letters are absolute and only cleaned.
        addRow("rtsp://k/s", Page, "rtsp://k/s");
        // Secure addresses keep their whole scheme, alone or embedded.
        addRow("https://k/z.js", Page, "https://k/z.js");
        addRow("HtTpS://k/'z'.js", Page, "HtTpS://k/z.js");
        addRow("/go?u=https://k/z.js?a=1&b=2", Page, "https://k/z.js?a=1&b=2");
        addRow("http://k/r?u=HTTPS://m/z?a=1&b=2", Page, "HTTPS://m/z?a=1");
        addRow("https://k/r?u=http://m/z?a=1&b=2", Page, "http://m/z?a=1");
        // Other schemes of five or more letters keep four characters before "://".
        addRow("chrome://x/y.js", Page, "rome://x/y.js");
        addRow("MAILTO:Someone Else", Page, "MAILTO:Someone Else");
        // Embedded addresses: scheme tests ignore case, the four-letter group wins over the three-letter one.
        addRow("/go?u=FTP://k/z", Page, "FTP://k/z");
        addRow("/go?u=pnm://k/s&x=1", Page, "pnm://k/s&x=1");
        addRow("/go?u=mmst://k/s", Page, "mmst://k/s");
        addRow("ftp://a/r?u=http://m/z?a=1&b=2", Page, "http://m/z?a=1");
        // The "&" cut needs an "=" in the result as well.
        addRow("http://k/r?u=http://m/z&b", Page, "http://m/z&b");
        // Clean-up removes ");" after the spaces, so ") ;" goes too.
        addRow("a.js') ;", Page, "http://h/x/a.js");
    }
    void resolveAddress() {
        QFETCH(QString, address);
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QCOMPARE(Module1::ResolveScriptAddress(address, page), expected);
    }

    void longAddressesResolve() {
        const QString tail(40000, QLatin1Char('a'));
        QCOMPARE(Module1::ResolveScriptAddress("/go?u=http://k/" + tail, Page), "http://k/" + tail);
        QCOMPARE(Module1::ResolveScriptAddress("../" + tail, Page), "http://h/" + tail);
        const QString longPage = "http://h/" + tail + "/p.htm";
        QCOMPARE(Module1::ResolveScriptAddress("/a.js", longPage), QStringLiteral("http://h/a.js"));
    }

    void resolveLink_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("scriptText");
        QTest::addColumn<QString>("expected");

        // A script text that defines another function, standing in for "any".
        const QString other = QStringLiteral("function other(u) { window.open('zz/' + u); }");
        const QString openWin = QStringLiteral("function openWin(u, n) { window.open('pages/' + u, n); }");
        const QString show = QStringLiteral("function show(p){ var w = window.open( '/pop/'+p+'.htm' ); }");

        QTest::newRow("window.open") << "javascript:window.open('b.htm')" << other << "http://h/x/b.htm";
        QTest::newRow("window.open, three arguments")
            << "javascript:window.open('b.htm','w','width=9')" << other << "http://h/x/b.htm";
        QTest::newRow("no definition") << "javascript:openWin('../c.htm')" << QString() << "http://h/c.htm";
        QTest::newRow("prefix pages/")
            << "javascript:openWin('a.htm')" << openWin << "http://h/x/pages/a.htm";
        QTest::newRow("prefix /pop/") << "javascript:show('a')" << show << "http://h/pop/a";
        QTest::newRow("empty parentheses")
            << "javascript:history.back()" << other << "javascript:history.back()";
        QTest::newRow("no parenthesis") << "javascript:alert" << other << "javascript:alert";

        QTest::newRow("no closing parenthesis")
            << "javascript:openWin('a.htm'" << openWin << "javascript:openWin('a.htm'";
        QTest::newRow("definition found in any case") << "javascript:OpenWin('a.htm')"
                                                      << "FUNCTION openwin(u){ Window.Open(\"p/\"+U) }"
                                                      << "http://h/x/p/a.htm";
        QTest::newRow("nested call cut at first )")
            << "javascript:openWin(getUrl('a.htm'))" << QString() << "http://h/x/getUrl(a.htm";
        QTest::newRow("double quotes removed")
            << "javascript:openWin(\"a.htm\")" << QString() << "http://h/x/a.htm";
        QTest::newRow("query argument goes on the folder")
            << "javascript:openWin('?id=3')" << QString() << "http://h/x/?id=3";
        QTest::newRow("root argument") << "JavaScript:openWin('/r.htm')" << QString() << "http://h/r.htm";
    }
    void resolveLink() {
        QFETCH(QString, link);
        QFETCH(QString, scriptText);
        QFETCH(QString, expected);

        resetLinkState(scriptText);
        QCOMPARE(Module1::ResolveScriptLink(link, Folder), expected);
        // The link resolves the same from the page address (its folder is the base).
        resetLinkState(scriptText);
        QCOMPARE(Module1::ResolveScriptLink(link, Page), expected);
        // Through the address routine, which hands the page's folder over; "?a=1" must not leak in.
        resetLinkState(scriptText);
        QCOMPARE(Module1::ResolveScriptAddress(link, Page + QStringLiteral("?a=1")), expected);
    }

    void findPrefix_data() {
        QTest::addColumn<QString>("scriptText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("pages/") << "function openWin(u, n) { window.open('pages/' + u, n); }"
                                << "openWin"
                                << "pages/";
        QTest::newRow("/pop/") << "function show(p){ var w = window.open( '/pop/'+p+'.htm' ); }"
                               << "show"
                               << "/pop/";
        QTest::newRow("name in any case") << "Function ShowIt(p){window.open('q/'+p)}"
                                          << "SHOWIT"
                                          << "q/";
        QTest::newRow("no definition") << "function other(u){ window.open('x/'+u) }"
                                       << "openWin"
                                       << "";
        QTest::newRow("empty script") << ""
                                      << "openWin"
                                      << "";
        QTest::newRow("no window.open") << "function openWin(u){ location.href = 'x/' + u; }"
                                        << "openWin"
                                        << "";
        QTest::newRow("window.open before the definition")
            << "window.open('y/'+u); function openWin(u){ go(u); }"
            << "openWin"
            << "";
        QTest::newRow("header without )") << "function openWin(u { window.open('p/' + u"
                                          << "openWin"
                                          << "";
        QTest::newRow("parameter last used before the call")
            << "function f(u){ var s = u; window.open('p/' + s); }"
            << "f"
            << "";
        QTest::newRow("parameter used right at the call") << "function f(u){ window.open(u) }"
                                                          << "f"
                                                          << "";
        QTest::newRow("no parameters") << "function f(){ window.open('p/') }"
                                       << "f"
                                       << "";
        QTest::newRow("last use anywhere in the text")
            << "function f(u){ window.open('p/' + u) } function g(){ 'a/' + u }"
            << "f"
            << "p/  u) } function g(){ a/";
    }
    void findPrefix() {
        QFETCH(QString, scriptText);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(Module1::FindWindowOpenPrefix(scriptText, name), expected);
    }

    void memoIgnoresLetterCase() {
        resetLinkState(QStringLiteral("function openWin(u, n) { window.open('pages/' + u, n); }"));
        QCOMPARE(Module1::ResolveScriptLink(QStringLiteral("javascript:openWin('a.htm')"), Folder),
                 QStringLiteral("http://h/x/pages/a.htm"));
        // A changed script text is not read again for the same function in another case.
        Module1::LinkScriptText = QStringLiteral("function OPENWIN(u) { window.open('other/' + u); }");
        QCOMPARE(Module1::ResolveScriptLink(QStringLiteral("javascript:OPENWIN('b.htm')"), Folder),
                 QStringLiteral("http://h/x/pages/b.htm"));
        QCOMPARE(Module1::LastLinkFunction, QStringLiteral("openWin"));
        // Another function is looked up afresh.
        QCOMPARE(Module1::ResolveScriptLink(QStringLiteral("javascript:OPENWIN2('b.htm')"), Folder),
                 QStringLiteral("http://h/x/b.htm"));
        QCOMPARE(Module1::LastLinkFunction, QStringLiteral("OPENWIN2"));
        QCOMPARE(Module1::LastLinkPrefix, QString());
    }

    // Neither window.open nor a call without a name looks anything up or touches the memo.
    void windowOpenLeavesMemoAlone_data() {
        QTest::addColumn<QString>("link");
        QTest::newRow("window.open") << "javascript:Window.Open('b.htm')";
        QTest::newRow("no function name") << "javascript:('b.htm')";
    }
    void windowOpenLeavesMemoAlone() {
        QFETCH(QString, link);
        resetLinkState(QStringLiteral("function window.open(u){ window.open('bad/' + u) } function (u){ window.open('bad/' + u) }"));
        Module1::LastLinkFunction = QStringLiteral("openWin");
        Module1::LastLinkPrefix = QStringLiteral("pages/");
        QCOMPARE(Module1::ResolveScriptLink(link, Folder), QStringLiteral("http://h/x/b.htm"));
        QCOMPARE(Module1::LastLinkFunction, QStringLiteral("openWin"));
        QCOMPARE(Module1::LastLinkPrefix, QStringLiteral("pages/"));
    }

    void memoUpdatedWithoutArgument() {
        resetLinkState(QStringLiteral("function back(u){ window.open('b/' + u) }"));
        QCOMPARE(Module1::ResolveScriptLink(QStringLiteral("javascript:back()"), Folder),
                 QStringLiteral("javascript:back()"));
        QCOMPARE(Module1::LastLinkFunction, QStringLiteral("back"));
        QCOMPARE(Module1::LastLinkPrefix, QStringLiteral("b/"));
        // No "(" at all: nothing is looked up.
        Module1::ResolveScriptLink(QStringLiteral("javascript:other"), Folder);
        QCOMPARE(Module1::LastLinkFunction, QStringLiteral("back"));
    }

    void selfReferringPrefixEnds() {
        // The prefix found holds a call of the same function: resolution must stop, not recurse forever.
        resetLinkState(QStringLiteral("function f(u){window.open(javascript:f(X)u)}"));
        QCOMPARE(Module1::ResolveScriptLink(QStringLiteral("javascript:f(a)"), Folder),
                 QStringLiteral("javascript:f(X)X"));
    }
};

VARNEL_TEST_MAIN(TestScriptAddress)
#include "tst_scriptaddress.moc"
