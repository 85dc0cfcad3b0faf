#include "cli/PageEndpoints.h"

#include "analysis/OriginalPosition.h"
#include "analysis/ScriptBlocks.h"
#include "cli/EndpointsCommand.h"
#include "cli/PageRecords.h"
#include "decompose/Functions.h"

#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtConcurrent/QtConcurrentRun>

namespace Cli {

QList<Decompose::Endpoint> endpointsOfCombined(const QByteArray &combinedUtf8, const QUrl &page,
                                               const SourceMapResult &maps) {
    const QString text = QString::fromUtf8(combinedUtf8);
    const QList<ScriptBlock> scripts = ScriptBlocksOf(text);
    QList<Decompose::Block> blocks;
    for (const ScriptBlock &b : scripts)
        blocks.push_back({b.number, {b.bodyStart, b.bodyEnd}});
    QList<Decompose::Endpoint> found = Decompose::decompose(text, blocks, page).endpoints;
    if (maps.mapCount() == 0)
        return found;
    QList<qsizetype> offsets;
    offsets.reserve(found.size());
    for (const Decompose::Endpoint &e : found)
        offsets << e.offset;
    const QList<OriginalLine> original = originalLines(text, scripts, offsets, maps);
    for (qsizetype i = 0; i < found.size(); ++i) {
        found[i].source = original[i].source;
        found[i].sourceLine = original[i].line;
    }
    return found;
}

void findEndpoints(const QByteArray &combinedUtf8, const QUrl &page, const SourceMapResult &maps,
                   QObject *context, std::function<void(QList<Decompose::Endpoint>)> done) {
    using Watcher = QFutureWatcher<QList<Decompose::Endpoint>>;
    auto *watcher = new Watcher(context);
    QObject::connect(watcher, &Watcher::finished, context, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->result());
    });
    watcher->setFuture(
        QtConcurrent::run([combinedUtf8, page, maps] { return endpointsOfCombined(combinedUtf8, page, maps); }));
}

QJsonObject pageEndpointJson(const QString &page, const Decompose::Endpoint &endpoint) {
    QJsonObject o = endpointJson(endpoint);
    o.insert(QStringLiteral("page"), page);
    return o;
}

QByteArray endpointRecordLines(const QString &page, const QList<Decompose::Endpoint> &endpoints) {
    QByteArray lines;
    for (const Decompose::Endpoint &e : endpoints) {
        QJsonObject o = pageEndpointJson(page, e);
        o.insert(QStringLiteral("record"), QStringLiteral("endpoint"));
        lines += QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    }
    return lines;
}

QByteArray endpointsOutput(const PageResult &page, bool json) {
    QByteArray out;
    for (const Decompose::Endpoint &e : page.endpoints)
        out += json ? QJsonDocument(pageEndpointJson(page.source, e)).toJson(QJsonDocument::Compact) + '\n'
                    : endpointLine(e);
    return out;
}

QByteArray endpointsFileBytes(const QList<Decompose::Endpoint> &endpoints) {
    QJsonArray array;
    for (const Decompose::Endpoint &e : endpoints)
        array.append(endpointJson(e));
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace Cli
