#include "platform/FailureTexts.h"

namespace FailureTexts {

namespace {

QString sizeText(qint64 bytes) {
    constexpr qint64 MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / MiB);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 字节").arg(bytes);
}

} // namespace

QString HttpStatus(int status) {
    return QStringLiteral("HTTP %1").arg(status);
}

QString NoDataWithin(int timeoutMs) {
    return QStringLiteral("超时（%1 秒内没有收到数据）").arg(timeoutMs / 1000.0);
}

QString NotDoneWithin(int deadlineMs) {
    return QStringLiteral("超时（%1 秒内未完成）").arg(deadlineMs / 1000.0);
}

QString TooLarge(qint64 maxBytes) {
    return QStringLiteral("内容太大（超过 %1）").arg(sizeText(maxBytes));
}

QString Certificate(const QString &problem) {
    return QStringLiteral("证书错误：") + problem;
}

QString TooManyRedirects(int max) {
    return QStringLiteral("重定向次数过多（超过 %1 次）").arg(max);
}

QString RedirectUnsupported(const QString &to) {
    return QStringLiteral("重定向到不支持的地址：") + to;
}

QString UnsupportedAddress(const QString &address) {
    return QStringLiteral("不支持的地址：") + address;
}

QString NetworkError(const QString &detail) {
    return QStringLiteral("网络错误：") + detail;
}

QString HttpStatusOfScript(int status) {
    return QStringLiteral("HTTP 状态 %1").arg(status);
}

QString DoesNotFitEncoding(const QByteArray &encoding) {
    return QStringLiteral("文本中有 %1 编码无法保存的字符，没有写入").arg(QString::fromLatin1(encoding));
}

QString AboutFile(const QString &what, const QString &path, const QString &detail) {
    QString text = what + QStringLiteral("：") + path;
    if (!detail.isEmpty())
        text += QStringLiteral("（") + detail + QStringLiteral("）");
    return text;
}

} // namespace FailureTexts
