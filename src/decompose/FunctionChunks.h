#pragma once
// The parallel form of functionsOf, in pieces a caller can schedule itself (the window maps the chunks on
// the pool and joins them when the last is done, without blocking its thread):
//     chunks = splitIntoChunks(blocks, text.size(), n);  results[i] = functionsOfChunk(text, chunks[i]);
//     functions = joinChunks(results);
// (with the addresses: functionsOfChunk(text, chunks[i], cancel, true) and joinEndpoints(results)).
// Each chunk counts the lines of its own span, so no chunk waits for another.

#include "decompose/Functions.h"

#include <atomic>

namespace Decompose {

struct Chunk {
    QList<Block> blocks;
    Range span; // from the chunk's first block (0 for the first chunk) to the next chunk's first block
};

struct ChunkResult {
    QList<Function> functions; // lines counted from 1 at the span's start
    QList<Endpoint> endpoints; // likewise; only when asked for
    int newlines = 0;          // '\n' in the whole span
};

// About `count` chunks of consecutive blocks with similar text lengths; together they cover [0, textSize).
QList<Chunk> splitIntoChunks(const QList<Block> &blocks, qsizetype textSize, int count);
// `cancel`, when set, stops the chunk between two blocks.
ChunkResult functionsOfChunk(const QString &text, const Chunk &chunk, const std::atomic_bool *cancel = nullptr,
                             bool withEndpoints = false);
QList<Function> joinChunks(const QList<ChunkResult> &results);
QList<Endpoint> joinEndpoints(const QList<ChunkResult> &results);

} // namespace Decompose
