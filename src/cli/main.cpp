// varneljs-cli: the load sequence and the normaliser of the analysis window, without windows.

#include "CliCommands.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#ifdef VARNEL_BROWSER_ENGINE
#include "platform/browser/BrowserStartCheck.h"
#endif

#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

void writeAll(FILE *stream, const QByteArray &bytes) {
    if (!bytes.isEmpty())
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char **argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // The browser engine needs a GUI application; a command line has no screen, so offscreen unless
    // the caller chose a platform. Everything else runs on a core application, which starts no GUI.
    std::unique_ptr<QCoreApplication> app;
    const bool browser = Cli::wantsBrowserEngine(args);
    // The browser engine and its helper processes talk on stderr (start-up parameters, GL notes);
    // the command's own stderr is its report of unobtainable scripts, so theirs goes nowhere.
    const int savedStderr = browser ? ::dup(STDERR_FILENO) : -1;
    if (savedStderr >= 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    if (browser) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef VARNEL_BROWSER_ENGINE
        BrowserStartCheck::prepareHeadless();
#endif
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    Cli::Output output;
    const int code = Cli::run(QCoreApplication::arguments().mid(1), output, [] {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return QByteArray();
        return in.readAll();
    });
    if (savedStderr >= 0) {
        ::dup2(savedStderr, STDERR_FILENO);
        ::close(savedStderr);
    }
    writeAll(stdout, output.out);
    writeAll(stderr, output.err);
    return code;
}
