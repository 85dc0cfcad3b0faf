#include "cli/PageRecords.h"

#include "platform/page/ScriptFetchers.h"

#include <QCryptographicHash>
#include <QJsonValue>

namespace Cli {

QString className(ScriptClass kind) {
    switch (kind) {
    case ScriptClass::Inline:
        return QStringLiteral("inline");
    case ScriptClass::Network:
        return QStringLiteral("network");
    case ScriptClass::Local:
        return QStringLiteral("local");
    case ScriptClass::Other:
        break;
    }
    return QStringLiteral("other");
}

QJsonObject recordJson(const QString &page, const ScriptRecord &record, const QString &file, bool withText) {
    QJsonObject o;
    o.insert(QStringLiteral("page"), page);
    o.insert(QStringLiteral("number"), record.number);
    o.insert(QStringLiteral("class"), className(record.kind));
    o.insert(QStringLiteral("address"), record.address);
    o.insert(QStringLiteral("file"), file.isEmpty() ? QJsonValue() : QJsonValue(file));
    o.insert(QStringLiteral("bytes"), double(record.size));
    o.insert(QStringLiteral("sha256"),
             record.ok ? QJsonValue(QString::fromLatin1(record.sha256)) : QJsonValue());
    o.insert(QStringLiteral("status"), record.ok ? QStringLiteral("ok") : QStringLiteral("failed"));
    o.insert(QStringLiteral("reason"), record.ok ? QJsonValue() : QJsonValue(record.reason));
    if (withText)
        o.insert(QStringLiteral("text"), record.text);
    return o;
}

QJsonObject pageFailureJson(const QString &page, const QString &reason) {
    QJsonObject o;
    o.insert(QStringLiteral("page"), page);
    o.insert(QStringLiteral("number"), QJsonValue());
    o.insert(QStringLiteral("status"), QStringLiteral("failed"));
    o.insert(QStringLiteral("reason"), reason);
    return o;
}

RecordingSink::RecordingSink(PageResult &result, Keep keep) : m_result(result), m_keep(keep) {
    if (keep.out)
        m_text.emplace(result.out, keep.list);
}

void RecordingSink::clear() {
    if (m_text)
        m_text->clear();
    m_result.scripts.clear();
    m_entryCount = 0;
}

void RecordingSink::addEntry(const QString &entry) {
    ++m_entryCount;
    if (m_text)
        m_text->addEntry(entry);
    drainIfLarge();
}

void RecordingSink::appendText(const QString &piece) {
    if (m_text)
        m_text->appendText(piece);
    drainIfLarge();
}

void RecordingSink::drainIfLarge() {
    constexpr qsizetype Piece = 1 << 20;
    if (m_drain && m_result.out.size() >= Piece)
        m_drain(m_result.out);
}

void RecordingSink::scriptDone(const ScriptPlan &plan, const FetchResult &result) {
    if (!m_keep.records)
        return;
    ScriptRecord r;
    r.number = plan.index;
    r.kind = plan.kind;
    r.address = plan.address;
    r.ok = !result.failed;
    if (r.ok) {
        // An inline script exists only as text: its bytes are that text in UTF-8.
        const QByteArray bytes = plan.kind == ScriptClass::Inline ? plan.inlineText.toUtf8() : result.bytes;
        r.size = bytes.size();
        r.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        if (m_keep.bytes)
            r.bytes = bytes;
    } else {
        r.reason = !result.reason.isEmpty() ? result.reason : QStringLiteral("未能取得");
    }
    if (m_keep.scriptText)
        r.text = result.text;
    m_result.scripts.push_back(std::move(r));
}

} // namespace Cli
