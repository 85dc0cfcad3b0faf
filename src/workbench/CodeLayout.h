#pragma once
// The layout behind "规范化", for one script: every statement, opening brace, closing brace and block
// comment ends its own line, a closing brace is followed by an empty line, runs of blanks shrink to one
// and no blank stands before "(" — wherever that keeps what the script means. Strings, template literals,
// regular expressions and comments are copied as they are; a line break the script needs (no semicolon,
// return/break/continue/throw/yield/async, postfix ++/--, "=>", a line comment's end) stays, written as
// CR LF. A script it cannot read is left exactly as it is; from a "/" it cannot place, the rest is.

#include <cstdint>
#include <string>

struct CodeLayoutOptions {
    // Two spaces per level of code brackets at the start of each line the layout writes.
    bool indent = false;
};

// Appends the laid-out form of in[0, n) to `out`.
void LayOutCode(const char16_t *in, std::int64_t n, const CodeLayoutOptions &options, std::u16string &out);
// The same on UTF-8 bytes; bytes of other characters pass through untouched.
void LayOutCode(const char *in, std::int64_t n, const CodeLayoutOptions &options, std::string &out);
