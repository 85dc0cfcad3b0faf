// varneljs-cli: the load sequence and the normaliser of the analysis window, without windows.

#include "CliCommands.h"
#include "platform/net/HttpManager.h"
#include "platform/page/BrowserEngineLoader.h"
#include "platform/page/PageEngineChoice.h"
#include "platform/text/TextCodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Writes all of `bytes`; false (with errno kept) when the stream refused them.
bool writeAll(FILE *stream, const QByteArray &bytes) {
    if (!bytes.isEmpty() &&
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()))
        return false;
    return std::fflush(stream) == 0 && !std::ferror(stream);
}

// The toolkit's own notices (network, plugins) are not this program's output: stderr carries only the
// reasons the commands give. Fatal messages still end the program as Qt ends it.
void dropToolkitMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char **argv) {
    qInstallMessageHandler(dropToolkitMessages);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool browser = Cli::wantsBrowserEngine(args);
    // The browser engine's helper processes write their own notes (start-up parameters, GL) straight to
    // stderr, past the message handler; while the command runs, stderr goes nowhere.
    const int savedStderr = browser ? ::dup(STDERR_FILENO) : -1;
    if (savedStderr >= 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    // The browser engine needs a GUI application; a command line has no screen, so offscreen unless
    // the caller chose a platform. Everything else runs on a core application, which starts no GUI.
    std::unique_ptr<QCoreApplication> app;
    if (browser) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The engine's plugin is loaded later and asks for what a headless start needs itself; its pages are
        // never shown, so no GL context is shared with it.
        app = std::make_unique<QGuiApplication>(argc, argv);
        PageEngineChoice::install(&BrowserEngineLoader::create, &BrowserEngineLoader::startProblem);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    Cli::Output output;
    // Output goes out as it is made, page after page; the first refused write is remembered. Messages
    // are held back while stderr is silenced for the browser engine.
    int outError = 0;
    output.outStream = [&outError](const QByteArray &bytes) {
        if (writeAll(stdout, bytes))
            return true;
        outError = errno;
        return false;
    };
    if (savedStderr < 0) {
        output.errStream = [](const QByteArray &bytes) { writeAll(stderr, bytes); };
        output.errIsTerminal = isatty(fileno(stderr)) == 1;
    }
    int code = Cli::run(QCoreApplication::arguments().mid(1), output, [] {
        QFile in;
        QByteArray bytes;
        if (in.open(stdin, QIODevice::ReadOnly))
            TextCodec::readBounded(in, Cli::maxInputBytes() + 1, bytes);
        return bytes;
    });
    // Transfers, page engines and the network layer's thread end here, while the application object
    // exists; left to the end of the process, what they had handed to deleteLater would never go.
    HttpManager::releaseForThread();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (savedStderr >= 0) {
        ::dup2(savedStderr, STDERR_FILENO);
        ::close(savedStderr);
    }
    if (!output.good()) {
        output.err += QStringLiteral("无法写出标准输出：%1\n")
                          .arg(QString::fromLocal8Bit(std::strerror(outError)))
                          .toUtf8();
        if (code == Cli::Ok)
            code = Cli::NotObtained;
    }
    writeAll(stderr, output.err);
    return code;
}
