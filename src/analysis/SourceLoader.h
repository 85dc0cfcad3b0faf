#pragma once
// The load sequence of an analysis window, without widgets, shared by the window and the command line.
//
// Usage (the window owns the engine, the sink and the loader):
//     auto *loader = new SourceLoader(engine, sink, this);
//     connect(loader, &SourceLoader::finished, this, [=] { ... loader->failures() ... });
//     loader->start(处理单个文件, 文件路径);
//
// start() makes the engine silent, navigates it to "about:blank", lets pending events run once, and
// then loads by kind:
//   1  打开单个JS文件: empties the sink, adds one script element (defer, src = path) to the blank page
//      and collects it;
//   2, 3  OpenPageAndCollect: empties the sink, sets IsLoading, navigates to the path or address
//      unchanged, waits until the engine is not busy, or IsLoading is false, or more than 15 seconds
//      have passed on a monotonic clock (exactly 15 goes on waiting), then collects whatever document
//      the engine holds;
//   other  loads nothing.
// finished() comes once, from the event loop, after the collection has written its last piece (for
// every kind, also "other"); failures() then lists the scripts that could not be fetched or read.
// Nothing blocks: the wait reacts to the engine's documentComplete() and to a short timer.
//
// abort() (or deleting the loader) stops the wait, the engine's navigation and every transfer; nothing
// more is written and finished() does not come. The sink must outlive the loader or see abort() first;
// the engine may go first.

#include "analysis/ScriptCollection.h"

#include <QElapsedTimer>
#include <QList>
#include <QMultiHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class PageEngine;
class ScriptSink;

class SourceLoader : public QObject {
    Q_OBJECT
public:
    static constexpr double WaitLimitSeconds = 15.0;

    SourceLoader(PageEngine *engine, ScriptSink *sink, QObject *parent = nullptr);
    ~SourceLoader() override;

    // Runs the load sequence for `kind` (处理单个文件) and `path` (文件路径). A load still running is
    // aborted first.
    void start(short kind, const QString &path);
    void abort();
    bool isRunning() const { return m_running; }

    // Scripts that could not be fetched or read in the last load, in document order.
    QList<ScriptFailure> failures() const { return m_failures; }
    // Why the page of the last load (kinds 2 and 3) could not be had, as one line for the user:
    // "网页未能打开：<address>（<reason>）", or "网页在15秒内未载入完成：<address>" when the wait ran out
    // before the page's own document was complete. Empty when the page loaded.
    QString pageFailure() const { return m_pageFailure; }

    // The clock of the 15-second wait, in seconds, monotonic (tests inject their own).
    void setClock(std::function<double()> secondsMonotonic);
    // How often the wait looks at the engine and the clock (default 50 ms).
    void setPollIntervalMs(int ms);

    // True from the moment a page is requested until the engine reports its document complete.
    bool IsLoading = false;

    // The engine's documentComplete(): the page's own completion (source == the engine) clears IsLoading.
    void DocumentComplete(QObject *source, const QString &address);

    // The two loaders, for a window that has already navigated to about:blank.
    void 打开单个JS文件(const QString &path);
    void OpenPageAndCollect(const QString &address);

    // Blocking form for the command line: start() and a local event loop until finished().
    // `pageFailure`, when given, receives pageFailure().
    static QList<ScriptFailure> runBlocking(PageEngine *engine, ScriptSink *sink, short kind,
                                            const QString &path, QString *pageFailure = nullptr);

signals:
    void finished();

private:
    void checkWait();
    // An engine that runs the page reveals its external scripts while it loads: their downloads start
    // at once, and the collection takes them over.
    void prefetch(const QString &src);
    void dropPrefetched();
    void collect();
    void finish();

    QPointer<PageEngine> m_engine;
    ScriptSink *m_sink;
    std::function<double()> m_clock;
    QElapsedTimer m_elapsed;
    QTimer m_poll;
    QPointer<ScriptCollection> m_collection;
    QList<ScriptFailure> m_failures;
    QString m_pageFailure;
    QString m_address; // the page requested by this load
    QMultiHash<QString, ScriptFetch *> m_prefetched;
    HttpClient *m_prefetchClient = nullptr;
    double m_t0 = 0;
    quint64 m_generation = 0; // bumped by abort(), so steps queued by an earlier load do nothing
    bool m_running = false;
    bool m_waiting = false;       // between the first look after navigating and the collection
    bool m_pageRequested = false; // the engine is loading a page for this load
};
