#include "TestHost.h"
#include "analysis/SourceDocument.h"
#include "analysis/SourceLoader.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/FunctionTab.h"
#include "analysis/ui/LogoImage.h"
#include "analysis/ui/MListView.h"
#include "platform/page/PageEngine.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextPane.h"
#include "support/EventTurns.h"
#include "support/TestEnv.h"
#include "util/AppInfo.h"
#include "util/Shell.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

using namespace WindowLayout;

namespace QTest {
template <> char *toString(const WindowLayout::Rect &r) {
    return qstrdup(QByteArray("(") + QByteArray::number(r.left) + ", " + QByteArray::number(r.top) + ", " +
                   QByteArray::number(r.width) + ", " + QByteArray::number(r.height) + ")");
}
} // namespace QTest

// The analysis window's controls, function list, popup menu and layout (sources that load nothing).
class TestFormSinFileUi : public QObject {
    Q_OBJECT

    TestHost host;

    std::unique_ptr<FormSinFile> shownWindow(int w = 900, int h = 600) {
        auto form = std::make_unique<FormSinFile>(&host);
        form->resize(w, h);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        if (!QTest::qWaitFor([&] { return form->isLoaded(); }))
            return nullptr;
        return form;
    }

    static void addEntries(FormSinFile &form, const QStringList &names) {
        for (const QString &n : names)
            form.ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{n}));
    }

    // The outer size of a top-level window in twips.
    static QSize outerTwips(const QWidget &w) {
        return {pixelsToTwips(w.frameGeometry().width(), 96), pixelsToTwips(w.frameGeometry().height(), 96)};
    }

    static QRect px(const Rect &r) {
        return QRect(twipsToPixels(r.left, 96), twipsToPixels(r.top, 96), twipsToPixels(r.width, 96),
                     twipsToPixels(r.height, 96));
    }

