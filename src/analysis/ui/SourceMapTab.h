#pragma once
// The tab "源映射" of the analysis window: the original sources the load's source maps gave, as a tree
// (one entry per bundle, its sources by path below it, and "未取得" for what was not obtained with the
// reasons), a read-only pane showing the selected source, a find box, the count, "另存为..." and
// "全部另存为...". The tab builds its controls on the page it is given and follows the collector.

#include "analysis/SourceMapLayout.h"

#include <QObject>
#include <QPoint>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class SourceMapCollector;
class TextPane;

struct SourceMapControls {
    QPushButton *saveAs = nullptr;
    QPushButton *saveAll = nullptr;
    QLineEdit *findBox = nullptr;
    QPushButton *find = nullptr;
    QLabel *count = nullptr;
    QTreeWidget *tree = nullptr;
    TextPane *pane = nullptr;
};

class SourceMapTab : public QObject {
    Q_OBJECT
public:
    static constexpr int BundleRole = 0x0101; // item data: index into the result's bundles
    static constexpr int SourceRole = 0x0102; // index into the bundle's sources (-1: not a source)
    static const QString NotObtainedLabel;    // "未取得"

    // `page` receives the controls; `window` is the parent of the dialogs.
    SourceMapTab(QWidget *page, QWidget *window, const SourceMapCollector *maps);

    const SourceMapControls &controls() const { return c; }

    // Shows source `source` of bundle `bundle` with the caret at the start of 0-based `line`.
    bool showSource(int bundle, int source, int line);
    // The selected source, or {-1, -1}.
    QPoint selected() const;
    // Rebuilds the tree and the count now (they follow the collector by themselves, a moment later).
    void refresh();

    // Lays the controls out for a tab control of `tab` (twips); `pageOffset` is the page's place in the
    // tab control in pixels.
    void place(const Twips::Rect &tab, const QPoint &pageOffset, double dpiX, double dpiY);
    const SourceMapLayout::Geometry &geometry() const { return m_geometry; }

    void saveSelected();
    void saveAll();
    void findNext();

private:
    void showItem(QTreeWidgetItem *item);
    QTreeWidgetItem *itemOf(int bundle, int source) const;

    SourceMapControls c;
    QWidget *m_window;
    const SourceMapCollector *m_maps;
    QTimer *m_refresh;
    SourceMapLayout::Geometry m_geometry;
    QPoint m_shown{-1, -1}; // the source in the pane
};
