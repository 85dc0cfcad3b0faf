#pragma once
// The options dialog "设置": one check box for "不显示编号". Only "确定" changes and stores the option.

#include <QDialog>

class QCheckBox;
class QPushButton;

class fOption : public QDialog {
    Q_OBJECT
public:
    explicit fOption(QWidget *parent = nullptr);

    QCheckBox *Check1 = nullptr;
    QPushButton *Command1 = nullptr;

    // Shows the dialog modally; returns when it has been closed.
    static void ShowModal(QWidget *parent);

private:
    void Command1_Click();
};
