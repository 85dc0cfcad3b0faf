#include "workbench/SaveEncoding.h"

#include "platform/text/EncodingLabels.h"

QByteArray EncodingForRewrite(const QByteArray &readEncoding) {
    if (TextCodec::canonicalCharset(readEncoding) == "GB18030")
        return QByteArrayLiteral("GB18030");
    return readEncoding.trimmed();
}
