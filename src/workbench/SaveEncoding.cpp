#include "workbench/SaveEncoding.h"

#include "platform/EncodingLabels.h"

QByteArray EncodingForRewrite(const QByteArray &readEncoding) {
    if (TextCodec::canonicalCharset(readEncoding) == "GB18030")
        return QByteArrayLiteral("GB18030");
    return readEncoding.trimmed();
}
