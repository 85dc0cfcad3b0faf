#pragma once
// Which script-list entries "下载查看" can fetch.

#include <QString>

// True when the first seven characters, lower-cased, are "http://". Nothing else (https:// included) is
// downloadable, and nothing is ever prefixed to an address.
bool IsDownloadableAddress(const QString &address);
