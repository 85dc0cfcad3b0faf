#include "support/FakeDialogs.h"

Dialogs::Answer FakeDialogs::message(QWidget *, const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons,
                                     const QString &caption) {
    messages.append({text, icon, buttons, caption});
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (buttons) {
    case Dialogs::Buttons::YesNo:
    case Dialogs::Buttons::NoYes:
        return Dialogs::Answer::No;
    case Dialogs::Buttons::SaveDiscardCancel:
        return Dialogs::Answer::Discard;
    case Dialogs::Buttons::Ok:
        break;
    }
    return Dialogs::Answer::Ok;
}

QString FakeDialogs::input(QWidget *, const QString &prompt, const QString &, const QString &proposed) {
    inputPrompts.append(prompt);
    inputProposed.append(proposed);
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

QString FakeDialogs::openFile(QWidget *, const Dialogs::FileRequest &request) {
    fileCalls.append({false, request});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString FakeDialogs::saveFile(QWidget *, const Dialogs::FileRequest &request) {
    fileCalls.append({true, request});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}
