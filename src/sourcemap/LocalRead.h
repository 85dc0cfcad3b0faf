#pragma once
// Reading a map or source that Access allowed as a local file. The decision there is on text; here the
// path and the root are resolved on disk, so a symbolic link inside the folder cannot lead out of it.

#include <QByteArray>
#include <QString>

namespace SourceMaps {

// Reads the file `path` when its real location lies in the real folder `root`, up to `maxBytes`;
// false with the reason (a refusal text from Reasons.h when it lies outside) otherwise.
bool readInsideRoot(const QString &path, const QString &root, qint64 maxBytes, QByteArray &bytes,
                    QString *reason);

} // namespace SourceMaps
