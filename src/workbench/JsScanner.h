#pragma once
// A JavaScript scanner just good enough to lay code out without changing what it means: it finds
// strings, template literals (with their ${} substitutions), comments, regular expressions, names,
// numbers and punctuators, and the blanks between them. It tells a regular expression from a division
// by the token before the "/"; where that token does not settle it, it says so (Unsure) instead of
// guessing. Works on UTF-16 code units and on UTF-8 bytes alike.

#include <cstdint>
#include <vector>

namespace JsScan {

enum class Kind : std::uint8_t {
    End,          // no more input
    Blank,        // blanks and line breaks (see Token::lineBreak)
    LineComment,  // "//", "<!--", "-->" where no operand precedes it, or "#!" at the very start; without its
                  // line break
    BlockComment, // "/* ... */"
    String,
    Template, // the whole literal, substitutions included
    Regex,
    Number,
    Name, // identifiers, keywords, private names
    Punct,
    Unsure, // a "/" whose meaning the token before it does not settle
    Error,  // an unterminated string, comment, template or regular expression
};

struct Token {
    Kind kind = Kind::End;
    std::int64_t start = 0;
    std::int64_t end = 0;
    bool lineBreak = false;  // Blank: holds a line break; BlockComment: spans lines
    bool otherBlank = false; // Blank: holds a blank other than SP, TAB, VT, FF and the line breaks
};

// What a "/" after the previous token is.
enum class Slash : std::uint8_t { Regex, Divide, Unsure };

// Keywords and names the layout and the slash rule care about.
enum class Word : std::uint8_t {
    Other,
    Restricted,  // return break continue throw yield async: no line break may follow
    Condition,   // if while for with: their ")" may be followed by a regular expression
    Leading,     // keywords after which a line break never ends a statement, and "/" starts a regex
    LeadingNoRe, // the same, but a "/" after them is unsure (class, function, extends...)
    Debugger,
    Class,
    In,         // in, instanceof: operators
    Contextual, // of let await get set static: a "/" after them is unsure
    Value,      // this super null true false: a "/" after them divides
};

template <typename Char> Word wordOf(const Char *s, std::int64_t len);

// Scans one token at a time. The caller tells where the last line break was not followed by code
// (for "-->") and what a "/" means here.
template <typename Char> class Scanner {
public:
    Scanner(const Char *text, std::int64_t size) : in(text), n(size) {}
    Token next(std::int64_t at, Slash slash, bool atLineStart, int depth = 0) const;
    const Char *data() const { return in; }
    std::int64_t size() const { return n; }

    // 0 = ASCII; otherwise the length of a non-ASCII blank (1) or line break (2) at `at`, as its kind.
    enum NonAscii { NameChar, OtherBlank, LineBreak };
    NonAscii nonAscii(std::int64_t at, int &len) const;

private:
    Token scanBlank(std::int64_t at) const;
    Token scanQuoted(std::int64_t at) const;
    Token scanTemplate(std::int64_t at, int depth) const;
    std::int64_t scanSubstitution(std::int64_t at, int depth, Kind &failure) const;
    Token scanRegex(std::int64_t at) const;
    Token scanBlockComment(std::int64_t at) const;
    std::int64_t lineEnd(std::int64_t at) const;
    std::int64_t nameEnd(std::int64_t at) const;
    std::int64_t numberEnd(std::int64_t at) const;
    int punctLength(std::int64_t at) const;

    const Char *in;
    std::int64_t n;
};

// Follows the tokens of one stretch of code and says what a "/" after the last one means. Parentheses
// remember whether they hold an if/while/for/with condition.
class SlashTracker {
public:
    template <typename Char> void see(const Token &t, const Char *in);
    Slash slash() const { return m_slash; }
    // The last ")" closed a condition.
    bool closedCondition() const { return m_closedCondition; }

private:
    Slash m_slash = Slash::Regex;
    bool m_afterCondition = false; // the last token was if/while/for/with
    bool m_closedCondition = false;
    bool m_afterDot = false;
    std::vector<bool> m_parens;
};

} // namespace JsScan

#include "workbench/JsScannerImpl.h"
