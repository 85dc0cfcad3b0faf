#include "platform/net/HttpHandler.h"

#include "platform/FailureTexts.h"
#include "platform/net/HttpManager.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>

namespace {

constexpr int kMaxRedirects = 10;
// What the network layer may hold of one transfer before it is read here. Without a bound it reads as
// fast as the server sends, into memory, and one endless transfer keeps the layer's thread from the
// others; with it, the layer stops reading that connection until this handler has taken the data.
constexpr qint64 kReadBufferBytes = qint64(1) << 20;

QString networkErrorText(QNetworkReply *reply) {
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return FailureTexts::ConnectionRefused;
    case QNetworkReply::HostNotFoundError:
        return FailureTexts::ServerNotFound;
    case QNetworkReply::RemoteHostClosedError:
        return FailureTexts::ConnectionClosed;
    case QNetworkReply::SslHandshakeFailedError:
        return FailureTexts::SslHandshake;
    case QNetworkReply::ProtocolUnknownError:
        return FailureTexts::UnsupportedProtocol;
    default:
        return FailureTexts::NetworkError(reply->errorString());
    }
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isSuccess(int status) {
    return status >= 200 && status <= 299;
}

} // namespace

bool isSupportedHttpUrl(const QUrl &url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

HttpHandler::HttpHandler(HttpManager *manager, const HttpRequest &request, QObject *parent)
    : QObject(parent), m_manager(manager), m_request(request),
      m_url(QUrl(request.url, QUrl::TolerantMode)),
      m_timeoutMs(request.timeoutMs > 0 ? request.timeoutMs : HttpManager::defaultTimeoutMs()),
      m_maxBytes(request.maxBytes > 0 ? request.maxBytes : HttpManager::defaultMaxBytes()) {
    m_result.finalUrl = m_url.toString();
}

HttpHandler::~HttpHandler() {
    dropReply(true);
    if (m_manager)
        m_manager->forget(this);
}

void HttpHandler::cancel() {
    m_cancelled = true; // also silences a completion already queued
    m_deadline.stop();
    if (m_finished)
        return;
    m_finished = true;
    dropReply();
    m_result = HttpResult{false, 0, {}, {}, m_result.finalUrl, FailureTexts::Cancelled, {}};
    if (m_manager)
        m_manager->forget(this);
}

void HttpHandler::begin(QNetworkAccessManager *nam) {
    if (m_finished)
        return;
    m_nam = nam;
    m_started = true;
    const int deadlineMs = m_defaults.deadlineMs > 0 ? m_defaults.deadlineMs : HttpManager::defaultDeadlineMs();
    if (deadlineMs > 0) {
        // The whole transfer, redirects included, however slowly the data trickles in.
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this, deadlineMs] {
            dropReply();
            fail(FailureTexts::NotDoneWithin(deadlineMs));
        });
        m_deadline.start(deadlineMs);
    }
    send(m_url);
}

void HttpHandler::detach() {
    m_deadline.stop();
    dropReply(true);
    m_manager = nullptr;
    m_nam = nullptr;
    if (!m_finished) {
        m_finished = true;
        m_cancelled = true;
        m_result = HttpResult{false, 0, {}, {}, m_result.finalUrl, FailureTexts::Cancelled, {}};
    }
}

void HttpHandler::send(const QUrl &url) {
    QNetworkRequest request(url);
    // Redirects are followed here, so the limit and the final address are ours to keep.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_timeoutMs);
    // The process's defaults first (the command line's), then what this request asks for itself.
    if (!m_defaults.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_defaults.userAgent);
    for (const auto &[name, value] : m_defaults.headers)
        request.setRawHeader(name, value);
    if (!m_request.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_request.userAgent);
    for (const auto &[name, value] : m_request.headers)
        request.setRawHeader(name, value);
    m_body.clear();
    m_certificateProblem.clear();
    m_reply = m_nam->get(request);
    m_reply->setParent(this);
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpHandler::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpHandler::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpHandler::onFinished);
    if (m_defaults.insecure)
        connect(m_reply, &QNetworkReply::sslErrors, m_reply, [reply = m_reply] { reply->ignoreSslErrors(); });
    // Certificate errors are never ignored; their wording becomes the reason of the failure.
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
        QStringList texts;
        for (const QSslError &e : errors)
            texts << e.errorString();
        m_certificateProblem = texts.join(QStringLiteral("；"));
    });
}

