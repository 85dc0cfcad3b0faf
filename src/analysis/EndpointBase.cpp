#include "analysis/EndpointBase.h"

#include <QFileInfo>

QUrl endpointBase(SourceKind kind, const QString &path) {
    if (path.isEmpty())
        return QUrl();
    if (kind == SourceKind::PageFile) {
        if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            return QUrl(path);
        return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    }
    if (kind == SourceKind::PageAddress) {
        const QUrl page(path);
        return page.isValid() && !page.isRelative() ? page : QUrl();
    }
    return QUrl();
}
