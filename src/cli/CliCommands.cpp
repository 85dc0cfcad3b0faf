#include "CliCommands.h"

#include "OutputSink.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/SourceLoader.h"
#include "platform/PageEngine.h"
#include "platform/TextCodec.h"
#include "decompose/Functions.h"
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
    if (browser && kind != 1) {
#ifdef VARNEL_BROWSER_ENGINE
        const QString problem = BrowserStartCheck::problemHere();
        if (problem.isEmpty())
            return std::unique_ptr<PageEngine>(createBrowserPageEngine());
#else
        const QString problem = QStringLiteral("程序中没有浏览器内核");
#endif
        output.err += QStringLiteral("浏览器内核无法启动，已改用静态解析。（%1）\n").arg(problem).toUtf8();
    }
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
    OutputSink sink(output.out, list);
    QString pageFailure;
    const QList<ScriptFailure> failures =
        SourceLoader::runBlocking(engine.get(), &sink, kind, source, &pageFailure);

    if (!pageFailure.isEmpty())
        output.err += oneLine(pageFailure).toUtf8() + '\n';
    for (const ScriptFailure &f : failures) {
        output.err +=
            oneLine(QStringLiteral("未能取得脚本 %1 %2：%3").arg(f.index).arg(f.address, f.reason)).toUtf8() +
            '\n';
    }
    return pageFailure.isEmpty() && failures.isEmpty() ? Ok : NotObtained;
}

// The text of FILE, decoded like any script file, or of stdin without one; false after a message.
bool readInput(const QStringList &files, Output &output, const std::function<QByteArray()> &stdinBytes,
               QString &text) {
    if (files.isEmpty()) {
        const QByteArray bytes = stdinBytes();
        if (bytes.size() > maxInputBytes()) {
            output.err += QStringLiteral("标准输入太大，无法读取（超过 %1 MiB）\n")
                              .arg(maxInputBytes() / (1024 * 1024))
                              .toUtf8();
            return false;
        }
        text = TextCodec::decode(bytes).text;
        return true;
    }
    const TextCodec::FileText file = TextCodec::readFile(files.at(0));
    if (!file.ok || !QFileInfo(files.at(0)).isFile()) {
        const QString reason = file.error.isEmpty() ? QStringLiteral("不是文件") : file.error;
        output.err += QStringLiteral("无法读取 %1：%2\n").arg(files.at(0), reason).toUtf8();
        return false;
    }
    text = file.text;
    return true;
}

int normalise(const QStringList &args, Output &output, const std::function<QByteArray()> &stdinBytes) {
    if (args.size() > 1 || (args.size() == 1 && args.at(0).startsWith(QLatin1String("--"))))
        return usage(output);
    QString text;
    if (!readInput(args, output, stdinBytes, text))
        return NotObtained;
    output.out += NormaliseCodeText(text).toUtf8();
    return Ok;
}

int functions(QStringList args, Output &output, const std::function<QByteArray()> &stdinBytes) {
    const bool combined = args.removeAll(QStringLiteral("--combined")) > 0;
    if (args.size() > 1 || (args.size() == 1 && args.at(0).startsWith(QLatin1String("--"))))
        return usage(output);
    QString text;
    if (!readInput(args, output, stdinBytes, text))
        return NotObtained;
    QList<Decompose::Block> blocks;
    if (combined) {
        for (const ScriptBlock &b : ScriptBlocksOf(text))
            blocks.push_back({b.number, {b.bodyStart, b.bodyEnd}});
    } else {
        blocks = Decompose::wholeTextBlock(text);
    }
    QByteArray out;
    for (const Decompose::Function &f : Decompose::functionsOf(text, blocks))
        out += QStringLiteral("%1\t%2\t%3\n").arg(f.name).arg(f.script).arg(f.line).toUtf8();
    output.out += out;
    return Ok;
}

} // namespace

qint64 maxInputBytes() {
    return TextCodec::maxReadBytes;
}

QString usageText() {
    return QStringLiteral("用法：\n"
                          "  varneljs-cli collect --script 文件 | --page 文件 | --url 网址 [--list] [--engine static|browser]\n"
                          "      按分析窗口的加载过程收集脚本，把合并的脚本文本（UTF-8）写到标准输出；\n"
                          "      --list 改为输出脚本列表，每行一项（地址中的换行写作 \\r、\\n）。\n"
                          "      打不开的网页和无法取得的脚本及原因写到标准错误。\n"
                          "      --engine browser 用浏览器内核打开网页并运行网页脚本（默认 static：只解析不运行）。\n"
                          "  varneljs-cli normalise [文件]\n"
                          "      把文件（或标准输入）的规范化结果写到标准输出。\n"
                          "  varneljs-cli functions [--combined] [文件]\n"
                          "      列出文件（或标准输入）中的具名函数，每行一个：名称、脚本编号、行号，以制表符分隔；\n"
                          "      --combined 把输入当作合并的脚本文本，按其标题行分成各个脚本。\n"
                          "退出码：0 全部取得；1 网页、脚本或输入文件无法取得，或输出写不出；2 用法错误。\n");
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
    if (command == QLatin1String("functions"))
        return functions(rest, output, stdinBytes);
    return usage(output);
}

} // namespace Cli
