// The tab "网址调用" laid out by 调整窗口, in twips: the table fills the tab control below the row of
// buttons, which stays where it is.

#include "analysis/EndpointsLayout.h"

#include <QTest>

using EndpointsLayout::Geometry;
using EndpointsLayout::Rect;

Q_DECLARE_METATYPE(EndpointsLayout::Rect)

class TestEndpointsLayout : public QObject {
    Q_OBJECT
private slots:
    void fit_data() {
        QTest::addColumn<int>("tabWidth");
        QTest::addColumn<int>("tabHeight");
        QTest::addColumn<Rect>("table");
        const Rect design = Geometry().table;
        QTest::newRow("design tab control") << 11595 << 6930 << Rect{75, 735, 11595 - 175, 6930 - 815};
        QTest::newRow("large window") << 14900 << 7820 << Rect{75, 735, 14725, 7005};
        QTest::newRow("exactly no room") << 175 << 815 << Rect{75, 735, 0, 0};
        QTest::newRow("too narrow keeps the table") << 174 << 7820 << design;
        QTest::newRow("too low keeps the table") << 14900 << 814 << design;
    }
    void fit() {
        QFETCH(int, tabWidth);
        QFETCH(int, tabHeight);
        QFETCH(Rect, table);
        Geometry g;
        const Geometry before;
        EndpointsLayout::fit(g, tabWidth, tabHeight);
        QVERIFY(g.table == table);
        // The row above the table never moves.
        QVERIFY(g.copy == before.copy && g.saveAs == before.saveAs && g.filter == before.filter &&
                g.count == before.count && g.filterLabel == before.filterLabel);
        QVERIFY(g.table.top > g.filter.top + g.filter.height);
    }
};

QTEST_APPLESS_MAIN(TestEndpointsLayout)
#include "tst_endpointslayout.moc"
