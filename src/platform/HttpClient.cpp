#include "platform/HttpClient.h"
#include "platform/RequestDefaults.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QSslError>
#include <QUrl>

namespace {

constexpr int kMaxRedirects = 10;

int g_defaultTimeoutMs = 30000;
qint64 g_defaultMaxBytes = qint64(64) * 1024 * 1024;

QString sizeText(qint64 bytes) {
    constexpr qint64 MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / MiB);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 字节").arg(bytes);
}

QString networkErrorText(QNetworkReply *reply) {
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到服务器");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("服务器关闭了连接");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接（SSL）握手失败");
    case QNetworkReply::ProtocolUnknownError:
        return QStringLiteral("不支持的协议");
    default:
        return QStringLiteral("网络错误：") + reply->errorString();
    }
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

class Request final : public HttpRequest {
public:
    Request(QNetworkAccessManager *nam, const QUrl &url, int timeoutMs, qint64 maxBytes, QObject *parent)
        : HttpRequest(parent), m_nam(nam), m_timeoutMs(timeoutMs), m_maxBytes(maxBytes) {
        m_result.finalUrl = url.toString();
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
            fail(QStringLiteral("不支持的地址：") + url.toString());
            return;
        }
        if (m_defaults.deadlineMs > 0) {
            // The whole transfer, redirects included, however slowly the data trickles in.
            m_deadline.setSingleShot(true);
            connect(&m_deadline, &QTimer::timeout, this, [this] {
                dropReply();
                fail(QStringLiteral("超时（%1 秒内未完成）").arg(m_defaults.deadlineMs / 1000.0));
            });
            m_deadline.start(m_defaults.deadlineMs);
        }
        start(url);
    }

    ~Request() override { dropReply(); }

    bool isFinished() const override { return m_finished; }
    const HttpResult &result() const override { return m_result; }

    void abort() override {
        m_aborted = true; // also silences a completion already queued
        if (m_finished)
            return;
        m_finished = true;
        m_deadline.stop();
        dropReply();
        m_result = HttpResult{false, 0, {}, {}, m_result.finalUrl, QStringLiteral("已取消")};
    }

