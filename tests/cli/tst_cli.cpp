// varneljs-cli end to end: the program is run as a process and its bytes compared.

#include "CliRun.h"
#include "platform/text/TextCodec.h"
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

// The rows of `endpoints`, run by functions(): the same shape of command, input and output.
static void endpointRows() {
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
        m_server->route(QStringLiteral("/site/loop.htm"),
                        LocalHttpServer::reply(200, "<script src=\"x.js\"></script><script>while(true){}</script>"
                                                    "<script src=\"b1.js\"></script>", "text/html"));
        m_server->route(QStringLiteral("/site/b1.js"), LocalHttpServer::reply(200, "b1();", "text/javascript"));
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/a.js"), "var a = 1;");
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/lines.htm"), "<script src='a&#10;b.js'></script>");
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/controls.htm"),
                           "<script src='a&#27;[2Jb&#7;&#127;.js'></script><script src='/dev/stdin'></script>");
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
        QTest::newRow("line break in an address, combined text")
            << QStringList{"collect", "--page", "$DIR/lines.htm"} << "网址0[本地JS]：$DIR/a b.js\r\n\r\n"
            << "未能取得脚本 0 $DIR/a\\nb.js：文件不存在\n" << 1;
        // Nothing a page writes into an address acts on the terminal; a device it names is not read.
        QTest::newRow("control characters in an address, list")
            << QStringList{"collect", "--list", "--page", "$DIR/controls.htm"}
            << "[本地JS-0] $DIR/a\\x1b[2Jb\\x07\\x7f.js\n[本地JS-1] /dev/stdin\n"
            << "未能取得脚本 0 $DIR/a\\x1b[2Jb\\x07\\x7f.js：文件不存在\n"
               "未能取得脚本 1 /dev/stdin：不是普通文件，无法读取\n"
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

    // A page whose own script never ends is reported as unfinished (exit 1), with the scripts the engine
    // had requested collected; its JSON line says so too.
    void browserEnginePageNeverEnds() {
        const QString page = expand(QStringLiteral("$HTTP/site/loop.htm"));
        const Run r = runCli({QStringLiteral("collect"), QStringLiteral("--engine"), QStringLiteral("browser"),
                              QStringLiteral("--json"), QStringLiteral("--url"), page});
        const QString reason = QStringLiteral("网页在15秒内未载入完成：") + page;
        QCOMPARE(r.code, 1);
        QVERIFY2(QString::fromUtf8(r.err).contains(reason), r.err.constData());
        const QString out = QString::fromUtf8(r.out);
        QVERIFY2(out.contains(reason), qPrintable(out));
        for (const QString &script : {QStringLiteral("$HTTP/site/x.js"), QStringLiteral("$HTTP/site/b1.js")})
            QVERIFY2(out.contains(QStringLiteral("\"address\":\"%1\"").arg(expand(script))), qPrintable(out));
    }

    // An engine that cannot start gives way to the static one, and says so.
    void browserEngineCannotStart() {
        const QStringList page{QStringLiteral("--url"), expand(QStringLiteral("$HTTP/site/dyn.htm"))};
        const Run staticRun = runCli(QStringList{QStringLiteral("collect"), QStringLiteral("--engine"), QStringLiteral("static")} + page);
        QCOMPARE(staticRun.code, 0);
        const QByteArray helper = qgetenv("QTWEBENGINEPROCESS_PATH");
        qputenv("QTWEBENGINEPROCESS_PATH", m_dir.path().toUtf8() + "/no-such-helper");
        const Run r = runCli(QStringList{QStringLiteral("collect"), QStringLiteral("--engine"), QStringLiteral("browser")} + page);
        if (helper.isNull())
            qunsetenv("QTWEBENGINEPROCESS_PATH");
        else
            qputenv("QTWEBENGINEPROCESS_PATH", helper);
        QCOMPARE(r.code, 0);
        QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("已改用静态解析")), r.err.constData());
        QCOMPARE(r.out, staticRun.out);
    }

    void relativeScriptPath() {
        const Run r = runCli({QStringLiteral("collect"), QStringLiteral("--script"), QStringLiteral("a.js")},
                             QByteArray(), m_dir.path());
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("网址0[本地JS]：") + m_dir.path() +
                                               QStringLiteral("/a.js\r\nvar a = 1;\r\n"));
    }

    // Asked for, the usage goes to stdout with exit 0.
    void help_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--help") << QStringList{"--help"};
        QTest::newRow("-h") << QStringList{"-h"};
        QTest::newRow("collect --help") << QStringList{"collect", "--help"};
        QTest::newRow("collect with sources and -h") << QStringList{"collect", "--url", "http://h/", "-h"};
        QTest::newRow("normalise --help") << QStringList{"normalise", "--help"};
        QTest::newRow("functions --combined --help") << QStringList{"functions", "--combined", "--help"};
    }
    void help() {
        QFETCH(QStringList, args);
        const Run r = runCli(args);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QByteArray());
        QVERIFY(QString::fromUtf8(r.out).startsWith(QStringLiteral("用法")));
        QVERIFY(r.out.contains("collect --script"));
    }

    // A file named on the command line may be a pipe; scripts a page names may not (see "control characters").
    void inputFromPipe_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        const QByteArray code = "function p() {}";
        QTest::newRow("functions") << QStringList{"functions", "/dev/stdin"} << "p\t0\t1\n";
        QTest::newRow("normalise") << QStringList{"normalise", "/dev/stdin"} << NormaliseCodeText(code);
        QTest::newRow("collect --script")
            << QStringList{"collect", "--script", "/dev/stdin"} << "网址0[本地JS]：/dev/stdin\r\nfunction p() {}\r\n";
    }
    void inputFromPipe() {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        const Run r = runCli(args, "function p() {}");
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), out);
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
        QTest::newRow("normalise, unknown option") << QStringList{"normalise", "--tabs"};
        QTest::newRow("functions, unknown option") << QStringList{"functions", "--all"};
        QTest::newRow("functions two files") << QStringList{"functions", "a", "b"};
        QTest::newRow("endpoints, unknown option") << QStringList{"endpoints", "--bogus"};
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

    void normaliseOptions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString h0 = QStringLiteral("网址0[网页内JS]：C:\\p.htm\r\n");
        const QString h1 = QStringLiteral("网址1：http://h/b.js\r\n");
        const QString combined = h0 + QStringLiteral("a = 1\r\n// c\r\n") + h1 + QStringLiteral("if (a) {b()}\r\n");
        QTest::newRow("combined: headers stay lines")
            << QStringList{"--combined"} << combined
            << h0 + QStringLiteral("a = 1\r\n// c\r\n\r\n") + h1 + QStringLiteral("if(a){\r\nb()}\r\n\r\n\r\n");
        QTest::newRow("without --combined a header is code")
            << QStringList{} << h1 + QStringLiteral("{}")
            << QStringLiteral("网址1：http://h/b.js\r\n{\r\n}\r\n\r\n");
        QTest::newRow("indent") << QStringList{"--indent"} << QStringLiteral("if (a) { f(b) }")
                                << QStringLiteral("if(a){\r\n  f(b)}\r\n\r\n");
        QTest::newRow("both") << QStringList{"--indent", "--combined"} << h0 + QStringLiteral("{x}\r\n")
                              << h0 + QStringLiteral("{\r\n  x}\r\n\r\n\r\n");
    }
    void normaliseOptions() {
        QFETCH(QStringList, options);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const Run r = runCli(QStringList{QStringLiteral("normalise")} + options, input.toUtf8());
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out), expected);
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
        endpointRows();
    }
    void functions() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QString, out);
        TestEnv::writeFile(m_dir.path() + QStringLiteral("/f.js"), "function a() {}\r\nclass A { b() {} }\r\n");
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
