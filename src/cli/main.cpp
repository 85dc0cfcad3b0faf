// varneljs-cli: the load sequence and the normaliser of the analysis window, without windows.

#include "CliCommands.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

void writeAll(FILE *stream, const QByteArray &bytes) {
    if (!bytes.isEmpty())
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    Cli::Output output;
    const int code = Cli::run(app.arguments().mid(1), output, [] {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return QByteArray();
        return in.readAll();
    });
    writeAll(stdout, output.out);
    writeAll(stderr, output.err);
    return code;
}
