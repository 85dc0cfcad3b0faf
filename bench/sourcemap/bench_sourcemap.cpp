// A source map of about 50 MB with sourcesContent for 5,000 files, shaped like a large web application's:
// parse and index it (bytes_per_second is MB/s of map), the same bytes through QJsonDocument for
// comparison, and one position lookup in the indexed map. Throughput is wall-clock time (UseRealTime).

#include "sourcemap/SourceMap.h"
#include "support/BigSourceMap.h"

#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace BigSourceMap;

const SourceMaps::Referrer &referrer() {
    static const SourceMaps::Referrer r =
        SourceMaps::Referrer::of(QStringLiteral("https://app.test/js/app.js.map"));
    return r;
}

void BM_ParseAndIndex(benchmark::State &state) {
    const QByteArray &json = bigMap();
    for (auto _ : state) {
        SourceMaps::SourceMap map;
        if (!map.parse(json, referrer()) || !map.parts()[0].mappingsError.isEmpty())
            state.SkipWithError("the generated map does not parse");
        benchmark::DoNotOptimize(map);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * json.size());
    state.counters["map_MB"] = double(json.size()) / 1e6;
}
BENCHMARK(BM_ParseAndIndex)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_QJsonDocumentOnly(benchmark::State &state) {
    const QByteArray &json = bigMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(json));
    state.SetBytesProcessed(int64_t(state.iterations()) * json.size());
}
BENCHMARK(BM_QJsonDocumentOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_Lookup(benchmark::State &state) {
    static SourceMaps::SourceMap map;
    if (map.parts().isEmpty())
        map.parse(bigMap(), referrer());
    std::mt19937 random(11);
    int found = 0;
    for (auto _ : state) {
        const auto hit = map.find(int(random() % BundleLines), int(random() % 1200));
        found += hit ? 1 : 0;
        benchmark::DoNotOptimize(hit);
    }
    if (found == 0)
        state.SkipWithError("no position found");
}
BENCHMARK(BM_Lookup)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
