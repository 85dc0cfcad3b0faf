#include "analysis/OriginalPosition.h"

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
    for (int s = 0; s < bundle.sources.size(); ++s) {
        if (bundle.sources[s].part == hit->part && bundle.sources[s].index == hit->source) {
            jump.outcome = OriginalJump::Found;
            jump.source = s;
            jump.line = hit->line;
            jump.column = hit->column;
        }
    }
    return jump;
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
