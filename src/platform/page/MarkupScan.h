#pragma once
// The HTML tokenizer's steps the nesting pass takes over raw bytes: reading a tag, skipping a comment,
// finding where raw text and script text end. Positions are byte offsets; `n` is the page's size.

#include <QtGlobal>

#include <string>
#include <string_view>

namespace markup {

inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
inline bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

struct Tag {
    std::string name;  // lower-cased
    qsizetype end = 0; // just after '>'
    bool selfClosing = false;
    bool hasColorFaceOrSize = false; // <font> with one of these leaves foreign content
};

// Reads a tag whose name starts at `i`, as the HTML tokenizer does; false when the page ends inside it.
bool readTag(const char *s, qsizetype n, qsizetype i, Tag &tag);

// Where a comment that starts with "<!--" at `i` ends (just after it), or n.
qsizetype commentEnd(const char *s, qsizetype n, qsizetype i);

// The first `c` at or after `from`, or n.
qsizetype indexOf(const char *s, qsizetype n, qsizetype from, char c);

// The start of the "</name" that ends a raw-text element whose content starts at `i`, or n.
qsizetype rawTextEnd(const char *s, qsizetype n, qsizetype i, std::string_view name);

// The start of the "</script" that ends a script's text starting at `i`, or n. Follows the tokenizer's
// escaped and double-escaped states: inside "<!--", a "<script" hides the next "</script".
qsizetype scriptDataEnd(const char *s, qsizetype n, qsizetype i);

} // namespace markup
