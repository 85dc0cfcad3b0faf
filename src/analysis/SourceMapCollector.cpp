#include "analysis/SourceMapCollector.h"

#include "platform/net/HttpManager.h"
#include "sourcemap/LocalRead.h"
#include "sourcemap/Reasons.h"

#include <QFutureWatcher>
#include <QUrl>

using namespace SourceMaps;

struct Located {
    MapLocation location;
    size_t hash = 0;
    qsizetype length = 0;
    // An inline or local map, parsed in the same task.
    std::shared_ptr<SourceMap> map;
    QString error;
};

namespace {

// A map's bytes to a parsed map, or the reason it is none.
std::shared_ptr<SourceMap> parsed(const QByteArray &json, const Referrer &referrer, QString &error) {
    auto map = std::make_shared<SourceMap>();
    if (map->parse(json, referrer))
        return map;
    error = map->error();
    return nullptr;
}

struct Read {
    bool ok = false;
    QByteArray bytes;
    QString reason;
};

Read readLocal(const QString &path, const QString &root) {
    Read r;
    r.ok = readInsideRoot(path, root, HttpManager::defaultMaxBytes(), r.bytes, &r.reason);
    return r;
}

} // namespace

SourceMapCollector::SourceMapCollector(QObject *parent) : QObject(parent) {}

SourceMapCollector::~SourceMapCollector() {
    reset();
}

void SourceMapCollector::reset() {
    ++m_generation;
    m_token.cancel();
    m_token = CancelToken();
    // Transfers still under way stop; their watchers and handlers go with the generation that made them.
    for (QObject *child : children())
        child->deleteLater();
    for (QObject *child : children())
        child->disconnect(this);
    m_result = SourceMapResult();
    m_ids.clear();
    m_pending.clear();
    m_queue.clear();
    m_sourceTransfers = 0;
    m_busy = 0;
}

MappedBundle *SourceMapCollector::bundle(quint64 id) {
    const qsizetype i = m_ids.indexOf(id);
    return i < 0 ? nullptr : &m_result.bundles[i];
}

template <typename R>
void SourceMapCollector::onWorker(std::function<R(const CancelToken &)> work, std::function<void(R &)> then) {
    auto *watcher = new QFutureWatcher<R>(this);
    const quint64 generation = m_generation;
    ++m_busy;
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation, then = std::move(then)] {
                watcher->deleteLater();
                if (generation != m_generation)
                    return;
                --m_busy;
                if (watcher->future().resultCount() > 0) {
                    R result = watcher->result();
                    then(result);
                }
                endOfStep();
            });
    watcher->setFuture(WorkerPool::program().run<R>(m_token, std::move(work)));
}

void SourceMapCollector::fetch(const QString &url, std::function<void(const HttpResult &)> then) {
    HttpHandler *handler = HttpManager::forThread()->get(HttpRequest(url), this);
    const quint64 generation = m_generation;
    ++m_busy;
    connect(handler, &HttpHandler::finished, this,
            [this, handler, generation, then = std::move(then)](const HttpResult &result) {
                handler->deleteLater();
                if (generation != m_generation)
                    return;
                --m_busy;
                then(result);
                endOfStep();
            });
}

void SourceMapCollector::endOfStep() {
    emit changed();
    if (!isBusy())
        emit idle();
}

void SourceMapCollector::addScript(int number, ScriptClass kind, const QString &address, const QString &text,
                                   const Headers &headers) {
    const QString scriptAddress = kind == ScriptClass::Inline ? QString() : address;
    const QString page = address;
    const quint64 id = m_nextId++;
    onWorker<Located>(
        [text, scriptAddress, page, headers](const CancelToken &) {
            Located found;
            found.location = locateMap(text, scriptAddress, page, headers);
            if (found.location.kind == MapLocation::None)
                return found;
            found.hash = scriptTextHash(text);
            found.length = text.size();
            const MapLocation &m = found.location;
            if (m.kind == MapLocation::Inline) {
                found.map = parsed(m.bytes, m.referrer, found.error);
            } else if (m.kind == MapLocation::ReadLocal) {
                const Read r = readLocal(m.address, m.referrer.localRoot);
                if (r.ok)
                    found.map = parsed(r.bytes, m.referrer, found.error);
                else
                    found.error = r.reason;
            }
            found.location.bytes.clear(); // parsed: the map holds what it needs
            return found;
        },
        [this, id, number, address](Located &found) {
            if (found.location.kind == MapLocation::None)
                return;
            MappedBundle b;
            b.script = number;
            b.scriptAddress = address;
            b.mapAddress = found.location.address;
            b.textHash = found.hash;
            b.textLength = found.length;
            // Scripts are looked at side by side: the list stays in script order.
            qsizetype at = m_result.bundles.size();
            while (at > 0 && m_result.bundles[at - 1].script > number)
                --at;
            m_result.bundles.insert(at, b);
            m_ids.insert(at, id);
            Pending &p = m_pending[id];
            p.referrer = found.location.referrer;
            located(id, found);
        });
}