private:
    void start(const QUrl &url) {
        QNetworkRequest request(url);
        // Redirects are followed here, so the limit and the final address are ours to keep.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setTransferTimeout(m_timeoutMs);
        if (!m_defaults.userAgent.isEmpty())
            request.setHeader(QNetworkRequest::UserAgentHeader, m_defaults.userAgent);
        for (const auto &[name, value] : m_defaults.headers)
            request.setRawHeader(name, value);
        m_body.clear();
        m_certificateProblem.clear();
        m_reply = m_nam->get(request);
        m_reply->setParent(this);
        if (m_defaults.insecure)
            connect(m_reply, &QNetworkReply::sslErrors, m_reply, [reply = m_reply] { reply->ignoreSslErrors(); });
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &Request::onMetaData);
        connect(m_reply, &QNetworkReply::readyRead, this, &Request::onReadyRead);
        connect(m_reply, &QNetworkReply::finished, this, &Request::onFinished);
        // Certificate errors are never ignored; their wording becomes the reason of the failure.
        connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
            QStringList texts;
            for (const QSslError &e : errors)
                texts << e.errorString();
            m_certificateProblem = texts.join(QStringLiteral("；"));
        });
    }

    void dropReply() {
        if (!m_reply)
            return;
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }

    int currentStatus() const { return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }
    static bool isSuccess(int status) { return status >= 200 && status <= 299; }

    void onMetaData() {
        // Only a body that will be kept counts against the cap; an error page fails with its status.
        if (!isSuccess(currentStatus()))
            return;
        bool known = false;
        const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > m_maxBytes)
            failTooLarge();
    }

    void onReadyRead() {
        if (!isSuccess(currentStatus())) {
            m_reply->readAll(); // redirect and error bodies are dropped
            return;
        }
        m_body += m_reply->readAll();
        if (m_body.size() > m_maxBytes)
            failTooLarge();
    }

    void failTooLarge() {
        m_result.status = currentStatus();
        dropReply();
        fail(QStringLiteral("内容太大（超过 %1）").arg(sizeText(m_maxBytes)));
    }

    void onFinished() {
        QNetworkReply *reply = m_reply;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_result.status = status;
        m_result.finalUrl = reply->url().toString();
        m_body += reply->readAll();

        if (isRedirect(status)) {
            const QByteArray location = reply->rawHeader("Location");
            if (!location.isEmpty()) {
                const QUrl next = reply->url().resolved(QUrl::fromEncoded(location));
                dropReply();
                const QString scheme = next.scheme().toLower();
                if (++m_redirects > kMaxRedirects)
                    return fail(QStringLiteral("重定向次数过多（超过 %1 次）").arg(kMaxRedirects));
                if (!next.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
                    return fail(QStringLiteral("重定向到不支持的地址：") + next.toString());
                m_result.finalUrl = next.toString();
                return start(next);
            }
        }

        const QNetworkReply::NetworkError error = reply->error();
        const QString networkText = networkErrorText(reply);
        m_result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        dropReply();

        if (status != 0 && !isSuccess(status))
            return fail(QStringLiteral("HTTP %1").arg(status));
        // The transfer time-out aborts the reply; nothing else here cancels it.
        if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
            return fail(QStringLiteral("超时（%1 秒内没有收到数据）").arg(m_timeoutMs / 1000.0));
        if (error != QNetworkReply::NoError && !m_certificateProblem.isEmpty())
            return fail(QStringLiteral("证书错误：") + m_certificateProblem);
        if (error != QNetworkReply::NoError)
            return fail(networkText);
        m_result.ok = true;
        m_result.error.clear();
        m_result.body = std::move(m_body);
        m_body.clear();
        finish();
    }

    void fail(const QString &reason) {
        m_result.ok = false;
        m_result.body.clear();
        m_result.error = reason;
        m_body.clear();
        finish();
    }

    void finish() {
        m_finished = true;
        m_deadline.stop();
        // Reported from the event loop: the caller's handler may delete this request or its client,
        // which must not happen inside the network reply's own signal.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_aborted)
                    emit finished();
            },
            Qt::QueuedConnection);
    }

    QString m_certificateProblem;
    QNetworkAccessManager *m_nam;
    QNetworkReply *m_reply = nullptr;
    int m_timeoutMs;
    qint64 m_maxBytes;
    int m_redirects = 0;
    RequestDefaults m_defaults = requestDefaults(); // as they were when the request began
    QTimer m_deadline;
    bool m_finished = false;
    bool m_aborted = false;
    QByteArray m_body;
    HttpResult m_result;
};

} // namespace

class HttpClient::Private {
public:
    QNetworkAccessManager *nam = nullptr;
    int timeoutMs = g_defaultTimeoutMs;
    qint64 maxBytes = g_defaultMaxBytes;
};

HttpClient::HttpClient(QObject *parent) : QObject(parent), d(new Private) {
    d->nam = new QNetworkAccessManager;
}

HttpClient::~HttpClient() {
    // Requests (and their replies) go before the access manager they came from.
    const QList<HttpRequest *> requests = findChildren<HttpRequest *>(Qt::FindDirectChildrenOnly);
    qDeleteAll(requests);
    delete d->nam;
    delete d;
}

HttpRequest *HttpClient::get(const QString &url) {
    return new Request(d->nam, QUrl(url, QUrl::TolerantMode), d->timeoutMs, d->maxBytes, this);
}

int HttpClient::timeoutMs() const {
    return d->timeoutMs;
}
qint64 HttpClient::maxBytes() const {
    return d->maxBytes;
}
void HttpClient::setTimeoutMs(int ms) {
    d->timeoutMs = ms;
}
void HttpClient::setMaxBytes(qint64 bytes) {
    d->maxBytes = bytes;
}

void HttpClient::setDefaultTimeoutMs(int ms) {
    g_defaultTimeoutMs = ms;
}
void HttpClient::setDefaultMaxBytes(qint64 bytes) {
    g_defaultMaxBytes = bytes;
}
int HttpClient::defaultTimeoutMs() {
    return g_defaultTimeoutMs;
}
qint64 HttpClient::defaultMaxBytes() {
    return g_defaultMaxBytes;
}

HttpResult HttpClient::getBlocking(const QString &url) {
    HttpClient client;
    HttpRequest *request = client.get(url);
    // finished() always comes from the event loop, so connecting after get() misses nothing.
    QEventLoop loop;
    QObject::connect(request, &HttpRequest::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return request->result();
}
