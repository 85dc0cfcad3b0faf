#pragma once
// What one HTTP transfer asks for and what it gives back. The request is a plain value: whoever needs a
// new per-request setting (headers, agent, limits) adds a field here and HttpHandler honours it.

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

struct HttpRequest {
    QString url;
    int timeoutMs = 0;    // inactivity time-out; 0 = the program default (HttpManager::defaultTimeoutMs)
    qint64 maxBytes = 0;  // body cap; 0 = the program default (HttpManager::defaultMaxBytes)
    QByteArray userAgent; // empty = the network layer's own
    QList<QPair<QByteArray, QByteArray>> headers; // extra request headers, sent as given

    HttpRequest() = default;
    HttpRequest(const QString &address) : url(address) {} // NOLINT: an address alone is a whole request
};

struct HttpResult {
    bool ok = false;
    int status = 0;           // HTTP status, 0 when none arrived
    QByteArray body;          // empty unless ok
    QByteArray contentType;   // Content-Type header
    QString finalUrl;         // address after redirects
    QString error;            // reason of a failure (status, time-out, too large, network error), in Chinese
    QList<QPair<QByteArray, QByteArray>> headers; // response headers of the final answer, as received
};

Q_DECLARE_METATYPE(HttpResult)
