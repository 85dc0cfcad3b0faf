#pragma once
// The original sources of a page for the command line: one record per source a map names, written under
// sources/ in the page folder, listed in manifest.json and as JSON lines ("record": "source").

#include "analysis/SourceMapResult.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace Cli {

// The folder of a page folder that holds its sources.
inline const QString SourcesFolder = QStringLiteral("sources");

struct SourceRecord {
    int script = 0;
    QString map;  // the map's address, "data:" for an inline map
    QString name; // as the map gives it
    QString file; // relative to the page folder, once written
    qint64 bytes = 0;
    QByteArray sha256; // hex; empty when not obtained
    QString origin;    // "sourcesContent" or "fetched"
    QString status;    // "ok", "failed" or "refused"
    QString reason;
    QByteArray data;    // the text, until written
    QString placedPath; // where it goes under sources/ (obtained ones)
};

struct PageSources {
    std::vector<SourceRecord> records;
    QStringList notObtained; // maps, sections and sources, one line each, for standard error
};

// The records of a load's maps, each obtained source with its place under sources/.
PageSources pageSources(const SourceMapResult &result);

// Writes the obtained sources under `pageFolder`/sources and fills their `file`; the data is let go.
QString writeSourceRecords(const QString &pageFolder, std::vector<SourceRecord> &records);

// One record as JSON: script, map, name, file (empty when not written), bytes, sha256 (empty when not
// obtained), origin, status, reason (empty when ok).
QJsonObject sourceJson(const SourceRecord &record, const QString &file);

// The JSON lines of a page's sources ("record": "source", with "page"); `folder` is the page folder's
// name under the output folder (empty when none was written), put before each file as for scripts.
QByteArray sourceJsonLines(const QString &page, const std::vector<SourceRecord> &records,
                           const QString &folder);

} // namespace Cli
