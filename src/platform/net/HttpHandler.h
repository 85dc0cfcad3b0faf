#pragma once
// One HTTP GET in flight: at most 10 redirects, an inactivity time-out and a body cap; a non-2xx status is
// a failure with a reason, never a body. Made by HttpManager::get(), which may keep it waiting in its
// host's queue before it starts.
//
// finished(result) comes once, from the event loop (never from inside get()), unless cancel() came
// first; cancel() or deleting the handler stops the transfer and frees its place in the host's queue.

#include "platform/net/HttpRequest.h"
#include "platform/net/RequestDefaults.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class HttpManager;
class QNetworkAccessManager;
class QNetworkReply;

class HttpHandler : public QObject {
    Q_OBJECT
public:
    ~HttpHandler() override;

    const HttpRequest &request() const { return m_request; }
    bool isFinished() const { return m_finished; }
    // True from the moment the transfer has a place among its host's running transfers.
    bool isStarted() const { return m_started; }
    const HttpResult &result() const { return m_result; }
    void cancel();

signals:
    void finished(const HttpResult &result);

private:
    friend class HttpManager;
    HttpHandler(HttpManager *manager, const HttpRequest &request, QObject *parent);

    // Called by the manager once the host has room; `nam` outlives the transfer or calls detach() first.
    void begin(QNetworkAccessManager *nam);
    // The manager is going: the transfer ends at once, silently.
    void detach();

    void send(const QUrl &url);
    void dropReply(bool now = false);
    int currentStatus() const;
    void onMetaData();
    void onReadyRead();
    // Appends what the reply holds to the body; false once the body is over the cap.
    bool takeBody();
    void onFinished();
    void failTooLarge();
    void fail(const QString &reason);
    void finish();

    QPointer<HttpManager> m_manager;
    QNetworkAccessManager *m_nam = nullptr;
    QNetworkReply *m_reply = nullptr;
    HttpRequest m_request;
    QUrl m_url;
    int m_timeoutMs;
    qint64 m_maxBytes;
    int m_redirects = 0;
    bool m_started = false;
    bool m_finished = false;
    bool m_cancelled = false;
    QByteArray m_body;
    QString m_certificateProblem;
    RequestDefaults m_defaults = requestDefaults(); // as they were when the request was made
    QTimer m_deadline;
    HttpResult m_result;
};
