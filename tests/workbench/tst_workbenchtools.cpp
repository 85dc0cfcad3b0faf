#include "platform/ui/TextPane.h"
#include "platform/net/HttpManager.h"
#include "support/EventTurns.h"
#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"
#include "util/AppInfo.h"
#include "workbench/NormaliseSetting.h"
#include "workbench/ui/WorkbenchTools.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

namespace {

// The analysis window's controls on a plain widget, with the tools connected.
struct Bench {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    WorkbenchControls c;
    WorkbenchTools *tools = nullptr;
    SourceFacts source; // what the window's document would hand over

    Bench() {
        QWidget *w = window.get();
        c.window = w;
        c.RtbOld = new TextPane(w);
        c.RtbNew = new TextPane(w);
        c.RtbDown = new TextPane(w);
        c.Text1 = new QLineEdit(w);
        c.Text2 = new QLineEdit(w);
        c.Text3 = new QLineEdit(w);
        c.Text5 = new QLineEdit(w);
        c.Combo1 = new QComboBox(w);
        QAbstractButton **buttons[] = {&c.Command1, &c.Command2, &c.Command3, &c.Command4, &c.Command5,
                                       &c.Command6, &c.Command7, &c.Command8, &c.Command9};
        for (QAbstractButton **b : buttons)
            *b = new QPushButton(w);
        c.Check1 = new QCheckBox(w);
        c.Check2 = new QCheckBox(w);
        c.Check1->setTristate(true); // the grey state is reachable only by program in the window
        c.source = [this] { return source; };
        tools = new WorkbenchTools(c);
    }
};

struct Message {
    QString text;
    Dialogs::Icon icon;
};

LocalHttpServer::Response reply(const QByteArray &body, const QByteArray &contentType, int delayMs = 0) {
    LocalHttpServer::Response r;
    r.body = body;
    r.contentType = contentType;
    r.delayMs = delayMs;
    return r;
}

QByteArray encoded(const QString &text, const char *encoding) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

} // namespace

class TestWorkbenchTools : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fake = std::make_unique<FakeDialogs>();
        scope = std::make_unique<FakeDialogs::Scope>(*fake);
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }
    void cleanup() {
        scope.reset();
        fake.reset();
    }

    void normaliseRewritesOnlyRtbOld();
    void normaliseKeepsBlocks_data();
    void normaliseKeepsBlocks();
    void findThreeTimes();
    void findOneCharacterRepeats();
    void findIgnoresCaseOnSecondPane();
    void findWithEmptyBoxDoesNothing();
    void saveWithEmptyPathAsksNothing();
    void saveAnsweredNoWritesNothing();
    void saveKeepsEncoding_data();
    void saveKeepsEncoding();
    void saveFailureReported();
    void saveOffersUtf8ForCharactersTheEncodingLacks_data();
    void saveOffersUtf8ForCharactersTheEncodingLacks();
    void saveIntoReadOnlyFolderKeepsOldFile();
    void saveAsCancelledIsSilent();
    void saveAsWritesAndRemembersName();
    void saveAsFailureReported();
    void wordWrapFollowsCheckValue();
    void lineSpacing_data();
    void lineSpacing();
    void selectionEnablesDownload();
    void downloadShowsDecodedContent();
    void downloadOfEmptyContent();
    void failedDownloadReported();
    void otherSchemeClickChangesNothing();
    void closingMidDownload();
    void reloadLoadsSourceFile();
    void reloadAfterDeletion();

