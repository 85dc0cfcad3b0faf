// EndpointScanner: an address as written, from the nodes it is built of, and the address literals.

#include "decompose/EndpointScanner.h"

#include <algorithm>
#include <functional>

namespace Decompose {

namespace {

bool isPlus(TSNode binary) {
    const TSNode op = fieldOf(binary, "operator");
    return !isNull(op) && std::strcmp(ts_node_type(op), "+") == 0;
}

TSNode unparenthesised(TSNode node) {
    while (!isNull(node) && kindOf(node) == NodeKind::Parenthesized && ts_node_named_child_count(node) == 1)
        node = ts_node_named_child(node, 0);
    return node;
}

} // namespace

QString EndpointScanner::stringValue(TSNode string) const {
    const QStringView raw = textOf(string);
    return raw.size() >= 2 ? decodeJsString(raw.mid(1, raw.size() - 2)) : QString();
}

bool EndpointScanner::isTextual(TSNode node) const {
    const NodeKind k = kindOf(node);
    return k == NodeKind::StringKey || k == NodeKind::TemplateString || isConcatenation(node);
}

// a + b + … with a string or template among its operands (so not a sum of numbers).
bool EndpointScanner::isConcatenation(TSNode node) const {
    node = unparenthesised(node);
    while (!isNull(node) && kindOf(node) == NodeKind::Binary && isPlus(node)) {
        const TSNode right = unparenthesised(fieldOf(node, "right"));
        const NodeKind rk = kindOf(right);
        if (rk == NodeKind::StringKey || rk == NodeKind::TemplateString)
            return true;
        node = unparenthesised(fieldOf(node, "left"));
        const NodeKind lk = kindOf(node);
        if (lk == NodeKind::StringKey || lk == NodeKind::TemplateString)
            return true;
    }
    return false;
}

void EndpointScanner::consume(TSNode node) {
    m_consumed.push_back(startOf(node));
    std::push_heap(m_consumed.begin(), m_consumed.end(), std::greater<>());
}

// Whether `node` already went into a finding. The walk meets nodes in the order of their starts and only
// nodes at or after the one visited are consumed, so what lies before can go.
bool EndpointScanner::consumed(TSNode node) {
    const qsizetype at = startOf(node);
    while (!m_consumed.empty() && m_consumed.front() <= at) {
        const qsizetype first = m_consumed.front();
        std::pop_heap(m_consumed.begin(), m_consumed.end(), std::greater<>());
        m_consumed.pop_back();
        if (first == at)
            return true;
    }
    return false;
}

void EndpointScanner::appendTemplate(TSNode node, QList<AddressPiece> &out) {
    consume(node);
    const uint32_t n = ts_node_child_count(node);
    qsizetype literalFrom = startOf(node) + 1; // after the backtick
    for (uint32_t i = 0; i < n; ++i) {
        const TSNode child = ts_node_child(node, i);
        if (std::strcmp(ts_node_type(child), "template_substitution") != 0)
            continue;
        const qsizetype at = startOf(child);
        if (at > literalFrom)
            out.push_back({decodeJsString(m_text.mid(literalFrom, at - literalFrom)), false});
        // ${ expression }
        const QStringView inner = textOf(child);
        out.push_back({placeholderOf(inner.mid(2, std::max<qsizetype>(0, inner.size() - 3))), true});
        literalFrom = endOf(child);
    }
    const qsizetype end = endOf(node) - 1; // before the closing backtick
    if (end > literalFrom)
        out.push_back({decodeJsString(m_text.mid(literalFrom, end - literalFrom)), false});
}

void EndpointScanner::appendPieces(TSNode node, QList<AddressPiece> &out) {
    const TSNode inner = unparenthesised(node);
    switch (kindOf(inner)) {
    case NodeKind::StringKey:
        consume(inner);
        out.push_back({stringValue(inner), false});
        return;
    case NodeKind::TemplateString:
        appendTemplate(inner, out);
        return;
    default:
        break;
    }
    if (!isConcatenation(inner)) {
        out.push_back({placeholderOf(textOf(node)), true});
        return;
    }
    // The operands of a left-leaning chain, gathered without recursing down its spine (minified code
    // builds strings of thousands of pieces).
    std::vector<TSNode> operands;
    TSNode at = inner;
    while (kindOf(at) == NodeKind::Binary && isPlus(at)) {
        operands.push_back(fieldOf(at, "right"));
        at = unparenthesised(fieldOf(at, "left"));
    }
    operands.push_back(at);
    for (auto it = operands.rbegin(); it != operands.rend(); ++it)
        appendPieces(*it, out);
}

// A string or template, with the concatenation it is the first text of, when that reads as an address.
void EndpointScanner::onLiteral(const std::vector<Frame> &path) {
    const TSNode node = path.back().node;
    if (consumed(node) || !textOf(node).contains(u'/'))
        return;
    // The whole concatenation: its other strings come later in the walk and are consumed here.
    qsizetype top = qsizetype(path.size()) - 1;
    for (qsizetype i = top - 1; i >= 0; --i) {
        const TSNode up = path[size_t(i)].node;
        const NodeKind k = kindOf(up);
        if (k == NodeKind::Binary && isPlus(up))
            top = i;
        else if (k != NodeKind::Parenthesized)
            break;
    }
    QList<AddressPiece> pieces;
    appendPieces(path[size_t(top)].node, pieces);
    if (isAddressLiteral(pieces))
        record(EndpointKind::Literal, pieces, path[size_t(top)].node, QString());
}

} // namespace Decompose
