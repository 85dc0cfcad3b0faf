// varneljs-cli collect over several pages, end to end: input order, lists, page folders, JSON lines.

#include "CliRun.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QElapsedTimer>

#include <atomic>

#include <memory>

namespace {

struct Served {
    QString path;
    QByteArray body;
};

// Scripts whose bytes must come back unchanged: not UTF-8, with a byte-order mark, empty, colliding names.
const QList<Served> Scripts = {
    {"/a/x.js", QByteArray("var s = '\xd6\xd0\xce\xc4';", 15)},
    {"/b/x.js", "\xef\xbb\xbfvar bom = 1;\r\n"},
    {"/empty.js", ""},
    {"/c/x.js", "third();"},
};

QString sha(const QByteArray &bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

class TestCliBatch : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    QString expand(const QString &s) const { return m_server->expand(s, m_dir.path()); }
    QStringList expand(const QStringList &list) const { return m_server->expand(list, m_dir.path()); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TestEnv::prepareBrowserEngine(); // for the runs with --engine browser
        m_server = std::make_unique<LocalHttpServer>();
        for (const Served &s : Scripts)
            m_server->route(s.path, LocalHttpServer::reply(200, s.body, "application/javascript"));
        // Page 1 answers last, so later pages finish first.
        m_server->route("/1.htm", LocalHttpServer::reply(200, "<script src=\"a/x.js\"></script><script>one();</script>",
                                                         "text/html", {}, 300));
        m_server->route("/2.htm", LocalHttpServer::reply(200, "<script src=\"b/x.js\"></script>", "text/html", {}, 100));
        m_server->route("/3.htm",
                        LocalHttpServer::reply(200,
                                               "<script src=\"a/x.js\"></script><script src=\"b/x.js\"></script>"
                                               "<script src=\"c/x.js\"></script><script src=\"empty.js\"></script>"
                                               "<script>var 中 = '文';</script><script src=\"gone.js\"></script>",
                                               "text/html"));
        // Pages of more than a megabyte each: the one whose turn has come prints while it is collected.
        const QByteArray big = "<script>var big = '" + QByteArray(1500000, 'b') + "';</script>";
        m_server->route("/big.htm", LocalHttpServer::reply(200, big + "<script src=\"a/x.js\"></script>",
                                                           "text/html", {}, 300));
        m_server->route("/big2.htm", LocalHttpServer::reply(200, big + big, "text/html"));
        TestEnv::writeFile(m_dir.filePath("p.htm"), "<script src=\"local.js\"></script><script>p();</script>");
        TestEnv::writeFile(m_dir.filePath("local.js"), "local();");
        TestEnv::writeFile(m_dir.filePath("list.txt"),
                           expand("# three pages\n\n$HTTP/1.htm\n  # and a file\n$DIR/p.htm\n$HTTP/2.htm\n").toUtf8());
    }
    void cleanupTestCase() { m_server.reset(); }

    // Several sources print exactly what each prints alone, one after another, in input order.
    void inputOrder_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("stdinText");
        QTest::addColumn<QStringList>("each"); // the sources one by one
        const QStringList three{"--url", "$HTTP/1.htm", "--page", "$DIR/p.htm", "--url", "$HTTP/2.htm"};
        QTest::newRow("repeated options") << QStringList{"--url", "$HTTP/1.htm", "--page", "p.htm", "--url",
                                                         "$HTTP/2.htm", "--jobs", "3"}
                                          << QByteArray() << three;
        const QStringList bigPages{"--url", "$HTTP/big.htm", "--url", "$HTTP/big2.htm", "--url", "$HTTP/2.htm"};
        QTest::newRow("pages over a megabyte") << bigPages + QStringList{"--jobs", "3"} << QByteArray() << bigPages;
        QTest::newRow("list file") << QStringList{"--input", "$DIR/list.txt"} << QByteArray() << three;
        QTest::newRow("list on stdin, one job") << QStringList{"--input", "-", "--jobs", "1", "--url", "$HTTP/3.htm"}
                                                << TestEnv::readFile(m_dir.filePath("list.txt"))
                                                << three + QStringList{"--url", "$HTTP/3.htm"};
        QTest::newRow("lists") << QStringList{"--list", "--input", "$DIR/list.txt"} << QByteArray()
                               << QStringList{"--list", "--url", "$HTTP/1.htm", "--list", "--page", "$DIR/p.htm",
                                              "--list", "--url", "$HTTP/2.htm"};
    }
    void inputOrder() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, stdinText);
        QFETCH(QStringList, each);
        QByteArray expected;
        int worst = 0; // a failure of any page makes the whole run fail
        QByteArray errors;
        for (qsizetype i = 0; i < each.size();) {
            QStringList one{"collect"};
            if (each.at(i) == "--list")
                one << each.at(i++);
            one << each.at(i) << expand(each.at(i + 1));
            i += 2;
            const CliRun alone = runCli(one);
            QVERIFY(alone.code == 0 || alone.code == 1);
            worst = qMax(worst, alone.code);
            QVERIFY(!alone.out.isEmpty());
            expected += alone.out;
            errors += alone.err;
        }
        const CliRun all = runCli(QStringList{"collect"} + expand(args), stdinText, m_dir.path());
        QVERIFY2(all.code == worst, (errors + "\n----\n" + all.err).constData());
        QCOMPARE(all.out, expected);
    }

    // Standard output takes the pages in input order, so no page starts more than --jobs ahead of the
    // oldest one not yet written: a slow first page holds the others back instead of piling them up.
    // Without that order (JSON lines) the pages after it go on.
    void pagesAheadOfASlowOne_data() {
        QTest::addColumn<QStringList>("mode");
        QTest::addColumn<int>("seenWhileSlow");
        QTest::newRow("in input order") << QStringList{} << 2;
        QTest::newRow("json lines") << QStringList{"--json"} << 8;
    }
    void pagesAheadOfASlowOne() {
        QFETCH(QStringList, mode);
        QFETCH(int, seenWhileSlow);
        constexpr int Count = 8;
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
        auto pageHits = [this, tag] {
            int n = 0;
            for (int i = 1; i < Count; ++i)
                n += m_server->hits(QStringLiteral("/w/%1/%2.htm").arg(tag).arg(i));
            return n;
        };
        std::atomic<int> seen{-1};
        for (int i = 1; i < Count; ++i)
            m_server->route(QStringLiteral("/w/%1/%2.htm").arg(tag).arg(i),
                            LocalHttpServer::reply(200, "<script>x();</script>", "text/html"));
        m_server->route(QStringLiteral("/w/%1/0.htm").arg(tag), [&](const QString &) {
            // Answers only once the others had their chance to be asked for (or a generous guard ran out).
            QElapsedTimer guard;
            guard.start();
            while (pageHits() < seenWhileSlow - 1 && guard.elapsed() < 20000)
                QThread::msleep(5);
            QThread::msleep(200); // room for a page that should not start to show up
            seen = pageHits() + 1;
            return LocalHttpServer::reply(200, "<script>slow();</script>", "text/html");
        });
        QStringList args{"collect", "--jobs", "2"};
        for (int i = 0; i < Count; ++i)
            args << "--url" << expand(QStringLiteral("$HTTP/w/%1/%2.htm").arg(tag).arg(i));
        const CliRun r = runCli(args + mode);
        QCOMPARE(r.code, 0);
        QCOMPARE(seen.load(), seenWhileSlow);
    }

    void foldersAndJsonLines() {
        QTemporaryDir outDir;
        const QString out = outDir.filePath("out");
        const QString list = outDir.filePath("list.txt");
        TestEnv::writeFile(list, expand("$HTTP/3.htm\n$HTTP/2.htm\n").toUtf8());
        const CliRun r = runCli({"collect", "--input", list, "--output-dir", out, "--json"});
        QCOMPARE(r.code, 1); // gone.js
        QVERIFY(r.err.contains("gone.js"));

        const QString page3 = QDir(out).entryList({"*3.htm"}, QDir::Dirs).value(0);
        const QString page2 = QDir(out).entryList({"*2.htm"}, QDir::Dirs).value(0);
        QVERIFY(!page3.isEmpty() && !page2.isEmpty());
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);

        // Every file holds what the server sent; names that collide are numbered.
        const QStringList files{"x.js", "x-2.js", "x-3.js", "empty.js", "inline-4.js"};
        const QList<QByteArray> bytes{Scripts[0].body, Scripts[1].body, Scripts[3].body, Scripts[2].body,
                                      QStringLiteral("var 中 = '文';").toUtf8()};
        for (int i = 0; i < files.size(); ++i)
            QCOMPARE(TestEnv::readFile(out + "/" + page3 + "/" + files[i]), bytes[i]);
        QCOMPARE(TestEnv::readFile(out + "/" + page2 + "/x.js"), Scripts[1].body);
        const QByteArray combined = TestEnv::readFile(out + "/" + page3 + "/combined.js");
        QVERIFY(combined.startsWith(expand("网址0：$HTTP/a/x.js\r\n").toUtf8()));
        QVERIFY(combined.contains(expand("网址5：$HTTP/gone.js\r\n\r\n").toUtf8()));

        const QJsonArray manifest =
            QJsonDocument::fromJson(TestEnv::readFile(out + "/" + page3 + "/manifest.json"))["scripts"].toArray();
        QCOMPARE(manifest.size(), 6);
        QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QCOMPARE(lines.size(), 7); // six scripts of page 3, one of page 2
        for (int i = 0; i < 6; ++i) {
            const QJsonObject m = manifest[i].toObject();
            QCOMPARE(m["number"].toInt(), i);
            QCOMPARE(m["page"].toString(), expand("$HTTP/3.htm"));
            if (i < 5) {
                QCOMPARE(m["status"].toString(), QStringLiteral("ok"));
                QCOMPARE(m["file"].toString(), files[i]);
                QCOMPARE(m["bytes"].toInt(), bytes[i].size());
                QCOMPARE(m["sha256"].toString(), sha(bytes[i]));
                QCOMPARE(m["class"].toString(), i == 4 ? QStringLiteral("inline") : QStringLiteral("other"));
            } else {
                QCOMPARE(m["status"].toString(), QStringLiteral("failed"));
                QCOMPARE(m["reason"].toString(), QStringLiteral("HTTP 404"));
                QVERIFY(m["file"].isNull() && m["sha256"].isNull());
            }
            // The JSON line of the same script says the same, its file named with its folder.
            const QJsonObject line = QJsonDocument::fromJson(lines.at(i)).object();
            QVERIFY(line.contains("page"));
            QJsonObject expectedLine = m;
            expectedLine["record"] = QStringLiteral("script");
            if (!m["file"].isNull())
                expectedLine["file"] = page3 + "/" + m["file"].toString();
            QCOMPARE(line, expectedLine);
        }
    }

    void jsonWithText() {
        const CliRun r = runCli({"collect", "--json", "--with-text", "--page", m_dir.filePath("p.htm")});
        QCOMPARE(r.code, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(first["class"].toString(), QStringLiteral("local"));
        QCOMPARE(first["text"].toString(), QStringLiteral("local();"));
        QVERIFY(first["file"].isNull());
        QCOMPARE(QJsonDocument::fromJson(lines[1]).object()["text"].toString(), QStringLiteral("p();"));
        const CliRun plain = runCli({"collect", "--json", "--page", m_dir.filePath("p.htm")});
        QVERIFY(!plain.out.contains("\"text\""));
    }

    void outputFolderRefused() {
        QTemporaryDir outDir;
        TestEnv::writeFile(outDir.filePath("keep.txt"), "mine");
        const QStringList args{"collect", "--page", m_dir.filePath("p.htm"), "--output-dir", outDir.path()};
        const CliRun refused = runCli(args);
        QCOMPARE(refused.code, 2);
        QVERIFY(refused.err.contains("--overwrite"));
        QCOMPARE(QDir(outDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"keep.txt"});
        const CliRun allowed = runCli(args + QStringList{"--overwrite"});
        QCOMPARE(allowed.code, 0);
        QCOMPARE(QDir(outDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
        QCOMPARE(TestEnv::readFile(outDir.filePath("keep.txt")), QByteArray("mine"));
    }

    // Every request of the command carries the headers and the user agent: the page's and its scripts'.
    void headersReachTheServer() {
        m_server->route("/h/page.htm", LocalHttpServer::reply(200, "<script src=\"s.js\"></script>", "text/html"));
        m_server->route("/h/s.js", LocalHttpServer::reply(200, "s();"));
        const CliRun r = runCli({"collect", "--url", expand("$HTTP/h/page.htm"), "--header", "X-Audit: 42",
                                 "--header", "Accept-Language: zh-CN", "--user-agent", "VarnelTest/1.0"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("s();"));
        for (const QString path : {"/h/page.htm", "/h/s.js"}) {
            QCOMPARE(m_server->lastHeader(path, "X-Audit"), QByteArray("42"));
            QCOMPARE(m_server->lastHeader(path, "Accept-Language"), QByteArray("zh-CN"));
            QCOMPARE(m_server->lastHeader(path, "User-Agent"), QByteArray("VarnelTest/1.0"));
        }
    }

    // --timeout is the deadline of the whole transfer: a reply that comes too late is a failure that says so.
    void deadline_data() {
        QTest::addColumn<QString>("slow");
        QTest::addColumn<QString>("expected"); // what the combined text holds
        QTest::newRow("slow script") << "/d/slow.js" << "网址0：$HTTP/d/slow.js\r\n\r\n";
        QTest::newRow("slow page") << "/d/slow.htm" << "";
    }
    void deadline() {
        QFETCH(QString, slow);
        QFETCH(QString, expected);
        m_server->route("/d/slow.js", LocalHttpServer::reply(200, "late();", "text/javascript", {}, 3000));
        m_server->route("/d/slow.htm", LocalHttpServer::reply(200, "<script>late();</script>", "text/html", {}, 3000));
        m_server->route("/d/page.htm", LocalHttpServer::reply(200, "<script src=\"slow.js\"></script>", "text/html"));
        const QString page = slow.endsWith(".js") ? "$HTTP/d/page.htm" : "$HTTP" + slow;
        const CliRun r = runCli({"collect", "--timeout", "0.5", "--url", expand(page)});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, expand(expected).toUtf8());
        QVERIFY2(r.err.contains("超时") && r.err.contains(slow.toUtf8()), r.err.constData());
    }

    // 0 when everything was obtained, 1 when a page or a script was not (the other pages still come
    // out), 2 when the command itself is wrong and nothing is loaded.
    void exitCodes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("outPart");
        QTest::addColumn<QByteArray>("errPart");
        QTest::newRow("all obtained") << QStringList{"--url", "$HTTP/2.htm", "--page", "$DIR/p.htm"} << 0
                                      << QByteArray("local();") << QByteArray();
        QTest::newRow("a page missing") << QStringList{"--url", "$HTTP/none.htm", "--page", "$DIR/p.htm"} << 1
                                        << QByteArray("local();") << QByteArray("none.htm");
        QTest::newRow("a page file missing") << QStringList{"--page", "$DIR/none.htm", "--json"} << 1
                                             << QByteArray("\"number\":null,\"page\":\"") << QByteArray("none.htm");
        QTest::newRow("a script missing") << QStringList{"--url", "$HTTP/3.htm", "--json"} << 1
                                          << QByteArray("\"HTTP 404\"") << QByteArray("gone.js：HTTP 404");
        QTest::newRow("usage") << QStringList{"--url", "$HTTP/2.htm", "--jobs", "0"} << 2 << QByteArray()
                               << QByteArray("--jobs");
        // Nothing is loaded before every list could be opened.
        QTest::newRow("missing list") << QStringList{"--url", "$HTTP/2.htm", "--input", "$DIR/none.txt"} << 2
                                      << QByteArray() << QByteArray("none.txt");
        QTest::newRow("list is a folder") << QStringList{"--url", "$HTTP/2.htm", "--input", "$DIR"} << 2
                                          << QByteArray() << QByteArray("文件夹");
    }
    void exitCodes() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, outPart);
        QFETCH(QByteArray, errPart);
        const CliRun r = runCli(QStringList{"collect"} + expand(args));
        QCOMPARE(r.code, code);
        QVERIFY2(r.out.contains(outPart), r.out.constData());
        if (code == 2)
            QCOMPARE(r.out, QByteArray());
        if (errPart.isEmpty())
            QCOMPARE(r.err, QByteArray());
        else
            QVERIFY2(r.err.contains(errPart), r.err.constData());
    }

    // Every page of a batch goes through the engine asked for: the browser engine sees the script a
    // script adds, in each page, and writes it in the page's folder.
    void browserEngineForEveryPage() {
        m_server->route("/b/dyn.htm", LocalHttpServer::reply(
                                          200,
                                          "<html><body><script>var s = document.createElement('script');"
                                          " s.src = 'added.js'; document.body.appendChild(s);</script></body></html>",
                                          "text/html"));
        m_server->route("/b/added.js", LocalHttpServer::reply(200, "added();"));
        QTemporaryDir outDir;
        const CliRun r = runCli({"collect", "--engine", "browser", "--jobs", "2", "--output-dir", outDir.filePath("o"),
                                 "--url", expand("$HTTP/b/dyn.htm"), "--url", expand("$HTTP/b/dyn.htm?again")});
        if (r.err.contains("浏览器内核无法启动"))
            QSKIP("the browser engine cannot start here");
        QCOMPARE(r.code, 0);
        const QStringList folders = QDir(outDir.filePath("o")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(folders.size(), 2);
        for (const QString &f : folders)
            QCOMPARE(TestEnv::readFile(outDir.filePath("o/" + f + "/added.js")), QByteArray("added();"));
    }

    // A certificate no one trusts fails the page with its reason; --insecure takes it, and says so once.
    void insecure_data() {
        QTest::addColumn<bool>("insecure");
        QTest::newRow("refused") << false;
        QTest::newRow("--insecure") << true;
    }
    void insecure() {
        QFETCH(bool, insecure);
        LocalHttpServer secure(LocalHttpServer::Scheme::Https);
        secure.route("/s.htm", LocalHttpServer::reply(200, "<script src=\"s.js\"></script>", "text/html"));
        secure.route("/s.js", LocalHttpServer::reply(200, "var secure;"));
        const QString page = secure.baseUrl() + "/s.htm";
        QStringList args{"collect", "--url", page, "--url", page};
        if (insecure)
            args << "--insecure";
        const CliRun r = runCli(args);
        QVERIFY2(r.code == (insecure ? 0 : 1), r.err.constData());
        QCOMPARE(r.out.count("var secure;"), insecure ? 2 : 0);
        QCOMPARE(r.err.count("--insecure"), insecure ? 1 : 0);
        if (!insecure)
            QVERIFY2(r.err.contains("证书错误"), r.err.constData());
    }
};

VARNEL_TEST_MAIN(TestCliBatch)
#include "tst_clibatch.moc"
