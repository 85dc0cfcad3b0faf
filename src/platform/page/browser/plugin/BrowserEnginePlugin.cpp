// The browser engine as a plugin: the one way the program and the command line reach Qt WebEngine.

#include "platform/page/BrowserEngineFactory.h"
#include "platform/page/browser/BrowserPageEngine.h"
#include "platform/page/browser/BrowserStartCheck.h"

#include <QOpenGLContext>
#include <QtPlugin>

QT_BEGIN_NAMESPACE
// Exported by Qt GUI, declared only in its private headers; Qt WebEngine declares it the same way.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

class BrowserEnginePlugin : public QObject, public BrowserEngineFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VarnelBrowserEngineFactory_iid FILE "BrowserEnginePlugin.json")
    Q_INTERFACES(BrowserEngineFactory)

public:
    BrowserEnginePlugin() {
        // Loaded after the application object exists, but before the first engine: early enough for the
        // engine's switches, which it reads when its first page is made.
        BrowserStartCheck::prepareHeadless();
        // The engine looks at the program's global GL context when it starts and fails on a missing one;
        // a program that links it gets one made with the application object (Qt::AA_ShareOpenGLContexts).
        // Made here instead, when the first page needs the engine. The pages are never shown, so nothing
        // needs the context to be valid: where GL cannot start (offscreen), the engine renders without it,
        // as it does when the program links it.
        if (!QOpenGLContext::globalShareContext()) {
            auto *context = new QOpenGLContext; // for the rest of the run, as the engine expects
            context->create();
            qt_gl_set_global_share_context(context);
        }
    }

    QString startProblem() override { return BrowserStartCheck::problemHere(); }
    PageEngine *create(QObject *parent) override { return createBrowserPageEngine(parent); }
};

#include "BrowserEnginePlugin.moc"
