#include "workbench/PaneBlocks.h"

namespace {

// Offsets where lines 0, 1, ... start.
QList<qsizetype> lineStarts(QByteArrayView text) {
    QList<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        if (c == '\r' || c == '\n')
            starts.append(i + 1);
    }
    return starts;
}

qsizetype withoutLastBreak(QByteArrayView text, qsizetype start, qsizetype end) {
    if (end > start && text[end - 1] == '\n')
        --end;
    if (end > start && text[end - 1] == '\r')
        --end;
    return end;
}

} // namespace

QList<CodeRange> BlockRangesOfLines(QByteArrayView text, const QList<int> &lines, bool headed) {
    if (lines.isEmpty())
        return {{0, text.size()}};
    const QList<qsizetype> starts = lineStarts(text);
    auto startOf = [&](qsizetype line) { return line < starts.size() ? starts[line] : text.size(); };
    QList<int> ordered; // marks out of order are not block starts
    for (int line : lines)
        if (line >= 0 && (ordered.isEmpty() || line > ordered.last()))
            ordered.append(line);
    QList<CodeRange> blocks;
    for (qsizetype i = 0; i < ordered.size(); ++i) {
        const qsizetype start = startOf(ordered[i] + (headed ? 1 : 0));
        const qsizetype next = i + 1 < ordered.size() ? qMax(start, startOf(ordered[i + 1])) : text.size();
        blocks.append({start, withoutLastBreak(text, start, next)});
    }
    return blocks;
}

QList<int> LinesOfBlocks(QByteArrayView text, const QList<CodeRange> &blocks, bool headed) {
    const QList<qsizetype> starts = lineStarts(text);
    QList<int> lines;
    qsizetype line = 0;
    for (const CodeRange &block : blocks) {
        // The header's line holds the last character before the body: its line break.
        const qsizetype at = headed ? qMax<qsizetype>(0, block.start - 1) : block.start;
        while (line + 1 < starts.size() && starts[line + 1] <= at)
            ++line;
        lines.append(int(line));
    }
    return lines;
}
