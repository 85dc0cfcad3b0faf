#pragma once
// The one way windows reach modal dialogs and the clipboard. The program installs the Qt implementation;
// tests install a scripted fake (tests/support/FakeDialogs.h) that records every call.

#include <QString>
#include <QStringList>

class QFontMetrics;
class QWidget;

namespace Dialogs {

enum class Icon { None, Information, Warning, Critical, Question };
// YesNo has 是 as its default button, NoYes 否; SaveDiscardCancel reads 保存/不保存/取消, 保存 the
// default, and closing the box is 取消.
enum class Buttons { Ok, YesNo, NoYes, SaveDiscardCancel };
enum class Answer { Ok, Yes, No, Save, Discard, Cancel };

// A file dialog request. `filters` are patterns such as "*.js"; each is one choice of the dialog.
struct FileRequest {
    QString fileName;      // proposed name (empty: none)
    QStringList filters;   // e.g. {"*.js", "*.txt"}
    QString defaultSuffix; // added to a typed name without one, e.g. "js"
};

class Provider {
public:
    virtual ~Provider() = default;
    // Puts `text` on the clipboard.
    virtual void setClipboardText(const QString &text) = 0;
    // Modal message box; `caption` empty means the application title.
    virtual Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons,
                           const QString &caption = QString()) = 0;
    // Input box: returns the answer, or an empty text when cancelled.
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title,
                          const QString &proposed) = 0;
    // File dialogs: the chosen path, or an empty text when cancelled.
    virtual QString openFile(QWidget *parent, const FileRequest &request) = 0;
    virtual QString saveFile(QWidget *parent, const FileRequest &request) = 0;
    virtual QString clipboardText() = 0;
    // A folder to write into: its path, or an empty text when cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &title) {
        (void)parent;
        (void)title;
        return QString();
    }
};

// The provider in use; the Qt one unless another was installed.
Provider &current();
// Installs `provider` (not owned); nullptr goes back to the Qt one.
void install(Provider *provider);

// The least width of a box whose whole caption `title` shows beside the title bar's buttons.
int CaptionWidth(const QFontMetrics &metrics, const QString &title);
// The least width of the input box: room for its whole caption, for an address of some sixty letters,
// and for the prompt.
int InputBoxWidth(const QFontMetrics &metrics, const QString &title, const QString &prompt);

} // namespace Dialogs
