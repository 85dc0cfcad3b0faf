#pragma once
// The folders-and-files tree of one bundle's sources, as the window lists them: the paths of treePath()
// merged level by level, folders before files, each group in name order ignoring case.

#include <QList>
#include <QString>
#include <QStringList>

namespace SourceMaps {

struct SourceTreeNode {
    QString label;
    int source = -1; // a file: the index of its path in the list given; a folder: -1
    QList<SourceTreeNode> children;
};

// The children of the bundle's own entry. A path that is empty shows as "unnamed".
QList<SourceTreeNode> buildSourceTree(const QList<QStringList> &paths);

} // namespace SourceMaps
