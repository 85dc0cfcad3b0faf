#pragma once
// Finding the source map of a script: the SourceMap (or old X-SourceMap) response header, else the last
// "//# sourceMappingURL=" (or old "//@") comment at the end of its text; resolved against the script's
// address (an inline script's: the page's) and judged by the rules in Access.h; data: maps are decoded.

#include "sourcemap/Access.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace SourceMaps {

using Headers = QList<QPair<QByteArray, QByteArray>>;

// The URL named by the last line of `text` that is such a comment (leading blanks aside), or empty. The
// comment must begin its line, so the same words inside a string of the code (bundlers' runtimes carry
// them, mid-line) do not count.
QString mappingUrlFromComment(QStringView text);

// The SourceMap header's value, else X-SourceMap's, else empty. Names compare without case.
QString mappingUrlFromHeaders(const Headers &headers);

// A data: URL's bytes (base64 or percent-encoded); false with a reason when it is malformed.
bool decodeDataUrl(QStringView url, QByteArray &bytes, QString *reason);

struct MapLocation {
    enum Kind {
        None,        // the script names no map
        Inline,      // a data: map: `bytes` holds it
        Fetch,       // fetch `address` over HTTP
        ReadLocal,   // read the local file `address`
        Refused,     // a local file the script may not make us read
        Unreachable, // an address nothing can fetch, or a data: URL that does not decode
    };
    Kind kind = None;
    QString written; // the URL as the comment or header gives it
    bool fromHeader = false;
    QString address; // resolved address ("data:" for inline maps)
    QByteArray bytes;
    QString reason;    // Refused/Unreachable: the text for the list of what was not obtained
    Referrer referrer; // the trust and base the map's own addresses are judged with
};

// `scriptAddress` is empty for an inline script; `pageAddress` is the page's address or local path.
MapLocation locateMap(QStringView scriptText, const QString &scriptAddress, const QString &pageAddress,
                      const Headers &headers);

} // namespace SourceMaps
