#pragma once
// Which script-list entries "下载查看" can fetch.

#include <QString>

// True when the address begins with "http://" or "https://", letter case ignored. Nothing else is
// downloadable, and nothing is ever prefixed to an address.
bool IsDownloadableAddress(const QString &address);
