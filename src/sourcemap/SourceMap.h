#pragma once
// A parsed source map (version 3), an index map's sections included: its sources with their addresses and
// texts (or why a text must be fetched, read, or cannot be had) and its decoded mappings.
//
// Parsing is all or nothing: malformed JSON, another version, or more than MaxSources sources make the
// whole map fail with a reason. A malformed `mappings` keeps the sources (their texts are sound) but leaves
// the map without positions, with mappingsError() saying why: no half-decoded positions are ever used.

#include "sourcemap/Access.h"
#include "sourcemap/Mappings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace SourceMaps {

constexpr int MaxSources = 100000;

struct MapSource {
    enum State {
        Content,     // `content` is the text from sourcesContent
        Fetch,       // no content: fetch `address` over HTTP
        ReadLocal,   // no content: read the local file `address`
        Refused,     // no content, and a local file the map may not make us read
        Unreachable, // no content, and an address nothing can fetch
    };
    QString name;    // as the map gives it
    QString address; // sourceRoot + name resolved against the map's address (a clean path for ReadLocal)
    State state = Unreachable;
    QByteArray content; // UTF-8
    QString reason;     // Refused/Unreachable
};

// One map proper: a whole regular map, or one section of an index map.
struct MapPart {
    int offsetLine = 0;
    int offsetColumn = 0;
    QString url; // a section given by "url" and not loaded yet: its resolved address
    Access urlAccess = Access::Fetch;
    bool loaded = false;
    QList<MapSource> sources;
    QStringList names;
    Mappings mappings;
    QString mappingsError;
};

struct Location {
    int part = 0;
    int source = 0; // index into parts()[part].sources
    int line = 0;   // original line and column, from 0
    int column = 0;
    QString name; // the original name there, when the map gives one
};

class SourceMap {
public:
    // `referrer` carries the map's own address (the base of its sources; an inline map passes its script's)
    // and whether the map came from the network.
    bool parse(const QByteArray &json, const Referrer &referrer);

    bool ok() const { return m_parsed && m_error.isEmpty(); }
    const QString &error() const { return m_error; }
    bool isIndexMap() const { return m_indexMap; }
    const QList<MapPart> &parts() const { return m_parts; }

    // Index maps: a section given by "url" once its bytes came; false with the reason if they don't parse
    // (the section then stays empty, the rest of the map stands).
    bool loadSection(int part, const QByteArray &json, const Referrer &referrer, QString *reason);

    // The original position of generated (line, column), from 0; columns in UTF-16 code units.
    std::optional<Location> find(int line, int column) const;

    int sourceCount() const;

private:
    QString m_error;
    bool m_parsed = false;
    bool m_indexMap = false;
    QList<MapPart> m_parts;
};

} // namespace SourceMaps
