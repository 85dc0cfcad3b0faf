#pragma once
// Writes one folder per page under an output folder: every script obtained as a file of its exact bytes
// (inline ones as "inline-<n>.js", the others by their own file names, collisions numbered), the
// combined text as "combined.js" (UTF-8), "manifest.json" and the addresses its code talks to as
// "endpoints.json". A folder is written aside and renamed into place, so that it is there completely or
// not at all.

#include "cli/PageRecords.h"

#include <QSet>
#include <QString>

#include <vector>

namespace Cli {

// The file name of each script of a page (empty for one that was not obtained), unique within the
// folder (letter case ignored) and never "combined.js", "manifest.json", "sources" or "endpoints.json".
std::vector<QString> scriptFileNames(const std::vector<ScriptRecord> &scripts);

// `name` made unique against `taken` (lower-case keys) by "-2", "-3", … before its extension.
QString numberedName(const QString &name, const QSet<QString> &taken);

class PageFolderWriter {
public:
    // `root` must exist. With `overwrite`, a folder left there by an earlier run under the name a page
    // gets is replaced; without it that page takes the next free name.
    PageFolderWriter(const QString &root, bool overwrite);

    // Writes the page's folder and fills each record's `file`. Returns the folder's name, or empty
    // with `error` set.
    QString write(PageResult &page, QString &error);

    // Why `dir` cannot take the output (it is a file, or holds something and overwrite is off), or empty.
    static QString checkRoot(const QString &dir, bool overwrite);

private:
    QString m_root;
    bool m_overwrite;
    QSet<QString> m_used; // folder names given out in this run (lower case)
};

} // namespace Cli
