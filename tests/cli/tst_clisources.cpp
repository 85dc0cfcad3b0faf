// The command line's original sources: a page of esbuild bundles whose maps are named every way a
// server names them gives back every original file byte for byte under sources/, listed in
// manifest.json and as JSON lines; hostile source paths stay inside the output folder; maps and sources
// not obtained are named on standard error without changing the exit code.

#include "CliRun.h"
#include "sourcemap/FixtureFiles.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray withComment(const QByteArray &script, const QByteArray &url) {
    const QByteArray code = script.left(script.lastIndexOf("//# sourceMappingURL="));
    return url.isEmpty() ? code : code + "//# sourceMappingURL=" + url + "\n";
}

// Hostile names, each with content, so each would be written if it were let through.
const QStringList HostileNames = {"../../../../etc/passwd",   "/etc/shadow",   "file:///etc/hosts",
                                  "C:\\Windows\\win.ini",     "..\\..\\up.js", "a/../../../../b.js",
                                  "webpack:///../../../x.js", "CON",           "x\x01y.js"};

QByteArray hostileMap() {
    QJsonArray sources, contents;
    for (const QString &name : HostileNames) {
        sources.append(name);
        contents.append(QStringLiteral("hostile ") + name);
    }
    QJsonObject o{{"version", 3},
                  {"sources", sources},
                  {"sourcesContent", contents},
                  {"names", QJsonArray()},
                  {"mappings", "AAAA"}};
    return QJsonDocument(o).toJson();
}

// The bytes a source of the page must have: esbuild's names lead to the fixture's src/ files.
QByteArray expectedBytes(const QString &name) {
    if (HostileNames.contains(name))
        return ("hostile " + name).toUtf8();
    const qsizetype at = name.indexOf(QLatin1String("src/"));
    return at < 0 ? QByteArray() : fixtureBytes(name.mid(at));
}

} // namespace