private:
    void expectOneError(const QString &text) {
        QCOMPARE(fake->messages.size(), 1);
        QCOMPARE(fake->messages[0].text, text);
        QCOMPARE(fake->messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(fake->messages[0].buttons, Dialogs::Buttons::Ok);
        QCOMPARE(fake->messages[0].caption, AppInfo::Title);
    }

    std::unique_ptr<FakeDialogs> fake;
    std::unique_ptr<FakeDialogs::Scope> scope;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestWorkbenchTools::normaliseKeepsBlocks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<bool>("headed");
    QTest::addColumn<bool>("indent");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<int>>("movedLines");
    const QString h0 = QStringLiteral("网址0[网页内JS]：C:/p.htm\r\n");
    const QString h1 = QStringLiteral("网址1[本地JS]：C:/a.js\r\n");
    QTest::newRow("headed") << h0 + QStringLiteral("// c\r\nf()\r\n") + h1 + QStringLiteral("if (a) {b}\r\n")
                            << QList<int>{0, 3} << true << false
                            << h0 + QStringLiteral("// c\r\nf()\r\n") + h1 + QStringLiteral("if(a){\r\nb}\r\n\r\n\r\n")
                            << QList<int>{0, 3};
    QTest::newRow("numbering off") << QStringLiteral("s = \"x\r\n{}\r\n") << QList<int>{0, 1} << false << false
                                   << QStringLiteral("s = \"x\r\n{\r\n}\r\n\r\n\r\n") << QList<int>{0, 1};
    QTest::newRow("indented") << h0 + QStringLiteral("{x;}\r\n") << QList<int>{0} << true << true
                              << h0 + QStringLiteral("{\r\n  x;\r\n}\r\n\r\n\r\n") << QList<int>{0};
}

void TestWorkbenchTools::normaliseKeepsBlocks() {
    QFETCH(QString, text);
    QFETCH(QList<int>, lines);
    QFETCH(bool, headed);
    QFETCH(bool, indent);
    QFETCH(QString, expected);
    QFETCH(QList<int>, movedLines);
    Bench b;
    b.c.RtbOld->setText(text);
    b.c.RtbOld->setBlocks(lines, headed);
    NormaliseIndents = indent;
    QSignalSpy done(b.tools, &WorkbenchTools::normalised);
    b.c.Command3->click();
    NormaliseIndents = false;
    QCOMPARE(done.size(), 1);
    QCOMPARE(b.c.RtbOld->text(), expected);
    QCOMPARE(b.c.RtbOld->blockLines(), movedLines);
    QCOMPARE(b.c.RtbOld->blocksHeaded(), headed);
}

void TestWorkbenchTools::normaliseRewritesOnlyRtbOld() {
    Bench b;
    b.c.RtbOld->setText(QStringLiteral("for (i = 0; i < n; i++) { x++; }"));
    b.c.RtbNew->setText(QStringLiteral("a ; b"));
    b.c.Command3->click();
    QCOMPARE(b.c.RtbOld->text(), QStringLiteral("for(i = 0;\r\ni < n;\r\ni++){\r\nx++;\r\n}\r\n\r\n"));
    QCOMPARE(b.c.RtbNew->text(), QStringLiteral("a ; b"));
    QVERIFY(fake->messages.isEmpty());

    // Chinese text and surrogate pairs come through whole; the caret goes to the start and later offsets
    // still count UTF-16 units.
    b.c.RtbOld->setText(QStringLiteral("变量\U0001F600 = 1 ;  x"));
    b.c.RtbOld->setSelection(3, 0);
    b.c.Command3->click();
    QCOMPARE(b.c.RtbOld->text(), QStringLiteral("变量\U0001F600 = 1;\r\nx"));
    QCOMPARE(b.c.RtbOld->selectionStart(), 0);
    QCOMPARE(b.c.RtbOld->selectionLength(), 0);
    QCOMPARE(b.c.RtbOld->length(), 12);
    b.c.RtbOld->setSelection(2, 2);
    b.c.RtbOld->replaceSelection(QStringLiteral("字"));
    QCOMPARE(b.c.RtbOld->text(), QStringLiteral("变量字 = 1;\r\nx"));
}

