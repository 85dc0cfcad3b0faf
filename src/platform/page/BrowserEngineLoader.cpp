#include "platform/page/BrowserEngineLoader.h"

#include "platform/page/BrowserEngineFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QList>
#include <QPluginLoader>

#ifndef VARNEL_BROWSER_PLUGIN_DIR
#define VARNEL_BROWSER_PLUGIN_DIR "../lib/varneljs"
#endif
#ifndef VARNEL_VERSION
#define VARNEL_VERSION ""
#endif

namespace BrowserEngineLoader {

namespace {

QtMessageHandler g_previousHandler = nullptr;

// Qt WebEngine, loaded after the application object, advises setting Qt::AA_ShareOpenGLContexts before
// it. The plugin makes the shared context itself (BrowserEnginePlugin), so the advice is dropped.
void dropLateStartAdvice(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (message.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin")))
        return;
    if (g_previousHandler) // Qt hands back its default handler when there was none
        g_previousHandler(type, context, message);
}

} // namespace

QString fileName() {
    return QStringLiteral("libvarneljs_browser.so");
}

QStringList candidates(const QString &programDir) {
    const QDir dir(programDir);
    return {dir.filePath(fileName()),
            QDir::cleanPath(dir.filePath(QStringLiteral(VARNEL_BROWSER_PLUGIN_DIR "/") + fileName()))};
}

Loaded load(const QStringList &paths) {
    Loaded loaded;
    QString path;
    for (const QString &candidate : paths) {
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        loaded.problem = QStringLiteral("找不到浏览器内核插件 %1").arg(fileName());
        return loaded;
    }
    // Deleted never: the engines it makes live until the end of the run, and unloading Qt WebEngine
    // is not supported anyway. Kept where a leak checker sees it.
    static auto *kept = new QList<QPluginLoader *>; // never destroyed, so never unreachable
    auto *loader = new QPluginLoader(path);
    kept->append(loader);
    // Every symbol resolved now: a missing one fails the load here instead of ending the program later.
    loader->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    const QJsonObject meta = loader->metaData();
    if (meta.isEmpty()) {
        loaded.problem = QStringLiteral("浏览器内核插件无法载入：%1（%2）").arg(path, loader->errorString());
        return loaded;
    }
    // Read from the file without running any of it: a plugin of another build must not run with this one.
    if (meta.value(QLatin1String("IID")).toString() != QLatin1String(VarnelBrowserEngineFactory_iid) ||
        meta.value(QLatin1String("MetaData")).toObject().value(QLatin1String("version")).toString() !=
            QLatin1String(VARNEL_VERSION)) {
        loaded.problem = QStringLiteral("浏览器内核插件与本程序的版本不符：%1").arg(path);
        return loaded;
    }
    g_previousHandler = qInstallMessageHandler(dropLateStartAdvice);
    QObject *instance = loader->instance();
    qInstallMessageHandler(g_previousHandler);
    loaded.factory = qobject_cast<BrowserEngineFactory *>(instance);
    if (!loaded.factory)
        loaded.problem = QStringLiteral("浏览器内核插件无法载入：%1（%2）").arg(path, loader->errorString());
    return loaded;
}

const Loaded &program() {
    static const Loaded loaded = load(candidates(QCoreApplication::applicationDirPath()));
    return loaded;
}

QString startProblem() {
    const Loaded &loaded = program();
    return loaded.factory ? loaded.factory->startProblem() : loaded.problem;
}

PageEngine *create(QObject *parent) {
    const Loaded &loaded = program();
    return loaded.factory ? loaded.factory->create(parent) : nullptr;
}

} // namespace BrowserEngineLoader
