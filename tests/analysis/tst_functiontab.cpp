// The tab "分解函数" of a loaded window: the list, the selection, the popup's changes, undo, "新全部函数"
// and its save, and the list derived again after "规范化" or dropped when the window closes.

#include "TestHost.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/FunctionTab.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextPane.h"
#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <Qsci/qsciscintilla.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString Script = QStringLiteral("function a() { return 1; }\r\nvar b = function () {};\r\n"
                                      "function A() { function inner() {} }\r\nvar o = { go() {} };\r\n");

QStringList names(const ListView *list) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(0);
    return out;
}

QTreeWidgetItem *entry(const ListView *list, const QString &name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == name)
            return list->topLevelItem(i);
    }
    return nullptr;
}

} // namespace

class TestFunctionTab : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    TestHost host;
    FakeDialogs dialogs;
    std::unique_ptr<FakeDialogs::Scope> scope;
    QString path;

    // A window on the script file, loaded, with its list filled.
    std::unique_ptr<FormSinFile> loaded() {
        auto form = std::make_unique<FormSinFile>(&host);
        form->setSource(SourceKind::ScriptFile, path, QStringLiteral("f.js"));
        form->resize(900, 600);
        QSignalSpy filled(form->functionTab(), &FunctionTab::listFilled);
        form->show();
        if (!QTest::qWaitFor([&] { return form->isLoaded() && !filled.isEmpty(); }, 20000))
            return nullptr;
        form->SSTab1->setCurrentIndex(1);
        return form;
    }

    // Right-click on the entry (the popup takes its enabled state), then the popup entry.
    void choose(FormSinFile &form, const QString &name, QAction *action) {
        QTreeWidgetItem *item = entry(form.ListView1, name);
        QVERIFY(item);
        const QPoint at = form.ListView1->visualItemRect(item).center();
        QTest::mouseClick(form.ListView1->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY(host.menu.isVisible());
        QVERIFY(action->isEnabled());
        host.menu.hide();
        action->trigger();
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        scope = std::make_unique<FakeDialogs::Scope>(dialogs);
        path = dir.filePath(QStringLiteral("f.js"));
        TestEnv::writeFile(path, Script.toUtf8());
    }
    void init() { dialogs.messages.clear(); }

    void listAfterLoad() {
        auto form = loaded();
        QVERIFY(form);
        QCOMPARE(names(form->ListView1), (QStringList{"a", "b", "A", "inner", "o.go"}));
        QCOMPARE(form->Label2->text(), QStringLiteral("函数种类数：5"));
        QCOMPARE(form->ListView1->topLevelItem(1)->data(0, FunctionTab::TagRole).toString(),
                 QStringLiteral("网址0 第3行"));
        QVERIFY(form->ListView1->columnWidth(0) >= form->ListView1->contentWidth(0));
        // The duplicate test sees the entries: a and A are the same name.
        QVERIFY(form->functionTab()->判断LV1有相同项(QStringLiteral("a")));
    }

    // The tab works on its controls alone: no window around them.
    void tabWithoutWindow() {
        QWidget page;
        FunctionControls c;
        c.window = &page;
        c.ListView1 = new ListView(&page);
        c.Label2 = new QLabel(&page);
        c.Label5 = new QLabel(&page);
        c.Text4 = new QPlainTextEdit(&page);
        c.Command7 = new QPushButton(&page);
        c.Command5 = new QPushButton(&page);
        FunctionTab tab(c, nullptr);
        QSignalSpy filled(&tab, &FunctionTab::listFilled);
        QSignalSpy chosen(&tab, &FunctionTab::functionChosen);
        tab.显示到LV(Script.toUtf8());
        QCOMPARE(c.Label2->text(), QStringLiteral("函数种类数：0")); // emptied at once
        QVERIFY(filled.wait(20000));
        QCOMPARE(names(c.ListView1), (QStringList{"a", "b", "A", "inner", "o.go"}));
        QCOMPARE(c.Label2->text(), QStringLiteral("函数种类数：5"));
        c.ListView1->setCurrentItem(entry(c.ListView1, QStringLiteral("b")));
        QCOMPARE(chosen.size(), 1);
        const int start = chosen[0][0].toInt(), length = chosen[0][1].toInt();
        QCOMPARE(Script.mid(start, length), QStringLiteral("function () {}"));
        QCOMPARE(c.Text4->toPlainText(), QStringLiteral("function () {}"));
    }

    void selectionShowsTheFunction_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("declaration") << "A" << "function A() { function inner() {} }";
        QTest::newRow("value") << "b" << "function () {}";
        QTest::newRow("method") << "o.go" << "go() {}";
    }
    void selectionShowsTheFunction() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto form = loaded();
        QVERIFY(form);
        form->ListView1->setCurrentItem(entry(form->ListView1, name));
        QCOMPARE(form->Text4->toPlainText(), text);
        QCOMPARE(form->RtbOld->text().mid(form->RtbOld->selectionStart(), form->RtbOld->selectionLength()), text);
    }

    void popupChanges_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("newScript"); // the script part of "新全部函数"
        QTest::newRow("删除") << "remove" << "A" << QStringList{"a", "b", "o.go"}
                            << "function a() { return 1; }\r\nvar b = function () {};\r\nvar o = { go() {} };\r\n";
        QTest::newRow("合并相同 keeps the last") << "merge" << "a" << QStringList{"b", "A", "inner", "o.go"}
                                             << "var b = function () {};\r\nfunction A() { function inner() {} }\r\n"
                                                "var o = { go() {} };\r\n";
    }
    void popupChanges() {
        QFETCH(QString, action);
        QFETCH(QString, name);
        QFETCH(QStringList, after);
        QFETCH(QString, newScript);
        auto form = loaded();
        QVERIFY(form);
        const QString old = form->RtbOld->text();
        choose(*form, name, action == "remove" ? host.remove : host.mergeSame);
        QCOMPARE(names(form->ListView1), after);
        QCOMPARE(form->Label2->text(), QStringLiteral("函数种类数：%1").arg(after.size()));
        QCOMPARE(form->RtbOld->text(), old); // the collected text stays as it was
        form->SSTab1->setCurrentIndex(2);
        QCOMPARE(form->RtbNew->text(), old.left(old.indexOf(QStringLiteral("\r\n")) + 2) + newScript + "\r\n");
        QCOMPARE(form->RtbNew->fontPointSize(), 11.0);

        form->SSTab1->setCurrentIndex(1);
        form->ListView1->setFocus();
        QTest::keyClick(form->ListView1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(names(form->ListView1), (QStringList{"a", "b", "A", "inner", "o.go"}));
        form->SSTab1->setCurrentIndex(2);
        QCOMPARE(form->RtbNew->text(), old);
    }

    void modify() {
        auto form = loaded();
        QVERIFY(form);
        FunctionTab *tab = form->functionTab();
        QVERIFY(form->Text4->isReadOnly());
        choose(*form, QStringLiteral("b"), host.modify);
        QVERIFY(!form->Text4->isReadOnly());
        QVERIFY(tab->confirmButton()->isVisible());

        // A syntax error is refused; the typed text stays for another try.
        form->Text4->setPlainText(QStringLiteral("function () { return ( }"));
        QTest::mouseClick(tab->confirmButton(), Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.first().icon, Dialogs::Icon::Critical);
        QVERIFY(tab->isModifying());
        QCOMPARE(form->Text4->toPlainText(), QStringLiteral("function () { return ( }"));
        QCOMPARE(tab->array().changeCount(), 0);

        form->Text4->setPlainText(QStringLiteral("function () {\r\n  function c() {}\r\n}"));
        QTest::mouseClick(tab->confirmButton(), Qt::LeftButton);
        QVERIFY(!tab->isModifying());
        QVERIFY(form->Text4->isReadOnly());
        QCOMPARE(names(form->ListView1), (QStringList{"a", "b", "c", "A", "inner", "o.go"}));
        QVERIFY(tab->newText().contains(QStringLiteral("var b = function () {\r\n  function c() {}\r\n};")));

        // Cancelling puts the function's text back.
        choose(*form, QStringLiteral("a"), host.modify);
        form->Text4->setPlainText(QStringLiteral("x"));
        QTest::mouseClick(tab->cancelButton(), Qt::LeftButton);
        QCOMPARE(form->Text4->toPlainText(), QStringLiteral("function a() { return 1; }"));
        QCOMPARE(tab->array().changeCount(), 1);
    }

    void saveNewText() {
        auto form = loaded();
        QVERIFY(form);
        choose(*form, QStringLiteral("o.go"), host.remove);
        form->SSTab1->setCurrentIndex(2);
        QVERIFY(form->functionTab()->saveNewButton()->isVisible());
        const QString target = dir.filePath(QStringLiteral("new.js"));
        dialogs.fileAnswers.enqueue(target);
        QTest::mouseClick(form->functionTab()->saveNewButton(), Qt::LeftButton);
        QCOMPARE(QString::fromUtf8(TestEnv::readFile(target)), form->RtbNew->text());
        QVERIFY(!form->RtbNew->text().contains(QStringLiteral("go()")));
    }

    void normaliseDerivesAgain() {
        auto form = loaded();
        QVERIFY(form);
        choose(*form, QStringLiteral("a"), host.remove);
        QSignalSpy filled(form->functionTab(), &FunctionTab::listFilled);
        form->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        QVERIFY(filled.wait(20000));
        // The change referred to the old text and went with it.
        QCOMPARE(form->functionTab()->newText(), form->RtbOld->text());
        QCOMPARE(form->functionTab()->array().changeCount(), 0);
        QCOMPARE(names(form->ListView1), (QStringList{"a", "b", "A", "inner", "o.go"}));
    }

    // 新全部函数 marks its header lines as 原全部函数 does: the whole line, "//" of an address included,
    // has the header look and no comment colour shows through.
    void newTextHeadersLookAsInTheOldText_data() {
        QTest::addColumn<bool>("hide");
        QTest::newRow("numbered") << false;
        QTest::newRow("不显示编号") << true;
    }
    void newTextHeadersLookAsInTheOldText() {
        QFETCH(bool, hide);
        LocalHttpServer server;
        server.route(QStringLiteral("/lib/a.js"), LocalHttpServer::reply(200, "function fromNet() {}\r\n"));
        const QString page = dir.filePath(QStringLiteral("headers.htm"));
        TestEnv::writeFile(page, server
                                     .expand(QStringLiteral("<script src=\"$HTTP/lib/a.js\"></script>"
                                                            "<script>function inline1() {}</script>"),
                                             dir.path())
                                     .toUtf8());
        host.hideHeaders = hide;
        auto form = std::make_unique<FormSinFile>(&host);
        form->setSource(SourceKind::PageFile, page, QString());
        QSignalSpy filled(form->functionTab(), &FunctionTab::listFilled);
        form->show();
        const bool ready = QTest::qWaitFor([&] { return form->isLoaded() && !filled.isEmpty(); }, 20000);
        host.hideHeaders = false;
        QVERIFY(ready);
        form->SSTab1->setCurrentIndex(2);
        TextPane *pane = form->RtbNew;
        QCOMPARE(pane->text(), form->RtbOld->text());
        QCOMPARE(pane->blockLines(), hide ? QList<int>{} : form->RtbOld->blockLines());
        QCOMPARE(pane->blockLines().size(), hide ? 0 : 2);
        QsciScintilla *sci = pane->editor();
        sci->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
        for (int line : pane->blockLines()) {
            QCOMPARE(sci->SendScintilla(QsciScintillaBase::SCI_MARKERGET, line) & (1 << 2), 1L << 2);
            const long start = sci->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
            const long end = sci->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
            for (long pos = start; pos < end; ++pos)
                QVERIFY(sci->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8, pos) != 0);
        }
        const QString first = pane->text().section(QStringLiteral("\r\n"), 0, 0);
        QCOMPARE(first.contains(QStringLiteral("//")), !hide);
    }

    void closedWindowDropsTheList() {
        auto form = loaded();
        QVERIFY(form);
        QSignalSpy filled(form->functionTab(), &FunctionTab::listFilled);
        form->functionTab()->显示到LV(form->RtbOld->utf8Text());
        QVERIFY(form->functionTab()->isDeriving());
        form->close();
        QVERIFY(!form->functionTab()->isDeriving());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(filled.size(), 0);
        QCOMPARE(form->ListView1->topLevelItemCount(), 0);
    }
};

VARNEL_TEST_MAIN(TestFunctionTab)
#include "tst_functiontab.moc"
