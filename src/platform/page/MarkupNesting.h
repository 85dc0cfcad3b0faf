#pragma once
// gumbo checks "is there a <p> in scope", "which <li> is open" and the list of open formatting elements
// by walking its whole stack, and it frees its tree recursively: a page of a few megabytes of nested
// elements takes minutes and can overflow the stack. Browsers cap the depth of the tree instead.
//
// boundMarkupNesting() does the same before gumbo sees the page: one linear pass follows the page with
// a light model of the open elements (tokenizer states, implied end tags, scope boundaries, foreign
// content), and every ordinary start tag that would open an element deeper than `maxDepth` (or a
// formatting element beyond `maxFormatting` open ones) is blanked, together with its end tag. Blanking
// writes spaces over the whole tag, so the page keeps its length and no attribute value turns into
// markup. Script, template, noscript, foreign-content and raw-text elements are never blanked, and text
// inside raw-text elements is never touched: the script elements and their texts stay as they are.
// Real pages stay far below the limits and pass through unchanged.

#include <QByteArray>

#include <vector>

struct NestingLimits {
    int maxDepth = 512;
    int maxFormatting = 8;
};

// Blanks the tags beyond the limits in `html` (UTF-8) in place; returns how many tags it blanked.
// With `cuts`, also lists places where the page can be cut and the parts parsed one after the other (as
// body fragments after the first) with the same script elements: the start of a tag, outside raw text,
// with no template, noscript, select, table or foreign content open. At most one place is listed per
// `cutSpacing` bytes.
int boundMarkupNesting(QByteArray &html, NestingLimits limits = {}, std::vector<qsizetype> *cuts = nullptr,
                       qsizetype cutSpacing = 0);
