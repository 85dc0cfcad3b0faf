#include "util/AppInfo.h"
#include "util/Module1Shell.h"
#include "util/Shell.h"

#include <QDate>
#include <QLocale>

namespace Module1 {

void OpenInNewBrowserWindow(const QString &address) {
    Shell::openUrl(address);
}

QString FeedbackMailAddress(const QDate &date) {
    const QString body =
        QStringLiteral("软件名称：") + AppInfo::Title + QStringLiteral(" 姓名：") +
        QString(10, QLatin1Char(' ')) + QStringLiteral(" Email：") + QString(11, QLatin1Char(' ')) +
        QStringLiteral(" 联系地址：") + QString(11, QLatin1Char(' ')) + QStringLiteral(" 邮编：") +
        QString(14, QLatin1Char(' ')) + QStringLiteral(" 电话：") + QString(20, QLatin1Char(' ')) +
        QStringLiteral(" 日期：") + QLocale::system().toString(date, QLocale::ShortFormat);
    return QStringLiteral("mailto:") + AppInfo::FeedbackRecipient + QStringLiteral("?cc=") +
           AppInfo::FeedbackCcRecipient + QStringLiteral("&bcc=") + AppInfo::FeedbackBccRecipient +
           QStringLiteral("&subject=我要对[") + AppInfo::Title + QStringLiteral("]提建议&body=") + body;
}

void SendFeedbackMail(QWidget *window) {
    Q_UNUSED(window);
    Shell::openUrl(FeedbackMailAddress(QDate::currentDate()));
}

} // namespace Module1
