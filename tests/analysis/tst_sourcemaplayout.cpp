// 调整窗口 on the tab "源映射": the tree takes the left third, the pane the rest, both down to the tab
// control's bottom margin; a tab control too small for them leaves them as they were.

#include "analysis/SourceMapLayout.h"

#include <QTest>

using SourceMapLayout::Geometry;
using Twips::Rect;

Q_DECLARE_METATYPE(Twips::Rect)

namespace QTest {
template <> char *toString(const Twips::Rect &r) {
    return qstrdup(QByteArray::number(r.left) + ',' + QByteArray::number(r.top) + ' ' +
                   QByteArray::number(r.width) + 'x' + QByteArray::number(r.height));
}
} // namespace QTest

class TestSourceMapLayout : public QObject {
    Q_OBJECT

private slots:
    void fit_data() {
        QTest::addColumn<int>("tabWidth");
        QTest::addColumn<int>("tabHeight");
        QTest::addColumn<Rect>("tree");
        QTest::addColumn<Rect>("pane");
        // Inside: 75 left, 100 right, 60 between; 735 top, 80 bottom.
        QTest::newRow("design tab control")
            << 11595 << 6930 << Rect{75, 735, 3786, 6115} << Rect{3921, 735, 7574, 6115};
        QTest::newRow("maximised") << 19100 << 11000 << Rect{75, 735, 6288, 10185}
                                   << Rect{6423, 735, 12577, 10185};
        QTest::newRow("narrowest width") << 235 << 900 << Rect{75, 735, 0, 85} << Rect{135, 735, 0, 85};
        QTest::newRow("too narrow: unchanged") << 234 << 6930 << Geometry().tree << Geometry().pane;
        QTest::newRow("too low: unchanged") << 11595 << 814 << Geometry().tree << Geometry().pane;
    }

    void fit() {
        QFETCH(int, tabWidth);
        QFETCH(int, tabHeight);
        QFETCH(Rect, tree);
        QFETCH(Rect, pane);
        Geometry g;
        SourceMapLayout::fit(g, tabWidth, tabHeight);
        QCOMPARE(g.tree, tree);
        QCOMPARE(g.pane, pane);
        // The row above them never moves.
        QCOMPARE(g.saveAs, Geometry().saveAs);
        QCOMPARE(g.findBox, Geometry().findBox);
    }
};

QTEST_APPLESS_MAIN(TestSourceMapLayout)
#include "tst_sourcemaplayout.moc"
