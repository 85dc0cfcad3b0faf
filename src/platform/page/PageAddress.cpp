#include "platform/page/PageAddress.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

bool startsWithCi(const QString &text, QLatin1String prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace

bool isHttpAddress(const QString &address) {
    return startsWithCi(address, QLatin1String("http://")) || startsWithCi(address, QLatin1String("https://"));
}

QString localPathOf(const QString &address) {
    if (startsWithCi(address, QLatin1String("file:"))) {
        const QString literal = address.mid(7);
        if (startsWithCi(address, QLatin1String("file:///")) && QFileInfo::exists(literal))
            return literal;
        const QUrl url(address, QUrl::TolerantMode);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    // Any other scheme ("about:", "javascript:", "ftp:") names no file; a single letter is a drive.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (address.isEmpty() || scheme.match(address).hasMatch())
        return QString();
    return QFileInfo(address).absoluteFilePath();
}
