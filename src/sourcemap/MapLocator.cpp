#include "sourcemap/MapLocator.h"

#include "sourcemap/Reasons.h"

#include <QUrl>

namespace SourceMaps {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

QStringView trimmedLine(QStringView line) {
    while (!line.isEmpty() && (isBlank(line.front()) || line.front() == QChar(0xFEFF)))
        line = line.sliced(1);
    while (!line.isEmpty() && isBlank(line.back()))
        line = line.chopped(1);
    return line;
}

// "//# sourceMappingURL=URL" or "//@ ..." as a whole trimmed line: the URL, else a null view.
QStringView urlOfCommentLine(QStringView line) {
    if (line.size() < 4 || !line.startsWith(u"//") ||
        (line[2] != QLatin1Char('#') && line[2] != QLatin1Char('@')))
        return {};
    QStringView rest = line.sliced(3);
    while (!rest.isEmpty() && isBlank(rest.front()))
        rest = rest.sliced(1);
    static constexpr QStringView Key = u"sourceMappingURL=";
    if (!rest.startsWith(Key))
        return {};
    rest = rest.sliced(Key.size());
    for (qsizetype i = 0; i < rest.size(); ++i)
        if (isBlank(rest[i]))
            return trimmedLine(rest.sliced(i)).isEmpty() ? rest.first(i) : QStringView();
    return rest;
}

} // namespace

QString mappingUrlFromComment(QStringView text) {
    qsizetype end = text.size();
    while (end > 0) {
        const qsizetype newline = text.lastIndexOf(QLatin1Char('\n'), end - 1);
        const QStringView url = urlOfCommentLine(trimmedLine(text.sliced(newline + 1, end - newline - 1)));
        if (!url.isEmpty())
            return url.toString();
        end = newline < 0 ? 0 : newline;
    }
    return {};
}

QString mappingUrlFromHeaders(const Headers &headers) {
    for (const char *name : {"SourceMap", "X-SourceMap"})
        for (const auto &h : headers)
            if (h.first.trimmed().compare(name, Qt::CaseInsensitive) == 0 && !h.second.trimmed().isEmpty())
                return QString::fromUtf8(h.second.trimmed());
    return {};
}

bool decodeDataUrl(QStringView url, QByteArray &bytes, QString *reason) {
    bytes.clear();
    const qsizetype comma = url.indexOf(QLatin1Char(','));
    if (!url.startsWith(u"data:", Qt::CaseInsensitive) || comma < 0) {
        if (reason)
            *reason = QStringLiteral("data: 地址缺少逗号");
        return false;
    }
    const QStringView header = url.sliced(5, comma - 5);
    const bool base64 = header.trimmed().endsWith(u";base64", Qt::CaseInsensitive);
    QByteArray data = QByteArray::fromPercentEncoding(url.sliced(comma + 1).toUtf8());
    if (!base64) {
        bytes = data;
        return true;
    }
    data.replace(' ', QByteArray())
        .replace('\n', QByteArray())
        .replace('\r', QByteArray())
        .replace('\t', QByteArray());
    auto decoded = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        if (reason)
            *reason = QStringLiteral("data: 地址的 base64 内容无法解码");
        return false;
    }
    bytes = *decoded;
    return true;
}

MapLocation locateMap(QStringView scriptText, const QString &scriptAddress, const QString &pageAddress,
                      const Headers &headers) {
    MapLocation m;
    m.written = mappingUrlFromHeaders(headers);
    m.fromHeader = !m.written.isEmpty();
    if (!m.fromHeader)
        m.written = mappingUrlFromComment(scriptText);
    if (m.written.isEmpty())
        return m;
    const Referrer script = Referrer::of(scriptAddress.isEmpty() ? pageAddress : scriptAddress);
    const AccessDecision d = decideAccess(m.written, script);
    m.address = d.target;
    switch (d.access) {
    case Access::Data: {
        m.address = QStringLiteral("data:");
        // An inline map's relative names are relative to its script, as browsers take them.
        m.referrer = script;
        QString why;
        if (decodeDataUrl(m.written, m.bytes, &why)) {
            m.kind = MapLocation::Inline;
        } else {
            m.kind = MapLocation::Unreachable;
            m.reason = mapNotObtained(m.address, why);
        }
        return m;
    }
    case Access::Fetch:
        m.kind = MapLocation::Fetch;
        break;
    case Access::ReadLocal:
        m.kind = MapLocation::ReadLocal;
        break;
    case Access::Refused:
        m.kind = MapLocation::Refused;
        m.reason = refused(m.written, d.fromNetwork);
        break;
    case Access::Unreachable:
        m.kind = MapLocation::Unreachable;
        m.reason = mapNotObtained(m.address, QStringLiteral("地址无法下载"));
        break;
    }
    m.referrer = script.leadingTo(m.kind == MapLocation::ReadLocal ? QUrl::fromLocalFile(m.address).toString()
                                                                   : m.address);
    return m;
}

} // namespace SourceMaps
