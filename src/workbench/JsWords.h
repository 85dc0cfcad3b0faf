#pragma once
// The keywords the scanner and the layout care about, and what a "/" means after each token (included
// from JsScannerImpl.h only).

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace JsScan {

// A code unit as an unsigned number, also where char is signed.
template <typename Char> inline unsigned uc(Char c) {
    return unsigned(static_cast<std::make_unsigned_t<Char>>(c));
}

namespace detail {

template <typename Char> bool equals(const Char *s, std::int64_t len, const char *word) {
    const std::int64_t wl = std::int64_t(std::strlen(word));
    if (wl != len)
        return false;
    for (std::int64_t i = 0; i < len; ++i)
        if (uc(s[i]) != unsigned(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

} // namespace detail

template <typename Char> Word wordOf(const Char *s, std::int64_t len) {
    using detail::equals;
    if (len < 2 || len > 10 || uc(s[0]) < 'a' || uc(s[0]) > 'z')
        return Word::Other;
    static const struct {
        const char *word;
        Word kind;
    } words[] = {
        {"return", Word::Restricted}, {"break", Word::Restricted},    {"continue", Word::Restricted},
        {"throw", Word::Restricted},  {"yield", Word::Restricted},    {"async", Word::Restricted},
        {"if", Word::Condition},      {"while", Word::Condition},     {"for", Word::Condition},
        {"with", Word::Condition},    {"var", Word::LeadingNoRe},     {"const", Word::LeadingNoRe},
        {"new", Word::Leading},       {"delete", Word::Leading},      {"void", Word::Leading},
        {"typeof", Word::Leading},    {"case", Word::Leading},        {"else", Word::Leading},
        {"do", Word::Leading},        {"switch", Word::LeadingNoRe},  {"try", Word::LeadingNoRe},
        {"catch", Word::LeadingNoRe}, {"finally", Word::LeadingNoRe}, {"function", Word::LeadingNoRe},
        {"extends", Word::Leading},   {"class", Word::Class},         {"in", Word::In},
        {"instanceof", Word::In},     {"debugger", Word::Debugger},   {"of", Word::Contextual},
        {"let", Word::Contextual},    {"await", Word::Contextual},    {"get", Word::Contextual},
        {"set", Word::Contextual},    {"static", Word::Contextual},   {"this", Word::Value},
        {"super", Word::Value},       {"null", Word::Value},          {"true", Word::Value},
        {"false", Word::Value},
    };
    for (const auto &w : words)
        if (uc(s[0]) == unsigned(static_cast<unsigned char>(w.word[0])) && equals(s, len, w.word))
            return w.kind;
    return Word::Other;
}

template <typename Char> void SlashTracker::see(const Token &t, const Char *in) {
    switch (t.kind) {
    case Kind::Blank:
    case Kind::LineComment:
    case Kind::BlockComment:
    case Kind::End:
        return;
    case Kind::Name: {
        // after "." or "?." a keyword is a property name
        const Word w = m_afterDot ? Word::Other : wordOf(in + t.start, t.end - t.start);
        m_afterDot = false;
        m_closedCondition = false;
        m_afterCondition = w == Word::Condition;
        switch (w) {
        case Word::Condition:
        case Word::Leading:
        case Word::In:
            m_slash = Slash::Regex;
            break;
        case Word::Restricted:
            // return/throw/yield take an expression; break/continue/async are followed by a name
            m_slash = (uc(in[t.start]) == 'b' || uc(in[t.start]) == 'c' || uc(in[t.start]) == 'a')
                          ? Slash::Unsure
                          : Slash::Regex;
            break;
        case Word::LeadingNoRe:
        case Word::Class:
        case Word::Contextual:
        case Word::Debugger:
            m_slash = Slash::Unsure;
            break;
        case Word::Value:
        case Word::Other:
            m_slash = Slash::Divide;
            break;
        }
        return;
    }
    case Kind::Punct: {
        const unsigned a = uc(in[t.start]);
        const bool single = t.end - t.start == 1;
        const bool afterCondition = m_afterCondition;
        m_afterCondition = false;
        m_afterDot = (single && a == '.') || (t.end - t.start == 2 && a == '?' && uc(in[t.start + 1]) == '.');
        m_closedCondition = false;
        if (single && a == '(') {
            m_parens.push_back(afterCondition);
            m_slash = Slash::Regex;
        } else if (single && a == ')') {
            m_closedCondition = !m_parens.empty() && m_parens.back();
            if (!m_parens.empty())
                m_parens.pop_back();
            m_slash = m_closedCondition ? Slash::Regex : Slash::Divide;
        } else if (single && a == ']') {
            m_slash = Slash::Divide;
        } else if (single && a == '}') {
            m_slash = Slash::Unsure; // a block (regex next) or an expression (division)
        } else if (!single && (a == '+' || a == '-') && uc(in[t.start + 1]) == a) {
            m_slash = Slash::Unsure; // postfix or prefix
        } else {
            m_slash = Slash::Regex;
        }
        return;
    }
    default:
        m_afterCondition = false;
        m_closedCondition = false;
        m_afterDot = false;
        m_slash = Slash::Divide;
        return;
    }
}

} // namespace JsScan
