#pragma once
// A real HTTP server on 127.0.0.1 (cpp-httplib) on a thread of its own, for tests and benchmarks.
// Routes answer by exact path; a route may delay, set a status, a content type or redirect.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/plain";
        QByteArray location; // for redirects (status 301/302)
        int delayMs = 0;     // wait before answering
        QList<QPair<QByteArray, QByteArray>> headers; // further response headers (Set-Cookie, ...)
        // The body is sent again and again, chunked, until the client goes away (at most 4 GiB).
        bool endless = false;
        // Waits, before answering, until release() (or until the server goes): a slow server whose answer
        // comes exactly when the test wants it.
        bool held = false;
    };

    // A response without naming every field.
    static Response reply(int status, const QByteArray &body, const QByteArray &type = "text/javascript",
                          const QByteArray &location = {}, int delayMs = 0) {
        Response r;
        r.status = status;
        r.body = body;
        r.contentType = type;
        r.location = location;
        r.delayMs = delayMs;
        return r;
    }

    // HttpsBrowserTrusted serves a second certificate, the one TestEnv::trustInBrowserEngine makes the
    // browser engine trust (Https stays untrusted there).
    enum class Scheme { Http, Https, HttpsBrowserTrusted };
    // Https serves with the test certificate (127.0.0.1, self-signed), which no client trusts unless
    // told to (trustCertificate()).
    // `threads`: how many requests are served at once (each kept-alive connection holds one).
    explicit LocalHttpServer(Scheme scheme = Scheme::Http, int threads = 32);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer &) = delete;
    LocalHttpServer &operator=(const LocalHttpServer &) = delete;

    // Answers GET `path` (query ignored) with `response`.
    void route(const QString &path, const Response &response);
    // Answers GET `path` by calling `handler` with the full target (path and query).
    void route(const QString &path, std::function<Response(const QString &target)> handler);

    // "http://127.0.0.1:<port>" (or https)
    QString baseUrl() const;
    // The test certificate (PEM), and making Qt's network access trust it in this process.
    static QString certificatePath();
    static QString browserTrustedCertificatePath();
    static void trustCertificate();
    // Fills a test text's placeholders: $DIR = `dir`, $HTTP = baseUrl(), $HOST = "127.0.0.1:<port>", $PORT =
    // port.
    QString expand(QString text, const QString &dir) const;
    QStringList expand(const QStringList &texts, const QString &dir) const;
    int port() const;
    // Number of requests that reached `path` so far.
    int hits(const QString &path) const;
    // Lets every held answer go, those waiting now and those still to come (until hold()).
    void release();
    // Answers marked held wait again, as they do on a new server.
    void hold();
    // Number of answers to `path` handed to the connection so far (after any hold or delay).
    int answered(const QString &path) const;
    // The value of header `name` (letter case ignored) in the last request that reached `path`; empty
    // when it had none.
    QByteArray lastHeader(const QString &path, const QByteArray &name) const;
    // The most requests this server has been answering at one time.
    int peakConcurrent() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
