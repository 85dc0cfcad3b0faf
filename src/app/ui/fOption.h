#pragma once
// The options dialog "设置": check boxes for "不显示编号", "使用浏览器内核" and
// "规范化时按层次缩进". Only "确定" changes and
// stores the options.

#include <QDialog>

class QCheckBox;
class QPushButton;

class fOption : public QDialog {
    Q_OBJECT
public:
    explicit fOption(QWidget *parent = nullptr);

    QCheckBox *Check1 = nullptr;
    QCheckBox *Check2 = nullptr;
    QCheckBox *Check3 = nullptr; // 规范化时按层次缩进
    QPushButton *Command1 = nullptr;

    // Shows the dialog modally; returns when it has been closed.
    static void ShowModal(QWidget *parent);

private:
    void Command1_Click();
};
