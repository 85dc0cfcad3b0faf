#include "cli/BatchRunner.h"

#include "analysis/EndpointBase.h"
#include "analysis/SourceLoader.h"
#include "analysis/SourceMapCollector.h"
#include "analysis/SourceMapSink.h"
#include "cli/PageEndpoints.h"
#include "platform/page/PageEngineChoice.h"
#include "platform/page/PageEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>

namespace Cli {

struct BatchRunner::Job {
    PageResult result;
    std::unique_ptr<RecordingSink> sink;
    PageEngine *engine = nullptr;
    SourceLoader *loader = nullptr;
    SourceMapCollector *maps = nullptr; // --output-dir, --json and endpoints look for source maps
    std::unique_ptr<SourceMapSink> mapSink;
    bool collected = false; // the loader has finished
    SourceKind kind = SourceKind::None;
    bool endpointsFound = false;
    bool done = false;

    ~Job() {
        // Deleted later: a job ends inside its loader's own finished() (or its collector's idle()).
        if (loader)
            loader->deleteLater();
        if (maps)
            maps->deleteLater();
        if (engine)
            engine->deleteLater();
    }
};

BatchRunner::BatchRunner(const CollectOptions &options, BatchSources &sources, Output &output)
    : m_options(options), m_sources(sources), m_output(output) {
    m_ordered = !options.json && options.outputDir.isEmpty();
    m_findEndpoints = options.endpoints || options.json || !options.outputDir.isEmpty();
    m_several = options.sources.size() > 1 || options.sources.first().kind == SourceKind::None;
    if (!options.outputDir.isEmpty())
        m_folders.emplace(options.outputDir, options.overwrite);
    if (options.browser) {
        // Checked once: a failed start of the engine can take the whole process down. A plugin that is
        // missing or cannot be loaded is a reason like any other.
        const QString problem = PageEngineChoice::startProblem();
        m_browser = problem.isEmpty();
        if (!m_browser)
            say(PageEngineChoice::fallbackMessage(problem).toUtf8() + '\n');
    }
}

PageEngine *BatchRunner::engineFor(SourceKind kind) {
    // The window's choice: pages in the browser engine when it is wanted and can start, script files never.
    if (PageEngineChoice::decide(kind, m_browser, QString(), true).browser)
        return PageEngineChoice::create(nullptr);
    return createDefaultPageEngine();
}

BatchRunner::~BatchRunner() = default;

int BatchRunner::run() {
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(0, this, [this] { fill(); });
    loop.exec();
    m_loop = nullptr;
    // The loaders and engines of finished pages were handed to deleteLater inside the loop, and no loop
    // runs after it: they go now, not never.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (m_progressShown) {
        m_output.writeErr("\r\x1b[K");
        m_progressShown = false;
    }
    if (!m_sources.readError().isEmpty()) {
        say(oneLine(m_sources.readError()).toUtf8() + '\n');
        m_failed = true;
    }
    return m_failed || !m_output.good() ? NotObtained : Ok;
}

void BatchRunner::fill() {
    while (!m_sourcesDone && m_running < m_options.jobs &&
           (!m_ordered || m_started - m_written < m_options.jobs)) {
        const std::optional<Source> source = m_sources.next();
        if (!source) {
            m_sourcesDone = true;
            break;
        }
        startJob(m_started++, *source);
    }
    if (m_sourcesDone && m_jobs.empty() && m_loop)
        m_loop->quit();
}

void BatchRunner::startJob(int position, const Source &source) {
    auto job = std::make_unique<Job>();
    job->result.position = position;
    job->result.source = source.value;
    Job &j = *job;
    j.kind = source.kind;
    m_jobs.emplace(position, std::move(job));
    if (!source.error.isEmpty()) {
        j.result.error = source.error;
        j.done = true;
        QTimer::singleShot(0, this, [this] {
            flush();
            fill();
        });
        return;
    }
    Keep keep;
    keep.out = m_ordered || m_folders.has_value() || m_findEndpoints;
    keep.list = m_ordered && m_options.list;
    keep.records = !m_ordered;
    keep.bytes = m_folders.has_value();
    keep.scriptText = m_options.withText;
    j.sink = std::make_unique<RecordingSink>(j.result, keep);
    if (m_ordered && !m_options.endpoints) {
        // The page whose turn it is prints as it is collected, so a huge page is never held whole.
        j.sink->setDrain([this, position](QByteArray &bytes) {
            if (position != m_written)
                return;
            m_output.writeOut(bytes);
            bytes.clear();
        });
    }
    j.engine = engineFor(source.kind);
    ScriptSink *sink = j.sink.get();
    if (m_options.json || m_folders || m_options.endpoints) {
        j.maps = new SourceMapCollector;
        j.mapSink = std::make_unique<SourceMapSink>(sink, j.maps);
        sink = j.mapSink.get();
    }
    j.loader = new SourceLoader(j.engine, sink);
    ++m_running;
    connect(j.loader, &SourceLoader::finished, this, [this, position] { jobDone(position); });
    j.loader->start(source.kind, source.value);
}

