#include "workbench/UnsavedWork.h"

void UnsavedWork::sourceReplaced() {
    m_normalised = false;
    m_sourceSaveFailed = false;
}

void UnsavedWork::sourceNormalised() {
    m_normalised = true;
}

void UnsavedWork::sourceSaveStarted() {
    m_normalised = false;
    m_sourceSaveFailed = false;
}

void UnsavedWork::sourceSaveFailed() {
    m_sourceSaveFailed = true;
}

bool UnsavedWork::sourceChanged(bool typedSinceSaved) const {
    return typedSinceSaved || m_normalised || m_sourceSaveFailed;
}

void UnsavedWork::functionsLoaded(const QString &text) {
    m_savedFunctions = text;
    m_functionsSaveFailed = false;
}

void UnsavedWork::functionsSaveStarted(const QString &text) {
    functionsLoaded(text);
}

void UnsavedWork::functionsSaveFailed() {
    m_functionsSaveFailed = true;
}

bool UnsavedWork::functionsChanged(const QString &text) const {
    // An edit undone, or one that gave the text back as it was, leaves nothing to save.
    return m_functionsSaveFailed || text != m_savedFunctions;
}

QList<UnsavedWork::Step> UnsavedWork::savePlan(bool sourceChanged, bool functionsChanged,
                                               bool canSaveOverSource) {
    QList<Step> steps;
    if (sourceChanged)
        steps << (canSaveOverSource ? Step::SaveSourceOver : Step::SaveSourceAs);
    if (functionsChanged)
        steps << Step::SaveNewTextAs;
    return steps;
}

QString UnsavedWork::question(const QString &caption) {
    return caption + QStringLiteral(" 的内容已修改，是否保存？");
}
