// varneljs-cli collect over 200 pages of 10 scripts each, every reply after 50 ms, spread over 8 local
// servers: wall time and peak memory of the whole command with --jobs 1 and --jobs 8 (page folders and
// JSON lines written), and the speed-up.

#include "support/LocalHttpServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr int Pages = 200;
constexpr int ScriptsPerPage = 10;
constexpr int Servers = 8;
constexpr int DelayMs = 50;

std::vector<std::unique_ptr<LocalHttpServer>> servers;
std::unique_ptr<QTemporaryDir> work;
std::map<int, long> peakKiB; // by jobs
std::map<int, int> exitCodes;
std::map<int, double> wallMs;

void setUp() {
    for (int s = 0; s < Servers; ++s)
        servers.push_back(std::make_unique<LocalHttpServer>(LocalHttpServer::Scheme::Http, 128));
    work = std::make_unique<QTemporaryDir>();
    QFile list(work->filePath("list.txt"));
    if (!list.open(QIODevice::WriteOnly))
        std::abort();
    for (int p = 0; p < Pages; ++p) {
        QByteArray html = "<html><head>";
        for (int j = 0; j < ScriptsPerPage; ++j) {
            // Each page's scripts come from every server, as pages load from several hosts.
            LocalHttpServer &host = *servers[size_t((p + j) % Servers)];
            const QString path = QStringLiteral("/js/%1/%2.js").arg(p).arg(j);
            const QByteArray body = QStringLiteral("function p%1s%2() { return %3; }\n").arg(p).arg(j).arg(p * j).toUtf8();
            host.route(path, LocalHttpServer::reply(200, body.repeated(20), "text/javascript", {}, DelayMs));
            html += "<script src=\"" + (host.baseUrl() + path).toUtf8() + "\"></script>";
        }
        html += "</head></html>";
        LocalHttpServer &home = *servers[size_t(p % Servers)];
        const QString page = QStringLiteral("/page/%1.htm").arg(p);
        home.route(page, LocalHttpServer::reply(200, html, "text/html", {}, DelayMs));
        list.write((home.baseUrl() + page).toUtf8() + '\n');
    }
}

// Runs the command to its end; its exit code and the child's peak resident size in KiB.
int runCli(int jobs, long &maxRssKiB) {
    const QString out = work->filePath(QStringLiteral("out-%1").arg(jobs));
    QDir(out).removeRecursively();
    const QByteArray cli = VARNEL_CLI_PATH, listPath = work->filePath("list.txt").toLocal8Bit(),
                     outPath = out.toLocal8Bit(), jobsText = QByteArray::number(jobs);
    std::vector<char *> argv{const_cast<char *>(cli.constData()), const_cast<char *>("collect"),
                             const_cast<char *>("--input"), const_cast<char *>(listPath.constData()),
                             const_cast<char *>("--output-dir"), const_cast<char *>(outPath.constData()),
                             const_cast<char *>("--json"), const_cast<char *>("--jobs"),
                             const_cast<char *>(jobsText.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    maxRssKiB = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_Batch(benchmark::State &state) {
    const int jobs = int(state.range(0));
    for (auto _ : state) {
        long kib = 0;
        QElapsedTimer timer;
        timer.start();
        exitCodes[jobs] = runCli(jobs, kib);
        wallMs[jobs] = double(timer.nsecsElapsed()) / 1e6;
        peakKiB[jobs] = std::max(peakKiB[jobs], kib);
    }
    state.counters["peak_MiB"] = double(peakKiB[jobs]) / 1024.0;
}

} // namespace

BENCHMARK(BM_Batch)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n%d pages x %d scripts, %d ms per reply, %d servers\n", Pages, ScriptsPerPage, DelayMs, Servers);
    for (const auto &[jobs, kib] : peakKiB)
        std::printf("--jobs %d: %8.0f ms, exit %d, peak memory %.1f MiB\n", jobs, wallMs[jobs], exitCodes[jobs],
                    double(kib) / 1024.0);
    if (wallMs.count(1) && wallMs.count(8))
        std::printf("speed-up with 8 jobs: %.1fx\n", wallMs[1] / wallMs[8]);
    return 0;
}
