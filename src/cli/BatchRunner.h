#pragma once
// Runs the pages of one `collect` run, up to `jobs` at a time, each through its own load sequence, and
// hands each finished page to the outputs: standard output (texts or lists in input order, or JSON
// lines), the page folders and standard error (failures, a progress line on a terminal). A page's
// memory is given back once it is written, and no page starts more than `jobs` ahead of the oldest
// one still waiting for its turn on standard output, so memory follows the pages in flight, not the
// length of the list.

#include "cli/BatchSources.h"
#include "cli/CliCommands.h"
#include "cli/CollectOptions.h"
#include "cli/PageFolderWriter.h"
#include "cli/PageRecords.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>

class PageEngine;
class QEventLoop;
class SourceLoader;

namespace Cli {

class BatchRunner : public QObject {
    Q_OBJECT
public:
    BatchRunner(const CollectOptions &options, BatchSources &sources, Output &output);
    ~BatchRunner() override;

    // Runs every page to its end in a local event loop. Returns the exit code.
    int run();

private:
    struct Job;
    void fill();
    void startJob(int position, const Source &source);
    void jobDone(int position);
    void flush();
    void writePage(Job &job);
    void showProgress();
    // The engine of a page of `kind`: the browser engine only for pages, and only when it can start.
    PageEngine *engineFor(SourceKind kind);
    // Writes to standard error, first clearing a progress line.
    void say(const QByteArray &message);

    const CollectOptions &m_options;
    BatchSources &m_sources;
    Output &m_output;
    std::optional<PageFolderWriter> m_folders;
    std::map<int, std::unique_ptr<Job>> m_jobs; // started and not yet written, by position
    bool m_ordered;  // standard output takes the pages in input order
    bool m_several;  // more than one page may come: failures name their page
    int m_started = 0;
    int m_running = 0;
    int m_written = 0; // pages written (in order when m_ordered)
    int m_failedPages = 0;
    bool m_sourcesDone = false;
    bool m_progressShown = false;
    bool m_failed = false;
    bool m_browser = false; // pages go through the browser engine
    bool m_findEndpoints;   // an output wants the addresses of each page's code
    QEventLoop *m_loop = nullptr;
};

} // namespace Cli
