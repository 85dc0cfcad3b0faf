#include "app/OpenCommands.h"

#include "platform/PageAddress.h"
#include "util/Module1.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace OpenCommands {

QString ProposedAddress(const QString &clipboard) {
    if (!isHttpAddress(clipboard))
        return QString();
    return clipboard;
}

QString CompleteTypedAddress(const QString &typed) {
    // A scheme of two or more letters followed by "//", or one of the schemes written without it.
    static const QRegularExpression scheme(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+://|(about|file|javascript|data|mailto):)"),
        QRegularExpression::CaseInsensitiveOption);
    if (typed.isEmpty() || scheme.match(typed).hasMatch())
        return typed;
    // Paths: absolute, a share, a drive, or any existing file.
    if (typed.startsWith(QLatin1Char('/')) || typed.startsWith(QLatin1Char('\\')) ||
        typed.mid(1, 1) == QLatin1String(":") || QFileInfo::exists(typed))
        return typed;
    return QStringLiteral("http://") + typed;
}

QString SourceFileName(const QString &path) {
    QString extension;
    const QString name = Module1::SplitFileName(path, true, extension);
    return extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
}

} // namespace OpenCommands