void SourceMapCollector::located(quint64 id, Located &found) {
    const MapLocation &m = found.location;
    switch (m.kind) {
    case MapLocation::Inline:
    case MapLocation::ReadLocal:
        mapParsed(id, found.map, found.error);
        return;
    case MapLocation::Fetch:
        fetchMap(id, m.address);
        return;
    case MapLocation::None:
    case MapLocation::Refused:
    case MapLocation::Unreachable:
        break;
    }
    bundle(id)->mapReason = m.reason;
    settleIfDone(id);
}

void SourceMapCollector::fetchMap(quint64 id, const QString &address) {
    fetch(address, [this, id, address](const HttpResult &r) {
        if (!r.ok) {
            bundle(id)->mapReason = mapNotObtained(address, r.error);
            settleIfDone(id);
            return;
        }
        parseMap(id, r.body);
    });
}

void SourceMapCollector::parseMap(quint64 id, const QByteArray &json) {
    const Referrer referrer = m_pending.value(id).referrer;
    struct Parsed {
        std::shared_ptr<SourceMap> map;
        QString error;
    };
    onWorker<Parsed>(
        [json, referrer](const CancelToken &) {
            Parsed p;
            p.map = parsed(json, referrer, p.error);
            return p;
        },
        [this, id](Parsed &p) { mapParsed(id, p.map, p.error); });
}

void SourceMapCollector::mapParsed(quint64 id, std::shared_ptr<SourceMap> map, const QString &error) {
    MappedBundle *b = bundle(id);
    if (!map) {
        b->mapReason = mapNotObtained(b->mapAddress, error);
        settleIfDone(id);
        return;
    }
    m_pending[id].map = std::move(map);
    loadSections(id);
}

// Index-map sections given by url come before the sources, so that every source is known when they start.
void SourceMapCollector::loadSections(quint64 id) {
    Pending &p = m_pending[id];
    const QList<MapPart> &parts = p.map->parts();
    for (int i = 0; i < parts.size(); ++i) {
        const MapPart &part = parts[i];
        if (part.loaded || part.url.isEmpty())
            continue;
        const Referrer referrer = p.referrer.leadingTo(
            part.urlAccess == Access::ReadLocal ? QUrl::fromLocalFile(part.url).toString() : part.url);
        auto load = [this, id, i, referrer, url = part.url](const QByteArray &json) {
            std::shared_ptr<SourceMap> map = m_pending.value(id).map;
            onWorker<QString>(
                [map, i, json, referrer](const CancelToken &) {
                    QString reason;
                    return map->loadSection(i, json, referrer, &reason) ? QString() : reason;
                },
                [this, id, url](QString &reason) {
                    if (!reason.isEmpty())
                        bundle(id)->notes << mapNotObtained(url, reason);
                    sectionDone(id);
                });
        };
        ++p.sectionsLeft;
        switch (part.urlAccess) {
        case Access::Fetch:
            fetch(part.url, [this, id, load, url = part.url](const HttpResult &r) {
                if (r.ok)
                    return load(r.body);
                bundle(id)->notes << mapNotObtained(url, r.error);
                sectionDone(id);
            });
            break;
        case Access::ReadLocal:
            onWorker<Read>([url = part.url, root = p.referrer.localRoot](
                               const CancelToken &) { return readLocal(url, root); },
                           [this, id, load, url = part.url](Read &r) {
                               if (r.ok)
                                   return load(r.bytes);
                               bundle(id)->notes << mapNotObtained(url, r.reason);
                               sectionDone(id);
                           });
            break;
        case Access::Data: {
            QByteArray bytes;
            QString why;
            if (decodeDataUrl(part.url, bytes, &why)) {
                load(bytes);
                break;
            }
            bundle(id)->notes << mapNotObtained(QStringLiteral("data:"), why);
            --p.sectionsLeft;
            break;
        }
        case Access::Refused:
            bundle(id)->notes << refused(part.url, p.referrer.fromNetwork);
            --p.sectionsLeft;
            break;
        case Access::Unreachable:
            bundle(id)->notes << mapNotObtained(part.url, QStringLiteral("地址无法下载"));
            --p.sectionsLeft;
            break;
        }
    }
    if (p.sectionsLeft == 0)
        startSources(id);
}

