#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace TestEnv {

QString isolate() {
    // Removed when the test program ends, so runs leave no folders behind.
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/varnel-test-home-XXXXXX"));
    static bool done = false;
    if (done)
        return home.path();
    done = true;
    const QString root = home.path();
    const char *vars[][2] = {{"HOME", ""},
                             {"XDG_CONFIG_HOME", "/.config"},
                             {"XDG_DATA_HOME", "/.local/share"},
                             {"XDG_CACHE_HOME", "/.cache"},
                             {"XDG_STATE_HOME", "/.local/state"}};
    for (const auto &v : vars) {
        const QString path = root + QString::fromLatin1(v[1]);
        QDir().mkpath(path);
        qputenv(v[0], path.toLocal8Bit());
    }
    qputenv("XDG_RUNTIME_DIR", root.toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    return root;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void prepareBrowserEngine() {
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace TestEnv
