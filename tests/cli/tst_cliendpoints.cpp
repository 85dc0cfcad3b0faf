// varneljs-cli endpoints over collected pages, end to end: the findings page after page, the usage errors
// of the collecting form, and the addresses `collect --output-dir` and `collect --json` add.

#include "CliRun.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Page 1: an external script and an inline one; page 2: navigation to a relative address.
const QByteArray App =
    "function save(d) { $.post('data/save', d); } var ws = new WebSocket('ws://h.example/s');";
const QByteArray Page1 =
    "<script src=\"app.js\"></script><script>function boot() { fetch('/api/boot'); }</script>";
const QByteArray Page2 = "<script>function go() { location.href = '../next.html'; }</script>";

QList<QByteArray> linesOf(const QByteArray &out) {
    QList<QByteArray> lines = out.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestCliEndpoints : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    QString expand(const QString &s) const { return m_server->expand(s, m_dir.path()); }
    QStringList expand(const QStringList &list) const { return m_server->expand(list, m_dir.path()); }

    // What page 1 and page 2 give, as `endpoints FILE` writes a finding.
    QByteArray page1Lines() const {
        return expand("data/save\tajax\tPOST\tsave\t0\t2\t$HTTP/e/data/save\t\t\n"
                      "ws://h.example/s\twebsocket\t\t\t0\t2\tws://h.example/s\t\t\n"
                      "/api/boot\tfetch\tGET\tboot\t1\t4\t$HTTP/api/boot\t\t\n")
            .toUtf8();
    }
    QByteArray page2Lines() const {
        return expand("../next.html\tnavigate\t\tgo\t0\t2\t$HTTP/next.html\t\t\n").toUtf8();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<LocalHttpServer>();
        m_server->route("/e/app.js", LocalHttpServer::reply(200, App, "application/javascript"));
        // Page 1 answers last: the text form still prints it first.
        m_server->route("/e/1.htm", LocalHttpServer::reply(200, Page1, "text/html", {}, 300));
        m_server->route("/e/2.htm", LocalHttpServer::reply(200, Page2, "text/html"));
        TestEnv::writeFile(m_dir.filePath("list.txt"), expand("$HTTP/e/1.htm\n$HTTP/e/2.htm\n").toUtf8());
    }
    void cleanupTestCase() { m_server.reset(); }

    void pageAfterPage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected"); // which pages, in order
        QTest::newRow("one address") << QStringList{"--url", "$HTTP/e/1.htm"} << "1";
        QTest::newRow("input order") << QStringList{"--url", "$HTTP/e/1.htm", "--url", "$HTTP/e/2.htm"}
                                     << "12";
        QTest::newRow("list file, one job") << QStringList{"--input", "$DIR/list.txt", "--jobs", "1"} << "12";
        QTest::newRow("second first")
            << QStringList{"--url", "$HTTP/e/2.htm", "--url", "$HTTP/e/1.htm"} << "21";
    }
    void pageAfterPage() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const CliRun r = runCli(QStringList{"endpoints"} + expand(args));
        QVERIFY2(r.code == 0, r.err.constData());
        QByteArray want;
        for (const QChar page : expected)
            want += page == QLatin1Char('1') ? page1Lines() : page2Lines();
        QCOMPARE(r.out, want);
    }

    // Without a page the same text gives the same findings, unresolved where they are relative.
    void sameAsTheCollectedText() {
        const CliRun text = runCli({"collect", "--url", expand("$HTTP/e/1.htm")});
        QCOMPARE(text.code, 0);
        const CliRun file = runCli({"endpoints", "--combined"}, text.out);
        QCOMPARE(file.code, 0);
        QList<QByteArray> expected = linesOf(page1Lines());
        for (QByteArray &line : expected) {
            QList<QByteArray> f = line.split('\t');
            if (!f[6].startsWith("ws:"))
                f[6].clear();
            line = f.join('\t');
        }
        QCOMPARE(linesOf(file.out), expected);
    }

    void jsonObjectsCarryThePage() {
        const CliRun r = runCli(
            {"endpoints", "--json", "--url", expand("$HTTP/e/1.htm"), "--url", expand("$HTTP/e/2.htm")});
        QCOMPARE(r.code, 0);
        const QList<QByteArray> lines = linesOf(r.out);
        QCOMPARE(lines.size(), 4);
        QSet<QString> seen;
        for (const QByteArray &line : lines) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            QCOMPARE(o.keys(), (QStringList{"address", "function", "kind", "line", "method", "page",
                                            "resolved", "script", "source", "sourceLine"}));
            QVERIFY(o["sourceLine"].isNull());
            seen << o["page"].toString() + ' ' + o["address"].toString();
        }
        QCOMPARE(seen,
                 (QSet<QString>{expand("$HTTP/e/1.htm data/save"), expand("$HTTP/e/1.htm ws://h.example/s"),
                                expand("$HTTP/e/1.htm /api/boot"), expand("$HTTP/e/2.htm ../next.html")}));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("--output-dir") << QStringList{"--output-dir", "$DIR/never"};
        QTest::newRow("--list") << QStringList{"--list"};
        QTest::newRow("--with-text") << QStringList{"--json", "--with-text"};
        QTest::newRow("unknown option") << QStringList{"--bogus"};
    }
    void usageErrors() {
        QFETCH(QStringList, extra);
        const int asked = m_server->hits("/e/2.htm");
        const CliRun r = runCli(QStringList{"endpoints", "--url", expand("$HTTP/e/2.htm")} + expand(extra));
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFileInfo::exists(m_dir.filePath("never")));
        QCOMPARE(m_server->hits("/e/2.htm"), asked); // refused before any page is asked for
    }

    void collectWritesAndPrintsThem() {
        QTemporaryDir outDir;
        const QString out = outDir.filePath("out");
        const CliRun r =
            runCli({"collect", "--json", "--output-dir", out, "--input", m_dir.filePath("list.txt")});
        QVERIFY2(r.code == 0, r.err.constData());
        // endpoints.json in each folder: the objects of `endpoints FILE --json`, without the page.
        const QString folder1 = QDir(out).entryList({"*1.htm"}, QDir::Dirs).value(0);
        const QString folder2 = QDir(out).entryList({"*2.htm"}, QDir::Dirs).value(0);
        QVERIFY(!folder1.isEmpty() && !folder2.isEmpty());
        const QJsonArray found1 =
            QJsonDocument::fromJson(TestEnv::readFile(out + "/" + folder1 + "/endpoints.json")).array();
        const QJsonArray found2 =
            QJsonDocument::fromJson(TestEnv::readFile(out + "/" + folder2 + "/endpoints.json")).array();
        QCOMPARE(found1.size(), 3);
        QCOMPARE(found2.size(), 1);
        const QJsonObject first = found1.at(0).toObject();
        QCOMPARE(first["address"].toString(), QStringLiteral("data/save"));
        QCOMPARE(first["kind"].toString(), QStringLiteral("ajax"));
        QCOMPARE(first["function"].toString(), QStringLiteral("save"));
        QCOMPARE(first["line"].toInt(), 2);
        QCOMPARE(first["resolved"].toString(), expand("$HTTP/e/data/save"));
        QVERIFY(!first.contains("page"));
        QCOMPARE(found2.at(0).toObject()["resolved"].toString(), expand("$HTTP/next.html"));
        // The JSON lines: scripts and findings, each saying which it is.
        int scripts = 0;
        QList<QJsonObject> endpoints;
        for (const QByteArray &line : linesOf(r.out)) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o["record"] == QStringLiteral("script"))
                ++scripts;
            else if (o["record"] == QStringLiteral("endpoint"))
                endpoints << o;
            else
                QFAIL(line.constData());
        }
        QCOMPARE(scripts, 3);
        QCOMPARE(endpoints.size(), 4);
        for (QJsonObject o : endpoints) {
            const QString page = o.take("page").toString();
            o.remove("record");
            const QJsonArray &inFolder = page.endsWith("1.htm") ? found1 : found2;
            QVERIFY2(inFolder.contains(o), qPrintable(page));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliEndpoints)
#include "tst_cliendpoints.moc"
