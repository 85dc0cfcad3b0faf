#pragma once
// "转到原始源码" in the context menu of "原全部函数": the caret's position in a bundle is taken to the
// original source and line its map gives, shown in the tab "源映射". With no mapping there the status
// line says "此处没有源映射。"; in a script whose text changed since the load the entry is disabled.

#include "analysis/OriginalPosition.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QPoint;
class SourceMapCollector;
class SourceMapTab;
class TextPane;

class GoToOriginal : public QObject {
    Q_OBJECT
public:
    static const QString NoMappingText; // "此处没有源映射。"

    struct Hooks {
        // The script blocks of the pane's text as it stands.
        std::function<QList<ScriptBlock>(QStringView text)> blocks;
        // Brings the tab "源映射" to the front.
        std::function<void()> openTab;
        std::function<void(const QString &)> status;
    };

    GoToOriginal(TextPane *pane, SourceMapTab *tab, const SourceMapCollector *maps, Hooks hooks);

    QAction *action() const { return m_action; }
    // Where the caret leads now.
    OriginalJump jumpAtCaret() const;
    // Enables the entry for the caret's script (disabled when its text has changed since the load).
    void update();
    // The entry's work; true when a source was opened.
    bool go();
    // Opens the original of `offset` in the pane's text when there is one (no status text otherwise).
    bool openAt(qsizetype offset);
    // The pane's context menu with the entry below its own entries, popped up at `globalPos`.
    QMenu *showMenu(const QPoint &globalPos);

private:
    TextPane *m_pane;
    SourceMapTab *m_tab;
    const SourceMapCollector *m_maps;
    Hooks m_hooks;
    QAction *m_action;
};
