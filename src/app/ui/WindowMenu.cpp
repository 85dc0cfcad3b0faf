#include "app/ui/WindowMenu.h"

#include "app/WindowList.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

WindowMenu::WindowMenu(QMenu *menu, QMdiArea *area) : QObject(menu), m_menu(menu), m_area(area) {
    connect(menu, &QMenu::aboutToShow, this, &WindowMenu::refresh);
}

void WindowMenu::refresh() {
    for (QAction *entry : m_entries)
        delete entry;
    m_entries.clear();
    delete m_separator;
    m_separator = nullptr;

    const QList<QMdiSubWindow *> children = m_area->subWindowList(QMdiArea::CreationOrder);
    if (children.isEmpty())
        return;
    m_separator = m_menu->addSeparator();
    QMdiSubWindow *active = m_area->activeSubWindow();
    int number = 0;
    for (QMdiSubWindow *child : children) {
        QAction *entry = m_menu->addAction(WindowList::EntryCaption(++number, child->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(child == active);
        connect(entry, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(child)] {
            if (!sub)
                return;
            if (sub->isMinimized())
                sub->showNormal();
            m_area->setActiveSubWindow(sub);
        });
        m_entries << entry;
    }
}
