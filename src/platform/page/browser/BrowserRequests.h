#pragma once
// What the browser engine's own requests carry and what they reveal: every request of a page gets the
// run's extra headers (--header), and the scripts the engine asks for are noted, so that a page whose
// own script blocks its document (an endless loop) still names the scripts it had requested.

#include <QMutex>
#include <QStringList>
#include <QWebEngineUrlRequestInterceptor>

class BrowserRequests : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // The addresses of the scripts requested so far, in the order asked, each once.
    QStringList scripts() const;

private:
    mutable QMutex m_mutex; // the engine may ask from a thread of its own
    QStringList m_scripts;
};
