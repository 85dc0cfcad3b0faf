#pragma once
// What the walks over a block's syntax tree share: the path from the root and small node helpers.

#include "decompose/JsParser.h"

#include <cstring>

namespace Decompose {

// A node on the way down from the root, with the sibling visited just before it (null when first).
struct Frame {
    TSNode node;
    TSNode previous;
};

inline bool isNull(TSNode node) { return ts_node_is_null(node); }
inline bool sameNode(TSNode a, TSNode b) { return !isNull(a) && !isNull(b) && ts_node_eq(a, b); }
inline TSNode fieldOf(TSNode node, const char *field) {
    return ts_node_child_by_field_name(node, field, uint32_t(std::strlen(field)));
}

} // namespace Decompose
