// The whole load sequence over the embedded page engine: local page files, served pages with every kind
// of relative script address, page redirects, declared charsets, and the elements a browser does not list.

#include "analysis/SourceLoader.h"
#include "analysis/StringSink.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageEngine.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestPageCollection : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    QString expand(const QString &s) const { return m_server->expand(s, m_dir.path()); }
    StringSink load(SourceKind kind, const QString &source, QList<ScriptFailure> *failures = nullptr) {
        std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
        StringSink sink;
        const QList<ScriptFailure> f = SourceLoader::runBlocking(engine.get(), &sink, kind, expand(source));
        if (failures)
            *failures = f;
        return sink;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        HttpManager::setDefaultTimeoutMs(3000);
        m_server = std::make_unique<LocalHttpServer>();
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/a.js"), "var a = 1;");
        m_server->route(QStringLiteral("/b.js"),
                        LocalHttpServer::reply(200, "var b = 2;", "text/javascript"));
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/p.htm"),
                           expand(QStringLiteral("<html><head><script>inline();</script>"
                                                 "<script src=\"a.js\"></script></head><body>"
                                                 "<script src=\"$HTTP/b.js\"></script></body></html>"))
                               .toUtf8());

        m_server->route(QStringLiteral("/dir/sub/page.htm"), [](const QString &target) {
            if (target.contains(QLatin1Char('?')))
                return LocalHttpServer::reply(200, ("query " + target).toUtf8(), "text/javascript");
            return LocalHttpServer::reply(
                200,
                "<html><head><script src=\"a.js\"></script><script src=\"../b.js\"></script>"
                "<script src=\"./c.js\"></script><script src=\"/d.js\"></script>"
                "<script src=\"?v=1\"></script><script src=\"missing.js\"></script></head></html>",
                "text/html");
        });
        m_server->route(QStringLiteral("/dir/sub/a.js"),
                        LocalHttpServer::reply(200, "plain", "text/javascript"));
        m_server->route(QStringLiteral("/dir/b.js"),
                        LocalHttpServer::reply(200, "parent", "text/javascript"));
        m_server->route(QStringLiteral("/dir/sub/c.js"),
                        LocalHttpServer::reply(200, "dot", "text/javascript"));
        m_server->route(QStringLiteral("/d.js"), LocalHttpServer::reply(200, "root", "text/javascript"));
        m_server->route(QStringLiteral("/old.htm"),
                        LocalHttpServer::reply(302, {}, "text/plain", "/dir/sub/page.htm"));

        QStringEncoder gb("GB18030");
        m_server->route(
            QStringLiteral("/gbk.htm"),
            LocalHttpServer::reply(
                200,
                QByteArray("<html><head><meta charset=gbk><title>t</title></head><body><script>") +
                    gb(QStringLiteral("alert(\"中文脚本\");")) + QByteArray("</script></body></html>"),
                "text/html"));
        m_server->route(QStringLiteral("/hidden.htm"),
                        LocalHttpServer::reply(200,
                                               "<html><body><template><script>no1();</script></template>"
                                               "<noscript><script>no2();</script></noscript>"
                                               "<script>yes();</script></body></html>",
                                               "text/html"));
        m_server->route(QStringLiteral("/empty.htm"),
                        LocalHttpServer::reply(200, "<html><body><p>nothing</p></body></html>", "text/html"));
    }
    void cleanupTestCase() { m_server.reset(); }

    void loads_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");

        QTest::newRow("worked example, local page")
            << SourceKind::PageFile << "$DIR/p.htm"
            << "网址0[网页内JS]：$DIR/p.htm\r\ninline();\r\n网址1[本地JS]：$DIR/a.js\r\nvar a = 1;\r\n"
               "网址2：$HTTP/b.js\r\nvar b = 2;\r\n"
            << QStringList{"[网页内JS-0] $DIR/p.htm", "[本地JS-1] $DIR/a.js", "$HTTP/b.js"};
        const QString served = "网址0：$HTTP/dir/sub/a.js\r\nplain\r\n网址1：$HTTP/dir/b.js\r\nparent\r\n"
                               "网址2：$HTTP/dir/sub/c.js\r\ndot\r\n网址3：$HTTP/d.js\r\nroot\r\n"
                               "网址4：$HTTP/dir/sub/page.htm?v=1\r\nquery /dir/sub/page.htm?v=1\r\n"
                               "网址5：$HTTP/dir/sub/missing.js\r\n\r\n";
        const QStringList servedEntries{"$HTTP/dir/sub/a.js",         "$HTTP/dir/b.js",
                                        "$HTTP/dir/sub/c.js",         "$HTTP/d.js",
                                        "$HTTP/dir/sub/page.htm?v=1", "$HTTP/dir/sub/missing.js"};
        QTest::newRow("served page, relative addresses")
            << SourceKind::PageAddress << "$HTTP/dir/sub/page.htm" << served << servedEntries;
        QTest::newRow("page redirect: scripts resolve against the final address")
            << SourceKind::PageAddress << "$HTTP/old.htm" << served << servedEntries;
        QTest::newRow("gbk page with Chinese inline script")
            << SourceKind::PageAddress << "$HTTP/gbk.htm"
            << "网址0[网页内JS]：$HTTP/gbk.htm\r\nalert(\"中文脚本\");\r\n"
            << QStringList{"[网页内JS-0] $HTTP/gbk.htm"};
        QTest::newRow("template and noscript not listed") << SourceKind::PageAddress << "$HTTP/hidden.htm"
                                                          << "网址0[网页内JS]：$HTTP/hidden.htm\r\nyes();\r\n"
                                                          << QStringList{"[网页内JS-0] $HTTP/hidden.htm"};
        QTest::newRow("page without scripts") << SourceKind::PageAddress << "$HTTP/empty.htm"
                                              << "" << QStringList{};
        QTest::newRow("page that cannot be loaded") << SourceKind::PageAddress << "$HTTP/none.htm"
                                                    << "" << QStringList{};
        QTest::newRow("single script file") << SourceKind::ScriptFile << "$DIR/a.js"
                                            << "网址0[本地JS]：$DIR/a.js\r\nvar a = 1;\r\n"
                                            << QStringList{"[本地JS-0] $DIR/a.js"};
    }
    void loads() {
        QFETCH(SourceKind, kind);
        QFETCH(QString, source);
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QList<ScriptFailure> failures;
        const StringSink sink = load(kind, source, &failures);
        QCOMPARE(sink.text, expand(text));
        QStringList expected;
        for (const QString &e : entries)
            expected << expand(e);
        QCOMPARE(sink.entries, expected);
        QCOMPARE(sink.selected, entries.isEmpty() ? -1 : 0);
        for (const ScriptFailure &f : failures) // only a missing served script may fail here
            QVERIFY2(f.address.endsWith(QLatin1String("/missing.js")), qPrintable(f.address));
    }

    void missingServedScriptIsReported() {
        QList<ScriptFailure> failures;
        load(SourceKind::PageAddress, QStringLiteral("$HTTP/dir/sub/page.htm"), &failures);
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].index, 5);
        QVERIFY2(failures[0].reason.contains(QLatin1String("404")), qPrintable(failures[0].reason));
    }

    void scriptFileEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString js = QStringLiteral("var s = \"编码\";");
        QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("utf-16 with bom") << QByteArray(le(js));
        QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF") + js.toUtf8();
    }
    void scriptFileEncodings() {
        QFETCH(QByteArray, bytes);
        const QString path =
            m_dir.path() + QStringLiteral("/enc-%1.js").arg(QTest::currentDataTag()).replace(' ', '_');
        TestEnv::writeFile(path, bytes);
        const StringSink sink = load(SourceKind::ScriptFile, path);
        QCOMPARE(sink.text,
                 QStringLiteral("网址0[本地JS]：") + path + QStringLiteral("\r\nvar s = \"编码\";\r\n"));
    }
};

VARNEL_TEST_MAIN(TestPageCollection)
#include "tst_pagecollection.moc"
