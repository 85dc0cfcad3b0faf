#include "analysis/SourceLoader.h"

#include "analysis/LoadTexts.h"
#include "analysis/ScriptSink.h"
#include "platform/page/ScriptFetchers.h"
#include "platform/page/PageEngine.h"

#include <QEventLoop>
#include <QFileInfo>

namespace {

const QString Blank = QStringLiteral("about:blank");
// Room the combined text needs beyond a script file's bytes: its header and line breaks.
constexpr qint64 kHeaderRoom = 1 << 17;

} // namespace

SourceLoader::SourceLoader(PageEngine *engine, ScriptSink *sink, QObject *parent)
    : QObject(parent), m_engine(engine), m_sink(sink) {
    m_elapsed.start();
    m_clock = [this] { return double(m_elapsed.nsecsElapsed()) / 1e9; };
    m_poll.setInterval(10);
    connect(&m_poll, &QTimer::timeout, this, &SourceLoader::checkWait);
    if (engine) {
        connect(engine, &PageEngine::documentComplete, this, [this](QObject *source, const QString &address) {
            DocumentComplete(source, address);
            if (m_waiting)
                checkWait();
        });
        connect(engine, &PageEngine::scriptRevealed, this, [this](const QString &src) { prefetch(src); });
        connect(engine, &PageEngine::scriptsSeen, this, [this](int count) {
            if (m_phase == Phase::Page)
                emit pageLoading(count);
        });
    }
}

void SourceLoader::prefetch(const QString &src) {
    if (!m_pageRequested)
        return;
    // An address the engine loaded is taken as it is; anything else is resolved against the requested
    // page, as the collection will (a redirected page simply misses).
    ScriptElement element{src, QString(), false};
    if (isHttpAddress(src))
        element.loaded = src;
    const ScriptPlan plan = planScript(0, element, pageAddressOf(m_document.path));
    if (plan.kind != ScriptClass::Other || !isHttpAddress(plan.address) || m_prefetched.contains(plan.address))
        return;
    m_prefetched.insert(plan.address, ScriptFetch::download(plan.address, this));
}

void SourceLoader::dropPrefetched() {
    for (ScriptFetch *fetch : std::as_const(m_prefetched)) {
        if (fetch && fetch->parent() == this) {
            fetch->abort();
            fetch->deleteLater();
        }
    }
    m_prefetched.clear();
}

SourceLoader::~SourceLoader() {
    abort();
}

void SourceLoader::setClock(std::function<double()> secondsMonotonic) {
    m_clock = std::move(secondsMonotonic);
}

void SourceLoader::setPollIntervalMs(int ms) {
    m_poll.setInterval(ms);
}

void SourceLoader::DocumentComplete(QObject *source, const QString &address) {
    Q_UNUSED(address);
    if (source == m_engine.data())
        IsLoading = false;
}

void SourceLoader::start(SourceKind kind, const QString &path) {
    m_document.beginLoad(kind, path);
    start();
}

void SourceLoader::start() {
    abort();
    m_stopped = false;
    m_failures.clear();
    m_pageFailure.clear();
    m_document.beginLoad(m_document.kind, m_document.path, m_document.name);
    if (m_engine) {
        m_engine->setSilent(true);
        m_engine->navigate(Blank);
    }
    // Pending events run once before the engine is asked whether the blank page is in.
    startWait(Phase::BlankPage);
}

void SourceLoader::startWait(Phase phase) {
    m_phase = phase;
    const quint64 generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation != m_generation)
            return;
        m_t0 = m_clock();
        m_waiting = true;
        checkWait();
        if (m_waiting)
            m_poll.start();
    });
}

