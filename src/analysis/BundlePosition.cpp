#include "analysis/BundlePosition.h"

std::optional<BundlePosition> positionInScript(QStringView text, const QList<ScriptBlock> &blocks,
                                               qsizetype offset) {
    for (const ScriptBlock &b : blocks) {
        if (offset < b.bodyStart || offset > b.bodyEnd || b.bodyEnd > text.size())
            continue;
        BundlePosition p;
        p.script = b.number;
        p.bodyStart = b.bodyStart;
        p.bodyEnd = b.bodyEnd;
        qsizetype lineStart = b.bodyStart;
        for (qsizetype i = b.bodyStart; i < offset; ++i) {
            const char16_t c = text[i].unicode();
            if (c == u'\r' && i + 1 < offset && text[i + 1] == u'\n')
                continue; // the LF after it ends the line
            if (c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029) {
                ++p.line;
                lineStart = i + 1;
            }
        }
        p.column = int(offset - lineStart);
        return p;
    }
    return std::nullopt;
}
