#include "util/Module1.h"

#include <QDir>
#include <QFileInfo>

namespace Module1 {

QString CreateFolderPath(const QString &path) {
    const QStringList levels = path.split(QLatin1Char('/'));

    // The first level is the root ("" before a leading "/") or a drive; it is taken as written.
    QString built = levels.first();
    for (qsizetype i = 1; i < levels.size(); ++i) {
        built += QLatin1Char('/') + ToSafeFileName(levels.at(i));
        // A level that cannot be made is passed over; the final check decides.
        if (!QFileInfo::exists(built))
            QDir().mkdir(built);
    }
    return QFileInfo::exists(built) ? built : QString();
}

} // namespace Module1
