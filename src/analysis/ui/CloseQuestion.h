#pragma once
// Closing an analysis window that holds unsaved work: "<caption> 的内容已修改，是否保存？" with 保存,
// 不保存 and 取消. 保存 runs the window's own saves (see UnsavedWork); 取消, a cancelled file dialog or a
// failed save keeps the window open. The question keeps the window's UnsavedWork up to date from its
// editing tools and its function list.

#include "workbench/UnsavedWork.h"

#include <QList>
#include <QObject>

class FormSinFile;
class FunctionTab;
class WorkbenchTools;

class CloseQuestion : public QObject {
    Q_OBJECT
public:
    explicit CloseQuestion(FormSinFile *form); // a child of the window
    // Follows the saves, reads and "规范化" of `tools`, and the derivations of `functions`.
    void watch(WorkbenchTools *tools);
    void watch(FunctionTab *functions);

    const UnsavedWork &work() const { return m_work; }
    // What 保存 would write now; empty when the window is as loaded or as last saved.
    QList<UnsavedWork::Step> pendingSteps() const;
    // Asks when there is unsaved work and saves on 保存; true when the window may close.
    bool allowsClose();

private:
    bool run(UnsavedWork::Step step);

    FormSinFile *m_form;
    UnsavedWork m_work;
};
