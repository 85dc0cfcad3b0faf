#include "SyntaxTree.h"

#include "decompose/JsParser.h"

namespace {

void describe(TSNode node, const QString &text, QString &shape) {
    shape += QLatin1String(ts_node_type(node));
    const std::uint32_t count = ts_node_child_count(node);
    if (count == 0) {
        // A leaf's text, with its line breaks spelt alike: the layout may write LF or LS as CR LF only
        // where they are blanks, never inside a leaf, so any difference here is a real one.
        shape += u'=';
        shape += QStringView(text).mid(Decompose::startOf(node), Decompose::endOf(node) - Decompose::startOf(node));
        shape += u'\x1f';
        return;
    }
    shape += u'(';
    for (std::uint32_t i = 0; i < count; ++i)
        describe(ts_node_child(node, i), text, shape);
    shape += u')';
}

} // namespace

SyntaxTree SyntaxTreeOf(const QString &script) {
    Decompose::JsParser parser;
    const Decompose::Tree tree = parser.parse(script);
    SyntaxTree result;
    if (!tree)
        return result;
    const TSNode root = ts_tree_root_node(tree.get());
    result.accepted = !ts_node_has_error(root);
    describe(root, script, result.shape);
    return result;
}
