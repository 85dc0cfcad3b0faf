#include "workbench/Normaliser.h"

#include "workbench/CodeLayout.h"

#include <string>

namespace {

template <typename Char, typename Result>
Result normaliseBlocks(const Char *in, qsizetype n, const QList<CodeRange> &blocks,
                       const NormaliseOptions &options, QList<CodeRange> *moved) {
    std::basic_string<Char> out;
    out.reserve(std::size_t(n) + std::size_t(n) / 4 + 16);
    const CodeLayoutOptions layout{options.indent};
    if (moved)
        moved->clear();
    qsizetype at = 0;
    for (const CodeRange &block : blocks) {
        const qsizetype start = qBound(at, block.start, n);
        const qsizetype end = qBound(start, block.end, n);
        out.append(in + at, std::size_t(start - at));
        const qsizetype newStart = qsizetype(out.size());
        LayOutCode(in + start, end - start, layout, out);
        if (moved)
            moved->append({newStart, qsizetype(out.size())});
        at = end;
    }
    out.append(in + at, std::size_t(n - at));
    return Result(reinterpret_cast<const typename Result::value_type *>(out.data()), qsizetype(out.size()));
}

} // namespace

QString NormaliseCodeText(const QString &text) {
    return NormaliseCodeText(text, NormaliseOptions());
}

QString NormaliseCodeText(const QString &text, const NormaliseOptions &options) {
    return NormaliseCodeBlocks(text, {{0, text.size()}}, options);
}

QByteArray NormaliseCodeUtf8(QByteArrayView text, const NormaliseOptions &options) {
    return NormaliseCodeBlocksUtf8(text, {{0, text.size()}}, options);
}

QString NormaliseCodeBlocks(const QString &text, const QList<CodeRange> &blocks,
                            const NormaliseOptions &options, QList<CodeRange> *moved) {
    const auto *in = reinterpret_cast<const char16_t *>(text.constData());
    return normaliseBlocks<char16_t, QString>(in, text.size(), blocks, options, moved);
}

QByteArray NormaliseCodeBlocksUtf8(QByteArrayView text, const QList<CodeRange> &blocks,
                                   const NormaliseOptions &options, QList<CodeRange> *moved) {
    return normaliseBlocks<char, QByteArray>(text.data(), text.size(), blocks, options, moved);
}
