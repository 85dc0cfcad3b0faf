#include "workbench/Normaliser.h"

#ifdef __linux__
#include <sys/mman.h>

#include <cstdint>
#endif

// The rewrite is defined as nineteen ordered global replacements (tests/workbench/ReferenceNormaliser runs
// them literally). Run that way they copy the text some twenty times; the same result comes out of one
// pass, by this reasoning:
//
// Replacements 1 to 6: CR LF, lone CR, lone LF, NUL and TAB each become one space, and every run of
//   spaces shrinks to one (the repeated halving of replacement 6 ends exactly there). Call the result T:
//   no line breaks, no two adjacent spaces.
// Replacements 7 to 19, decided on T alone:
//   - a space goes when its left neighbour is ";", "{", "}" or the "/" of "*/", or its right neighbour is
//     ";", "{", "}" or "(". Removing such a space joins a character that is not a space to one of those,
//     and line breaks are only inserted after ";", "{", "}" and "*/", so a space that survives one
//     replacement keeps the neighbours it had in T for all later ones;
//   - ";" and "{" are followed by CR LF, "}" by CR LF CR LF (replacements 15 and 16), "*/" by CR LF.
//     "*/" cannot overlap itself, so every such pair in T is an occurrence, and no replacement creates or
//     splits one.
// The pass below builds T on the fly: a space of T is held back until its right neighbour is known.

namespace {

// Character classes for the ASCII range; everything else is ordinary text.
enum : unsigned char { Plain = 0, Blank = 1, EndsLine = 2, OpenParen = 3, Star = 4, Slash = 5 };

struct ClassTable {
    unsigned char cls[128] = {};
    constexpr ClassTable() {
        cls[u' '] = cls[u'\r'] = cls[u'\n'] = cls[0] = cls[u'\t'] = Blank;
        cls[u';'] = cls[u'{'] = cls[u'}'] = EndsLine;
        cls[u'('] = OpenParen;
        cls[u'*'] = Star;
        cls[u'/'] = Slash;
    }
};
constexpr ClassTable kClasses;

// Every character the rewrite looks at is ASCII, so it runs the same on UTF-16 code units and on UTF-8
// bytes: in UTF-8 no byte of a multi-byte sequence is below 128, and those bytes are copied as they are.
template <typename Char> inline unsigned char classOf(Char c) {
    return c < 128 ? kClasses.cls[c] : static_cast<unsigned char>(Plain);
}

// How many characters the line breaks can add at most (a "/" may close a comment).
template <typename Char> qsizetype maxGrowth(const Char *in, qsizetype n) {
    qsizetype growth = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const Char c = in[i];
        growth += 2 * ((c == u';') | (c == u'{') | (c == u'/')) + 4 * (c == u'}');
    }
    return growth;
}

// A text of tens of millions of characters spends much of its time in first-touch page faults of the
// output; asking for huge pages on the fresh buffer removes most of them. Purely a hint.
void adviseHugePages(void *begin, std::size_t bytes) {
#ifdef __linux__
    constexpr std::uintptr_t huge = 2u << 20;
    if (bytes < 4 * huge)
        return;
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(begin) + huge - 1) & ~(huge - 1);
    const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(huge - 1);
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)bytes;
#endif
}

// Writes the normalised form of in[0, n) to `out`, which has room for n + maxGrowth(in, n) characters;
// returns the end of what was written.
template <typename Char> Char *normaliseInto(const Char *in, qsizetype n, Char *o) {
    constexpr Char kSpace = ' ';
    constexpr Char kCr = '\r';
    constexpr Char kLf = '\n';
    bool pendingSpace = false; // T has a space here; its fate waits on the next character
    bool leftEndsLine = false; // the last character of T before it is ";", "{", "}" or ends "*/"
    bool leftIsStar = false;   // the last character of T is "*" (no space after it)
    for (qsizetype i = 0; i < n; ++i) {
        const Char c = in[i];
        const unsigned char cls = classOf(c);
        if (cls == Plain && !pendingSpace) {
            *o++ = c;
            leftEndsLine = false;
            leftIsStar = false;
            continue;
        }
        if (cls == Blank) {
            if (c == kCr && i + 1 < n && in[i + 1] == kLf)
                ++i; // a CR LF pair is one space
            pendingSpace = true;
            continue;
        }
        if (pendingSpace) {
            if (!leftEndsLine && cls != EndsLine && cls != OpenParen)
                *o++ = kSpace;
            pendingSpace = false;
            leftIsStar = false;
        }
        *o++ = c;
        if (cls == EndsLine) {
            *o++ = kCr;
            *o++ = kLf;
            if (c == '}') {
                *o++ = kCr;
                *o++ = kLf;
            }
            leftEndsLine = true;
        } else if (cls == Slash && leftIsStar) {
            *o++ = kCr;
            *o++ = kLf;
            leftEndsLine = true;
        } else {
            leftEndsLine = false;
        }
        leftIsStar = cls == Star;
    }
    if (pendingSpace && !leftEndsLine)
        *o++ = kSpace;
    return o;
}

} // namespace

QString NormaliseCodeText(const QString &text) {
    const qsizetype n = text.size();
    if (n == 0)
        return QString();
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    QString out(n + maxGrowth(in, n), Qt::Uninitialized);
    char16_t *const outBegin = reinterpret_cast<char16_t *>(out.data());
    adviseHugePages(outBegin, std::size_t(out.size()) * sizeof(char16_t));
    out.truncate(normaliseInto(in, n, outBegin) - outBegin);
    return out;
}

QByteArray NormaliseCodeUtf8(QByteArrayView text) {
    const qsizetype n = text.size();
    if (n == 0)
        return QByteArray();
    const auto *in = reinterpret_cast<const unsigned char *>(text.data());
    QByteArray out(n + maxGrowth(in, n), Qt::Uninitialized);
    auto *const outBegin = reinterpret_cast<unsigned char *>(out.data());
    adviseHugePages(outBegin, std::size_t(out.size()));
    out.truncate(normaliseInto(in, n, outBegin) - outBegin);
    return out;
}
