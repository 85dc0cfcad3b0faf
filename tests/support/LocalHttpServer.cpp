#include "support/LocalHttpServer.h"

#include <httplib.h>

#include <QFile>
#include <QHash>
#include <QSslCertificate>
#include <QSslConfiguration>

#include <algorithm>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

struct LocalHttpServer::Impl {
    std::unique_ptr<httplib::Server> owned;
    httplib::Server &server;
    bool secure = false;
    explicit Impl(Scheme scheme) : owned(serverFor(scheme)), server(*owned), secure(scheme != Scheme::Http) {}

    static std::unique_ptr<httplib::Server> serverFor(Scheme scheme) {
        switch (scheme) {
        case Scheme::Https:
            return std::make_unique<httplib::SSLServer>(VARNEL_TEST_TLS_DIR "/cert.pem", VARNEL_TEST_TLS_DIR "/key.pem");
        case Scheme::HttpsBrowserTrusted:
            return std::make_unique<httplib::SSLServer>(VARNEL_TEST_TLS_DIR "/browser-trusted-cert.pem",
                                                        VARNEL_TEST_TLS_DIR "/browser-trusted-key.pem");
        case Scheme::Http:
            break;
        }
        return std::make_unique<httplib::Server>();
    }
    std::thread thread;
    int port = 0;
    mutable std::mutex mutex;
    QHash<QString, std::function<Response(const QString &)>> routes;
    QHash<QString, int> hits;
    QHash<QString, QHash<QByteArray, QByteArray>> headers; // of the last request, by path; names lower case
    int inFlight = 0;
    int peak = 0;
    std::condition_variable stopping; // a delayed answer ends its wait when the server goes
    bool stopped = false;
    bool released = false;
    QHash<QString, int> answered;
};

namespace {

// Shuts down (without closing: the worker that owns it does that) every connection this process accepted
// on `port`. A cpp-httplib worker waits on a kept-alive connection for the next request up to its
// keep-alive time (5 s) before it looks whether the server is stopping; the client keeps the connection
// open for longer, so without this every server that had a client took 5 s to go.
void shutDownAccepted(int port) {
    DIR *fds = ::opendir("/proc/self/fd");
    if (!fds)
        return;
    while (const dirent *entry = ::readdir(fds)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == ::dirfd(fds))
            continue;
        sockaddr_in local{};
        socklen_t length = sizeof local;
        int listening = 0;
        socklen_t flagLength = sizeof listening;
        if (::getsockname(int(fd), reinterpret_cast<sockaddr *>(&local), &length) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != port ||
            ::getsockopt(int(fd), SOL_SOCKET, SO_ACCEPTCONN, &listening, &flagLength) != 0 || listening)
            continue;
        ::shutdown(int(fd), SHUT_RDWR);
    }
    ::closedir(fds);
}

} // namespace

