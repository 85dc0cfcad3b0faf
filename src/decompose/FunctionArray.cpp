#include "decompose/FunctionArray.h"

#include <algorithm>

namespace Decompose {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

int newlines(QStringView s) { return int(s.count(QLatin1Char('\n'))); }

} // namespace

void FunctionArray::reset(const QString &text, const QList<Block> &blocks, const QList<Function> &functions) {
    m_text = text;
    m_blocks = blocks;
    m_functions = functions;
    m_history.clear();
}

QString FunctionArray::functionText(int index) const {
    if (index < 0 || index >= m_functions.size())
        return {};
    const Range r = m_functions.at(index).text;
    return m_text.mid(r.start, r.length());
}

QString FunctionArray::applied(const QString &text, const QList<Edit> &edits) {
    QString out;
    qsizetype size = text.size();
    for (const Edit &e : edits)
        size += e.replacement.size() - e.range.length();
    out.reserve(size);
    qsizetype at = 0;
    for (const Edit &e : edits) {
        out += QStringView(text).mid(at, e.range.start - at);
        out += e.replacement;
        at = e.range.end;
    }
    out += QStringView(text).mid(at);
    return out;
}

Range FunctionArray::dropRange(QStringView text, const Range &definition, const Range &block) {
    qsizetype start = definition.start;
    while (start > block.start && isBlank(text[start - 1]))
        --start;
    const bool lineStart = start == block.start || text[start - 1] == QLatin1Char('\n');
    qsizetype end = definition.end;
    while (end < block.end && isBlank(text[end]))
        ++end;
    if (!lineStart)
        return definition;
    if (end < block.end && text[end] == QLatin1Char('\r') && end + 1 < block.end && text[end + 1] == QLatin1Char('\n'))
        return {start, end + 2};
    if (end < block.end && text[end] == QLatin1Char('\n'))
        return {start, end + 1};
    if (end == block.end)
        return {start, end};
    return definition;
}

FunctionArray::Outcome FunctionArray::replaceText(int index, const QString &replacement) {
    if (index < 0 || index >= m_functions.size())
        return Outcome::NoSuchFunction;
    const Range r = m_functions.at(index).text;
    if (QStringView(m_text).mid(r.start, r.length()) == replacement)
        return Outcome::Unchanged;
    return apply({Edit{r, replacement}});
}

FunctionArray::Outcome FunctionArray::drop(int index) {
    if (index < 0 || index >= m_functions.size())
        return Outcome::NoSuchFunction;
    const Function &f = m_functions.at(index);
    Range block;
    for (const Block &b : m_blocks) {
        if (b.body.contains(f.definition))
            block = b.body;
    }
    if (!f.dropReplacement.isEmpty())
        return apply({Edit{f.definition, f.dropReplacement}});
    return apply({Edit{dropRange(m_text, f.definition, block), QString()}});
}

FunctionArray::Outcome FunctionArray::mergeSame(int index) {
    if (index < 0 || index >= m_functions.size())
        return Outcome::NoSuchFunction;
    const QString name = m_functions.at(index).name.toLower();
    int kept = -1;
    for (int i = 0; i < m_functions.size(); ++i) {
        if (m_functions.at(i).name.toLower() == name)
            kept = i; // the list is in text order: the last one wins
    }
    const Range keep = m_functions.at(kept).definition;
    QList<Edit> edits;
    for (int i = 0; i < kept; ++i) {
        const Function &f = m_functions.at(i);
        const bool overlapsKept = f.definition.end > keep.start && f.definition.start < keep.end;
        if (f.name.toLower() != name || overlapsKept)
            continue;
        Range block;
        for (const Block &b : m_blocks) {
            if (b.body.contains(f.definition))
                block = b.body;
        }
        const Range r = f.dropReplacement.isEmpty() ? dropRange(m_text, f.definition, block) : f.definition;
        // One that lies inside an earlier dropped definition goes with it.
        if (!edits.isEmpty() && edits.last().range.end > r.start)
            continue;
        edits.push_back(Edit{r, f.dropReplacement});
    }
    if (edits.isEmpty())
        return Outcome::Unchanged;
    return apply(edits);
}

