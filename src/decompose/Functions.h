#pragma once
// The functions of a combined script text. Each script block is parsed on its own (header lines are not
// JavaScript) and every named function in it, nested ones included, is listed in text order with its name,
// its script number, its 1-based line in the combined text, its own text and the construct defining it.
//
// Names: `function f(){}` f; `var f = function(){}` / `const f = () => {}` f; `a.b.f = function(){}` a.b.f;
// `items[i].onclick = …` items[i].onclick (the target's text without blanks); `var o = { f: function(){} }`
// and `{ f() {} }` o.f, or f when the object is bound to no name; `class A { f() {} get g() {} }` A.f, A.g.
// Anonymous functions (callbacks, IIFEs) are not listed. Syntax errors do not stop a block.

#include "decompose/Endpoint.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <atomic>

namespace Decompose {

// [start, end) in UTF-16 code units of the combined text.
struct Range {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype length() const { return end - start; }
    bool contains(const Range &other) const { return start <= other.start && other.end <= end; }
    bool operator==(const Range &) const = default;
};

// One script's body in the combined text.
struct Block {
    int number = 0;
    Range body;
};

struct Function {
    QString name;
    int script = 0; // the block's number
    int line = 0;   // 1-based line in the combined text where the function is named
    Range text;     // the function's own text
    // The construct that defines it, separators included so that dropping it leaves valid code
    // (`var a = 1, f = function(){};` drops ", f = function(){}").
    Range definition;
    // What takes the definition's place when it is dropped: empty, or "undefined" where the function
    // is a value inside a larger expression that would break without one.
    QString dropReplacement;
};

struct BlockFunctions {
    QList<Function> functions;
    QList<Endpoint> endpoints; // only when asked for; `resolved` left empty
    int syntaxErrors = 0;      // error and missing nodes the parser recovered from
};

// One block of `text`; lines count from `firstLine` at the block's start ('\n' ends a line). With
// `withEndpoints` the same parse and walk also find the addresses the block talks to.
BlockFunctions functionsOfBlock(QStringView text, const Block &block, int firstLine, bool withEndpoints = false);

// Every block, in text order. The blocks are parsed in parallel on the global thread pool; the call
// returns when all are done. `blocks` must be sorted and must not overlap. `cancel`, once set, ends the
// work between two blocks; the result is then incomplete and meant to be dropped.
QList<Function> functionsOf(const QString &text, const QList<Block> &blocks, const std::atomic_bool *cancel = nullptr);

struct Decomposition {
    QList<Function> functions;
    QList<Endpoint> endpoints; // in text order, resolved against the page
};

// functionsOf and the addresses, from one parse and one walk of each block. `page` (may be empty) is
// what relative addresses resolve against.
Decomposition decompose(const QString &text, const QList<Block> &blocks, const QUrl &page,
                        const std::atomic_bool *cancel = nullptr);

// A plain script file: its whole text is block 0.
inline QList<Block> wholeTextBlock(const QString &text) { return {Block{0, Range{0, text.size()}}}; }

// 1 + the number of '\n' before `pos`.
int lineAt(QStringView text, qsizetype pos);

} // namespace Decompose
