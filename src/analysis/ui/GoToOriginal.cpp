#include "analysis/ui/GoToOriginal.h"

#include "analysis/SourceMapCollector.h"
#include "analysis/ui/SourceMapTab.h"
#include "platform/ui/TextPane.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QMenu>

const QString GoToOriginal::NoMappingText = QStringLiteral("此处没有源映射。");

GoToOriginal::GoToOriginal(TextPane *pane, SourceMapTab *tab, const SourceMapCollector *maps, Hooks hooks)
    : QObject(pane), m_pane(pane), m_tab(tab), m_maps(maps), m_hooks(std::move(hooks)) {
    m_action = new QAction(QStringLiteral("转到原始源码"), this);
    m_action->setObjectName(QStringLiteral("menu转到原始源码"));
    connect(m_action, &QAction::triggered, this, [this] { go(); });
    QsciScintilla *editor = pane->editor();
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this,
            [this, editor](const QPoint &pos) { showMenu(editor->viewport()->mapToGlobal(pos)); });
}

OriginalJump GoToOriginal::jumpAtCaret() const {
    const QString text = m_pane->text();
    return originalAt(text, m_hooks.blocks(text), m_pane->selectionStart(), m_maps->result());
}

void GoToOriginal::update() {
    m_action->setEnabled(jumpAtCaret().outcome != OriginalJump::Changed);
}

bool GoToOriginal::go() {
    const OriginalJump jump = jumpAtCaret();
    if (jump.outcome != OriginalJump::Found || !m_tab->showSource(jump.bundle, jump.source, jump.line)) {
        if (jump.outcome != OriginalJump::Changed && m_hooks.status)
            m_hooks.status(NoMappingText);
        return false;
    }
    if (m_hooks.openTab)
        m_hooks.openTab();
    return true;
}

bool GoToOriginal::openAt(qsizetype offset) {
    const QString text = m_pane->text();
    const OriginalJump jump = originalAt(text, m_hooks.blocks(text), offset, m_maps->result());
    if (jump.outcome != OriginalJump::Found || !m_tab->showSource(jump.bundle, jump.source, jump.line))
        return false;
    if (m_hooks.openTab)
        m_hooks.openTab();
    return true;
}

QMenu *GoToOriginal::showMenu(const QPoint &globalPos) {
    QMenu *menu = m_pane->editor()->createStandardContextMenu();
    if (!menu)
        menu = new QMenu(m_pane);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    update();
    menu->addAction(m_action);
    menu->popup(globalPos); // not exec(): no nested event loop
    return menu;
}
