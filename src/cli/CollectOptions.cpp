#include "cli/CollectOptions.h"

namespace Cli {

namespace {

short sourceKind(const QString &option) {
    if (option == QLatin1String("--script"))
        return 1;
    if (option == QLatin1String("--page"))
        return 2;
    if (option == QLatin1String("--url"))
        return 3;
    if (option == QLatin1String("--input"))
        return 0;
    return -1;
}

} // namespace

QString parseCollectOptions(const QStringList &args, CollectOptions &options) {
    options = CollectOptions();
    bool flagSeen[4] = {};
    const auto flag = [&](int which, bool &target) {
        if (flagSeen[which])
            return false;
        flagSeen[which] = target = true;
        return true;
    };
    bool jobsSeen = false;
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
        else {
            const bool valued = sourceKind(a) >= 0 || a == QLatin1String("--output-dir") ||
                                a == QLatin1String("--jobs");
            if (!valued)
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
            } else {
                options.sources.append({sourceKind(a), value});
            }
        }
        if (!fine)
            return QStringLiteral("%1 只能给一次").arg(a);
    }
    if (options.sources.isEmpty())
        return QStringLiteral("没有指定来源");
    // A script file stands alone: it is the one-script blank page, not one of a list of pages.
    for (const SourceArg &s : options.sources) {
        if (s.kind == 1 && options.sources.size() > 1)
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
