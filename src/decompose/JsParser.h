#pragma once
// A tree-sitter parser for JavaScript, reading QString text as UTF-16 so node offsets map straight back to
// QString positions (byte offset / 2). One parser per thread; a tree outlives nothing it came from.

#include <QStringView>

#include <tree_sitter/api.h>

#include <cstdint>
#include <memory>

namespace Decompose {

// The node kinds the decomposition looks at (functions and addresses); every other kind is Other.
enum class NodeKind : std::uint8_t {
    Other,
    FunctionDeclaration, // function f() {} and function* f() {}
    FunctionValue,       // function () {}, function* () {}, () => {}
    MethodDefinition,
    FieldDefinition,
    VariableDeclarator,
    Declaration, // var / let / const statements
    Assignment,
    ExpressionStatement,
    ExportStatement,
    Parenthesized,
    Pair,
    Object,
    ClassBody,
    ClassDeclaration,
    ClassExpression,
    Identifier,
    MemberTarget, // a.b, a[b]
    StringKey,
    Comma,
    Semicolon,
    // Only the address finder looks at these.
    Call,           // f(x), import(x)
    New,            // new F(x)
    TemplateString, // `a${b}`
    Binary,         // a + b, a * b, ...
    Comment,
    ImportKeyword, // the callee of import(x)
};

NodeKind kindOf(TSNode node);

struct TreeDeleter {
    void operator()(TSTree *tree) const { ts_tree_delete(tree); }
};
using Tree = std::unique_ptr<TSTree, TreeDeleter>;

class JsParser {
public:
    JsParser();
    ~JsParser();
    JsParser(const JsParser &) = delete;
    JsParser &operator=(const JsParser &) = delete;

    // Never fails on bad syntax: what the grammar recovers is in the tree, with ERROR and missing nodes.
    Tree parse(QStringView text);

private:
    TSParser *m_parser;
};

// Offsets of a node in the parsed text, in UTF-16 code units.
inline qsizetype startOf(TSNode node) { return qsizetype(ts_node_start_byte(node) / 2); }
inline qsizetype endOf(TSNode node) { return qsizetype(ts_node_end_byte(node) / 2); }

} // namespace Decompose