class TestCliSources : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;
    QString m_page;

    void serve(const QString &path, const QByteArray &body,
               const QList<QPair<QByteArray, QByteArray>> &headers = {}) {
        LocalHttpServer::Response r = LocalHttpServer::reply(200, body, "text/javascript");
        r.headers = headers;
        m_server->route(path, r);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<LocalHttpServer>();
        for (const char *name :
             {"app.min.js", "app.min.js.map", "inline.min.js", "nocontent.min.js", "nocontent.min.js.map"})
            serve(QStringLiteral("/out/") + QLatin1String(name),
                  fixtureBytes(QStringLiteral("out/") + QLatin1String(name)));
        for (const char *name : {"src/ui/menu.ts", "src/util/format.js", "src/main.ts"})
            serve(QStringLiteral("/") + QLatin1String(name), fixtureBytes(QLatin1String(name)));
        const QByteArray app = fixtureBytes(QStringLiteral("out/app.min.js"));
        serve(QStringLiteral("/out/header.min.js"), withComment(app, {}), {{"SourceMap", "app.min.js.map"}});
        serve(QStringLiteral("/out/hostile.min.js"), withComment(app, "hostile.map"));
        serve(QStringLiteral("/out/hostile.map"), hostileMap());
        serve(QStringLiteral("/out/gone.min.js"), withComment(app, "gone.map"));
        serve(QStringLiteral("/x/sources"), "var reserved = 1;\n");
        serve(QStringLiteral("/x/endpoints.json"), "var reserved = 2;\n");
        m_server->route(QStringLiteral("/page.htm"),
                        LocalHttpServer::reply(200,
                                               "<html><head>"
                                               "<script src=\"out/app.min.js\"></script>"
                                               "<script src=\"out/inline.min.js\"></script>"
                                               "<script src=\"out/nocontent.min.js\"></script>"
                                               "<script src=\"out/header.min.js\"></script>"
                                               "<script src=\"out/hostile.min.js\"></script>"
                                               "<script src=\"out/gone.min.js\"></script>"
                                               "<script src=\"x/sources\"></script>"
                                               "<script src=\"x/endpoints.json\"></script>"
                                               "</head></html>",
                                               "text/html"));
        m_page = m_server->baseUrl() + QStringLiteral("/page.htm");
        // Every position of the bundle's one line maps to line 3 of src/api.ts.
        serve(QStringLiteral("/out/api.min.js"), "function load(){return fetch(\"/api/items\")}\n"
                                                 "//# sourceMappingURL=api.min.js.map\n");
        serve(QStringLiteral("/out/api.min.js.map"),
              R"({"version":3,"sources":["src/api.ts"],"sourcesContent":["x"],"mappings":"AAEA"})");
        m_server->route(QStringLiteral("/api.htm"),
                        LocalHttpServer::reply(200,
                                               "<script src=\"out/api.min.js\"></script>"
                                               "<script>new WebSocket('wss://a.example/s')</script>",
                                               "text/html"));
    }

    // A finding in a bundle names its original source and line; one in a script without a map, none.
    void endpointsNameTheirOriginal() {
        const CliRun r = runCli({"endpoints", "--url", m_server->baseUrl() + "/api.htm", "--json"});
        QCOMPARE(r.code, 0);
        QMap<QString, QPair<QString, QJsonValue>> found;
        for (const QByteArray &line : r.out.split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (!o.isEmpty())
                found.insert(o.value("address").toString(), {o.value("source").toString(), o.value("sourceLine")});
        }
        QCOMPARE(found.value("/api/items"), qMakePair(QStringLiteral("src/api.ts"), QJsonValue(3)));
        QCOMPARE(found.value("wss://a.example/s"), qMakePair(QString(), QJsonValue()));
        const CliRun text = runCli({"endpoints", "--url", m_server->baseUrl() + "/api.htm"});
        QVERIFY2(text.out.contains("\tsrc/api.ts\t3\n"), text.out);
    }

    void outputDirRecoversEverySource() {
        QTemporaryDir parent;
        const QString out = parent.filePath(QStringLiteral("out"));
        const CliRun r = runCli({"collect", "--url", m_page, "--output-dir", out});
        QCOMPARE(r.code, 0); // a map that cannot be had is told, not a failure of the page
        QVERIFY2(
            r.err.contains("源映射未能取得：" + m_server->baseUrl().toUtf8() + "/out/gone.map（HTTP 404）"),
            r.err);
        const QStringList folders = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(folders.size(), 1);
        const QDir page(out + QLatin1Char('/') + folders.first());
        const QJsonObject manifest =
            QJsonDocument::fromJson(TestEnv::readFile(page.filePath("manifest.json"))).object();
        const QJsonArray sources = manifest.value("sources").toArray();
        // 3 + 3 + 3 + 3 esbuild sources and the hostile ones; the 404 map has none.
        QCOMPARE(sources.size(), 12 + HostileNames.size());
        QMap<int, int> perScript;
        for (const QJsonValue &v : sources) {
            const QJsonObject s = v.toObject();
            const QString name = s.value("name").toString();
            QCOMPARE(s.value("status").toString(), QStringLiteral("ok"));
            const QString file = s.value("file").toString();
            QVERIFY2(file.startsWith(QLatin1String("sources/")), qPrintable(file));
            const QByteArray bytes = TestEnv::readFile(page.filePath(file));
            QCOMPARE(bytes, expectedBytes(name));
            QCOMPARE(s.value("bytes").toInteger(), bytes.size());
            QCOMPARE(s.value("sha256").toString().toLatin1(),
                     QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
            QCOMPARE(s.value("reason").toString(), QString());
            ++perScript[s.value("script").toInt()];
            const QString map = s.value("map").toString();
            if (s.value("script").toInt() == 1)
                QCOMPARE(map, QStringLiteral("data:"));
            QCOMPARE(s.value("origin").toString(), s.value("script").toInt() == 2
                                                       ? QStringLiteral("fetched")
                                                       : QStringLiteral("sourcesContent"));
        }
        QCOMPARE(perScript, (QMap<int, int>{{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, int(HostileNames.size())}}));
        // Nothing outside the output folder; inside it, nothing outside the page folder's sources/.
        QCOMPARE(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"out"});
        QDirIterator it(page.filePath("sources"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        int files = 0;
        while (it.hasNext()) {
            const QString real = QFileInfo(it.next()).canonicalFilePath();
            QVERIFY2(real.startsWith(QFileInfo(page.filePath("sources")).canonicalFilePath() + '/'),
                     qPrintable(real));
            ++files;
        }
        QCOMPARE(files, sources.size());
        // The reserved names stay free: the scripts named so are numbered.
        QVERIFY(QFileInfo(page.filePath("sources")).isDir());
        QVERIFY(QFileInfo::exists(page.filePath("sources-2")));
        QVERIFY(QFileInfo::exists(page.filePath("endpoints-2.json")));
        QVERIFY(QFileInfo(page.filePath("endpoints.json")).isFile()); // the page's own findings
    }

    void jsonLinesCarryRecords() {
        const CliRun r = runCli({"collect", "--url", m_page, "--json"});
        QCOMPARE(r.code, 0);
        int scripts = 0, sources = 0;
        for (const QByteArray &line : r.out.split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            const QString record = o.value("record").toString();
            QCOMPARE(o.value("page").toString(), m_page);
            if (record == QLatin1String("script")) {
                QVERIFY(o.contains("number") && o.contains("class"));
                ++scripts;
            } else {
                QCOMPARE(record, QStringLiteral("source"));
                for (const char *key :
                     {"script", "map", "name", "file", "bytes", "sha256", "origin", "status", "reason"})
                    QVERIFY2(o.contains(key), key);
                QCOMPARE(o.value("file").toString(), QString()); // nothing was written
                QCOMPARE(o.value("bytes").toInteger(), expectedBytes(o.value("name").toString()).size());
                ++sources;
            }
        }
        QCOMPARE(scripts, 8);
        QCOMPARE(sources, 12 + HostileNames.size());
    }

    // A plain collect to standard output asks for no map.
    void plainCollectFetchesNoMap() {
        const int before = m_server->hits(QStringLiteral("/out/app.min.js.map"));
        const CliRun r = runCli({"collect", "--url", m_page});
        QCOMPARE(r.code, 0);
        QCOMPARE(m_server->hits(QStringLiteral("/out/app.min.js.map")), before);
    }
};

VARNEL_TEST_MAIN(TestCliSources)
#include "tst_clisources.moc"
