#include "analysis/LoadTexts.h"

namespace LoadTexts {

QString Progress(int obtained, int total) {
    return QStringLiteral("正在取得脚本 %1/%2…").arg(obtained).arg(total);
}

QString PageLoading(int seen) {
    return QStringLiteral("正在载入网页，已发现脚本 %1 个…").arg(seen);
}

QString PageNotLoadedInTime(const QString &address) {
    return QStringLiteral("网页在15秒内未载入完成：") + address;
}

QString PageTooLarge(const QString &address) {
    return QStringLiteral("网页占用内存过多（超过 1 GB），已停止：") + address;
}

QString PageNotOpened(const QString &address, const QString &reason) {
    return QStringLiteral("网页未能打开：%1（%2）").arg(address, reason);
}

} // namespace LoadTexts
