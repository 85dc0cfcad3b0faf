#include "workbench/DownloadAddress.h"

bool IsDownloadableAddress(const QString &address) {
    return address.left(7).toLower() == QLatin1String("http://");
}
