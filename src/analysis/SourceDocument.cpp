#include "analysis/SourceDocument.h"

void SourceDocument::beginLoad(short newKind, const QString &newPath) {
    *this = SourceDocument();
    kind = newKind;
    path = newPath;
}

void SourceDocument::collected(const QList<ScriptBlock> &blocks, const QList<TextCodec::Encoding> &encodings) {
    collectedBlocks = blocks;
    wholeFile = false;
    encoding.reset();
    // Only a script file is ever written back, and its one script is its own text.
    if (kind == 1 && !blocks.isEmpty() && !encodings.isEmpty() && !encodings.first().name.isEmpty())
        encoding = encodings.first();
}

void SourceDocument::reloaded(const TextCodec::Encoding &readAs) {
    encoding = readAs;
    wholeFile = true;
}

QList<ScriptBlock> SourceDocument::blocksOf(QStringView text) const {
    if (!wholeFile)
        return findScriptBlocks(text);
    ScriptBlock whole;
    whole.kind = ScriptClass::Local;
    whole.address = path;
    whole.bodyEnd = text.size();
    return {whole};
}
