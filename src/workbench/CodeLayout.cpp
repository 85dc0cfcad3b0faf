#include "workbench/CodeLayout.h"

#include "workbench/JsScanner.h"

#include <vector>

using namespace JsScan;

namespace {

// What the last code token says about a line break after it.
enum class After : std::uint8_t {
    Nothing,    // the start of the script
    Continues,  // an operator or a keyword that needs more: a break after it never ends a statement
    Restricted, // return, break, continue, throw, yield, async, ++, --, =>: a break after it matters
    Debugger,   // ends a statement, and "+", "(" or "[" after it start a new one
    Ends,       // a name, a literal, ")" or "]": a break after it may end the statement
};

enum Bracket : std::uint8_t { Paren, HeadParen, Square, Brace, ClassBody };

// Deeper nesting than this is indented as this.
constexpr int kMaxIndentLevel = 32;

template <typename Char> class Layout {
public:
    Layout(const Char *text, std::int64_t size, const CodeLayoutOptions &options,
           std::basic_string<Char> &out)
        : scan(text, size), in(text), n(size), indent(options.indent), out(out) {}

    // False when the script cannot be read; `out` then holds an unfinished text.
    bool run();

private:
    bool isPunct(const Token &t, char a) const {
        return t.kind == Kind::Punct && t.end - t.start == 1 && uc(in[t.start]) == unsigned(a);
    }
    bool isPunct2(const Token &t, char a, char b) const {
        return t.kind == Kind::Punct && t.end - t.start == 2 && uc(in[t.start]) == unsigned(a) &&
               uc(in[t.start + 1]) == unsigned(b);
    }
    bool isCloser(const Token &t) const { return isPunct(t, ')') || isPunct(t, ']') || isPunct(t, '}'); }
    bool inClassBody() const { return !brackets.empty() && brackets.back() == ClassBody; }

    void put(Char c) { out.push_back(c); }
    void lineBreak() {
        out.push_back(Char('\r'));
        out.push_back(Char('\n'));
        afterBreak = true;
        needIndent = indent;
    }
    void copy(std::int64_t from, std::int64_t to) { out.append(in + from, std::size_t(to - from)); }
    void copyOtherBlanks(const Token &blank);
    bool breakNeeded(const Token &y) const;
    bool fromFollows(std::int64_t at) const;
    // if, while, for, with, var, const, switch, try, catch, finally, else, do, case
    bool isStatementWord(const Token &y, Word w) const {
        const std::int64_t len = y.end - y.start;
        const unsigned a = uc(in[y.start]);
        if (w == Word::Condition)
            return true;
        if (w == Word::LeadingNoRe)
            return !(a == 'f' && len == 8); // not "function"
        return w == Word::Leading &&
               ((a == 'e' && len == 4) || (a == 'd' && len == 2) || (a == 'c' && len == 4));
    }
    bool joinsBrace() const;
    void settle(const Token &y);
    void write(const Token &y);
    void noteName(const Token &y);
    void notePunct(const Token &y);

    Scanner<Char> scan;
    const Char *in;
    std::int64_t n;
    bool indent;
    std::basic_string<Char> &out;

    SlashTracker slash;
    std::vector<Bracket> brackets;
    After after = After::Nothing;
    bool afterBreak = false; // the text written so far ends with a line break of its own
    bool needIndent = false;
    bool commentPending = false; // a block comment was written; its line break waits for what follows
    bool blankPending = false;
    Token blank;           // the blanks before the next token, while blankPending
    bool lineStart = true; // for "-->": nothing but blanks and block comments since a line break
    bool afterDot = false;
    bool operandDue = false;   // the last token was an operator that wants an operand next
    bool headWord = false;     // the last token was if/while/for/with/switch/catch
    int function = 0;          // 1 after "function" (and "*"), 2 after its name
    bool closedHead = false;   // the last token was the ")" of a head: if (...), function f(...)
    std::int64_t classAt = -1; // the bracket depth at which "class" waits for its body
};

template <typename Char> void Layout<Char>::copyOtherBlanks(const Token &b) {
    for (std::int64_t i = b.start; i < b.end;) {
        int len = 1;
        if (uc(in[i]) >= 128 && scan.nonAscii(i, len) == Scanner<Char>::OtherBlank)
            copy(i, i + len);
        i += len;
    }
}

// "export { a } from": tree-sitter reads a "from" on a line of its own as a new statement.
template <typename Char> bool Layout<Char>::fromFollows(std::int64_t at) const {
    Token t = scan.next(at, Slash::Divide, false);
    if (t.kind == Kind::Blank)
        t = scan.next(t.end, Slash::Divide, false);
    return t.kind == Kind::Name && t.end - t.start == 4 && uc(in[t.start]) == 'f' &&
           uc(in[t.start + 1]) == 'r' && uc(in[t.start + 2]) == 'o' && uc(in[t.start + 3]) == 'm';
}

// "{" after a line break continues the statement: after the ")" of if/while/for/with/switch/catch or of
// a function's parameters, and before a class body.
template <typename Char> bool Layout<Char>::joinsBrace() const {
    return closedHead || classAt == std::int64_t(brackets.size());
}

// May the line break between the last code token and `y` not go?
template <typename Char> bool Layout<Char>::breakNeeded(const Token &y) const {
    switch (y.kind) {
    case Kind::LineComment:
    case Kind::BlockComment:
        return true;
    case Kind::End:
        return false; // the end of a script ends its statement anyway
    default:
        break;
    }
    if (after == After::Nothing)
        return false;
    if (after == After::Restricted || after == After::Debugger)
        return true;
    if (after == After::Continues)
        return false;
    if (inClassBody()) // class members need no semicolon between them: only the plainest joins are sure
        return !(isPunct(y, ';') || isPunct(y, '}') || isPunct(y, '=') || isPunct(y, '('));
    if (y.kind == Kind::Name) {
        const Word w = wordOf(in + y.start, y.end - y.start);
        return w != Word::In;
    }
    if (y.kind != Kind::Punct)
        return true;
    // Tokens that cannot begin a statement continue the one before the break.
    if (isPunct(y, '!') || isPunct(y, '~') || isPunct(y, '@') || isPunct2(y, '+', '+') ||
        isPunct2(y, '-', '-') || isPunct2(y, '=', '>'))
        return true;
    if (isPunct(y, '{'))
        return !joinsBrace();
    return false;
}

// Decides the blanks and the comment break waiting before `y`.
template <typename Char> void Layout<Char>::settle(const Token &y) {
    if (commentPending) {
        commentPending = false;
        const bool restrictedNext =
            isPunct2(y, '+', '+') || isPunct2(y, '-', '-') || isPunct2(y, '=', '>') || y.kind == Kind::Unsure;
        if (after != After::Restricted && !restrictedNext)
            lineBreak();
    }
    if (!blankPending)
        return;
    blankPending = false;
    if (!afterBreak) {
        if (blank.lineBreak && breakNeeded(y))
            lineBreak();
        else if (!blank.otherBlank &&
                 !(isPunct(y, ';') || isPunct(y, '{') || isPunct(y, '}') || isPunct(y, '(')))
            put(Char(' '));
    }
    if (blank.otherBlank)
        copyOtherBlanks(blank);
}

template <typename Char> void Layout<Char>::write(const Token &y) {
    if (needIndent && y.kind != Kind::End) {
        needIndent = false;
        int level = int(brackets.size()) - (isCloser(y) ? 1 : 0);
        level = level < 0 ? 0 : (level > kMaxIndentLevel ? kMaxIndentLevel : level);
        out.append(std::size_t(2 * level), Char(' '));
    }
    afterBreak = false;
    copy(y.start, y.end);
}

template <typename Char> void Layout<Char>::noteName(const Token &y) {
    const std::int64_t len = y.end - y.start;
    const Word w = afterDot ? Word::Other : wordOf(in + y.start, len);
    const bool isFunction = !afterDot && len == 8 && w == Word::LeadingNoRe && uc(in[y.start]) == 'f';
    headWord =
        w == Word::Condition ||
        (!afterDot && w == Word::LeadingNoRe &&
         (uc(in[y.start]) == 's' || (uc(in[y.start]) == 'c' && uc(in[y.start + 1]) == 'a'))); // switch, catch
    function = isFunction ? 1 : (function == 1 ? 2 : 0);
    if (w == Word::Class)
        classAt = std::int64_t(brackets.size());
    switch (w) {
    case Word::Restricted:
        after = After::Restricted;
        break;
    case Word::Debugger:
        after = After::Debugger;
        break;
    case Word::Condition:
    case Word::Leading:
    case Word::LeadingNoRe:
    case Word::Class:
    case Word::In:
        // A statement keyword where an operand is due is not one (tree-sitter reads it as a name there).
        after = inClassBody() || (operandDue && isStatementWord(y, w)) ? After::Ends : After::Continues;
        break;
    default:
        after = After::Ends;
        break;
    }
    afterDot = false;
    operandDue = after == After::Continues && !isStatementWord(y, w);
}

template <typename Char> void Layout<Char>::notePunct(const Token &y) {
    const unsigned a = uc(in[y.start]);
    const bool single = y.end - y.start == 1;
    const bool wasHead = headWord;
    const int wasFunction = function;
    headWord = false;
    closedHead = false;
    afterDot = (single && a == '.') || isPunct2(y, '?', '.');
    function = (single && a == '*' && function == 1) ? 1 : 0;
    after = After::Continues;
    operandDue = !(single && (a == ';' || a == '{' || a == '}' || a == ':' || a == ')' || a == ']'));
    if (single && (a == '(' || a == '[' || a == '{')) {
        if (a == '(')
            brackets.push_back(wasHead || wasFunction > 0 ? HeadParen : Paren);
        else if (a == '[')
            brackets.push_back(Square);
        else {
            brackets.push_back(classAt == std::int64_t(brackets.size()) ? ClassBody : Brace);
            if (brackets.back() == ClassBody)
                classAt = -1;
        }
    } else if (single && (a == ')' || a == ']' || a == '}')) {
        const Bracket closed = brackets.empty() ? Paren : brackets.back();
        if (!brackets.empty())
            brackets.pop_back();
        closedHead = a == ')' && closed == HeadParen;
        after = closedHead ? After::Continues : After::Ends;
    } else if (isPunct2(y, '+', '+') || isPunct2(y, '-', '-') || isPunct2(y, '=', '>')) {
        after = After::Restricted;
    } else if (single && a == '@') {
        after = After::Ends;
    }
    if (classAt > std::int64_t(brackets.size()) ||
        (single && a == ';' && classAt == std::int64_t(brackets.size())))
        classAt = -1;
}

template <typename Char> bool Layout<Char>::run() {
    std::int64_t i = 0;
    for (;;) {
        const Token y = scan.next(i, slash.slash(), lineStart);
        switch (y.kind) {
        case Kind::Error:
            return false;
        case Kind::Blank:
            lineStart = lineStart || y.lineBreak;
            if (blankPending) { // a blank split by nothing: cannot happen, but keep both
                blank.end = y.end;
                blank.lineBreak = blank.lineBreak || y.lineBreak;
                blank.otherBlank = blank.otherBlank || y.otherBlank;
            } else {
                blank = y;
                blankPending = true;
            }
            i = y.end;
            continue;
        case Kind::Unsure:
            // The rest stays as it is, from this token on.
            settle(y);
            write(Token{Kind::Unsure, y.start, n});
            return true;
        case Kind::End:
            settle(y);
            return true;
        default:
            break;
        }
        settle(y);
        write(y);
        if (y.kind == Kind::BlockComment) {
            commentPending = true;
            lineStart = lineStart || y.lineBreak;
        } else {
            lineStart = false;
        }
        if (y.kind == Kind::LineComment) {
            lineBreak();
            lineStart = true;
        } else if (y.kind == Kind::Name) {
            noteName(y);
        } else if (y.kind == Kind::Punct) {
            notePunct(y);
            if (isPunct(y, ';') || isPunct(y, '{')) {
                lineBreak();
            } else if (isPunct(y, '}') && !fromFollows(y.end)) {
                lineBreak();
                out.push_back(Char('\r'));
                out.push_back(Char('\n'));
            }
        } else if (y.kind != Kind::BlockComment) {
            after = After::Ends;
            operandDue = false;
            headWord = false;
            closedHead = false;
            afterDot = false;
            function = 0;
        }
        slash.see(y, in);
        i = y.end;
    }
}

template <typename Char>
void layOut(const Char *in, std::int64_t n, const CodeLayoutOptions &options, std::basic_string<Char> &out) {
    const std::size_t mark = out.size();
    out.reserve(mark + std::size_t(n) + std::size_t(n) / 4 + 16);
    Layout<Char> layout(in, n, options, out);
    if (!layout.run()) {
        out.resize(mark);
        out.append(in, std::size_t(n));
    }
}

} // namespace

void LayOutCode(const char16_t *in, std::int64_t n, const CodeLayoutOptions &options, std::u16string &out) {
    layOut(in, n, options, out);
}

void LayOutCode(const char *in, std::int64_t n, const CodeLayoutOptions &options, std::string &out) {
    layOut(in, n, options, out);
}
