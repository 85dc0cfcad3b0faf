#pragma once
// An address the code talks to: a request (fetch, XMLHttpRequest, $.ajax, axios, sendBeacon, sockets,
// workers, import(), window.open, navigation, element addresses) or an address literal, found in the
// same walk that lists the functions (see Functions.h: decompose).
//
// The address is shown as written. Where it is built from pieces, each expression is a placeholder:
// "{" + the expression's text without blanks, cut at 40 characters, + "}": `/api/users/${id}` and
// '/api/users/' + id both give /api/users/{id}; fetch(url) gives {url}.

#include <QList>
#include <QString>
#include <QUrl>

#include <cstdint>

namespace Decompose {

enum class EndpointKind : std::uint8_t {
    Fetch,
    Xhr,
    Ajax, // $.ajax, $.get, $.post, $.getJSON, $.getScript, .load
    Axios,
    Beacon,
    WebSocket,
    EventSource,
    Worker, // Worker, SharedWorker, navigator.serviceWorker.register
    Import, // import(), importScripts()
    Open,   // window.open
    Navigate,
    Element, // src / href / action set on an element
    Literal,
};

// The short name the command line writes: fetch, xhr, ajax, axios, beacon, websocket, eventsource,
// worker, import, open, navigate, element, literal.
QString kindName(EndpointKind kind);
// The name a table shows: the API's own (fetch, XMLHttpRequest, $.ajax, …) or 元素属性 / 字符串.
QString kindLabel(EndpointKind kind);

// [start, end) in UTF-16 code units of Endpoint::address.
struct Span {
    qsizetype start = 0;
    qsizetype end = 0;
    bool operator==(const Span &) const = default;
};

struct Endpoint {
    QString address; // as written, with placeholders
    EndpointKind kind = EndpointKind::Literal;
    QString method;   // upper case; a placeholder when the code passes it as an expression; often empty
    QString function; // the enclosing named function as the function list names it; empty at top level
    int script = 0;
    int line = 0;          // 1-based line in the combined text where the address stands
    qsizetype offset = 0;  // where the address (or the call, when it has none) starts in the combined text
    QString resolved;      // against the page; see resolvedAddress
    QString source;        // the original source and line behind `line`, when the script has a source map
    int sourceLine = 0;    // 0: none
    QList<Span> placeholders; // where the placeholders stand in `address`
};

// `address` resolved against `page`: empty when a placeholder stands before its path (in the scheme, the
// host or in front of a relative address) and for a relative address without a valid page. Absolute
// addresses (http, https, ws, wss) resolve without a page. Placeholders in the path or query are kept.
QString resolvedAddress(const QString &address, const QList<Span> &placeholders, const QUrl &page);

// `text` as one field of a tab-separated row (the command line's lines, the table's 复制): a tab, CR or
// LF inside it is written \t, \r, \n.
QString rowField(QString text);

// Fills Endpoint::resolved of each finding.
void resolveAll(QList<Endpoint> &endpoints, const QUrl &page);

} // namespace Decompose
