// varneljs-cli: the load sequence and the normaliser of the analysis window, without windows.

#include "CliCommands.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

namespace {

bool writeAll(FILE *stream, const QByteArray &bytes) {
    if (!bytes.isEmpty() && std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()))
        return false;
    return std::fflush(stream) == 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    Cli::Output output;
    output.outStream = [](const QByteArray &bytes) { return writeAll(stdout, bytes); };
    output.errStream = [](const QByteArray &bytes) { writeAll(stderr, bytes); };
    output.errIsTerminal = isatty(fileno(stderr)) == 1;
    const int code = Cli::run(app.arguments().mid(1), output, [] {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return QByteArray();
        return in.readAll();
    });
    return code;
}
