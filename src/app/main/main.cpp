#include "app/AppLook.h"
#include "app/PageEngineChoice.h"
#include "app/ui/MDIForm1.h"
#include "util/AppInfo.h"

#include <QApplication>

#ifdef VARNEL_BROWSER_ENGINE
#include "platform/browser/BrowserPageEngine.h"
#include "platform/browser/BrowserStartCheck.h"
#endif

int main(int argc, char **argv) {
#ifdef VARNEL_BROWSER_ENGINE
    // The browser engine shares its GL context with the program's; it must be asked for first.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    BrowserStartCheck::prepareHeadless();
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::Title);
    AppLook::Apply(app);
#ifdef VARNEL_BROWSER_ENGINE
    PageEngineChoice::install([](QObject *parent) { return createBrowserPageEngine(parent); },
                              [] { return BrowserStartCheck::problemHere(); });
#endif
    MDIForm1 window;
    window.showMaximized();
    return app.exec();
}
