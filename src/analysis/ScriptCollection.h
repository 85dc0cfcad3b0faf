#pragma once
// 加载DocCss到数组: walks a page's script elements in document order and writes, for each one, a
// script-list entry and a block of the combined text (header line, then the script's text) to a sink.
//
//   header  "网址" + index + tag + address + "\r\n"; tag: inline "[网页内JS]：", network "[网络JS]：",
//           local "[本地JS]：", other "：" (full-width colon)
//   body    the script's text + "\r\n" (an empty body still gets its line break)
//   entry   "[网页内JS-i] " / "[网络JS-i] " / "[本地JS-i] " + address; other: the address alone
//
// The bodies of all external scripts are fetched or read concurrently (at most six transfers at a time),
// yet the sink receives entry, header and body strictly in document order, one piece at a time: the
// result is the same as a walk that fetched one script after the other. A script whose text cannot be
// obtained keeps its entry and header with an empty body and is listed in failures(). At the end the
// first entry is selected when the list has one.

#include "analysis/ScriptBlocks.h"
#include "analysis/ScriptClass.h"
#include "platform/page/ScriptFetchers.h"
#include "platform/page/PageEngine.h"

#include <QList>
#include <QMultiHash>
#include <QObject>
#include <QString>

#include <vector>

class ScriptSink;

// What the walk does with one script element: its class, address, list entry and header line.
struct ScriptPlan {
    int index = 0;
    ScriptClass kind = ScriptClass::Inline;
    QString address; // the page address (inline) or the resolved address
    QString entry;   // the script-list entry
    QString header;  // the header line, "\r\n" included
    QString inlineText;
    bool named = false; // a local file a person named: read even when it is a pipe or a device
};

// A script that could not be fetched or read: its 0-based index, address and the reason.
struct ScriptFailure {
    int index = 0;
    QString address;
    QString reason;
    bool operator==(const ScriptFailure &o) const {
        return index == o.index && address == o.address && reason == o.reason;
    }
};

// The document's address with a leading "file://" (any letter case) removed.
QString pageAddressOf(const QString &documentUrl);
ScriptPlan planScript(int index, const ScriptElement &element, const QString &pageAddress);

class ScriptCollection : public QObject {
    Q_OBJECT
public:
    // The document is copied; `sink` must outlive the collection or see abort() first.
    ScriptCollection(const PageDocument &document, ScriptSink *sink, QObject *parent = nullptr);
    ~ScriptCollection() override;

    // The HTTP layer runs at most 6 transfers per host and queues the rest; the collection keeps more
    // going than that, so the scripts of several hosts come side by side, while no more than this many
    // fetched texts wait for an earlier script.
    static constexpr int DefaultMaxTransfers = 32;
    // Transfers (downloads and file reads) started at once; 1 gives the one-after-the-other walk.
    void setMaxTransfers(int count);
    // Downloads already started (while the page was loading), by address; the collection takes them
    // over and uses each one for the first script of that address instead of fetching it again. Call
    // before start().
    void adoptPrefetched(const QMultiHash<QString, ScriptFetch *> &fetches);

    // Starts the walk. Pieces that need no transfer are written at once; finished() always comes later,
    // from the event loop.
    void start();
    // Stops every transfer; nothing more is written and finished() does not come. Safe at any time.
    void abort();
    // Ends the walk where it is, keeping everything that has come: every inline script and every body
    // already fetched is written in its place; a script not obtained keeps its entry and header with an
    // empty body and is listed in failures() with the reason "载入已停止，未取得". Then the walk is
    // aborted (finished() does not come). Nothing happens once the walk has ended.
    void stop();

    bool isFinished() const { return m_finished; }
    QList<ScriptFailure> failures() const { return m_failures; }
    // Where each block written so far lies in the text this collection appended (offsets from the
    // start of its first piece).
    QList<ScriptBlock> blocks() const { return m_blocks; }
    // The encoding the first script's body was read with (a script file is written back in it); empty
    // for an inline first script.
    TextCodec::Encoding firstEncoding() const { return m_firstEncoding; }

signals:
    // `obtained` of the document's `total` scripts have their body written (0 of n when the walk begins).
    void progress(int obtained, int total);
    void finished();

private:
    void launchMore();
    void onFetchFinished(int index);
    void pump();
    // The entry and header of `plan` (once), then its body; the block is recorded.
    void writeHeader(const ScriptPlan &plan);
    void writeScript(const ScriptPlan &plan, const FetchResult &result);

    PageDocument m_document;
    ScriptSink *m_sink;
    int m_maxTransfers = DefaultMaxTransfers;
    QString m_page;                       // the page address
    std::vector<ScriptFetch *> m_fetches; // by index; null for inline scripts and fetches not yet started
    QList<int> m_waiting;                 // indices whose transfer has not started, in document order
    QMultiHash<QString, ScriptFetch *> m_prefetched; // adopted, not yet used
    int m_running = 0;
    int m_next = 0;            // the index whose pieces are written next
    bool m_headerDone = false; // m_next's entry and header are written
    bool m_started = false;
    bool m_inStart = false;
    bool m_finished = false;
    bool m_aborted = false;
    QList<ScriptFailure> m_failures;
    QList<ScriptBlock> m_blocks;
    TextCodec::Encoding m_firstEncoding;
    qsizetype m_written = 0; // UTF-16 units appended so far
};

// Blocking form for the command line and benchmarks: runs the collection in a local event loop.
QList<ScriptFailure> 加载DocCss到数组(const PageDocument &document, ScriptSink &sink);

// The plain walk, one script after the other with the blocking fetchers (reference and benchmark).
QList<ScriptFailure> collectOneAtATime(const PageDocument &document, ScriptSink &sink);
