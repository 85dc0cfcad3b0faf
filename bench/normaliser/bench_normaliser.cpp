// NormaliseCodeText (plain, indented, and on UTF-8 as the window runs it) against the rule list run
// literally, on 20 million characters of script text. Prints the times and the ratios at the end.

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

void BM_NormaliseIndented(benchmark::State &state) {
    const QString &text = corpus();
    NormaliseOptions options;
    options.indent = true;
    for (auto _ : state) {
        QString out = NormaliseCodeText(text, options);
        benchmark::DoNotOptimize(out);
    }
    state.counters["chars"] = double(kChars);
}

// The window's form: the editor's UTF-8.
void BM_NormaliseUtf8(benchmark::State &state) {
    static const QByteArray bytes = corpus().toUtf8();
    for (auto _ : state) {
        QByteArray out = NormaliseCodeUtf8(bytes);
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
BENCHMARK(BM_NormaliseIndented)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_NormaliseUtf8)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LiteralRuleList)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    corpus(); // build the text before timing
    MeanTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fast = reporter.msPerRun["BM_NormaliseCodeText"];
    const double indented = reporter.msPerRun["BM_NormaliseIndented"];
    const double utf8 = reporter.msPerRun["BM_NormaliseUtf8"];
    const double literal = reporter.msPerRun["BM_LiteralRuleList"];
    if (fast > 0 && literal > 0 && indented > 0 && utf8 > 0)
        std::printf("normaliser on %lld chars: %.1f ms (indented %.1f ms, UTF-8 %.1f ms), literal nineteen passes "
                    "%.1f ms; ratio %.1fx (indented %.1fx, UTF-8 %.1fx)\n",
                    static_cast<long long>(kChars), fast, indented, utf8, literal, literal / fast,
                    literal / indented, literal / utf8);
    benchmark::Shutdown();
    return 0;
}
