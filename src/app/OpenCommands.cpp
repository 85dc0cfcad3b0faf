#include "app/OpenCommands.h"

#include "util/Module1.h"

#include <QFileInfo>
#include <QUrl>

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

QString OpeningText(short kind) {
    switch (kind) {
    case ScriptFile:
        return OpeningScriptFile;
    case PageFile:
        return OpeningPageFile;
    default:
        return OpeningPageAddress;
    }
}

namespace {

bool isWebAddress(const QString &text) {
    const QString lower = text.left(8).toLower();
    return lower.startsWith(QLatin1String("http://")) || lower.startsWith(QLatin1String("https://"));
}

} // namespace

Source DroppedUrl(const QUrl &url) {
    if (url.isLocalFile()) {
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isFile())
            return {};
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("js"))
            return {path, ScriptFile};
        for (const QString &pattern : PageFilters.constFirst().split(QLatin1Char(';'))) {
            if (pattern.mid(2).toLower() == suffix)
                return {path, PageFile};
        }
        return {};
    }
    return DroppedText(url.toString());
}

Source DroppedText(const QString &text) {
    const QString address = text.trimmed();
    if (!isWebAddress(address) || address.contains(QLatin1Char('\n')))
        return {};
    return {address, PageAddress};
}

} // namespace OpenCommands
