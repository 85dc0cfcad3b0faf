#include "analysis/OriginalPosition.h"

#include <algorithm>
#include <numeric>

namespace {

// The source of `bundle` at `hit`, or -1.
int sourceAt(const MappedBundle &bundle, const SourceMaps::Location &hit) {
    for (int s = 0; s < bundle.sources.size(); ++s) {
        if (bundle.sources[s].part == hit.part && bundle.sources[s].index == hit.source)
            return s;
    }
    return -1;
}

bool endsLine(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (c == u'\r')
        return i + 1 >= text.size() || text[i + 1] != u'\n'; // the LF after it ends the line
    return c == u'\n' || c == 0x2028 || c == 0x2029;
}

} // namespace

OriginalJump originalAt(QStringView text, const QList<ScriptBlock> &blocks, qsizetype offset,
                        const SourceMapResult &maps) {
    OriginalJump jump;
    const std::optional<BundlePosition> at = positionInScript(text, blocks, offset);
    if (!at)
        return jump;
    jump.outcome = OriginalJump::NoMap;
    int index = -1;
    for (int i = 0; i < maps.bundles.size() && index < 0; ++i)
        if (maps.bundles[i].script == at->script)
            index = i;
    if (index < 0 || !maps.bundles[index].map)
        return jump;
    const MappedBundle &bundle = maps.bundles[index];
    jump.bundle = index;
    const QStringView body = text.sliced(at->bodyStart, at->bodyEnd - at->bodyStart);
    if (body.size() != bundle.textLength || scriptTextHash(body) != bundle.textHash) {
        jump.outcome = OriginalJump::Changed;
        return jump;
    }
    jump.outcome = OriginalJump::NoMapping;
    const std::optional<SourceMaps::Location> hit = bundle.map->find(at->line, at->column);
    if (!hit)
        return jump;
    jump.source = sourceAt(bundle, *hit);
    if (jump.source >= 0) {
        jump.outcome = OriginalJump::Found;
        jump.line = hit->line;
        jump.column = hit->column;
    }
    return jump;
}

QList<OriginalLine> originalLines(QStringView text, const QList<ScriptBlock> &blocks,
                                  const QList<qsizetype> &offsets, const SourceMapResult &maps) {
    QList<OriginalLine> out(offsets.size());
    QList<qsizetype> order(offsets.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return offsets[a] < offsets[b]; });
    auto next = order.cbegin();
    for (const ScriptBlock &b : blocks) {
        if (b.bodyEnd > text.size() || b.bodyStart > b.bodyEnd)
            continue;
        // Offsets before this body belong to no script, or to a block already passed.
        while (next != order.cend() && offsets[*next] < b.bodyStart)
            ++next;
        const MappedBundle *bundle = maps.bundleOf(b.number);
        const QStringView body = text.sliced(b.bodyStart, b.bodyEnd - b.bodyStart);
        if (!bundle || !bundle->map || body.size() != bundle->textLength || scriptTextHash(body) != bundle->textHash)
            continue;
        int line = 0;
        qsizetype lineStart = b.bodyStart;
        qsizetype i = b.bodyStart;
        for (; next != order.cend() && offsets[*next] <= b.bodyEnd; ++next) {
            const qsizetype offset = offsets[*next];
            for (; i < offset; ++i) {
                if (endsLine(text, i)) {
                    ++line;
                    lineStart = i + 1;
                }
            }
            // Between the CR and LF of a break, the CR has ended the line already.
            const bool splitBreak = offset > b.bodyStart && text[offset - 1] == u'\r' && !endsLine(text, offset - 1);
            const std::optional<SourceMaps::Location> hit =
                splitBreak ? bundle->map->find(line + 1, 0) : bundle->map->find(line, int(offset - lineStart));
            const int s = hit ? sourceAt(*bundle, *hit) : -1;
            if (s >= 0)
                out[*next] = {bundle->sources[s].name, hit->line + 1};
        }
    }
    return out;
}

qsizetype lineStartOffset(QStringView text, int line) {
    qsizetype i = 0;
    for (int seen = 0; seen < line; ++seen) {
        while (i < text.size() && text[i] != u'\n' && text[i] != u'\r')
            ++i;
        if (i >= text.size())
            return text.size();
        i += (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
    }
    return i;
}
