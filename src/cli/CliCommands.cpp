#include "CliCommands.h"

#include "analysis/SourceLoader.h"
#include "analysis/StringSink.h"
#include "platform/PageEngine.h"
#include "platform/TextCodec.h"
#include "workbench/Normaliser.h"

#ifdef VARNEL_BROWSER_ENGINE
#include "platform/browser/BrowserPageEngine.h"
#include "platform/browser/BrowserStartCheck.h"
#endif

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace Cli {

namespace {

int usage(Output &output) {
    output.err += usageText().toUtf8();
    return UsageError;
}

// The engine for a load of `kind`: the browser engine only for pages, and only when it can start here.
std::unique_ptr<PageEngine> engineFor(short kind, bool browser, Output &output) {
#ifdef VARNEL_BROWSER_ENGINE
    if (browser && kind != 1) {
        const QString problem = BrowserStartCheck::problemHere();
        if (problem.isEmpty())
            return std::unique_ptr<PageEngine>(createBrowserPageEngine());
        output.err += QStringLiteral("浏览器内核无法启动，已改用静态解析。（%1）\n").arg(problem).toUtf8();
    }
#else
    if (browser && kind != 1)
        output.err += QStringLiteral("浏览器内核无法启动，已改用静态解析。（程序构建时没有浏览器内核）\n").toUtf8();
#endif
    return std::unique_ptr<PageEngine>(createDefaultPageEngine());
}

int collect(const QStringList &args, Output &output) {
    short kind = 0;
    QString source;
    bool list = false;
    QString engineName;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--list")) {
            if (list)
                return usage(output);
            list = true;
            continue;
        }
        if (a == QLatin1String("--engine")) {
            if (!engineName.isEmpty() || i + 1 >= args.size())
                return usage(output);
            engineName = args.at(++i);
            if (engineName != QLatin1String("static") && engineName != QLatin1String("browser"))
                return usage(output);
            continue;
        }
        short k = 0;
        if (a == QLatin1String("--script"))
            k = 1;
        else if (a == QLatin1String("--page"))
            k = 2;
        else if (a == QLatin1String("--url"))
            k = 3;
        if (k == 0 || kind != 0 || i + 1 >= args.size() || args.at(i + 1).isEmpty())
            return usage(output);
        kind = k;
        source = args.at(++i);
    }
    if (kind == 0)
        return usage(output);
    // A file dialog hands the window an absolute path; do the same for a relative path typed here.
    // Share ("\\server\...") and drive ("C:...") forms are taken as they are.
    const bool shareOrDrive =
        source.startsWith(QLatin1String("\\\\")) || source.mid(1, 1) == QLatin1String(":");
    if (kind != 3 && QDir::isRelativePath(source) && !shareOrDrive)
        source = QFileInfo(source).absoluteFilePath();

    std::unique_ptr<PageEngine> engine = engineFor(kind, engineName == QLatin1String("browser"), output);
    StringSink sink;
    const QList<ScriptFailure> failures = SourceLoader::runBlocking(engine.get(), &sink, kind, source);

    if (list) {
        for (const QString &entry : sink.entries)
            output.out += entry.toUtf8() + '\n';
    } else {
        output.out += sink.text.toUtf8();
    }
    for (const ScriptFailure &f : failures) {
        output.err +=
            QStringLiteral("未能取得脚本 %1 %2：%3\n").arg(f.index).arg(f.address, f.reason).toUtf8();
    }
    return Ok;
}

int normalise(const QStringList &args, Output &output, const std::function<QByteArray()> &stdinBytes) {
    if (args.size() > 1 || (args.size() == 1 && args.at(0).startsWith(QLatin1String("--"))))
        return usage(output);
    QString text;
    if (args.isEmpty()) {
        text = TextCodec::decode(stdinBytes()).text;
    } else {
        const TextCodec::FileText file = TextCodec::readFile(args.at(0));
        if (!file.ok || !QFileInfo(args.at(0)).isFile()) {
            const QString reason = file.error.isEmpty() ? QStringLiteral("不是文件") : file.error;
            output.err += QStringLiteral("无法读取 %1：%2\n").arg(args.at(0), reason).toUtf8();
            return InputError;
        }
        text = file.text;
    }
    output.out += NormaliseCodeText(text).toUtf8();
    return Ok;
}

} // namespace

QString usageText() {
    return QStringLiteral("用法：\n"
                          "  varneljs-cli collect --script 文件 | --page 文件 | --url 网址 [--list] [--engine static|browser]\n"
                          "      按分析窗口的加载过程收集脚本，把合并的脚本文本（UTF-8）写到标准输出；\n"
                          "      --list 改为输出脚本列表，每行一项。无法取得的脚本及原因写到标准错误。\n"
                          "      --engine browser 用浏览器内核打开网页并运行网页脚本（默认 static：只解析不运行）。\n"
                          "  varneljs-cli normalise [文件]\n"
                          "      把文件（或标准输入）的规范化结果写到标准输出。\n");
}

bool wantsBrowserEngine(const QStringList &args) {
    const qsizetype at = args.indexOf(QStringLiteral("--engine"));
    return !args.isEmpty() && args.first() == QLatin1String("collect") && at >= 0 && at + 1 < args.size() &&
           args.at(at + 1) == QLatin1String("browser");
}

int run(const QStringList &args, Output &output, const std::function<QByteArray()> &stdinBytes) {
    if (args.isEmpty())
        return usage(output);
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("collect"))
        return collect(rest, output);
    if (command == QLatin1String("normalise"))
        return normalise(rest, output, stdinBytes);
    return usage(output);
}

} // namespace Cli
