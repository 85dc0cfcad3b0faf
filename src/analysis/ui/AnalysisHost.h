#pragma once
// What an analysis window needs from the window that hosts it: the shared status line and the
// function list's popup menu. The main window implements it; tests use a small host of their own.

#include <QString>

class QAction;
class QMenu;

struct ListPopupMenu {
    QMenu *menu = nullptr;       // menuLV1
    QAction *modify = nullptr;   // menuLV1修改 "修改"
    QAction *mergeSame = nullptr; // menuLV1合并相同 "合并相同"
    QAction *remove = nullptr;   // menuLV1删除 "删除"
};

class AnalysisHost {
public:
    virtual ~AnalysisHost() = default;
    // Panel 2 of the status bar.
    virtual void setStatusText(const QString &text) = 0;
    virtual QString statusText() const = 0;
    virtual ListPopupMenu listPopupMenu() = 0;
    // The option "不显示编号": new loads write no header lines.
    virtual bool hideNumbering() const { return false; }
};
