// varneljs-cli end to end: the program is run as a process and its bytes compared.

#include "CliRun.h"
#include "platform/TextCodec.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"
#include "workbench/Normaliser.h"

#include <QApplication>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Run = CliRun;

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalHttpServer> m_server;

    QString expand(const QString &s) const { return m_server->expand(s, m_dir.path()); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TestEnv::prepareBrowserEngine(); // for the program runs with --engine browser
        m_server = std::make_unique<LocalHttpServer>();
        m_server->route(QStringLiteral("/site/dyn.htm"),
                        LocalHttpServer::reply(200,
                                               "<html><body><script>var s = document.createElement('script');"
                                               " s.src = 'x.js'; document.body.appendChild(s);</script>"
                                               "<template><script>never();</script></template>"
                                               "<script>alert(1);</script></body></html>",
                                               "text/html"));
        m_server->route(QStringLiteral("/b.js"),
                        LocalHttpServer::reply(200, "var b = 2;", "text/javascript"));
        m_server->route(QStringLiteral("/site/page.htm"),
                        LocalHttpServer::reply(
                            200,
                            "<html><head><script src=\"x.js\"></script><script src=\"gone.js\"></script>"
                            "<script>var t = 1;\nvar u = 2;</script></head></html>",
                            "text/html"));
        m_server->route(QStringLiteral("/site/x.js"), LocalHttpServer::reply(200, "x();", "text/javascript"));
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/a.js"), "var a = 1;");
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/lines.htm"), "<script src='a&#10;b.js'></script>");
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/p.htm"),
                           expand(QStringLiteral("<html><head><script>inline();</script>"
                                                 "<script src=\"a.js\"></script></head><body>"
                                                 "<script src=\"$HTTP/b.js\"></script>"
                                                 "<script src=\"https://127.0.0.1:$PORT/b.js\"></script>"
                                                 "<script src=\"missing.js\"></script>"
                                                 "<script></script></body></html>"))
                               .toUtf8());
    }
    void cleanupTestCase() { m_server.reset(); }

    void collect_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errPart"); // empty: nothing on stderr
        QTest::addColumn<int>("code");

        const QString page = "网址0[网页内JS]：$DIR/p.htm\r\ninline();\r\n"
                             "网址1[本地JS]：$DIR/a.js\r\nvar a = 1;\r\n"
                             "网址2：$HTTP/b.js\r\nvar b = 2;\r\n"
                             "网址3：https://127.0.0.1:$PORT/b.js\r\n\r\n"
                             "网址4[本地JS]：$DIR/missing.js\r\n\r\n"
                             "网址5[网页内JS]：$DIR/p.htm\r\n\r\n";
        QTest::newRow("page, worked example and every class")
            << QStringList{"collect", "--page", "$DIR/p.htm"} << page
            << "未能取得脚本 4 $DIR/missing.js：文件不存在" << 1;
        QTest::newRow("page, list") << QStringList{"collect", "--list", "--page", "$DIR/p.htm"}
                                    << "[网页内JS-0] $DIR/p.htm\n[本地JS-1] $DIR/a.js\n$HTTP/b.js\n"
                                       "https://127.0.0.1:$PORT/b.js\n[本地JS-4] $DIR/missing.js\n"
                                       "[网页内JS-5] $DIR/p.htm\n"
                                    << "未能取得脚本 3 https://127.0.0.1:$PORT/b.js" << 1;
        QTest::newRow("script file") << QStringList{"collect", "--script", "$DIR/a.js"}
                                     << "网址0[本地JS]：$DIR/a.js\r\nvar a = 1;\r\n"
                                     << "" << 0;
        QTest::newRow("script on a share") << QStringList{"collect", "--script", "\\\\server\\share\\s.js"}
                                           << "网址0[网络JS]：\\\\server\\share\\s.js\r\n\r\n"
                                           << "文件不存在" << 1;
        QTest::newRow("online page, a script missing")
            << QStringList{"collect", "--url", "$HTTP/site/page.htm"}
            << "网址0：$HTTP/site/x.js\r\nx();\r\n网址1：$HTTP/site/gone.js\r\n\r\n"
               "网址2[网页内JS]：$HTTP/site/page.htm\r\nvar t = 1;\nvar u = 2;\r\n"
            << "$HTTP/site/gone.js：HTTP 404" << 1;
        QTest::newRow("online page not found") << QStringList{"collect", "--url", "$HTTP/none.htm"} << ""
                                               << "网页未能打开：$HTTP/none.htm（HTTP 404）" << 1;
        QTest::newRow("page file missing") << QStringList{"collect", "--page", "$DIR/none.htm"} << ""
                                           << "网页未能打开：$DIR/none.htm（文件不存在）" << 1;
        QTest::newRow("line break in an address, list")
            << QStringList{"collect", "--list", "--page", "$DIR/lines.htm"} << "[本地JS-0] $DIR/a\\nb.js\n"
            << "未能取得脚本 0 $DIR/a\\nb.js：文件不存在\n"
            << 1;
        const QString dynInline = "网址%1[网页内JS]：$HTTP/site/dyn.htm\r\n";
        QTest::newRow("scripts added by scripts, browser engine")
            << QStringList{"collect", "--engine", "browser", "--url", "$HTTP/site/dyn.htm"}
            << dynInline.arg(0) +
                   "var s = document.createElement('script'); s.src = 'x.js'; document.body.appendChild(s);\r\n"
                   "网址1：$HTTP/site/x.js\r\nx();\r\n" +
                   dynInline.arg(2) + "alert(1);\r\n"
            << "" << 0;
        QTest::newRow("scripts added by scripts, static engine")
            << QStringList{"collect", "--url", "$HTTP/site/dyn.htm", "--engine", "static", "--list"}
            << "[网页内JS-0] $HTTP/site/dyn.htm\n[网页内JS-1] $HTTP/site/dyn.htm\n"
            << "" << 0;
        QTest::newRow("script file keeps the static engine")
            << QStringList{"collect", "--engine", "browser", "--script", "$DIR/a.js"}
            << "网址0[本地JS]：$DIR/a.js\r\nvar a = 1;\r\n"
            << "" << 0;
        QTest::newRow("online page not found, browser engine")
            << QStringList{"collect", "--engine", "browser", "--url", "$HTTP/none.htm"} << ""
            << "网页未能打开：$HTTP/none.htm（HTTP 404）" << 1;
    }
    void collect() {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, errPart);
        QFETCH(int, code);
        QStringList expanded;
        for (const QString &a : args)
            expanded << expand(a);
        const Run r = runCli(expanded);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, expand(out).toUtf8());
        if (errPart.isEmpty())
            QCOMPARE(r.err, QByteArray());
        else
            QVERIFY2(QString::fromUtf8(r.err).contains(expand(errPart)), r.err.constData());
    }

    void relativeScriptPath() {
        const Run r = runCli({QStringLiteral("collect"), QStringLiteral("--script"), QStringLiteral("a.js")},
                             QByteArray(), m_dir.path());
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("网址0[本地JS]：") + m_dir.path() +
                                               QStringLiteral("/a.js\r\nvar a = 1;\r\n"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"gather"};
        QTest::newRow("collect without source") << QStringList{"collect"};
        QTest::newRow("collect list only") << QStringList{"collect", "--list"};
        QTest::newRow("missing value") << QStringList{"collect", "--page"};
        QTest::newRow("a script and another source") << QStringList{"collect", "--script", "a", "--url", "b"};
        QTest::newRow("unknown option") << QStringList{"collect", "--page", "a", "--fast"};
        QTest::newRow("normalise two files") << QStringList{"normalise", "a", "b"};
        QTest::newRow("functions, unknown option") << QStringList{"functions", "--all"};
        QTest::newRow("functions two files") << QStringList{"functions", "a", "b"};
        QTest::newRow("endpoints, unknown option") << QStringList{"endpoints", "--url", "http://h/"};
        QTest::newRow("endpoints two files") << QStringList{"endpoints", "a", "b"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        const Run r = runCli(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("用法")));
        QVERIFY(r.err.contains("collect --script"));
    }

    void normaliseFileAndStdin() {
        const QString code = QStringLiteral("function f(){var 中=1;/*注*/return 中;}");
        QStringEncoder gb("GB18030");
        const QString file = m_dir.path() + QStringLiteral("/n.js");
        TestEnv::writeFile(file, gb(code));
        const QByteArray expected = NormaliseCodeText(code).toUtf8();
        QVERIFY(expected != code.toUtf8()); // the normaliser really changes this text

        const Run fromFile = runCli({QStringLiteral("normalise"), file});
        QCOMPARE(fromFile.code, 0);
        QCOMPARE(fromFile.out, expected);

        const Run fromStdin = runCli({QStringLiteral("normalise")}, code.toUtf8());
        QCOMPARE(fromStdin.code, 0);
        QCOMPARE(fromStdin.out, expected);
    }

    void functions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("out");
        const QByteArray combined = QStringLiteral("网址0[网页内JS]：p.htm\r\nfunction 甲() {}\r\n"
                                                   "网址1：http://h/b.js\r\n\r\nvar o = { go() {} };\r\n")
                                        .toUtf8();
        QTest::newRow("combined text from stdin")
            << QStringList{"functions", "--combined"} << combined << QStringLiteral("甲\t0\t2\no.go\t1\t5\n");
        // Without --combined a header line is just a line of the script; the numbers stay 0.
        QTest::newRow("plain script from stdin") << QStringList{"functions"} << combined
                                                 << QStringLiteral("甲\t0\t2\no.go\t0\t5\n");
        QTest::newRow("file") << QStringList{"functions", "$DIR/f.js"} << QByteArray()
                              << QStringLiteral("a\t0\t1\nA.b\t0\t2\n");
        QTest::newRow("no functions") << QStringList{"functions"} << QByteArray("x();") << QString();
    }
    void functions() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QString, out);
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/f.js"), "function a() {}\r\nclass A { b() {} }\r\n");
        QStringList expanded;
        for (const QString &a : args)
            expanded << expand(a);
        const Run r = runCli(expanded, input);
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), out);
        QCOMPARE(r.err, QByteArray());
    }

    void endpoints_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("out");
        const QByteArray script = "function f() {\n  fetch('/a', { method: 'post' });\n}\nvar u = 'HTTP://h.example/x/../y';\n";
        QTest::newRow("lines from stdin; only absolute addresses resolve without a page")
            << QStringList{"endpoints"} << script
            << QStringLiteral("/a\tfetch\tPOST\tf\t0\t2\t\t\t\n"
                              "HTTP://h.example/x/../y\tliteral\t\t\t0\t4\thttp://h.example/y\t\t\n");
        QTest::newRow("json")
            << QStringList{"endpoints", "--json"} << QByteArray("new WebSocket(`wss://h/s/${r}`);")
            << QStringLiteral("{\"address\":\"wss://h/s/{r}\",\"function\":\"\",\"kind\":\"websocket\",\"line\":1,"
                              "\"method\":\"\",\"resolved\":\"wss://h/s/{r}\",\"script\":0,\"source\":\"\","
                              "\"sourceLine\":null}\n");
        QTest::newRow("combined: script numbers and lines of the whole text")
            << QStringList{"endpoints", "--combined"}
            << QStringLiteral("网址0[网页内JS]：p.htm\r\n$.get('/g');\r\n网址1：http://h/b.js\r\n\r\nfunction 甲() { "
                              "location = '/go'; }\r\n")
                   .toUtf8()
            << QStringLiteral("/g\tajax\tGET\t\t0\t2\t\t\t\n/go\tnavigate\t\t甲\t1\t5\t\t\t\n");
        QTest::newRow("tab and line breaks inside a field")
            << QStringList{"endpoints", "$DIR/e.js"} << QByteArray()
            << QStringLiteral("/a\\tb\\r\\nc\tfetch\tGET\t\t0\t1\t\t\t\n");
        QTest::newRow("nothing found") << QStringList{"endpoints"} << QByteArray("x('text/html');") << QString();
    }
    void endpoints() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QString, out);
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/e.js"), "fetch(`/a\tb\r\nc`);");
        QStringList expanded;
        for (const QString &a : args)
            expanded << expand(a);
        const Run r = runCli(expanded, input);
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), out);
        QCOMPARE(r.err, QByteArray());
    }

    void fullOutputIsAnError() {
        const QString file = m_dir.path() + QStringLiteral("/a.js");
        const Run r =
            runCli({QStringLiteral("normalise"), file}, QByteArray(), QString(), QStringLiteral("/dev/full"));
        QCOMPARE(r.code, 1);
        QVERIFY2(QString::fromUtf8(r.err).startsWith(QStringLiteral("无法写出标准输出：")),
                 r.err.constData());
    }

    void normaliseUnreadable() {
        const Run missing = runCli({QStringLiteral("normalise"), m_dir.path() + QStringLiteral("/none.js")});
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.out.isEmpty());
        QVERIFY(!missing.err.isEmpty());
        const Run folder = runCli({QStringLiteral("normalise"), m_dir.path()});
        QCOMPARE(folder.code, 1);
        const Run functions = runCli({QStringLiteral("functions"), m_dir.path() + QStringLiteral("/none.js")});
        QCOMPARE(functions.code, 1);
        QVERIFY(functions.out.isEmpty());
        const Run endpoints = runCli({QStringLiteral("endpoints"), m_dir.path() + QStringLiteral("/none.js")});
        QCOMPARE(endpoints.code, 1);
        QVERIFY(endpoints.out.isEmpty());
    }
};

VARNEL_TEST_MAIN(TestCli)
#include "tst_cli.moc"
