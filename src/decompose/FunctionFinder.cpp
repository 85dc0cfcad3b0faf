// functionsOfBlock: one walk over a block's syntax tree that names the functions as it meets them, and,
// when asked, hands every node to the address finder on the same walk.

#include "decompose/EndpointScanner.h"
#include "decompose/Functions.h"
#include "decompose/JsParser.h"
#include "decompose/TreeWalk.h"

#include <cstring>
#include <optional>
#include <vector>

namespace Decompose {

namespace {

class Finder {
public:
    Finder(QStringView block, qsizetype offset, int firstLine) : m_text(block), m_offset(offset), m_firstLine(firstLine) {}

    void walk(TSNode root);
    BlockFunctions result;
    int script = 0;
    EndpointScanner *endpoints = nullptr; // null: the functions alone

private:
    void visit();
    void addDeclaration(TSNode decl);
    void addValue(TSNode fn);
    void addMethod(TSNode method);

    void add(const QString &name, TSNode site, TSNode fn, Range definition, const QString &replacement = {});
    QString textOf(TSNode node) const;
    QString compact(TSNode node) const; // text without blanks
    QString keyName(TSNode key) const;
    Range rangeOf(TSNode node) const { return {m_offset + startOf(node), m_offset + endOf(node)}; }
    // Frame index of the nearest ancestor of path[index] that is not a parenthesis; -1 at the root.
    int bindingParent(int index) const;
    bool isField(TSNode parent, const char *field, TSNode child) const;
    QString nameBoundTo(int index) const; // the name a value at path[index] is given, or empty
    QString objectPrefix(int objectIndex) const;
    QString className(int bodyIndex) const;
    Range inList(int index) const; // path[index] with the comma that separates it from its neighbours
    Range withSemicolon(TSNode node) const;
    TSNode exported(int index) const; // the export statement around path[index], or path[index]

