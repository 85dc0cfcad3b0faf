#pragma once
// Module1: address resolution for script sources, "javascript:" link extraction, file names and folders.
// Pure text routines (CreateFolderPath excepted) that never report errors; see Module1Shell.h for the
// routines that talk to the desktop.

#include <QString>

namespace Module1 {

// Turns a script address as written in a page into the address it is fetched or read from.
// `pageAddress` is the page's address, a local page path (either slash) or a base folder ending in "/".
QString ResolveScriptAddress(const QString &address, const QString &pageAddress);

// Turns a "javascript:" link into the address its first argument stands for, resolved against the
// folder of `baseFolder`; a link without a usable call comes back unchanged.
QString ResolveScriptLink(const QString &address, const QString &baseFolder);

// The text that the definition of function `name` in `scriptText` puts before its first parameter
// inside its "window.open(" call (quotes, "+" and outer spaces removed); empty when there is none.
QString FindWindowOpenPrefix(const QString &scriptText, const QString &name);

// Script text searched for function definitions, and the one-entry memo of the last lookup.
// Program-wide, empty at start.
extern QString LinkScriptText, LastLinkFunction, LastLinkPrefix;

// Makes `text` usable as one file or folder name: forbidden characters, line breaks and NULs removed,
// dots stripped from both ends, UTF-8 form capped at 255 bytes, spaces trimmed at both ends.
QString ToSafeFileName(const QString &text);

// Makes sure the folder `path` exists, creating each missing level ("/"-separated; the first level is
// kept as written, and so is every level that exists already; the others are cleaned with ToSafeFileName).
// Returns the path that exists at the end, or an empty text.
QString CreateFolderPath(const QString &path);

// The last component of a disk path or address. Sets `extension` to the part behind the last dot when
// that part is at most 5 characters long (else empty); strips it from the result only when
// `withoutExtension` is true.
QString SplitFileName(const QString &path, bool withoutExtension, QString &extension);

} // namespace Module1
