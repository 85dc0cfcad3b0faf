#pragma once
// A host for analysis windows in tests: a status line that remembers every text and the list popup menu.

#include "analysis/ui/AnalysisHost.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

class TestHost : public AnalysisHost {
public:
    TestHost() {
        menu.setTitle(QStringLiteral("LV1"));
        modify = menu.addAction(QStringLiteral("修改"));
        mergeSame = menu.addAction(QStringLiteral("合并相同"));
        remove = menu.addAction(QStringLiteral("删除"));
    }
    void setStatusText(const QString &text) override { statusTexts << text; }
    QString statusText() const override { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
    ListPopupMenu listPopupMenu() override { return {&menu, modify, mergeSame, remove}; }
    bool hideNumbering() const override { return hideHeaders; }

    QStringList statusTexts;
    bool hideHeaders = false;
    QMenu menu;
    QAction *modify;
    QAction *mergeSame;
    QAction *remove;
};
