#include "platform/page/browser/BrowserMemory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <unistd.h>

namespace BrowserMemory {

namespace {

QByteArray readProc(qint64 pid, const char *name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(1 << 16);
}

qint64 parentOf(qint64 pid) {
    // "pid (name) state ppid ...": the name may hold spaces and parentheses, so read after the last ')'.
    const QByteArray stat = readProc(pid, "stat");
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() : 0;
}

bool isNetworkService(qint64 pid) {
    return readProc(pid, "cmdline").contains("--utility-sub-type=network.mojom.NetworkService");
}

} // namespace

qint64 residentBytes(qint64 pid) {
    if (pid <= 0)
        return 0;
    const QList<QByteArray> fields = readProc(pid, "statm").split(' ');
    if (fields.size() < 2)
        return 0;
    return fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE);
}

qint64 networkServicePid() {
    static qint64 known = 0;
    if (known > 0 && isNetworkService(known))
        return known;
    known = 0;
    // Not there (yet): the process table is looked through again at most once a second.
    static QElapsedTimer lastScan;
    if (lastScan.isValid() && lastScan.elapsed() < 1000)
        return 0;
    lastScan.start();
    const qint64 self = ::getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && parentOf(pid) == self && isNetworkService(pid)) {
            known = pid;
            break;
        }
    }
    return known;
}

} // namespace BrowserMemory
