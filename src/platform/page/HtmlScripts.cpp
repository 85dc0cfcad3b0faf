// parseHtmlDocument: the script elements of an HTML page, as a browser lists them in document.scripts.

#include "platform/page/MarkupNesting.h"
#include "platform/page/PageEngine.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Each pass re-parses the page; a pass is needed only when a <noscript> was read differently than a
// browser with scripting reads it, which real pages almost never nest more than a few deep.
constexpr int kMaxPasses = 16;

class Parse {
public:
    Parse(const QByteArray &buffer, bool bodyFragment) : m_options(kGumboDefaultOptions) {
        m_options.max_errors = 0; // errors are not needed; recording them costs memory on broken pages
        if (bodyFragment) {
            m_options.fragment_context = GUMBO_TAG_BODY;
            m_options.fragment_namespace = GUMBO_NAMESPACE_HTML;
        }
        m_output = gumbo_parse_with_options(&m_options, buffer.constData(), size_t(buffer.size()));
    }
    ~Parse() {
        if (m_output)
            gumbo_destroy_output(&m_options, m_output);
    }
    Parse(const Parse &) = delete;
    Parse &operator=(const Parse &) = delete;
    GumboNode *document() const { return m_output ? m_output->document : nullptr; }

private:
    GumboOptions m_options;
    GumboOutput *m_output = nullptr;
};

const GumboVector *childrenOf(const GumboNode *node) {
    if (node->type == GUMBO_NODE_DOCUMENT)
        return &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE)
        return &node->v.element.children;
    return nullptr;
}

// Visits the tree in document order without recursion (pages can nest very deep). `visit` returns
// false to skip the children of a node.
template <typename Visit> void walk(GumboNode *root, Visit visit) {
    std::vector<GumboNode *> stack;
    if (root)
        stack.push_back(root);
    while (!stack.empty()) {
        GumboNode *node = stack.back();
        stack.pop_back();
        if (!visit(node))
            continue;
        if (const GumboVector *children = childrenOf(node))
            for (unsigned int i = children->length; i > 0; --i)
                stack.push_back(static_cast<GumboNode *>(children->data[i - 1]));
    }
}

bool isHtmlElement(const GumboNode *node, GumboTag tag) {
    return (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) &&
           node->v.element.tag == tag && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

bool isRawTextEndDelimiter(char c) {
    return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ' || c == '/' || c == '>';
}

// Where the raw text of a <noscript> starting at `from` ends: the first "</noscript" followed by a
// space, "/" or ">" (letter case ignored), or the end of the page.
qsizetype rawTextEnd(const QByteArray &buffer, qsizetype from) {
    static const char kEnd[] = "</noscript";
    constexpr qsizetype kLen = sizeof kEnd - 1;
    const char *data = buffer.constData();
    const qsizetype n = buffer.size();
    for (qsizetype i = from; i < n;) {
        const void *hit = std::memchr(data + i, '<', size_t(n - i));
        if (!hit)
            break;
        i = static_cast<const char *>(hit) - data;
        if (i + kLen < n && qstrnicmp(data + i, kEnd, kLen) == 0 && isRawTextEndDelimiter(data[i + kLen]))
            return i;
        ++i;
    }
    return n;
}

// A browser with scripting reads <noscript> content as raw text; gumbo parses it as markup (scripting
// off). Blanking every "<" of that raw text (same length, so source offsets stay valid) and parsing
// again gives the tree a browser builds, at least as far as script elements go. Returns true when the
// page must be parsed again for its script elements.
bool neutraliseNoscripts(QByteArray &buffer, GumboNode *document, qsizetype &settled) {
    std::vector<GumboNode *> noscripts;
    walk(document, [&](GumboNode *node) {
        if (isHtmlElement(node, GUMBO_TAG_NOSCRIPT) && node->v.element.original_tag.length > 0)
            noscripts.push_back(node);
        return true; // template contents too: their noscripts are raw text as well
    });
    const char *base = buffer.constData();
    auto offsetOf = [&](const GumboNode *node) {
        return qsizetype(node->v.element.original_tag.data - base);
    };
    std::sort(noscripts.begin(), noscripts.end(),
              [&](const GumboNode *a, const GumboNode *b) { return offsetOf(a) < offsetOf(b); });

    bool reparse = false;
    qsizetype regionEnd = settled;
    for (const GumboNode *node : noscripts) {
        const qsizetype start = offsetOf(node);
        if (start < regionEnd)
            continue; // inside the raw text of an earlier noscript, or already settled
        const qsizetype contentStart = start + qsizetype(node->v.element.original_tag.length);
        const qsizetype end = rawTextEnd(buffer, contentStart);
        regionEnd = end;
        char *data = buffer.data(); // not shared, so no detach: the tree's pointers stay valid
        bool hadMarkup = false;
        bool hadScriptTag = false;
        for (qsizetype i = contentStart; i < end; ++i) {
            if (data[i] != '<')
                continue;
            hadMarkup = true;
            if (!hadScriptTag && i + 7 <= end && qstrnicmp(data + i + 1, "script", 6) == 0)
                hadScriptTag = true;
            data[i] = ' ';
        }
        if (!hadMarkup)
            continue;
        // When gumbo closed this noscript at the same end tag, both readings agree on what follows, so
        // the later noscripts of this parse are valid, and a content without a script tag changed no
        // script element: this parse still lists the right ones. Otherwise only a new parse can tell.
        const GumboStringPiece &endTag = node->v.element.original_end_tag;
        if (endTag.length == 0 || qsizetype(endTag.data - base) != end) {
            settled = end;
            return true;
        }
        if (hadScriptTag)
            reparse = true;
    }
    settled = regionEnd;
    return reparse;
}

QString textOf(const GumboNode *script) {
    QByteArray text;
    const GumboVector &children = script->v.element.children;
    for (unsigned int i = 0; i < children.length; ++i) {
        const auto *child = static_cast<const GumboNode *>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE ||
            child->type == GUMBO_NODE_CDATA)
            text += child->v.text.text;
    }
    return QString::fromUtf8(text);
}

