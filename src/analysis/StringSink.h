#pragma once
// A ScriptSink that keeps everything in strings: for tests and the command line.

#include "analysis/ScriptSink.h"

#include <QStringList>

class StringSink : public ScriptSink {
public:
    void clear() override {
        entries.clear();
        text.clear();
        pieces.clear();
        selected = -1;
    }
    void addEntry(const QString &entry) override { entries.append(entry); }
    void appendText(const QString &piece) override {
        text += piece;
        pieces.append(piece);
    }
    void reserve(qint64 units) override { text.reserve(qsizetype(qMin<qint64>(units, 1 << 28))); }
    int entryCount() const override { return int(entries.size()); }
    void selectEntry(int index) override {
        selected = index;
        ++selectCalls;
    }

    QStringList entries; // the script list
    QString text;        // the combined text
    QStringList pieces;  // every appendText call, in order
    int selected = -1;   // the last selected entry, -1 when none
    int selectCalls = 0;
};
