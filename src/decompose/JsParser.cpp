#include "decompose/JsParser.h"

#include <QtGlobal>

#include <cstring>
#include <vector>

extern "C" const TSLanguage *tree_sitter_javascript(void);

namespace Decompose {

namespace {

struct KindName {
    const char *name;
    NodeKind kind;
};

constexpr KindName KindNames[] = {
    {"function_declaration", NodeKind::FunctionDeclaration},
    {"generator_function_declaration", NodeKind::FunctionDeclaration},
    {"function_expression", NodeKind::FunctionValue},
    {"function", NodeKind::FunctionValue},
    {"generator_function", NodeKind::FunctionValue},
    {"arrow_function", NodeKind::FunctionValue},
    {"method_definition", NodeKind::MethodDefinition},
    {"field_definition", NodeKind::FieldDefinition},
    {"variable_declarator", NodeKind::VariableDeclarator},
    {"variable_declaration", NodeKind::Declaration},
    {"lexical_declaration", NodeKind::Declaration},
    {"assignment_expression", NodeKind::Assignment},
    {"expression_statement", NodeKind::ExpressionStatement},
    {"export_statement", NodeKind::ExportStatement},
    {"parenthesized_expression", NodeKind::Parenthesized},
    {"pair", NodeKind::Pair},
    {"object", NodeKind::Object},
    {"class_body", NodeKind::ClassBody},
    {"class_declaration", NodeKind::ClassDeclaration},
    {"class", NodeKind::ClassExpression},
    {"identifier", NodeKind::Identifier},
    {"member_expression", NodeKind::MemberTarget},
    {"subscript_expression", NodeKind::MemberTarget},
    {"string", NodeKind::StringKey},
    {",", NodeKind::Comma},
    {";", NodeKind::Semicolon},
    {"call_expression", NodeKind::Call},
    {"new_expression", NodeKind::New},
    {"template_string", NodeKind::TemplateString},
    {"binary_expression", NodeKind::Binary},
    {"comment", NodeKind::Comment},
    {"import", NodeKind::ImportKeyword},
};

// Symbol -> kind, built once from the grammar's own symbol names (aliases included).
const std::vector<NodeKind> &kindTable() {
    static const std::vector<NodeKind> table = [] {
        const TSLanguage *language = tree_sitter_javascript();
        const std::uint32_t count = ts_language_symbol_count(language);
        std::vector<NodeKind> kinds(count, NodeKind::Other);
        for (std::uint32_t symbol = 0; symbol < count; ++symbol) {
            const char *name = ts_language_symbol_name(language, TSSymbol(symbol));
            if (!name)
                continue;
            for (const KindName &k : KindNames) {
                if (std::strcmp(name, k.name) == 0) {
                    kinds[symbol] = k.kind;
                    break;
                }
            }
        }
        return kinds;
    }();
    return table;
}

} // namespace

NodeKind kindOf(TSNode node) {
    const std::vector<NodeKind> &table = kindTable();
    const TSSymbol symbol = ts_node_symbol(node);
    return symbol < table.size() ? table[symbol] : NodeKind::Other;
}

JsParser::JsParser() : m_parser(ts_parser_new()) {
    const TSLanguage *language = tree_sitter_javascript();
    // Only a grammar built for another runtime fails here, and nothing could be parsed at all.
    if (!ts_parser_set_language(m_parser, language)) {
        qFatal("tree-sitter-javascript has language ABI %u; this tree-sitter reads %d to %d",
               ts_language_version(language), TREE_SITTER_MIN_COMPATIBLE_LANGUAGE_VERSION,
               TREE_SITTER_LANGUAGE_VERSION);
    }
    kindTable();
}

JsParser::~JsParser() { ts_parser_delete(m_parser); }

Tree JsParser::parse(QStringView text) {
    const auto *bytes = reinterpret_cast<const char *>(text.utf16());
    return Tree(ts_parser_parse_string_encoding(m_parser, nullptr, bytes, std::uint32_t(text.size() * 2),
                                                TSInputEncodingUTF16));
}

} // namespace Decompose
