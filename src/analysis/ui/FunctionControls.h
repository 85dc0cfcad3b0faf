#pragma once
// The controls of the tab "分解函数" that FunctionTab works on. The window builds them, fills this in and
// hands it to FunctionTab; from then on only FunctionTab sets them.

#include <QStringList>

#include <QUrl>

#include <functional>

class ListView;
class QAbstractButton;
class QLabel;
class QPlainTextEdit;
class QWidget;

struct FunctionControls {
    QWidget *window = nullptr;     // parent for dialogs
    ListView *ListView1 = nullptr; // the function list
    QLabel *Label2 = nullptr;      // its count
    QLabel *Label5 = nullptr;      // "函数内容：": the modify buttons sit right of it
    QPlainTextEdit *Text4 = nullptr;
    // "保存" and "另存为" of 新全部函数: the third save-as button sits right of them.
    QAbstractButton *Command7 = nullptr, *Command5 = nullptr;
    // The script list's entries: the derivation turns them into the header lines the collection wrote.
    std::function<QStringList()> entries;
    // What the addresses found in the code resolve against (empty: only absolute ones resolve).
    std::function<QUrl()> page;
};
