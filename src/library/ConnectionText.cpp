#include "library/ConnectionText.h"

namespace DataAccess {

namespace {

bool needsQuotes(const QString &value) {
    if (value.isEmpty())
        return false;
    const QChar first = value.front();
    return value.contains(QLatin1Char(';')) || first == QLatin1Char('"') || first == QLatin1Char('\'') ||
           first.isSpace() || value.back().isSpace();
}

} // namespace

QString QuoteConnectionValue(const QString &value) {
    if (!needsQuotes(value))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QHash<QString, QString> ParseConnectionText(const QString &text) {
    QHash<QString, QString> pairs;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), pos);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), pos);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A segment without '=' carries nothing; skip it.
            if (semi < 0)
                break;
            pos = semi + 1;
            continue;
        }
        const QString key = text.mid(pos, eq - pos).trimmed().toLower();
        qsizetype v = eq + 1;
        while (v < n && text.at(v).isSpace())
            ++v;
        QString value;
        if (v < n && (text.at(v) == QLatin1Char('"') || text.at(v) == QLatin1Char('\''))) {
            const QChar quote = text.at(v);
            qsizetype i = v + 1;
            while (i < n) {
                if (text.at(i) == quote) {
                    if (i + 1 < n && text.at(i + 1) == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text.at(i++);
            }
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            pos = next < 0 ? n : next + 1;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), v);
            value = text.mid(v, (end < 0 ? n : end) - v).trimmed();
            pos = end < 0 ? n : end + 1;
        }
        if (!key.isEmpty())
            pairs.insert(key, value);
    }
    return pairs;
}

} // namespace DataAccess
