#include "analysis/SourceDocument.h"

void SourceDocument::beginLoad(short newKind, const QString &newPath) {
    *this = SourceDocument();
    kind = newKind;
    path = newPath;
}

void SourceDocument::collected(const QList<ScriptBlock> &blocks, const TextCodec::Encoding &firstEncoding) {
    collectedBlocks = blocks;
    wholeFile = false;
    encoding.reset();
    // Only a script file is ever written back, and its one script is its own text.
    if (kind == 1 && !blocks.isEmpty() && !firstEncoding.name.isEmpty())
        encoding = firstEncoding;
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
