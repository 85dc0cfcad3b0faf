#pragma once
// What the addresses found in a source's code resolve against: the page for a page file (its file
// address) or a page address; nothing for a script file, which, like `endpoints FILE`, resolves only
// absolute addresses.

#include "util/SourceKind.h"

#include <QString>
#include <QUrl>

QUrl endpointBase(SourceKind kind, const QString &path);
