#pragma once
// The options of `varneljs-cli collect`, parsed apart from running them.

#include <QString>
#include <QStringList>

namespace Cli {

// One source named on the command line, or a list file ("-" is standard input) whose lines are sources.
struct SourceArg {
    short kind = 0; // 1 script file, 2 page file, 3 address, 0 a list file
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
};

constexpr int MaxJobs = 64;

// Parses the arguments after "collect". Returns an empty text on success, else what is wrong.
QString parseCollectOptions(const QStringList &args, CollectOptions &options);

} // namespace Cli
