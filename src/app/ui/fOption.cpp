#include "app/ui/fOption.h"

#include "app/Options.h"
#include "platform/SettingsStore.h"
#include "platform/ui/Dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

fOption::fOption(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Check1 = new QCheckBox(QStringLiteral("现内容中不显示编号分隔符"), this);
    Check1->setChecked(HideNumbering != 0);
    Check2 = new QCheckBox(QStringLiteral("打开网页时运行网页脚本（浏览器内核）"), this);
    Check2->setChecked(UseBrowserEngine);
    Check3 = new QCheckBox(QStringLiteral("规范化时按层次缩进"), this);
    Check3->setChecked(NormaliseIndents);
    Command1 = new QPushButton(QStringLiteral("确定"), this);
    Command1->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Check1);
    layout->addWidget(Check2);
    layout->addWidget(Check3);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void fOption::Command1_Click() {
    HideNumbering = Check1->isChecked() ? 1 : 0;
    UseBrowserEngine = Check2->isChecked();
    NormaliseIndents = Check3->isChecked();
    bool saved = SettingsStore::SaveHideNumbering(HideNumbering);
    saved = SettingsStore::SaveUseBrowserEngine(UseBrowserEngine) && saved;
    if (!(SettingsStore::SaveNormaliseIndent(NormaliseIndents) && saved))
        Dialogs::current().message(this, QStringLiteral("设置无法保存，下次启动时仍是原来的设置。"),
                                   Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    accept();
}

void fOption::ShowModal(QWidget *parent) {
    fOption dialog(parent);
    dialog.exec();
}
