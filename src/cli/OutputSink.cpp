#include "OutputSink.h"

namespace Cli {

QString oneLine(const QString &entry) {
    if (!entry.contains(QLatin1Char('\r')) && !entry.contains(QLatin1Char('\n')))
        return entry;
    QString line = entry;
    line.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return line;
}

void OutputSink::addEntry(const QString &entry) {
    ++m_entries;
    if (m_list) {
        m_out += oneLine(entry).toUtf8();
        m_out += '\n';
    }
}

void OutputSink::appendText(const QString &text) {
    if (!m_list)
        m_out += text.toUtf8();
}

} // namespace Cli