QList<ScriptElement> scriptsOf(GumboNode *document) {
    QList<ScriptElement> scripts;
    walk(document, [&](GumboNode *node) {
        if (node->type == GUMBO_NODE_TEMPLATE)
            return false; // template contents are not part of the document
        if (!isHtmlElement(node, GUMBO_TAG_SCRIPT))
            return true;
        ScriptElement element;
        if (const GumboAttribute *src = gumbo_get_attribute(&node->v.element.attributes, "src"))
            element.src = QString::fromUtf8(src->value);
        element.defer = gumbo_get_attribute(&node->v.element.attributes, "defer") != nullptr;
        element.text = textOf(node);
        scripts.append(std::move(element));
        return false;
    });
    return scripts;
}

// The scripts of one part of a page: the whole page, or (bodyFragment) a part cut from a larger one.
QList<ScriptElement> scriptsOfPart(QByteArray buffer, bool bodyFragment) {
    buffer.detach();
    qsizetype settled = 0;
    for (int pass = 1;; ++pass) {
        Parse parse(buffer, bodyFragment);
        if (pass < kMaxPasses && neutraliseNoscripts(buffer, parse.document(), settled))
            continue;
        return scriptsOf(parse.document());
    }
}

// gumbo's tree takes a few hundred bytes per element: a page of a million inline scripts would need
// gigabytes at once. Larger pages are parsed in parts cut where nothing open can change what a part's
// scripts are (see boundMarkupNesting), so only one part's tree exists at a time. A frameset page (whose
// later scripts a browser ignores) is never cut.
constexpr qsizetype kCutPagesOver = 8 << 20;

bool holdsFrameset(const QByteArray &buffer) {
    for (qsizetype i = buffer.indexOf('<'); i >= 0; i = buffer.indexOf('<', i + 1))
        if (i + 9 <= buffer.size() && qstrnicmp(buffer.constData() + i + 1, "frameset", 8) == 0)
            return true;
    return false;
}
constexpr qsizetype kPartBytes = 1 << 20;

} // namespace

PageDocument parseHtmlDocument(const QString &html, const QString &url) {
    PageDocument document;
    document.url = url;
    QByteArray buffer = html.toUtf8();
    std::vector<qsizetype> cuts;
    const bool cut = buffer.size() > kCutPagesOver && !holdsFrameset(buffer);
    boundMarkupNesting(buffer, {}, cut ? &cuts : nullptr, kPartBytes);
    cuts.push_back(buffer.size());
    qsizetype from = 0;
    for (const qsizetype to : cuts) {
        document.scripts +=
            scriptsOfPart(from == 0 && to == buffer.size() ? buffer : buffer.mid(from, to - from), from > 0);
        from = to;
    }
    return document;
}