FunctionArray::Outcome FunctionArray::apply(QList<Edit> edits) {
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.range.start < b.range.start; });
    const QString text = applied(m_text, edits);

    // Blocks and functions after the change; `delta` and `lineDelta` are what the edits so far added.
    QList<Block> blocks;
    QList<Function> functions;
    QList<Edit> inverse;
    qsizetype delta = 0;
    int lineDelta = 0;
    qsizetype e = 0;
    qsizetype fi = 0;
    qsizetype linesCountedTo = 0; // '\n' of the new text counted up to here
    int lineThere = 1;
    for (const Block &old : m_blocks) {
        // Functions of earlier blocks are all placed; those between blocks do not exist.
        Block b = old;
        b.body.start += delta;
        bool touched = false;
        while (e < edits.size() && edits.at(e).range.start < old.body.end) {
            const Edit &ed = edits.at(e);
            if (ed.range.start < old.body.start)
                return Outcome::NoSuchFunction; // an edit across blocks: not one this array makes
            const qsizetype at = ed.range.start + delta;
            inverse.push_back(Edit{Range{at, at + ed.replacement.size()}, m_text.mid(ed.range.start, ed.range.length())});
            delta += ed.replacement.size() - ed.range.length();
            lineDelta += newlines(ed.replacement) - newlines(QStringView(m_text).mid(ed.range.start, ed.range.length()));
            touched = true;
            ++e;
        }
        b.body.end += delta;
        blocks.push_back(b);
        if (touched) {
            const BlockFunctions before = functionsOfBlock(m_text, old, 1);
            lineThere += newlines(QStringView(text).mid(linesCountedTo, b.body.start - linesCountedTo));
            linesCountedTo = b.body.start;
            BlockFunctions after = functionsOfBlock(text, b, lineThere);
            if (after.syntaxErrors > before.syntaxErrors)
                return Outcome::AddsSyntaxErrors;
            while (fi < m_functions.size() && m_functions.at(fi).text.start < old.body.end)
                ++fi;
            functions += after.functions;
        } else {
            const qsizetype shift = b.body.start - old.body.start;
            const int lineShift = lineDelta; // no edit inside this block
            while (fi < m_functions.size() && m_functions.at(fi).text.start < old.body.end) {
                Function f = m_functions.at(fi++);
                f.text.start += shift;
                f.text.end += shift;
                f.definition.start += shift;
                f.definition.end += shift;
                f.line += lineShift;
                functions.push_back(std::move(f));
            }
        }
    }
    if (e < edits.size())
        return Outcome::NoSuchFunction;
    m_history.push_back(Step{inverse, m_blocks, m_functions});
    m_text = text;
    m_blocks = std::move(blocks);
    m_functions = std::move(functions);
    return Outcome::Changed;
}

Range FunctionArray::rangeInLoadedText(Range range) const {
    // The inverse edits of a step are ranges of the text after it, holding the text they replaced.
    auto before = [](const QList<Edit> &inverse, qsizetype pos, bool isEnd) {
        qsizetype shift = 0;
        for (const Edit &e : inverse) {
            if (e.range.end <= pos)
                shift += e.replacement.size() - e.range.length();
            else if (e.range.start < pos)
                return e.range.start + shift + (isEnd ? e.replacement.size() : 0);
            else
                break;
        }
        return pos + shift;
    };
    for (qsizetype s = m_history.size() - 1; s >= 0; --s) {
        const QList<Edit> &inverse = m_history.at(s).inverse;
        range = Range{before(inverse, range.start, false), before(inverse, range.end, true)};
    }
    return range;
}

bool FunctionArray::undo() {
    if (m_history.isEmpty())
        return false;
    Step step = m_history.takeLast();
    m_text = applied(m_text, step.inverse);
    m_blocks = std::move(step.blocks);
    m_functions = std::move(step.functions);
    return true;
}

} // namespace Decompose
