#include "workbench/FindNext.h"

int FindNext(const QString &text, const QString &needle, int caret) {
    if (needle.isEmpty() || caret < 0)
        return -1;
    // The search starts at 1-based position caret + L, i.e. 0-based offset caret + L − 1.
    const qsizetype from = qsizetype(caret) + needle.size() - 1;
    if (from >= text.size())
        return -1;
    return int(text.indexOf(needle, from, Qt::CaseInsensitive));
}

QString FindNotFoundMessage(const QString &needle) {
    return QStringLiteral("不存在：") + needle + QStringLiteral("\r\n或者已经到了文本尾部。");
}
