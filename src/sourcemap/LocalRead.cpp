#include "sourcemap/LocalRead.h"

#include "sourcemap/Reasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SourceMaps {

bool readInsideRoot(const QString &path, const QString &root, qint64 maxBytes, QByteArray &bytes,
                    QString *reason) {
    bytes.clear();
    auto fail = [&](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QFileInfo file(path);
    const QString realPath = file.canonicalFilePath(); // empty when it does not exist
    if (realPath.isEmpty())
        return fail(QStringLiteral("文件不存在"));
    if (realRoot.isEmpty() || !realPath.startsWith(QDir(realRoot).absolutePath() + QLatin1Char('/')))
        return fail(refused(path, false));
    if (!QFileInfo(realPath).isFile())
        return fail(QStringLiteral("不是文件"));
    if (QFileInfo(realPath).size() > maxBytes)
        return fail(QStringLiteral("文件太大"));
    QFile f(realPath);
    if (!f.open(QIODevice::ReadOnly))
        return fail(f.errorString());
    bytes = f.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        bytes.clear();
        return fail(QStringLiteral("文件太大"));
    }
    return true;
}

} // namespace SourceMaps
