#include "workbench/DownloadAddress.h"

#include "platform/PageAddress.h"

bool IsDownloadableAddress(const QString &address) {
    return isHttpAddress(address);
}
