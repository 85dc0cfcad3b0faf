// Closing an analysis window with unsaved work: what counts as changed, the question, and what each
// answer writes or keeps.

#include "TestHost.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/FunctionTab.h"
#include "platform/text/TextCodec.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextPane.h"
#include "support/FakeDialogs.h"
#include "support/TestEnv.h"

#include <Qsci/qsciscintilla.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray Script = "function a() { return 1; }\r\nfunction b() {}\r\n";
const QByteArray Page = "<script>\r\nfunction a() { return 1; }\r\nfunction b() {}\r\n</script>";

} // namespace

class TestCloseQuestion : public QObject {
    Q_OBJECT

    TestHost host;
    FakeDialogs dialogs;
    std::unique_ptr<FakeDialogs::Scope> scope;

    std::unique_ptr<FormSinFile> loaded(SourceKind kind, const QString &path) {
        auto form = std::make_unique<FormSinFile>(&host);
        form->setSource(kind, path, QStringLiteral("f.js"));
        form->resize(900, 600);
        QSignalSpy filled(form->functionTab(), &FunctionTab::listFilled);
        form->show();
        if (!QTest::qWaitFor([&] { return form->isLoaded() && !filled.isEmpty(); }, 20000))
            return nullptr;
        return form;
    }

    // t: "//" typed below the first header; z: typing undone; n: 规范化; r: function b removed; u: that
    // undone; S: 保存 (confirmed); N: 新文本另存为 to pre.js.
    void edit(FormSinFile &form, QChar step, const QString &dir) {
        QSignalSpy filled(form.functionTab(), &FunctionTab::listFilled);
        switch (step.toLatin1()) {
        case 't':
            form.RtbOld->setSelection(int(form.headerTexts().constFirst().size()) + 2, 0);
            QTest::keyClicks(form.RtbOld->editor(), QStringLiteral("//"));
            break;
        case 'z':
            while (form.RtbOld->editor()->isUndoAvailable())
                form.RtbOld->editor()->undo();
            break;
        case 'n':
            QTest::mouseClick(form.Command3, Qt::LeftButton);
            QVERIFY(filled.wait(20000));
            break;
        case 'r':
            for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i) {
                if (form.ListView1->topLevelItem(i)->text(0) == QLatin1String("b"))
                    form.ListView1->setCurrentItem(form.ListView1->topLevelItem(i));
            }
            form.functionTab()->remove();
            QCOMPARE(filled.size(), 1);
            break;
        case 'u':
            form.functionTab()->undo();
            break;
        case 'S':
            dialogs.answers << Dialogs::Answer::Yes;
            QTest::mouseClick(form.Command7, Qt::LeftButton);
            break;
        case 'N':
            form.SSTab1->setCurrentIndex(2);
            dialogs.fileAnswers << dir + QStringLiteral("/pre.js");
            QTest::mouseClick(form.functionTab()->saveNewButton(), Qt::LeftButton);
            break;
        }
    }

