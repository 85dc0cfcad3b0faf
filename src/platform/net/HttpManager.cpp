#include "platform/net/HttpManager.h"

#include "platform/FailureTexts.h"

#include <QEventLoop>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QThreadStorage>

namespace {

int g_defaultTimeoutMs = 30000;
qint64 g_defaultMaxBytes = qint64(64) * 1024 * 1024;
// A server that trickles a byte now and then never trips the inactivity time-out; this ends it anyway.
int g_defaultDeadlineMs = 120000;

// The one store of the program's cookies, shared by the jars of every thread's access manager.
struct CookieStore {
    QMutex mutex;
    QNetworkCookieJar jar;
};
Q_GLOBAL_STATIC(CookieStore, g_cookies)

// A thread's view of the program's cookies: an access manager needs a jar of its own thread.
class SharedCookieJar final : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl &url) const override {
        QMutexLocker lock(&g_cookies->mutex);
        return g_cookies->jar.cookiesForUrl(url);
    }
    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override {
        QMutexLocker lock(&g_cookies->mutex);
        return g_cookies->jar.setCookiesFromUrl(cookies, url);
    }
    bool insertCookie(const QNetworkCookie &cookie) override {
        QMutexLocker lock(&g_cookies->mutex);
        return g_cookies->jar.insertCookie(cookie);
    }
    bool updateCookie(const QNetworkCookie &cookie) override {
        QMutexLocker lock(&g_cookies->mutex);
        return g_cookies->jar.updateCookie(cookie);
    }
    bool deleteCookie(const QNetworkCookie &cookie) override {
        QMutexLocker lock(&g_cookies->mutex);
        return g_cookies->jar.deleteCookie(cookie);
    }
};

// The main thread's manager goes when the application object does, a worker's when its thread ends.
QThreadStorage<HttpManager *> g_managers;

} // namespace

HttpManager *HttpManager::forThread() {
    if (!g_managers.hasLocalData())
        g_managers.setLocalData(new HttpManager);
    return g_managers.localData();
}

void HttpManager::releaseForThread() {
    if (g_managers.hasLocalData())
        g_managers.setLocalData(nullptr); // deletes the manager
}

HttpManager::HttpManager() : m_nam(new QNetworkAccessManager) {
    m_nam->setCookieJar(new SharedCookieJar);
}

HttpManager::~HttpManager() {
    // Transfers (and their replies) go before the access manager they came from.
    const QSet<HttpHandler *> handlers = m_handlers;
    m_handlers.clear();
    for (HttpHandler *handler : handlers)
        handler->detach();
    for (HttpHandler *handler : findChildren<HttpHandler *>(Qt::FindDirectChildrenOnly))
        handler->detach();
    delete m_nam;
}

QString HttpManager::hostKey(const QUrl &url) {
    const int defaultPort = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80;
    return url.host().toLower() + QLatin1Char(':') + QString::number(url.port(defaultPort));
}

HttpHandler *HttpManager::get(const HttpRequest &request, QObject *parent) {
    auto *handler = new HttpHandler(this, request, parent ? parent : this);
    if (!isSupportedHttpUrl(handler->m_url)) {
        handler->m_manager = nullptr;
        handler->fail(FailureTexts::UnsupportedAddress(handler->m_url.toString()));
        return handler;
    }
    const QString key = hostKey(handler->m_url);
    m_handlers.insert(handler);
    m_keys.insert(handler, key);
    Host &host = m_hosts[key];
    host.waiting.push_back(handler);
    startWaiting(key);
    return handler;
}

void HttpManager::startWaiting(const QString &key) {
    auto it = m_hosts.find(key);
    if (it == m_hosts.end())
        return;
    while (it->running < MaxPerHost && !it->waiting.empty()) {
        HttpHandler *next = it->waiting.front();
        it->waiting.pop_front();
        ++it->running;
        next->begin(m_nam);
        it = m_hosts.find(key); // begin() may have ended a transfer of this host
    }
    if (it->running == 0 && it->waiting.empty())
        m_hosts.erase(it);
}

void HttpManager::forget(HttpHandler *handler) {
    if (!m_handlers.remove(handler))
        return;
    const QString key = m_keys.take(handler);
    auto it = m_hosts.find(key);
    if (it == m_hosts.end())
        return;
    if (handler->isStarted()) {
        --it->running;
    } else {
        auto &waiting = it->waiting;
        waiting.erase(std::remove(waiting.begin(), waiting.end(), handler), waiting.end());
    }
    // Started from the event loop: a handler that ends inside begin() must not start others in it.
    QMetaObject::invokeMethod(this, [this, key] { startWaiting(key); }, Qt::QueuedConnection);
}

int HttpManager::runningFor(const QUrl &url) const {
    const auto it = m_hosts.constFind(hostKey(url));
    return it == m_hosts.cend() ? 0 : it->running;
}

int HttpManager::waitingFor(const QUrl &url) const {
    const auto it = m_hosts.constFind(hostKey(url));
    return it == m_hosts.cend() ? 0 : int(it->waiting.size());
}

HttpResult HttpManager::getBlocking(const HttpRequest &request) {
    HttpHandler *handler = forThread()->get(request);
    // finished() always comes from the event loop, so connecting after get() misses nothing.
    QEventLoop loop;
    QObject::connect(handler, &HttpHandler::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const HttpResult result = handler->result();
    delete handler;
    return result;
}

void HttpManager::setDefaultTimeoutMs(int ms) {
    g_defaultTimeoutMs = ms;
}
void HttpManager::setDefaultMaxBytes(qint64 bytes) {
    g_defaultMaxBytes = bytes;
}
void HttpManager::setDefaultDeadlineMs(int ms) {
    g_defaultDeadlineMs = ms;
}
int HttpManager::defaultDeadlineMs() {
    return g_defaultDeadlineMs;
}
int HttpManager::defaultTimeoutMs() {
    return g_defaultTimeoutMs;
}
qint64 HttpManager::defaultMaxBytes() {
    return g_defaultMaxBytes;
}

void HttpManager::addCookies(const QList<QNetworkCookie> &cookies, const QUrl &url) {
    QMutexLocker lock(&g_cookies->mutex);
    g_cookies->jar.setCookiesFromUrl(cookies, url);
}

QList<QNetworkCookie> HttpManager::cookiesFor(const QUrl &url) {
    QMutexLocker lock(&g_cookies->mutex);
    return g_cookies->jar.cookiesForUrl(url);
}
