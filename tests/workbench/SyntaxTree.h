#pragma once
// tree-sitter's reading of a script, positions aside: the judge of whether a layout kept what the script
// means. Every node's kind in document order, the text of every leaf, then the comments in order.

#include <QString>

struct SyntaxTree {
    bool accepted = false; // no ERROR or missing node anywhere
    QString shape;
};

SyntaxTree SyntaxTreeOf(const QString &script);
