#pragma once
// The program's HTTP: one network access manager per thread that fetches (made on first use, gone with
// its thread), one cookie jar for the whole program, and per-host queues. The static page engine, the
// script collection and the download viewer all fetch through here, so a page and its scripts share
// connections and cookies.
//
// Up to MaxPerHost transfers run at once for one host (host and port); more wait in that host's queue in
// the order they were asked for; different hosts run in parallel. Asynchronous for the program;
// getBlocking() only for the command line and benchmarks.

#include "platform/net/HttpHandler.h"
#include "platform/net/HttpRequest.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

#include <deque>

class QNetworkAccessManager;
class QNetworkCookie;

// True for a valid "http" or "https" address (letter case of the scheme ignored).
bool isSupportedHttpUrl(const QUrl &url);

class HttpManager : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxPerHost = 6;

    // The manager of the calling thread.
    static HttpManager *forThread();
    // Deletes the calling thread's manager, if it has one, so that its transfers and the network layer's
    // own thread end while the application object still exists (a command line before it returns).
    static void releaseForThread();

    // Starts (or queues) a GET. The handler belongs to `parent`, or to the manager when none is given;
    // deleting it cancels it.
    HttpHandler *get(const HttpRequest &request, QObject *parent = nullptr);

    // Runs a GET to its end in a local event loop. Command line and benchmarks only.
    static HttpResult getBlocking(const HttpRequest &request);

    // Transfers running and waiting for the host of `url` (host and port).
    int runningFor(const QUrl &url) const;
    int waitingFor(const QUrl &url) const;

    // Program-wide defaults for requests that set none (tests make them small).
    static void setDefaultTimeoutMs(int ms);
    static void setDefaultMaxBytes(qint64 bytes);
    static int defaultTimeoutMs();
    // Overall deadline of a transfer when the command line sets none (--timeout).
    static void setDefaultDeadlineMs(int ms);
    static int defaultDeadlineMs();
    static qint64 defaultMaxBytes();

    // The program's cookie jar, from any thread: cookies another network stack received (the browser
    // engine) are added here so fetches carry them.
    static void addCookies(const QList<QNetworkCookie> &cookies, const QUrl &url);
    static QList<QNetworkCookie> cookiesFor(const QUrl &url);

    ~HttpManager() override;

private:
    friend class HttpHandler;
    HttpManager();

    struct Host {
        int running = 0;
        std::deque<HttpHandler *> waiting;
    };
    static QString hostKey(const QUrl &url);
    // A handler has finished, been cancelled or deleted: its place (or its turn) is given up.
    void forget(HttpHandler *handler);
    void startWaiting(const QString &key);

    QNetworkAccessManager *m_nam;
    QHash<QString, Host> m_hosts;
    QSet<HttpHandler *> m_handlers;   // every handler not yet forgotten
    QHash<HttpHandler *, QString> m_keys;
};
