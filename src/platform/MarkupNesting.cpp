#include "platform/MarkupNesting.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using std::string_view;

enum class Ns : unsigned char { Html, Svg, Math };

// Properties of a tag name, looked up once per distinct name.
enum Flag : unsigned {
    Special = 1u << 0,        // "any other end tag" stops at these
    ScopeBoundary = 1u << 1,  // bounds "has an element in scope"
    ButtonBoundary = 1u << 2, // bounds "in button scope" (scope boundaries included)
    TableBoundary = 1u << 3,  // bounds "in table scope"
    Void = 1u << 4,
    Formatting = 1u << 5,
    Marker = 1u << 6,       // opens a new level of the list of active formatting elements
    ClosesP = 1u << 7,      // start tag closes an open <p> in button scope
    Keep = 1u << 8,         // never blanked on its own (see Container)
    RawText = 1u << 9,      // content up to the matching end tag is text (in HTML content)
    Breakout = 1u << 10,    // start tag leaves foreign content
    Integration = 1u << 11, // svg foreignObject/desc/title, math mi/mo/mn/ms/mtext: HTML inside
    // A kept element that holds elements: too deep, it is blanked with all it holds, so that what it
    // says about its content (template contents, foreign content) cannot change by halves.
    Container = 1u << 12
};

constexpr std::array kSpecial{
    "address",    "applet",   "area",   "article", "aside",     "base",     "basefont", "bgsound",
    "blockquote", "body",     "br",     "button",  "caption",   "center",   "col",      "colgroup",
    "dd",         "details",  "dir",    "div",     "dl",        "dt",       "embed",    "fieldset",
    "figcaption", "figure",   "footer", "form",    "frame",     "frameset", "h1",       "h2",
    "h3",         "h4",       "h5",     "h6",      "head",      "header",   "hgroup",   "hr",
    "html",       "iframe",   "img",    "input",   "keygen",    "li",       "link",     "listing",
    "main",       "marquee",  "menu",   "meta",    "nav",       "noembed",  "noframes", "noscript",
    "object",     "ol",       "p",      "param",   "plaintext", "pre",      "script",   "search",
    "section",    "select",   "source", "style",   "summary",   "table",    "tbody",    "td",
    "template",   "textarea", "tfoot",  "th",      "thead",     "title",    "tr",       "track",
    "ul",         "wbr",      "xmp"};
constexpr std::array kScope{"applet", "caption", "html",   "table",   "td",
                            "th",     "marquee", "object", "template"};
constexpr std::array kVoid{"area",  "base",  "basefont", "bgsound", "br",    "col",    "embed",
                           "frame", "hr",    "image",    "img",     "input", "keygen", "link",
                           "meta",  "param", "source",   "track",   "wbr"};
constexpr std::array kFormatting{"a",    "b", "big",   "code",   "em",     "font", "i",
                                 "nobr", "s", "small", "strike", "strong", "tt",   "u"};
constexpr std::array kClosesP{
    "address", "article",   "aside",      "blockquote", "center",  "details", "dialog", "dir",  "div",
    "dl",      "fieldset",  "figcaption", "figure",     "footer",  "header",  "hgroup", "main", "menu",
    "nav",     "ol",        "p",          "search",     "section", "summary", "ul",     "h1",   "h2",
    "h3",      "h4",        "h5",         "h6",         "pre",     "listing", "form",   "li",   "dd",
    "dt",      "plaintext", "table",      "hr",         "xmp"};
constexpr std::array kKeep{"script",    "template",      "svg",           "math",   "noscript", "style",
                           "textarea",  "title",         "xmp",           "iframe", "noembed",  "noframes",
                           "plaintext", "select",        "frameset",      "frame",  "html",     "head",
                           "body",      "foreignobject", "desc",          "mi",     "mo",       "mn",
                           "ms",        "mtext",         "annotation-xml"};
