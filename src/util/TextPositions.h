#pragma once
// Character positions counted from 1, as the address and link rules are stated; 0 means "not found".
// The routines of Module1 work in these positions throughout; the conversion to Qt's 0-based
// offsets happens here only.

#include <QString>

namespace Module1::Pos {

// Position of the first `needle` at or after position `from`, or 0.
inline int find(const QString &text, const QString &needle, int from = 1,
                Qt::CaseSensitivity cs = Qt::CaseSensitive) {
    const qsizetype i = text.indexOf(needle, from < 1 ? 0 : from - 1, cs);
    return i < 0 ? 0 : int(i) + 1;
}

inline int findAnyCase(const QString &text, const QString &needle, int from = 1) {
    return find(text, needle, from, Qt::CaseInsensitive);
}

// Position of the last `needle`, or 0.
inline int findLast(const QString &text, const QString &needle, Qt::CaseSensitivity cs = Qt::CaseSensitive) {
    const qsizetype i = text.lastIndexOf(needle, cs);
    return i < 0 ? 0 : int(i) + 1;
}

// The text from position `n` to the end; empty when n lies past the end.
inline QString from(const QString &text, int n) {
    return n > text.size() ? QString() : text.mid(n < 1 ? 0 : n - 1);
}

// The first `n` characters (none for n <= 0).
inline QString upTo(const QString &text, int n) {
    return n <= 0 ? QString() : text.left(n);
}

// `n` characters from position `pos` (none for n <= 0).
inline QString slice(const QString &text, int pos, int n) {
    return n <= 0 || pos > text.size() ? QString() : text.mid(pos < 1 ? 0 : pos - 1, n);
}

// Trims spaces, and only spaces, at both ends.
inline QString trimSpaces(const QString &text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

inline bool startsAnyCase(const QString &text, const QString &prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace Module1::Pos
