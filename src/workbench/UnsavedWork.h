#pragma once
// What an analysis window holds that no file does yet, and what "保存" in the closing question writes.
//
// Two kinds of work count: the text of "原全部函数" changed by typing (the pane tells, from its save
// point) or by "规范化", and the function edits of "分解函数" (修改/合并相同/删除), seen as a text of the
// function array that differs from the one loaded or last saved. A save that failed leaves its work
// unsaved. Reading the source again, or a new load, is the state on disk.

#include <QList>
#include <QString>

class UnsavedWork {
public:
    // What "保存" of the closing question does, in this order.
    enum class Step {
        SaveSourceOver, // "保存": the text of 原全部函数 over the script file, without a second question
        SaveSourceAs,   // "另存为": the text of 原全部函数 to a file the user picks
        SaveNewTextAs, // "新文本另存为": the text of 新全部函数 to a file the user picks
    };

    // ---- 原全部函数
    void sourceReplaced();    // loaded, or read again by "重新打开"
    void sourceNormalised();  // "规范化" gave it a new text
    void sourceSaveStarted(); // its text was taken for a save (the pane's save point moves with it)
    void sourceSaveFailed();
    // `typedSinceSaved`: the pane's own record of edits since its save point.
    bool sourceChanged(bool typedSinceSaved) const;

    // ---- 分解函数: `text` is the function array's text (新全部函数).
    void functionsLoaded(const QString &text); // a new list was derived; earlier edits are gone
    void functionsSaveStarted(const QString &text);
    void functionsSaveFailed();
    bool functionsChanged(const QString &text) const;

    // The steps "保存" runs: the source's own save where "保存" is enabled, else its save-as, then the new
    // text's save-as. Empty when nothing is changed.
    static QList<Step> savePlan(bool sourceChanged, bool functionsChanged, bool canSaveOverSource);
    // "<caption> 的内容已修改，是否保存？"
    static QString question(const QString &caption);

private:
    bool m_normalised = false;
    bool m_sourceSaveFailed = false;
    QString m_savedFunctions;
    bool m_functionsSaveFailed = false;
};
