#include "analysis/SourceDocument.h"

#include "analysis/ScriptCollection.h"

void SourceDocument::beginLoad(SourceKind newKind, const QString &newPath, const QString &newName) {
    // Copied first: the arguments may be this document's own fields.
    SourceDocument fresh;
    fresh.kind = newKind;
    fresh.path = newPath;
    fresh.name = newName;
    *this = std::move(fresh);
    if (kind == SourceKind::ScriptFile) {
        ScriptElement element;
        element.src = path;
        saveHeader = planScript(0, element, pageAddressOf(QStringLiteral("about:blank"))).header;
    }
}

void SourceDocument::collected(const QList<ScriptBlock> &blocks, const TextCodec::Encoding &firstEncoding) {
    collectedBlocks = blocks;
    wholeFile = false;
    encoding.reset();
    // Only a script file is ever written back, and its one script is its own text.
    if (kind == SourceKind::ScriptFile && !blocks.isEmpty() && !firstEncoding.name.isEmpty())
        encoding = firstEncoding;
}

void SourceDocument::reloaded(const std::optional<TextCodec::Encoding> &readAs) {
    saveHeader.clear(); // the pane holds the file alone, or nothing
    if (!readAs)
        return;
    encoding = *readAs;
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
