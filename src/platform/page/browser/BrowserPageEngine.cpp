#include "platform/page/browser/BrowserPageEngine.h"

#include "platform/FailureTexts.h"
#include "platform/net/HttpManager.h"
#include "platform/page/PageAddress.h"
#include "platform/net/RequestDefaults.h"
#include "platform/page/browser/BrowserLoadError.h"
#include "platform/page/browser/BrowserMemory.h"
#include "platform/page/browser/BrowserReadout.h"
#include "platform/page/browser/BrowserRequests.h"
#include "platform/page/browser/BrowserStartCheck.h"
#include "platform/page/browser/SilentPage.h"

#include <QElapsedTimer>
#include <QNetworkCookie>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCookieStore>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <csignal>
#include <unistd.h>

namespace {

const QString kBlank = QStringLiteral("about:blank");

} // namespace

QUrl browserCookieOrigin(const QNetworkCookie &cookie) {
    QUrl url;
    url.setScheme(cookie.isSecure() ? QStringLiteral("https") : QStringLiteral("http"));
    QString host = cookie.domain();
    if (host.startsWith(QLatin1Char('.')))
        host.remove(0, 1);
    url.setHost(host);
    url.setPath(cookie.path().isEmpty() ? QStringLiteral("/") : cookie.path());
    return url;
}

namespace {

class BrowserPageEngine final : public PageEngine {
public:
    BrowserPageEngine(QObject *parent, const BrowserTiming &timing) : PageEngine(parent), m_timing(timing) {
        m_document.url = kBlank;
        m_poll.setInterval(m_timing.pollMs);
        connect(&m_poll, &QTimer::timeout, this, [this] { poll(); });
        m_limit.setSingleShot(true);
        connect(&m_limit, &QTimer::timeout, this, [this] { endByTime(); });
        m_grace.setSingleShot(true);
        connect(&m_grace, &QTimer::timeout, this, [this] { finish(); });
        m_memory.setInterval(m_timing.memoryPollMs);
        connect(&m_memory, &QTimer::timeout, this, [this] { watchMemory(); });
    }

    ~BrowserPageEngine() override { release(); }

    void setSilent(bool) override {} // always silent
    bool busy() const override { return m_busy; }
    PageDocument &document() override { return m_document; }

    void navigate(const QString &address) override {
        release();
        m_busy = true;
        m_loadError.clear();
        ++m_generation;
        const QString requested = address.trimmed();
        m_requested = requested;
        m_document = PageDocument{requested, {}, {}};
        QUrl url;
        if (isHttpAddress(requested)) {
            url = QUrl(requested, QUrl::TolerantMode);
        } else if (requested.compare(kBlank, Qt::CaseInsensitive) != 0) {
            const QString path = localPathOf(requested);
            if (!path.isEmpty())
                url = QUrl::fromLocalFile(path);
            else
                m_loadError = m_document.loadError = QStringLiteral("不支持的地址");
        } else {
            m_document.url = kBlank;
        }
        if (!url.isValid()) { // the blank page, or an address no browser opens
            afterEvents(m_generation, [this] { complete(); });
            return;
        }
        open(url);
    }