void HttpHandler::dropReply(bool now) {
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    if (now)
        delete reply;
    else
        reply->deleteLater(); // may be inside the reply's own signal
}

int HttpHandler::currentStatus() const {
    return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

void HttpHandler::onMetaData() {
    // Only a body that will be kept counts against the cap; an error page fails with its status.
    if (!isSuccess(currentStatus()))
        return;
    bool known = false;
    const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && length > m_maxBytes)
        return failTooLarge();
    if (known && length > 0)
        m_body.reserve(qsizetype(length)); // grown step by step, the body could take twice its size
}

void HttpHandler::onReadyRead() {
    if (!isSuccess(currentStatus())) {
        m_reply->readAll(); // redirect and error bodies are dropped
        return;
    }
    if (!takeBody())
        failTooLarge();
}

bool HttpHandler::takeBody() {
    // What has come, but never more than one byte past the cap: that byte is enough to refuse the
    // transfer.
    const qint64 want = qMin(m_reply->bytesAvailable(), m_maxBytes + 1 - m_body.size());
    if (want <= 0)
        return m_body.size() <= m_maxBytes;
    const qsizetype before = m_body.size();
    // A large body gets room up to the cap at once: only the pages written take memory, where growing
    // step by step would copy it and hold old and new copies together.
    if (before + want > m_body.capacity() && before + want > kReadBufferBytes)
        m_body.reserve(qsizetype(m_maxBytes) + 1);
    m_body.resize(before + qsizetype(want));
    const qint64 got = m_reply->read(m_body.data() + before, want);
    m_body.resize(before + qsizetype(qMax<qint64>(got, 0)));
    return m_body.size() <= m_maxBytes;
}

void HttpHandler::failTooLarge() {
    m_result.status = currentStatus();
    dropReply();
    fail(FailureTexts::TooLarge(m_maxBytes));
}

void HttpHandler::onFinished() {
    QNetworkReply *reply = m_reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_result.status = status;
    m_result.finalUrl = reply->url().toString();
    if (isSuccess(status) && !takeBody())
        return failTooLarge();

    if (isRedirect(status)) {
        const QByteArray location = reply->rawHeader("Location");
        if (!location.isEmpty()) {
            const QUrl next = reply->url().resolved(QUrl::fromEncoded(location));
            dropReply();
            if (++m_redirects > kMaxRedirects)
                return fail(FailureTexts::TooManyRedirects(kMaxRedirects));
            if (!isSupportedHttpUrl(next))
                return fail(FailureTexts::RedirectUnsupported(next.toString()));
            m_result.finalUrl = next.toString();
            return send(next); // keeps its place in the first host's queue
        }
    }

    const QNetworkReply::NetworkError error = reply->error();
    const QString networkText = networkErrorText(reply);
    m_result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    m_result.headers = reply->rawHeaderPairs();
    dropReply();

    if (status != 0 && !isSuccess(status))
        return fail(FailureTexts::HttpStatus(status));
    // The transfer time-out aborts the reply; nothing else here cancels it.
    if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        return fail(FailureTexts::NoDataWithin(m_timeoutMs));
    if (error != QNetworkReply::NoError && !m_certificateProblem.isEmpty())
        return fail(FailureTexts::Certificate(m_certificateProblem));
    if (error != QNetworkReply::NoError)
        return fail(networkText);
    m_result.ok = true;
    m_result.error.clear();
    if (m_body.capacity() - m_body.size() > kReadBufferBytes)
        m_body.squeeze(); // the room up to the cap is given back
    m_result.body = std::move(m_body);
    m_body.clear();
    finish();
}

void HttpHandler::fail(const QString &reason) {
    m_result.ok = false;
    m_result.body.clear();
    m_result.error = reason;
    m_body.clear();
    finish();
}

void HttpHandler::finish() {
    m_finished = true;
    m_deadline.stop();
    // The place in the host's queue goes to the next transfer at once.
    if (m_manager)
        m_manager->forget(this);
    // Reported from the event loop: the caller's handler may delete this handler, which must not happen
    // inside the network reply's own signal.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_cancelled)
                emit finished(m_result);
        },
        Qt::QueuedConnection);
}
