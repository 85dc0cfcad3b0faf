#include "analysis/SourceMapResult.h"

#include <QHash>

int SourceMapResult::sourceCount() const {
    int n = 0;
    for (const MappedBundle &b : bundles)
        for (const OriginalSource &s : b.sources)
            n += s.status == OriginalSource::Ok;
    return n;
}

int SourceMapResult::mapCount() const {
    int n = 0;
    for (const MappedBundle &b : bundles)
        n += b.mapReason.isEmpty() && b.map != nullptr;
    return n;
}

QStringList SourceMapResult::notObtained() const {
    QStringList lines;
    for (const MappedBundle &b : bundles) {
        if (!b.mapReason.isEmpty())
            lines << b.mapReason;
        lines << b.notes;
        for (const OriginalSource &s : b.sources)
            if (s.status == OriginalSource::Failed || s.status == OriginalSource::Refused)
                lines << s.reason;
    }
    return lines;
}

const MappedBundle *SourceMapResult::bundleOf(int script) const {
    for (const MappedBundle &b : bundles)
        if (b.script == script)
            return &b;
    return nullptr;
}

size_t scriptTextHash(QStringView text) {
    return qHash(text, size_t(0x5eed));
}
