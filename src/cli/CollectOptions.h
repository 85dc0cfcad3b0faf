#pragma once
// The options of `varneljs-cli collect`, parsed apart from running them.

#include "util/SourceKind.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Cli {

// One source named on the command line, or a list file ("-" is standard input) whose lines are sources.
struct SourceArg {
    SourceKind kind = SourceKind::None; // None: a list file
    QString value;
};

struct CollectOptions {
    QList<SourceArg> sources; // in command-line order
    bool list = false;
    bool json = false;
    bool withText = false;
    QString outputDir;
    bool overwrite = false;
    int jobs = 4;
    bool browser = false; // --engine browser
    // For every request the command makes.
    QList<QPair<QByteArray, QByteArray>> headers; // --header "Name: value", in the order given
    QByteArray userAgent;
    int timeoutMs = 0; // --timeout: the overall deadline of each transfer; 0 = the default
    bool insecure = false;
    // `endpoints --url/--page/--input …`: the findings of each page are the only output.
    bool endpoints = false;
};

constexpr int MaxJobs = 64;
constexpr int MaxTimeoutSeconds = 24 * 3600;

// "Name: value" split into a header name (an HTTP token) and its value (spaces around it trimmed).
// Returns false for a text that is no header line (no colon, a name that is not a token, a line break).
bool parseHeaderLine(const QString &line, QByteArray &name, QByteArray &value);

// Parses the arguments after "collect". Returns an empty text on success, else what is wrong.
QString parseCollectOptions(const QStringList &args, CollectOptions &options);

} // namespace Cli
