#pragma once
// HTTP GET over QNetworkAccessManager: at most 10 redirects, a transfer time-out (30 s) and a body cap
// (64 MiB); a non-2xx status is a failure with a reason, never a body. Asynchronous for the program;
// getBlocking() only for the command line and benchmarks.

#include <QByteArray>
#include <QObject>
#include <QString>

struct HttpResult {
    bool ok = false;
    int status = 0;         // HTTP status, 0 when none arrived
    QByteArray body;        // empty unless ok
    QByteArray contentType; // Content-Type header
    QString finalUrl;       // address after redirects
    QString error;          // reason of a failure (status, time-out, too large, network error), in Chinese
};

class HttpRequest : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isFinished() const = 0;
    virtual const HttpResult &result() const = 0;
    // Stops the transfer; finished() is not emitted afterwards.
    virtual void abort() = 0;
signals:
    void finished();
};

class HttpClient : public QObject {
    Q_OBJECT
public:
    explicit HttpClient(QObject *parent = nullptr);
    ~HttpClient() override;

    // Starts a GET of `url`. The request belongs to the caller (parented to this client).
    HttpRequest *get(const QString &url);

    int timeoutMs() const;
    qint64 maxBytes() const;
    void setTimeoutMs(int ms);
    void setMaxBytes(qint64 bytes);

    // Program-wide defaults for new clients (tests make them small).
    static void setDefaultTimeoutMs(int ms);
    static void setDefaultMaxBytes(qint64 bytes);
    static int defaultTimeoutMs();
    static qint64 defaultMaxBytes();

    // Runs a GET to its end in a local event loop. Command line and benchmarks only.
    static HttpResult getBlocking(const QString &url);

private:
    class Private;
    Private *d;
};
