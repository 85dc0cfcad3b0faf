#pragma once
// What the addresses found in a source's code resolve against: the page for a page file (its file
// address) or a page address; nothing for a script file, which, like `endpoints FILE`, resolves only
// absolute addresses.

#include <QString>
#include <QUrl>

// `kind` as 处理单个文件: 1 script file, 2 page file, 3 page address.
QUrl endpointBase(short kind, const QString &path);
