#pragma once
// endpoints [--combined] [--json] [FILE]: the addresses the code of FILE (or stdin) talks to, one finding
// a line: address, kind, method, function, script, line, resolved, source, sourceLine, tab-separated, or
// with --json one object per line with those keys. The record forms are shared with the page commands.

#include "cli/CliCommands.h"
#include "cli/CollectOptions.h"
#include "decompose/Endpoint.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

#include <functional>

namespace Cli {

// One tab-separated line, LF-terminated; a tab, CR or LF inside a field is written \t, \r, \n.
QByteArray endpointLine(const Decompose::Endpoint &endpoint);
// Text fields are strings (empty when none); script and line numbers; sourceLine null without a source.
QJsonObject endpointJson(const Decompose::Endpoint &endpoint);

// True when `args` name a page source (--url, --page, --input, --script): the command collects first, with
// the options of `collect`, and prints the findings of each page.
bool collectsFirst(const QStringList &args);
// What the collecting form refuses of the collect options: the outputs it does not write.
QString endpointsOptionsProblem(const CollectOptions &options);

// `readText(files, text)` reads FILE or stdin as the other file commands do (false after its message).
int endpointsCommand(QStringList args, Output &output,
                     const std::function<bool(const QStringList &, QString &)> &readText);

} // namespace Cli
