// Page script collection against a local server that answers every script after 50 ms: the prefetching
// collection, the same collection limited to one transfer, and the plain one-at-a-time walk. Prints the
// times, the speed-up and whether all outputs are identical; also gumbo's parse time for a 5 MB page.

#include "analysis/ScriptCollection.h"
#include "analysis/StringSink.h"
#include "platform/page/PageEngine.h"
#include "support/LocalHttpServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <memory>

namespace {

constexpr int ScriptCount = 50;
constexpr int DelayMs = 50;

std::unique_ptr<LocalHttpServer> server;
PageDocument page;

struct Figures {
    double totalMs = 0;
    int runs = 0;
    StringSink last;
    double meanMs() const { return runs ? totalMs / runs : 0; }
};
Figures prefetch, single, walk;

void setUp() {
    server = std::make_unique<LocalHttpServer>();
    page.url = server->baseUrl() + QStringLiteral("/site/page.htm");
    for (int i = 0; i < ScriptCount; ++i) {
        const QString body = QStringLiteral("function s%1() { return %1; }\n").arg(i);
        server->route(QStringLiteral("/site/js/%1.js").arg(i),
                      LocalHttpServer::Response{200, body.toUtf8(), "text/javascript", {}, DelayMs, {}});
        page.scripts.append({QStringLiteral("js/%1.js").arg(i), QString(), false});
        if (i % 10 == 0)
            page.scripts.append({QString(), QStringLiteral("inline%1();").arg(i), false});
    }
}

template <typename Collect> void measure(benchmark::State &state, Figures &figures, Collect collect) {
    for (auto _ : state) {
        StringSink sink;
        QElapsedTimer timer;
        timer.start();
        collect(sink);
        figures.totalMs += double(timer.nsecsElapsed()) / 1e6;
        ++figures.runs;
        figures.last = sink;
    }
}

void BM_CollectPrefetch(benchmark::State &state) {
    measure(state, prefetch, [](StringSink &sink) { 加载DocCss到数组(page, sink); });
}

void BM_CollectOneTransfer(benchmark::State &state) {
    measure(state, single, [](StringSink &sink) {
        ScriptCollection collection(page, &sink);
        collection.setMaxTransfers(1);
        QEventLoop loop;
        QObject::connect(&collection, &ScriptCollection::finished, &loop, &QEventLoop::quit);
        collection.start();
        loop.exec();
    });
}

void BM_CollectOneAtATime(benchmark::State &state) {
    measure(state, walk, [](StringSink &sink) { collectOneAtATime(page, sink); });
}

void BM_ParseHtml5MB(benchmark::State &state) {
    QString html = QStringLiteral("<!DOCTYPE html><html><head><title>big</title></head><body>\n");
    int n = 0;
    while (html.size() < 5 * 1024 * 1024) {
        html += QStringLiteral("<div class=\"row\" id=\"r%1\"><p>段落 %1 <a href=\"/x/%1\">link</a></p>"
                               "<script>var v%1 = %1;</script><script src=\"js/%1.js\"></script></div>\n")
                    .arg(n++);
    }
    html += QStringLiteral("</body></html>");
    qsizetype scripts = 0;
    for (auto _ : state) {
        const PageDocument doc = parseHtmlDocument(html, QStringLiteral("http://127.0.0.1/big.htm"));
        scripts = doc.scripts.size();
        benchmark::DoNotOptimize(scripts);
    }
    state.counters["scripts"] = double(scripts);
    state.counters["MB"] = double(html.toUtf8().size()) / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK(BM_CollectPrefetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_CollectOneTransfer)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_CollectOneAtATime)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ParseHtml5MB)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (prefetch.runs && walk.runs) {
        const bool same = prefetch.last.pieces == walk.last.pieces &&
                          prefetch.last.entries == walk.last.entries &&
                          (!single.runs || single.last.pieces == walk.last.pieces);
        std::printf("\n%d scripts, each answered after %d ms\n", ScriptCount, DelayMs);
        std::printf("prefetching collection (<= %d transfers): %8.1f ms\n",
                    ScriptCollection::DefaultMaxTransfers, prefetch.meanMs());
        if (single.runs)
            std::printf("same collection, one transfer:          %8.1f ms\n", single.meanMs());
        std::printf("one-at-a-time walk:                     %8.1f ms\n", walk.meanMs());
        std::printf("speed-up (walk / prefetch):             %8.2f\n", walk.meanMs() / prefetch.meanMs());
        std::printf("outputs identical:                      %s\n", same ? "yes" : "NO");
    }
    server.reset();
    return 0;
}
