#include "util/Module1.h"

#include <QDir>
#include <QFileInfo>

namespace Module1 {

QString CreateFolderPath(const QString &path) {
    const QStringList levels = path.split(QLatin1Char('/'));

    // The first level is the root ("" before a leading "/") or a drive; it is taken as written.
    QString built = levels.first();
    for (qsizetype i = 1; i < levels.size(); ++i) {
        // A folder that exists already is taken as written: cleaning would strip the dot of a hidden folder
        // such as ".local" and build a different path beside the real one. "." and ".." are no names.
        const QString &level = levels.at(i);
        const QString asWritten = built + QLatin1Char('/') + level;
        const bool name = !level.isEmpty() && level != QLatin1String(".") && level != QLatin1String("..");
        built = name && QFileInfo(asWritten).isDir() ? asWritten
                                                     : built + QLatin1Char('/') + ToSafeFileName(level);
        // A level that cannot be made is passed over; the final check decides.
        if (!QFileInfo::exists(built))
            QDir().mkdir(built);
    }
    return QFileInfo::exists(built) ? built : QString();
}

} // namespace Module1