void TestWorkbenchTools::findThreeTimes() {
    Bench b;
    b.window->show();
    QVERIFY(QTest::qWaitForWindowActive(b.window.get()));
    b.c.RtbOld->setText(QStringLiteral("abcabc"));
    b.c.RtbOld->setSelection(0, 0);
    b.c.Text3->setText(QStringLiteral("bc"));
    b.c.Text3->setFocus();

    b.c.Command6->click();
    QCOMPARE(b.c.RtbOld->selectionStart(), 1);
    QCOMPARE(b.c.RtbOld->selectionLength(), 2);
    QVERIFY(b.c.RtbOld->hasFocus()); // the match is shown in the focused pane
    b.c.Command6->click();
    QCOMPARE(b.c.RtbOld->selectionStart(), 4);
    QCOMPARE(b.c.RtbOld->selectionLength(), 2);
    QVERIFY(fake->messages.isEmpty());

    b.c.Command6->click();
    expectOneError(QStringLiteral("不存在：bc\r\n或者已经到了文本尾部。"));
    QCOMPARE(b.c.RtbOld->selectionStart(), 4); // the bare caret stays
    QCOMPARE(b.c.RtbOld->selectionLength(), 0);
}

void TestWorkbenchTools::findOneCharacterRepeats() {
    Bench b;
    b.c.RtbOld->setText(QStringLiteral("xaxa"));
    b.c.RtbOld->setSelection(0, 0);
    b.c.Text3->setText(QStringLiteral("a"));
    b.c.Command6->click();
    QCOMPARE(b.c.RtbOld->selectionStart(), 1);
    b.c.Command6->click();
    QCOMPARE(b.c.RtbOld->selectionStart(), 1);
    QCOMPARE(b.c.RtbOld->selectionLength(), 1);
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::findIgnoresCaseOnSecondPane() {
    Bench b;
    b.c.RtbNew->setText(QStringLiteral("var abc;"));
    b.c.RtbNew->setSelection(0, 0);
    b.c.RtbOld->setText(QStringLiteral("ABC"));
    b.c.Text2->setText(QStringLiteral("ABC"));
    b.c.Command9->click();
    QCOMPARE(b.c.RtbNew->selectionStart(), 4);
    QCOMPARE(b.c.RtbNew->selectionLength(), 3);
    QCOMPARE(b.c.RtbOld->selectionLength(), 0);
}

void TestWorkbenchTools::findWithEmptyBoxDoesNothing() {
    Bench b;
    b.c.RtbOld->setText(QStringLiteral("abcabc"));
    b.c.RtbOld->setSelection(1, 2);
    b.c.Command6->click();
    QVERIFY(fake->messages.isEmpty());
    QCOMPARE(b.c.RtbOld->selectionStart(), 1);
    QCOMPARE(b.c.RtbOld->selectionLength(), 2);
}

void TestWorkbenchTools::saveWithEmptyPathAsksNothing() {
    Bench b;
    b.c.RtbOld->setText(QStringLiteral("x"));
    fake->answers.enqueue(Dialogs::Answer::Yes);
    b.c.Command7->click();
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::saveAnsweredNoWritesNothing() {
    Bench b;
    const QString path = dir->filePath(QStringLiteral("no.js"));
    TestEnv::writeFile(path, "old");
    b.c.Text1->setText(path);
    b.c.RtbOld->setText(QStringLiteral("new"));
    fake->answers.enqueue(Dialogs::Answer::No);
    b.c.Command7->click();
    QCOMPARE(fake->messages.size(), 1);
    QCOMPARE(fake->messages[0].text, QStringLiteral("确认替换保存?"));
    QCOMPARE(fake->messages[0].icon, Dialogs::Icon::Question);
    QCOMPARE(fake->messages[0].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
}

void TestWorkbenchTools::saveKeepsEncoding_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("expected");

    const QString before =
        QStringLiteral("// 中文注释：这是一个用国标码保存的脚本文件\r\nvar 标题 = \"汉字测试\";\r\n");
    const QString after = QStringLiteral("// 中文注释\r\nvar 标题 = \"已经修改的汉字\";\r\n");
    QTest::newRow("GBK stays GBK") << encoded(before, "GB18030") << encoded(after, "GB18030");
    QTest::newRow("UTF-8 stays UTF-8") << before.toUtf8() << after.toUtf8();
    QTest::newRow("UTF-8 keeps its BOM")
        << QByteArray("\xEF\xBB\xBF") + before.toUtf8() << QByteArray("\xEF\xBB\xBF") + after.toUtf8();
}

void TestWorkbenchTools::saveKeepsEncoding() {
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, expected);
    Bench b;
    const QString path = dir->filePath(QStringLiteral("source.js"));
    TestEnv::writeFile(path, original);
    b.c.Text1->setText(path);
    b.c.RtbOld->setText(QStringLiteral("// 中文注释\r\nvar 标题 = \"已经修改的汉字\";\r\n"));
    fake->answers.enqueue(Dialogs::Answer::Yes);
    b.c.Command7->click();
    QCOMPARE(fake->messages.size(), 1); // the question only
    QCOMPARE(TestEnv::readFile(path), expected);
}

void TestWorkbenchTools::saveOffersUtf8ForCharactersTheEncodingLacks_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("encoding"); // as the question names it
    QTest::addColumn<int>("answer");          // to the second question
    QTest::newRow("big5, no") << encoded(QStringLiteral("// 繁體中文註釋，歡迎光臨\r\n"), "Big5")
                              << QByteArray("Big5") << int(Dialogs::Answer::No);
    QTest::newRow("big5, yes") << encoded(QStringLiteral("// 繁體中文註釋，歡迎光臨\r\n"), "Big5")
                               << QByteArray("Big5") << int(Dialogs::Answer::Yes);
}

