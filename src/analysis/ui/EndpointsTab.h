#pragma once
// The tab "网址调用": the addresses the code of the window's text talks to, in a table (网址, 种类, 方法,
// 函数, 脚本, 行) that sorts by any column and filters on any cell's text, with a count, "复制" (the
// selected rows, tab-separated, to the clipboard) and "另存为..." (the rows shown, as CSV). Double-clicking
// a row goes to its original position when it has one and the window can show it, else to its line in
// "原全部函数". The findings come from the function list's derivation (FunctionTab::endpointsDerived).

#include "decompose/Endpoint.h"
#include "analysis/EndpointsLayout.h"

#include <QObject>

#include <functional>

class EndpointsModel;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPoint;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QWidget;

struct EndpointsControls {
    QPushButton *copy = nullptr;   // 复制
    QPushButton *saveAs = nullptr; // 另存为...
    QLabel *filterLabel = nullptr; // 筛选：
    QLineEdit *filter = nullptr;
    QLabel *count = nullptr; // 网址调用数：N, or M / N while filtered
    QTableView *table = nullptr;
};

class EndpointsTab : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Shows the finding's line in "原全部函数".
        std::function<void(const Decompose::Endpoint &)> goToLine;
        // Shows its original source at its line; false when it cannot (then goToLine runs).
        std::function<bool(const Decompose::Endpoint &)> openOriginal;
    };

    // Builds the controls on `page`; `window` parents the dialogs.
    EndpointsTab(QWidget *page, QWidget *window, Hooks hooks);

    const EndpointsControls &controls() const { return c; }
    const EndpointsModel *model() const { return m_model; }
    // The row's finding as the table shows it now (sorted, filtered); nullptr outside.
    const Decompose::Endpoint *shownEndpoint(int row) const;
    int shownCount() const;

    // A new list of findings (an empty one while a derivation runs).
    void setEndpoints(const QList<Decompose::Endpoint> &endpoints);
    void copySelected();
    void saveAs();
    void activate(const QModelIndex &shownIndex);
    // 调整窗口 and the window's resizes: the controls in the tab control `tab` (twips), less the page's
    // offset inside it.
    void place(const Twips::Rect &tab, const QPoint &pageOffset, double dpiX, double dpiY);

signals:
    // The table shows a new list.
    void filled();

private:
    QList<const Decompose::Endpoint *> rows(bool selectedOnly) const;
    void showCount();

    EndpointsControls c;
    QWidget *m_window;
    Hooks m_hooks;
    EndpointsModel *m_model;
    QSortFilterProxyModel *m_shown;
    EndpointsLayout::Geometry m_geometry;
};