private slots:
    void initTestCase() { scope = std::make_unique<FakeDialogs::Scope>(dialogs); }
    void init() {
        dialogs.messages.clear();
        dialogs.answers.clear();
        dialogs.fileAnswers.clear();
        dialogs.fileCalls.clear();
    }

    void closing_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QList<Dialogs::Answer>>("answers");
        // The save dialogs' answers in order: "old:NAME" and "new:NAME" name the file and the text it must
        // get (原全部函数 / 新全部函数), "cancel" cancels, "fail:NAME" a file that cannot be written.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("source"); // the script file afterwards (empty: as it was)
        using A = Dialogs::Answer;
        const QList<A> save = {A::Save};
        const QByteArray typed = "//" + Script;
        QTest::newRow("as loaded") << SourceKind::ScriptFile << "" << QList<A>{} << QStringList{} << false
                                   << true << QByteArray();
        QTest::newRow("typed, 保存 writes over the file")
            << SourceKind::ScriptFile << "t" << save << QStringList{} << true << true << typed;
        QTest::newRow("typed, 不保存") << SourceKind::ScriptFile << "t" << QList<A>{A::Discard}
                                       << QStringList{} << true << true << QByteArray();
        QTest::newRow("typed, 取消 keeps the window") << SourceKind::ScriptFile << "t" << QList<A>{A::Cancel}
                                                      << QStringList{} << true << false << QByteArray();
        QTest::newRow("typing undone")
            << SourceKind::ScriptFile << "tz" << QList<A>{} << QStringList{} << false << true << QByteArray();
        QTest::newRow("typed and saved")
            << SourceKind::ScriptFile << "tS" << QList<A>{} << QStringList{} << false << true << typed;
        QTest::newRow("function removed: 新文本另存为")
            << SourceKind::ScriptFile << "r" << save << QStringList{"new:n.js"} << true << true
            << QByteArray();
        QTest::newRow("removal undone")
            << SourceKind::ScriptFile << "ru" << QList<A>{} << QStringList{} << false << true << QByteArray();
        QTest::newRow("new text saved")
            << SourceKind::ScriptFile << "rN" << QList<A>{} << QStringList{} << false << true << QByteArray();
        QTest::newRow("both: over the file, then the new text")
            << SourceKind::ScriptFile << "tr" << save << QStringList{"new:n.js"} << true << true << typed;
        QTest::newRow("both, new text's dialog cancelled")
            << SourceKind::ScriptFile << "tr" << save << QStringList{"cancel"} << true << false << typed;
        QTest::newRow("page typed in: 另存为")
            << SourceKind::PageFile << "t" << save << QStringList{"old:o.js"} << true << true << QByteArray();
        QTest::newRow("page normalised, then a removal: both in order")
            << SourceKind::PageFile << "nr" << save << QStringList{"old:o.js", "new:n.js"} << true << true
            << QByteArray();
        QTest::newRow("page, dialog cancelled")
            << SourceKind::PageFile << "t" << save << QStringList{"cancel"} << true << false << QByteArray();
        QTest::newRow("page, save failed") << SourceKind::PageFile << "n" << save
                                           << QStringList{"fail:gone/o.js"} << true << false << QByteArray();
    }
    void closing() {
        QFETCH(SourceKind, kind);
        QFETCH(QString, edits);
        QFETCH(QList<Dialogs::Answer>, answers);
        QFETCH(QStringList, files);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        QFETCH(QByteArray, source);
        QTemporaryDir dir;
        const QString path =
            dir.filePath(kind == SourceKind::ScriptFile ? QStringLiteral("f.js") : QStringLiteral("p.htm"));
        const QByteArray original = kind == SourceKind::ScriptFile ? Script : Page;
        TestEnv::writeFile(path, original);
        auto form = loaded(kind, path);
        QVERIFY(form);
        for (QChar step : edits)
            edit(*form, step, dir.path());
        init();

        dialogs.answers.append(answers);
        for (const QString &f : files)
            dialogs.fileAnswers << (f == QLatin1String("cancel") ? QString()
                                                                 : dir.filePath(f.section(':', 1)));
        QCOMPARE(form->close(), closed);
        QCOMPARE(form->isVisible(), !closed);

        QCOMPARE(!dialogs.messages.isEmpty(), asked);
        if (asked) {
            QCOMPARE(dialogs.messages[0].text,
                     form->windowTitle() + QStringLiteral(" 的内容已修改，是否保存？"));
            QCOMPARE(dialogs.messages[0].buttons, Dialogs::Buttons::SaveDiscardCancel);
        }
        // 保存 over the script file asks nothing more; a failed save says why.
        const bool failed = !files.isEmpty() && files.last().startsWith(QLatin1String("fail:"));
        QCOMPARE(dialogs.messages.size(), asked ? 1 + int(failed) : 0);
        QCOMPARE(dialogs.fileCalls.size(), files.size());
        QCOMPARE(TestEnv::readFile(path), source.isEmpty() ? original : source);
        for (const QString &f : files) {
            const QString written = dir.filePath(f.section(':', 1));
            if (f.startsWith(QLatin1String("old:")))
                QCOMPARE(TextCodec::readFile(written).text, form->RtbOld->text());
            else if (f.startsWith(QLatin1String("new:")))
                QCOMPARE(TextCodec::readFile(written).text, form->functionTab()->newText());
        }
        if (closed)
            return;
        // Still open and still holding its work: asked again, and 不保存 lets it go.
        init();
        dialogs.answers << Dialogs::Answer::Discard;
        QVERIFY(form->close());
        QCOMPARE(dialogs.messages.size(), 1);
    }
};

VARNEL_TEST_MAIN(TestCloseQuestion)
#include "tst_closequestion.moc"
