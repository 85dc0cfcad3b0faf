#pragma once
// Writing the original sources of a load into a folder: each obtained source at the safe relative path
// of its name (sourcemap/OutputPaths.h), clashes numbered in bundle order. Used by "全部另存为..." and by
// the command line's sources/ folder. Nothing is ever written outside the folder.

#include "analysis/SourceMapResult.h"

#include <QList>
#include <QString>

struct PlacedSource {
    int bundle = 0; // index into SourceMapResult::bundles
    int source = 0; // index into that bundle's sources
    QString path;   // relative, "/"-separated
};

// The path of every obtained source, in bundle and source order.
QList<PlacedSource> placeSources(const SourceMapResult &result);

// Writes `bytes` at `relative` under `root`, making its folders. Returns an empty text or why not.
QString writeUnder(const QString &root, const QString &relative, const QByteArray &bytes);

// Writes every placed source under `root`; stops at the first failure and returns why (else empty).
QString writeSources(const QString &root, const SourceMapResult &result, const QList<PlacedSource> &placed);