void SourceMapCollector::sectionDone(quint64 id) {
    if (--m_pending[id].sectionsLeft == 0)
        startSources(id);
}

void SourceMapCollector::startSources(quint64 id) {
    Pending &p = m_pending[id];
    MappedBundle *b = bundle(id);
    p.sourcesStarted = true;
    const QList<MapPart> &parts = p.map->parts();
    for (int i = 0; i < parts.size(); ++i) {
        if (!parts[i].mappingsError.isEmpty())
            b->notes << mapNotObtained(b->mapAddress,
                                       QStringLiteral("mappings 格式错误：") + parts[i].mappingsError);
        for (int k = 0; k < parts[i].sources.size(); ++k) {
            const MapSource &s = parts[i].sources[k];
            OriginalSource o;
            o.name = s.name;
            o.address = s.address;
            o.part = i;
            o.index = k;
            o.reason = s.reason;
            switch (s.state) {
            case MapSource::Content:
                o.status = OriginalSource::Ok;
                o.bytes = s.content;
                break;
            case MapSource::Fetch:
            case MapSource::ReadLocal:
                o.origin = OriginalSource::Fetched;
                m_queue.push_back({id, int(b->sources.size())});
                ++p.sourcesLeft;
                break;
            case MapSource::Refused:
                o.status = OriginalSource::Refused;
                break;
            case MapSource::Unreachable:
                o.status = OriginalSource::Failed;
                break;
            }
            b->sources.append(o);
        }
    }
    pumpSources();
    settleIfDone(id);
}

void SourceMapCollector::pumpSources() {
    while (m_sourceTransfers < MaxSourceTransfers && !m_queue.empty()) {
        const SourceJob job = m_queue.front();
        m_queue.pop_front();
        MappedBundle *b = bundle(job.id);
        const OriginalSource &o = b->sources[job.source];
        const MapSource::State state = m_pending[job.id].map->parts()[o.part].sources[o.index].state;
        ++m_sourceTransfers;
        auto done = [this, job](bool ok, const QByteArray &bytes, const QString &why) {
            --m_sourceTransfers;
            MappedBundle *b = bundle(job.id);
            OriginalSource &o = b->sources[job.source];
            if (ok) {
                o.status = OriginalSource::Ok;
                o.bytes = bytes;
            } else {
                o.status = OriginalSource::Failed;
                o.reason = why.startsWith(QStringLiteral("已拒绝")) ? why : sourceNotObtained(o.name, why);
                if (why.startsWith(QStringLiteral("已拒绝")))
                    o.status = OriginalSource::Refused;
            }
            --m_pending[job.id].sourcesLeft;
            settleIfDone(job.id);
            pumpSources();
        };
        if (state == MapSource::Fetch) {
            fetch(o.address, [done](const HttpResult &r) { done(r.ok, r.body, r.error); });
        } else {
            onWorker<Read>([path = o.address, root = m_pending[job.id].referrer.localRoot](
                               const CancelToken &) { return readLocal(path, root); },
                           [done](Read &r) { done(r.ok, r.bytes, r.reason); });
        }
    }
}

void SourceMapCollector::settleIfDone(quint64 id) {
    const auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;
    const bool mapFailed = !it->map;
    if (!mapFailed && (!it->sourcesStarted || it->sourcesLeft > 0))
        return;
    MappedBundle *b = bundle(id);
    b->settled = true;
    b->map = it->map; // complete now: only read from here on
    m_pending.erase(it);
}
