#include "platform/page/ScriptFetchers.h"

#include "platform/FailureTexts.h"
#include "platform/net/HttpManager.h"
#include "platform/text/TextCodec.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QTimer>

namespace {

FetchResult declined() {
    return {QString(), true, FailureTexts::NotDownloaded, {}, {}, {}};
}

FetchResult fromHttp(const HttpResult &r) {
    FetchResult out;
    if (r.ok) {
        TextCodec::Decoded decoded = TextCodec::decode(r.body, TextCodec::charsetFromContentType(r.contentType));
        out.text = std::move(decoded.text);
        out.encoding = {decoded.encoding, decoded.bom};
        out.bytes = r.body;
        out.headers = r.headers;
        return out;
    }
    out.failed = true;
    out.reason = !r.error.isEmpty() ? r.error : FailureTexts::HttpStatusOfScript(r.status);
    return out;
}

} // namespace

bool FileExists(const QString &path) {
    if (path.isEmpty())
        return false;
    // QFileInfo takes the path literally: no wildcard expansion, unlike a directory lookup by pattern.
    // Files have no hidden attribute here: a name that starts with "." is an ordinary file.
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

FetchResult downloadScript(const QString &address) {
    if (!isHttpAddress(address))
        return declined();
    return fromHttp(HttpManager::getBlocking(address));
}

FetchResult readLocalScript(const QString &path) {
    return readLocalScript(path, CancelToken());
}

FetchResult readLocalScript(const QString &path, const CancelToken &token, bool named) {
    // Whatever keeps the file from being read (missing, a folder, a broken link) is a failure with its
    // reason, so the window and the command line can say why the script's body is empty.
    FetchResult out;
    TextCodec::FileBytes file =
        named ? TextCodec::readInputFileBytes(path, token) : TextCodec::readFileBytes(path, token);
    if (file.ok && token.isCancelled()) {
        file.ok = false;
        file.reason = FailureTexts::Cancelled;
    }
    if (file.ok) {
        TextCodec::Decoded decoded = TextCodec::decode(file.bytes);
        out.text = std::move(decoded.text);
        out.encoding = {decoded.encoding, decoded.bom};
        out.bytes = std::move(file.bytes);
    } else {
        out.failed = true;
        out.reason = file.reason.isEmpty() ? FailureTexts::FileUnreadable : file.reason;
    }
    return out;
}

QString 下载JS内容(const QString &address) {
    return downloadScript(address).text;
}

QString 读入本地JS文件内容(const QString &path) {
    return readLocalScript(path).text;
}

ScriptFetch::ScriptFetch(QObject *parent) : QObject(parent) {}

ScriptFetch::~ScriptFetch() {
    abort();
}

ScriptFetch *ScriptFetch::download(const QString &address, QObject *parent) {
    auto *fetch = new ScriptFetch(parent);
    if (!isHttpAddress(address)) {
        fetch->finishLater(declined());
        return fetch;
    }
    fetch->m_request = HttpManager::forThread()->get(address, fetch);
    connect(fetch->m_request, &HttpHandler::finished, fetch, [fetch] {
        HttpHandler *request = fetch->m_request;
        fetch->m_request = nullptr;
        if (!request)
            return;
        const FetchResult result = fromHttp(request->result());
        request->deleteLater();
        fetch->finishNow(result);
    });
    return fetch;
}

ScriptFetch *ScriptFetch::readLocal(const QString &path, QObject *parent, bool named) {
    auto *fetch = new ScriptFetch(parent);
    fetch->m_watcher = new QFutureWatcher<FetchResult>(fetch);
    connect(fetch->m_watcher, &QFutureWatcher<FetchResult>::finished, fetch, [fetch] {
        // No result: the program is quitting and the read never began.
        const FetchResult result = fetch->m_watcher->future().resultCount() > 0
                                       ? fetch->m_watcher->result()
                                       : FetchResult{QString(), true, FailureTexts::Cancelled, {}, {}, {}};
        fetch->m_watcher->deleteLater();
        fetch->m_watcher = nullptr;
        fetch->finishNow(result);
    });
    // The worker gets its own copy of the path and touches nothing of this object, so a fetch deleted
    // mid-read only drops the result.
    fetch->m_watcher->setFuture(WorkerPool::program().run<FetchResult>(
        fetch->m_token, [path, named](const CancelToken &token) { return readLocalScript(path, token, named); }));
    return fetch;
}

void ScriptFetch::abort() {
    if (m_finished || m_aborted)
        return;
    m_aborted = true;
    if (m_request) {
        m_request->disconnect(this);
        m_request->cancel();
        m_request->deleteLater();
        m_request = nullptr;
    }
    m_token.cancel();
    if (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->deleteLater();
        m_watcher = nullptr;
    }
}

void ScriptFetch::finishLater(FetchResult result) {
    QTimer::singleShot(0, this, [this, result] { finishNow(result); });
}

void ScriptFetch::finishNow(FetchResult result) {
    if (m_finished || m_aborted)
        return;
    m_result = std::move(result);
    m_finished = true;
    emit finished();
}
