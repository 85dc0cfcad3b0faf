#include "decompose/Endpoint.h"

namespace Decompose {

namespace {

struct KindNames {
    EndpointKind kind;
    const char16_t *name;
    const char16_t *label;
};

constexpr KindNames Names[] = {
    {EndpointKind::Fetch, u"fetch", u"fetch"},
    {EndpointKind::Xhr, u"xhr", u"XMLHttpRequest"},
    {EndpointKind::Ajax, u"ajax", u"$.ajax"},
    {EndpointKind::Axios, u"axios", u"axios"},
    {EndpointKind::Beacon, u"beacon", u"sendBeacon"},
    {EndpointKind::WebSocket, u"websocket", u"WebSocket"},
    {EndpointKind::EventSource, u"eventsource", u"EventSource"},
    {EndpointKind::Worker, u"worker", u"Worker"},
    {EndpointKind::Import, u"import", u"import()"},
    {EndpointKind::Open, u"open", u"window.open"},
    {EndpointKind::Navigate, u"navigate", u"location"},
    {EndpointKind::Element, u"element", u"元素属性"},
    {EndpointKind::Literal, u"literal", u"字符串"},
};

const KindNames &namesOf(EndpointKind kind) {
    for (const KindNames &n : Names) {
        if (n.kind == kind)
            return n;
    }
    return Names[std::size(Names) - 1];
}

bool startsWithScheme(QStringView address, qsizetype &authorityAt) {
    for (const char16_t *scheme : {u"http://", u"https://", u"ws://", u"wss://"}) {
        if (address.startsWith(QStringView(scheme), Qt::CaseInsensitive)) {
            authorityAt = QStringView(scheme).size();
            return true;
        }
    }
    return false;
}

// Stands in for a placeholder while the address is resolved: letters survive every step of QUrl unchanged.
QString token(qsizetype i) {
    return QStringLiteral("VARNELHOLE%1X").arg(i);
}

} // namespace

QString kindName(EndpointKind kind) {
    return QString::fromUtf16(namesOf(kind).name);
}

QString kindLabel(EndpointKind kind) {
    return QString::fromUtf16(namesOf(kind).label);
}

QString resolvedAddress(const QString &address, const QList<Span> &placeholders, const QUrl &page) {
    if (address.isEmpty())
        return {};
    const qsizetype firstHole = placeholders.isEmpty() ? -1 : placeholders.first().start;
    qsizetype authority = 0;
    const bool absolute = startsWithScheme(address, authority);
    const bool networkPath = !absolute && address.startsWith(QLatin1String("//"));
    if (networkPath)
        authority = 2;
    if (absolute || networkPath) {
        // The path begins after the host.
        qsizetype pathAt = authority;
        while (pathAt < address.size() && address[pathAt] != u'/' && address[pathAt] != u'?' &&
               address[pathAt] != u'#')
            ++pathAt;
        if (firstHole >= 0 && firstHole < pathAt)
            return {};
    } else if (firstHole == 0) {
        return {};
    }
    if (!absolute && !(page.isValid() && !page.isRelative()))
        return {};
    QString stand = address;
    for (qsizetype i = placeholders.size() - 1; i >= 0; --i)
        stand.replace(placeholders[i].start, placeholders[i].end - placeholders[i].start, token(i));
    const QUrl reference(stand, QUrl::TolerantMode);
    if (!reference.isValid())
        return {};
    QString out = (absolute ? reference : page.resolved(reference)).toString(QUrl::NormalizePathSegments);
    for (qsizetype i = 0; i < placeholders.size(); ++i) {
        const Span &s = placeholders[i];
        out.replace(token(i), address.mid(s.start, s.end - s.start));
    }
    return out;
}

void resolveAll(QList<Endpoint> &endpoints, const QUrl &page) {
    for (Endpoint &e : endpoints)
        e.resolved = resolvedAddress(e.address, e.placeholders, page);
}

QString rowField(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

} // namespace Decompose