void TestWorkbenchTools::saveOffersUtf8ForCharactersTheEncodingLacks() {
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, encoding);
    QFETCH(int, answer);
    Bench b;
    const QString path = dir->filePath(QStringLiteral("narrow.js"));
    TestEnv::writeFile(path, original);
    b.c.Text1->setText(path);
    const QString text = QStringLiteral("var s = '简体字 😀';\r\n"); // fits neither encoding
    b.c.RtbOld->setText(text);
    fake->answers.enqueue(Dialogs::Answer::Yes);
    fake->answers.enqueue(Dialogs::Answer(answer));
    b.c.Command7->click();
    QCOMPARE(fake->messages.size(), 2);
    QCOMPARE(fake->messages[1].text, QStringLiteral("文本中有原编码（%1）无法保存的字符，改存为 UTF-8 吗？")
                                         .arg(QString::fromLatin1(encoding)));
    QCOMPARE(fake->messages[1].icon, Dialogs::Icon::Question);
    QCOMPARE(fake->messages[1].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(TestEnv::readFile(path),
             Dialogs::Answer(answer) == Dialogs::Answer::Yes ? text.toUtf8() : original);
}

void TestWorkbenchTools::saveFailureReported() {
    Bench b;
    const QString blocker = dir->filePath(QStringLiteral("plain-file"));
    TestEnv::writeFile(blocker, "x");
    b.c.Text1->setText(blocker + QStringLiteral("/a.js")); // its folder is a file
    b.c.RtbOld->setText(QStringLiteral("text"));
    fake->answers.enqueue(Dialogs::Answer::Yes);
    b.c.Command7->click();
    QCOMPARE(fake->messages.size(), 2);
    QVERIFY2(fake->messages[1].text.startsWith(QStringLiteral("保存失败：")),
             qPrintable(fake->messages[1].text));
    QCOMPARE(fake->messages[1].icon, Dialogs::Icon::Critical);
    QCOMPARE(TestEnv::readFile(blocker), QByteArray("x"));
    QCOMPARE(b.c.RtbOld->text(), QStringLiteral("text"));
}

