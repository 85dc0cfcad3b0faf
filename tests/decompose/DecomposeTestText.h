#pragma once
// Short forms of a function list, so the tables compare one line of text.

#include "analysis/ScriptBlocks.h"
#include "decompose/Functions.h"

#include <QStringList>

inline QList<Decompose::Block> blocksOf(const QString &combined) {
    QList<Decompose::Block> blocks;
    for (const ScriptBlock &b : ScriptBlocksOf(combined))
        blocks.push_back({b.number, {b.bodyStart, b.bodyEnd}});
    return blocks;
}

// "name:line | name:line", with ":script" after the line when `withScript`.
inline QString listing(const QList<Decompose::Function> &functions, bool withScript = false) {
    QStringList parts;
    for (const Decompose::Function &f : functions) {
        QString s = f.name + QLatin1Char(':') + QString::number(f.line);
        if (withScript)
            s += QLatin1Char(':') + QString::number(f.script);
        parts << s;
    }
    return parts.join(QStringLiteral(" | "));
}
