#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

QString trustInBrowserEngine(const QString &pemPath) {
    const QString db = QDir::homePath() + QStringLiteral("/.pki/nssdb");
    QDir().mkpath(db);
    auto certutil = [](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral("certutil"), args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
            return QStringLiteral("certutil did not run: ") + p.errorString();
        return p.exitCode() == 0 ? QString() : QString::fromLocal8Bit(p.readAllStandardError());
    };
    const QString where = QStringLiteral("sql:") + db;
    if (!QFileInfo::exists(db + QStringLiteral("/cert9.db"))) {
        const QString made = certutil({"-N", "-d", where, "--empty-password"});
        if (!made.isEmpty())
            return made;
    }
    return certutil({"-A", "-d", where, "-n", QFileInfo(pemPath).baseName(), "-t", "C,,", "-i", pemPath});
}

} // namespace TestEnv