private slots:
    void controlsAndCaptions() {
        FormSinFile form(&host);
        QCOMPARE(form.SSTab1->count(), 6);
        const QStringList tabs = {"原全部函数", "分解函数", "新全部函数", "下载查看保存", "源映射", "网址调用"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(form.SSTab1->tabText(i), tabs[i]);
        const QList<QPair<QAbstractButton *, QString>> captions = {
            {form.Command1, "重新打开"}, {form.Command2, "调整行间距"}, {form.Command3, "规范化"},
            {form.Command4, "下载查看"}, {form.Command5, "另存为"},     {form.Command6, "查找"},
            {form.Command7, "保存"},     {form.Command8, "另存为..."},  {form.Command9, "查找"},
            {form.Check1, "自动换行"},   {form.Check2, "自动换行"}};
        for (const auto &[button, caption] : captions)
            QCOMPARE(button->text(), caption);
        QCOMPARE(form.Label1->text(), QStringLiteral("文件或网址:"));
        QCOMPARE(form.Label2->text(), QStringLiteral("函数数：0"));
        QCOMPARE(form.Label3->text(), QStringLiteral("网址："));
        QCOMPARE(form.Label4->text(), QStringLiteral("多个文件或网页JS:"));
        QCOMPARE(form.Label5->text(), QStringLiteral("函数内容："));
        QCOMPARE(form.Image1->toolTip(), QStringLiteral("作者网站"));
        QVERIFY(!form.Combo1->isEditable());
        QCOMPARE(form.ListView1->view(), ListView::Report);
        QCOMPARE(form.ListView1->columnCount(), 1);
        QCOMPARE(form.ListView1->headerItem()->text(0), QStringLiteral("函数名称"));
        QVERIFY(form.RtbTmp->isHidden());
        // The tab controls sit on their own tab pages.
        QCOMPARE(form.RtbOld->parentWidget(), form.SSTab1->widget(0));
        QCOMPARE(form.ListView1->parentWidget(), form.SSTab1->widget(1));
        QCOMPARE(form.RtbNew->parentWidget(), form.SSTab1->widget(2));
        QCOMPARE(form.RtbDown->parentWidget(), form.SSTab1->widget(3));
    }

    void fonts() {
        FormSinFile form(&host);
        const QFont song = TextPane::defaultFont();
        for (TextPane *pane : {form.RtbOld, form.RtbNew, form.RtbDown})
            QCOMPARE(pane->fontPointSize(), 10.5);
        // Code needs letters of one width: an "i" as wide as an "m".
        if (QFontDatabase::hasFamily(QStringLiteral("Noto Sans Mono CJK SC")) ||
            QFontDatabase::hasFamily(QStringLiteral("SimSun")))
            QCOMPARE(QFontMetrics(song).horizontalAdvance(QStringLiteral("iiii")),
                     QFontMetrics(song).horizontalAdvance(QStringLiteral("mmmm")));
        for (QWidget *w : {static_cast<QWidget *>(form.ListView1), static_cast<QWidget *>(form.Text4)}) {
            QCOMPARE(w->font().family(), song.family());
            QCOMPARE(w->font().pointSizeF(), 10.5);
            QCOMPARE(w->font().bold(), false);
        }
    }

    // Controls sit at their design places; a caption longer than its design box gets the room it needs.
    void designGeometryBeforeFirstShow() {
        FormSinFile form(&host);
        for (const DesignEntry &e : Design) {
            QWidget *w = form.control(e.control);
            const bool caption = qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w);
            if (!caption && e.tab == WindowArea)
                QCOMPARE(w->geometry(), px(e.rect));
            else if (!caption)
                QCOMPARE(w->size(), px(e.rect).size());
            else {
                QVERIFY(w->width() >= std::max(px(e.rect).width(), w->sizeHint().width()));
                QVERIFY(w->height() >= std::max(px(e.rect).height(), w->sizeHint().height()));
                QCOMPARE(w->x(), e.tab == WindowArea ? px(e.rect).x() : w->x());
            }
        }
    }

    // A caption that gets a longer text on the open tab gets the room for it.
    void captionGrowsWithItsText() {
        auto form = shownWindow(1000, 600);
        QVERIFY(form);
        form->SSTab1->setCurrentIndex(1);
        form->Label2->setText(QStringLiteral("函数种类数：123456"));
        QTRY_VERIFY(form->Label2->width() >= form->Label2->sizeHint().width());
        QVERIFY(form->Label2->height() >= form->Label2->sizeHint().height());
        QVERIFY(form->Label2->geometry().bottom() < form->ListView1->geometry().top());
    }

    // The opener names the source once; another engine before the first show keeps it, a later name is
    // ignored (the load has begun with the first).
    void sourceNamedOnce() {
        FormSinFile form(&host);
        form.setSource(SourceKind::PageAddress, QStringLiteral("http://127.0.0.1:1/p.htm"),
                       QStringLiteral("p.htm"));
        form.setPageEngine(createDefaultPageEngine(&form));
        QCOMPARE(form.document().kind, SourceKind::PageAddress);
        QCOMPARE(form.document().path, QStringLiteral("http://127.0.0.1:1/p.htm"));
        QCOMPARE(form.document().name, QStringLiteral("p.htm"));
        FormSinFile other(&host);
        other.show();
        QTRY_VERIFY_WITH_TIMEOUT(other.isLoaded(), 10000);
        other.setSource(SourceKind::ScriptFile, QStringLiteral("/x.js"), QStringLiteral("x.js"));
        QCOMPARE(other.document().kind, SourceKind::None);
        QVERIFY(other.document().path.isEmpty());
    }

    void logoOpensTheSupportPage() {
        QStringList opened;
        Shell::setUrlOpener([&](const QUrl &url) {
            opened << url.toString();
            return true;
        });
        FormSinFile form(&host);
        const QImage logo = form.Image1->grab().toImage();
        QCOMPARE(logo.size(), QSize(200, 29));
        QCOMPARE(logo.pixelColor(100, 14).alpha(), 255); // drawn, not blank
        // Nothing covers the logo: a click at its place reaches it.
        QCOMPARE(form.childAt(form.Image1->geometry().center()), form.Image1);
        QTest::mouseClick(form.Image1, Qt::RightButton);
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(form.Image1, Qt::LeftButton);
        Shell::setUrlOpener({});
        QCOMPARE(opened, QStringList{AppInfo::SupportPageUrl});
    }

    void otherKindTouchesNothingButTheStatus() {
        host.statusTexts.clear();
        auto form = shownWindow();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString());
        QCOMPARE(form->Text1->text(), QString());
        QCOMPARE(form->RtbOld->text(), QString());
        QCOMPARE(form->Combo1->count(), 0);
        QVERIFY(form->Command1->isEnabled());
        QVERIFY(form->Command7->isEnabled());
        QCOMPARE(form->Label2->text(), QStringLiteral("函数数：0"));
        QCOMPARE(host.statusTexts, QStringList{QStringLiteral("分析所有JS文件完成。")});
        QVERIFY(form->CaptionHeight > 0);
        QCOMPARE(form->CaptionHeight % 15, 0); // whole pixels at 96 dpi
    }

    void displayEmptiesAndCounts() {
        FormSinFile form(&host);
        addEntries(form, {"a", "b"});
        form.functionTab()->显示到LV(form.RtbOld->utf8Text());
        QCOMPARE(form.ListView1->topLevelItemCount(), 0);
        QCOMPARE(form.Label2->text(), QStringLiteral("函数种类数：0"));
        QVERIFY(form.ListView1->columnWidth(0) >= form.ListView1->header()->sectionSizeHint(0));
    }

    void sameName_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("same");
        QTest::newRow("Foo and foo, asked Foo") << QStringList{"Foo", "foo"} << "Foo" << true;
        QTest::newRow("Foo and foo, asked foo") << QStringList{"Foo", "foo"} << "foo" << true;
        QTest::newRow("single foo") << QStringList{"foo"} << "foo" << false;
        QTest::newRow("different names") << QStringList{"Foo", "bar"} << "foo" << false;
        QTest::newRow("third entry repeats the first") << QStringList{"a", "b", "A"} << "a" << true;
        QTest::newRow("name not in the list") << QStringList{"x", "x"} << "y" << false;
        QTest::newRow("empty list") << QStringList{} << "x" << false;
    }
    void sameName() {
        QFETCH(QStringList, entries);
        QFETCH(QString, name);
        FormSinFile form(&host);
        addEntries(form, entries);
        QTEST(form.functionTab()->判断LV1有相同项(name), "same");
    }

    void popupEnabling_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("select"); // -1: nothing
        QTest::addColumn<bool>("modify");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<bool>("remove");
        QTest::newRow("empty list") << QStringList{} << -1 << false << false << false;
        QTest::newRow("nothing selected") << QStringList{"f", "g"} << -1 << false << false << false;
        QTest::newRow("selected, unique") << QStringList{"f", "g"} << 1 << true << false << true;
        QTest::newRow("selected, with a twin") << QStringList{"Foo", "foo"} << 0 << true << true << true;
    }
    void popupEnabling() {
        QFETCH(QStringList, entries);
        QFETCH(int, select);
        auto form = shownWindow();
        QVERIFY(form);
        form->SSTab1->setCurrentIndex(1);
        addEntries(*form, entries);
        // Start from the opposite state so that every rule has to act.
        for (QAction *a : {host.modify, host.mergeSame, host.remove})
            a->setEnabled(select < 0);
        QPoint at(5, form->ListView1->viewport()->height() - 3); // below the entries
        if (select >= 0) {
            QTreeWidgetItem *item = form->ListView1->topLevelItem(select);
            at = form->ListView1->visualItemRect(item).center();
        }
        QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!host.menu.isVisible()); // the left button shows nothing
        QTest::mouseClick(form->ListView1->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY(host.menu.isVisible());
        QTEST(host.modify->isEnabled(), "modify");
        QTEST(host.mergeSame->isEnabled(), "merge");
        QTEST(host.remove->isEnabled(), "remove");
        host.menu.hide();
    }

    void tab2EmptiesRtbNewEveryTime() {
        auto form = shownWindow();
        QVERIFY(form);
        for (int round = 0; round < 2; ++round) {
            form->SSTab1->setCurrentIndex(0);
            form->RtbNew->setText(QStringLiteral("旧的内容\r\nold"));
            form->RtbNew->setFontPointSize(20);
            form->SSTab1->setCurrentIndex(2);
            QCOMPARE(form->RtbNew->text(), QString());
            QCOMPARE(form->RtbNew->fontPointSize(), 11.0);
            QCOMPARE(form->RtbNew->selectionStart(), 0);
            QVERIFY(form->RtbNew->isVisible());
            QVERIFY(form->RtbNew->isEnabled());
        }
        // Other tabs leave it alone.
        form->RtbNew->setText(QStringLiteral("keep"));
        form->SSTab1->setCurrentIndex(3);
        QCOMPARE(form->RtbNew->text(), QStringLiteral("keep"));
    }

    void columnWidths_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("want"); // -100: unchanged, -1: content, -2: content and header
        QTest::newRow("pixels") << int(ListView::Report) << 1 << 57 << 57;
        QTest::newRow("fit content") << int(ListView::Report) << 1 << -1 << -1;
        QTest::newRow("fit content and header") << int(ListView::Report) << 1 << -2 << -2;
        QTest::newRow("column 0") << int(ListView::Report) << 0 << 57 << -100;
        QTest::newRow("column past the headers") << int(ListView::Report) << 2 << 57 << -100;
        QTest::newRow("not report view") << int(ListView::List) << 1 << 57 << -100;
    }
    void columnWidths() {
        QFETCH(int, view);
        QFETCH(int, column);
        QFETCH(int, width);
        QFETCH(int, want);
        ListView list;
        list.setHeaderLabels({QStringLiteral("函数名称")});
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("f")}));
        list.setView(ListView::ViewMode(view));
        list.setColumnWidth(0, 333);
        MListView::ListViewSetColumnWidth(&list, column, width);
        const int content = list.contentWidth(0);
        const int header = list.header()->sectionSizeHint(0);
        QVERIFY(content < header); // one short entry under a long header tells -1 and -2 apart
        if (want == -100)
            QCOMPARE(list.columnWidth(0), 333);
        else if (want == -1)
            QCOMPARE(list.columnWidth(0), content);
        else if (want == -2)
            QCOMPARE(list.columnWidth(0), header);
        else
            QCOMPARE(list.columnWidth(0), want);
    }

    // Layout on the real window: W and H are the outer size in twips (15 twips a pixel here).
    void layoutFollowsTheWindow() {
        auto form = shownWindow(1000, 600);
        QVERIFY(form);
        const Geometry before = form->layoutGeometry();
        QSize outer = outerTwips(*form);
        QCOMPARE(before[SSTab1],
                 (Rect{0, 735, outer.width() - 100, outer.height() - 735 - form->CaptionHeight - 100}));
        QCOMPARE(form->SSTab1->geometry(), px(before[SSTab1]));
        QCOMPARE(form->RtbOld->size(), px(before[RtbOld]).size());
        QCOMPARE(form->Command4->x(), twipsToPixels(before[Command4].left, 96));

        // Just under 6000 twips wide (399 px outer, 5985 twips): nothing moves.
        const int frame = form->frameGeometry().width() - form->width();
        form->resize(399 - frame, 600);
        QTRY_COMPARE(form->frameGeometry().width(), 399);
        QVERIFY(form->layoutGeometry() == before);

        // Resize while tab 2 is open, then open tab 0: RtbOld fits the new size.
        form->resize(1000, 600);
        form->SSTab1->setCurrentIndex(2);
        form->resize(1200, 700);
        QTRY_COMPARE(form->width(), 1200);
        outer = outerTwips(*form);
        const Geometry onTab2 = form->layoutGeometry();
        QCOMPARE(onTab2[RtbNew].width, outer.width() - 100 - 75 - 100);
        QCOMPARE(onTab2[RtbOld], before[RtbOld]);
        form->SSTab1->setCurrentIndex(0);
        const Geometry onTab0 = form->layoutGeometry();
        QCOMPARE(onTab0[RtbOld].width, outer.width() - 100 - 90 - 100);
        QCOMPARE(onTab0[RtbOld].height, onTab0[SSTab1].height - 750 - 80);
        QCOMPARE(form->RtbOld->size(), px(onTab0[RtbOld]).size());

        // Buttons and boxes inside the tabs never move or stretch.
        for (Control c : {Command1, Check1, Command2, Command3, Text3, Command6, Label2, Label5, Check2,
                          Text2, Command9, Command7, Command5, Label3, Text5, Command8})
            QCOMPARE(onTab0[c], designGeometry()[c]);
    }

    void minimisedMovesNothingAndRestoreApplies() {
        auto form = shownWindow(1000, 600);
        QVERIFY(form);
        const Geometry before = form->layoutGeometry();
        form->showMinimized();
        QTRY_VERIFY(form->isMinimized());
        form->resize(1200, 700);
        QTRY_COMPARE(form->size(), QSize(1200, 700)); // the resize has reached the window
        QVERIFY(EventTurns::pendingHandled());
        QVERIFY(form->layoutGeometry() == before);
        form->showNormal();
        const QSize outer = outerTwips(*form);
        QTRY_COMPARE(form->layoutGeometry()[SSTab1].width, outer.width() - 100);
        QCOMPARE(form->layoutGeometry()[SSTab1].height, outer.height() - 735 - form->CaptionHeight - 100);
        QCOMPARE(form->SSTab1->width(), twipsToPixels(outer.width() - 100, 96));
    }

    // As an MDI child the outer size is the child frame's, and a minimised child moves nothing.
    void mdiChildUsesItsFrame() {
        QMdiArea area;
        area.resize(1400, 900);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        auto *form = new FormSinFile(&host);
        QMdiSubWindow *sub = area.addSubWindow(form);
        sub->resize(1000, 600);
        sub->show();
        QTRY_VERIFY(form->isLoaded());
        QTRY_COMPARE(form->layoutGeometry()[SSTab1].width, 15000 - 100);
        const Geometry before = form->layoutGeometry();
        sub->showMinimized();
        QTRY_VERIFY(sub->isMinimized());
        QVERIFY(EventTurns::pendingHandled()); // what minimising queued has run
        QVERIFY(form->layoutGeometry() == before);
        sub->showNormal();
        QTRY_VERIFY(!sub->isMinimized());
        sub->resize(1200, 700);
        QTRY_COMPARE(form->layoutGeometry()[SSTab1].width, 18000 - 100);
    }
};

VARNEL_TEST_MAIN(TestFormSinFileUi)
#include "tst_formsinfile_ui.moc"
