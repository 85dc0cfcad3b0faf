#include "TestHost.h"
#include "../workbench/SyntaxTree.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/SourceLoader.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/LoadStopCommand.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageEngine.h"
#include "platform/WorkerPool.h"
#include "platform/ui/TextPane.h"
#include "support/BlockingParser.h"
#include "support/EventTurns.h"
#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"
#include "workbench/Normaliser.h"
#include "workbench/ui/WorkbenchTools.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <memory>

// The load sequence of the analysis window for each kind of source, loaded for real.
class TestFormSinFileLoad : public QObject {
    Q_OBJECT

    const QString Done = QStringLiteral("分析所有JS文件完成。");
    QTemporaryDir dir;
    TestHost host;
    FakeDialogs dialogs;
    std::unique_ptr<FakeDialogs::Scope> scope;

    std::unique_ptr<FormSinFile> makeWindow(SourceKind kind, const QString &path, const QString &name) {
        auto form = std::make_unique<FormSinFile>(&host);
        form->setSource(kind, path, name);
        form->resize(900, 600);
        return form;
    }

    static LocalHttpServer::Response reply(const QByteArray &body, const QByteArray &type, int delayMs = 0) {
        LocalHttpServer::Response r;
        r.body = body;
        r.contentType = type;
        r.delayMs = delayMs;
        return r;
    }
    // An answer the server holds until the test releases it.
    static LocalHttpServer::Response held(const QByteArray &body, const QByteArray &type) {
        LocalHttpServer::Response r = reply(body, type);
        r.held = true;
        return r;
    }

    // The status texts of a load of `scripts` scripts that ends normally.
    QStringList progressThenDone(int scripts) const {
        QStringList texts;
        for (int i = 0; i <= scripts; ++i)
            texts << QStringLiteral("正在取得脚本 %1/%2…").arg(i).arg(scripts);
        return texts << Done;
    }

    static QByteArray encoded(const QString &text, const char *encoding, bool bom = false) {
        QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return encoder.encode(text);
    }

    static bool showAndWait(FormSinFile &form, int timeoutMs = 10000) {
        form.show();
        return QTest::qWaitFor([&] { return form.isLoaded(); }, timeoutMs);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        scope = std::make_unique<FakeDialogs::Scope>(dialogs);
        HttpManager::setDefaultTimeoutMs(5000);
    }
    void init() {
        host.statusTexts.clear();
        host.hideHeaders = false;
        dialogs.messages.clear();
    }

    // A page of three scripts reads as three sections: with headers, each header starts a foldable block;
    // with "不显示编号" the text is the bodies alone. Either way choosing a script shows its block.
    void scriptSections_data() {
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QList<int>>("blockLines");
        // Bodies of 40, 50 and 60 lines, each ended by its line break, after their header lines or not.
        QTest::newRow("headers") << false << QList<int>{0, 41, 92};
        QTest::newRow("不显示编号") << true << QList<int>{0, 40, 90};
    }
    void scriptSections() {
        QFETCH(bool, hide);
        QFETCH(QList<int>, blockLines);
        QStringList bodies;
        QByteArray html = "<html><head>";
        for (int n : {40, 50, 60}) {
            QStringList lines;
            for (int i = 0; i < n; ++i)
                lines << QStringLiteral("var s%1_%2 = '//x';").arg(n).arg(i);
            bodies << lines.join(QLatin1Char('\n')); // a page's line breaks reach the script as LF
            html += "<script>" + bodies.last().toUtf8() + "</script>";
        }
        html += "</head><body></body></html>";
        const QString page = dir.filePath(QStringLiteral("sections/p.htm"));
        TestEnv::writeFile(page, html);
        host.hideHeaders = hide;
        auto form = makeWindow(SourceKind::PageFile, page, QStringLiteral("p.htm"));
        QVERIFY(showAndWait(*form));

        QString expected;
        for (int i = 0; i < 3; ++i) {
            if (!hide)
                expected += QStringLiteral("网址%1[网页内JS]：").arg(i) + page + QStringLiteral("\r\n");
            expected += bodies[i] + QStringLiteral("\r\n");
        }
        QCOMPARE(form->RtbOld->text(), expected);
        QCOMPARE(form->Combo1->count(), 3); // the list names every script either way
        QCOMPARE(form->RtbOld->blockLines(), blockLines);
        auto level = [&](int line) {
            return form->RtbOld->editor()->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, line);
        };
        for (int line : blockLines)
            QCOMPARE(bool(level(line) & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG), !hide);

