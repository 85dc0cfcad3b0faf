// varneljs-cli: the load sequence and the normaliser of the analysis window, without windows.

#include "CliCommands.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
    QCoreApplication app(argc, argv);
    Cli::Output output;
    int code = Cli::run(app.arguments().mid(1), output, [] {
        QFile in;
        QByteArray bytes;
        if (in.open(stdin, QIODevice::ReadOnly))
            TextCodec::readBounded(in, Cli::maxInputBytes() + 1, bytes);
        return bytes;
    });
    if (!writeAll(stdout, output.out)) {
        const int error = errno;
        output.err += QStringLiteral("无法写出标准输出：%1\n")
                          .arg(QString::fromLocal8Bit(std::strerror(error)))
                          .toUtf8();
        if (code == Cli::Ok)
            code = Cli::NotObtained;
    }
    writeAll(stderr, output.err);
    return code;
}
