#pragma once
// Finds, fetches and reads the source maps of the scripts a load collects, and their original sources,
// beside the collection: each script is handed over as it is done; finding its map, decoding data: maps,
// reading and parsing run on the program's worker pool, fetches go through the thread's HttpManager
// (its limits, deadlines, cookies, headers and per-host queues). Nothing here ever holds up the combined
// text, and the user-interface thread does no more than start tasks and take their results.
//
// What came from the network never leads to a local read; what came from a local file reads within its
// folder only (sourcemap/Access.h, LocalRead.h).

#include "analysis/ScriptClass.h"
#include "analysis/SourceMapResult.h"
#include "platform/WorkerPool.h"
#include "sourcemap/MapLocator.h"

#include <QHash>
#include <QObject>

#include <deque>
#include <functional>

struct HttpResult;

class SourceMapCollector : public QObject {
    Q_OBJECT
public:
    // Source fetches and reads under way at once; more wait here (the HTTP layer queues per host as well).
    static constexpr int MaxSourceTransfers = 16;

    explicit SourceMapCollector(QObject *parent = nullptr);
    ~SourceMapCollector() override;

    // A new load: everything under way stops and the result is emptied.
    void reset();
    // A collected script: its number, class, address (an inline script's: the page's), text and the
    // response headers it came with.
    void addScript(int number, ScriptClass kind, const QString &address, const QString &text,
                   const SourceMaps::Headers &headers);

    const SourceMapResult &result() const { return m_result; }
    // True while a map or source is being found, fetched, read or parsed.
    bool isBusy() const { return m_busy > 0 || !m_queue.empty(); }

signals:
    // The result has changed (a bundle found, a map or a source obtained or failed).
    void changed();
    // Nothing is under way any more (after the last change of a burst).
    void idle();

private:
    MappedBundle *bundle(quint64 id);
    void located(quint64 id, struct Located &found);
    void fetchMap(quint64 id, const QString &address);
    void parseMap(quint64 id, const QByteArray &json);
    void mapParsed(quint64 id, std::shared_ptr<SourceMaps::SourceMap> map, const QString &error);
    void loadSections(quint64 id);
    void sectionDone(quint64 id);
    void startSources(quint64 id);
    void pumpSources();
    void settleIfDone(quint64 id);

    template <typename R>
    void onWorker(std::function<R(const CancelToken &)> work, std::function<void(R &)> then);
    void fetch(const QString &url, std::function<void(const HttpResult &)> then);
    void endOfStep();

    struct Pending {
        std::shared_ptr<SourceMaps::SourceMap> map; // being completed (sections)
        SourceMaps::Referrer referrer;              // trust and base of the map's addresses
        int sectionsLeft = 0;
        int sourcesLeft = 0;
        bool sourcesStarted = false;
    };
    struct SourceJob {
        quint64 id;
        int source;
    };

    SourceMapResult m_result;
    QList<quint64> m_ids; // m_result.bundles[i] has id m_ids[i]
    QHash<quint64, Pending> m_pending;
    std::deque<SourceJob> m_queue;
    int m_sourceTransfers = 0;
    quint64 m_nextId = 1;
    quint64 m_generation = 0;
    int m_busy = 0;
    CancelToken m_token;
};
