#include "decompose/Functions.h"

#include "decompose/FunctionChunks.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace Decompose {

int lineAt(QStringView text, qsizetype pos) {
    return 1 + int(text.first(std::clamp<qsizetype>(pos, 0, text.size())).count(QLatin1Char('\n')));
}

QList<Chunk> splitIntoChunks(const QList<Block> &blocks, qsizetype textSize, int count) {
    QList<Chunk> chunks;
    if (blocks.isEmpty())
        return chunks;
    qsizetype total = 0;
    for (const Block &b : blocks)
        total += b.body.length();
    const qsizetype share = std::max<qsizetype>(1, total / std::max(1, count));
    Chunk current;
    qsizetype size = 0;
    for (const Block &b : blocks) {
        if (!current.blocks.isEmpty() && size >= share) {
            current.span.end = b.body.start;
            chunks.push_back(std::move(current));
            current = Chunk{};
            current.span.start = b.body.start;
            size = 0;
        }
        current.blocks.push_back(b);
        size += b.body.length();
    }
    current.span.end = std::max(textSize, current.blocks.last().body.end);
    chunks.push_back(std::move(current));
    return chunks;
}

ChunkResult functionsOfChunk(const QString &text, const Chunk &chunk, const std::atomic_bool *cancel,
                             bool withEndpoints) {
    ChunkResult result;
    const QStringView all(text);
    qsizetype counted = chunk.span.start;
    int line = 1;
    for (const Block &b : chunk.blocks) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return {};
        line += int(all.mid(counted, b.body.start - counted).count(QLatin1Char('\n')));
        counted = b.body.start;
        BlockFunctions found = functionsOfBlock(all, b, line, withEndpoints);
        result.functions += std::move(found.functions);
        result.endpoints += std::move(found.endpoints);
    }
    result.newlines = line - 1 + int(all.mid(counted, chunk.span.end - counted).count(QLatin1Char('\n')));
    return result;
}

namespace {

// The items of every chunk with their lines counted from the text's start.
template <typename T>
QList<T> joinLines(const QList<ChunkResult> &results, QList<T> ChunkResult::*items) {
    qsizetype n = 0;
    for (const ChunkResult &r : results)
        n += (r.*items).size();
    QList<T> all;
    all.reserve(n);
    int linesBefore = 0;
    for (const ChunkResult &r : results) {
        for (T item : r.*items) {
            item.line += linesBefore;
            all.push_back(std::move(item));
        }
        linesBefore += r.newlines;
    }
    return all;
}

} // namespace

QList<Function> joinChunks(const QList<ChunkResult> &results) {
    return joinLines(results, &ChunkResult::functions);
}

QList<Endpoint> joinEndpoints(const QList<ChunkResult> &results) {
    return joinLines(results, &ChunkResult::endpoints);
}

namespace {

QList<ChunkResult> chunkResults(const QString &text, const QList<Block> &blocks, const std::atomic_bool *cancel,
                                bool withEndpoints) {
    // A few chunks per core, so one long block does not keep the others waiting.
    const QList<Chunk> chunks = splitIntoChunks(blocks, text.size(), 4 * std::max(1, QThread::idealThreadCount()));
    if (chunks.size() <= 1)
        return {functionsOfChunk(text, chunks.value(0), cancel, withEndpoints)};
    // A pool of its own: callers run this on a worker of the shared pools, and waiting there for tasks
    // queued behind those same workers would deadlock once every worker waits (two windows on 2 cores).
    static QThreadPool *const parsers = [] {
        auto *pool = new QThreadPool;
        pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        return pool;
    }();
    return QtConcurrent::blockingMapped<QList<ChunkResult>>(parsers, chunks, [&text, cancel, withEndpoints](const Chunk &c) {
        return functionsOfChunk(text, c, cancel, withEndpoints);
    });
}

} // namespace

QList<Function> functionsOf(const QString &text, const QList<Block> &blocks, const std::atomic_bool *cancel) {
    return joinChunks(chunkResults(text, blocks, cancel, false));
}

Decomposition decompose(const QString &text, const QList<Block> &blocks, const QUrl &page,
                        const std::atomic_bool *cancel) {
    const QList<ChunkResult> results = chunkResults(text, blocks, cancel, true);
    Decomposition d;
    d.functions = joinChunks(results);
    d.endpoints = joinEndpoints(results);
    resolveAll(d.endpoints, page);
    return d;
}

} // namespace Decompose
