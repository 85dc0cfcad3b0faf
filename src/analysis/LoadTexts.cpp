#include "analysis/LoadTexts.h"

namespace LoadTexts {

QString Progress(int obtained, int total) {
    return QStringLiteral("正在取得脚本 %1/%2…").arg(obtained).arg(total);
}

} // namespace LoadTexts
