#include "analysis/SourceMapSink.h"

#include "analysis/ScriptCollection.h"
#include "analysis/SourceMapCollector.h"

SourceMapSink::SourceMapSink(ScriptSink *inner, SourceMapCollector *collector)
    : m_inner(inner), m_collector(collector) {}

void SourceMapSink::clear() {
    // Every load empties its sink first: the maps of the last load go with its text.
    m_collector->reset();
    m_inner->clear();
}

void SourceMapSink::scriptDone(const ScriptPlan &plan, const FetchResult &result) {
    m_inner->scriptDone(plan, result);
    if (!result.failed)
        m_collector->addScript(plan.index, plan.kind, plan.address, result.text, result.headers);
}
