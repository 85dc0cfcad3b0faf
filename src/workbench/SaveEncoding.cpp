#include "workbench/SaveEncoding.h"

QByteArray EncodingForRewrite(const QByteArray &readEncoding) {
    const QByteArray name = readEncoding.trimmed().toLower();
    if (name == "gbk" || name == "gb2312" || name == "cp936" || name == "windows-936" || name == "ms936" ||
        name == "euc-cn" || name == "x-gbk")
        return QByteArrayLiteral("GB18030");
    return readEncoding.trimmed();
}
