// Kept apart from TextPane.cpp so that a program using panes without files links no text codec.
#include "platform/text/TextCodec.h"
#include "platform/ui/TextPane.h"

QString TextPane::loadFile(const QString &path) {
    const TextCodec::FileText file = TextCodec::readFile(path);
    if (!file.ok)
        return file.error.isEmpty() ? QStringLiteral("无法读取文件：") + path : file.error;
    setText(file.text);
    return QString();
}

QString TextPane::saveFile(const QString &path, const QByteArray &encoding) {
    return TextCodec::writeFile(path, text(), encoding);
}
