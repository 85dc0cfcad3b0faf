#include "CliCommands.h"

#include "cli/BatchRunner.h"
#include "cli/BatchSources.h"
#include "cli/CollectOptions.h"
#include "cli/EndpointsCommand.h"
#include "cli/PageFolderWriter.h"
#include "platform/net/RequestDefaults.h"
#include "analysis/ScriptBlocks.h"
#include "platform/text/TextCodec.h"
#include "decompose/Functions.h"
#include "workbench/Normaliser.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

namespace {

int usage(Output &output) {
    output.writeErr(usageText().toUtf8());
    return UsageError;
}

// Asked for, the usage is the output, not an error.
int help(Output &output) {
    output.writeOut(usageText().toUtf8());
    return output.good() ? Ok : NotObtained;
}

bool asksForHelp(const QStringList &args) {
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

// `endpointsOnly`: the collecting form of `endpoints`, which writes nothing but the findings.
int collect(const QStringList &args, Output &output, bool endpointsOnly = false) {
    CollectOptions options;
    QString problem = parseCollectOptions(args, options);
    if (problem.isEmpty() && endpointsOnly)
        problem = endpointsOptionsProblem(options);
    options.endpoints = endpointsOnly;
    if (!problem.isEmpty()) {
        output.writeErr(problem.toUtf8() + '\n');
        return usage(output);
    }
    if (!options.outputDir.isEmpty()) {
        const QString refused = PageFolderWriter::checkRoot(options.outputDir, options.overwrite);
        if (!refused.isEmpty()) {
            output.writeErr(refused.toUtf8() + '\n');
            return UsageError;
        }
        if (!QDir().mkpath(options.outputDir)) {
            output.writeErr(QStringLiteral("无法建立输出文件夹 %1\n").arg(options.outputDir).toUtf8());
            return UsageError;
        }
    }
    RequestDefaults request;
    request.headers = options.headers;
    request.userAgent = options.userAgent;
    request.deadlineMs = options.timeoutMs;
    request.insecure = options.insecure;
    setRequestDefaults(request);
    if (options.insecure)
        output.writeErr(QStringLiteral("注意：--insecure 已给出，任何证书都被接受，连接可能被冒充或窃听。\n").toUtf8());

    BatchSources sources(options.sources);
    const QString unreadable = sources.open();
    if (!unreadable.isEmpty()) {
        output.writeErr(unreadable.toUtf8() + '\n');
        return UsageError;
    }
    BatchRunner runner(options, sources, output);
    return runner.run();
}

// The text of FILE, decoded like any script file, or of stdin without one; false after a message.
bool readInput(const QStringList &files, Output &output, const std::function<QByteArray()> &stdinBytes,
               QString &text) {
    if (files.isEmpty()) {
        const QByteArray bytes = stdinBytes();
        if (bytes.size() > maxInputBytes()) {
            output.writeErr(QStringLiteral("标准输入太大，无法读取（超过 %1 MiB）\n")
                                .arg(maxInputBytes() / (1024 * 1024))
                                .toUtf8());
            return false;
        }
        text = TextCodec::decode(bytes).text;
        return true;
    }
    const TextCodec::FileText file = TextCodec::readInputFile(files.at(0));
    if (!file.ok) {
        output.writeErr(QStringLiteral("无法读取 %1：%2\n").arg(files.at(0), file.error).toUtf8());
        return false;
    }
    text = file.text;
    return true;
}

int normalise(QStringList args, Output &output, const std::function<QByteArray()> &stdinBytes) {
    const bool combined = args.removeAll(QStringLiteral("--combined")) > 0;
    NormaliseOptions options;
    options.indent = args.removeAll(QStringLiteral("--indent")) > 0;
    if (args.size() > 1 || (args.size() == 1 && args.at(0).startsWith(QLatin1String("--"))))
        return usage(output);
    QString text;
    if (!readInput(args, output, stdinBytes, text))
        return NotObtained;
    // Combined: each script block on its own, the header lines between them as they are.
    QList<CodeRange> blocks;
    if (combined) {
        for (const ScriptBlock &b : ScriptBlocksOf(text))
            blocks.append({b.bodyStart, b.bodyEnd});
    } else {
        blocks.append({0, text.size()});
    }
    output.writeOut(NormaliseCodeBlocks(text, blocks, options).toUtf8());
    return output.good() ? Ok : NotObtained;
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
    output.writeOut(out);
    return output.good() ? Ok : NotObtained;
}

} // namespace

qint64 maxInputBytes() {
    return TextCodec::maxReadBytes;
}

QString usageText() {
    return QStringLiteral("用法：\n"
                          "  varneljs-cli --help | -h，或 varneljs-cli <命令> --help：把本说明写到标准输出。\n"
                          "  varneljs-cli collect --script 文件 | --page 文件 | --url 网址 | --input 列表 … [选项]\n"
                          "      按分析窗口的加载过程收集脚本，把合并的脚本文本（UTF-8）写到标准输出；\n"
                          "      --list 改为输出脚本列表，每行一项（地址中的换行写作 \\r、\\n）。\n"
                          "      打不开的网页和无法取得的脚本及原因写到标准错误。\n"
                          "      --page、--url 可以重复；--input 列表文件（- 为标准输入）每行一个网址或网页文件，\n"
                          "      空行和以 # 开头的行跳过。多个来源按输入顺序依次输出。\n"
                          "      --jobs N        同时加载 N 个网页（默认 4）\n"
                          "      --json          每个脚本一行 JSON（\"record\":\"script\"，--with-text 含文本），\n"
                          "                      代码访问的每个网址一行（\"record\":\"endpoint\"）\n"
                          "      --output-dir 目录  每个网页一个文件夹：各脚本文件、combined.js、manifest.json、\n"
                          "                      endpoints.json（代码访问的网址）；\n"
                          "                      目录已有内容时须加 --overwrite\n"
                          "      --header \"名称: 值\"（可重复）、--user-agent 文本、--timeout 秒（每次传输的总时限）、\n"
                          "      --insecure（接受任何证书）用于本命令的每个请求。\n"
                          "      --engine browser 用浏览器内核打开网页并运行网页脚本（默认 static：只解析不运行）。\n"
                          "  varneljs-cli normalise [--combined] [--indent] [文件]\n"
                          "      把文件（或标准输入）的规范化结果写到标准输出。\n"
                          "  varneljs-cli functions [--combined] [文件]\n"
                          "      列出文件（或标准输入）中的具名函数，每行一个：名称、脚本编号、行号，以制表符分隔；\n"
                          "      --combined 把输入当作合并的脚本文本，按其标题行分成各个脚本。\n"
                          "  varneljs-cli endpoints [--combined] [--json] [文件]\n"
                          "      列出文件（或标准输入）中代码访问的网址，每行一个：网址、种类、方法、函数、脚本编号、\n"
                          "      行号、解析后的网址、原始来源、原始行号，以制表符分隔；--json 每行一个 JSON 对象。\n"
                          "  varneljs-cli endpoints --url 网址 | --page 文件 | --input 列表 … [--json] [collect 的选项]\n"
                          "      先按 collect 收集，再逐个网页列出代码访问的网址（JSON 对象另有 page）；不写文件，\n"
                          "      不接受 --output-dir、--list、--with-text。\n"
                          "退出码：0 全部取得；1 网页、脚本或输入文件无法取得，或输出写不出；2 用法错误。\n");
}

bool wantsBrowserEngine(const QStringList &args) {
    const qsizetype at = args.indexOf(QStringLiteral("--engine"));
    const bool pages = !args.isEmpty() && (args.first() == QLatin1String("collect") ||
                                           (args.first() == QLatin1String("endpoints") && collectsFirst(args.mid(1))));
    return pages && at >= 0 && at + 1 < args.size() &&
           args.at(at + 1) == QLatin1String("browser");
}

int run(const QStringList &args, Output &output, const std::function<QByteArray()> &stdinBytes) {
    if (args.isEmpty())
        return usage(output);
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    static const QStringList commands{QStringLiteral("collect"), QStringLiteral("normalise"),
                                      QStringLiteral("functions"), QStringLiteral("endpoints")};
    if (asksForHelp({command}) || (commands.contains(command) && asksForHelp(rest)))
        return help(output);
    if (command == QLatin1String("collect"))
        return collect(rest, output);
    if (command == QLatin1String("normalise"))
        return normalise(rest, output, stdinBytes);
    if (command == QLatin1String("functions"))
        return functions(rest, output, stdinBytes);
    if (command == QLatin1String("endpoints") && collectsFirst(rest))
        return collect(rest, output, true);
    if (command == QLatin1String("endpoints"))
        return endpointsCommand(rest, output, [&](const QStringList &files, QString &text) {
            return readInput(files, output, stdinBytes, text);
        });
    return usage(output);
}

} // namespace Cli
