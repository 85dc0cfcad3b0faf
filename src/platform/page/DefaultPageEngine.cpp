// The embedded page engine: about:blank, local page files and http(s) pages, parsed with gumbo.

#include "platform/FailureTexts.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageAddress.h"
#include "platform/WorkerPool.h"
#include "platform/page/PageEngine.h"
#include "platform/text/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QPromise>
#include <QUrl>

#include <functional>
#include <memory>

namespace {

const QString kBlank = QStringLiteral("about:blank");

HtmlParser g_testParser;

HtmlParser currentParser() {
    return g_testParser ? g_testParser : HtmlParser(parseHtmlDocument);
}

class DefaultPageEngine final : public PageEngine {
public:
    explicit DefaultPageEngine(QObject *parent) : PageEngine(parent) {
        m_document.url = kBlank;
    }

    // A window that goes takes its engine with it: the page being built is cancelled.
    ~DefaultPageEngine() override { m_token.cancel(); }

    void setSilent(bool silent) override { m_silent = silent; }

    void navigate(const QString &address) override {
        cancel();
        m_busy = true;
        const quint64 id = m_generation;
        const QString requested = address.trimmed();
        if (isHttpAddress(requested)) {
            m_request = HttpManager::forThread()->get(requested, this);
            connect(m_request, &HttpHandler::finished, this,
                    [this, id, requested] { httpDone(id, requested); });
            return;
        }
        if (requested.compare(kBlank, Qt::CaseInsensitive) == 0) {
            m_document = PageDocument{kBlank, {}, {}};
            afterEvents(m_generation, [this] { complete(); });
            return;
        }
        afterEvents(m_generation, [this, id, requested] { loadLocal(id, requested); });
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
            m_request->cancel();
            m_request->deleteLater();
            m_request = nullptr;
        }
        m_token.cancel();
        m_token = CancelToken();
        if (m_watcher) {
            // The worker stops at its next step (a parse already inside gumbo runs to its end); its
            // document is never looked at.
            m_watcher->disconnect(this);
            m_watcher->deleteLater();
            m_watcher = nullptr;
        }
    }

    // Decoding and parsing a page of several megabytes runs on a worker thread, so the windows stay
    // usable and a load that takes too long can be abandoned. The build looks at its token between read,
    // decode and parse.
    void buildInBackground(quint64 id, std::function<PageDocument(const CancelToken &)> build) {
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
        watcher->setFuture(WorkerPool::program().run<PageDocument>(m_token, std::move(build)));
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
        buildInBackground(id, [body = result.body, contentType = result.contentType, url = result.finalUrl,
                               parse = currentParser()](const CancelToken &token) {
            const QByteArray charset = TextCodec::charsetFromContentType(contentType);
            const QString html = TextCodec::decodeHtml(body, charset).text;
            if (token.isCancelled())
                return PageDocument{url, {}, {}};
            return parse(html, url);
        });
    }

    void loadLocal(quint64 id, const QString &requested) {
        const QString path = localPathOf(requested);
        if (path.isEmpty()) {
            m_document = PageDocument{requested, {}, FailureTexts::UnsupportedAddressBare};
            return complete();
        }
        // "file://" + the native path: stripping seven characters gives the disk path back.
        const QString url = QStringLiteral("file://") + path;
        buildInBackground(id, [path, url, parse = currentParser()](const CancelToken &token) {
            const TextCodec::FileBytes file = TextCodec::readFileBytes(path);
            if (!file.ok)
                return PageDocument{url, {}, file.reason};
            if (token.isCancelled())
                return PageDocument{url, {}, {}};
            const QString html = TextCodec::decodeHtml(file.bytes).text;
            if (token.isCancelled())
                return PageDocument{url, {}, {}};
            return parse(html, url);
        });
    }

    void complete() {
        m_busy = false;
        emit documentComplete(this, m_document.url);
    }

    QPointer<HttpHandler> m_request;
    QFutureWatcher<PageDocument> *m_watcher = nullptr;
    CancelToken m_token; // of the navigation in progress
    PageDocument m_document;
    quint64 m_generation = 0;
    bool m_busy = false;
    bool m_silent = true;
};

} // namespace

void setHtmlParserForTests(HtmlParser parser) {
    g_testParser = std::move(parser);
}

PageEngine *createDefaultPageEngine(QObject *parent) {
    return new DefaultPageEngine(parent);
}
