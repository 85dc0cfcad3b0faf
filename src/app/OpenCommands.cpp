#include "app/OpenCommands.h"

#include "util/Module1.h"

namespace OpenCommands {

QString ProposedAddress(const QString &clipboard) {
    if (clipboard.left(7).toLower() != QLatin1String("http://"))
        return QString();
    return clipboard;
}

QString SourceFileName(const QString &path) {
    QString extension;
    const QString name = Module1::SplitFileName(path, true, extension);
    return extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
}

} // namespace OpenCommands
