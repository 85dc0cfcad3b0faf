#pragma once
// The function array of an analysis window: the combined text as collected, the changes made to it through
// the function list (each a list of edits: replace a function's text, drop a definition), and the text,
// blocks and functions those changes give. Every change can be undone, one step at a time.
//
// After a change only the blocks it touched are parsed again; the functions of the others move with the
// text. A change that adds syntax errors to a block is refused and changes nothing.

#include "decompose/Functions.h"

#include <QList>
#include <QString>

namespace Decompose {

struct Edit {
    Range range; // in the text before the change
    QString replacement;
};

class FunctionArray {
public:
    enum class Outcome { Changed, Unchanged, AddsSyntaxErrors, NoSuchFunction };

    // A freshly loaded text; earlier changes are forgotten with the text they referred to.
    void reset(const QString &text, const QList<Block> &blocks, const QList<Function> &functions);
    void clear() { reset({}, {}, {}); }

    const QString &text() const { return m_text; }
    const QList<Block> &blocks() const { return m_blocks; }
    const QList<Function> &functions() const { return m_functions; }
    QString functionText(int index) const;

    // 修改: the function's text becomes `replacement`.
    Outcome replaceText(int index, const QString &replacement);
    // 删除: the function's definition goes (with the rest of its line when nothing else is on it).
    Outcome drop(int index);
    // 合并相同: of the functions named like `index` (letter case ignored), the last in text order stays and
    // the definitions of the others go. Definitions holding the kept one stay, too.
    Outcome mergeSame(int index);

    // Where `range` of the current text lies in the text as loaded; a part an edit made maps to the text
    // that edit replaced.
    Range rangeInLoadedText(Range range) const;

    bool canUndo() const { return !m_history.isEmpty(); }
    bool undo();
    int changeCount() const { return int(m_history.size()); }

    // The edits of one change applied to `text`: sorted, not overlapping, each inside one block.
    static QString applied(const QString &text, const QList<Edit> &edits);
    // The range a drop removes: the definition, widened to its whole line(s) when only blanks share them,
    // never past the block.
    static Range dropRange(QStringView text, const Range &definition, const Range &block);

private:
    struct Step {
        QList<Edit> inverse;
        QList<Block> blocks;
        QList<Function> functions;
    };
    Outcome apply(QList<Edit> edits);

    QString m_text;
    QList<Block> m_blocks;
    QList<Function> m_functions;
    QList<Step> m_history;
};

} // namespace Decompose