constexpr std::array kRawText{"style", "xmp", "iframe", "noembed", "noframes", "textarea", "title"};
constexpr std::array kBreakout{
    "b",     "big",   "blockquote", "body",   "br",   "center", "code",  "dd", "div",  "dl",   "dt",
    "em",    "embed", "h1",         "h2",     "h3",   "h4",     "h5",    "h6", "head", "hr",   "i",
    "img",   "li",    "listing",    "menu",   "meta", "nobr",   "ol",    "p",  "pre",  "ruby", "s",
    "small", "span",  "strong",     "strike", "sub",  "sup",    "table", "tt", "u",    "ul",   "var"};

template <std::size_t N> bool among(const std::array<const char *, N> &list, string_view name) {
    return std::any_of(list.begin(), list.end(), [&](const char *s) { return name == s; });
}

unsigned flagsOf(string_view name) {
    unsigned f = 0;
    if (among(kSpecial, name))
        f |= Special;
    if (among(kScope, name))
        f |= ScopeBoundary | ButtonBoundary;
    if (name == "button")
        f |= ButtonBoundary;
    if (name == "html" || name == "table" || name == "template")
        f |= TableBoundary;
    if (among(kVoid, name))
        f |= Void;
    if (among(kFormatting, name))
        f |= Formatting;
    if (name == "applet" || name == "object" || name == "marquee" || name == "template" || name == "td" ||
        name == "th" || name == "caption")
        f |= Marker;
    if (among(kClosesP, name))
        f |= ClosesP;
    if (among(kKeep, name))
        f |= Keep;
    if ((f & Keep) && !among(kRawText, name) && name != "script" && name != "plaintext" && name != "html" &&
        name != "head" && name != "body" && name != "frameset" && name != "frame")
        f |= Container;
    if (among(kRawText, name))
        f |= RawText;
    if (among(kBreakout, name))
        f |= Breakout;
    if (name == "foreignobject" || name == "desc" || name == "title" || name == "mi" || name == "mo" ||
        name == "mn" || name == "ms" || name == "mtext")
        f |= Integration;
    return f;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

struct Tag {
    std::string name;  // lower-cased
    qsizetype end = 0; // just after '>'
    bool selfClosing = false;
    bool hasColorFaceOrSize = false; // <font> with one of these leaves foreign content
};

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

// The start of the "</name" that ends a raw-text element whose content starts at `i`, or n.
qsizetype rawTextEnd(const char *s, qsizetype n, qsizetype i, string_view name) {
    for (i = indexOf(s, n, i, '<'); i < n; i = indexOf(s, n, i + 1, '<'))
        if (endTagAt(s, n, i, name))
            return i;
    return n;
}

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

class Model {
public:
    Model(QByteArray &html, NestingLimits limits, std::vector<qsizetype> *cuts, qsizetype cutSpacing)
        : m_html(html), m_limits(limits), m_cuts(cuts), m_cutSpacing(qMax<qsizetype>(cutSpacing, 1)) {
        m_formatting.push_back(0);
    }

    int run() {
        char *s = m_html.data();
        const qsizetype n = m_html.size();
        Tag tag;
        for (qsizetype i = indexOf(s, n, 0, '<'); i < n; i = indexOf(s, n, i, '<')) {
            const qsizetype lt = i;
            const char next = lt + 1 < n ? s[lt + 1] : '\0';
            if (next == '!') {
                if (lt + 3 < n && s[lt + 2] == '-' && s[lt + 3] == '-')
                    i = commentEnd(s, n, lt);
                else if (foreign() && m_html.mid(lt, 9) == "<![CDATA[")
                    i = endOf(m_html.indexOf("]]>", lt + 9), 3, n);
                else
                    i = endOf(indexOf(s, n, lt + 2, '>'), 1, n);
            } else if (next == '?') {
                i = endOf(indexOf(s, n, lt + 2, '>'), 1, n);
            } else if (next == '/') {
                if (lt + 2 < n && isAlpha(s[lt + 2])) {
                    if (!readTag(s, n, lt + 2, tag))
                        break;
                    i = tag.end;
                    m_at = tag.end;
                    endTag(tag, lt);
                } else {
                    i = endOf(indexOf(s, n, lt + 2, '>'), 1, n);
                }
            } else if (isAlpha(next)) {
                if (!readTag(s, n, lt + 1, tag))
                    break;
                noteCut(lt);
                m_at = lt;
                i = startTag(tag, lt, tag.end);
            } else {
                i = lt + 1;
            }
        }
        m_at = n;
        popTo(0);
        return m_blanked;
    }

private:
    struct Entry {
        int id;
        Ns ns;
        bool blanked;
        qsizetype region; // a blanked container: where its start tag begins; otherwise -1
    };

    static qsizetype endOf(qsizetype hit, qsizetype len, qsizetype n) {
        return hit < 0 || hit >= n ? n : hit + len;
    }

    int idOf(const std::string &name) {
        auto it = m_ids.find(name);
        if (it != m_ids.end())
            return it->second;
        const int id = int(m_names.size());
        m_ids.emplace(name, id);
        m_names.push_back(name);
        m_flags.push_back(flagsOf(name));
        m_open.emplace_back();
        return id;
    }
    unsigned flags(int id) const { return m_flags[size_t(id)]; }
    const std::string &name(int id) const { return m_names[size_t(id)]; }

    // Index of the topmost open element named `id`, or -1.
    int top(int id) const { return m_open[size_t(id)].empty() ? -1 : m_open[size_t(id)].back(); }
    int top(const char *nm) { return top(idOf(nm)); }
    // Index of the topmost open element carrying `flag`, or -1 (a foreign element never does, except
    // the integration points, which bound every scope).
    int topWith(unsigned flag) const {
        const auto &v = m_withFlag[flagSlot(flag)];
        return v.empty() ? -1 : v.back();
    }
    static size_t flagSlot(unsigned flag) {
        switch (flag) {
        case Special:
            return 0;
        case ScopeBoundary:
            return 1;
        case ButtonBoundary:
            return 2;
        default:
            return 3; // TableBoundary
        }
    }

    void push(int id, Ns ns, bool blanked, qsizetype region = -1) {
        const int index = int(m_stack.size());
        m_stack.push_back({id, ns, blanked, region});
        if (ns != Ns::Html || isContext(name(id)))
            ++m_contexts;
        if (region >= 0)
            ++m_openRegions;
        m_open[size_t(id)].push_back(index);
        const unsigned f = flags(id);
        const bool html = ns == Ns::Html;
        const bool integration = !html && (f & Integration);
        for (unsigned flag : {Special, ScopeBoundary, ButtonBoundary, TableBoundary})
            if ((html && (f & flag)) || (integration && flag != TableBoundary))
                m_withFlag[flagSlot(flag)].push_back(index);
        if (html && (f & Marker))
            m_formatting.push_back(0);
        if (html && (f & Formatting) && !blanked)
            ++m_formatting.back();
    }

    // Closes the elements at `index` and above; a blanked container is blanked up to m_at.
    void popTo(int index) {
        while (int(m_stack.size()) > index && index >= 0) {
            const Entry e = m_stack.back();
            if (e.region >= 0)
                blankRegion(e.region);
            m_stack.pop_back();
            m_open[size_t(e.id)].pop_back();
            if (e.ns != Ns::Html || isContext(name(e.id)))
                --m_contexts;
            const int gone = int(m_stack.size());
            for (auto &v : m_withFlag)
                if (!v.empty() && v.back() == gone)
                    v.pop_back();
            if (e.ns == Ns::Html && (flags(e.id) & Marker) && m_formatting.size() > 1)
                m_formatting.pop_back();
        }
    }

    const Entry *current() const { return m_stack.empty() ? nullptr : &m_stack.back(); }

    // Elements that change which script elements their content holds, or how it is parsed.
    static bool isContext(const std::string &nm) {
        return nm == "template" || nm == "noscript" || nm == "select" || nm == "table" || nm == "tbody" ||
               nm == "thead" || nm == "tfoot" || nm == "tr" || nm == "td" || nm == "th" || nm == "caption" ||
               nm == "colgroup" || nm == "svg" || nm == "math";
    }
    void noteCut(qsizetype at) {
        if (!m_cuts || m_contexts > 0)
            return;
        const qsizetype last = m_cuts->empty() ? 0 : m_cuts->back();
        if (at - last >= m_cutSpacing)
            m_cuts->push_back(at);
    }
    bool foreign() const {
        const Entry *c = current();
        return c && c->ns != Ns::Html && !(flags(c->id) & Integration);
    }

    // Regions never nest (a container inside a blanked one is not a region of its own), so each byte is
    // blanked at most once.
    void blankRegion(qsizetype from) {
        blank(from, m_at);
        --m_openRegions;
    }

    void blank(qsizetype from, qsizetype to) {
        std::memset(m_html.data() + from, ' ', size_t(to - from));
        ++m_blanked;
    }

    // Closes the topmost of the open elements named in `names` (and everything above it), when no element
    // with `bound` and none named in `containers` lies above it.
    void closeWithin(std::initializer_list<const char *> names, unsigned bound,
                     std::initializer_list<const char *> containers = {}) {
        int at = -1;
        for (const char *nm : names)
            at = std::max(at, top(nm));
        int limit = topWith(bound);
        for (const char *nm : containers)
            limit = std::max(limit, top(nm));
        if (at >= 0 && at >= limit)
            popTo(at);
    }

    // The implied end tags a start tag brings in HTML content.
    void impliedEnds(const std::string &nm, unsigned f) {
        if (f & ClosesP)
            closeWithin({"p"}, ButtonBoundary);
        if (nm == "li") {
            closeWithin({"li"}, ScopeBoundary, {"ul", "ol"});
        } else if (nm == "dd" || nm == "dt") {
            closeWithin({"dd", "dt"}, ScopeBoundary, {"dl"});
        } else if (nm == "option" || nm == "optgroup") {
            closeCurrent("option");
            if (nm == "optgroup")
                closeCurrent("optgroup");
        } else if (nm == "td" || nm == "th") {
            closeWithin({"td", "th"}, TableBoundary, {"tr"});
        } else if (nm == "tr") {
            closeWithin({"tr", "td", "th"}, TableBoundary, {"tbody", "thead", "tfoot"});
        } else if (nm == "tbody" || nm == "thead" || nm == "tfoot") {
            closeWithin({"tbody", "thead", "tfoot", "tr", "td", "th", "caption", "colgroup"}, TableBoundary);
        } else if (nm == "rb" || nm == "rt" || nm == "rp" || nm == "rtc") {
            closeWithin({"rb", "rt", "rp", "rtc"}, ScopeBoundary, {"ruby"});
        } else if (nm == "a" || nm == "nobr" || nm == "button" || nm == "select") {
            closeWithin({nm.c_str()}, ScopeBoundary);
        } else if (nm == "table" && current() && isTableContext(*current())) {
            closeWithin({"table"}, TableBoundary);
        } else if (isHeading(nm) && current() && isHeading(name(current()->id))) {
            popTo(int(m_stack.size()) - 1);
        }
    }
    static bool isHeading(const std::string &nm) {
        return nm.size() == 2 && nm[0] == 'h' && nm[1] >= '1' && nm[1] <= '6';
    }
    void closeCurrent(const char *nm) {
        if (current() && current()->ns == Ns::Html && name(current()->id) == nm)
            popTo(int(m_stack.size()) - 1);
    }
    bool isTableContext(const Entry &e) const {
        const std::string &nm = name(e.id);
        return e.ns == Ns::Html &&
               (nm == "table" || nm == "tbody" || nm == "thead" || nm == "tfoot" || nm == "tr");
    }

    qsizetype startTag(const Tag &tag, qsizetype lt, qsizetype end) {
        const int id = idOf(tag.name);
        unsigned f = flags(id);
        Ns ns = Ns::Html;
        if (foreign()) {
            const bool breakout = (f & Breakout) || (tag.name == "font" && tag.hasColorFaceOrSize);
            if (breakout) {
                while (foreign())
                    popTo(int(m_stack.size()) - 1);
            } else {
                ns = current()->ns;
                if (tag.name == "svg")
                    ns = Ns::Svg;
                else if (tag.name == "math")
                    ns = Ns::Math;
            }
        }
        if (ns == Ns::Html) {
            if (tag.name == "svg")
                ns = Ns::Svg;
            else if (tag.name == "math")
                ns = Ns::Math;
        }
        const bool html = ns == Ns::Html;
        if (html &&
            (tag.name == "html" || tag.name == "head" || tag.name == "body" || tag.name == "frameset"))
            return end; // merged into the page's own html/head/body
        if (html)
            impliedEnds(tag.name, f);

        const bool opens = html ? !(f & Void) : !tag.selfClosing;
        const bool deep = int(m_stack.size()) >= m_limits.maxDepth;
        const bool manyFormatting = html && (f & Formatting) && m_formatting.back() >= m_limits.maxFormatting;
        const bool keep = (f & Keep) || (!html && ((f & Breakout) || (f & Integration)));
        const bool blanked = (deep || manyFormatting) && !keep;
        if (blanked)
            blank(lt, end);
        if (opens)
            push(id, ns, blanked,
                 deep && m_openRegions == 0 && ((f & Container) || (!html && keep)) ? lt : -1);
        if (!html || blanked)
            return end;
        // Content that is text up to the element's own end tag.
        const char *s = m_html.constData();
        const qsizetype n = m_html.size();
        if (tag.name == "script")
            return scriptDataEnd(s, n, end); // "</script" follows, read as an end tag
        if (f & RawText)
            return rawTextEnd(s, n, end, tag.name);
        if (tag.name == "plaintext")
            return n;
        return end;
    }

    void endTag(const Tag &tag, qsizetype lt) {
        const auto found = m_ids.find(tag.name);
        if (found == m_ids.end())
            return; // never opened
        const int id = found->second;
        const int at = top(id);
        if (at < 0)
            return;
        if (m_stack[size_t(at)].blanked) {
            blank(lt, tag.end);
            popTo(at);
            return;
        }
        if (m_stack[size_t(at)].ns != Ns::Html) {
            // Foreign content closes its own elements up to the nearest HTML one.
            int html = -1;
            for (int k = int(m_stack.size()) - 1; k > at; --k)
                if (m_stack[size_t(k)].ns == Ns::Html) {
                    html = k;
                    break;
                }
            if (html < 0)
                popTo(at);
            return;
        }
        const unsigned f = flags(id);
        unsigned bound = ScopeBoundary;
        if (tag.name == "p")
            bound = ButtonBoundary;
        else if (tag.name == "td" || tag.name == "th" || tag.name == "tr" || tag.name == "table" ||
                 tag.name == "tbody" || tag.name == "thead" || tag.name == "tfoot")
            bound = TableBoundary;
        else if (!(f & Special) && !(f & Formatting))
            bound = Special; // "any other end tag" stops at the first special element
        if (at >= topWith(bound))
            popTo(at);
        if (f & Formatting && m_formatting.back() > 0)
            --m_formatting.back();
    }

    QByteArray &m_html;
    NestingLimits m_limits;
    std::unordered_map<std::string, int> m_ids;
    std::vector<std::string> m_names;
    std::vector<unsigned> m_flags;
    std::vector<std::vector<int>> m_open; // per name: indices in m_stack, bottom to top
    std::array<std::vector<int>, 4> m_withFlag;
    std::vector<Entry> m_stack;
    std::vector<int> m_formatting; // open formatting elements per marker level
    int m_blanked = 0;
    int m_openRegions = 0;
    int m_contexts = 0; // open elements for which isContext() holds, and foreign ones
    std::vector<qsizetype> *m_cuts;
    qsizetype m_cutSpacing;
    qsizetype m_at = 0; // where the token being handled begins (start tag) or ends (end tag)
};

} // namespace

int boundMarkupNesting(QByteArray &html, NestingLimits limits, std::vector<qsizetype> *cuts,
                       qsizetype cutSpacing) {
    html.detach();
    return Model(html, limits, cuts, cutSpacing).run();
}
