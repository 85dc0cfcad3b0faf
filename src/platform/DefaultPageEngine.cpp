// The embedded page engine: about:blank, local page files and http(s) pages, parsed with gumbo.

#include "platform/HttpClient.h"
#include "platform/PageAddress.h"
#include "platform/PageEngine.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QPromise>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <memory>

namespace {

const QString kBlank = QStringLiteral("about:blank");

class DefaultPageEngine final : public PageEngine {
public:
    explicit DefaultPageEngine(QObject *parent) : PageEngine(parent), m_http(new HttpClient(this)) {
        m_document.url = kBlank;
    }

    void setSilent(bool silent) override { m_silent = silent; }

    void navigate(const QString &address) override {
        cancel();
        m_busy = true;
        const quint64 id = m_generation;
        const QString requested = address.trimmed();
        if (isHttpAddress(requested)) {
            m_request = m_http->get(requested);
            connect(m_request, &HttpRequest::finished, this,
                    [this, id, requested] { httpDone(id, requested); });
            return;
        }
        if (requested.compare(kBlank, Qt::CaseInsensitive) == 0) {
            // The blank page is there at once, so a script element added right after navigate() stays.
            m_document = PageDocument{kBlank, {}};
            QMetaObject::invokeMethod(
                this,
                [this, id] {
                    if (id == m_generation)
                        complete();
                },
                Qt::QueuedConnection);
            return;
        }
        QMetaObject::invokeMethod(
            this,
            [this, id, requested] {
                if (id == m_generation)
                    loadLocal(id, requested);
            },
            Qt::QueuedConnection);
    }

    bool busy() const override { return m_busy; }
    PageDocument &document() override { return m_document; }

    void stop() override {
        cancel();
        m_busy = false;
    }

private:
    // Forgets the navigation in progress: its request stops and its completion is never reported.
    void cancel() {
        ++m_generation;
        if (m_request) {
            m_request->abort();
            m_request->deleteLater();
            m_request = nullptr;
        }
        if (m_watcher) {
            // The worker runs to its end; its document is simply never looked at.
            m_watcher->disconnect(this);
            m_watcher->deleteLater();
            m_watcher = nullptr;
        }
    }

    // Decoding and parsing a page of several megabytes runs on a worker thread, so the windows stay
    // usable and a load that takes too long can be abandoned.
    void buildInBackground(quint64 id, std::function<PageDocument()> build) {
        auto promise = std::make_shared<QPromise<PageDocument>>();
        auto *watcher = new QFutureWatcher<PageDocument>(this);
        m_watcher = watcher;
        connect(watcher, &QFutureWatcherBase::finished, this, [this, id, watcher] {
            watcher->deleteLater();
            if (id != m_generation)
                return;
            m_watcher = nullptr;
            if (watcher->future().resultCount() > 0)
                m_document = watcher->future().result();
            complete();
        });
        watcher->setFuture(promise->future());
        promise->start();
        QThreadPool::globalInstance()->start([promise, build = std::move(build)] {
            promise->addResult(build());
            promise->finish();
        });
    }

    void httpDone(quint64 id, const QString &requested) {
        if (id != m_generation || !m_request)
            return;
        const HttpResult result = m_request->result();
        m_request->deleteLater();
        m_request = nullptr;
        if (!result.ok) {
            m_document = PageDocument{requested, {}, result.error};
            return complete();
        }
        buildInBackground(id, [body = result.body, contentType = result.contentType, url = result.finalUrl] {
            const QByteArray charset = TextCodec::charsetFromContentType(contentType);
            return parseHtmlDocument(TextCodec::decodeHtml(body, charset).text, url);
        });
    }

    void loadLocal(quint64 id, const QString &requested) {
        const QString path = localPathOf(requested);
        if (path.isEmpty()) {
            m_document = PageDocument{requested, {}, QStringLiteral("不支持的地址")};
            return complete();
        }
        // "file://" + the native path: stripping seven characters gives the disk path back.
        const QString url = QStringLiteral("file://") + path;
        buildInBackground(id, [path, url] {
            const TextCodec::FileBytes file = TextCodec::readFileBytes(path);
            if (!file.ok)
                return PageDocument{url, {}, file.reason};
            return parseHtmlDocument(TextCodec::decodeHtml(file.bytes).text, url);
        });
    }

    void complete() {
        m_busy = false;
        emit documentComplete(this, m_document.url);
    }

    HttpClient *m_http;
    QPointer<HttpRequest> m_request;
    QFutureWatcher<PageDocument> *m_watcher = nullptr;
    PageDocument m_document;
    quint64 m_generation = 0;
    bool m_busy = false;
    bool m_silent = true;
};

} // namespace

PageEngine *createDefaultPageEngine(QObject *parent) {
    return new DefaultPageEngine(parent);
}
