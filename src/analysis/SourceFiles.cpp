#include "analysis/SourceFiles.h"

#include "platform/text/TextCodec.h"
#include "sourcemap/OutputPaths.h"

#include <QDir>
#include <QFileInfo>

QList<PlacedSource> placeSources(const SourceMapResult &result) {
    QList<PlacedSource> placed;
    SourceMaps::OutputNames names;
    for (int b = 0; b < result.bundles.size(); ++b) {
        const QList<OriginalSource> &sources = result.bundles[b].sources;
        for (int s = 0; s < sources.size(); ++s)
            if (sources[s].status == OriginalSource::Ok)
                placed.append({b, s, names.place(sources[s].name)});
    }
    return placed;
}

QString writeUnder(const QString &root, const QString &relative, const QByteArray &bytes) {
    const QString base = QDir::cleanPath(QDir(root).absolutePath());
    const QString target = QDir::cleanPath(base + QLatin1Char('/') + relative);
    // safeRelativePath never leaves the folder; this is the last word should it ever be fed anything else.
    if (relative.isEmpty() || QDir::isAbsolutePath(relative) || !target.startsWith(base + QLatin1Char('/')))
        return QStringLiteral("拒绝写到文件夹之外：%1").arg(relative);
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return QStringLiteral("无法建立文件夹 %1").arg(QFileInfo(target).absolutePath());
    return TextCodec::writeFileBytes(target, bytes);
}

QString writeSources(const QString &root, const SourceMapResult &result, const QList<PlacedSource> &placed) {
    for (const PlacedSource &p : placed) {
        const QString error = writeUnder(root, p.path, result.bundles[p.bundle].sources[p.source].bytes);
        if (!error.isEmpty())
            return error;
    }
    return QString();
}
