#pragma once
// What the source maps of one load gave: per bundle (a script that names a map) the map's address, the
// parsed map for position lookups and its original sources with their texts or why they were not had.
// A plain value, filled by SourceMapCollector and read by the window and the command line.

#include "sourcemap/SourceMap.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

struct OriginalSource {
    enum Status { Pending, Ok, Failed, Refused };
    enum Origin { SourcesContent, Fetched };
    QString name;    // as the map gives it
    QString address; // resolved against the map's address
    int part = 0;    // where it stands in the map: parts()[part].sources[index]
    int index = 0;
    Status status = Pending;
    Origin origin = SourcesContent;
    QByteArray bytes; // the text as the map or the server gave it
    QString reason;   // Failed/Refused: the line for the list of what was not obtained
};

struct MappedBundle {
    int script = 0;        // the script's number in the collection
    QString scriptAddress; // its address (an inline script's: the page's)
    QString mapAddress;    // "data:" for an inline map
    QString mapReason;     // why the map was not obtained; empty when it was
    QStringList notes;     // parts of an obtained map that failed (index-map sections, mappings)
    bool settled = false;  // the map and every source have come or failed
    QList<OriginalSource> sources;
    std::shared_ptr<const SourceMaps::SourceMap> map; // null until obtained and settled
    // The script's text as collected, for telling whether the map still fits the text in the window.
    size_t textHash = 0;
    qsizetype textLength = 0;
};

struct SourceMapResult {
    QList<MappedBundle> bundles; // in script order

    // Sources obtained, and maps obtained.
    int sourceCount() const;
    int mapCount() const;
    // Every map, section and source not obtained, one line each, in bundle order.
    QStringList notObtained() const;
    // The bundle of script `number`, or null.
    const MappedBundle *bundleOf(int script) const;
};

// The hash kept in MappedBundle::textHash.
size_t scriptTextHash(QStringView text);
