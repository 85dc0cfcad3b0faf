#include "sourcemap/SourceTree.h"

#include <algorithm>

namespace SourceMaps {

namespace {

SourceTreeNode *folderIn(QList<SourceTreeNode> &level, const QString &label) {
    for (SourceTreeNode &n : level)
        if (n.source < 0 && n.label == label)
            return &n;
    level.append(SourceTreeNode{label, -1, {}});
    return &level.back();
}

void sortLevel(QList<SourceTreeNode> &level) {
    std::stable_sort(level.begin(), level.end(), [](const SourceTreeNode &a, const SourceTreeNode &b) {
        const bool aFolder = a.source < 0, bFolder = b.source < 0;
        if (aFolder != bFolder)
            return aFolder;
        return a.label.compare(b.label, Qt::CaseInsensitive) < 0;
    });
    for (SourceTreeNode &n : level)
        sortLevel(n.children);
}

} // namespace

QList<SourceTreeNode> buildSourceTree(const QList<QStringList> &paths) {
    QList<SourceTreeNode> top;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QStringList &path = paths[i];
        QList<SourceTreeNode> *level = &top;
        for (qsizetype k = 0; k + 1 < path.size(); ++k)
            level = &folderIn(*level, path[k])->children;
        level->append(SourceTreeNode{path.isEmpty() ? QStringLiteral("unnamed") : path.back(), int(i), {}});
    }
    sortLevel(top);
    return top;
}

} // namespace SourceMaps
