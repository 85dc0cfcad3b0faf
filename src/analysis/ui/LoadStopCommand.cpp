#include "analysis/ui/LoadStopCommand.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

LoadStopCommand::LoadStopCommand(QWidget *window, std::function<void()> stop) : QObject(window), m_window(window) {
    m_action = new QAction(QStringLiteral("停止"), this);
    m_action->setObjectName(QStringLiteral("menu停止"));
    m_action->setShortcut(Qt::Key_Escape);
    // The key belongs to this window: Esc in another child stops that child's load only.
    m_action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_action->setEnabled(false);
    window->addAction(m_action);
    connect(m_action, &QAction::triggered, this, [stop = std::move(stop)] { stop(); });
    m_menu = new QMenu(window);
    m_menu->addAction(m_action);
    window->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { showMenu(m_window->mapToGlobal(pos)); });
}

void LoadStopCommand::setActive(bool on) {
    m_action->setEnabled(on);
}

bool LoadStopCommand::isActive() const {
    return m_action->isEnabled();
}

QMenu *LoadStopCommand::showMenu(const QPoint &globalPos) {
    if (!isActive())
        return nullptr;
    m_menu->popup(globalPos); // not exec(): no nested event loop
    return m_menu;
}
