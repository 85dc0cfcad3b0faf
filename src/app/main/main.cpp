#include "app/AppLook.h"
#include "platform/page/PageEngineChoice.h"
#include "app/ui/MDIForm1.h"
#include "platform/page/BrowserEngineLoader.h"
#include "platform/WorkerPool.h"
#include "util/AppInfo.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// How long an ending program gives its background tasks to notice the cancellation.
constexpr int kTaskGraceMs = 300;

} // namespace

int main(int argc, char **argv) {
    int code = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(AppInfo::Title);
        AppLook::Apply(app);
        // The browser engine is a plugin, loaded when the first page asks whether it can start: the window
        // comes up without Qt WebEngine. Its pages are never shown, so Qt::AA_ShareOpenGLContexts, which
        // would make a GL context at start-up, is not set; the plugin makes the one the engine looks for.
        PageEngineChoice::install(&BrowserEngineLoader::create, &BrowserEngineLoader::startProblem);
        // Quitting cancels every background task; the windows then go, and with them their work.
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { WorkerPool::program().shutdown(0); });
        MDIForm1 window;
        window.showMaximized();
        code = app.exec();
    }
    // A parse inside a library cannot be interrupted; the program ends without waiting for it.
    if (!WorkerPool::program().shutdown(kTaskGraceMs)) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
