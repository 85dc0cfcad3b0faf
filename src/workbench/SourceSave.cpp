#include "workbench/SourceSave.h"

#include "platform/text/TextCodec.h"
#include "workbench/SaveEncoding.h"

QString ScriptTextForSave(const QString &paneText, const QString &header) {
    static const QString kLineBreak = QStringLiteral("\r\n");
    if (header.isEmpty())
        return paneText;
    QStringView text(paneText);
    if (text.startsWith(header))
        text = text.sliced(header.size());
    if (text.endsWith(kLineBreak))
        text.chop(kLineBreak.size());
    return text.toString();
}

SavePlan PlanSave(const QString &text, const QByteArray &encoding, bool bom) {
    SavePlan plan;
    plan.encoding = EncodingForRewrite(encoding);
    plan.bom = bom;
    plan.askUtf8 = !TextCodec::fitsEncoding(text, plan.encoding);
    return plan;
}

QString Utf8Question(const QByteArray &encoding) {
    const QString name = encoding.isEmpty() ? QStringLiteral("UTF-8") : QString::fromLatin1(encoding);
    return QStringLiteral("文本中有原编码（%1）无法保存的字符，改存为 UTF-8 吗？").arg(name);
}
