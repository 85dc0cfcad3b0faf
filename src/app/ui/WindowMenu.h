#pragma once
// Keeps the list of open child windows at the end of the 窗口 menu: numbered, the active one ticked;
// choosing an entry brings that window to the front.

#include <QList>
#include <QObject>

class QAction;
class QMdiArea;
class QMenu;

class WindowMenu : public QObject {
    Q_OBJECT
public:
    // Lists the children of `area` below the commands already in `menu`.
    WindowMenu(QMenu *menu, QMdiArea *area);

    // Rebuilds the entries from the children open now (the menu does so whenever it opens).
    void refresh();
    QList<QAction *> entries() const { return m_entries; }

private:
    QMenu *m_menu;
    QMdiArea *m_area;
    QAction *m_separator = nullptr;
    QList<QAction *> m_entries;
};
