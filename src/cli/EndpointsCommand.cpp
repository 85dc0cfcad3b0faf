#include "cli/EndpointsCommand.h"

#include "analysis/ScriptBlocks.h"
#include "decompose/Functions.h"

#include <QJsonDocument>

namespace Cli {

using Decompose::rowField;

bool collectsFirst(const QStringList &args) {
    for (const char *option : {"--url", "--page", "--input", "--script"}) {
        if (args.contains(QLatin1String(option)))
            return true;
    }
    return false;
}

QString endpointsOptionsProblem(const CollectOptions &options) {
    if (!options.outputDir.isEmpty())
        return QStringLiteral("endpoints 不写文件，不能用 --output-dir");
    if (options.list || options.withText)
        return QStringLiteral("endpoints 只输出网址，不能用 --list 或 --with-text");
    return QString();
}

QByteArray endpointLine(const Decompose::Endpoint &e) {
    const QStringList fields = {rowField(e.address),
                                Decompose::kindName(e.kind),
                                rowField(e.method),
                                rowField(e.function),
                                QString::number(e.script),
                                QString::number(e.line),
                                rowField(e.resolved),
                                rowField(e.source),
                                e.sourceLine > 0 ? QString::number(e.sourceLine) : QString()};
    return fields.join(QLatin1Char('\t')).toUtf8() + '\n';
}

QJsonObject endpointJson(const Decompose::Endpoint &e) {
    QJsonObject o;
    o.insert(QStringLiteral("address"), e.address);
    o.insert(QStringLiteral("kind"), Decompose::kindName(e.kind));
    o.insert(QStringLiteral("method"), e.method);
    o.insert(QStringLiteral("function"), e.function);
    o.insert(QStringLiteral("script"), e.script);
    o.insert(QStringLiteral("line"), e.line);
    o.insert(QStringLiteral("resolved"), e.resolved);
    o.insert(QStringLiteral("source"), e.source);
    o.insert(QStringLiteral("sourceLine"), e.sourceLine > 0 ? QJsonValue(e.sourceLine) : QJsonValue());
    return o;
}

int endpointsCommand(QStringList args, Output &output,
                     const std::function<bool(const QStringList &, QString &)> &readText) {
    const bool combined = args.removeAll(QStringLiteral("--combined")) > 0;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() > 1 || (args.size() == 1 && args.at(0).startsWith(QLatin1String("--")))) {
        output.writeErr(usageText().toUtf8());
        return UsageError;
    }
    QString text;
    if (!readText(args, text))
        return NotObtained;
    QList<Decompose::Block> blocks;
    if (combined) {
        for (const ScriptBlock &b : ScriptBlocksOf(text))
            blocks.push_back({b.number, {b.bodyStart, b.bodyEnd}});
    } else {
        blocks = Decompose::wholeTextBlock(text);
    }
    // A file has no page: only absolute addresses resolve.
    const Decompose::Decomposition found = Decompose::decompose(text, blocks, QUrl());
    QByteArray out;
    for (const Decompose::Endpoint &e : found.endpoints)
        out += json ? QJsonDocument(endpointJson(e)).toJson(QJsonDocument::Compact) + '\n' : endpointLine(e);
    output.writeOut(out);
    return output.good() ? Ok : NotObtained;
}

} // namespace Cli
