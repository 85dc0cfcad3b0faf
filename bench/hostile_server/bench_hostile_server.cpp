// The process's memory while a server sends a script without end next to two ordinary scripts of the same
// host: the peak resident size over the start (the kernel's high-water mark, reset after set-up), how long
// the refusal at the cap took and what became of the ordinary scripts. Prints figures; passes nothing.

#include "platform/net/HttpManager.h"
#include "support/LocalHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
qint64 statusKiB(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // the high-water mark starts again from the present size
}

void runOnce(LocalHttpServer &server, int endlessCount) {
    resetPeak();
    const qint64 startKiB = statusKiB("VmRSS");
    QElapsedTimer clock;
    clock.start();
    QObject owner;
    QList<HttpHandler *> endless;
    for (int i = 0; i < endlessCount; ++i)
        endless << HttpManager::forThread()->get(server.baseUrl() + QStringLiteral("/endless.js?%1").arg(i), &owner);
    QList<HttpHandler *> ordinary{HttpManager::forThread()->get(server.baseUrl() + QStringLiteral("/a.js"), &owner),
                                  HttpManager::forThread()->get(server.baseUrl() + QStringLiteral("/b.js"), &owner)};
    QEventLoop loop;
    double ordinaryMs = 0;
    double refusedMs = 0;
    auto check = [&] {
        const auto done = [](HttpHandler *h) { return h->isFinished(); };
        if (ordinaryMs == 0 && std::all_of(ordinary.begin(), ordinary.end(), done))
            ordinaryMs = double(clock.nsecsElapsed()) / 1e6;
        if (refusedMs == 0 && std::all_of(endless.begin(), endless.end(), done))
            refusedMs = double(clock.nsecsElapsed()) / 1e6;
        if (ordinaryMs > 0 && refusedMs > 0)
            loop.quit();
    };
    for (HttpHandler *h : endless + ordinary)
        QObject::connect(h, &HttpHandler::finished, &loop, check, Qt::QueuedConnection);
    loop.exec();
    const qint64 peakKiB = statusKiB("VmHWM");
    std::printf("%d endless + 2 ordinary: start %.1f MiB, peak %.1f MiB (+%.1f MiB over the start; cap 64 MiB "
                "per transfer)\n",
                endlessCount, startKiB / 1024.0, peakKiB / 1024.0, (peakKiB - startKiB) / 1024.0);
    std::printf("  ordinary scripts: %s / %s after %.0f ms; endless refused after %.0f ms: %s\n",
                ordinary[0]->result().ok ? "ok" : qPrintable(ordinary[0]->result().error),
                ordinary[1]->result().ok ? "ok" : qPrintable(ordinary[1]->result().error), ordinaryMs, refusedMs,
                qPrintable(endless[0]->result().error));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    LocalHttpServer server;
    LocalHttpServer::Response endless;
    endless.endless = true;
    endless.contentType = "application/octet-stream";
    server.route(QStringLiteral("/endless.js"), endless);
    server.route(QStringLiteral("/a.js"), LocalHttpServer::reply(200, "var a;"));
    server.route(QStringLiteral("/b.js"), LocalHttpServer::reply(200, "var b;"));
    for (int count : {1, 1, 4})
        runOnce(server, count);
    HttpManager::releaseForThread();
    return 0;
}
