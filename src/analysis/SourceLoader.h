#pragma once
// The load sequence of an analysis window, without widgets: the one path by which the program's windows
// and the command line bring in a source. The window only reacts to the signals.
//
// Usage (the window owns the engine, the sink and the loader):
//     auto *loader = new SourceLoader(engine, sink, this);
//     connect(loader, &SourceLoader::loadStarting, this, [=](SourceKind kind) { caption, Text1, buttons });
//     connect(loader, &SourceLoader::progress, this, [=](int obtained, int total) { ... });
//     connect(loader, &SourceLoader::finished, this, [=] { ... loader->failures() ... });
//     loader->start(SourceKind::PageAddress, address);
//
// start() makes the engine silent, navigates it to "about:blank", lets pending events run once and waits
// until the blank page is in (not busy; at most 15 seconds). Then loadStarting(kind) comes, and the
// source is loaded by kind:
//   ScriptFile  打开单个JS文件: empties the sink, adds one script element (defer, src = path) to the blank
//   page
//      and collects it;
//   PageFile, PageAddress  OpenPageAndCollect: empties the sink, sets IsLoading, navigates to the path or
//   address
//      unchanged, waits until the engine is not busy, or IsLoading is false, or more than 15 seconds
//      have passed on a monotonic clock (exactly 15 goes on waiting), then stops the engine if it is
//      still loading and collects whatever document it holds;
//   None  loads nothing.
// progress(obtained, total) comes when the collection begins (0 of n) and after each script's body is
// written. finished() comes once, from the event loop, after the collection has written its last piece
// (for every kind, also "other"); failures() then lists the scripts that could not be fetched or read.
// Nothing blocks: the waits react to the engine's documentComplete() and to a short timer.
//
// stop() ends a running load at once, keeping what has come: every inline script and every script
// already obtained is written in its place, the others keep their header with an empty body and are
// listed as not obtained; a page still loading is stopped and its document as it stands collected that
// way. No more transfers, and finished() comes with wasStopped() true. abort() (or deleting the loader) ends
// it too, silently: finished() does not come. The sink must outlive the loader or see abort() first; the
// engine may go first.

#include "analysis/ScriptCollection.h"
#include "analysis/SourceDocument.h"

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

    // Runs the load sequence for `kind` and `path`. A load still running is aborted first.
    void start(SourceKind kind, const QString &path);
    // The same for the source document() names (its opener set kind, path and name).
    void start();
    void stop();
    void abort();
    bool isRunning() const { return m_phase != Phase::Idle; }
    bool wasStopped() const { return m_stopped; }

    // Scripts that could not be fetched or read in the last load, in document order.
    QList<ScriptFailure> failures() const { return m_failures; }
    // Why the page of the last load (a page file or address) could not be had, as one line for the user:
    // "网页未能打开：<address>（<reason>）", or "网页在15秒内未载入完成：<address>" when the wait ran out
    // before the page's own document was complete. Empty when the page loaded.
    QString pageFailure() const { return m_pageFailure; }
    // The source of this load: kind, path, name, the script file's encoding and save header, the blocks
    // collected. The one record of them: the window and its tools read it here.
    const SourceDocument &document() const { return m_document; }
    SourceDocument &document() { return m_document; }

    // The clock of the 15-second waits, in seconds, monotonic (tests inject their own).
    void setClock(std::function<double()> secondsMonotonic);
    // How often the waits look at the engine and the clock (default 10 ms).
    void setPollIntervalMs(int ms);

    // True from the moment a page is requested until the engine reports its document complete.
    bool IsLoading = false;

    // The engine's documentComplete(): the page's own completion (source == the engine) clears IsLoading.
    void DocumentComplete(QObject *source, const QString &address);

    // Blocking form for the command line: start() and a local event loop until finished().
    // `pageFailure`, when given, receives pageFailure().
    static QList<ScriptFailure> runBlocking(PageEngine *engine, ScriptSink *sink, SourceKind kind,
                                            const QString &path, QString *pageFailure = nullptr);

signals:
    // The blank page is in; the source of `kind` is loaded right after the handlers return.
    void loadStarting(SourceKind kind);
    void progress(int obtained, int total);
    // While the page itself loads: how many script elements an engine that runs it has seen.
    void pageLoading(int seen);
    void finished();

private:
    enum class Phase { Idle, BlankPage, Page, Collecting };

    void afterBlankPage();
    // The two loaders, run once the blank page is in, for the document's path.
    void 打开单个JS文件();
    void OpenPageAndCollect();
    void startWait(Phase phase);
    void checkWait();
    // An engine that runs the page reveals its external scripts while it loads: their downloads start
    // at once, and the collection takes them over.
    void prefetch(const QString &src);
    void dropPrefetched();
    void collect();
    void finish();
    void halt();

    QPointer<PageEngine> m_engine;
    ScriptSink *m_sink;
    std::function<double()> m_clock;
    QElapsedTimer m_elapsed;
    QTimer m_poll;
    QPointer<ScriptCollection> m_collection;
    QList<ScriptFailure> m_failures;
    QString m_pageFailure;
    SourceDocument m_document;
    QMultiHash<QString, ScriptFetch *> m_prefetched;
    double m_t0 = 0;
    quint64 m_generation = 0; // bumped by every end of a load, so steps queued by it do nothing
    Phase m_phase = Phase::Idle;
    bool m_waiting = false;       // a wait is looking at the engine
    bool m_pageRequested = false; // the engine is loading a page for this load
    bool m_stopped = false;
};
