#include "analysis/SourceLoader.h"

#include "analysis/ScriptSink.h"
#include "analysis/ScriptFetchers.h"
#include "platform/HttpClient.h"
#include "platform/PageEngine.h"

#include <QEventLoop>

SourceLoader::SourceLoader(PageEngine *engine, ScriptSink *sink, QObject *parent)
    : QObject(parent), m_engine(engine), m_sink(sink) {
    m_elapsed.start();
    m_clock = [this] { return double(m_elapsed.nsecsElapsed()) / 1e9; };
    m_poll.setInterval(50);
    connect(&m_poll, &QTimer::timeout, this, &SourceLoader::checkWait);
    if (engine) {
        connect(engine, &PageEngine::documentComplete, this, [this](QObject *source, const QString &address) {
            DocumentComplete(source, address);
            if (m_waiting)
                checkWait();
        });
        connect(engine, &PageEngine::scriptRevealed, this, [this](const QString &src) { prefetch(src); });
    }
}

void SourceLoader::prefetch(const QString &src) {
    if (!m_pageRequested)
        return;
    // Resolved against the requested page, as the collection will (a redirected page simply misses).
    const ScriptPlan plan = planScript(0, ScriptElement{src, QString(), false}, pageAddressOf(m_address));
    if (plan.kind != ScriptClass::Other || !isHttpAddress(plan.address) || m_prefetched.contains(plan.address))
        return;
    if (!m_prefetchClient)
        m_prefetchClient = new HttpClient(this);
    m_prefetched.insert(plan.address, ScriptFetch::download(plan.address, m_prefetchClient, this));
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

void SourceLoader::start(short kind, const QString &path) {
    abort();
    m_running = true;
    m_failures.clear();
    m_pageFailure.clear();
    if (m_engine) {
        m_engine->setSilent(true);
        m_engine->navigate(QStringLiteral("about:blank"));
    }
    // Pending events run once before the source is loaded, as after the blank page is requested.
    const quint64 generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, kind, path] {
        if (generation != m_generation)
            return;
        if (kind == 1)
            打开单个JS文件(path);
        else if (kind == 2 || kind == 3)
            OpenPageAndCollect(path);
        else
            finish();
    });
}

void SourceLoader::abort() {
    ++m_generation;
    m_poll.stop();
    if (m_pageRequested && m_engine)
        m_engine->stop();
    m_pageRequested = false;
    m_waiting = false;
    dropPrefetched();
    if (m_collection) {
        m_collection->abort();
        m_collection->deleteLater();
        m_collection = nullptr;
    }
    m_running = false;
}

void SourceLoader::打开单个JS文件(const QString &path) {
    m_running = true;
    m_sink->clear();
    if (!m_engine) {
        finish();
        return;
    }
    m_engine->document().appendScript(path, true);
    collect();
}

void SourceLoader::OpenPageAndCollect(const QString &address) {
    m_running = true;
    m_sink->clear();
    if (!m_engine) {
        finish();
        return;
    }
    IsLoading = true;
    m_pageRequested = true;
    m_address = address;
    m_engine->navigate(address);
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
    const bool loaded = !m_engine || !m_engine->busy() || !IsLoading;
    if (!loaded && !(m_clock() - m_t0 > WaitLimitSeconds))
        return;
    m_waiting = false;
    m_poll.stop();
    if (!loaded)
        m_pageFailure = QStringLiteral("网页在15秒内未载入完成：") + m_address;
    else if (m_engine && !m_engine->document().loadError.isEmpty())
        m_pageFailure =
            QStringLiteral("网页未能打开：%1（%2）").arg(m_address, m_engine->document().loadError);
    collect();
}

void SourceLoader::collect() {
    m_pageRequested = false;
    if (!m_engine) {
        finish();
        return;
    }
    m_collection = new ScriptCollection(m_engine->document(), m_sink, this);
    if (m_prefetchClient)
        m_collection->setHttpClient(m_prefetchClient);
    m_collection->adoptPrefetched(m_prefetched);
    m_prefetched.clear();
    connect(m_collection, &ScriptCollection::finished, this, [this] {
        m_failures = m_collection->failures();
        m_collection->deleteLater();
        m_collection = nullptr;
        finish();
    });
    m_collection->start();
}

void SourceLoader::finish() {
    m_running = false;
    emit finished();
}

QList<ScriptFailure> SourceLoader::runBlocking(PageEngine *engine, ScriptSink *sink, short kind,
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
