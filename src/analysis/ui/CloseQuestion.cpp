#include "analysis/ui/CloseQuestion.h"

#include "analysis/SourceDocument.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/FunctionTab.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/TextPane.h"
#include "workbench/ui/WorkbenchTools.h"

#include <QTabWidget>

CloseQuestion::CloseQuestion(FormSinFile *form) : QObject(form), m_form(form) {}

void CloseQuestion::watch(WorkbenchTools *tools) {
    connect(tools, &WorkbenchTools::reloadFinished, this, [this] { m_work.sourceReplaced(); });
    connect(tools, &WorkbenchTools::normalised, this, [this] { m_work.sourceNormalised(); });
    connect(tools, &WorkbenchTools::saveStarted, this, [this](TextPane *pane) {
        if (pane == m_form->RtbOld)
            m_work.sourceSaveStarted();
        else if (pane == m_form->RtbNew)
            m_work.functionsSaveStarted(m_form->functionTab()->newText());
    });
    connect(tools, &WorkbenchTools::saveFailed, this, [this](TextPane *pane) {
        if (pane == m_form->RtbOld)
            m_work.sourceSaveFailed();
        else if (pane == m_form->RtbNew)
            m_work.functionsSaveFailed();
    });
}

void CloseQuestion::watch(FunctionTab *functions) {
    connect(functions, &FunctionTab::arrayReset, this,
            [this, functions] { m_work.functionsLoaded(functions->newText()); });
}

QList<UnsavedWork::Step> CloseQuestion::pendingSteps() const {
    if (!m_form->isLoaded() || m_form->isLoading() || !m_form->functionTab())
        return {};
    // "保存" is enabled for a script file only.
    return UnsavedWork::savePlan(m_work.sourceChanged(m_form->RtbOld->isModified()),
                                 m_work.functionsChanged(m_form->functionTab()->newText()),
                                 m_form->document().kind == SourceKind::ScriptFile);
}

bool CloseQuestion::allowsClose() {
    const QList<UnsavedWork::Step> steps = pendingSteps();
    if (steps.isEmpty())
        return true;
    switch (Dialogs::current().message(m_form, UnsavedWork::question(m_form->windowTitle()),
                                       Dialogs::Icon::Question, Dialogs::Buttons::SaveDiscardCancel)) {
    case Dialogs::Answer::Save:
        break;
    case Dialogs::Answer::Discard:
        return true;
    default:
        return false;
    }
    for (UnsavedWork::Step step : steps) {
        if (!run(step))
            return false;
    }
    return true;
}

bool CloseQuestion::run(UnsavedWork::Step step) {
    WorkbenchTools *tools = m_form->tools();
    switch (step) {
    case UnsavedWork::Step::SaveSourceOver:
        return tools->saveOverSourceNow();
    case UnsavedWork::Step::SaveSourceAs:
        return tools->saveAs(m_form->RtbOld, false);
    case UnsavedWork::Step::SaveNewTextAs:
        // The pane is filled when its tab is shown; the function array may have changed since.
        if (m_form->SSTab1->currentIndex() != 2)
            m_form->数组2文本();
        return tools->saveAs(m_form->RtbNew, false);
    }
    return false;
}
