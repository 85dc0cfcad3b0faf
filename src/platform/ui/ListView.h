#pragma once
// The list view of the analysis window: a QTreeWidget without tree decoration that, like the platform
// list view it stands in for, has a view mode and reports a right-button press after the press has
// updated the selection.

#include <QTreeWidget>

class ListView : public QTreeWidget {
    Q_OBJECT
public:
    enum ViewMode { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };

    explicit ListView(QWidget *parent = nullptr);

    // Only the report view has column headers the user sees and column widths that can be set.
    ViewMode view() const { return m_view; }
    void setView(ViewMode view);

    // Width in pixels that the entries of `column` (0-based) need; 0 without entries.
    int contentWidth(int column) const;

signals:
    void rightButtonPressed(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    ViewMode m_view = Report;
};