void BatchRunner::jobDone(int position) {
    const auto it = m_jobs.find(position);
    if (it == m_jobs.end())
        return;
    Job &job = *it->second;
    if (!job.collected) {
        job.collected = true;
        job.result.failures = job.loader->failures();
        job.result.pageFailure = job.loader->pageFailure();
    }
    if (job.maps && job.maps->isBusy()) {
        // The page is written once its maps and sources are in.
        connect(job.maps, &SourceMapCollector::idle, this, [this, position] { jobDone(position); },
                Qt::SingleShotConnection);
        return;
    }
    if (job.maps)
        job.result.sources = pageSources(job.maps->result());
    if (m_findEndpoints && !job.endpointsFound) {
        job.endpointsFound = true;
        findEndpoints(job.result.out, endpointBase(job.kind, job.result.source),
                      job.maps ? job.maps->result() : SourceMapResult(), this,
                      [this, position](QList<Decompose::Endpoint> found) {
                          const auto at = m_jobs.find(position);
                          if (at == m_jobs.end())
                              return;
                          at->second->result.endpoints = std::move(found);
                          if (!m_folders) // only the page folder writes the text itself
                              at->second->result.out.clear();
                          jobDone(position);
                      });
        return;
    }
    job.done = true;
    --m_running;
    flush();
    fill();
}

void BatchRunner::flush() {
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        Job &job = *it->second;
        if (!job.done) {
            if (m_ordered)
                break; // later pages wait for this one
            ++it;
            continue;
        }
        writePage(job);
        ++m_written;
        it = m_jobs.erase(it);
    }
    showProgress();
}

void BatchRunner::writePage(Job &job) {
    PageResult &page = job.result;
    const QByteArray prefix = m_several ? oneLine(page.source).toUtf8() + "：" : QByteArray();
    if (!page.error.isEmpty()) {
        say(oneLine(page.error).toUtf8() + '\n');
        m_failed = true;
        ++m_failedPages;
        return;
    }
    QString folder;
    if (m_folders) {
        QString error;
        folder = m_folders->write(page, error);
        if (!error.isEmpty()) {
            say(prefix + oneLine(error).toUtf8() + '\n');
            m_failed = true;
        }
    }
    if (m_options.endpoints) {
        m_output.writeOut(endpointsOutput(page, m_options.json));
    } else if (m_ordered) {
        m_output.writeOut(page.out);
    } else if (m_options.json) {
        QByteArray lines;
        if (!page.pageFailure.isEmpty()) // a page that failed or was cut short says so in the stream too
            lines += QJsonDocument(pageFailureJson(page.source, page.pageFailure)).toJson(QJsonDocument::Compact) + '\n';
        for (const ScriptRecord &r : page.scripts) {
            const QString file = r.file.isEmpty() || folder.isEmpty() ? QString() : folder + QLatin1Char('/') + r.file;
            QJsonObject o = recordJson(page.source, r, file, m_options.withText);
            o.insert(QStringLiteral("record"), QStringLiteral("script"));
            lines += QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
        }
        lines += sourceJsonLines(page.source, page.sources.records, folder);
        lines += endpointRecordLines(page.source, page.endpoints);
        m_output.writeOut(lines);
    }
    QByteArray failures;
    if (!page.pageFailure.isEmpty())
        failures += oneLine(page.pageFailure).toUtf8() + '\n'; // it names its page
    for (const ScriptFailure &f : page.failures)
        failures += prefix + oneLine(QStringLiteral("未能取得脚本 %1 %2：%3").arg(f.index).arg(f.address, f.reason)).toUtf8() + '\n';
    say(failures);
    if (!failures.isEmpty()) {
        m_failed = true;
        ++m_failedPages;
    }
    // Maps and sources not obtained are told, but the page's scripts were had: the exit code stays.
    QByteArray missing;
    for (const QString &line : page.sources.notObtained)
        missing += prefix + oneLine(line).toUtf8() + '\n';
    say(missing);
}

void BatchRunner::say(const QByteArray &message) {
    if (message.isEmpty())
        return;
    if (m_progressShown) { // the message takes the progress line's place; the next page redraws it
        m_output.writeErr("\r\x1b[K");
        m_progressShown = false;
    }
    m_output.writeErr(message);
}

void BatchRunner::showProgress() {
    if (!m_output.errIsTerminal || !m_several)
        return;
    m_progressShown = true;
    m_output.writeErr(QStringLiteral("\r\x1b[K已完成 %1 页，进行中 %2 页，有失败的 %3 页")
                          .arg(m_written)
                          .arg(m_running)
                          .arg(m_failedPages)
                          .toUtf8());
}

} // namespace Cli
