// The function list of a combined text of 20 million characters in many script blocks: the bare
// tree-sitter parse of the blocks on one thread, the functions found in parallel, and the window's way
// from the end of a collection to the filled list, with the longest stall of its user-interface thread
// (a 10 ms timer records its largest gap). Prints the figures and the ratio of the list to the bare parse.

#include "../common/MeanTimeReporter.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/WindowSink.h"
#include "analysis/ui/FunctionTab.h"
#include "decompose/Functions.h"
#include "decompose/JsParser.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextPane.h"
#include "support/ScriptCorpus.h"
#include "support/StallWatch.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr qsizetype kChars = 20'000'000;

struct Combined {
    QString text;
    QStringList entries; // the script list
    QList<Decompose::Block> blocks;
};

const Combined &combined() {
    static const Combined c = [] {
        Combined out;
        CombinedCorpus corpus = MakeCombinedCorpus(kChars);
        out.text = std::move(corpus.text);
        out.entries = std::move(corpus.entries);
        for (const ScriptBlock &b : ScriptBlocksOf(out.text))
            out.blocks.push_back({b.number, {b.bodyStart, b.bodyEnd}});
        return out;
    }();
    return c;
}

void BM_BareParseOneThread(benchmark::State &state) {
    const Combined &c = combined();
    Decompose::JsParser parser;
    for (auto _ : state) {
        for (const Decompose::Block &b : c.blocks) {
            Decompose::Tree tree = parser.parse(QStringView(c.text).mid(b.body.start, b.body.length()));
            benchmark::DoNotOptimize(tree.get());
        }
    }
    state.counters["blocks"] = double(c.blocks.size());
}

void BM_FunctionsOfParallel(benchmark::State &state) {
    const Combined &c = combined();
    qsizetype n = 0;
    for (auto _ : state) {
        const QList<Decompose::Function> fs = Decompose::functionsOf(c.text, c.blocks);
        n = fs.size();
        benchmark::DoNotOptimize(fs.data());
    }
    state.counters["functions"] = double(n);
}

FormSinFile *g_form = nullptr;
double g_worstStallMs = 0;

// 显示到LV as the load calls it, up to the filled list, while a 10 ms timer watches the thread.
void BM_WindowListAfterCollection(benchmark::State &state) {
    const Combined &c = combined();
    g_form->windowSink()->clear();
    g_form->RtbOld->setText(c.text);
    for (const QString &entry : c.entries)
        g_form->windowSink()->addEntry(entry);
    for (auto _ : state) {
        state.PauseTiming();
        g_form->ListView1->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QEventLoop loop;
        QObject::connect(g_form->functionTab(), &FunctionTab::listFilled, &loop, &QEventLoop::quit);
        // The load hands over the collection's own bytes; the copy out of the pane is not part of it.
        const QByteArray combined = g_form->RtbOld->utf8Text();
        StallWatch stalls(10);
        g_form->functionTab()->显示到LV(combined);
        loop.exec();
        g_worstStallMs = std::max(g_worstStallMs, stalls.longestMs());
    }
    state.counters["entries"] = double(g_form->ListView1->topLevelItemCount());
    state.counters["worst gap ms"] = g_worstStallMs;
}

BENCHMARK(BM_BareParseOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FunctionsOfParallel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WindowListAfterCollection)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const auto form = std::make_unique<FormSinFile>(nullptr);
    g_form = form.get();
    benchmark::Initialize(&argc, argv);
    const Combined &c = combined();
    std::printf("combined text: %lld chars, %lld blocks\n", static_cast<long long>(c.text.size()),
                static_cast<long long>(c.blocks.size()));
    MeanTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double bare = reporter.msPerRun["BM_BareParseOneThread"];
    const double list = reporter.msPerRun["BM_WindowListAfterCollection"];
    if (bare > 0 && list > 0)
        std::printf("filled list %.1f ms, bare one-thread parse %.1f ms, ratio %.2f; longest stall of the "
                    "user-interface thread %.1f ms\n",
                    list, bare, list / bare, g_worstStallMs);
    benchmark::Shutdown();
    return 0;
}
