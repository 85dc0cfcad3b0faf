#include "platform/page/MarkupTags.h"

#include <algorithm>
#include <array>

namespace markup {

using std::string_view;

namespace {

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

} // namespace

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

} // namespace markup
