#include "platform/browser/BrowserLoadError.h"

namespace BrowserLoadError {

QString reason(Domain domain, int code, const QString &text) {
    switch (domain) {
    case Domain::None:
        return QString();
    case Domain::HttpStatus:
        return code >= 400 ? QStringLiteral("HTTP %1").arg(code) : QString();
    case Domain::Certificate:
        return QStringLiteral("证书错误：") + text;
    case Domain::Dns:
        return QStringLiteral("找不到服务器");
    default:
        break;
    }
    // The network stack's numbers (net_error_list.h) for the failures the HTTP layer names too.
    switch (code) {
    case -102: // CONNECTION_REFUSED
        return QStringLiteral("连接被拒绝");
    case -105: // NAME_NOT_RESOLVED
    case -137: // NAME_RESOLUTION_FAILED
        return QStringLiteral("找不到服务器");
    case -100: // CONNECTION_CLOSED
    case -101: // CONNECTION_RESET
    case -324: // EMPTY_RESPONSE
        return QStringLiteral("服务器关闭了连接");
    case -107: // SSL_PROTOCOL_ERROR
    case -113: // SSL_VERSION_OR_CIPHER_MISMATCH
        return QStringLiteral("安全连接（SSL）握手失败");
    case -118: // CONNECTION_TIMED_OUT
    case -7:   // TIMED_OUT
        return QStringLiteral("连接超时");
    case -301: // DISALLOWED_URL_SCHEME
    case -302: // UNKNOWN_URL_SCHEME
        return QStringLiteral("不支持的协议");
    case -6: // FILE_NOT_FOUND
        return QStringLiteral("找不到文件");
    default:
        break;
    }
    if (code <= -200 && code > -300)
        return QStringLiteral("证书错误：") + text;
    return QStringLiteral("网络错误：") + (text.isEmpty() ? QString::number(code) : text);
}

} // namespace BrowserLoadError
