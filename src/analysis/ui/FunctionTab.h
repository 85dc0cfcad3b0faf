#pragma once
// The tab "分解函数" at work, and the only code that sets its controls (FunctionControls): after every
// load the functions of the combined text are found off the user-interface thread and shown in ListView1
// in one update (text = name, tag = script and line), counted in Label2; an entry shows its function in
// Text4 and asks the window to select it in RtbOld; the popup's "修改", "合并相同" and "删除" change the
// window's function array, Ctrl+Z on the list undoes one change, and "新全部函数" shows the text the
// array gives back, which the third save-as button of that tab writes (through the window).

#include "analysis/ui/FunctionControls.h"
#include "decompose/FunctionArray.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class AnalysisHost;
class QMenu;
class QPushButton;
class QTreeWidgetItem;

class FunctionTab : public QObject {
    Q_OBJECT
public:
    // Item data of a list entry: the tag ("网址N 第M行") and the function's index in the array.
    static constexpr int TagRole = Qt::UserRole;
    static constexpr int IndexRole = Qt::UserRole + 1;

    FunctionTab(const FunctionControls &controls, AnalysisHost *host, QObject *parent = nullptr);
    ~FunctionTab() override;

    // Empties the list and its count, then derives the functions of `combinedUtf8` (the combined text).
    void 显示到LV(const QByteArray &combinedUtf8);
    // True when `name` is in the list twice or more, letter case ignored.
    bool 判断LV1有相同项(const QString &name) const;

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
    // An entry was chosen: its function lies at `start`, `length` units long, in the loaded text.
    void functionChosen(int start, int length);
    // The third save-as button of 新全部函数 was clicked.
    void saveNewTextClicked();
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
    void onRightButton(const QPoint &globalPos);
    bool popupIsOurs() const;

    FunctionControls c;
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
