#pragma once
// The templates of JsScanner.h (included from there only).

#include "workbench/JsWords.h"

#include <cstring>
#include <type_traits>

namespace JsScan {

namespace detail {

// Control characters other than blanks and line breaks are not punctuation: taken as part of a name,
// they keep the blanks around them as they are.
inline bool isNameAscii(unsigned c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '\\' || c == '#' || (c < 0x20 && (c < 0x09 || c > 0x0d)) || c == 0x7f;
}
inline bool isDigit(unsigned c) {
    return c >= '0' && c <= '9';
}
inline bool isAsciiBlank(unsigned c) {
    return c == ' ' || c == '\t' || c == 0x0b || c == 0x0c;
}
// Deeper template nesting than this is left alone rather than followed.
constexpr int kMaxTemplateDepth = 200;

} // namespace detail

template <typename Char>
typename Scanner<Char>::NonAscii Scanner<Char>::nonAscii(std::int64_t at, int &len) const {
    const unsigned c = uc(in[at]);
    len = 1;
    if constexpr (sizeof(Char) == 2) {
        if (c == 0x2028 || c == 0x2029)
            return LineBreak;
        if (c == 0xa0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200a) || c == 0x202f || c == 0x205f ||
            c == 0x3000 || c == 0xfeff)
            return OtherBlank;
        return NameChar;
    } else {
        auto byte = [&](std::int64_t i) { return i < n ? uc(in[i]) : 0u; };
        const unsigned b1 = byte(at + 1), b2 = byte(at + 2);
        if (c == 0xc2 && b1 == 0xa0) {
            len = 2;
            return OtherBlank;
        }
        if (c == 0xe2 && b1 == 0x80 && (b2 == 0xa8 || b2 == 0xa9)) {
            len = 3;
            return LineBreak;
        }
        if ((c == 0xe1 && b1 == 0x9a && b2 == 0x80) ||
            (c == 0xe2 && b1 == 0x80 && (b2 <= 0x8a || b2 == 0xaf)) ||
            (c == 0xe2 && b1 == 0x81 && b2 == 0x9f) || (c == 0xe3 && b1 == 0x80 && b2 == 0x80) ||
            (c == 0xef && b1 == 0xbb && b2 == 0xbf)) {
            len = 3;
            return OtherBlank;
        }
        return NameChar;
    }
}

template <typename Char> Token Scanner<Char>::scanBlank(std::int64_t at) const {
    Token t{Kind::Blank, at, at};
    std::int64_t i = at;
    while (i < n) {
        const unsigned c = uc(in[i]);
        if (detail::isAsciiBlank(c)) {
            ++i;
        } else if (c == '\r' || c == '\n') {
            t.lineBreak = true;
            ++i;
        } else if (c >= 128) {
            int len = 1;
            const NonAscii k = nonAscii(i, len);
            if (k == NameChar)
                break;
            (k == LineBreak ? t.lineBreak : t.otherBlank) = true;
            i += len;
        } else {
            break;
        }
    }
    t.end = i;
    return t;
}

// The end of a line comment: just before its line break (or the end of the text).
template <typename Char> std::int64_t Scanner<Char>::lineEnd(std::int64_t at) const {
    std::int64_t i = at;
    for (; i < n; ++i) {
        const unsigned c = uc(in[i]);
        if (c == '\r' || c == '\n')
            break;
        if (c >= 128) {
            int len = 1;
            if (nonAscii(i, len) == LineBreak)
                break;
        }
    }
    return i;
}

template <typename Char> std::int64_t Scanner<Char>::nameEnd(std::int64_t at) const {
    std::int64_t i = at;
    while (i < n) {
        const unsigned c = uc(in[i]);
        if (c < 128) {
            if (!detail::isNameAscii(c))
                break;
            ++i;
            continue;
        }
        int len = 1;
        if (nonAscii(i, len) != NameChar)
            break;
        ++i;
    }
    return i;
}

