// One page of 50 external scripts (each answered after 50 ms) from 127.0.0.1, collected through the
// static engine and through the browser engine (engine start-up and settle time included), with the
// peak memory of each (the program and the engine's helper processes together); and the same 50
// scripts spread over 5 hosts (ports) against all on one host.

#include "../common/MeanTimeReporter.h"
#include "analysis/ScriptCollection.h"
#include "analysis/SourceLoader.h"
#include "analysis/StringSink.h"
#include "platform/page/PageEngine.h"
#include "platform/page/browser/BrowserPageEngine.h"
#include "platform/page/browser/BrowserStartCheck.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

constexpr int ScriptCount = 50;
constexpr int DelayMs = 50;
constexpr int HostCount = 5;

std::vector<std::unique_ptr<LocalHttpServer>> servers;
QString pageAddress;
PageDocument oneHost, fiveHosts;

// Resident memory of a process and its descendants, in KiB.
qint64 residentKiB(const QString &pid) {
    qint64 total = 0;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    const QStringList tasks = QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(pid, task));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray &child : children.readAll().split(' '))
                if (!child.trimmed().isEmpty())
                    total += residentKiB(QString::fromLatin1(child.trimmed()));
    }
    return total;
}

struct Peak {
    qint64 kib = 0;
};
Peak staticPeak, browserPeak;
StringSink staticOut, browserOut;

// Runs `load` while sampling the memory of the whole process tree.
template <typename Load> void sampled(Peak &peak, Load load) {
    QTimer sampler;
    const QString self = QString::number(::getpid());
    QObject::connect(&sampler, &QTimer::timeout, [&] { peak.kib = std::max(peak.kib, residentKiB(self)); });
    sampler.start(20);
    load();
    peak.kib = std::max(peak.kib, residentKiB(self));
}

void setUp() {
    for (int h = 0; h < HostCount; ++h)
        servers.push_back(std::make_unique<LocalHttpServer>());
    QByteArray html = "<html><head><title>50</title></head><body>\n";
    for (int i = 0; i < ScriptCount; ++i) {
        const QByteArray body = QStringLiteral("function s%1() { return %1; }\n").arg(i).toUtf8();
        const QString path = QStringLiteral("/js/%1.js").arg(i);
        for (auto &server : servers)
            server->route(path, LocalHttpServer::reply(200, body, "text/javascript", {}, DelayMs));
        html += QStringLiteral("<script src=\"js/%1.js\"></script>\n").arg(i).toUtf8();
        oneHost.scripts.append({servers[0]->baseUrl() + path, QString(), false});
        fiveHosts.scripts.append({servers[size_t(i % HostCount)]->baseUrl() + path, QString(), false});
    }
    html += "</body></html>";
    servers[0]->route(QStringLiteral("/page.htm"), LocalHttpServer::reply(200, html, "text/html"));
    pageAddress = servers[0]->baseUrl() + QStringLiteral("/page.htm");
    oneHost.url = fiveHosts.url = pageAddress;
}

void BM_StaticEngine(benchmark::State &state) {
    for (auto _ : state) {
        sampled(staticPeak, [] {
            std::unique_ptr<PageEngine> engine(createDefaultPageEngine());
            staticOut = StringSink();
            SourceLoader::runBlocking(engine.get(), &staticOut, SourceKind::PageAddress, pageAddress);
        });
    }
}

void BM_BrowserEngine(benchmark::State &state) {
    for (auto _ : state) {
        sampled(browserPeak, [] {
            std::unique_ptr<PageEngine> engine(createBrowserPageEngine());
            browserOut = StringSink();
            SourceLoader::runBlocking(engine.get(), &browserOut, SourceKind::PageAddress, pageAddress);
        });
    }
}

void BM_OneHost(benchmark::State &state) {
    for (auto _ : state) {
        StringSink sink;
        加载DocCss到数组(oneHost, sink);
    }
}

void BM_FiveHosts(benchmark::State &state) {
    for (auto _ : state) {
        StringSink sink;
        加载DocCss到数组(fiveHosts, sink);
    }
}

} // namespace

BENCHMARK(BM_StaticEngine)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BrowserEngine)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_OneHost)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FiveHosts)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv) {
    TestEnv::isolate();
    TestEnv::prepareBrowserEngine();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    const QString problem = BrowserStartCheck::problemHere();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "browser engine cannot start: %s\n", qPrintable(problem));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    setUp();
    MeanTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ms = [&](const char *name) { return reporter.msPerRun[name]; };
    std::printf("\n%d external scripts, each answered after %d ms\n", ScriptCount, DelayMs);
    std::printf("static engine:  %8.1f ms, peak memory %6.1f MiB\n", ms("BM_StaticEngine"),
                double(staticPeak.kib) / 1024.0);
    std::printf("browser engine: %8.1f ms, peak memory %6.1f MiB (with its helper processes)\n",
                ms("BM_BrowserEngine"), double(browserPeak.kib) / 1024.0);
    if (ms("BM_StaticEngine") > 0)
        std::printf("browser / static: %.2f (target <= 2)\n", ms("BM_BrowserEngine") / ms("BM_StaticEngine"));
    std::printf("same scripts listed by both engines: %s\n",
                staticOut.entries == browserOut.entries ? "yes" : "no");
    std::printf("one host: %8.1f ms, %d hosts: %8.1f ms, speed-up %.2f (target >= 3)\n", ms("BM_OneHost"),
                HostCount, ms("BM_FiveHosts"),
                ms("BM_FiveHosts") > 0 ? ms("BM_OneHost") / ms("BM_FiveHosts") : 0.0);
    return 0;
}
