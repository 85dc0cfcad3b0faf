#include "cli/SourceRecords.h"

#include "analysis/SourceFiles.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonValue>

namespace Cli {

namespace {

QString statusText(OriginalSource::Status status) {
    switch (status) {
    case OriginalSource::Ok:
        return QStringLiteral("ok");
    case OriginalSource::Refused:
        return QStringLiteral("refused");
    case OriginalSource::Pending:
    case OriginalSource::Failed:
        break;
    }
    return QStringLiteral("failed");
}

} // namespace

PageSources pageSources(const SourceMapResult &result) {
    PageSources out;
    out.notObtained = result.notObtained();
    QHash<QPair<int, int>, QString> paths;
    for (const PlacedSource &p : placeSources(result))
        paths.insert({p.bundle, p.source}, p.path);
    for (int b = 0; b < result.bundles.size(); ++b) {
        const MappedBundle &bundle = result.bundles[b];
        for (int s = 0; s < bundle.sources.size(); ++s) {
            const OriginalSource &o = bundle.sources[s];
            SourceRecord r;
            r.script = bundle.script;
            r.map = bundle.mapAddress;
            r.name = o.name;
            r.origin = o.origin == OriginalSource::Fetched ? QStringLiteral("fetched")
                                                           : QStringLiteral("sourcesContent");
            r.status = statusText(o.status);
            if (o.status == OriginalSource::Ok) {
                r.bytes = o.bytes.size();
                r.sha256 = QCryptographicHash::hash(o.bytes, QCryptographicHash::Sha256).toHex();
                r.data = o.bytes;
                r.placedPath = paths.value({b, s});
            } else {
                r.reason = o.status == OriginalSource::Pending ? QStringLiteral("未完成") : o.reason;
            }
            out.records.push_back(std::move(r));
        }
    }
    return out;
}

QString writeSourceRecords(const QString &pageFolder, std::vector<SourceRecord> &records) {
    for (SourceRecord &r : records) {
        if (r.placedPath.isEmpty())
            continue;
        const QString file = SourcesFolder + QLatin1Char('/') + r.placedPath;
        const QString error = writeUnder(pageFolder, file, r.data);
        if (!error.isEmpty())
            return error;
        r.file = file;
        r.data = QByteArray();
    }
    return QString();
}

QJsonObject sourceJson(const SourceRecord &r, const QString &file) {
    QJsonObject o;
    o.insert(QStringLiteral("script"), r.script);
    o.insert(QStringLiteral("map"), r.map);
    o.insert(QStringLiteral("name"), r.name);
    o.insert(QStringLiteral("file"), file);
    o.insert(QStringLiteral("bytes"), double(r.bytes));
    o.insert(QStringLiteral("sha256"), QString::fromLatin1(r.sha256));
    o.insert(QStringLiteral("origin"), r.origin);
    o.insert(QStringLiteral("status"), r.status);
    o.insert(QStringLiteral("reason"), r.reason);
    return o;
}

QByteArray sourceJsonLines(const QString &page, const std::vector<SourceRecord> &records,
                           const QString &folder) {
    QByteArray lines;
    for (const SourceRecord &r : records) {
        QJsonObject o = sourceJson(
            r, r.file.isEmpty() || folder.isEmpty() ? QString() : folder + QLatin1Char('/') + r.file);
        o.insert(QStringLiteral("record"), QStringLiteral("source"));
        o.insert(QStringLiteral("page"), page);
        lines += QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    }
    return lines;
}

} // namespace Cli
