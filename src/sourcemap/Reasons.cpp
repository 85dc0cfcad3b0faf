#include "sourcemap/Reasons.h"

namespace SourceMaps {

QString mapNotObtained(const QString &address, const QString &detail) {
    return QStringLiteral("源映射未能取得：%1（%2）").arg(address, detail);
}

QString sourceWithoutContent(const QString &name) {
    return sourceNotObtained(name, QStringLiteral("没有内容，地址无法下载"));
}

QString sourceNotObtained(const QString &name, const QString &detail) {
    return QStringLiteral("原始源码未能取得：%1（%2）").arg(name, detail);
}

QString refused(const QString &name, bool fromNetwork) {
    return QStringLiteral("已拒绝：%1（%2）")
        .arg(name, fromNetwork ? QStringLiteral("网络上的源映射不能读本机文件")
                               : QStringLiteral("在本机文件所在文件夹之外"));
}

QString countLabel(int sources, int maps) {
    return QStringLiteral("原始源码：%1 个（来自 %2 个源映射）").arg(sources).arg(maps);
}

} // namespace SourceMaps