void TestWorkbenchTools::saveIntoReadOnlyFolderKeepsOldFile() {
    if (::geteuid() == 0)
        QSKIP("permissions do not stop root from writing");
    Bench b;
    const QString folder = dir->filePath(QStringLiteral("locked"));
    const QString path = folder + QStringLiteral("/a.js");
    TestEnv::writeFile(path, "old");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    b.c.Text1->setText(path);
    b.c.RtbOld->setText(QStringLiteral("new"));
    fake->answers.enqueue(Dialogs::Answer::Yes);
    b.c.Command7->click();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(fake->messages.size(), 2);
    QCOMPARE(fake->messages[1].icon, Dialogs::Icon::Critical);
    QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
}

void TestWorkbenchTools::saveAsCancelledIsSilent() {
    Bench b;
    b.c.RtbDown->setText(QStringLiteral("downloaded"));
    b.c.Text5->setText(QStringLiteral("http://h/dir/b.js"));
    b.c.Command8->click(); // no prepared answer: the dialog is cancelled
    QCOMPARE(fake->fileCalls.size(), 1);
    QVERIFY(fake->fileCalls[0].save);
    QCOMPARE(fake->fileCalls[0].request.fileName, QStringLiteral("b.js"));
    QCOMPARE(fake->fileCalls[0].request.filters,
             QStringList({QStringLiteral("*.js"), QStringLiteral("*.txt")}));
    QCOMPARE(fake->fileCalls[0].request.defaultSuffix, QStringLiteral("js"));
    QVERIFY(fake->messages.isEmpty());
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
}

