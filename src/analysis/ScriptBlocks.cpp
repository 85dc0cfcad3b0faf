#include "analysis/ScriptBlocks.h"

namespace {

const QString Label = QStringLiteral("网址");
const QString Tags[] = {QStringLiteral("[网页内JS]："), QStringLiteral("[网络JS]："), QStringLiteral("[本地JS]："),
                        QStringLiteral("：")};
const QString Crlf = QStringLiteral("\r\n");

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
        return {ScriptBlock{0, 0, text.size()}};
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
            blocks.push_back({number, body, end});
            return blocks;
        }
        blocks.push_back({number, body, found});
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
        blocks.push_back({i, body, text.size()});
        from = body;
    }
    if (blocks.isEmpty())
        return ScriptBlocksOf(text);
    ScriptBlock &last = blocks.last();
    if (text.endsWith(Crlf) && text.size() - 2 >= last.bodyStart)
        last.bodyEnd = text.size() - 2;
    return blocks;
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