template <typename Char> std::int64_t Scanner<Char>::numberEnd(std::int64_t at) const {
    std::int64_t i = at;
    auto c = [&](std::int64_t k) { return k < n ? uc(in[k]) : 0u; };
    if (c(i) == '0' && (c(i + 1) | 0x20) >= 'a' && (c(i + 1) | 0x20) <= 'z' && (c(i + 1) | 0x20) != 'e' &&
        (c(i + 1) | 0x20) != 'n')
        return nameEnd(i); // 0x.., 0b.., 0o..
    while (detail::isDigit(c(i)) || c(i) == '_')
        ++i;
    if (c(i) == '.') {
        ++i;
        while (detail::isDigit(c(i)) || c(i) == '_')
            ++i;
    }
    if ((c(i) | 0x20) == 'e' &&
        (detail::isDigit(c(i + 1)) || ((c(i + 1) == '+' || c(i + 1) == '-') && detail::isDigit(c(i + 2))))) {
        i += 2;
        while (detail::isDigit(c(i)) || c(i) == '_')
            ++i;
    }
    return nameEnd(i); // a BigInt's "n", or whatever letters stick to it
}

template <typename Char> Token Scanner<Char>::scanQuoted(std::int64_t at) const {
    const unsigned quote = uc(in[at]);
    for (std::int64_t i = at + 1; i < n; ++i) {
        const unsigned c = uc(in[i]);
        if (c == quote)
            return {Kind::String, at, i + 1};
        if (c == '\\') {
            if (i + 2 < n && uc(in[i + 1]) == '\r' && uc(in[i + 2]) == '\n')
                ++i;
            ++i;
        } else if (c == '\r' || c == '\n') {
            break;
        }
    }
    return {Kind::Error, at, n};
}

template <typename Char> Token Scanner<Char>::scanBlockComment(std::int64_t at) const {
    Token t{Kind::BlockComment, at, at};
    for (std::int64_t i = at + 2; i + 1 < n; ++i) {
        const unsigned c = uc(in[i]);
        if (c == '*' && uc(in[i + 1]) == '/') {
            t.end = i + 2;
            return t;
        }
        if (c == '\r' || c == '\n')
            t.lineBreak = true;
        else if (c >= 128) {
            int len = 1;
            if (nonAscii(i, len) == LineBreak)
                t.lineBreak = true;
        }
    }
    return {Kind::Error, at, n};
}

template <typename Char> Token Scanner<Char>::scanRegex(std::int64_t at) const {
    bool inClass = false;
    for (std::int64_t i = at + 1; i < n; ++i) {
        const unsigned c = uc(in[i]);
        if (c == '\\') {
            ++i;
            if (i < n && (uc(in[i]) == '\r' || uc(in[i]) == '\n'))
                break;
        } else if (c == '\r' || c == '\n') {
            break;
        } else if (c == '[') {
            inClass = true;
        } else if (c == ']') {
            inClass = false;
        } else if (c == '/' && !inClass) {
            return {Kind::Regex, at, nameEnd(i + 1)};
        } else if (c >= 128) {
            int len = 1;
            if (nonAscii(i, len) == LineBreak)
                break;
        }
    }
    return {Kind::Error, at, n};
}

template <typename Char> Token Scanner<Char>::scanTemplate(std::int64_t at, int depth) const {
    if (depth > detail::kMaxTemplateDepth)
        return {Kind::Unsure, at, n};
    for (std::int64_t i = at + 1; i < n; ++i) {
        const unsigned c = uc(in[i]);
        if (c == '\\') {
            ++i;
        } else if (c == '`') {
            return {Kind::Template, at, i + 1};
        } else if (c == '$' && i + 1 < n && uc(in[i + 1]) == '{') {
            Kind failure = Kind::Error;
            const std::int64_t after = scanSubstitution(i + 2, depth, failure);
            if (after < 0)
                return {failure, at, n};
            i = after - 1;
        }
    }
    return {Kind::Error, at, n};
}

// The code of a ${} substitution from `at`: returns the position after its closing "}", or -1 with
// `failure` set.
template <typename Char>
std::int64_t Scanner<Char>::scanSubstitution(std::int64_t at, int depth, Kind &failure) const {
    SlashTracker tracker;
    int braces = 0;
    bool lineStart = false;
    std::int64_t i = at;
    while (i < n) {
        const Token t = next(i, tracker.slash(), lineStart, depth + 1);
        if (t.kind == Kind::Error || t.kind == Kind::Unsure) {
            failure = t.kind;
            return -1;
        }
        if (t.kind == Kind::Blank) {
            lineStart = lineStart || t.lineBreak;
        } else if (t.kind != Kind::BlockComment) {
            lineStart = false;
        }
        if (t.kind == Kind::Punct) {
            const unsigned c = uc(in[t.start]);
            if (c == '{') {
                ++braces;
            } else if (c == '}') {
                if (braces == 0)
                    return t.end;
                --braces;
            }
        }
        tracker.see(t, in);
        i = t.end;
    }
    failure = Kind::Error;
    return -1;
}