void TestWorkbenchTools::saveAsWritesAndRemembersName() {
    Bench b;
    b.c.RtbDown->setText(QStringLiteral("下载的内容\r\n"));
    b.c.RtbOld->setText(QStringLiteral("combined"));
    b.c.Text5->setText(QStringLiteral("http://h/b.js"));
    const QString first = dir->filePath(QStringLiteral("down.js"));
    fake->fileAnswers.enqueue(first);
    b.c.Command8->click();
    QCOMPARE(TestEnv::readFile(first), QStringLiteral("下载的内容\r\n").toUtf8());

    // "另存为" proposes nothing of its own: the dialog opens on the name it last held, and writes RtbOld.
    const QString second = dir->filePath(QStringLiteral("all.txt"));
    fake->fileAnswers.enqueue(second);
    b.c.Command5->click();
    QCOMPARE(fake->fileCalls.size(), 2);
    QCOMPARE(fake->fileCalls[1].request.fileName, first);
    QCOMPARE(TestEnv::readFile(second), QByteArray("combined"));
    b.c.Command5->click(); // cancelled
    QCOMPARE(fake->fileCalls[2].request.fileName, second);
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::saveAsFailureReported() {
    Bench b;
    const QString blocker = dir->filePath(QStringLiteral("plain-file"));
    TestEnv::writeFile(blocker, "x");
    b.c.RtbOld->setText(QStringLiteral("combined"));
    fake->fileAnswers.enqueue(blocker + QStringLiteral("/a.js"));
    b.c.Command5->click();
    QCOMPARE(fake->messages.size(), 1);
    QVERIFY(fake->messages[0].text.startsWith(QStringLiteral("保存失败：")));
    QCOMPARE(fake->messages[0].icon, Dialogs::Icon::Critical);
}

void TestWorkbenchTools::wordWrapFollowsCheckValue() {
    Bench b;
    b.c.Check1->setCheckState(Qt::Checked);
    QVERIFY(b.c.RtbOld->wordWrap());
    QVERIFY(!b.c.RtbNew->wordWrap());
    b.c.Check1->setCheckState(Qt::PartiallyChecked); // value 2, the grey state
    QVERIFY(!b.c.RtbOld->wordWrap());
    b.c.Check1->setCheckState(Qt::Checked);
    b.c.Check1->setCheckState(Qt::Unchecked);
    QVERIFY(!b.c.RtbOld->wordWrap());
    b.c.Check2->click();
    QVERIFY(b.c.RtbNew->wordWrap());
    QVERIFY(!b.c.RtbOld->wordWrap());
}

void TestWorkbenchTools::lineSpacing_data() {
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("pitch");
    QTest::newRow("design font 10.5 pt") << 10.5 << 281;
    QTest::newRow("9 pt") << 9.0 << 248;
}

void TestWorkbenchTools::lineSpacing() {
    QFETCH(double, points);
    QFETCH(int, pitch);
    Bench b;
    b.c.RtbOld->setFontPointSize(points);
    b.c.RtbOld->setText(QStringLiteral("line one\r\nline two\r\n"));
    b.c.RtbOld->setSelection(5, 3);
    b.c.Command2->click();
    QCOMPARE(b.c.RtbOld->linePitchTwips(), pitch);
    QCOMPARE(b.c.RtbOld->selectionStart(), 1);
    QCOMPARE(b.c.RtbOld->selectionLength(), 0);
    QCOMPARE(b.c.RtbNew->linePitchTwips(), 0);
}

void TestWorkbenchTools::selectionEnablesDownload() {
    Bench b;
    b.c.Combo1->addItems({QStringLiteral("[网页内JS-0] http://h/p.htm"), QStringLiteral("HTTP://H/B.JS"),
                          QStringLiteral("https://h/c.js"), QStringLiteral("[本地JS-1] C:/a.js")});
    b.c.Combo1->setCurrentIndex(0);
    QVERIFY(!b.c.Command4->isEnabled());
    b.c.Combo1->setCurrentIndex(1);
    QVERIFY(b.c.Command4->isEnabled());
    b.c.Combo1->setCurrentIndex(2);
    QVERIFY(b.c.Command4->isEnabled());
    b.c.Combo1->setCurrentIndex(3);
    QVERIFY(!b.c.Command4->isEnabled());
}

void TestWorkbenchTools::downloadShowsDecodedContent() {
    LocalHttpServer server;
    const QString script = QStringLiteral("var 标题 = \"国标码的脚本\";\r\n");
    server.route(QStringLiteral("/B.JS"),
                 reply(encoded(script, "GB18030"), "application/javascript; charset=gbk"));
    Bench b;
    const QString address = QStringLiteral("HTTP://127.0.0.1:%1/B.JS").arg(server.port());
    b.c.Combo1->addItem(address);
    b.c.RtbDown->setText(QStringLiteral("earlier"));
    QVERIFY(b.c.Command4->isEnabled());
    QSignalSpy finished(b.tools, &WorkbenchTools::downloadFinished);
    b.c.Command4->click();
    QVERIFY(!b.c.Command4->isEnabled()); // disabled for the whole transfer
    QCOMPARE(b.c.RtbDown->text(), QString());
    QCOMPARE(b.c.Text5->text(), address);
    b.c.Combo1->addItem(QStringLiteral("http://h/other.js"));
    b.c.Combo1->setCurrentIndex(1); // another selection meanwhile does not enable it
    QVERIFY(!b.c.Command4->isEnabled());
    QVERIFY(finished.wait(10000));
    QCOMPARE(b.c.RtbDown->text(), script);
    QVERIFY(b.c.Command4->isEnabled());
    QVERIFY(fake->messages.isEmpty());
    QCOMPARE(server.hits(QStringLiteral("/B.JS")), 1);
}

void TestWorkbenchTools::downloadOfEmptyContent() {
    LocalHttpServer server;
    server.route(QStringLiteral("/empty.js"), reply(QByteArray(), "text/plain"));
    Bench b;
    const QString address = server.baseUrl() + QStringLiteral("/empty.js");
    b.c.Combo1->addItem(address);
    QSignalSpy finished(b.tools, &WorkbenchTools::downloadFinished);
    b.c.Command4->click();
    QVERIFY(finished.wait(10000));
    QCOMPARE(b.c.RtbDown->text(), QString());
    QCOMPARE(b.c.Text5->text(), address);
    QVERIFY(b.c.Command4->isEnabled());
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::failedDownloadReported() {
    LocalHttpServer server; // no route: 404
    Bench b;
    b.c.Combo1->addItem(server.baseUrl() + QStringLiteral("/missing.js"));
    b.c.RtbDown->setText(QStringLiteral("earlier"));
    QSignalSpy finished(b.tools, &WorkbenchTools::downloadFinished);
    b.c.Command4->click();
    QVERIFY(finished.wait(10000));
    QCOMPARE(fake->messages.size(), 1);
    QVERIFY2(fake->messages[0].text.startsWith(QStringLiteral("下载失败：")),
             qPrintable(fake->messages[0].text));
    QCOMPARE(fake->messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(b.c.RtbDown->text(), QString());
    QVERIFY(b.c.Command4->isEnabled());
}

void TestWorkbenchTools::otherSchemeClickChangesNothing() {
    Bench b;
    b.c.Combo1->addItem(QStringLiteral("ftp://127.0.0.1:1/c.js"));
    b.c.Command4->setEnabled(true); // still enabled from an earlier fetch
    b.c.RtbDown->setText(QStringLiteral("earlier"));
    b.c.Text5->setText(QStringLiteral("http://h/earlier.js"));
    QSignalSpy finished(b.tools, &WorkbenchTools::downloadFinished);
    b.c.Command4->click();
    QCOMPARE(finished.size(), 1);
    QVERIFY(b.c.Command4->isEnabled());
    QCOMPARE(b.c.RtbDown->text(), QStringLiteral("earlier"));
    QCOMPARE(b.c.Text5->text(), QStringLiteral("http://h/earlier.js"));
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::closingMidDownload() {
    LocalHttpServer server;
    LocalHttpServer::Response held = reply("var x;", "text/plain");
    held.held = true;
    server.route(QStringLiteral("/slow.js"), held);
    auto b = std::make_unique<Bench>();
    b->c.Combo1->addItem(server.baseUrl() + QStringLiteral("/slow.js"));
    b->c.Command4->click();
    QVERIFY(b->tools->isDownloading());
    QTRY_COMPARE(server.hits(QStringLiteral("/slow.js")), 1);
    b.reset(); // the window closes while the transfer runs
    QCOMPARE(HttpManager::forThread()->runningFor(QUrl(server.baseUrl())), 0);
    server.release();
    QVERIFY(EventTurns::answerPassed(server, QStringLiteral("/slow.js")));
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::reloadLoadsSourceFile() {
    Bench b;
    const QString path = dir->filePath(QStringLiteral("single.js"));
    TestEnv::writeFile(path, encoded(QStringLiteral("var 甲 = 1;\r\n"), "GB18030"));
    b.source.path = path;
    b.c.RtbOld->setText(QStringLiteral("normalised text"));
    b.c.Command1->click();
    QCOMPARE(b.c.RtbOld->text(), QStringLiteral("var 甲 = 1;\r\n"));
    QVERIFY(fake->messages.isEmpty());
}

void TestWorkbenchTools::reloadAfterDeletion() {
    Bench b;
    const QString path = dir->filePath(QStringLiteral("gone.js"));
    TestEnv::writeFile(path, "var a;");
    b.source.path = path;
    b.c.RtbOld->setText(QStringLiteral("var a;"));
    QVERIFY(QFile::remove(path));
    b.c.Command1->click();
    QCOMPARE(b.c.RtbOld->text(), QString());
    expectOneError(QStringLiteral("是网址或者文件不存在！"));

    fake->messages.clear();
    b.source.path = QStringLiteral("http://h/a.js"); // a window opened on an address
    b.c.Command1->click();
    expectOneError(QStringLiteral("是网址或者文件不存在！"));
}

VARNEL_TEST_MAIN(TestWorkbenchTools)
#include "tst_workbenchtools.moc"
