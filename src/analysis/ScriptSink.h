#pragma once
// Where the page script collection writes: the script list (Combo1) and the combined script text
// (RtbOld). The analysis window's sink wraps those two controls; tests and the command line use
// StringSink. Every writer goes through this interface, so all front ends share one code path.

#include <QString>

struct FetchResult;
struct ScriptPlan;

class ScriptSink {
public:
    virtual ~ScriptSink() = default;

    // Empties the script list and the combined text (the loader does this before each load).
    virtual void clear() = 0;
    // Appends one entry to the script list.
    virtual void addEntry(const QString &entry) = 0;
    // Appends `text` at the end of the combined text (never anywhere else).
    virtual void appendText(const QString &text) = 0;
    // Appends the header line of the script whose entry was added last. A sink may mark it as the start
    // of a script block, or leave it out of the text.
    virtual void appendHeader(const QString &header) { appendText(header); }
    // Number of entries in the script list.
    virtual int entryCount() const = 0;
    // Selects the entry at 0-based `index`; the window runs its list-selection handler here.
    virtual void selectEntry(int index) = 0;
    // After a script's body was appended, in document order: the script and what was obtained for it
    // (inline scripts: their text, nothing fetched). For sinks that keep each script apart.
    virtual void scriptDone(const ScriptPlan &plan, const FetchResult &result) {
        (void)plan;
        (void)result;
    }
};
