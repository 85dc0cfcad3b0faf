#include "platform/page/browser/BrowserStartCheck.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>

#include <unistd.h>

namespace BrowserStartCheck {

namespace {

bool sandboxOff(const Facts &facts) {
    const QString value = facts.disableSandbox.trimmed();
    return (!value.isEmpty() && value != QLatin1String("0")) ||
           facts.chromiumFlags.split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(QLatin1String("--no-sandbox"));
}

} // namespace

QString problem(const Facts &facts) {
    if (!facts.guiApplication)
        return QStringLiteral("程序没有图形界面环境");
    if (!facts.helperFound)
        return QStringLiteral("找不到浏览器内核的辅助程序 QtWebEngineProcess");
    if (!facts.resourcesFound)
        return QStringLiteral("找不到浏览器内核的资源文件");
    if (facts.root && !sandboxOff(facts))
        return QStringLiteral("以 root 身份运行时需要设置 QTWEBENGINE_DISABLE_SANDBOX=1");
    return QString();
}

Facts gather() {
    Facts facts;
    facts.guiApplication = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    const QString helper = qEnvironmentVariableIsSet("QTWEBENGINEPROCESS_PATH")
                               ? qEnvironmentVariable("QTWEBENGINEPROCESS_PATH")
                               : QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                                     QStringLiteral("/QtWebEngineProcess");
    facts.helperFound = QFileInfo(helper).isExecutable();
    const QString resources = qEnvironmentVariableIsSet("QTWEBENGINE_RESOURCES_PATH")
                                  ? qEnvironmentVariable("QTWEBENGINE_RESOURCES_PATH")
                                  : QLibraryInfo::path(QLibraryInfo::DataPath) + QStringLiteral("/resources");
    facts.resourcesFound = QFileInfo::exists(resources + QStringLiteral("/qtwebengine_resources.pak"));
    facts.root = ::geteuid() == 0;
    facts.disableSandbox = qEnvironmentVariable("QTWEBENGINE_DISABLE_SANDBOX");
    facts.chromiumFlags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS");
    return facts;
}

QString problemHere() {
    static const QString answer = problem(gather());
    return answer;
}

void prepareSwitches() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const QByteArray &flag : {QByteArrayLiteral("--disable-background-timer-throttling"),
                                  QByteArrayLiteral("--disable-renderer-backgrounding")}) {
        if (!flags.split(' ').contains(flag))
            flags += (flags.isEmpty() ? "" : " ") + flag;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

void prepareHeadless() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") && !qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
}

} // namespace BrowserStartCheck
