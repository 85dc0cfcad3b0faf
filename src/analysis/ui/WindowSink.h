#pragma once
// The analysis window's script sink: the script list Combo1 and the combined text RtbOld.

#include "analysis/ScriptSink.h"

#include <QPointer>

class QComboBox;
class TextPane;

class WindowSink final : public ScriptSink {
public:
    WindowSink(QComboBox *list, TextPane *text);

    void clear() override;
    void addEntry(const QString &entry) override;
    void appendText(const QString &text) override;
    void reserve(qint64 units) override;
    int entryCount() const override;
    void selectEntry(int index) override;

private:
    // Guarded: a window being torn down must not be written to.
    QPointer<QComboBox> m_list;
    QPointer<TextPane> m_text;
};
