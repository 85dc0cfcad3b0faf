#pragma once
// The two fetchers of the page script collection, the file test and the address test they share with
// the download viewer and "重新打开". Every fetch of the program goes through here.
//
//   下载JS内容        fetches an "http://" or "https://" address (letter case of the scheme ignored); any other
//                     address yields the empty text and no request is made.
//   读入本地JS文件内容  reads a whole script file, decoded by TextCodec; a file that cannot be read
//                     (missing, a folder, a broken link, too large) yields the empty text.
//   FileExists        true for a non-empty literal path (no wildcards) naming an ordinary file (not a
//                     folder; a name starting with "." is ordinary too); never raises.
//
// Each fetcher comes twice: a blocking form (command line, benchmarks) and an asynchronous ScriptFetch
// for the program, which must never block its event loop. Both give a FetchResult: the text (empty when
// nothing could be obtained) and, whenever the text could not be obtained, the reason: a declined
// address and a missing file included, so that every empty body can be explained.

#include "platform/page/PageAddress.h"
#include "platform/text/TextCodec.h"
#include "platform/WorkerPool.h"

#include <QObject>
#include <QPointer>
#include <QString>

class HttpHandler;
template <typename T> class QFutureWatcher;

struct FetchResult {
    QString text;
    bool failed = false; // true when a transfer or a read went wrong (reason says why)
    QString reason;      // HTTP status, time-out, too large, unreadable file, network error
    TextCodec::Encoding encoding; // what the bytes were decoded as (empty name when nothing was read)
    QByteArray bytes;    // what was received or read, before decoding
    QList<QPair<QByteArray, QByteArray>> headers; // the response headers of a download
};

bool FileExists(const QString &path);

// Blocking forms.
FetchResult downloadScript(const QString &address);
FetchResult readLocalScript(const QString &path);
// The read of a worker, which gives up once `token` is cancelled. A script a page names is read only
// from an ordinary file; a `named` one (the file a person chose) from any readable file but a folder.
FetchResult readLocalScript(const QString &path, const CancelToken &token, bool named = false);
QString 下载JS内容(const QString &address);
QString 读入本地JS文件内容(const QString &path);

// One asynchronous fetch. finished() is emitted once, from the event loop (never from inside the
// starting call); abort() or deleting the object stops it and finished() does not come.
class ScriptFetch : public QObject {
    Q_OBJECT
public:
    // 下载JS内容, asynchronous, through the calling thread's HttpManager.
    static ScriptFetch *download(const QString &address, QObject *parent = nullptr);
    // 读入本地JS文件内容, asynchronous: the file is read on the program's worker pool; abort() cancels
    // the read between its steps.
    static ScriptFetch *readLocal(const QString &path, QObject *parent = nullptr, bool named = false);

    ~ScriptFetch() override;

    bool isFinished() const { return m_finished; }
    const FetchResult &result() const { return m_result; }
    void abort();

signals:
    void finished();

private:
    explicit ScriptFetch(QObject *parent);
    void finishLater(FetchResult result);
    void finishNow(FetchResult result);

    FetchResult m_result;
    bool m_finished = false;
    bool m_aborted = false;
    QPointer<HttpHandler> m_request; // owned by this fetch (or by the manager, should it go first)
    QFutureWatcher<FetchResult> *m_watcher = nullptr;
    CancelToken m_token;
};
