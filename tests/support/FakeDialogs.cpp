#include "support/FakeDialogs.h"

Dialogs::Answer FakeDialogs::message(QWidget *, const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons,
                                     const QString &caption) {
    messages.append({text, icon, buttons, caption});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Dialogs::Buttons::YesNo ? Dialogs::Answer::No : Dialogs::Answer::Ok;
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
