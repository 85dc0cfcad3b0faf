#include "platform/page/MarkupScan.h"

#include <cstring>

namespace markup {

using std::string_view;

// Reads a tag whose name starts at `i`, as the HTML tokenizer does; false when the page ends inside it.
bool readTag(const char *s, qsizetype n, qsizetype i, Tag &tag) {
    tag.name.clear();
    tag.selfClosing = false;
    tag.hasColorFaceOrSize = false;
    while (i < n && !isSpace(s[i]) && s[i] != '/' && s[i] != '>')
        tag.name += lower(s[i++]);
    std::string attr;
    while (i < n) {
        const char c = s[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        if (c == '>') {
            tag.end = i + 1;
            return true;
        }
        if (c == '/') {
            ++i;
            if (i < n && s[i] == '>') {
                tag.selfClosing = true;
                tag.end = i + 1;
                return true;
            }
            continue;
        }
        // An attribute name (a leading '=' belongs to it), then maybe a value.
        attr.clear();
        attr += lower(s[i++]);
        while (i < n && !isSpace(s[i]) && s[i] != '/' && s[i] != '>' && s[i] != '=')
            attr += lower(s[i++]);
        if (attr == "color" || attr == "face" || attr == "size")
            tag.hasColorFaceOrSize = true;
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n || s[i] != '=')
            continue;
        ++i;
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            break;
        if (s[i] == '"' || s[i] == '\'') {
            const void *close = std::memchr(s + i + 1, s[i], size_t(n - i - 1));
            if (!close)
                return false;
            i = static_cast<const char *>(close) - s + 1;
        } else {
            while (i < n && !isSpace(s[i]) && s[i] != '>')
                ++i;
        }
    }
    return false;
}

// Where a comment that starts with "<!--" at `i` ends (just after it), or n.
qsizetype commentEnd(const char *s, qsizetype n, qsizetype i) {
    qsizetype k = i + 4;
    if (k < n && s[k] == '>')
        return k + 1; // "<!-->"
    if (k + 1 < n && s[k] == '-' && s[k + 1] == '>')
        return k + 2; // "<!--->"
    for (; k + 1 < n; ++k) {
        if (s[k] != '-' || s[k + 1] != '-')
            continue;
        qsizetype j = k + 2;
        while (j < n && s[j] == '-')
            ++j;
        if (j < n && s[j] == '>')
            return j + 1;
        if (j + 1 < n && s[j] == '!' && s[j + 1] == '>')
            return j + 2;
        k = j - 1;
    }
    return n;
}

qsizetype indexOf(const char *s, qsizetype n, qsizetype from, char c) {
    if (from >= n)
        return n;
    const void *hit = std::memchr(s + from, c, size_t(n - from));
    return hit ? static_cast<const char *>(hit) - s : n;
}

namespace {

// True when "</name" followed by a delimiter starts at `i`, letter case ignored.
bool endTagAt(const char *s, qsizetype n, qsizetype i, string_view name) {
    const qsizetype len = qsizetype(name.size());
    if (i + 2 + len > n || s[i] != '<' || s[i + 1] != '/')
        return false;
    for (qsizetype k = 0; k < len; ++k)
        if (lower(s[i + 2 + k]) != name[size_t(k)])
            return false;
    const qsizetype after = i + 2 + len;
    return after >= n || isSpace(s[after]) || s[after] == '/' || s[after] == '>';
}

} // namespace

// The start of the "</name" that ends a raw-text element whose content starts at `i`, or n.
qsizetype rawTextEnd(const char *s, qsizetype n, qsizetype i, string_view name) {
    for (i = indexOf(s, n, i, '<'); i < n; i = indexOf(s, n, i + 1, '<'))
        if (endTagAt(s, n, i, name))
            return i;
    return n;
}

namespace {

bool scriptTagAt(const char *s, qsizetype n, qsizetype i) {
    // "<script" or "</script" followed by a delimiter (the tokenizer's double-escape test)
    static constexpr string_view kName = "script";
    const qsizetype at = i + 1;
    if (at + 6 > n)
        return false;
    for (qsizetype k = 0; k < 6; ++k)
        if (lower(s[at + k]) != kName[size_t(k)])
            return false;
    return at + 6 >= n || isSpace(s[at + 6]) || s[at + 6] == '/' || s[at + 6] == '>';
}

} // namespace

// The start of the "</script" that ends a script's text starting at `i`, or n. Follows the tokenizer's
// escaped and double-escaped states: inside "<!--", a "<script" hides the next "</script".
qsizetype scriptDataEnd(const char *s, qsizetype n, qsizetype i) {
    enum { Plain, Escaped, DoubleEscaped } state = Plain;
    int dashes = 0; // '-' seen in a row (escaped states)
    for (; i < n; ++i) {
        const char c = s[i];
        if (c == '-') {
            ++dashes;
            continue;
        }
        const int run = dashes;
        dashes = 0;
        if (c == '>' && run >= 2 && state != Plain) {
            state = Plain;
            continue;
        }
        if (c != '<')
            continue;
        if (state == Plain) {
            if (endTagAt(s, n, i, "script"))
                return i;
            if (i + 3 < n && s[i + 1] == '!' && s[i + 2] == '-' && s[i + 3] == '-') {
                state = Escaped;
                i += 3;
                dashes = 2;
            }
        } else if (state == Escaped) {
            if (endTagAt(s, n, i, "script"))
                return i;
            if (scriptTagAt(s, n, i)) {
                state = DoubleEscaped;
                i += 6;
            }
        } else if (i + 1 < n && s[i + 1] == '/' && scriptTagAt(s, n, i + 1)) {
            state = Escaped;
            i += 7;
        }
    }
    return n;
}

} // namespace markup
