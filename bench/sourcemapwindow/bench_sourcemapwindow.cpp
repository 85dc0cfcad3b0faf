// The analysis window while a page's bundle names a map of about 50 MB (5,000 sources with content):
// how long until the tab "源映射" lists them, and the longest time the user-interface thread went without
// running its event loop meanwhile (a 1 ms timer's longest gap). The map is served from 127.0.0.1.

#include "analysis/SourceMapCollector.h"
#include "analysis/ui/AnalysisHost.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/SourceMapTab.h"
#include "support/BigSourceMap.h"
#include "support/LocalHttpServer.h"
#include "support/StallWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

namespace {

class Host : public AnalysisHost {
public:
    void setStatusText(const QString &text) override { status = text; }
    QString statusText() const override { return status; }
    ListPopupMenu listPopupMenu() override { return {&menu, nullptr, nullptr, nullptr}; }
    bool hideNumbering() const override { return false; }
    QString status;
    QMenu menu;
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray &map = BigSourceMap::bigMap();
    LocalHttpServer server;
    // A type the test server does not compress: asked for brotli, it spends over a minute on 50 MB of JSON
    // before it sends a byte, and the fetch rightly gives up.
    server.route(QStringLiteral("/big.map"), LocalHttpServer::reply(200, map, "application/octet-stream"));
    server.route(
        QStringLiteral("/app.js"),
        LocalHttpServer::reply(200, "var app = 1;\n//# sourceMappingURL=big.map\n", "text/javascript"));
    server.route(QStringLiteral("/page.htm"),
                 LocalHttpServer::reply(200, "<html><script src=\"app.js\"></script></html>", "text/html"));

    for (int run = 0; run < 3; ++run) {
        Host host;
        FormSinFile form(&host);
        form.setSource(SourceKind::PageAddress, server.baseUrl() + QStringLiteral("/page.htm"),
                       QStringLiteral("page.htm"));
        form.resize(1200, 800);
        QElapsedTimer clock;
        clock.start();
        StallWatch stalls(1);
        form.show();
        form.SSTab1->setCurrentIndex(FormSinFile::SourceMapTabIndex); // the tree is built where it shows
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (form.isLoaded() && !form.sourceMaps()->isBusy() &&
                !form.sourceMaps()->result().bundles.isEmpty())
                loop.quit();
        });
        poll.start();
        loop.exec();
        const double listed = double(clock.nsecsElapsed()) / 1e6;
        const double longest = stalls.longestMs();
        std::printf("run %d: map %.1f MB, %s in %.0f ms; longest user-interface gap %.1f ms\n", run,
                    double(map.size()) / 1e6, qPrintable(form.sourceMapTab()->controls().count->text()),
                    listed, longest);
        for (const QString &line : form.sourceMaps()->result().notObtained())
            std::printf("  not obtained: %s\n", qPrintable(line));
    }
    return 0;
}
