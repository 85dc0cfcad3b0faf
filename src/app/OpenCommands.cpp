#include "app/OpenCommands.h"

#include "platform/page/PageAddress.h"
#include "util/Module1.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

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

QString OpeningText(SourceKind kind) {
    switch (kind) {
    case SourceKind::ScriptFile:
        return OpeningScriptFile;
    case SourceKind::PageFile:
        return OpeningPageFile;
    default:
        return OpeningPageAddress;
    }
}

Source DroppedUrl(const QUrl &url) {
    if (url.isLocalFile()) {
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isFile())
            return {};
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("js"))
            return {path, SourceKind::ScriptFile};
        for (const QString &pattern : PageFilters.constFirst().split(QLatin1Char(';'))) {
            if (pattern.mid(2).toLower() == suffix)
                return {path, SourceKind::PageFile};
        }
        return {};
    }
    return DroppedText(url.toString());
}

Source DroppedText(const QString &text) {
    const QString address = text.trimmed();
    if (!isHttpAddress(address) || address.contains(QLatin1Char('\n')))
        return {};
    return {address, SourceKind::PageAddress};
}

} // namespace OpenCommands
