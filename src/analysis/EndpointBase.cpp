#include "analysis/EndpointBase.h"

#include <QFileInfo>

QUrl endpointBase(short kind, const QString &path) {
    if (path.isEmpty())
        return QUrl();
    if (kind == 2) {
        if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            return QUrl(path);
        return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    }
    if (kind == 3) {
        const QUrl page(path);
        return page.isValid() && !page.isRelative() ? page : QUrl();
    }
    return QUrl();
}
