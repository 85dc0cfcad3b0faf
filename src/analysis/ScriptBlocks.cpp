#include "analysis/ScriptBlocks.h"

#include <array>
#include <optional>

namespace {

const QString Label = QStringLiteral("网址");
const QString Tags[] = {QStringLiteral("[网页内JS]："), QStringLiteral("[网络JS]："), QStringLiteral("[本地JS]："),
                        QStringLiteral("：")};
const QString Crlf = QStringLiteral("\r\n");

ScriptBlock bodyOnly(int number, qsizetype start, qsizetype end) {
    ScriptBlock block;
    block.number = number;
    block.bodyStart = start;
    block.bodyEnd = end;
    return block;
}

// The body start after the header at `pos` numbered `number`, or -1 when there is none.
qsizetype headerEnd(const QString &text, qsizetype pos, int number) {
    const QString digits = QString::number(number);
    if (!QStringView(text).mid(pos).startsWith(Label + digits))
        return -1;
    const qsizetype tag = pos + Label.size() + digits.size();
    for (const QString &t : Tags) {
        if (QStringView(text).mid(tag).startsWith(t)) {
            const qsizetype eol = text.indexOf(Crlf, tag + t.size());
            return eol < 0 ? -1 : eol + 2;
        }
    }
    return -1;
}

// The number at the start of a header at `pos` (any number), or -1.
int leadingNumber(const QString &text, qsizetype pos) {
    if (!QStringView(text).mid(pos).startsWith(Label))
        return -1;
    qsizetype i = pos + Label.size();
    const qsizetype first = i;
    while (i < text.size() && i - first < 9 && text.at(i).isDigit() && text.at(i).unicode() < 128)
        ++i;
    return i == first ? -1 : QStringView(text).mid(first, i - first).toInt();
}

} // namespace

QList<ScriptBlock> ScriptBlocksOf(const QString &text) {
    QList<ScriptBlock> blocks;
    int number = leadingNumber(text, 0);
    qsizetype body = number < 0 ? -1 : headerEnd(text, 0, number);
    if (body < 0)
        return {bodyOnly(0, 0, text.size())};
    for (;;) {
        // The next header: "\r\n" + "网址" + number + 1 at a line start.
        const QString next = Crlf + Label + QString::number(number + 1);
        qsizetype from = body;
        qsizetype found = -1;
        qsizetype nextBody = -1;
        while ((found = text.indexOf(next, from)) >= 0) {
            nextBody = headerEnd(text, found + 2, number + 1);
            if (nextBody >= 0)
                break;
            from = found + 1;
        }
        if (found < 0) {
            const qsizetype end = text.endsWith(Crlf) && text.size() - 2 >= body ? text.size() - 2 : text.size();
            blocks.push_back(bodyOnly(number, body, end));
            return blocks;
        }
        blocks.push_back(bodyOnly(number, body, found));
        ++number;
        body = nextBody;
    }
}

QList<ScriptBlock> ScriptBlocksOf(const QString &text, const QStringList &headers) {
    QList<ScriptBlock> blocks;
    QList<qsizetype> headerStarts;
    qsizetype from = 0;
    for (int i = 0; i < headers.size(); ++i) {
        const qsizetype at = headers.at(i).isEmpty() ? -1 : text.indexOf(headers.at(i), from);
        if (at < 0)
            continue;
        qsizetype body = at + headers.at(i).size();
        if (QStringView(text).mid(body).startsWith(Crlf))
            body += 2;
        if (!blocks.isEmpty()) {
            qsizetype end = at;
            if (end - 2 >= blocks.last().bodyStart && QStringView(text).mid(end - 2, 2) == Crlf)
                end -= 2;
            blocks.last().bodyEnd = end;
        }
        blocks.push_back(bodyOnly(i, body, text.size()));
        from = body;
    }
    if (blocks.isEmpty())
        return ScriptBlocksOf(text);
    ScriptBlock &last = blocks.last();
    if (text.endsWith(Crlf) && text.size() - 2 >= last.bodyStart)
        last.bodyEnd = text.size() - 2;
    return blocks;
}

QList<int> HeaderLinesOf(const QString &text, const QStringList &headers) {
    if (headers.isEmpty() || !text.startsWith(Label))
        return {};
    QList<int> lines(headers.size(), 0);
    int line = 0;
    int filled = 0;
    qsizetype at = 0;
    for (const ScriptBlock &block : ScriptBlocksOf(text, headers)) {
        // The last character of the header (its line break, or its last letter when the normaliser
        // joined it to the body) is on the header's line.
        const qsizetype end = qMax<qsizetype>(0, block.bodyStart - 1);
        for (; at < end; ++at) {
            const QChar c = text.at(at);
            if (c == u'\n' || (c == u'\r' && text.at(at + 1) != u'\n'))
                ++line;
        }
        for (; filled < block.number; ++filled)
            lines[filled] = filled > 0 ? lines[filled - 1] : 0;
        lines[filled++] = line;
    }
    for (; filled < lines.size(); ++filled)
        lines[filled] = filled > 0 ? lines[filled - 1] : 0;
    return lines;
}

QString HeaderOfListEntry(int index, const QString &entry) {
    static const struct {
        QString prefix;
        QString tag;
    } classes[] = {{QStringLiteral("[网页内JS-"), Tags[0]}, {QStringLiteral("[网络JS-"), Tags[1]},
                   {QStringLiteral("[本地JS-"), Tags[2]}};
    const QString number = QString::number(index);
    for (const auto &c : classes) {
        const QString prefix = c.prefix + number + QStringLiteral("] ");
        if (entry.startsWith(prefix))
            return Label + number + c.tag + entry.mid(prefix.size());
    }
    return Label + number + Tags[3] + entry;
}

QStringList HeadersOfListEntries(const QStringList &entries) {
    QStringList headers;
    headers.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i)
        headers << HeaderOfListEntry(i, entries.at(i));
    return headers;
}

// ---- findScriptBlocks ----------------------------------------------------------------------------------

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
