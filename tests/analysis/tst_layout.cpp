#include "analysis/WindowLayout.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QTest>

using namespace WindowLayout;

Q_DECLARE_METATYPE(WindowLayout::Rect)

namespace QTest {
template <> char *toString(const WindowLayout::Rect &r) {
    return qstrdup(QByteArray("(") + QByteArray::number(r.left) + ", " + QByteArray::number(r.top) + ", " +
                   QByteArray::number(r.width) + ", " + QByteArray::number(r.height) + ")");
}
} // namespace QTest

// The placement rules of the analysis window, in twips.
class TestLayout : public QObject {
    Q_OBJECT

    static constexpr int Caption = 345;

    // Controls that follow the window; everything else keeps its design place and size for ever.
    static bool follows(int c) {
        return c == SSTab1 || c == Text1 || c == Combo1 || c == Command4 || c == RtbOld || c == RtbNew ||
               c == RtbDown || c == Text4 || c == ListView1;
    }

private slots:
    void resizeRules_data() {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("ran");
        QTest::addColumn<Rect>("tabControl");
        QTest::addColumn<Rect>("text1");
        QTest::addColumn<Rect>("combo1");
        QTest::addColumn<Rect>("command4");
        const Geometry d = designGeometry();
        // 15000 x 9000: tab control 14900 x (9000 - 735 - 345 - 100)
        const Rect tab{0, 735, 14900, 7820};
        const Rect text1{4245, 45, 10605, 270};
        const Rect combo1{4245, 375, 10605 - 960 - 30, 300};
        const Rect command4{4245 + 9615 + 30, 360, 960, 330};
        QTest::newRow("5999 wide moves nothing")
            << false << 5999 << 9000 << 0 << false << d[SSTab1] << d[Text1] << d[Combo1] << d[Command4];
        QTest::newRow("1999 high moves nothing")
            << false << 15000 << 1999 << 0 << false << d[SSTab1] << d[Text1] << d[Combo1] << d[Command4];
        QTest::newRow("minimised moves nothing")
            << true << 15000 << 9000 << 0 << false << d[SSTab1] << d[Text1] << d[Combo1] << d[Command4];
        QTest::newRow("large window, tab 0")
            << false << 15000 << 9000 << 0 << true << tab << text1 << combo1 << command4;
        QTest::newRow("tab index out of range still fits the strip")
            << false << 15000 << 9000 << 7 << true << tab << text1 << combo1 << command4;
        QTest::newRow("smallest size that moves")
            << false << 6000 << 2000 << 0 << true << Rect{0, 735, 5900, 820} << Rect{4245, 45, 1605, 270}
            << Rect{4245, 375, 615, 300} << Rect{4890, 360, 960, 330};
    }
    void resizeRules() {
        QFETCH(bool, minimised);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, tab);
        QFETCH(bool, ran);
        Geometry g = designGeometry();
        QCOMPARE(resize(g, {minimised, width, height}, Caption, tab), ran);
        QTEST(g[SSTab1], "tabControl");
        QTEST(g[Text1], "text1");
        QTEST(g[Combo1], "combo1");
        QTEST(g[Command4], "command4");
    }

    // 调整窗口's table for each tab, after a resize to 15000 x 9000 (tab control 14900 x 7820).
    void visibleTabFits_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("control");
        QTest::addColumn<Rect>("want");
        QTest::newRow("tab 0 RtbOld") << 0 << int(RtbOld) << Rect{90, 750, 14710, 6990};
        QTest::newRow("tab 1 ListView1 height only") << 1 << int(ListView1) << Rect{75, 735, 4080, 7005};
        QTest::newRow("tab 1 Text4") << 1 << int(Text4) << Rect{4185, 765, 10615, 6975};
        QTest::newRow("tab 2 RtbNew") << 2 << int(RtbNew) << Rect{75, 735, 14725, 7005};
        QTest::newRow("tab 3 RtbDown") << 3 << int(RtbDown) << Rect{45, 795, 14755, 6945};
    }
    void visibleTabFits() {
        QFETCH(int, tab);
        QFETCH(int, control);
        QFETCH(Rect, want);
        Geometry g = designGeometry();
        QVERIFY(resize(g, {false, 15000, 9000}, Caption, tab));
        QCOMPARE(g[control], want);
        // The main controls of the hidden tabs keep their old size.
        const Geometry d = designGeometry();
        for (int c : {int(RtbOld), int(ListView1), int(Text4), int(RtbNew), int(RtbDown)}) {
            const bool onTab = (tab == 0 && c == RtbOld) || (tab == 1 && (c == ListView1 || c == Text4)) ||
                               (tab == 2 && c == RtbNew) || (tab == 3 && c == RtbDown);
            if (!onTab)
                QCOMPARE(g[c], d[c]);
        }
    }

    void hiddenTabFitsWhenOpened() {
        Geometry g = designGeometry();
        QVERIFY(resize(g, {false, 15000, 9000}, Caption, 2));
        QCOMPARE(g[RtbOld], designGeometry()[RtbOld]);
        fitVisibleTab(g, 0);
        QCOMPARE(g[RtbOld], (Rect{90, 750, 14710, 6990}));
    }

    void shrinkingFollowsAndRepeatsExactly() {
        Geometry g = designGeometry();
        QVERIFY(resize(g, {false, 15000, 9000}, Caption, 0));
        QVERIFY(resize(g, {false, 8000, 5000}, Caption, 0));
        const Geometry once = g;
        QCOMPARE(g[SSTab1], (Rect{0, 735, 7900, 5000 - 735 - Caption - 100}));
        QCOMPARE(g[RtbOld].width, 7900 - 90 - 100);
        QVERIFY(resize(g, {false, 8000, 5000}, Caption, 0));
        QVERIFY(g == once);
    }

    // A pane that would get a negative height (tab control shorter than its top + 80) keeps its size.
    void negativeSizeKeepsTheControl() {
        Geometry g = designGeometry();
        QVERIFY(resize(g, {false, 6000, 2000}, Caption, 0));
        QCOMPARE(g[SSTab1].height, 820);
        QCOMPARE(g[RtbOld], designGeometry()[RtbOld]);
        fitVisibleTab(g, 3); // 820 - 795 - 80 < 0
        QCOMPARE(g[RtbDown], designGeometry()[RtbDown]);
    }

    void buttonsNeverMove() {
        Geometry g = designGeometry();
        const Geometry d = designGeometry();
        const int sizes[][2] = {{15000, 9000}, {6000, 2000}, {30000, 20000}, {7000, 3000}, {5000, 1000}};
        for (int tab = -1; tab <= 4; ++tab) {
            for (const auto &s : sizes) {
                resize(g, {false, s[0], s[1]}, Caption, tab);
                fitVisibleTab(g, tab);
                for (int c = 0; c < ControlCount; ++c) {
                    if (!follows(c))
                        QCOMPARE(g[c], d[c]);
                    else if (c != SSTab1 && c != Command4)
                        QCOMPARE(g[c].left, d[c].left);
                }
                QCOMPARE(g[ListView1].width, d[ListView1].width);
                QCOMPARE(g[Command4].top, d[Command4].top);
            }
        }
    }

    void twipConversion_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("15 twips is one pixel at 96 dpi") << 15 << 96.0 << 1;
        QTest::newRow("an inch") << 1440 << 96.0 << 96;
        QTest::newRow("an inch at 120 dpi") << 1440 << 120.0 << 120;
        QTest::newRow("tab control width") << 11595 << 96.0 << 773;
        QTest::newRow("rounds to nearest") << 22 << 96.0 << 1;
        QTest::newRow("rounds up at half") << 8 << 180.0 << 1;
    }
    void twipConversion() {
        QFETCH(int, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(twipsToPixels(twips, dpi), pixels);
        QVERIFY(std::abs(pixelsToTwips(pixels, dpi) - twips) <= 1440 / dpi / 2 + 1);
    }
};

VARNEL_TEST_MAIN(TestLayout)
#include "tst_layout.moc"
