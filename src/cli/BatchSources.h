#pragma once
// The pages of one `collect` run, in order: the sources named on the command line and the lines of
// each list file, read as they are needed so a long list never sits in memory. A list line holds one
// address or page path; blank lines and lines starting with "#" are skipped.

#include "cli/CollectOptions.h"

#include <QFile>
#include <QString>

#include <memory>
#include <optional>

namespace Cli {

struct Source {
    SourceKind kind = SourceKind::None;
    QString value; // absolute for files
    QString error; // a list line that could not be taken: the reason (kind is then None)
};

// A line of a list: an address when it starts with a scheme ("http:", "about:"), else a page path.
// Returns kind None for a line to skip.
Source sourceFromLine(const QString &line);

// A file named on the command line is made absolute, as a file dialog would hand it to the window;
// share ("\\server\...") and drive ("C:...") forms are taken as they are.
QString absoluteSourcePath(SourceKind kind, const QString &value);

class BatchSources {
public:
    // Longest list line taken; a longer one is reported, not loaded.
    static constexpr qint64 MaxLineBytes = 64 * 1024;

    explicit BatchSources(QList<SourceArg> args);
    ~BatchSources();

    // Opens every list file at once, so that a missing one stops the run before any page is loaded.
    // Returns an empty text, or what went wrong.
    QString open();
    // The next source, or nothing after the last.
    std::optional<Source> next();
    // A list file that failed while being read (empty while none has).
    QString readError() const { return m_readError; }

private:
    QList<SourceArg> m_args;
    std::vector<std::unique_ptr<QFile>> m_files; // one per list file, in order
    qsizetype m_arg = 0;
    size_t m_file = 0;
    QString m_readError;
};

} // namespace Cli
