// Page parsing on a 5 MB page: gumbo alone, parseHtmlDocument (gumbo plus the script walk), and the
// decoding of the same page saved as GBK. Throughput is printed as bytes_per_second (MB/s).

#include "platform/page/PageEngine.h"
#include "platform/text/TextCodec.h"

#include <QStringEncoder>

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <cstdio>
#include <iterator>
#include <sys/resource.h>

namespace {

constexpr qsizetype kPageBytes = 5 * 1000 * 1000;

// A page shaped like a large portal page: tables and lists of Chinese text, inline and external
// scripts, tracking <noscript> blocks, comments and style.
const QString &page() {
    static const QString html = [] {
        QString s = QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"gbk\"><title>门户首页</title>"
            "<style>.a{color:red}</style><script src=\"/js/jquery.js\"></script></head><body>");
        int block = 0;
        qsizetype bytes = 0;
        while (bytes < kPageBytes) {
            const qsizetype before = s.size();
            for (int k = 0; k < 50; ++k, ++block) {
                s += QStringLiteral(
                         "<div class=\"item\" id=\"i%1\"><table><tr><td><a href=\"/news/%1.htm\">新闻标题%1："
                         "今日要闻，欢迎阅读</a></td><td><span>2024-01-01</span></td></tr></table>"
                         "<ul><li>第一条</li><li>第二条 &amp; 第三条</li></ul><!-- 广告位 %1 -->")
                         .arg(block);
                if (block % 5 == 0)
                    s +=
                        QStringLiteral("<script>var v%1 = {name: '模块%1', items: [1,2,3], f: function(a, b) "
                                       "{ return a < b && b > 0 ? '<b>' + a + '</b>' : ''; }};</script>")
                            .arg(block);
                if (block % 7 == 0)
                    s += QStringLiteral("<script src=\"/js/m%1.js\" defer></script>").arg(block);
                if (block % 11 == 0)
                    s += QStringLiteral("<noscript><img src=\"/t.gif?%1\" width=1 height=1></noscript>")
                             .arg(block);
                s += QStringLiteral("</div>");
            }
            bytes += QStringView(s).sliced(before).toUtf8().size();
        }
        s += QStringLiteral("</body></html>");
        return s;
    }();
    return html;
}

void BM_GumboParse(benchmark::State &state) {
    const QByteArray utf8 = page().toUtf8();
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    for (auto _ : state) {
        GumboOutput *out = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
        benchmark::DoNotOptimize(out);
        gumbo_destroy_output(&options, out);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * utf8.size());
}

void BM_ParseHtmlDocument(benchmark::State &state) {
    const QString &html = page();
    qsizetype scripts = 0;
    for (auto _ : state) {
        PageDocument doc = parseHtmlDocument(html, QStringLiteral("http://h/index.htm"));
        scripts = doc.scripts.size();
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * html.toUtf8().size());
    state.counters["scripts"] = double(scripts);
}

void BM_DecodeGbkPage(benchmark::State &state) {
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(page());
    for (auto _ : state) {
        TextCodec::Decoded d = TextCodec::decodeHtml(bytes);
        benchmark::DoNotOptimize(d);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_DecodeUndeclaredGbk(benchmark::State &state) {
    // No declaration: the UTF-8 check and uchardet run over the whole page first.
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(page().mid(60));
    for (auto _ : state) {
        TextCodec::Decoded d = TextCodec::decode(bytes);
        benchmark::DoNotOptimize(d);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

// Hostile pages of 2.5 MB: one pattern repeated until the size is reached, a script before and after.
// Without a bound on the nesting, gumbo needs minutes (or overflows its stack) on most of them.
const char *const kNestedPatterns[] = {"<div>",           "<ul><li>",      "<b>",      "<i><b>", "<font>",
                                       "<table><tr><td>", "<p><b id=%1>x", "<svg><g>", "<span>"};

QString nestedPage(const char *pattern) {
    constexpr qsizetype kBytes = 2500 * 1000;
    QString html = QStringLiteral("<script>first()</script>");
    const QString unit = QString::fromLatin1(pattern);
    const bool numbered = unit.contains(QLatin1String("%1"));
    for (int i = 0; html.size() < kBytes; ++i)
        html += numbered ? unit.arg(i) : unit;
    return html + QStringLiteral("<script>last()</script>");
}

void BM_ParseDeeplyNested(benchmark::State &state) {
    const char *pattern = kNestedPatterns[state.range(0)];
    const QString html = nestedPage(pattern);
    qsizetype scripts = 0;
    for (auto _ : state) {
        PageDocument doc = parseHtmlDocument(html, QStringLiteral("http://h/deep.htm"));
        scripts = doc.scripts.size();
        benchmark::DoNotOptimize(doc);
    }
    state.SetLabel(pattern);
    state.SetBytesProcessed(int64_t(state.iterations()) * html.size());
    state.counters["scripts"] = double(scripts);
}

// A page of one million inline scripts (20 MB): listed in parts, so the process peaks far below the
// gigabyte one tree would take. Runs first, so the peak it prints is its own.
void BM_MillionInlineScripts(benchmark::State &state) {
    QString html = QStringLiteral("<html><body>");
    for (int i = 0; i < 1000000; ++i)
        html += QStringLiteral("<script>a()</script>");
    html += QStringLiteral("</body></html>");
    qsizetype scripts = 0;
    for (auto _ : state) {
        PageDocument doc = parseHtmlDocument(html, QStringLiteral("http://h/million.htm"));
        scripts = doc.scripts.size();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["scripts"] = double(scripts);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}

BENCHMARK(BM_MillionInlineScripts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ParseDeeplyNested)
    ->DenseRange(0, int(std::size(kNestedPatterns)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_GumboParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ParseHtmlDocument)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeGbkPage)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DecodeUndeclaredGbk)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char **argv) {
    std::printf("page: %.2f MB of HTML (UTF-8)\n", page().toUtf8().size() / 1e6);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