void SourceLoader::checkWait() {
    if (!m_waiting)
        return;
    const bool timeUp = m_clock() - m_t0 > WaitLimitSeconds;
    const bool busy = m_engine && m_engine->busy();
    if (m_phase == Phase::BlankPage) {
        if (busy && !timeUp)
            return;
        m_waiting = false;
        m_poll.stop();
        afterBlankPage();
        return;
    }
    if (busy && IsLoading && !timeUp)
        return;
    m_waiting = false;
    m_poll.stop();
    const bool loaded = !busy || !IsLoading;
    // An engine with limits of its own may have ended the page before it was complete: said as when
    // this wait runs out, its document still collected.
    const PageCut cut = m_engine ? m_engine->document().cut : PageCut::None;
    if (!loaded || cut == PageCut::WaitLimit)
        m_pageFailure = LoadTexts::PageNotLoadedInTime(m_document.path);
    else if (cut == PageCut::MemoryLimit)
        m_pageFailure = LoadTexts::PageTooLarge(m_document.path);
    else if (m_engine && !m_engine->document().loadError.isEmpty())
        m_pageFailure = LoadTexts::PageNotOpened(m_document.path, m_engine->document().loadError);
    // A page still loading when the wait ends is stopped: its document is collected as it stands.
    if (m_pageRequested && busy && m_engine)
        m_engine->stop();
    collect();
}

void SourceLoader::afterBlankPage() {
    const quint64 generation = m_generation;
    emit loadStarting(m_document.kind);
    if (generation != m_generation)
        return; // a handler stopped or restarted the load
    if (m_document.kind == SourceKind::ScriptFile)
        打开单个JS文件();
    else if (isPage(m_document.kind))
        OpenPageAndCollect();
    else
        finish();
}

void SourceLoader::halt() {
    ++m_generation;
    m_poll.stop();
    if (m_pageRequested && m_engine)
        m_engine->stop();
    m_pageRequested = false;
    m_waiting = false;
    dropPrefetched();
    if (m_collection) {
        m_collection->disconnect(this);
        m_collection->abort();
        m_collection->deleteLater();
        m_collection = nullptr;
    }
    m_phase = Phase::Idle;
}

void SourceLoader::abort() {
    halt();
}

void SourceLoader::stop() {
    if (m_phase == Phase::Idle)
        return;
    if (m_phase == Phase::Page && m_engine) {
        // The page itself is still loading: what its document holds now is collected, and what has not
        // come is listed as not obtained.
        m_engine->stop();
        m_waiting = false;
        m_poll.stop();
        collect();
    }
    if (m_collection) {
        m_collection->stop(); // the scripts not obtained join the failures
        m_failures = m_collection->failures();
        m_document.collected(m_collection->blocks(), m_collection->firstEncoding());
    }
    halt();
    m_stopped = true;
    emit finished();
}

void SourceLoader::打开单个JS文件() {
    m_phase = Phase::Collecting;
    m_sink->clear();
    if (!m_engine) {
        finish();
        return;
    }
    // The combined text makes room for the file while it is read.
    m_sink->reserve(QFileInfo(m_document.path).size() + kHeaderRoom);
    m_engine->document().appendScript(m_document.path, true, true);
    collect();
}

void SourceLoader::OpenPageAndCollect() {
    m_sink->clear();
    if (!m_engine) {
        m_phase = Phase::Collecting;
        finish();
        return;
    }
    IsLoading = true;
    m_pageRequested = true;
    m_engine->navigate(m_document.path);
    startWait(Phase::Page);
}

void SourceLoader::collect() {
    m_phase = Phase::Collecting;
    m_pageRequested = false;
    if (!m_engine) {
        finish();
        return;
    }
    m_collection = new ScriptCollection(m_engine->document(), m_sink, this);
    connect(m_collection, &ScriptCollection::progress, this, &SourceLoader::progress);
    m_collection->adoptPrefetched(m_prefetched);
    m_prefetched.clear();
    connect(m_collection, &ScriptCollection::finished, this, [this] {
        m_failures = m_collection->failures();
        m_document.collected(m_collection->blocks(), m_collection->firstEncoding());
        m_collection->deleteLater();
        m_collection = nullptr;
        finish();
    });
    m_collection->start();
}

void SourceLoader::finish() {
    ++m_generation;
    m_phase = Phase::Idle;
    emit finished();
}

QList<ScriptFailure> SourceLoader::runBlocking(PageEngine *engine, ScriptSink *sink, SourceKind kind,
                                               const QString &path, QString *pageFailure) {
    SourceLoader loader(engine, sink);
    QEventLoop loop;
    connect(&loader, &SourceLoader::finished, &loop, &QEventLoop::quit);
    loader.start(kind, path);
    loop.exec();
    if (pageFailure)
        *pageFailure = loader.pageFailure();
    return loader.failures();
}
