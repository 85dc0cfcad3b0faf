#pragma once
// What an analysis window knows about its source, apart from its widgets: the kind and the path or
// address it was opened with, the encoding and byte-order mark the script file was read with, and where
// the collection put each script in the combined text. Saves and reloads use it instead of guessing.
//
// Block positions are not stored offsets that edits would leave behind: they are read from the text as
// it stands. While the collection's header lines are in the text, a block starts at each header line
// (findScriptBlocks), so typing, normalising or deleting keeps them right. After "重新打开" the text is the
// file's own text, without headers: one block from start to end.

#include "analysis/ScriptBlocks.h"
#include "platform/text/TextCodec.h"

#include <QList>
#include <QString>

#include <optional>

class SourceDocument {
public:
    short kind = 0; // 处理单个文件: 1 script file, 2 page file, 3 page address
    QString path;   // 文件路径

    // The encoding of the script file as read at load or at the last reload; none for pages and for a
    // file that could not be read.
    std::optional<TextCodec::Encoding> encoding;
    // The blocks as the collection wrote them (offsets in the combined text at the end of the load).
    QList<ScriptBlock> collectedBlocks;
    // True after "重新打开": the text is the file's own, one block.
    bool wholeFile = false;

    // A new load of `kind` and `path`: everything else is forgotten.
    void beginLoad(short newKind, const QString &newPath);
    // The collection has ended: its blocks and, for a script file, the encoding its body was read with.
    void collected(const QList<ScriptBlock> &blocks, const TextCodec::Encoding &firstEncoding);
    // "重新打开" has put the file's text, read as `readAs`, into the pane.
    void reloaded(const TextCodec::Encoding &readAs);

    // The blocks of `text`, the pane's text as it stands now.
    QList<ScriptBlock> blocksOf(QStringView text) const;
};
