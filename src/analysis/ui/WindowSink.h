#pragma once
// The analysis window's script sink: the script list Combo1 and the combined text RtbOld.

#include "analysis/ScriptSink.h"

#include <QList>
#include <QPointer>
#include <QStringList>

class QComboBox;
class TextPane;

class WindowSink final : public ScriptSink {
public:
    WindowSink(QComboBox *list, TextPane *text);

    void clear() override;
    void addEntry(const QString &entry) override;
    void appendText(const QString &text) override;
    void reserve(qint64 units) override;
    void appendHeader(const QString &header) override;
    int entryCount() const override;
    void selectEntry(int index) override;

    // With headers off ("不显示编号"), header lines stay out of the text; the list still names every script.
    void setWriteHeaders(bool on) { m_writeHeaders = on; }
    bool writesHeaders() const override { return m_writeHeaders; }
    // The 0-based lines of the text where the scripts written since the last clear() start: their header
    // lines, or their first lines when headers are off.
    QList<int> blockLines() const { return m_blockLines; }
    // The list's entries as added, read without the list's model (every derivation reads them all).
    const QStringList &entries() const { return m_entries; }

private:
    // Guarded: a window being torn down must not be written to.
    QPointer<QComboBox> m_list;
    QPointer<TextPane> m_text;
    bool m_writeHeaders = true;
    QList<int> m_blockLines;
    QStringList m_entries;
};
