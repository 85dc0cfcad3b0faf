#pragma once
// What one page of a batch gave: the combined text or the script list (for standard output), and one
// record per script (for the JSON lines and the page folder). Kept only as far as the output needs it.

#include "analysis/ScriptCollection.h"
#include "analysis/ScriptSink.h"
#include "cli/OutputSink.h"
#include "cli/SourceRecords.h"
#include "decompose/Endpoint.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace Cli {

struct ScriptRecord {
    int number = 0;
    ScriptClass kind = ScriptClass::Inline;
    QString address;
    bool ok = false;
    QString reason;    // why nothing was obtained (empty when ok)
    qint64 size = 0;   // bytes obtained
    QByteArray sha256; // hex, of the bytes obtained; empty when not ok
    QByteArray bytes;  // kept only when the page folder is written
    QString text;      // kept only for --with-text
    QString file;      // its file in the page folder, once written
};

// "inline", "network", "local", "other".
QString className(ScriptClass kind);

// One record as a JSON object: page, number, class, address, file (null when none), bytes, sha256,
// status ("ok" or "failed"), reason (null when ok) and, when `withText`, text.
QJsonObject recordJson(const QString &page, const ScriptRecord &record, const QString &file, bool withText);
// The JSON line of a page that could not be had or was cut short: its reason, with no script number.
QJsonObject pageFailureJson(const QString &page, const QString &reason);

struct PageResult {
    int position = 0; // 0-based, in input order
    QString source;   // as named (files made absolute)
    QString error;       // set when the source could not even be started
    QString pageFailure; // why the page could not be opened (empty when it was)
    QByteArray out;      // what it prints as a single source (the combined text or the list), UTF-8
    std::vector<ScriptRecord> scripts;
    QList<ScriptFailure> failures;
    PageSources sources; // the original sources its maps gave (--output-dir, --json)
    QList<Decompose::Endpoint> endpoints; // the addresses its code talks to, when an output wants them
};

// What a page keeps of its collection.
struct Keep {
    bool out = false;     // the combined text, or with `list` the script list, in PageResult::out
    bool list = false;
    bool records = false; // one record per script
    bool bytes = false;   // each script's bytes in its record
    bool scriptText = false;
};

// A sink that writes into a PageResult: the printed form through the command line's OutputSink, and
// the records.
class RecordingSink : public ScriptSink {
public:
    RecordingSink(PageResult &result, Keep keep);

    void clear() override;
    void addEntry(const QString &entry) override;
    void appendText(const QString &piece) override;
    int entryCount() const override { return m_entryCount; }
    void selectEntry(int index) override { (void)index; }
    void scriptDone(const ScriptPlan &plan, const FetchResult &result) override;
    // Hands the printed form over in pieces of about a megabyte as it grows; `drain` writes what it can
    // and clears it (a page whose turn has not come keeps its bytes).
    void setDrain(std::function<void(QByteArray &)> drain) { m_drain = std::move(drain); }

private:
    void drainIfLarge();

    PageResult &m_result;
    Keep m_keep;
    std::optional<OutputSink> m_text;
    int m_entryCount = 0;
    std::function<void(QByteArray &)> m_drain;
};

} // namespace Cli
