#pragma once
// The addresses the code of a collected page talks to, for the page commands: `endpoints --url/--page/
// --input …` prints them, `collect --output-dir` writes them as endpoints.json into the page's folder and
// `collect --json` adds one line per finding with "record":"endpoint". They are found in the page's
// combined text, off the command's own thread, as `endpoints --combined` finds them in a file.

#include "analysis/SourceMapResult.h"
#include "decompose/Endpoint.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

class QObject;

namespace Cli {

// The findings of a combined text as the collection wrote it (UTF-8, header lines included), resolved
// against `page`, with the original source and line of those in a script whose map is in `maps`.
QList<Decompose::Endpoint> endpointsOfCombined(const QByteArray &combinedUtf8, const QUrl &page,
                                               const SourceMapResult &maps = {});

// Finds the findings of `combinedUtf8` on the thread pool; `done` runs on `context`'s thread with them.
// Nothing runs after `context` is gone.
void findEndpoints(const QByteArray &combinedUtf8, const QUrl &page, const SourceMapResult &maps,
                   QObject *context, std::function<void(QList<Decompose::Endpoint>)> done);

// endpointJson with the page as named on the command line.
QJsonObject pageEndpointJson(const QString &page, const Decompose::Endpoint &endpoint);
// One compact JSON line per finding for `collect --json`: the page, "record":"endpoint" and the keys of
// endpointJson.
QByteArray endpointRecordLines(const QString &page, const QList<Decompose::Endpoint> &endpoints);
// What `endpoints --url/--page/--input …` prints for a page: its findings as `endpoints FILE` prints them,
// with --json as pageEndpointJson lines.
struct PageResult;
QByteArray endpointsOutput(const PageResult &page, bool json);
// endpoints.json: an array of endpointJson objects (the folder's manifest names the page).
QByteArray endpointsFileBytes(const QList<Decompose::Endpoint> &endpoints);

} // namespace Cli
