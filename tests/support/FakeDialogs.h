#pragma once
// A scripted stand-in for the dialogs: records every call and answers from prepared queues.
// Install with FakeDialogs::Scope so the real dialogs come back at the end of a test.

#include "platform/ui/Dialogs.h"

#include <QList>
#include <QQueue>

class FakeDialogs final : public Dialogs::Provider {
public:
    struct Message {
        QString text;
        Dialogs::Icon icon;
        Dialogs::Buttons buttons;
        QString caption;
    };
    struct FileCall {
        bool save;
        Dialogs::FileRequest request;
    };

    // Recorded calls.
    QList<Message> messages;
    QList<QString> inputPrompts;  // prompt of each input box
    QList<QString> inputProposed; // proposed answer of each input box
    QList<FileCall> fileCalls;

    // Prepared answers; when a queue is empty: message -> No/Ok/Discard (nothing written), input/file -> ""
    // (cancelled).
    QQueue<Dialogs::Answer> answers;
    QQueue<QString> inputAnswers;
    QQueue<QString> fileAnswers;
    QString clipboard; // what clipboardText answers and setClipboardText writes

    void setClipboardText(const QString &text) override { clipboard = text; }

    Dialogs::Answer message(QWidget *, const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons,
                            const QString &caption) override;
    QString input(QWidget *, const QString &prompt, const QString &title, const QString &proposed) override;
    QString openFile(QWidget *, const Dialogs::FileRequest &request) override;
    QString saveFile(QWidget *, const Dialogs::FileRequest &request) override;
    QString clipboardText() override { return clipboard; }
    // Recorded as a file call with the title as its proposed name; answered from fileAnswers.
    QString chooseFolder(QWidget *, const QString &title) override {
        fileCalls.append({false, {title, {}, {}}});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }

    // Installs a fake for the lifetime of the scope.
    class Scope {
    public:
        explicit Scope(FakeDialogs &fake) { Dialogs::install(&fake); }
        ~Scope() { Dialogs::install(nullptr); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
    };
};
