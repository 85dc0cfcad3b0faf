// NormaliseCodeText against the rule list run literally, on 20 million characters of script text.
// Prints both times and the ratio at the end.

#include "../common/MeanTimeReporter.h"
#include "ReferenceNormaliser.h"
#include "support/ScriptCorpus.h"
#include "workbench/Normaliser.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr qsizetype kChars = 20'000'000;

const QString &corpus() {
    static const QString text = MakeScriptCorpus(kChars);
    return text;
}

void BM_NormaliseCodeText(benchmark::State &state) {
    const QString &text = corpus();
    for (auto _ : state) {
        QString out = NormaliseCodeText(text);
        benchmark::DoNotOptimize(out);
    }
    state.counters["chars"] = double(kChars);
}

void BM_LiteralRuleList(benchmark::State &state) {
    const QString &text = corpus();
    for (auto _ : state) {
        QString out = ReferenceNormaliseCodeText(text);
        benchmark::DoNotOptimize(out);
    }
    state.counters["chars"] = double(kChars);
}

BENCHMARK(BM_NormaliseCodeText)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LiteralRuleList)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    corpus(); // build the text before timing
    MeanTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fast = reporter.msPerRun["BM_NormaliseCodeText"];
    const double literal = reporter.msPerRun["BM_LiteralRuleList"];
    if (fast > 0 && literal > 0)
        std::printf("normaliser on %lld chars: fast %.1f ms, literal nineteen passes %.1f ms, ratio %.1fx\n",
                    static_cast<long long>(kChars), fast, literal, literal / fast);
    benchmark::Shutdown();
    return 0;
}