LocalHttpServer::LocalHttpServer(Scheme scheme, int threads) : d(std::make_unique<Impl>(scheme)) {
    // Clients keep connections alive and each one holds a worker; a pool larger than cpp-httplib's
    // default lets several clients and many parallel transfers be served at once.
    d->server.new_task_queue = [threads] { return new httplib::ThreadPool(size_t(threads)); };
    // Headers and body go out in separate writes; without this, a kept-alive connection waits for the
    // client's delayed acknowledgement (~40 ms) on every response.
    d->server.set_tcp_nodelay(true);
    d->server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
        const QString path = QString::fromStdString(req.path);
        std::function<Response(const QString &)> handler;
        {
            std::lock_guard<std::mutex> lock(d->mutex);
            d->hits[path] += 1;
            QHash<QByteArray, QByteArray> &seen = d->headers[path];
            seen.clear();
            for (const auto &[name, value] : req.headers)
                seen.insert(QByteArray::fromStdString(name).toLower(), QByteArray::fromStdString(value));
            d->peak = std::max(d->peak, ++d->inFlight);
            handler = d->routes.value(path);
        }
        struct Leave {
            Impl *d;
            ~Leave() {
                std::lock_guard<std::mutex> lock(d->mutex);
                --d->inFlight;
            }
        } leave{d.get()};
        if (!handler) {
            res.status = 404;
            return;
        }
        QString target = path;
        if (!req.params.empty()) {
            QStringList parts;
            for (const auto &p : req.params)
                parts << QString::fromStdString(p.first + "=" + p.second);
            target += QLatin1Char('?') + parts.join(QLatin1Char('&'));
        }
        const Response r = handler(target);
        if (r.delayMs > 0) {
            std::unique_lock<std::mutex> lock(d->mutex);
            d->stopping.wait_for(lock, std::chrono::milliseconds(r.delayMs), [this] { return d->stopped; });
        }
        if (r.held) {
            std::unique_lock<std::mutex> lock(d->mutex);
            d->stopping.wait(lock, [this] { return d->stopped || d->released; });
        }
        {
            std::lock_guard<std::mutex> lock(d->mutex);
            d->answered[path] += 1;
        }
        res.status = r.status;
        if (!r.location.isEmpty())
            res.set_header("Location", r.location.toStdString());
        for (const auto &[name, value] : r.headers)
            res.set_header(name.toStdString(), value.toStdString());
        if (!r.endless) {
            res.set_content(r.body.toStdString(), r.contentType.toStdString());
            return;
        }
        const auto chunk = std::make_shared<std::string>(r.body.isEmpty() ? std::string(65536, 'x') : r.body.toStdString());
        res.set_chunked_content_provider(r.contentType.toStdString(), [chunk](size_t offset, httplib::DataSink &sink) {
            constexpr size_t kMost = size_t(4) << 30; // ends by itself should the client never stop
            if (offset >= kMost) {
                sink.done();
                return true;
            }
            return sink.write(chunk->data(), chunk->size());
        });
    });
    d->port = d->server.bind_to_any_port("127.0.0.1");
    d->thread = std::thread([this] { d->server.listen_after_bind(); });
    // The listening thread says nothing when it is ready: its state is polled, not waited for by the clock.
    while (!d->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LocalHttpServer::~LocalHttpServer() {
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopped = true;
    }
    d->stopping.notify_all();
    d->server.stop();
    shutDownAccepted(d->port);
    if (d->thread.joinable())
        d->thread.join();
}

void LocalHttpServer::route(const QString &path, const Response &response) {
    route(path, [response](const QString &) { return response; });
}

void LocalHttpServer::route(const QString &path, std::function<Response(const QString &)> handler) {
    std::lock_guard<std::mutex> lock(d->mutex);
    d->routes.insert(path, std::move(handler));
}

QString LocalHttpServer::baseUrl() const {
    return QStringLiteral("%1://127.0.0.1:%2").arg(d->secure ? "https" : "http").arg(d->port);
}

QString LocalHttpServer::certificatePath() {
    return QStringLiteral(VARNEL_TEST_TLS_DIR "/cert.pem");
}

QString LocalHttpServer::browserTrustedCertificatePath() {
    return QStringLiteral(VARNEL_TEST_TLS_DIR "/browser-trusted-cert.pem");
}

void LocalHttpServer::trustCertificate() {
    QFile file(certificatePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(QSslCertificate::fromData(file.readAll(), QSsl::Pem));
    QSslConfiguration::setDefaultConfiguration(config);
}

QString LocalHttpServer::expand(QString text, const QString &dir) const {
    text.replace(QLatin1String("$DIR"), dir);
    text.replace(QLatin1String("$HTTP"), baseUrl());
    text.replace(QLatin1String("$HOST"), QStringLiteral("127.0.0.1:%1").arg(d->port));
    text.replace(QLatin1String("$PORT"), QString::number(d->port));
    return text;
}

QStringList LocalHttpServer::expand(const QStringList &texts, const QString &dir) const {
    QStringList out;
    for (const QString &text : texts)
        out << expand(text, dir);
    return out;
}

int LocalHttpServer::port() const {
    return d->port;
}

int LocalHttpServer::hits(const QString &path) const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->hits.value(path);
}

void LocalHttpServer::release() {
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->released = true;
    }
    d->stopping.notify_all();
}

void LocalHttpServer::hold() {
    std::lock_guard<std::mutex> lock(d->mutex);
    d->released = false;
}

int LocalHttpServer::answered(const QString &path) const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->answered.value(path);
}

QByteArray LocalHttpServer::lastHeader(const QString &path, const QByteArray &name) const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->headers.value(path).value(name.toLower());
}

int LocalHttpServer::peakConcurrent() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->peak;
}
