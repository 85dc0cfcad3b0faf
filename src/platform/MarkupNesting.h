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

struct NestingLimits {
    int maxDepth = 512;
    int maxFormatting = 8;
};

// Blanks the tags beyond the limits in `html` (UTF-8) in place; returns how many tags it blanked.
int boundMarkupNesting(QByteArray &html, NestingLimits limits = {});
