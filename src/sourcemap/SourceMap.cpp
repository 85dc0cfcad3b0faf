#include "sourcemap/SourceMap.h"

#include "sourcemap/JsonScanner.h"
#include "sourcemap/MapLocator.h"
#include "sourcemap/Reasons.h"

#include <algorithm>
#include <optional>

namespace SourceMaps {

namespace {

struct Reader {
    JsonScanner &json;
    const Referrer &referrer;
    int budget; // sources still allowed in this map
    QString error;

    bool fail(const QString &why) {
        if (error.isEmpty())
            error = why;
        return false;
    }
    bool scanFailed() { return fail(json.error()); }

    bool readStrings(QList<QByteArray> &out, QList<bool> *isNull, int cap) {
        if (!json.beginArray())
            return scanFailed();
        QByteArray s;
        while (json.nextElement()) {
            if (out.size() >= cap)
                return fail(QStringLiteral("源映射的源超过 %1 个").arg(MaxSources));
            const bool null = json.takeNull();
            if (!null && !json.readString(s))
                return scanFailed();
            out.append(null ? QByteArray() : s);
            if (isNull)
                isNull->append(null);
        }
        return json.ok() || scanFailed();
    }

    void settleSource(MapSource &s, const QString &sourceRoot) {
        QString root = sourceRoot;
        if (!root.isEmpty() && !root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        const AccessDecision d = decideAccess(root + s.name, referrer);
        s.address = d.target;
        switch (d.access) {
        case Access::Fetch:
            s.state = MapSource::Fetch;
            break;
        case Access::ReadLocal:
            s.state = MapSource::ReadLocal;
            break;
        case Access::Refused:
            s.state = MapSource::Refused;
            s.reason = refused(s.name, d.fromNetwork);
            break;
        case Access::Data: {
            QString why;
            if (decodeDataUrl(d.target, s.content, &why)) {
                s.state = MapSource::Content;
                break;
            }
            s.state = MapSource::Unreachable;
            s.reason = sourceNotObtained(s.name, why);
            break;
        }
        case Access::Unreachable:
            s.state = MapSource::Unreachable;
            s.reason = sourceWithoutContent(s.name);
            break;
        }
    }

    // A map proper, or (with `sections` given) possibly an index map whose sections are read as well.
    bool readMap(MapPart &part, QList<MapPart> *sections) {
        if (!json.beginObject())
            return scanFailed();
        qint64 version = 0;
        bool haveSources = false, haveMappings = false, haveSections = false;
        QString sourceRoot;
        QList<QByteArray> names, sources, contents;
        QList<bool> contentIsNull;
        QByteArray key, text, mappings;
        while (json.nextKey(key)) {
            bool read = true;
            if (key == "version") {
                read = json.readInteger(version);
            } else if (key == "sources") {
                haveSources = true;
                if (!readStrings(sources, nullptr, budget))
                    return false;
            } else if (key == "sourcesContent") {
                if (!readStrings(contents, &contentIsNull, MaxSources + 1))
                    return false;
            } else if (key == "names") {
                if (!readStrings(names, nullptr, INT_MAX))
                    return false;
            } else if (key == "sourceRoot" && !json.takeNull()) {
                read = json.readString(text);
                sourceRoot = QString::fromUtf8(text);
            } else if (key == "mappings") {
                haveMappings = true;
                read = json.readString(mappings);
            } else if (key == "sections" && sections) {
                haveSections = true;
                if (!readSections(*sections))
                    return false;
            } else {
                read = json.skipValue();
            }
            if (!read)
                return scanFailed();
        }
        if (!json.ok())
            return scanFailed();
        if (version != 3)
            return fail(QStringLiteral("不支持的源映射版本：%1").arg(version));
        if (haveSections) {
            if (haveSources || haveMappings)
                return fail(QStringLiteral("索引源映射不能同时有 sections 和 mappings"));
            return true;
        }
        if (!haveSources || !haveMappings)
            return fail(QStringLiteral("源映射缺少 sources 或 mappings"));
        budget -= int(sources.size());
        part.loaded = true;
        part.sources.reserve(sources.size());
        for (qsizetype i = 0; i < sources.size(); ++i) {
            MapSource s;
            s.name = QString::fromUtf8(sources[i]);
            settleSource(s, sourceRoot);
            if (i < contents.size() && !contentIsNull[i]) {
                // The text is in the map itself: whatever the address names, nothing is fetched or read.
                s.state = MapSource::Content;
                s.content = std::move(contents[i]);
                s.reason.clear();
            }
            part.sources.append(std::move(s));
        }
        for (const QByteArray &n : std::as_const(names))
            part.names.append(QString::fromUtf8(n));
        // A malformed mappings leaves the part without positions (mappingsError says why); its sources stand.
        part.mappings.decode(mappings.constData(), mappings.constData() + mappings.size(),
                             int(part.sources.size()), int(part.names.size()), &part.mappingsError);
        return true;
    }

    bool readSections(QList<MapPart> &sections) {
        if (!json.beginArray())
            return scanFailed();
        while (json.nextElement()) {
            if (!json.beginObject())
                return scanFailed();
            MapPart part;
            bool haveOffset = false, haveBody = false;
            QByteArray key, text;
            while (json.nextKey(key)) {
                bool read = true;
                if (key == "offset") {
                    haveOffset = readOffset(part);
                    if (!haveOffset)
                        return fail(error.isEmpty() ? QStringLiteral("索引源映射的 offset 格式错误") : error);
                } else if (key == "map") {
                    haveBody = true;
                    if (!readMap(part, nullptr)) // an index map may not nest another index map
                        return false;
                } else if (key == "url") {
                    haveBody = true;
                    read = json.readString(text);
                    const AccessDecision d = decideAccess(QString::fromUtf8(text), referrer);
                    part.url = d.target;
                    part.urlAccess = d.access;
                } else {
                    read = json.skipValue();
                }
                if (!read)
                    return scanFailed();
            }
            if (!json.ok())
                return scanFailed();
            if (!haveOffset || !haveBody)
                return fail(QStringLiteral("索引源映射的一节缺少 offset 或 map"));
            if (!sections.isEmpty()) {
                const MapPart &last = sections.back();
                if (std::pair(part.offsetLine, part.offsetColumn) <
                    std::pair(last.offsetLine, last.offsetColumn))
                    return fail(QStringLiteral("索引源映射的各节没有按位置排序"));
            }
            sections.append(std::move(part));
        }
        return json.ok() || scanFailed();
    }

    bool readOffset(MapPart &part) {
        if (!json.beginObject())
            return false;
        QByteArray key;
        qint64 line = -1, column = -1;
        while (json.nextKey(key)) {
            qint64 v = 0;
            if (!json.readInteger(v))
                return false;
            if (key == "line")
                line = v;
            else if (key == "column")
                column = v;
        }
        if (!json.ok() || line < 0 || column < 0 || line > INT_MAX || column > INT_MAX)
            return false;
        part.offsetLine = int(line);
        part.offsetColumn = int(column);
        return true;
    }
};

} // namespace

bool SourceMap::parse(const QByteArray &json, const Referrer &referrer) {
    m_parts.clear();
    m_error.clear();
    m_parsed = false;
    JsonScanner scanner(json.constData(), json.constData() + json.size());
    Reader reader{scanner, referrer, MaxSources, {}};
    MapPart whole;
    QList<MapPart> sections;
    if (!reader.readMap(whole, &sections) || (scanner.peek() != 0 && !scanner.fail("对象后还有内容"))) {
        m_error = reader.error.isEmpty() ? scanner.error() : reader.error;
        return false;
    }
    m_parsed = true;
    m_indexMap = !whole.loaded;
    if (m_indexMap)
        m_parts = std::move(sections);
    else
        m_parts.append(std::move(whole));
    return true;
}

bool SourceMap::loadSection(int index, const QByteArray &json, const Referrer &referrer, QString *reason) {
    if (index < 0 || index >= m_parts.size() || m_parts[index].loaded)
        return false;
    JsonScanner scanner(json.constData(), json.constData() + json.size());
    Reader reader{scanner, referrer, MaxSources - sourceCount(), {}};
    MapPart part;
    if (!reader.readMap(part, nullptr) || (scanner.peek() != 0 && !scanner.fail("对象后还有内容"))) {
        if (reason)
            *reason = reader.error.isEmpty() ? scanner.error() : reader.error;
        return false;
    }
    part.offsetLine = m_parts[index].offsetLine;
    part.offsetColumn = m_parts[index].offsetColumn;
    part.url = m_parts[index].url;
    part.urlAccess = m_parts[index].urlAccess;
    m_parts[index] = std::move(part);
    return true;
}

int SourceMap::sourceCount() const {
    int n = 0;
    for (const MapPart &p : m_parts)
        n += int(p.sources.size());
    return n;
}

std::optional<Location> SourceMap::find(int line, int column) const {
    // The last section starting at or before the position holds it.
    auto after = std::upper_bound(m_parts.begin(), m_parts.end(), std::pair(line, column),
                                  [](const std::pair<int, int> &pos, const MapPart &p) {
                                      return pos < std::pair(p.offsetLine, p.offsetColumn);
                                  });
    if (after == m_parts.begin())
        return std::nullopt;
    const MapPart &part = *(after - 1);
    if (!part.loaded || !part.mappingsError.isEmpty())
        return std::nullopt;
    const int localLine = line - part.offsetLine;
    const int localColumn = localLine == 0 ? column - part.offsetColumn : column;
    const auto hit = part.mappings.find(localLine, localColumn);
    if (!hit)
        return std::nullopt;
    Location l;
    l.part = int(after - 1 - m_parts.begin());
    l.source = hit->source;
    l.line = hit->line;
    l.column = hit->column;
    if (hit->name >= 0)
        l.name = part.names[hit->name];
    return l;
}

} // namespace SourceMaps
