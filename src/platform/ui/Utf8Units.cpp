#include "platform/ui/Utf8Units.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// UTF-16 code units a UTF-8 byte contributes: continuation bytes none, a 4-byte lead two (a surrogate pair).
inline int unitsOfByte(unsigned char b) {
    if ((b & 0xC0) == 0x80)
        return 0;
    return b >= 0xF0 ? 2 : 1;
}

// UTF-16 code units in n bytes of UTF-8, eight bytes at a time: every byte but a continuation byte
// (10xxxxxx) starts a character, and a 4-byte lead (11110xxx) adds the second half of a surrogate pair.
inline int unitsOfWord(quint64 w) {
    constexpr quint64 High = 0x8080808080808080ull;
    const quint64 continuation = w & ~(w << 1) & High;
    const quint64 fourByteLead = w & (w << 1) & (w << 2) & (w << 3) & High;
    return 8 - std::popcount(continuation) + std::popcount(fourByteLead);
}

inline quint64 wordAt(const unsigned char *p) {
    quint64 w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

} // namespace

long utf16Units(const unsigned char *p, long n) {
    long units = 0;
    long i = 0;
    for (; i + 8 <= n; i += 8)
        units += unitsOfWord(wordAt(p + i));
    for (; i < n; ++i)
        units += unitsOfByte(p[i]);
    return units;
}

long bytesOfUnits(const unsigned char *p, long size, long units, long *left) {
    long pos = 0;
    long remaining = units;
    for (; pos + 8 <= size; pos += 8) {
        const int inWord = unitsOfWord(wordAt(p + pos));
        if (inWord >= remaining)
            break;
        remaining -= inWord;
    }
    // Byte by byte to the exact place; a word may have ended inside a character.
    for (; pos < size; ++pos) {
        const int inByte = unitsOfByte(p[pos]);
        if (inByte == 0)
            continue;
        if (inByte > remaining)
            break;
        remaining -= inByte;
    }
    if (left)
        *left = remaining;
    return pos;
}

qsizetype utf8Length(const QString &text) {
    qsizetype bytes = 0;
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c < 0x80)
            bytes += 1;
        else if (c < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}
