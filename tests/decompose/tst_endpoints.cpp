// The addresses a script talks to: each request form and literal form with its address, kind, method and
// function; the decoys; placeholders; nested functions; broken blocks; combined texts; resolution.

#include "DecomposeTestText.h"
#include "decompose/AddressText.h"
#include "decompose/Functions.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Decompose;

namespace {

// "address|kind|method|function" per finding, joined by " ; ".
QString found(const QString &source) {
    QStringList parts;
    for (const Endpoint &e : functionsOfBlock(source, wholeTextBlock(source).first(), 1, true).endpoints)
        parts << QStringList{e.address, kindName(e.kind), e.method, e.function}.join(QLatin1Char('|'));
    return parts.join(QStringLiteral(" ; "));
}

} // namespace

class TestEndpoints : public QObject {
    Q_OBJECT

private slots:
    void forms_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char16_t *source, const char16_t *expected) {
            QTest::newRow(name) << QString::fromUtf16(source) << QString::fromUtf16(expected);
        };
        row("fetch", u"function f() { fetch('/api/a'); }", u"/api/a|fetch|GET|f");
        row("fetch with its method", u"function f() { fetch('/a', { method: 'post' }); }", u"/a|fetch|POST|f");
        row("fetch, method in a variable", u"function f() { fetch('/a', { method: m }); }", u"/a|fetch|{m}|f");
        row("window.fetch", u"window.fetch('/a');", u"/a|fetch|GET|");
        row("xhr open", u"function f() { var x = new XMLHttpRequest(); x.open('post', '/x'); }", u"/x|xhr|POST|f");
        row("xhr open, method in a variable",
            u"var r = new XMLHttpRequest();\nfunction f(m) { r.open(m, '/x'); }", u"/x|xhr|{m}|f");
        row("$.ajax with type", u"function f() { $.ajax({ url: '/a', type: 'PUT' }); }", u"/a|ajax|PUT|f");
        row("$.ajax with method", u"function f() { jQuery.ajax({ 'url': '/a', method: 'delete' }); }",
            u"/a|ajax|DELETE|f");
        row("$.ajax, url first", u"$.ajax('/a', { type: 'POST' });", u"/a|ajax|POST|");
        row("$.ajax without method", u"$.ajax({ url: '/a' });", u"/a|ajax||");
        row("$.ajax, url shorthand", u"$.ajax({ url, type: 'GET' });", u"{url}|ajax|GET|");
        row("$.get", u"$.get('/g');", u"/g|ajax|GET|");
        row("$.post", u"$.post('/p', data);", u"/p|ajax|POST|");
        row("$.post with settings", u"$.post({ url: '/p' });", u"/p|ajax|POST|");
        row("$.getJSON", u"$.getJSON('/j');", u"/j|ajax|GET|");
        row("$.getScript", u"$.getScript('/s.js');", u"/s.js|ajax|GET|");
        row(".load", u"$('#a').load('/frag.html');", u"/frag.html|ajax|GET|");
        row("axios", u"axios('/a');", u"/a|axios||");
        row("axios with config", u"axios({ url: '/a', method: 'patch' });", u"/a|axios|PATCH|");
        row("axios.get", u"axios.get('/a');", u"/a|axios|GET|");
        row("axios.post", u"axios.post('/a', body);", u"/a|axios|POST|");
        row("axios.put", u"axios.put('/a');", u"/a|axios|PUT|");
        row("axios.delete", u"axios.delete('/a');", u"/a|axios|DELETE|");
        row("axios.patch", u"axios.patch('/a');", u"/a|axios|PATCH|");
        row("sendBeacon", u"navigator.sendBeacon('/b', d);", u"/b|beacon|POST|");
        row("WebSocket", u"new WebSocket('wss://h.example/s');", u"wss://h.example/s|websocket||");
        row("EventSource", u"new window.EventSource('/ev');", u"/ev|eventsource||");
        row("Worker", u"new Worker('w.js');", u"w.js|worker||");
        row("SharedWorker", u"new SharedWorker('/s.js');", u"/s.js|worker||");
        row("importScripts, one per address", u"importScripts('a.js', 'b.js');", u"a.js|import|| ; b.js|import||");
        row("import()", u"import('./m.js');", u"./m.js|import||");
        row("window.open", u"window.open('/pop');", u"/pop|open||");
        row("win.open", u"win.open(u, target, features);", u"{u}|open||");
        row("open", u"open('/pop', '_blank');", u"/pop|open||");
        row("location =", u"location = '/go';", u"/go|navigate||");
        row("window.location =", u"window.location = '/go';", u"/go|navigate||");
        row("location.href =", u"document.location.href = '/go';", u"/go|navigate||");
        row("location.assign", u"location.assign('/go');", u"/go|navigate||");
        row("location.replace", u"window.location.replace('/go');", u"/go|navigate||");
        row("src on an element", u"s.src = '/a.js';", u"/a.js|element||");
        row("href on an element", u"a.href = '/x';", u"/x|element||");
        row("action on a form", u"form.action = '/post';", u"/post|element||");
        row("setAttribute", u"img.setAttribute('src', '/i.png');", u"/i.png|element||");
        row("any string with a request", u"fetch('data');", u"data|fetch|GET|");
        row("no address", u"new Worker();", u"|worker||");
        // Literal forms
        row("http", u"var a = 'http://example.com/x';", u"http://example.com/x|literal||");
        row("https, no path", u"var a = \"https://example.com\";", u"https://example.com|literal||");
        row("ws", u"var a = 'ws://localhost:8080/s';", u"ws://localhost:8080/s|literal||");
        row("network path", u"var a = '//cdn.example.com/lib.js';", u"//cdn.example.com/lib.js|literal||");
        row("absolute path", u"var a = '/api/v2/users';", u"/api/v2/users|literal||");
        row("./", u"var a = './data.json';", u"./data.json|literal||");
        row("../", u"var a = '../img/x.png';", u"../img/x.png|literal||");
        row("relative with a query", u"var a = 'api/items?id=';", u"api/items?id=|literal||");
        row("relative, three segments", u"var a = 'api/v1/items';", u"api/v1/items|literal||");
        row("relative file", u"var a = 'img/logo.png';", u"img/logo.png|literal||");
        row("template", u"var a = `/api/x`;", u"/api/x|literal||");
        row("escaped slashes", u"var a = '\\/api\\/esc';", u"/api/esc|literal||");
        row("object key", u"var routes = { '/api/k': h };", u"/api/k|literal||");
        row("Chinese path", u"var a = '/文件/列表';", u"/文件/列表|literal||");
    }
    void forms() {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QCOMPARE(found(source), expected);
    }

    void decoys_data() {
        QTest::addColumn<QString>("source");
        auto row = [](const char *name, const char16_t *source) {
            QTest::newRow(name) << QString::fromUtf16(source);
        };
        row("MIME types", u"var a = 'text/html', b = 'application/json', c = 'image/svg+xml';");
        row("MIME with parameters", u"var a = 'text/html; charset=utf-8';");
        row("dates", u"var a = '2024/12/31', b = 'yyyy/MM/dd', c = 'dd/mm/yyyy';");
        row("number formats", u"var a = '16/9', b = '0.5/1', c = '1/2/3';");
        row("single words and characters", u"var a = 'api', b = '/', c = 'x', d = '//', e = 'a/b', f = 'n/a';");
        row("prose with a slash", u"alert('Please enter a name/email');\nvar y = 'yes/no', z = 'and/or';");
        row("regular expressions", u"var r = /\\/api\\/x/g; var s = new RegExp('/api/re/'); var t = RegExp('^/api/');");
        row("comments", u"// fetch('/api/c')\n/* var a = '/api/b'; */\n");
        row("markup and style", u"var h = '<a href=\"/x/y\">'; var c = 'url(/img/a.png)';");
        row("a scheme alone", u"if (u.indexOf('http://') === 0) {}");
        row("other schemes", u"var a = 'data:image/png', b = 'mailto:a@b.c/x';");
        row("joined pieces with no name", u"var d = day + '/' + month + '/' + year; var p = a + '/' + b;");
        row("glob", u"var g = '*/*', h = 'src/**';");
        row("command-line switches", u"var a = ['/p:Configuration=Release', '/m:' + jobs];");
        row("document.open", u"document.open('text/html', 'replace');");
        row("other objects' open", u"dialog.open('title', opts);");
        row("jQuery .load with a handler", u"$(window).load(function () {});");
        row("event names", u"el.addEventListener('load', f);");
        row("cleared, flags, numbers, handlers",
            u"l.src = null; a.href = undefined; i.src = 0; f.action = false; s.src = function () {}; a.src = b.src = null;");
    }
    void decoys() {
        QFETCH(QString, source);
        QCOMPARE(found(source), QString());
    }

    void placeholders_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char16_t *source, const char16_t *expected) {
            QTest::newRow(name) << QString::fromUtf16(source) << QString::fromUtf16(expected);
        };
        row("template", u"fetch(`/api/users/${id}`);", u"/api/users/{id}|fetch|GET|");
        row("concatenation", u"fetch('/api/users/' + id);", u"/api/users/{id}|fetch|GET|");
        row("blanks go", u"fetch(`/u/${ user . id }/x`);", u"/u/{user.id}/x|fetch|GET|");
        row("whole expression", u"fetch(url);", u"{url}|fetch|GET|");
        row("a sum is one expression", u"fetch(a + b);", u"{a+b}|fetch|GET|");
        row("parenthesised pieces", u"fetch(('/a/' + x) + '/b');", u"/a/{x}/b|fetch|GET|");
        row("long expression cut at 40",
            u"fetch(base + '/q?' + encodeURIComponent(options.filters.selectedCategoryName));",
            u"{base}/q?{encodeURIComponent(options.filters.selec}|fetch|GET|");
        row("literal built from pieces", u"var u = '/api/users/' + id + '/posts';", u"/api/users/{id}/posts|literal||");
        row("literal behind an expression", u"var u = base + '/api/v2/users';", u"{base}/api/v2/users|literal||");
        row("literal template", u"var u = `${host}/api/items`;", u"{host}/api/items|literal||");
        row("scheme and host from pieces", u"var u = 'https://' + host + '/x';", u"https://{host}/x|literal||");
        // The string in a call that builds the address is an address of its own.
        row("string inside a placeholder", u"fetch(join('/api/j', x));", u"{join('/api/j',x)}|fetch|GET| ; /api/j|literal||");
    }
    void placeholders() {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QCOMPARE(found(source), expected);
    }

    void functionsAround_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nested")
            << QStringLiteral("function outer() {\n  fetch('/a');\n  function inner() { fetch('/b'); }\n"
                              "  fetch('/c');\n}\nfetch('/d');")
            << "/a|fetch|GET|outer ; /b|fetch|GET|inner ; /c|fetch|GET|outer ; /d|fetch|GET|";
        QTest::newRow("callbacks belong to the named function")
            << QStringLiteral("function load() { $.get('/a', function (d) { fetch('/b'); }); }")
            << "/a|ajax|GET|load ; /b|fetch|GET|load";
        QTest::newRow("methods and properties")
            << QStringLiteral("class Api { list() { return fetch('/l'); } }\nvar o = { go: () => fetch('/g') };")
            << "/l|fetch|GET|Api.list ; /g|fetch|GET|o.go";
        QTest::newRow("IIFE is no function")
            << QStringLiteral("(function () { fetch('/a'); })();") << "/a|fetch|GET|";
        QTest::newRow("syntax errors do not stop the block")
            << QStringLiteral("function a() { fetch('/a'); x = ; }\nfunction b() { if ( ; fetch('/b'); }\n"
                              "function c() { fetch('/c'); }")
            << "/a|fetch|GET|a ; /b|fetch|GET|b ; /c|fetch|GET|c";
    }
    void functionsAround() {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QCOMPARE(found(source), expected);
    }

    // Script numbers and lines come from the combined text; each block parses on its own.
    void combined() {
        const QString text = QStringLiteral("网址0[网页内JS]：C:\\p.htm\r\nfunction a() {\r\n  fetch('/a');\r\n"
                                            "网址1：http://h/b.js\r\n\r\nvar u = '/api/b';\r\n");
        const Decomposition d = decompose(text, blocksOf(text), QUrl(QStringLiteral("http://h/dir/p.htm")));
        QStringList got;
        for (const Endpoint &e : d.endpoints)
            got << QStringLiteral("%1:%2:%3:%4:%5").arg(e.address, e.function).arg(e.script).arg(e.line).arg(e.resolved);
        QCOMPARE(got.join(QLatin1Char(' ')), QStringLiteral("/a:a:0:3:http://h/a /api/b::1:6:http://h/api/b"));
        QCOMPARE(listing(d.functions, true), QStringLiteral("a:2:0"));
        QCOMPARE(text.mid(d.endpoints.at(1).offset, 9), QStringLiteral("'/api/b';"));
    }

    // The list with the addresses is the list without them.
    void listUnaffected() {
        QFile page(QStringLiteral(VARNEL_ENDPOINT_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        const Block block = wholeTextBlock(text).first();
        const BlockFunctions with = functionsOfBlock(text, block, 1, true);
        const BlockFunctions without = functionsOfBlock(text, block, 1, false);
        QCOMPARE(listing(with.functions), listing(without.functions));
        QVERIFY(without.endpoints.isEmpty());
        QVERIFY(with.endpoints.size() > 30);
    }

    void resolution_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("absolute, no page") << "HTTP://Example.com/a/../b" << "" << "http://example.com/b";
        QTest::newRow("relative, no page") << "/a" << "" << "";
        QTest::newRow("network path, no page") << "//h/a" << "" << "";
        QTest::newRow("path") << "/api/x" << "http://h/d/p.htm" << "http://h/api/x";
        QTest::newRow("relative") << "../img/x.png" << "http://h/d/e/p.htm" << "http://h/d/img/x.png";
        QTest::newRow("network path") << "//cdn.h/a.js" << "https://h/" << "https://cdn.h/a.js";
        QTest::newRow("placeholder in the path stays") << "/api/{id}/x" << "http://h/p" << "http://h/api/{id}/x";
        QTest::newRow("placeholder in the query stays") << "a.php?id={n}" << "http://h/d/p" << "http://h/d/a.php?id={n}";
        QTest::newRow("placeholder in front") << "{base}/api" << "http://h/p" << "";
        QTest::newRow("placeholder host") << "https://{host}/x" << "http://h/p" << "";
        QTest::newRow("the whole expression") << "{url}" << "http://h/p" << "";
        QTest::newRow("websocket") << "wss://h/s" << "" << "wss://h/s";
    }
    void resolution() {
        QFETCH(QString, address);
        QFETCH(QString, page);
        QFETCH(QString, resolved);
        QList<Span> holes;
        static const QRegularExpression hole(QStringLiteral("\\{[^}]*\\}"));
        for (auto it = hole.globalMatch(address); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            holes.push_back({m.capturedStart(), m.capturedEnd()});
        }
        QCOMPARE(resolvedAddress(address, holes, QUrl(page)), resolved);
    }

    void stringValues_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "/a/b" << "/a/b";
        QTest::newRow("escaped slash") << "\\/a" << "/a";
        QTest::newRow("hex and unicode") << "\\x2Fa\\u002Fb\\u{2F}" << "/a/b/";
        QTest::newRow("astral") << "\\u{1F600}" << QString::fromUtf16(u"\U0001F600");
        QTest::newRow("bad escapes keep the letter") << "\\xZ\\u12" << "xZu12";
        QTest::newRow("line continuation") << "a\\\r\nb\\\nc" << "abc";
        QTest::newRow("controls") << "\\n\\t" << "\n\t";
        QTest::newRow("trailing backslash") << "a\\" << "a\\";
    }
    void stringValues() {
        QFETCH(QString, raw);
        QFETCH(QString, value);
        QCOMPARE(decodeJsString(raw), value);
    }

    // A page in every request form inside named functions, with decoys: its own comments say what each
    // line must give. At least 95 % found right, at most one decoy in ten reported, nothing else reported.
    void annotatedPage() {
        QFile page(QStringLiteral(VARNEL_ENDPOINT_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        QHash<int, QStringList> got;
        for (const Endpoint &e : functionsOfBlock(text, wholeTextBlock(text).first(), 1, true).endpoints)
            got[e.line] << QStringList{e.address, kindName(e.kind), e.method, e.function}.join(QLatin1Char('|'));
        const QStringList lines = text.split(QLatin1Char('\n'));
        int expected = 0, right = 0, decoys = 0, decoysReported = 0;
        for (int i = 0; i < lines.size(); ++i) {
            const int line = i + 1;
            const qsizetype at = lines[i].indexOf(QLatin1String("// expect: "));
            if (at >= 0) {
                for (const QString &want : lines[i].mid(at + 11).split(QStringLiteral(" ; "))) {
                    ++expected;
                    if (got.value(line).removeOne(want))
                        ++right;
                    else
                        qInfo("line %d: expected %s, found %s", line, qPrintable(want),
                              qPrintable(got.value(line).join(QStringLiteral(" ; "))));
                }
                got.remove(line);
            } else if (lines[i].endsWith(QLatin1String("// decoy"))) {
                ++decoys;
                decoysReported += got.contains(line) ? 1 : 0;
                got.remove(line);
            }
        }
        for (auto it = got.cbegin(); it != got.cend(); ++it)
            qInfo("line %d: not expected: %s", it.key(), qPrintable(it.value().join(QStringLiteral(" ; "))));
        qInfo("%d of %d right, %d of %d decoys reported", right, expected, decoysReported, decoys);
        QVERIFY(expected >= 50 && decoys >= 25);
        QVERIFY(right * 100 >= expected * 95);
        QVERIFY(decoysReported * 10 <= decoys);
        QVERIFY(got.isEmpty());
    }

    void placeholderCut() {
        QCOMPARE(placeholderOf(QString(50, QLatin1Char('a'))), QLatin1Char('{') + QString(40, QLatin1Char('a')) + QLatin1Char('}'));
        // A character outside the basic plane is not split at the cut.
        const QString astral = QString(39, QLatin1Char('a')) + QString::fromUtf16(u"\U0001F600");
        QCOMPARE(placeholderOf(astral), QLatin1Char('{') + QString(39, QLatin1Char('a')) + QLatin1Char('}'));
    }
};

VARNEL_TEST_MAIN(TestEndpoints)
#include "tst_endpoints.moc"
