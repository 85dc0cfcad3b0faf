#include "app/WindowList.h"

namespace WindowList {

QString EntryCaption(int number, const QString &title) {
    QString shown = title;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QString prefix = number < 10 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number);
    return prefix + shown;
}

} // namespace WindowList