        for (int index : {2, 1, 0}) {
            form->Combo1->setCurrentIndex(index);
            QCOMPARE(form->RtbOld->firstVisibleLine(), blockLines[index]);
        }
        QCOMPARE(form->RtbOld->selectionStart(), form->RtbOld->length()); // the caret stays put

        // "规范化" keeps each header a line of its own and the scripts' strings whole; the sections are
        // marked where they now start, headers or not.
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        QList<int> headerLines;
        const QStringList lines = form->RtbOld->text().split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const bool first = lines[i].startsWith(QStringLiteral("var s")) && lines[i].contains(u"_0 = ");
            if (hide ? first : lines[i].startsWith(QStringLiteral("网址")))
                headerLines << i;
            if (!hide && lines[i].startsWith(QStringLiteral("网址")))
                QVERIFY(lines[i].endsWith(page + QStringLiteral("\r")));
        }
        QCOMPARE(form->RtbOld->text().count(QStringLiteral("'//x';\r\n")), 150);
        QCOMPARE(headerLines.size(), 3);
        QCOMPARE(form->RtbOld->blockLines(), headerLines);
        for (int i = 0; i < headerLines.size(); ++i) {
            form->Combo1->setCurrentIndex((i + 2) % 3); // 2, 0, 1: each a change
            QCOMPARE(form->RtbOld->firstVisibleLine(), headerLines[(i + 2) % 3]);
        }
    }

    void scriptFile() {
        const QString path = dir.filePath(QStringLiteral("单个/a.js"));
        TestEnv::writeFile(path, QStringLiteral("alert('中文');\r\nvar b = 2;").toUtf8());
        auto form = makeWindow(SourceKind::ScriptFile, path, QStringLiteral("a.js"));
        QCOMPARE(form->Label2->text(), QStringLiteral("函数数：0"));
        QVERIFY(showAndWait(*form));
        QCOMPARE(form->windowTitle(), QStringLiteral("分析单个JS文件:a.js"));
        QCOMPARE(form->Text1->text(), path);
        QCOMPARE(form->RtbOld->text(), QStringLiteral("网址0[本地JS]：") + path +
                                           QStringLiteral("\r\nalert('中文');\r\nvar b = 2;\r\n"));
        QCOMPARE(form->Combo1->count(), 1);
        QCOMPARE(form->Combo1->itemText(0), QStringLiteral("[本地JS-0] ") + path);
        QCOMPARE(form->Combo1->currentIndex(), 0);
        QVERIFY(form->Command1->isEnabled());
        QVERIFY(form->Command7->isEnabled());
        QCOMPARE(form->Label2->text(), QStringLiteral("函数种类数：0"));
        QCOMPARE(host.statusTexts, progressThenDone(1));
        QVERIFY(dialogs.messages.isEmpty()); // everything came

        // "重新打开" holds the file alone: its one section starts at the first line, and the list follows.
        TestEnv::writeFile(path, QByteArray("function again() {}\n"));
        QTest::mouseClick(form->Command1, Qt::LeftButton);
        QCOMPARE(form->RtbOld->blockLines(), QList<int>{0});
        QTRY_COMPARE(form->Label2->text(), QStringLiteral("函数种类数：1"));
    }

    // Opening a script file and pressing "保存" → 是 leaves it byte for byte as it was.
    void openAndSaveChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("// 注释\r\nvar s = '中文';\r\n");
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("utf-16le bom") << encoded(text, "UTF-16LE", true);
        QTest::newRow("utf-16le without bom")
            << encoded(QStringLiteral("var a = 1; // 好\n"), "UTF-16LE");
        QTest::newRow("gbk") << encoded(text + QStringLiteral("alert('提交成功');"), "GB18030");
        QTest::newRow("no final line break") << QByteArray("var a = 1;");
        QTest::newRow("lf only, two final breaks") << QByteArray("var a;\n\n");
        QTest::newRow("empty file") << QByteArray();
    }
    void openAndSaveChangesNothing() {
        QFETCH(QByteArray, bytes);
        const QString path = dir.filePath(QStringLiteral("save/%1.js").arg(QTest::currentDataTag()));
        TestEnv::writeFile(path, bytes);
        auto form = makeWindow(SourceKind::ScriptFile, path, QStringLiteral("x.js"));
        QVERIFY(showAndWait(*form));
        dialogs.answers.enqueue(Dialogs::Answer::Yes);
        form->Command7->click();
        QCOMPARE(dialogs.messages.size(), 1); // the question only: no failure, no UTF-8 offer
        QCOMPARE(TestEnv::readFile(path), bytes);
    }

    // "规范化" then "保存" → 是: the file keeps its program (tree-sitter reads the same tree), laid out anew.
    void normaliseThenSave_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("line comments, no semicolons")
            << QByteArray("// 注释\nvar a = 1\nvar b = a + 1 // 加一\nconsole.log(a, b)\n");
        QTest::newRow("restricted breaks, literals")
            << QByteArray("function f(x) {\n  return\n    x * 2\n}\nlet s = \"a;  {b}\" + `${ {c: 1}.c };`\n"
                          "if (s) /;\\}/.test(s) && f(s)\nlet i = 0\ni++\n++i\n");
    }
    void normaliseThenSave() {
        QFETCH(QByteArray, bytes);
        const QString path = dir.filePath(QStringLiteral("normsave/%1.js").arg(QString::fromLatin1(QTest::currentDataTag()).left(4)));
        TestEnv::writeFile(path, bytes);
        auto form = makeWindow(SourceKind::ScriptFile, path, QStringLiteral("x.js"));
        QVERIFY(showAndWait(*form));
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        dialogs.answers.enqueue(Dialogs::Answer::Yes);
        form->Command7->click();
        QTRY_VERIFY_WITH_TIMEOUT(!form->tools()->isSaving(), 20000);
        const QString saved = QString::fromUtf8(TestEnv::readFile(path));
        const QString original = QString::fromUtf8(bytes);
        QCOMPARE(saved, NormaliseCodeText(original));
        QVERIFY(saved != original);
        const SyntaxTree before = SyntaxTreeOf(original);
        QVERIFY(before.accepted);
        const SyntaxTree after = SyntaxTreeOf(saved);
        QVERIFY(after.accepted);
        QCOMPARE(after.shape, before.shape);
    }

    // A body larger than the collection joins to its line break arrives whole, its line break after it.
    void largeScriptFile() {
        QString body;
        for (int i = 0; body.size() < 200000; ++i)
            body += QStringLiteral("var 变量%1 = '\U0001F600';\r\n").arg(i);
        const QString path = dir.filePath(QStringLiteral("large/big.js"));
        TestEnv::writeFile(path, body.toUtf8());
        auto form = makeWindow(SourceKind::ScriptFile, path, QStringLiteral("big.js"));
        QVERIFY(showAndWait(*form));
        QCOMPARE(form->RtbOld->text(), QStringLiteral("网址0[本地JS]：") + path + QStringLiteral("\r\n") +
                                           body + QStringLiteral("\r\n"));
        QCOMPARE(form->RtbOld->selectionStart(), form->RtbOld->length()); // the caret follows the appends
    }

    void pageFile() {
        TestEnv::writeFile(dir.filePath(QStringLiteral("page/lib.js")), "var lib = 1;");
        const QString page = dir.filePath(QStringLiteral("page/p.htm"));
        TestEnv::writeFile(page, "<html><head><script>var inline = '页';</script>"
                                 "<script src=\"lib.js\"></script></head><body></body></html>");
        auto form = makeWindow(SourceKind::PageFile, page, QStringLiteral("p.htm"));
        QVERIFY(showAndWait(*form));
        QCOMPARE(form->windowTitle(), QStringLiteral("分析本地JS网页文件"));
        QCOMPARE(form->Text1->text(), page);
        QVERIFY(!form->Command1->isEnabled());
        QVERIFY(!form->Command7->isEnabled());
        const QString text = form->RtbOld->text();
        QVERIFY2(text.startsWith(QStringLiteral("网址0[网页内JS]：") + page +
                                 QStringLiteral("\r\nvar inline = '页';\r\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("网址1[本地JS]：")), qPrintable(text));
        QVERIFY(text.endsWith(QStringLiteral("lib.js\r\nvar lib = 1;\r\n")));
        QCOMPARE(form->Combo1->count(), 2);
        QCOMPARE(form->Combo1->itemText(0), QStringLiteral("[网页内JS-0] ") + page);
        QCOMPARE(host.statusTexts, progressThenDone(2));
        QVERIFY(!form->loader()->IsLoading);
    }

    // An online page: one script comes, one fails with 404 and is reported once, with its address.
    void onlinePage() {
        LocalHttpServer server;
        server.route("/site/index.htm",
                     reply("<script src=\"a.js\"></script><script src=\"gone.js\"></script>", "text/html"));
        server.route("/site/a.js", reply("var a = '在线';", "application/javascript"));
        const QString address = server.baseUrl() + "/site/index.htm";
        auto form = makeWindow(SourceKind::PageAddress, address, QStringLiteral("index.htm"));
        QVERIFY(showAndWait(*form));
        QCOMPARE(form->windowTitle(), QStringLiteral("分析在线JS网页文件:index.htm"));
        QCOMPARE(form->Text1->text(), address);
        QVERIFY(!form->Command1->isEnabled());
        QVERIFY(!form->Command7->isEnabled());
        const QString a = server.baseUrl() + "/site/a.js";
        const QString gone = server.baseUrl() + "/site/gone.js";
        QCOMPARE(form->RtbOld->text(), QStringLiteral("网址0：") + a +
                                           QStringLiteral("\r\nvar a = '在线';\r\n") +
                                           QStringLiteral("网址1：") + gone + QStringLiteral("\r\n\r\n"));
        QCOMPARE(form->Combo1->itemText(0), a);
        QCOMPARE(form->Combo1->itemText(1), gone);
        QCOMPARE(host.statusTexts, progressThenDone(2));
        QCOMPARE(dialogs.messages.size(), 1);
        const FakeDialogs::Message &m = dialogs.messages.first();
        QCOMPARE(m.icon, Dialogs::Icon::Critical);
        QVERIFY2(m.text.contains(gone), qPrintable(m.text));
        QVERIFY2(!m.text.contains(a + QStringLiteral("：")), qPrintable(m.text));
        QVERIFY2(m.text.contains(QStringLiteral("404")), qPrintable(m.text));
    }

    void otherKind() {
        auto form = makeWindow(SourceKind(7), dir.filePath("x.js"), QStringLiteral("x.js"));
        form->RtbOld->setText(QStringLiteral("untouched"));
        form->setWindowTitle(QStringLiteral("before"));
        QVERIFY(showAndWait(*form));
        QCOMPARE(form->windowTitle(), QStringLiteral("before"));
        QCOMPARE(form->Text1->text(), QString());
        QCOMPARE(form->RtbOld->text(), QStringLiteral("untouched"));
        QCOMPARE(host.statusTexts, QStringList{Done});
        QVERIFY(dialogs.messages.isEmpty());
    }

    // A page that stays busy: when the wait runs out the window collects what the engine holds then and
    // says so; commands stay disabled until the end. (Where the limit lies is the loader's own test.)
    void waitEndsAfterFifteenSeconds() {
        LocalHttpServer server;
        server.route("/slow.htm", held("<script>var late;</script>", "text/html"));
        auto form = makeWindow(SourceKind::PageAddress, server.baseUrl() + "/slow.htm", QStringLiteral("slow.htm"));
        double now = 1000.0;
        int reads = 0; // the loader looks at the clock when its wait starts and on each poll
        form->loader()->setClock([&now, &reads] {
            ++reads;
            return now;
        });
        form->show();
        QTRY_COMPARE(form->Text1->text(), server.baseUrl() + "/slow.htm");
        QVERIFY(form->isLoading());
        QVERIFY(!form->Command6->isEnabled());
        QVERIFY(!form->Combo1->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(server.hits("/slow.htm"), 1, 10000);
        const int requested = reads;
        QTRY_VERIFY_WITH_TIMEOUT(reads >= requested + 2, 10000); // the page's wait has started and polled
        QVERIFY(form->isLoading());
        now = 1015.001;
        QTRY_VERIFY_WITH_TIMEOUT(form->isLoaded(), 10000);
        QCOMPARE(server.answered("/slow.htm"), 0); // the clock ended the wait: the page is still held
        QCOMPARE(form->Combo1->count(), 0);
        QCOMPARE(host.statusTexts, QStringList{Done});
        QVERIFY(form->Command6->isEnabled());
        QVERIFY(form->Combo1->isEnabled());
        QVERIFY(!form->Command1->isEnabled());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text,
                 QStringLiteral("网页在15秒内未载入完成：") + server.baseUrl() + "/slow.htm");
    }

    // A page that cannot be had is said as the first line of the failure message.
    void pageFailureSaid_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<QString>("source"); // $HTTP: the local server, $DIR: the temporary folder
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("404") << SourceKind::PageAddress << "$HTTP/none.htm"
                             << "网页未能打开：$HTTP/none.htm（HTTP 404）";
        QTest::newRow("refused") << SourceKind::PageAddress << "http://127.0.0.1:1/p.htm"
                                 << "网页未能打开：http://127.0.0.1:1/p.htm（连接被拒绝）";
        QTest::newRow("missing page file") << SourceKind::PageFile << "$DIR/none.htm"
                                           << "网页未能打开：$DIR/none.htm（文件不存在）";
        QTest::newRow("folder as page") << SourceKind::PageFile << "$DIR"
                                        << "网页未能打开：$DIR（这是文件夹，不是文件）";
    }
    void pageFailureSaid() {
        QFETCH(SourceKind, kind);
        QFETCH(QString, source);
        QFETCH(QString, firstLine);
        LocalHttpServer server;
        auto expand = [&](const QString &s) { return server.expand(s, dir.path()); };
        auto form = makeWindow(kind, expand(source), QStringLiteral("p.htm"));
        QVERIFY(showAndWait(*form));
        QCOMPARE(host.statusTexts, QStringList{Done});
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(dialogs.messages[0].text.section(QStringLiteral("\r\n"), 0, 0), expand(firstLine));
    }

    // A running load stops on Esc or on "停止" in the window's context menu: what was collected stays, the
    // scripts not obtained are reported, and the status line says the load stopped.
    void stopKeepsWhatWasCollected_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("duringPageWait");
        QTest::newRow("Esc while a script downloads") << "esc" << false;
        QTest::newRow("context entry while a script downloads") << "menu" << false;
        QTest::newRow("Esc while the page loads") << "esc" << true;
    }
    void stopKeepsWhatWasCollected() {
        QFETCH(QString, how);
        QFETCH(bool, duringPageWait);
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        LocalHttpServer server;
        auto heldBack = [released](const QByteArray &body, const QByteArray &type) {
            return [released, body, type](const QString &) {
                released.wait_for(std::chrono::seconds(60));
                return reply(body, type);
            };
        };
        const QByteArray page = "<script>var first;</script><script src=\"held.js\"></script>"
                                "<script>var after;</script>";
        if (duringPageWait)
            server.route("/p.htm", heldBack(page, "text/html"));
        else
            server.route("/p.htm", reply(page, "text/html"));
        server.route("/held.js", heldBack("var held;", "application/javascript"));
        auto form = makeWindow(SourceKind::PageAddress, server.baseUrl() + "/p.htm", QStringLiteral("p.htm"));
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        if (duringPageWait)
            QTRY_COMPARE(server.hits("/p.htm"), 1);
        else
            QTRY_VERIFY(host.statusTexts.contains(QStringLiteral("正在取得脚本 1/3…")));
        QVERIFY(form->isLoading());
        if (how == QLatin1String("esc")) {
            QTest::keyClick(form.get(), Qt::Key_Escape);
        } else {
            QMenu *menu = form->stopCommand()->showMenu(form->mapToGlobal(QPoint(5, 5)));
            QVERIFY(menu);
            QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("停止"));
            menu->actions().value(0)->trigger();
            menu->close();
        }
        QTRY_VERIFY(form->isLoaded());
        release.set_value();
        QCOMPARE(host.statusTexts.last(), QStringLiteral("载入已停止。"));
        QVERIFY(!host.statusTexts.contains(Done));
        QVERIFY(!form->stopCommand()->isActive());
        QVERIFY(form->Combo1->isEnabled()); // the window is usable again
        if (duringPageWait) {
            QCOMPARE(form->Combo1->count(), 0);
            QVERIFY(dialogs.messages.isEmpty());
            return;
        }
        const QString held = server.baseUrl() + "/held.js";
        // The inline script after the stopped one needs no download: it stays in its place.
        QCOMPARE(form->RtbOld->text(), QStringLiteral("网址0[网页内JS]：") + server.baseUrl() +
                                           QStringLiteral("/p.htm\r\nvar first;\r\n网址1：") + held +
                                           QStringLiteral("\r\n\r\n网址2[网页内JS]：") + server.baseUrl() +
                                           QStringLiteral("/p.htm\r\nvar after;\r\n"));
        QCOMPARE(form->Combo1->count(), 3);
        QCOMPARE(dialogs.messages.size(), 1);
        const QString report = dialogs.messages[0].text;
        QVERIFY2(report.contains(QStringLiteral("网址1：") + held + QStringLiteral("（载入已停止，未取得）")),
                 qPrintable(report));
        QVERIFY2(!report.contains(QStringLiteral("网址2：")), qPrintable(report));
    }

    // What the window records at load is what "保存" writes, whatever the file on disk has become since.
    void saveUsesEncodingRecordedAtLoad_data() {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<QByteArray>("laterOnDisk");
        QTest::newRow("GBK file, UTF-8 on disk later") << QByteArray("GB18030") << false
                                                       << QStringLiteral("var 乙;").toUtf8();
        QTest::newRow("UTF-8 with BOM, GBK on disk later")
            << QByteArray("UTF-8") << true << encoded(QStringLiteral("var 乙 = '汉字汉字';"), "GB18030");
    }
    void saveUsesEncodingRecordedAtLoad() {
        QFETCH(QByteArray, encoding);
        QFETCH(bool, bom);
        QFETCH(QByteArray, laterOnDisk);
        const QString path = dir.filePath(QStringLiteral("encoding/%1.js").arg(QTest::currentDataTag()));
        TestEnv::writeFile(path, encoded(QStringLiteral("// 中文注释：这是一个用国标码保存的脚本文件\r\nvar 标题 = \"汉字测试\";\r\n"),
                                         encoding, bom));
        auto form = makeWindow(SourceKind::ScriptFile, path, QStringLiteral("s.js"));
        QVERIFY(showAndWait(*form));
        QVERIFY(form->document().encoding.has_value());
        QCOMPARE(form->document().encoding->bom, bom);
        TestEnv::writeFile(path, laterOnDisk);
        // An edit of the script's own text, under the collection's header.
        form->RtbOld->setText(form->RtbOld->text().replace(QStringLiteral("汉字测试"), QStringLiteral("已经修改的汉字")));
        dialogs.answers.enqueue(Dialogs::Answer::Yes);
        form->tools()->saveOverSource();
        const QString edited = QStringLiteral("// 中文注释：这是一个用国标码保存的脚本文件\r\nvar 标题 = \"已经修改的汉字\";\r\n");
        QCOMPARE(TestEnv::readFile(path), encoded(edited, encoding, bom));
        QCOMPARE(dialogs.messages.size(), 1); // the question only
    }

    // The source document of each kind: its blocks read from the pane match those the collection wrote.
    void sourceDocumentByKind_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<int>("blocks");
        QTest::newRow("script file") << SourceKind::ScriptFile << 1;
        QTest::newRow("page file") << SourceKind::PageFile << 2;
        QTest::newRow("page address") << SourceKind::PageAddress << 2;
    }
    void sourceDocumentByKind() {
        QFETCH(SourceKind, kind);
        QFETCH(int, blocks);
        LocalHttpServer server;
        server.route("/d.htm", reply("<script>var a;</script><script src=\"d.js\"></script>", "text/html"));
        server.route("/d.js", reply("var d;", "text/javascript"));
        TestEnv::writeFile(dir.filePath(QStringLiteral("doc/d.htm")), "<script>var a;</script><script src=\"d.js\"></script>");
        TestEnv::writeFile(dir.filePath(QStringLiteral("doc/d.js")), "var d;");
        const QString path = kind == SourceKind::ScriptFile ? dir.filePath(QStringLiteral("doc/d.js"))
                             : kind == SourceKind::PageFile ? dir.filePath(QStringLiteral("doc/d.htm"))
                                                            : server.baseUrl() + QStringLiteral("/d.htm");
        auto form = makeWindow(kind, path, QStringLiteral("d"));
        QVERIFY(showAndWait(*form));
        const SourceDocument &doc = form->document();
        QCOMPARE(doc.kind, kind);
        QCOMPARE(doc.path, path);
        QCOMPARE(doc.encoding.has_value(), kind == SourceKind::ScriptFile);
        QCOMPARE(doc.collectedBlocks.size(), blocks);
        QCOMPARE(doc.blocksOf(form->RtbOld->text()), doc.collectedBlocks);
        const ScriptBlock &last = doc.collectedBlocks.last();
        QCOMPARE(form->RtbOld->text().mid(last.bodyStart, last.bodyEnd - last.bodyStart), QStringLiteral("var d;"));
    }

    // Two windows loading at once: each gets its own page, in full, and reports once.
    void twoWindowsLoadAtOnce() {
        LocalHttpServer server;
        for (const char *name : {"one", "two"}) {
            const QByteArray n(name);
            server.route("/" + QString::fromLatin1(n) + ".htm",
                         reply("<script src=\"" + n + "-a.js\"></script><script src=\"" + n + "-b.js\"></script>", "text/html"));
            server.route("/" + QString::fromLatin1(n) + "-a.js", reply("var " + n + "A;", "text/javascript", 300));
            server.route("/" + QString::fromLatin1(n) + "-b.js", reply("var " + n + "B;", "text/javascript"));
        }
        auto first =
            makeWindow(SourceKind::PageAddress, server.baseUrl() + "/one.htm", QStringLiteral("one.htm"));
        auto second =
            makeWindow(SourceKind::PageAddress, server.baseUrl() + "/two.htm", QStringLiteral("two.htm"));
        first->show();
        second->show();
        QTRY_VERIFY_WITH_TIMEOUT(first->isLoaded() && second->isLoaded(), 10000);
        for (auto *form : {first.get(), second.get()}) {
            const QString name = form == first.get() ? QStringLiteral("one") : QStringLiteral("two");
            const QString base = server.baseUrl() + QLatin1Char('/') + name;
            QCOMPARE(form->RtbOld->text(), QStringLiteral("网址0：%1-a.js\r\nvar %2A;\r\n网址1：%1-b.js\r\nvar %2B;\r\n")
                                               .arg(base, name));
        }
        QCOMPARE(host.statusTexts.count(Done), 2);
        QCOMPARE(host.statusTexts.last(), Done);
        QCOMPARE(host.statusTexts.count(QStringLiteral("正在取得脚本 2/2…")), 2); // each window reports
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Closing a window while its page is parsed on a worker: the load ends at once, the worker sees the
    // cancellation when the parse returns, and nothing reaches the closed window.
    void closeMidParse() {
        const QString path = dir.filePath(QStringLiteral("deep/close.htm"));
        TestEnv::writeFile(path, "<html><body><script>var deep;</script></body></html>");
        WorkerPool &pool = WorkerPool::program();
        const int before = pool.cancelledReturns();
        BlockingParser parser;
        auto form = makeWindow(SourceKind::PageFile, path, QStringLiteral("close.htm"));
        form->show();
        QTRY_VERIFY_WITH_TIMEOUT(parser.entered(), 10000);
        QVERIFY(form->isLoading());
        form->close();
        QVERIFY(!form->isLoading());
        QVERIFY(!form->loader()->isRunning());
        parser.release();
        QTRY_COMPARE_WITH_TIMEOUT(pool.cancelledReturns(), before + 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(pool.activeCount(), 0, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(form->Combo1->count(), 0);
        QVERIFY(host.statusTexts.isEmpty());
    }

    void closeWhilePageLoads() {
        LocalHttpServer server;
        server.route("/slow.htm", held("<script src=\"x.js\"></script>", "text/html"));
        auto form = makeWindow(SourceKind::PageAddress, server.baseUrl() + "/slow.htm", QStringLiteral("slow.htm"));
        form->show();
        QTRY_VERIFY(!form->Text1->text().isEmpty());
        QVERIFY(form->isLoading());
        form->close();
        QVERIFY(!form->isLoading());
        form.reset();
        QCOMPARE(HttpManager::forThread()->runningFor(QUrl(server.baseUrl())), 0);
        server.release();
        QVERIFY(EventTurns::answerPassed(server, "/slow.htm"));
        QCOMPARE(server.hits("/x.js"), 0);
        QVERIFY(host.statusTexts.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void closeWhileScriptDownloads() {
        LocalHttpServer server;
        server.route("/p.htm",
                     reply("<script>var first;</script><script src=\"big.js\"></script>", "text/html"));
        server.route("/big.js", held("var big;", "application/javascript"));
        auto form = makeWindow(SourceKind::PageAddress, server.baseUrl() + "/p.htm", QStringLiteral("p.htm"));
        QPointer<TextPane> pane = form->RtbOld;
        form->show();
        QTRY_VERIFY(server.hits("/big.js") == 1);
        QVERIFY(form->isLoading());
        form.reset(); // deleted outright, mid-download
        QVERIFY(pane.isNull());
        QCOMPARE(HttpManager::forThread()->runningFor(QUrl(server.baseUrl())), 0);
        server.release();
        QVERIFY(EventTurns::answerPassed(server, "/big.js"));
        QVERIFY(!host.statusTexts.isEmpty());
        QVERIFY(!host.statusTexts.contains(Done)); // progress came, the end did not
    }

    // The workbench tools act on this window's controls once it has loaded.
    void toolsAreWired() {
        const QString path = dir.filePath(QStringLiteral("tools/n.js"));
        TestEnv::writeFile(path, "function f(){var a=1;if(a){a=2;}}");
        auto form = makeWindow(SourceKind::ScriptFile, path, QStringLiteral("n.js"));
        QVERIFY(showAndWait(*form));
        QVERIFY(form->tools());
        const QString before = form->RtbOld->text();
        const QList<ScriptBlock> blocks = findScriptBlocks(before);
        QCOMPARE(blocks.size(), 1);
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        // The header line stays as it is; the script under it is normalised.
        QCOMPARE(form->RtbOld->text(), NormaliseCodeBlocks(before, {{blocks[0].bodyStart, blocks[0].bodyEnd}}, {}));
        QVERIFY(form->RtbOld->text().startsWith(before.left(blocks[0].bodyStart)));
        QCOMPARE(form->RtbOld->blockLines(), QList<int>{0});
        QVERIFY(form->RtbOld->text() != before);
        QVERIFY(!form->Command4->isEnabled()); // a local entry is not downloadable
    }

    void closeWhileDownloadViewerFetches() {
        LocalHttpServer server;
        int hits = 0;
        server.route("/p.htm", reply("<script src=\"/s.js\"></script>", "text/html"));
        server.route("/s.js", [&hits](const QString &) {
            LocalHttpServer::Response r;
            r.body = "var s;";
            r.held = ++hits > 1; // the collection's fetch is answered, the viewer's is held
            return r;
        });
        auto form = makeWindow(SourceKind::PageAddress, server.baseUrl() + "/p.htm", QStringLiteral("p.htm"));
        QVERIFY(showAndWait(*form));
        QVERIFY(form->Command4->isEnabled());
        QTest::mouseClick(form->Command4, Qt::LeftButton);
        QTRY_COMPARE(server.hits("/s.js"), 2);
        QVERIFY(form->tools()->isDownloading());
        form->close();
        QVERIFY(!form->tools()->isDownloading());
        QVERIFY(form->Command4->isEnabled());
        form.reset();
        QCOMPARE(HttpManager::forThread()->runningFor(QUrl(server.baseUrl())), 0);
        server.release();
        QVERIFY(EventTurns::answerPassed(server, "/s.js", 2));
        QVERIFY(dialogs.messages.isEmpty());
    }
};

VARNEL_TEST_MAIN(TestFormSinFileLoad)
#include "tst_formsinfile_load.moc"
