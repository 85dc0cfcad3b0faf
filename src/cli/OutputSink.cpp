#include "OutputSink.h"

#include <algorithm>

namespace Cli {

QString oneLine(const QString &entry) {
    const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
    if (std::none_of(entry.begin(), entry.end(), isControl))
        return entry;
    QString line;
    line.reserve(entry.size() + 16);
    for (const QChar c : entry) {
        if (c == QLatin1Char('\r'))
            line += QLatin1String("\\r");
        else if (c == QLatin1Char('\n'))
            line += QLatin1String("\\n");
        else if (isControl(c)) // ESC, BEL, DEL and the like would act on the terminal
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            line += c;
    }
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
