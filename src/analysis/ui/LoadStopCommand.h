#pragma once
// The "停止" command of an analysis window while its load runs: the Esc key in the window and an entry of
// the window's context menu. Outside a load the key is left to the window's controls and no menu shows.

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

class LoadStopCommand : public QObject {
    Q_OBJECT
public:
    // `stop` stops the window's load.
    LoadStopCommand(QWidget *window, std::function<void()> stop);

    // On while a load runs.
    void setActive(bool on);
    bool isActive() const;
    QAction *action() const { return m_action; }
    // Pops up the context menu at `globalPos` while a load runs and returns it; nullptr otherwise.
    QMenu *showMenu(const QPoint &globalPos);

private:
    QWidget *m_window;
    QAction *m_action;
    QMenu *m_menu;
};
