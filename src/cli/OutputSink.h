#pragma once
// The command line's sink: the combined text (or, with --list, the script list) goes straight into the
// output bytes as UTF-8, piece by piece, so a page of a million scripts is held once, not three times.

#include "analysis/ScriptSink.h"

#include <QByteArray>

namespace Cli {

// `entry` on one line and harmless to a terminal: a line break inside it is written as "\r" or "\n"
// (backslash and letter), any other control character as "\xNN" (its code in hexadecimal).
QString oneLine(const QString &entry);

class OutputSink : public ScriptSink {
public:
    OutputSink(QByteArray &out, bool list) : m_out(out), m_list(list) {}

    void clear() override {
        m_out.clear();
        m_entries = 0;
    }
    void addEntry(const QString &entry) override;
    void appendText(const QString &text) override;
    int entryCount() const override { return m_entries; }
    void selectEntry(int) override {}

private:
    QByteArray &m_out;
    bool m_list;
    int m_entries = 0;
};

} // namespace Cli