    QStringView m_text;
    qsizetype m_offset;
    int m_firstLine;
    std::vector<Frame> m_path;
};

// The symbol of the nodes the parser makes around text it could not fit into the grammar.
constexpr TSSymbol ErrorSymbol = TSSymbol(-1);

void Finder::walk(TSNode root) {
    TSTreeCursor cursor = ts_tree_cursor_new(root);
    m_path.push_back({root, TSNode{}});
    visit();
    for (;;) {
        if (ts_tree_cursor_goto_first_child(&cursor)) {
            m_path.push_back({ts_tree_cursor_current_node(&cursor), TSNode{}});
            visit();
            continue;
        }
        bool moved = false;
        while (!moved) {
            if (ts_tree_cursor_goto_next_sibling(&cursor)) {
                Frame &f = m_path.back();
                f.previous = f.node;
                f.node = ts_tree_cursor_current_node(&cursor);
                moved = true;
            } else if (ts_tree_cursor_goto_parent(&cursor)) {
                m_path.pop_back();
            } else {
                ts_tree_cursor_delete(&cursor);
                return;
            }
        }
        visit();
    }
}

void Finder::visit() {
    const TSNode node = m_path.back().node;
    if (ts_node_is_missing(node) || ts_node_symbol(node) == ErrorSymbol)
        ++result.syntaxErrors;
    const NodeKind kind = kindOf(node);
    switch (kind) {
    case NodeKind::FunctionDeclaration:
        addDeclaration(node);
        break;
    case NodeKind::FunctionValue:
        addValue(node);
        break;
    case NodeKind::MethodDefinition:
        addMethod(node);
        break;
    default:
        break;
    }
    if (endpoints)
        endpoints->visit(kind, m_path);
}

QString Finder::textOf(TSNode node) const {
    return m_text.mid(startOf(node), endOf(node) - startOf(node)).toString();
}

QString Finder::compact(TSNode node) const {
    QString out;
    const QStringView t = m_text.mid(startOf(node), endOf(node) - startOf(node));
    out.reserve(t.size());
    for (QChar c : t) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

QString Finder::keyName(TSNode key) const {
    if (kindOf(key) == NodeKind::StringKey) {
        const QString s = textOf(key);
        return s.size() >= 2 ? s.mid(1, s.size() - 2) : s;
    }
    return compact(key);
}

bool Finder::isField(TSNode parent, const char *field, TSNode child) const {
    return sameNode(ts_node_child_by_field_name(parent, field, uint32_t(std::strlen(field))), child);
}

int Finder::bindingParent(int index) const {
    int i = index - 1;
    while (i >= 0 && kindOf(m_path[i].node) == NodeKind::Parenthesized)
        --i;
    return i;
}

TSNode Finder::exported(int index) const {
    if (index > 0 && kindOf(m_path[index - 1].node) == NodeKind::ExportStatement)
        return m_path[index - 1].node;
    return m_path[index].node;
}

void Finder::add(const QString &name, TSNode site, TSNode fn, Range definition, const QString &replacement) {
    if (name.isEmpty())
        return;
    Function f;
    f.name = name;
    f.script = script;
    f.line = m_firstLine + int(ts_node_start_point(site).row);
    f.text = rangeOf(fn);
    f.definition = definition;
    f.dropReplacement = replacement;
    if (endpoints)
        endpoints->functionListed(name, endOf(fn));
    result.functions.push_back(std::move(f));
}

void Finder::addDeclaration(TSNode decl) {
    const TSNode name = ts_node_child_by_field_name(decl, "name", 4);
    if (isNull(name))
        return;
    add(textOf(name), decl, decl, rangeOf(exported(int(m_path.size()) - 1)));
}

// The name a value at path[index] is bound to: a declarator's name, an assignment's target, an object
// property (with the object's own name in front) or a class field.
QString Finder::nameBoundTo(int index) const {
    const int p = bindingParent(index);
    if (p < 0)
        return {};
    const TSNode parent = m_path[p].node;
    const TSNode child = m_path[p + 1].node;
    switch (kindOf(parent)) {
    case NodeKind::VariableDeclarator: {
        const TSNode name = ts_node_child_by_field_name(parent, "name", 4);
        if (!isField(parent, "value", child) || kindOf(name) != NodeKind::Identifier)
            return {};
        return textOf(name);
    }
    case NodeKind::Assignment: {
        const TSNode left = ts_node_child_by_field_name(parent, "left", 4);
        const NodeKind k = kindOf(left);
        if (!isField(parent, "right", child) || (k != NodeKind::Identifier && k != NodeKind::MemberTarget))
            return {};
        return compact(left);
    }
    case NodeKind::Pair: {
        if (!isField(parent, "value", child))
            return {};
        const QString key = keyName(ts_node_child_by_field_name(parent, "key", 3));
        const QString prefix = p > 0 ? objectPrefix(p - 1) : QString();
        return prefix.isEmpty() ? key : prefix + QLatin1Char('.') + key;
    }
    case NodeKind::FieldDefinition: {
        if (!isField(parent, "value", child))
            return {};
        const QString key = keyName(ts_node_child_by_field_name(parent, "property", 8));
        const QString cls = p > 0 ? className(p - 1) : QString();
        return cls.isEmpty() ? key : cls + QLatin1Char('.') + key;
    }
    default:
        return {};
    }
}

QString Finder::objectPrefix(int objectIndex) const {
    if (kindOf(m_path[objectIndex].node) != NodeKind::Object)
        return {};
    return nameBoundTo(objectIndex);
}

QString Finder::className(int bodyIndex) const {
    if (kindOf(m_path[bodyIndex].node) != NodeKind::ClassBody || bodyIndex == 0)
        return {};
    const TSNode cls = m_path[bodyIndex - 1].node;
    const NodeKind k = kindOf(cls);
    if (k != NodeKind::ClassDeclaration && k != NodeKind::ClassExpression)
        return {};
    const TSNode name = ts_node_child_by_field_name(cls, "name", 4);
    if (!isNull(name))
        return textOf(name);
    return k == NodeKind::ClassExpression ? nameBoundTo(bodyIndex - 1) : QString();
}

// An element of a comma-separated list (declarators, properties) with one separating comma: the one after
// it together with the blanks up to the next element, else the one before it.
Range Finder::inList(int index) const {
    const TSNode node = m_path[index].node;
    Range r = rangeOf(node);
    const TSNode next = ts_node_next_sibling(node);
    if (!isNull(next) && kindOf(next) == NodeKind::Comma) {
        const TSNode after = ts_node_next_sibling(next);
        r.end = !isNull(after) && ts_node_is_named(after) ? m_offset + startOf(after) : m_offset + endOf(next);
        return r;
    }
    const TSNode previous = m_path[index].previous;
    if (!isNull(previous) && kindOf(previous) == NodeKind::Comma)
        r.start = m_offset + startOf(previous);
    return r;
}

Range Finder::withSemicolon(TSNode node) const {
    Range r = rangeOf(node);
    const TSNode next = ts_node_next_sibling(node);
    if (!isNull(next) && kindOf(next) == NodeKind::Semicolon)
        r.end = m_offset + endOf(next);
    return r;
}

void Finder::addValue(TSNode fn) {
    const int index = int(m_path.size()) - 1;
    // A named function expression standing as a statement is what the parser recovers of a declaration
    // that lacks its closing brace (a script cut short).
    const TSNode ownName = ts_node_child_by_field_name(fn, "name", 4);
    if (!isNull(ownName) && index > 0 && kindOf(m_path[index - 1].node) == NodeKind::ExpressionStatement) {
        add(textOf(ownName), fn, fn, rangeOf(m_path[index - 1].node));
        return;
    }
    const QString name = nameBoundTo(index);
    if (name.isEmpty())
        return;
    const int p = bindingParent(index);
    const TSNode site = m_path[p].node;
    switch (kindOf(site)) {
    case NodeKind::VariableDeclarator: {
        // The whole statement when it declares nothing else.
        const TSNode statement = p > 0 ? m_path[p - 1].node : TSNode{};
        if (!isNull(statement) && kindOf(statement) == NodeKind::Declaration &&
            ts_node_named_child_count(statement) == 1)
            add(name, site, fn, rangeOf(exported(p - 1)));
        else
            add(name, site, fn, inList(p));
        break;
    }
    case NodeKind::Assignment: {
        // a = b.c = function(){}: the statement holds the whole chain.
        int s = p - 1;
        while (s >= 0 && (kindOf(m_path[s].node) == NodeKind::Assignment ||
                          kindOf(m_path[s].node) == NodeKind::Parenthesized))
            --s;
        if (s >= 0 && kindOf(m_path[s].node) == NodeKind::ExpressionStatement)
            add(name, site, fn, rangeOf(m_path[s].node));
        else // inside a larger expression: the value alone goes
            add(name, site, fn, rangeOf(fn), QStringLiteral("undefined"));
        break;
    }
    case NodeKind::Pair:
        add(name, site, fn, inList(p));
        break;
    case NodeKind::FieldDefinition:
        add(name, site, fn, withSemicolon(site));
        break;
    default:
        break;
    }
}

void Finder::addMethod(TSNode method) {
    const int index = int(m_path.size()) - 1;
    if (index == 0)
        return;
    const QString key = keyName(ts_node_child_by_field_name(method, "name", 4));
    const TSNode container = m_path[index - 1].node;
    if (kindOf(container) == NodeKind::ClassBody) {
        const QString cls = className(index - 1);
        add(cls.isEmpty() ? key : cls + QLatin1Char('.') + key, method, method, withSemicolon(method));
    } else if (kindOf(container) == NodeKind::Object) {
        const QString prefix = objectPrefix(index - 1);
        add(prefix.isEmpty() ? key : prefix + QLatin1Char('.') + key, method, method, inList(index));
    }
}

} // namespace

BlockFunctions functionsOfBlock(QStringView text, const Block &block, int firstLine, bool withEndpoints) {
    const QStringView body = text.mid(block.body.start, block.body.length());
    thread_local JsParser parser;
    const Tree tree = parser.parse(body);
    Finder finder(body, block.body.start, firstLine);
    finder.script = block.number;
    std::optional<EndpointScanner> scanner;
    if (withEndpoints) {
        scanner.emplace(body, block.body.start, firstLine, block.number);
        finder.endpoints = &*scanner;
    }
    if (tree)
        finder.walk(ts_tree_root_node(tree.get()));
    if (scanner)
        finder.result.endpoints = std::move(scanner->endpoints);
    return std::move(finder.result);
}

} // namespace Decompose
