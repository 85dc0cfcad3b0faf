#pragma once
// Runs varneljs-cli as a process and keeps its exit code and bytes.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct CliRun {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// `stdoutFile`, when given, receives standard output in place of `out`.
inline CliRun runCli(const QStringList &args, const QByteArray &input = QByteArray(), const QString &cwd = QString(),
                     const QString &stdoutFile = QString()) {
    QProcess p;
    if (!cwd.isEmpty())
        p.setWorkingDirectory(cwd);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(VARNEL_CLI_PATH), args);
    if (!p.waitForStarted(10000))
        return {};
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    // A guard against a hang, far beyond any run here.
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