template <typename Char> int Scanner<Char>::punctLength(std::int64_t at) const {
    auto c = [&](std::int64_t k) { return k < n ? uc(in[k]) : 0u; };
    const unsigned a = c(at), b = c(at + 1), d = c(at + 2);
    switch (a) {
    case '.':
        return b == '.' && d == '.' ? 3 : 1;
    case '?':
        if (b == '.' && !detail::isDigit(d))
            return 2;
        if (b == '?')
            return d == '=' ? 3 : 2;
        return 1;
    case '<':
        if (b == '<')
            return d == '=' ? 3 : 2;
        return b == '=' ? 2 : 1;
    case '>':
        if (b == '>') {
            if (d == '>')
                return c(at + 3) == '=' ? 4 : 3;
            return d == '=' ? 3 : 2;
        }
        return b == '=' ? 2 : 1;
    case '=':
        if (b == '=')
            return d == '=' ? 3 : 2;
        return b == '>' ? 2 : 1;
    case '!':
        if (b == '=')
            return d == '=' ? 3 : 2;
        return 1;
    case '+':
    case '-':
        return b == a || b == '=' ? 2 : 1;
    case '*':
        if (b == '*')
            return d == '=' ? 3 : 2;
        return b == '=' ? 2 : 1;
    case '&':
    case '|':
        if (b == a)
            return d == '=' ? 3 : 2;
        return b == '=' ? 2 : 1;
    case '%':
    case '^':
    case '/':
        return b == '=' ? 2 : 1;
    default:
        return 1;
    }
}

template <typename Char>
Token Scanner<Char>::next(std::int64_t at, Slash slash, bool atLineStart, int depth) const {
    if (at >= n)
        return {Kind::End, at, at};
    auto c = [&](std::int64_t k) { return k < n ? uc(in[k]) : 0u; };
    const unsigned a = c(at);
    if (a >= 128) {
        int len = 1;
        if (nonAscii(at, len) != NameChar)
            return scanBlank(at);
        return {Kind::Name, at, nameEnd(at)};
    }
    if (detail::isAsciiBlank(a) || a == '\r' || a == '\n')
        return scanBlank(at);
    if (detail::isNameAscii(a)) {
        if (detail::isDigit(a))
            return {Kind::Number, at, numberEnd(at)};
        if (a == '#' && at == 0 && c(1) == '!')
            return {Kind::LineComment, at, lineEnd(at)};
        return {Kind::Name, at, nameEnd(at)};
    }
    switch (a) {
    case '"':
    case '\'':
        return scanQuoted(at);
    case '`':
        return scanTemplate(at, depth);
    case '.':
        if (detail::isDigit(c(at + 1)))
            return {Kind::Number, at, numberEnd(at)};
        break;
    case '/':
        if (c(at + 1) == '/')
            return {Kind::LineComment, at, lineEnd(at)};
        if (c(at + 1) == '*')
            return scanBlockComment(at);
        if (slash == Slash::Regex)
            return scanRegex(at);
        if (slash == Slash::Unsure)
            return {Kind::Unsure, at, n};
        break;
    case '<':
        if (c(at + 1) == '!' && c(at + 2) == '-' && c(at + 3) == '-')
            return {Kind::LineComment, at, lineEnd(at)};
        break;
    case '-':
        // "-->" is a comment at a line start. Elsewhere it is one unless an operand surely precedes it: where
        // an operand is due (or after "}", "++"), "--" ">" could not be code anyway, and the layout may move
        // it to a line start.
        if (c(at + 1) == '-' && c(at + 2) == '>' && (atLineStart || slash != Slash::Divide))
            return {Kind::LineComment, at, lineEnd(at)};
        break;
    default:
        break;
    }
    return {Kind::Punct, at, at + punctLength(at)};
}

} // namespace JsScan
