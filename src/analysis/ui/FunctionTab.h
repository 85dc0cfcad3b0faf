#pragma once
// The tab "分解函数" at work: after every load the functions of the combined text are found off the
// user-interface thread and shown in ListView1 in one update (text = name, tag = script and line); an
// entry shows its function in Text4 and selects it in RtbOld; the popup's "修改", "合并相同" and "删除"
// change the window's function array, Ctrl+Z on the list undoes one change, and "新全部函数" shows the
// text the array gives back, which the third save-as button of that tab writes.

#include "decompose/FunctionArray.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class AnalysisHost;
class FormSinFile;
class QMenu;
class QPushButton;
class QTreeWidgetItem;

class FunctionTab : public QObject {
    Q_OBJECT
public:
    // Item data of a list entry: the tag ("网址N 第M行") and the function's index in the array.
    static constexpr int TagRole = Qt::UserRole;
    static constexpr int IndexRole = Qt::UserRole + 1;

    FunctionTab(FormSinFile *form, AnalysisHost *host);
    ~FunctionTab() override;

    // Finds the functions of `text` in the background; the list is filled when they are known. A
    // derivation still running is cancelled and its result dropped.
    void deriveFrom(const QString &text);
    void deriveFromUtf8(const QByteArray &utf8);
    // Stops a derivation; its result never reaches the list.
    void cancel();
    bool isDeriving() const { return m_running != nullptr; }

    const Decompose::FunctionArray &array() const { return m_array; }
    // The text of "新全部函数".
    QString newText() const { return m_array.text(); }

    // The popup's entries, acting on the selected entry.
    void modify();        // 修改: Text4 becomes editable until confirmed or cancelled
    void confirmModify(); // Text4's text replaces the function's text
    void cancelModify();
    void mergeSame();
    void remove();
    void undo();
    bool isModifying() const { return m_modifying >= 0; }

    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *saveNewButton() const { return m_saveNew; }

signals:
    // The list shows a new state of the array (after a load, a change or an undo).
    void listFilled();
    // The array holds a newly derived text, or none while one is derived: no edits of the user's yet.
    void arrayReset();
    // The addresses the code talks to, found by the same derivation (none while one runs).
    void endpointsDerived(const QList<Decompose::Endpoint> &endpoints);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Derived;
    void derive(const std::function<QString()> &text);
    void applyDerived(Derived &derived);
    void fillList(int selectIndex);
    void showSelected();
    int selectedIndex() const;
    void afterChange(Decompose::FunctionArray::Outcome outcome, int nearIndex);
    void placeExtraButtons();
    bool popupIsOurs() const;

    FormSinFile *m_form;
    AnalysisHost *m_host;
    QPointer<QMenu> m_popupMenu; // menuLV1, shared by every analysis window of the host
    Decompose::FunctionArray m_array;
    QFutureWatcher<std::shared_ptr<Derived>> *m_running = nullptr;
    std::shared_ptr<std::atomic_bool> m_stop;
    int m_modifying = -1;
    QPushButton *m_confirm = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_saveNew = nullptr;
};
