#include "cli/CollectOptions.h"

#include <optional>

namespace Cli {

namespace {

// The kind of source an option names (None: a list file); none for any other option.
std::optional<SourceKind> sourceKind(const QString &option) {
    if (option == QLatin1String("--script"))
        return SourceKind::ScriptFile;
    if (option == QLatin1String("--page"))
        return SourceKind::PageFile;
    if (option == QLatin1String("--url"))
        return SourceKind::PageAddress;
    if (option == QLatin1String("--input"))
        return SourceKind::None;
    return std::nullopt;
}

bool isTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

// The valued options besides the sources.
bool isValued(const QString &a) {
    static const QStringList valued{"--output-dir", "--jobs", "--header", "--user-agent", "--timeout", "--engine"};
    return sourceKind(a).has_value() || valued.contains(a);
}

} // namespace

bool parseHeaderLine(const QString &line, QByteArray &name, QByteArray &value) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon <= 0 || line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')) ||
        line.contains(QChar(0)))
        return false;
    name = line.left(colon).toUtf8();
    for (const char c : std::as_const(name)) {
        if (!isTokenChar(c))
            return false;
    }
    value = line.mid(colon + 1).trimmed().toUtf8();
    return true;
}

QString parseCollectOptions(const QStringList &args, CollectOptions &options) {
    options = CollectOptions();
    bool flagSeen[5] = {};
    const auto flag = [&](int which, bool &target) {
        if (flagSeen[which])
            return false;
        flagSeen[which] = target = true;
        return true;
    };
    bool jobsSeen = false, agentSeen = false, timeoutSeen = false, engineSeen = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        bool fine = true;
        if (a == QLatin1String("--list"))
            fine = flag(0, options.list);
        else if (a == QLatin1String("--json"))
            fine = flag(1, options.json);
        else if (a == QLatin1String("--with-text"))
            fine = flag(2, options.withText);
        else if (a == QLatin1String("--overwrite"))
            fine = flag(3, options.overwrite);
        else if (a == QLatin1String("--insecure"))
            fine = flag(4, options.insecure);
        else {
            if (!isValued(a))
                return QStringLiteral("未知的选项：%1").arg(a);
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
                return QStringLiteral("%1 缺少值").arg(a);
            const QString value = args.at(++i);
            if (a == QLatin1String("--output-dir")) {
                if (!options.outputDir.isEmpty())
                    return QStringLiteral("--output-dir 只能给一次");
                options.outputDir = value;
            } else if (a == QLatin1String("--jobs")) {
                bool number = false;
                const int jobs = value.toInt(&number);
                if (jobsSeen || !number || jobs < 1 || jobs > MaxJobs)
                    return QStringLiteral("--jobs 要一个 1 到 %1 的整数").arg(MaxJobs);
                jobsSeen = true;
                options.jobs = jobs;
            } else if (a == QLatin1String("--engine")) {
                if (engineSeen || (value != QLatin1String("static") && value != QLatin1String("browser")))
                    return QStringLiteral("--engine 只能给一次，取 static 或 browser");
                engineSeen = true;
                options.browser = value == QLatin1String("browser");
            } else if (a == QLatin1String("--header")) {
                QByteArray name, headerValue;
                if (!parseHeaderLine(value, name, headerValue))
                    return QStringLiteral("--header 要 \"名称: 值\" 的形式：%1").arg(value);
                options.headers.append({name, headerValue});
            } else if (a == QLatin1String("--user-agent")) {
                if (agentSeen || value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
                    return QStringLiteral("--user-agent 只能给一次，且不能含换行");
                agentSeen = true;
                options.userAgent = value.toUtf8();
            } else if (a == QLatin1String("--timeout")) {
                bool number = false;
                const double seconds = value.toDouble(&number);
                if (timeoutSeen || !number || !(seconds > 0) || seconds > MaxTimeoutSeconds)
                    return QStringLiteral("--timeout 要一个大于 0、至多 %1 的秒数").arg(MaxTimeoutSeconds);
                timeoutSeen = true;
                options.timeoutMs = qMax(1, int(seconds * 1000));
            } else {
                options.sources.append({*sourceKind(a), value});
            }
        }
        if (!fine)
            return QStringLiteral("%1 只能给一次").arg(a);
    }
    if (options.sources.isEmpty())
        return QStringLiteral("没有指定来源");
    // A script file stands alone: it is the one-script blank page, not one of a list of pages.
    for (const SourceArg &s : options.sources) {
        if (s.kind == SourceKind::ScriptFile && options.sources.size() > 1)
            return QStringLiteral("--script 不能与其他来源同用");
    }
    if (options.withText && !options.json)
        return QStringLiteral("--with-text 只与 --json 同用");
    if (options.overwrite && options.outputDir.isEmpty())
        return QStringLiteral("--overwrite 只与 --output-dir 同用");
    if (options.list && (options.json || !options.outputDir.isEmpty()))
        return QStringLiteral("--list 不能与 --json 或 --output-dir 同用");
    return QString();
}

} // namespace Cli
