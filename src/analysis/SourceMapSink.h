#pragma once
// A script sink that passes everything on to another sink and hands each collected script to a
// SourceMapCollector: the way the window and the command line look for maps without the collection
// knowing about them.

#include "analysis/ScriptSink.h"

class SourceMapCollector;

class SourceMapSink final : public ScriptSink {
public:
    // Neither is owned; both must outlive the sink's use by a load.
    SourceMapSink(ScriptSink *inner, SourceMapCollector *collector);

    void clear() override;
    void addEntry(const QString &entry) override { m_inner->addEntry(entry); }
    void appendText(const QString &text) override { m_inner->appendText(text); }
    void appendHeader(const QString &header) override { m_inner->appendHeader(header); }
    bool writesHeaders() const override { return m_inner->writesHeaders(); }
    int entryCount() const override { return m_inner->entryCount(); }
    void selectEntry(int index) override { m_inner->selectEntry(index); }
    void reserve(qint64 units) override { m_inner->reserve(units); }
    void scriptDone(const ScriptPlan &plan, const FetchResult &result) override;

private:
    ScriptSink *m_inner;
    SourceMapCollector *m_collector;
};
