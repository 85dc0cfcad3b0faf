// The "规范化" button end to end (read the pane, normalise, write the pane) and one find next that runs
// to the end of the text, on a pane holding 20 million characters, against NormaliseCodeText alone.
// Prints the figures and the ratio of the button to the bare function.

#include "../common/MeanTimeReporter.h"
#include "platform/ui/TextPane.h"
#include "support/ScriptCorpus.h"
#include "workbench/Normaliser.h"
#include "workbench/ui/PaneTools.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr qsizetype kChars = 20'000'000;

const QString &corpus() {
    static const QString text = MakeScriptCorpus(kChars);
    return text;
}

TextPane *g_pane = nullptr; // made after the application object, deleted before it

TextPane &pane() {
    return *g_pane;
}

void BM_NormaliseCodeText(benchmark::State &state) {
    for (auto _ : state) {
        QString out = NormaliseCodeText(corpus());
        benchmark::DoNotOptimize(out);
    }
}

void BM_NormaliseCodeUtf8(benchmark::State &state) {
    const QByteArray bytes = corpus().toUtf8();
    for (auto _ : state) {
        QByteArray out = NormaliseCodeUtf8(bytes);
        benchmark::DoNotOptimize(out);
    }
}

void BM_NormaliseButton(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        pane().setText(corpus());
        state.ResumeTiming();
        benchmark::DoNotOptimize(NormalisePane(&pane()));
    }
    state.counters["pane chars"] = double(pane().length());
}

// The button and then the pane's length in UTF-16, a count over the whole text: the most the first
// offset asked for after the button can add.
void BM_NormaliseButtonThenLength(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        pane().setText(corpus());
        state.ResumeTiming();
        benchmark::DoNotOptimize(NormalisePane(&pane()));
        benchmark::DoNotOptimize(pane().length());
    }
}

void BM_FindNextToEnd(benchmark::State &state) {
    pane().setText(corpus());
    const QString absent = QStringLiteral("找不到的文字");
    for (auto _ : state) {
        pane().setSelection(0, 0);
        benchmark::DoNotOptimize(FindNextInPane(&pane(), absent));
    }
}

// The two halves of the button's pane traffic, for reading the figures above.
void BM_PaneReadText(benchmark::State &state) {
    pane().setText(corpus());
    for (auto _ : state) {
        QString text = pane().text();
        benchmark::DoNotOptimize(text);
    }
}

void BM_PaneSetText(benchmark::State &state) {
    const QString normalised = NormaliseCodeText(corpus());
    for (auto _ : state) {
        state.PauseTiming();
        pane().setText(QString());
        state.ResumeTiming();
        pane().setText(normalised);
    }
}

// The pane's share of opening a large script file: one long append.
void BM_PaneAppend(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        pane().setText(QString());
        state.ResumeTiming();
        pane().append(corpus());
    }
}

// The same halves at the byte level, as the button uses them.
void BM_PaneReadUtf8(benchmark::State &state) {
    pane().setText(corpus());
    for (auto _ : state) {
        QByteArray bytes = pane().utf8Text();
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_PaneSetUtf8(benchmark::State &state) {
    const QByteArray normalised = NormaliseCodeText(corpus()).toUtf8();
    for (auto _ : state) {
        state.PauseTiming();
        pane().setText(corpus());
        state.ResumeTiming();
        pane().setUtf8Text(normalised);
    }
}

BENCHMARK(BM_NormaliseCodeText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NormaliseCodeUtf8)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NormaliseButton)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NormaliseButtonThenLength)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FindNextToEnd)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PaneReadText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PaneSetText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PaneAppend)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PaneReadUtf8)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PaneSetUtf8)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const auto paneOwner = std::make_unique<TextPane>();
    g_pane = paneOwner.get();
    benchmark::Initialize(&argc, argv);
    corpus();
    MeanTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double pure = reporter.msPerRun["BM_NormaliseCodeText"];
    const double button = reporter.msPerRun["BM_NormaliseButton"];
    const double find = reporter.msPerRun["BM_FindNextToEnd"];
    const double thenLength = reporter.msPerRun["BM_NormaliseButtonThenLength"];
    if (pure > 0 && button > 0)
        std::printf("pane of %lld chars: normalise button %.1f ms, NormaliseCodeText %.1f ms, ratio %.2f; "
                    "find next to the end %.1f ms\n",
                    static_cast<long long>(kChars), button, pure, button / pure, find);
    if (pure > 0 && thenLength > 0)
        std::printf("normalise button followed by the UTF-16 length %.1f ms, ratio %.2f\n", thenLength,
                    thenLength / pure);
    benchmark::Shutdown();
    return 0;
}
