#include "platform/page/MarkupNesting.h"

#include "platform/page/MarkupScan.h"
#include "platform/page/MarkupTags.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using namespace markup;
using std::string_view;

enum class Ns : unsigned char { Html, Svg, Math };

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
