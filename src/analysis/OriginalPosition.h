#pragma once
// "转到原始源码": from a position in the combined text to the original source and line its script's map
// gives. The map fits only the script's text as it was collected: a script whose text has changed since
// (typing, 规范化, function edits) is told apart by its length and hash, and given no position.

#include "analysis/BundlePosition.h"
#include "analysis/SourceMapResult.h"

struct OriginalJump {
    enum Outcome {
        NoScript,  // the position lies in no script's text
        NoMap,     // its script has no map (or the map is not in yet)
        Changed,   // its script's text is no longer the one the map was made for
        NoMapping, // the map gives nothing for this position
        Found,
    };
    Outcome outcome = NoScript;
    int bundle = -1; // index into SourceMapResult::bundles
    int source = -1; // index into that bundle's sources
    int line = 0;    // original line and column, from 0
    int column = 0;
};

OriginalJump originalAt(QStringView text, const QList<ScriptBlock> &blocks, qsizetype offset,
                        const SourceMapResult &maps);

// The original source (its name as the map gives it) and 1-based line behind a position; empty and 0 where
// originalAt finds none.
struct OriginalLine {
    QString source;
    int line = 0;
};

// originalLines(...)[i] is what originalAt gives for offsets[i], found in one pass over each mapped
// script however many offsets it holds (a bundle of megabytes can hold thousands of findings).
QList<OriginalLine> originalLines(QStringView text, const QList<ScriptBlock> &blocks,
                                  const QList<qsizetype> &offsets, const SourceMapResult &maps);

// The offset where 0-based `line` of `text` starts (LF, CR LF or CR ends a line); the end when it has
// fewer lines.
qsizetype lineStartOffset(QStringView text, int line);
