#include "platform/page/browser/BrowserLoadError.h"

#include "platform/FailureTexts.h"

namespace BrowserLoadError {

QString reason(Domain domain, int code, const QString &text) {
    switch (domain) {
    case Domain::None:
        return QString();
    case Domain::HttpStatus:
        return code >= 400 ? FailureTexts::HttpStatus(code) : QString();
    case Domain::Certificate:
        return FailureTexts::Certificate(text);
    case Domain::Dns:
        return FailureTexts::ServerNotFound;
    default:
        break;
    }
    // The network stack's numbers (net_error_list.h) for the failures the HTTP layer names too.
    switch (code) {
    case -102: // CONNECTION_REFUSED
        return FailureTexts::ConnectionRefused;
    case -105: // NAME_NOT_RESOLVED
    case -137: // NAME_RESOLUTION_FAILED
        return FailureTexts::ServerNotFound;
    case -100: // CONNECTION_CLOSED
    case -101: // CONNECTION_RESET
    case -324: // EMPTY_RESPONSE
        return FailureTexts::ConnectionClosed;
    case -107: // SSL_PROTOCOL_ERROR
    case -113: // SSL_VERSION_OR_CIPHER_MISMATCH
        return FailureTexts::SslHandshake;
    case -118: // CONNECTION_TIMED_OUT
    case -7:   // TIMED_OUT
        return FailureTexts::ConnectionTimedOut;
    case -301: // DISALLOWED_URL_SCHEME
    case -302: // UNKNOWN_URL_SCHEME
        return FailureTexts::UnsupportedProtocol;
    case -6: // FILE_NOT_FOUND
        return FailureTexts::FileNotFoundByEngine;
    default:
        break;
    }
    if (code <= -200 && code > -300)
        return FailureTexts::Certificate(text);
    return FailureTexts::NetworkError(text.isEmpty() ? QString::number(code) : text);
}

} // namespace BrowserLoadError
