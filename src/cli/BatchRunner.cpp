#include "cli/BatchRunner.h"

#include "analysis/SourceLoader.h"
#include "platform/BrowserEngineLoader.h"
#include "platform/PageEngine.h"

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
    bool done = false;

    ~Job() {
        // Deleted later: a job ends inside its loader's own finished().
        if (loader)
            loader->deleteLater();
        if (engine)
            engine->deleteLater();
    }
};

BatchRunner::BatchRunner(const CollectOptions &options, BatchSources &sources, Output &output)
    : m_options(options), m_sources(sources), m_output(output) {
    m_ordered = !options.json && options.outputDir.isEmpty();
    m_several = options.sources.size() > 1 || options.sources.first().kind == SourceKind::None;
    if (!options.outputDir.isEmpty())
        m_folders.emplace(options.outputDir, options.overwrite);
    if (options.browser) {
        // Checked once: a failed start of the engine can take the whole process down. A plugin that is
        // missing or cannot be loaded is a reason like any other.
        const QString problem = BrowserEngineLoader::startProblem();
        m_browser = problem.isEmpty();
        if (!m_browser)
            say(QStringLiteral("浏览器内核无法启动，已改用静态解析。（%1）\n").arg(problem).toUtf8());
    }
}

PageEngine *BatchRunner::engineFor(SourceKind kind) {
    if (m_browser && kind != SourceKind::ScriptFile)
        return BrowserEngineLoader::create(nullptr);
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
    keep.out = m_ordered || m_folders.has_value();
    keep.list = m_ordered && m_options.list;
    keep.records = !m_ordered;
    keep.bytes = m_folders.has_value();
    keep.scriptText = m_options.withText;
    j.sink = std::make_unique<RecordingSink>(j.result, keep);
    if (m_ordered) {
        // The page whose turn it is prints as it is collected, so a huge page is never held whole.
        j.sink->setDrain([this, position](QByteArray &bytes) {
            if (position != m_written)
                return;
            m_output.writeOut(bytes);
            bytes.clear();
        });
    }
    j.engine = engineFor(source.kind);
    j.loader = new SourceLoader(j.engine, j.sink.get());
    ++m_running;
    connect(j.loader, &SourceLoader::finished, this, [this, position] { jobDone(position); });
    j.loader->start(source.kind, source.value);
}

void BatchRunner::jobDone(int position) {
    const auto it = m_jobs.find(position);
    if (it == m_jobs.end())
        return;
    Job &job = *it->second;
    job.result.failures = job.loader->failures();
    job.result.pageFailure = job.loader->pageFailure();
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
    if (m_ordered) {
        m_output.writeOut(page.out);
    } else if (m_options.json) {
        QByteArray lines;
        if (!page.pageFailure.isEmpty()) // a page that failed or was cut short says so in the stream too
            lines += QJsonDocument(pageFailureJson(page.source, page.pageFailure)).toJson(QJsonDocument::Compact) + '\n';
        for (const ScriptRecord &r : page.scripts) {
            const QString file = r.file.isEmpty() || folder.isEmpty() ? QString() : folder + QLatin1Char('/') + r.file;
            lines += QJsonDocument(recordJson(page.source, r, file, m_options.withText)).toJson(QJsonDocument::Compact);
            lines += '\n';
        }
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
