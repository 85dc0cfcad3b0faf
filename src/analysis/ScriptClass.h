#pragma once
// The four classes of a page's script element and the tag each one carries in its header line.

#include <QString>

enum class ScriptClass { Inline, Network, Local, Other };

// "[网页内JS]：", "[网络JS]：", "[本地JS]：" or the bare full-width colon "：".
inline QString scriptClassTag(ScriptClass kind) {
    switch (kind) {
    case ScriptClass::Inline:
        return QStringLiteral("[网页内JS]：");
    case ScriptClass::Network:
        return QStringLiteral("[网络JS]：");
    case ScriptClass::Local:
        return QStringLiteral("[本地JS]：");
    case ScriptClass::Other:
        break;
    }
    return QStringLiteral("：");
}
