#include "analysis/ScriptBlocks.h"

#include <array>
#include <optional>

namespace {

struct Header {
    int number = 0;
    ScriptClass kind = ScriptClass::Other;
    QStringView address;
    qsizetype end = 0; // just after the line break (or the end of the text)
};

// The number of digits of a header number is capped: nine digits always fit an int.
constexpr qsizetype kMaxDigits = 9;

// Parses the line that starts at `at` (which holds "网址") as a header line.
std::optional<Header> parseHeader(QStringView text, qsizetype at) {
    static const std::array<ScriptClass, 4> kinds = {ScriptClass::Inline, ScriptClass::Network,
                                                     ScriptClass::Local, ScriptClass::Other};
    qsizetype i = at + 2;
    const qsizetype digitsStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && i - digitsStart < kMaxDigits + 1)
        ++i;
    const qsizetype digits = i - digitsStart;
    if (digits == 0 || digits > kMaxDigits || (digits > 1 && text[digitsStart] == u'0'))
        return std::nullopt;
    Header header;
    header.number = text.mid(digitsStart, digits).toInt();
    const QStringView rest = text.mid(i);
    bool tagged = false;
    for (ScriptClass kind : kinds) {
        const QString tag = scriptClassTag(kind);
        if (rest.startsWith(tag)) {
            header.kind = kind;
            i += tag.size();
            tagged = true;
            break;
        }
    }
    if (!tagged)
        return std::nullopt;
    qsizetype lineEnd = text.indexOf(u'\n', i);
    if (lineEnd < 0) {
        header.address = text.mid(i);
        header.end = text.size();
        return header;
    }
    header.end = lineEnd + 1;
    if (lineEnd > i && text[lineEnd - 1] == u'\r')
        --lineEnd;
    header.address = text.mid(i, lineEnd - i);
    return header;
}

// The block's body ends before the one line break that closes it.
qsizetype bodyEndBefore(QStringView text, qsizetype bodyStart, qsizetype next) {
    qsizetype end = next;
    if (end > bodyStart && text[end - 1] == u'\n') {
        --end;
        if (end > bodyStart && text[end - 1] == u'\r')
            --end;
    }
    return end;
}

} // namespace

QList<ScriptBlock> findScriptBlocks(QStringView combined) {
    QList<ScriptBlock> blocks;
    const QStringView label = u"网址";
    qsizetype from = 0;
    while (from < combined.size()) {
        const qsizetype at = combined.indexOf(label, from);
        if (at < 0)
            break;
        from = at + label.size();
        if (at > 0 && combined[at - 1] != u'\n')
            continue; // not at a line start
        const std::optional<Header> header = parseHeader(combined, at);
        if (!header || (!blocks.isEmpty() && header->number <= blocks.last().number))
            continue;
        if (!blocks.isEmpty())
            blocks.last().bodyEnd = bodyEndBefore(combined, blocks.last().bodyStart, at);
        ScriptBlock block;
        block.number = header->number;
        block.kind = header->kind;
        block.address = header->address.toString();
        block.headerStart = at;
        block.bodyStart = header->end;
        blocks.append(block);
        from = header->end;
    }
    if (!blocks.isEmpty())
        blocks.last().bodyEnd = bodyEndBefore(combined, blocks.last().bodyStart, combined.size());
    return blocks;
}
