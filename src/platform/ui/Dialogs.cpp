#include "platform/ui/Dialogs.h"

#include "platform/ui/ChineseFileModel.h"

#include "util/AppInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// "*.js" -> "*.js (*.js)", one choice per pattern; "*.htm;*.html" -> "*.htm;*.html (*.htm *.html)",
// since the dialog separates the patterns of one choice by spaces.
QString filterText(const QStringList &filters) {
    QStringList parts;
    for (const QString &f : filters)
        parts << QStringLiteral("%1 (%2)").arg(f, QString(f).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return parts.join(QStringLiteral(";;"));
}

// The buttons of a message box; the texts are set here so they read alike whatever catalogue is loaded.
void setUpButtons(QMessageBox &box, Dialogs::Buttons buttons) {
    const auto add = [&box](QMessageBox::StandardButton button, const QString &text) {
        box.addButton(button)->setText(text);
    };
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        return;
    case Dialogs::Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return;
    case Dialogs::Buttons::NoYes:
        add(QMessageBox::Yes, QStringLiteral("是"));
        add(QMessageBox::No, QStringLiteral("否"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return;
    case Dialogs::Buttons::SaveDiscardCancel:
        add(QMessageBox::Save, QStringLiteral("保存"));
        add(QMessageBox::Discard, QStringLiteral("不保存"));
        add(QMessageBox::Cancel, QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        return;
    }
}

// What the clicked button means; a box closed without a button is its escape answer.
Dialogs::Answer answerOf(QMessageBox::StandardButton clicked, Dialogs::Buttons buttons) {
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return Dialogs::Answer::Ok;
    case Dialogs::Buttons::YesNo:
    case Dialogs::Buttons::NoYes:
        return clicked == QMessageBox::Yes ? Dialogs::Answer::Yes : Dialogs::Answer::No;
    case Dialogs::Buttons::SaveDiscardCancel:
        if (clicked == QMessageBox::Save)
            return Dialogs::Answer::Save;
        return clicked == QMessageBox::Discard ? Dialogs::Answer::Discard : Dialogs::Answer::Cancel;
    }
    return Dialogs::Answer::Cancel;
}

QString runFileDialog(QWidget *parent, const Dialogs::FileRequest &request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, AppInfo::Title);
    ChineseFileModel::install(dialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filterText(request.filters));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

class QtProvider final : public Dialogs::Provider {
public:
    void setClipboardText(const QString &text) override {
        if (QClipboard *clipboard = QApplication::clipboard())
            clipboard->setText(text);
    }

    Dialogs::Answer message(QWidget *parent, const QString &text, Dialogs::Icon icon,
                            Dialogs::Buttons buttons, const QString &caption) override {
        QMessageBox box(toQt(icon), caption.isEmpty() ? AppInfo::Title : caption, text, QMessageBox::NoButton,
                        parent);
        setUpButtons(box, buttons);
        // The box sizes itself to its text; a row of the caption's width keeps the caption whole.
        if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
            grid->addItem(new QSpacerItem(Dialogs::CaptionWidth(box.fontMetrics(), box.windowTitle()), 0,
                                          QSizePolicy::Minimum, QSizePolicy::Fixed),
                          grid->rowCount(), 0, 1, grid->columnCount());
        box.exec();
        return answerOf(box.standardButton(box.clickedButton()), buttons);
    }

    QString input(QWidget *parent, const QString &prompt, const QString &title,
                  const QString &proposed) override {
        QInputDialog box(parent);
        box.setWindowTitle(title.isEmpty() ? AppInfo::Title : title);
        box.setLabelText(prompt);
        box.setTextValue(proposed);
        // The box sizes itself to its contents, so the room goes to the text field.
        if (auto *field = box.findChild<QLineEdit *>())
            field->setMinimumWidth(Dialogs::InputBoxWidth(box.fontMetrics(), box.windowTitle(), prompt));
        return box.exec() == QDialog::Accepted ? box.textValue() : QString();
    }

    QString openFile(QWidget *parent, const Dialogs::FileRequest &request) override {
        return runFileDialog(parent, request, QFileDialog::AcceptOpen);
    }

    QString saveFile(QWidget *parent, const Dialogs::FileRequest &request) override {
        return runFileDialog(parent, request, QFileDialog::AcceptSave);
    }

    QString chooseFolder(QWidget *parent, const QString &title) override {
        return QFileDialog::getExistingDirectory(parent, title);
    }

    QString clipboardText() override {
        const QClipboard *clipboard = QApplication::clipboard();
        return clipboard ? clipboard->text() : QString();
    }
};

Dialogs::Provider *&installed() {
    static Dialogs::Provider *provider = nullptr;
    return provider;
}

} // namespace

namespace Dialogs {

int CaptionWidth(const QFontMetrics &metrics, const QString &title) {
    // The caption shares its bar with the icon and three buttons, about eight letters' room; title bars
    // often use a bold face.
    return metrics.horizontalAdvance(title) * 6 / 5 + 8 * metrics.height();
}

int InputBoxWidth(const QFontMetrics &metrics, const QString &title, const QString &prompt) {
    const int address = 60 * metrics.averageCharWidth();
    return std::max({CaptionWidth(metrics, title), address, metrics.horizontalAdvance(prompt) + 2 * metrics.height()});
}

Provider &current() {
    static QtProvider qtProvider;
    return installed() ? *installed() : qtProvider;
}

void install(Provider *provider) {
    installed() = provider;
}

} // namespace Dialogs