    void stop() override {
        if (m_busy && m_page)
            m_document = documentSoFar();
        release();
        m_busy = false;
    }

private:
    void open(const QUrl &url) {
        m_profile = createSilentProfile(nullptr); // outlives the engine until its page has gone
        QWebEngineScript observer;
        observer.setName(QStringLiteral("varnel-observer"));
        observer.setSourceCode(BrowserReadout::observerScript());
        observer.setInjectionPoint(QWebEngineScript::DocumentCreation);
        observer.setWorldId(QWebEngineScript::ApplicationWorld);
        observer.setRunsOnSubFrames(false);
        m_profile->scripts()->insert(observer);
        // The run's user agent and headers go with the engine's own requests too.
        const RequestDefaults &defaults = requestDefaults();
        if (!defaults.userAgent.isEmpty())
            m_profile->setHttpUserAgent(QString::fromUtf8(defaults.userAgent));
        m_requests = new BrowserRequests(m_profile);
        // The engine has a network stack of its own: what the page sets, the collection's fetches carry.
        connect(m_profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie &c) {
            HttpManager::addCookies({c}, c.domain().isEmpty() && m_page ? m_page->url() : browserCookieOrigin(c));
        });
        m_page = new SilentPage(m_profile);
        m_page->setUrlRequestInterceptor(m_requests);
        // The profile goes once its page has gone.
        connect(m_page, &QObject::destroyed, m_profile, &QObject::deleteLater);
        // A page no one sees is throttled by the engine (timers slowed to a crawl); this one counts as seen.
        m_page->setVisible(true);
        connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
            loadingChanged(info);
        });
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this, [this] {
            if (m_loadError.isEmpty() && m_cut == PageCut::None)
                m_loadError = FailureTexts::RendererEnded;
            finish();
        });
        m_state = {};
        m_seenCount = 0;
        m_mainFinished = false;
        m_reading = false;
        m_finalRead = false;
        m_stopped = false;
        m_answeredLast = false;
        m_cut = PageCut::None;
        m_settle.start();
        m_limit.start(m_timing.limitMs);
        m_poll.start();
        m_ownAtStart = BrowserMemory::residentBytes(::getpid());
        m_memory.start();
        m_page->load(url);
    }

    void loadingChanged(const QWebEngineLoadingInfo &info) {
        // A stop is this engine's own doing (the wait ended by time), never the page's failure.
        if (m_stopped || info.status() == QWebEngineLoadingInfo::LoadStoppedStatus)
            return;
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            m_mainFinished = false; // a page that keeps navigating never settles
            return;
        }
        using D = BrowserLoadError::Domain;
        D domain = D(int(info.errorDomain()));
        QString reason = BrowserLoadError::reason(domain, info.errorCode(), info.errorString());
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && reason.isEmpty())
            reason = BrowserLoadError::reason(D::Internal, info.errorCode(), info.errorString());
        if (domain == D::Certificate || (info.errorCode() <= -200 && info.errorCode() > -300)) {
            if (!m_page->certificateProblem().isEmpty())
                reason = FailureTexts::Certificate(m_page->certificateProblem());
        }
        if (!reason.isEmpty()) {
            m_loadError = reason;
            finish();
            return;
        }
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
            m_mainFinished = true;
            m_settle.restart();
        }
    }

    void poll() {
        if (!m_page || m_reading)
            return;
        if (m_mainFinished && m_settle.elapsed() >= m_timing.settleMs)
            return finalRead();
        read(int(m_state.seen.size()));
    }

    void read(int from) {
        m_reading = true;
        const quint64 id = m_generation;
        QPointer<BrowserPageEngine> self(this);
        m_page->runJavaScript(BrowserReadout::readoutScript(from), QWebEngineScript::ApplicationWorld,
                              [self, id](const QVariant &answer) {
                                  if (self && id == self->m_generation)
                                      self->answered(answer);
                              });
    }

    void answered(const QVariant &answer) {
        m_reading = false;
        if (!BrowserReadout::merge(answer, m_state))
            return;
        for (int i = m_seenCount; i < m_state.seen.size(); ++i)
            if (!m_state.seen[i].src.isEmpty())
                emit scriptRevealed(m_state.seen[i].loaded.isEmpty() ? m_state.seen[i].src : m_state.seen[i].loaded);
        if (m_state.seen.size() != m_seenCount) {
            m_settle.restart();
            emit scriptsSeen(int(m_state.seen.size()));
        }
        m_seenCount = int(m_state.seen.size());
        if (m_finalRead) {
            m_answeredLast = true;
            finish();
        }
    }

    // Reads the whole page once more (texts may have grown since first seen), then completes.
    void finalRead() {
        m_finalRead = true;
        m_poll.stop();
        m_grace.start(m_timing.readGraceMs);
        read(0);
    }

    void endByTime() {
        if (!m_page)
            return;
        m_cut = PageCut::WaitLimit;
        m_stopped = true;
        m_page->triggerAction(QWebEnginePage::Stop);
        if (m_reading) {
            // The poll in flight has not come back: the page is busy; give it the grace time to answer.
            m_finalRead = true;
            m_poll.stop();
            m_grace.start(m_timing.readGraceMs);
            return;
        }
        finalRead();
    }

    // The renderer and the network service together stay within the bound: a page past it is ended at
    // once (its renderer may be running away in a loop of its own), keeping what it had revealed.
    void watchMemory() {
        if (!m_page || m_cut == PageCut::MemoryLimit)
            return;
        // A network service inside this process (as the engine runs it here) shows as this process's growth.
        const qint64 network = BrowserMemory::networkServicePid();
        const qint64 used = BrowserMemory::residentBytes(m_page->renderProcessPid()) +
                            (network > 0 ? BrowserMemory::residentBytes(network)
                                         : qMax<qint64>(0, BrowserMemory::residentBytes(::getpid()) - m_ownAtStart));
        if (used <= m_timing.memoryLimitBytes)
            return;
        m_cut = PageCut::MemoryLimit;
        m_stopped = true;
        const qint64 renderer = m_page->renderProcessPid();
        if (renderer > 0)
            ::kill(pid_t(renderer), SIGKILL);
        finish();
    }

    // What the page holds now: what the read-outs found, and, when the last read-out did not come back
    // (the page's own script blocks its document), the scripts the engine had requested as well.
    PageDocument documentSoFar() const {
        PageDocument document = BrowserReadout::documentOf(m_state, m_page ? addressOf(m_page->url()) : m_requested);
        if (m_answeredLast || !m_requests)
            return document;
        QSet<QString> known;
        for (const ScriptElement &element : std::as_const(document.scripts))
            known.insert(element.loaded);
        for (const QString &address : m_requests->scripts()) {
            const QString loaded = BrowserReadout::loadedAddress(address);
            if (!known.contains(loaded))
                document.scripts.append(ScriptElement{address, QString(), false, loaded});
        }
        return document;
    }

    // Hands over what is known and lets the page go.
    void finish() {
        if (!m_busy || !m_page)
            return;
        if (m_loadError.isEmpty()) {
            m_document = documentSoFar();
            m_document.cut = m_cut;
        } else {
            m_document = PageDocument{m_requested, {}, m_loadError};
        }
        release();
        complete();
    }

    // The page address as the browser reports it; a local file as "file://" + its native path.
    static QString addressOf(const QUrl &url) {
        if (url.isLocalFile())
            return QStringLiteral("file://") + url.toLocalFile();
        return url.toString(QUrl::FullyEncoded);
    }

    void release() {
        ++m_generation; // answers still on their way are for a page that is gone
        m_poll.stop();
        m_limit.stop();
        m_grace.stop();
        m_memory.stop();
        m_reading = false;
        if (m_page) {
            m_page->disconnect(this);
            m_page->triggerAction(QWebEnginePage::Stop);
        }
        if (m_page)
            m_page->deleteLater();
        else if (m_profile)
            m_profile->deleteLater();
        m_page = nullptr;
        m_profile = nullptr;
        m_requests = nullptr;
    }

    void complete() {
        m_busy = false;
        emit documentComplete(this, m_document.url);
    }

    BrowserTiming m_timing;
    QPointer<QWebEngineProfile> m_profile;
    QPointer<SilentPage> m_page;
    QTimer m_poll;
    QTimer m_limit;
    QTimer m_grace;
    QTimer m_memory;
    QPointer<BrowserRequests> m_requests;
    PageCut m_cut = PageCut::None;
    qint64 m_ownAtStart = 0; // this process's resident bytes when the page was opened
    bool m_answeredLast = false; // the final read-out came back
    QElapsedTimer m_settle;
    BrowserReadout::State m_state;
    PageDocument m_document;
    QString m_requested;
    QString m_loadError;
    quint64 m_generation = 0;
    int m_seenCount = 0;
    bool m_busy = false;
    bool m_mainFinished = false;
    bool m_reading = false;
    bool m_finalRead = false;
    bool m_stopped = false;
};

} // namespace

PageEngine *createBrowserPageEngine(QObject *parent, const BrowserTiming &timing) {
    BrowserStartCheck::prepareSwitches();
    return new BrowserPageEngine(parent, timing);
}
