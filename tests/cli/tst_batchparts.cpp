// The pieces of a batch collection without a process: options, source lists, file names, page folders.

#include "cli/BatchSources.h"
#include "cli/CliCommands.h"
#include "cli/CollectOptions.h"
#include "cli/PageFolderWriter.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Cli;

// A table column of records; declared before any use, or an optimising build instantiates it first.
Q_DECLARE_METATYPE(std::vector<Cli::ScriptRecord>)

namespace {

ScriptRecord record(int number, ScriptClass kind, const QString &address, bool ok = true,
                    const QByteArray &bytes = "x") {
    ScriptRecord r;
    r.number = number;
    r.kind = kind;
    r.address = address;
    r.ok = ok;
    r.bytes = ok ? bytes : QByteArray();
    r.size = r.bytes.size();
    return r;
}

QStringList folderNames(const QString &root) {
    return QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestBatchParts : public QObject {
    Q_OBJECT

private slots:
    void options_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("sources");
        QTest::addColumn<int>("jobs");
        QTest::newRow("repeated and mixed") << QStringList{"--url", "u", "--page", "p", "--input", "-", "--url", "v"}
                                            << true << 4 << 4;
        QTest::newRow("jobs") << QStringList{"--jobs", "8", "--url", "u"} << true << 1 << 8;
        QTest::newRow("everything") << QStringList{"--url", "u", "--json", "--with-text", "--output-dir", "d",
                                                   "--overwrite", "--jobs", "1"}
                                    << true << 1 << 1;
        QTest::newRow("no source") << QStringList{"--jobs", "2"} << false << 0 << 0;
        QTest::newRow("jobs zero") << QStringList{"--jobs", "0", "--url", "u"} << false << 0 << 0;
        QTest::newRow("jobs too many") << QStringList{"--jobs", "65", "--url", "u"} << false << 0 << 0;
        QTest::newRow("jobs not a number") << QStringList{"--jobs", "4x", "--url", "u"} << false << 0 << 0;
        QTest::newRow("jobs twice") << QStringList{"--jobs", "2", "--jobs", "2", "--url", "u"} << false << 0 << 0;
        QTest::newRow("script with a page") << QStringList{"--script", "s", "--page", "p"} << false << 0 << 0;
        QTest::newRow("text without json") << QStringList{"--url", "u", "--with-text"} << false << 0 << 0;
        QTest::newRow("overwrite without dir") << QStringList{"--url", "u", "--overwrite"} << false << 0 << 0;
        QTest::newRow("list with json") << QStringList{"--url", "u", "--list", "--json"} << false << 0 << 0;
        QTest::newRow("list with dir") << QStringList{"--url", "u", "--list", "--output-dir", "d"} << false << 0 << 0;
        QTest::newRow("json twice") << QStringList{"--url", "u", "--json", "--json"} << false << 0 << 0;
        QTest::newRow("two dirs") << QStringList{"--url", "u", "--output-dir", "a", "--output-dir", "b"} << false
                                  << 0 << 0;
        QTest::newRow("empty input") << QStringList{"--input", ""} << false << 0 << 0;
        QTest::newRow("unknown") << QStringList{"--url", "u", "--fast"} << false << 0 << 0;
        QTest::newRow("engines") << QStringList{"--engine", "browser", "--url", "u", "--page", "p"} << true << 2 << 4;
        QTest::newRow("unknown engine") << QStringList{"--url", "u", "--engine", "gecko"} << false << 0 << 0;
        QTest::newRow("two engines") << QStringList{"--url", "u", "--engine", "static", "--engine", "static"} << false
                                     << 0 << 0;
        QTest::newRow("timeout zero") << QStringList{"--url", "u", "--timeout", "0"} << false << 0 << 0;
        QTest::newRow("timeout not a number") << QStringList{"--url", "u", "--timeout", "soon"} << false << 0 << 0;
        QTest::newRow("timeout too long") << QStringList{"--url", "u", "--timeout", "86401"} << false << 0 << 0;
        QTest::newRow("two agents") << QStringList{"--url", "u", "--user-agent", "a", "--user-agent", "b"} << false
                                    << 0 << 0;
    }
    void options() {
        QFETCH(QStringList, args);
        QFETCH(bool, valid);
        CollectOptions o;
        const QString problem = parseCollectOptions(args, o);
        QCOMPARE(problem.isEmpty(), valid);
        if (!valid)
            return;
        QFETCH(int, sources);
        QFETCH(int, jobs);
        QCOMPARE(int(o.sources.size()), sources);
        QCOMPARE(o.jobs, jobs);
    }

    void requestOptions() {
        CollectOptions o;
        QVERIFY(parseCollectOptions({"--url", "u", "--header", "X-A: 1", "--header", "x-a:  two words ",
                                     "--user-agent", "Agent/1 (测试)", "--timeout", "0.25", "--insecure"},
                                    o)
                    .isEmpty());
        QCOMPARE(o.headers, (QList<QPair<QByteArray, QByteArray>>{{"X-A", "1"}, {"x-a", "two words"}}));
        QCOMPARE(o.userAgent, QStringLiteral("Agent/1 (测试)").toUtf8());
        QCOMPARE(o.timeoutMs, 250);
        QVERIFY(o.insecure);
    }

    void headerLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("plain") << "Accept: text/html" << true << QByteArray("Accept") << QByteArray("text/html");
        QTest::newRow("no space, colon in value") << "Referer:http://h/p" << true << QByteArray("Referer")
                                                  << QByteArray("http://h/p");
        QTest::newRow("empty value") << "X-Empty:" << true << QByteArray("X-Empty") << QByteArray("");
        QTest::newRow("token characters") << "X_a.b~!#: v" << true << QByteArray("X_a.b~!#") << QByteArray("v");
        QTest::newRow("no colon") << "Accept" << false << QByteArray() << QByteArray();
        QTest::newRow("no name") << ": v" << false << QByteArray() << QByteArray();
        QTest::newRow("space in name") << "X A: v" << false << QByteArray() << QByteArray();
        QTest::newRow("name not ASCII") << "名: v" << false << QByteArray() << QByteArray();
        QTest::newRow("line break in value") << "X: a\r\nInjected: 1" << false << QByteArray() << QByteArray();
    }
    void headerLines() {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QByteArray gotName, gotValue;
        QCOMPARE(parseHeaderLine(line, gotName, gotValue), valid);
        if (!valid)
            return;
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, value);
        QCOMPARE(gotName, name);
        QCOMPARE(gotValue, value);
    }

    void lines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<QString>("value");
        QTest::newRow("address") << "http://127.0.0.1/a.htm\n"
                                 << SourceKind::PageAddress << "http://127.0.0.1/a.htm";
        QTest::newRow("spaces around") << "  https://h/p \r\n" << SourceKind::PageAddress << "https://h/p";
        QTest::newRow("blank") << "   \n" << SourceKind::None << "";
        QTest::newRow("indented comment") << "\t# note\n" << SourceKind::None << "";
        QTest::newRow("absolute page") << "/srv/p.htm\n" << SourceKind::PageFile << "/srv/p.htm";
        QTest::newRow("relative page") << "p.htm\n"
                                       << SourceKind::PageFile << QDir::current().absoluteFilePath("p.htm");
        QTest::newRow("drive page") << "C:\\pages\\p.htm" << SourceKind::PageFile << "C:\\pages\\p.htm";
        QTest::newRow("byte-order mark")
            << QString(QChar(0xFEFF)) + "http://h/p" << SourceKind::PageAddress << "http://h/p";
    }
    void lines() {
        QFETCH(QString, line);
        QFETCH(SourceKind, kind);
        QFETCH(QString, value);
        const Source s = sourceFromLine(line);
        QCOMPARE(s.kind, kind);
        if (kind != SourceKind::None)
            QCOMPARE(s.value, value);
    }

    void listsInOrder() {
        QTemporaryDir dir;
        const QString list = dir.filePath("list.txt");
        TestEnv::writeFile(list, "# pages\nhttp://h/1\n\n/srv/2.htm\n" + QByteArray(70 * 1024, 'x') +
                                     "\nhttp://h/3");
        BatchSources sources({{SourceKind::PageAddress, "http://first"},
                              {SourceKind::None, list},
                              {SourceKind::PageFile, "/last.htm"}});
        QVERIFY(sources.open().isEmpty());
        QStringList got;
        while (const std::optional<Source> s = sources.next())
            got << (s->error.isEmpty() ? QString::number(int(s->kind)) + s->value : QStringLiteral("error"));
        QCOMPARE(got, (QStringList{"3http://first", "3http://h/1", "2/srv/2.htm", "error", "3http://h/3",
                                   "2/last.htm"}));
        QVERIFY(sources.readError().isEmpty());
    }

    void fileNames_data() {
        QTest::addColumn<std::vector<ScriptRecord>>("scripts");
        QTest::addColumn<QStringList>("names");
        using R = std::vector<ScriptRecord>;
        QTest::newRow("each class") << R{record(0, ScriptClass::Inline, "http://h/p"),
                                         record(1, ScriptClass::Other, "http://h/js/a.js?v=1#x"),
                                         record(2, ScriptClass::Local, "/srv/js/b.js"),
                                         record(3, ScriptClass::Network, "\\\\srv\\share\\c.js")}
                                    << QStringList{"inline-0.js", "a.js", "b.js", "c.js"};
        QTest::newRow("collisions numbered") << R{record(0, ScriptClass::Other, "http://h/a.js"),
                                                  record(1, ScriptClass::Other, "http://g/A.js"),
                                                  record(2, ScriptClass::Local, "/x/a.js"),
                                                  record(3, ScriptClass::Other, "http://h/a")}
                                             << QStringList{"a.js", "A-2.js", "a-3.js", "a"};
        QTest::newRow("reserved names") << R{record(0, ScriptClass::Other, "http://h/combined.js"),
                                             record(1, ScriptClass::Other, "http://h/manifest.json"),
                                             record(2, ScriptClass::Other, "http://h/inline-3.js"),
                                             record(3, ScriptClass::Inline, "http://h/p")}
                                        << QStringList{"combined-2.js", "manifest-2.json", "inline-3-2.js",
                                                       "inline-3.js"};
        QTest::newRow("no name or failed") << R{record(0, ScriptClass::Other, "http://h/"),
                                                record(1, ScriptClass::Other, "http://h/z.js", false),
                                                record(2, ScriptClass::Other, "http://h/..")}
                                           << QStringList{"script-0.js", "", "script-2.js"};
    }
    void fileNames() {
        QFETCH(std::vector<ScriptRecord>, scripts);
        QFETCH(QStringList, names);
        const std::vector<QString> got = scriptFileNames(scripts);
        QCOMPARE(QStringList(got.begin(), got.end()), names);
    }

    void checkRoot_data() {
        QTest::addColumn<QString>("content"); // "": missing folder, "empty", "file", "busy"
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("refused");
        QTest::newRow("missing") << "" << false << false;
        QTest::newRow("empty") << "empty" << false << false;
        QTest::newRow("not empty") << "busy" << false << true;
        QTest::newRow("not empty, overwrite") << "busy" << true << false;
        QTest::newRow("only a hidden file") << "hidden" << false << true;
        QTest::newRow("a file") << "file" << true << true;
    }
    void checkRoot() {
        QFETCH(QString, content);
        QFETCH(bool, overwrite);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const QString root = dir.filePath("out");
        if (content == "empty")
            QVERIFY(QDir().mkpath(root));
        else if (content == "busy")
            TestEnv::writeFile(root + "/x", "x");
        else if (content == "hidden")
            TestEnv::writeFile(root + "/.x", "x");
        else if (content == "file")
            TestEnv::writeFile(root, "x");
        QCOMPARE(!PageFolderWriter::checkRoot(root, overwrite).isEmpty(), refused);
    }

    void pageFolders() {
        QTemporaryDir dir;
        const QByteArray gbk("\xd6\xd0\xce\xc4", 4); // bytes that are not UTF-8 stay as they came
        PageFolderWriter writer(dir.path(), false);
        PageResult page;
        page.source = "http://h/p?a=1";
        page.out = QStringLiteral("网址0…\r\n").toUtf8();
        page.scripts = {record(0, ScriptClass::Other, "http://h/a.js", true, gbk),
                        record(1, ScriptClass::Inline, "http://h/p", true, QStringLiteral("中").toUtf8()),
                        record(2, ScriptClass::Other, "http://h/gone.js", false)};
        QString error;
        const QString first = writer.write(page, error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(first, QStringLiteral("httphpa=1"));
        QCOMPARE(folderNames(dir.path() + "/" + first),
                 (QStringList{"a.js", "combined.js", "endpoints.json", "inline-1.js", "manifest.json"}));
        QCOMPARE(TestEnv::readFile(dir.path() + "/" + first + "/a.js"), gbk);
        QCOMPARE(TestEnv::readFile(dir.path() + "/" + first + "/combined.js"), page.out);

        // The same page again, and a page whose name is taken by a folder of an earlier run.
        page.scripts = {record(0, ScriptClass::Other, "http://h/a.js", true, "again")};
        QCOMPARE(writer.write(page, error), first + "-2");
        TestEnv::writeFile(dir.path() + "/other/keep", "old");
        PageResult other;
        other.source = "other";
        QCOMPARE(writer.write(other, error), QStringLiteral("other-2"));
        QCOMPARE(TestEnv::readFile(dir.path() + "/other/keep"), QByteArray("old"));
        QCOMPARE(folderNames(dir.path()), (QStringList{"httphpa=1", "httphpa=1-2", "other", "other-2"}));

        // With overwrite, a folder of an earlier run is replaced whole; this run's folders are not.
        PageFolderWriter again(dir.path(), true);
        QCOMPARE(again.write(other, error), QStringLiteral("other"));
        QVERIFY(!QFileInfo::exists(dir.path() + "/other/keep"));
        QVERIFY(QFileInfo::exists(dir.path() + "/other/manifest.json"));
        QCOMPARE(again.write(other, error), QStringLiteral("other-2"));
        QCOMPARE(folderNames(dir.path()), (QStringList{"httphpa=1", "httphpa=1-2", "other", "other-2"}));

        // A name that is a link to a folder elsewhere: the link is replaced, the folder it named is kept.
        QTemporaryDir elsewhere;
        TestEnv::writeFile(elsewhere.path() + "/keep", "theirs");
        QVERIFY(QFile::link(elsewhere.path(), dir.path() + "/linked"));
        PageResult linked;
        linked.source = "linked";
        QCOMPARE(PageFolderWriter(dir.path(), true).write(linked, error), QStringLiteral("linked"));
        QCOMPARE(TestEnv::readFile(elsewhere.path() + "/keep"), QByteArray("theirs"));
        QVERIFY(!QFileInfo(dir.path() + "/linked").isSymLink());
        QVERIFY(QFileInfo::exists(dir.path() + "/linked/manifest.json"));
    }

    // A terminal on stderr gets a progress line that failure messages replace and that is gone at the end;
    // anything else gets no progress at all.
    void progressLine_data() {
        QTest::addColumn<bool>("terminal");
        QTest::newRow("terminal") << true;
        QTest::newRow("pipe") << false;
    }
    void progressLine() {
        QFETCH(bool, terminal);
        QTemporaryDir dir;
        TestEnv::writeFile(dir.filePath("a.htm"), "<script>a();</script>");
        TestEnv::writeFile(dir.filePath("b.htm"), "<script src=\"/nowhere/x.js\"></script>");
        Output output;
        output.errIsTerminal = terminal;
        const int code = run({"collect", "--page", dir.filePath("a.htm"), "--page", dir.filePath("b.htm")}, output,
                             [] { return QByteArray(); });
        QCOMPARE(code, 1); // the second page's script is not there
        QCOMPARE(output.out, QByteArray("网址0[网页内JS]：" + dir.filePath("a.htm").toUtf8() + "\r\na();\r\n"
                                        "网址0[本地JS]：/nowhere/x.js\r\n\r\n"));
        const QByteArray err = output.err;
        QCOMPARE(err.contains("已完成 2 页"), terminal);
        QVERIFY(err.contains("未能取得脚本 0 /nowhere/x.js"));
        if (terminal) {
            QVERIFY(err.endsWith("\r\x1b[K"));
            // The failure line starts on a cleared line, not behind a progress line.
            QVERIFY(err.contains("\r\x1b[K" + dir.filePath("b.htm").toUtf8() + "：未能取得脚本"));
        } else {
            QVERIFY(!err.contains('\r'));
        }
    }

    void unwritableFolderLeavesNothing() {
        QTemporaryDir dir;
        PageFolderWriter writer(dir.filePath("missing/deeper"), false);
        PageResult page;
        page.source = "p";
        QString error;
        QVERIFY(writer.write(page, error).isEmpty());
        QVERIFY(!error.isEmpty());
        QCOMPARE(folderNames(dir.path()), QStringList());
    }
};

VARNEL_TEST_MAIN(TestBatchParts)
#include "tst_batchparts.moc"
