// The function list with the addresses the code talks to, against the function list alone, over the
// combined text of 20 million characters the other benchmarks use: one block after the other on one
// thread (the cost of the walk itself) and in parallel as the window and the command line run it.
// Prints the figures and the ratios, of the wall-clock time and of the processor time (the machine may be
// shared: the processor time of the work is the steadier figure then).

#include "../common/MeanTimeReporter.h"
#include "analysis/ScriptBlocks.h"
#include "decompose/Functions.h"
#include "support/ScriptCorpus.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr qsizetype kChars = 20'000'000;

// Also keeps the processor time per run (the whole process's for the parallel runs).
class TimesReporter : public MeanTimeReporter {
public:
    std::map<std::string, double> cpuMsPerRun;

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && run.time_unit == benchmark::kMillisecond)
                cpuMsPerRun[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        MeanTimeReporter::ReportRuns(runs);
    }
};

struct Combined {
    QString text;
    QList<Decompose::Block> blocks;
    QList<int> firstLines;
};

const Combined &combined() {
    static const Combined c = [] {
        Combined out;
        out.text = MakeCombinedCorpus(kChars).text;
        for (const ScriptBlock &b : ScriptBlocksOf(out.text)) {
            out.blocks.push_back({b.number, {b.bodyStart, b.bodyEnd}});
            out.firstLines.push_back(Decompose::lineAt(out.text, b.bodyStart));
        }
        return out;
    }();
    return c;
}

void oneThread(benchmark::State &state, bool withEndpoints) {
    const Combined &c = combined();
    qsizetype functions = 0;
    qsizetype endpoints = 0;
    for (auto _ : state) {
        functions = endpoints = 0;
        for (int i = 0; i < c.blocks.size(); ++i) {
            const Decompose::BlockFunctions found =
                Decompose::functionsOfBlock(c.text, c.blocks.at(i), c.firstLines.at(i), withEndpoints);
            functions += found.functions.size();
            endpoints += found.endpoints.size();
        }
    }
    state.counters["functions"] = double(functions);
    state.counters["endpoints"] = double(endpoints);
}

void BM_ListOneThread(benchmark::State &state) { oneThread(state, false); }
void BM_ListAndAddressesOneThread(benchmark::State &state) { oneThread(state, true); }

void BM_ListParallel(benchmark::State &state) {
    const Combined &c = combined();
    for (auto _ : state)
        benchmark::DoNotOptimize(Decompose::functionsOf(c.text, c.blocks).size());
}

void BM_ListAndAddressesParallel(benchmark::State &state) {
    const Combined &c = combined();
    qsizetype n = 0;
    for (auto _ : state) {
        const Decompose::Decomposition d = Decompose::decompose(c.text, c.blocks, QUrl(QStringLiteral("http://h/")));
        n = d.endpoints.size();
    }
    state.counters["endpoints"] = double(n);
}

BENCHMARK(BM_ListOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListAndAddressesOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListParallel)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ListAndAddressesParallel)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const Combined &c = combined();
    std::printf("combined text: %lld chars, %lld blocks\n", static_cast<long long>(c.text.size()),
                static_cast<long long>(c.blocks.size()));
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [](std::map<std::string, double> &ms, const char *with, const char *alone) {
        return ms[alone] > 0 ? ms[with] / ms[alone] : 0.0;
    };
    std::printf("list + addresses against the list alone (target <= 1.20x):\n"
                "  one thread: wall clock %.2fx, processor time %.2fx\n"
                "  parallel:   wall clock %.2fx, processor time %.2fx\n",
                ratio(reporter.msPerRun, "BM_ListAndAddressesOneThread", "BM_ListOneThread"),
                ratio(reporter.cpuMsPerRun, "BM_ListAndAddressesOneThread", "BM_ListOneThread"),
                ratio(reporter.msPerRun, "BM_ListAndAddressesParallel", "BM_ListParallel"),
                ratio(reporter.cpuMsPerRun, "BM_ListAndAddressesParallel", "BM_ListParallel"));
    benchmark::Shutdown();
    return 0;
}
