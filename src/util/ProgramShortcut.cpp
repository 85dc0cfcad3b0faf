#include "util/Module1Shell.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Module1 {

QString ProgramsFolder;

namespace {

// Escapes of a desktop entry string value; a leading space would be dropped by readers otherwise.
QString escapeValue(const QString &value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

// One argument of an Exec line: "%" doubled (field codes), and the whole argument in double quotes
// when it holds a character the launcher's command line reserves.
QString execArgument(const QString &argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = argument;
    arg.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return arg;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace

void LookUpProgramsFolder() {
    ProgramsFolder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

QString DesktopEntryText(const QString &name, const QString &description, const QString &target,
                         const QString &workingFolder, const QString &icon) {
    QString text = QStringLiteral("[Desktop Entry]\n") + QStringLiteral("Type=Application\n") +
                   QStringLiteral("Name=") + escapeValue(name) + QLatin1Char('\n') + QStringLiteral("Comment=") +
                   escapeValue(description) + QLatin1Char('\n') + QStringLiteral("Exec=") +
                   escapeValue(execArgument(target)) + QLatin1Char('\n') + QStringLiteral("Path=") +
                   escapeValue(workingFolder) + QLatin1Char('\n');
    if (!icon.isEmpty())
        text += QStringLiteral("Icon=") + escapeValue(icon) + QLatin1Char('\n');
    return text;
}

void CreateProgramShortcut(const QString &name, const QString &description, const QString &target,
                           QString &folder, const QString &icon) {
    // Without a folder the entry would land in the file system's root.
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');

    const QString fileName = folder + name + QStringLiteral(".desktop");
    if (QFileInfo(fileName).isFile())
        QFile::remove(fileName);

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(DesktopEntryText(name, description, target, folder, icon).toUtf8());
}

} // namespace Module1
