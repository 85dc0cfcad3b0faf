// Opening a 20-million-character script file in an analysis window (kind 1), from show() to the status
// text, against reading and decoding the same file. Prints both times, the ratio and the peak memory.

#include "../common/MeanTimeReporter.h"
#include "analysis/ui/AnalysisHost.h"
#include "analysis/ui/FormSinFile.h"
#include "platform/text/TextCodec.h"
#include "platform/ui/TextPane.h"
#include "support/ScriptCorpus.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr qsizetype kChars = 20'000'000;

class BenchHost : public AnalysisHost {
public:
    void setStatusText(const QString &text) override { status = text; }
    QString statusText() const override { return status; }
    ListPopupMenu listPopupMenu() override { return {}; }
    QString status;
};

// CPU time of the whole process (all threads), in milliseconds: on a busy machine wall time says more about
// the neighbours than about the program.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

std::map<std::string, double> &cpuMsPerRun() {
    static std::map<std::string, double> m;
    return m;
}

QString &scriptPath() {
    static QString path;
    return path;
}

void BM_ReadAndDecode(benchmark::State &state) {
    const double cpu0 = processCpuMs();
    for (auto _ : state) {
        TextCodec::FileText file = TextCodec::readFile(scriptPath());
        if (!file.ok || file.text.size() != kChars)
            state.SkipWithError("the script file did not read back whole");
        benchmark::DoNotOptimize(file);
    }
    cpuMsPerRun()["read"] = (processCpuMs() - cpu0) / double(state.iterations());
}

void BM_OpenScriptWindow(benchmark::State &state) {
    double cpu = 0;
    for (auto _ : state) {
        BenchHost host;
        auto *form = new FormSinFile(&host);
        form->setSource(SourceKind::ScriptFile, scriptPath(), QStringLiteral("large.js"));
        form->resize(1000, 700);
        QElapsedTimer timer;
        const double cpu0 = processCpuMs();
        timer.start();
        form->show();
        while (host.status.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cpu += processCpuMs() - cpu0;
        if (form->RtbOld->length() < kChars)
            state.SkipWithError("the combined text is incomplete");
        delete form;
        QCoreApplication::processEvents();
    }
    cpuMsPerRun()["open"] = cpu / double(state.iterations());
}

BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenScriptWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    scriptPath() = dir.filePath(QStringLiteral("large.js"));
    {
        QFile file(scriptPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(MakeScriptCorpus(kChars).toUtf8()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(scriptPath()));
            return 1;
        }
    }

    MeanTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double read = reporter.msPerRun["BM_ReadAndDecode"];
    const double open = reporter.msPerRun["BM_OpenScriptWindow"];
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (read > 0 && open > 0)
        std::printf(
            "open %lld chars, wall time: window %.1f ms, read+decode %.1f ms, ratio %.2f (target <= 3)\n",
            static_cast<long long>(kChars), open, read, open / read);
    const double readCpu = cpuMsPerRun()["read"];
    const double openCpu = cpuMsPerRun()["open"];
    if (readCpu > 0 && openCpu > 0)
        std::printf("open %lld chars, process CPU time: window %.1f ms, read+decode %.1f ms, ratio %.2f\n",
                    static_cast<long long>(kChars), openCpu, readCpu, openCpu / readCpu);
    std::printf("peak memory (ru_maxrss): %.1f MiB\n", usage.ru_maxrss / 1024.0);
    benchmark::Shutdown();
    return 0;
}
