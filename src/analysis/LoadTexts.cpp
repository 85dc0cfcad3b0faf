#include "analysis/LoadTexts.h"

namespace LoadTexts {

QString Progress(int obtained, int total) {
    return QStringLiteral("正在取得脚本 %1/%2…").arg(obtained).arg(total);
}

QString PageLoading(int seen) {
    return QStringLiteral("正在载入网页，已发现脚本 %1 个…").arg(seen);
}

} // namespace LoadTexts
