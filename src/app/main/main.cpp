#include "app/AppLook.h"
#include "app/PageEngineChoice.h"
#include "app/ui/MDIForm1.h"
#include "platform/WorkerPool.h"
#include "util/AppInfo.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#ifdef VARNEL_BROWSER_ENGINE
#include "platform/browser/BrowserPageEngine.h"
#include "platform/browser/BrowserStartCheck.h"
#endif

namespace {

// How long an ending program gives its background tasks to notice the cancellation.
constexpr int kTaskGraceMs = 300;

} // namespace

int main(int argc, char **argv) {
#ifdef VARNEL_BROWSER_ENGINE
    // The browser engine shares its GL context with the program's; it must be asked for first.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    BrowserStartCheck::prepareHeadless();
#endif
    int code = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(AppInfo::Title);
        AppLook::Apply(app);
#ifdef VARNEL_BROWSER_ENGINE
        PageEngineChoice::install([](QObject *parent) { return createBrowserPageEngine(parent); },
                                  [] { return BrowserStartCheck::problemHere(); });
#endif
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
