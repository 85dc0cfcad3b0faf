#include "SyntaxTree.h"

#include "decompose/JsParser.h"

namespace {

// Comments are extras: where tree-sitter hangs one (inside a statement or after it) follows the line
// breaks around it, so they are compared as a sequence of their own.
void describe(TSNode node, const QString &text, QString &shape, QString &comments) {
    if (ts_node_is_extra(node) && ts_node_child_count(node) == 0) {
        QStringView comment = QStringView(text).mid(Decompose::startOf(node),
                                                    Decompose::endOf(node) - Decompose::startOf(node));
        // An HTML-like comment runs to the LF, so it takes in the CR of a CR LF break.
        if (comment.endsWith(u'\r'))
            comment.chop(1);
        comments += comment;
        comments += u'\x1f';
        return;
    }
    shape += QLatin1String(ts_node_type(node));
    const std::uint32_t count = ts_node_child_count(node);
    if (count == 0) {
        // A leaf's text, with its line breaks spelt alike: the layout may write LF or LS as CR LF only
        // where they are blanks, never inside a leaf, so any difference here is a real one.
        shape += u'=';
        QStringView leaf = QStringView(text).mid(Decompose::startOf(node),
                                                 Decompose::endOf(node) - Decompose::startOf(node));
        // The grammar's "#!" line runs to the LF, so it takes in the CR of a CR LF break.
        if (leaf.endsWith(u'\r') && qstrcmp(ts_node_type(node), "hash_bang_line") == 0)
            leaf.chop(1);
        shape += leaf;
        shape += u'\x1f';
        return;
    }
    shape += u'(';
    for (std::uint32_t i = 0; i < count; ++i)
        describe(ts_node_child(node, i), text, shape, comments);
    shape += u')';
}

} // namespace

SyntaxTree SyntaxTreeOf(const QString &source) {
    // A lone CR ends a line in the language, but the grammar's line and HTML-like comments run to the LF:
    // "-->x" CR "y" is one comment to it and a comment and a name to a browser. As an LF it is read alike by
    // both (the same line break to the language; positions stay). So are LS and PS, which the grammar's
    // semicolon rule does not take for line breaks ("a" LF LS "+b" is one sum, not two statements).
    // Likewise the language's other blanks (every space separator and U+FEFF): that rule does not skip
    // them either, so "a" U+200A at the end reads as unfinished.
    // The tree is described with the source's own text, so a literal holding one still compares exactly.
    QString script = source;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if ((c == u'\r' && (i + 1 == script.size() || script[i + 1] != u'\n')) || c == u'\u2028' || c == u'\u2029')
            script[i] = u'\n';
        else if (c.unicode() > 0x7f && (c.category() == QChar::Separator_Space || c == u'\ufeff'))
            script[i] = u' ';
    }
    Decompose::JsParser parser;
    const Decompose::Tree tree = parser.parse(script);
    SyntaxTree result;
    if (!tree)
        return result;
    const TSNode root = ts_tree_root_node(tree.get());
    result.accepted = !ts_node_has_error(root);
    QString comments;
    describe(root, source, result.shape, comments);
    result.shape += QStringLiteral("\ncomments:") + comments;
    return result;
}
