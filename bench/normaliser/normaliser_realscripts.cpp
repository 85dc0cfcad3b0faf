// How the normaliser treats real scripts nobody here wrote: for every script under the folders given
// (by default Debian's JavaScript libraries and Node's own packages), whether tree-sitter accepts it
// before, after the normaliser (and with the same tree), and after the rule list run literally; and
// whether normalising twice changes nothing. Prints the counts, and the scripts that lost their tree.

#include "ReferenceNormaliser.h"
#include "SyntaxTree.h"
#include "workbench/Normaliser.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList roots = app.arguments().mid(1);
    if (roots.isEmpty())
        roots = {QStringLiteral("/usr/share/javascript"), QStringLiteral("/usr/share/nodejs"),
                 QStringLiteral("/usr/lib/node_modules")};
    int files = 0, before = 0, after = 0, sameTree = 0, literal = 0, idempotent = 0, indentedSame = 0;
    for (const QString &root : roots) {
        QDirIterator it(root, {QStringLiteral("*.js"), QStringLiteral("*.cjs"), QStringLiteral("*.mjs")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly) || file.size() > 8 * 1024 * 1024)
                continue;
            const QString script = QString::fromUtf8(file.readAll());
            ++files;
            const QString once = NormaliseCodeText(script);
            idempotent += NormaliseCodeText(once) == once;
            const SyntaxTree tree = SyntaxTreeOf(script);
            if (!tree.accepted)
                continue;
            ++before;
            const SyntaxTree out = SyntaxTreeOf(once);
            after += out.accepted;
            sameTree += out.accepted && out.shape == tree.shape;
            if (!(out.accepted && out.shape == tree.shape)) {
                qsizetype at = 0;
                while (at < tree.shape.size() && at < out.shape.size() && tree.shape[at] == out.shape[at])
                    ++at;
                std::printf("tree changed: %s\n  before: %s\n  after:  %s\n", qPrintable(path),
                            qPrintable(tree.shape.mid(qMax<qsizetype>(0, at - 60), 200).replace(u'\x1f', u' ')),
                            qPrintable(out.shape.mid(qMax<qsizetype>(0, at - 60), 200).replace(u'\x1f', u' ')));
            }
            NormaliseOptions indent;
            indent.indent = true;
            const SyntaxTree indented = SyntaxTreeOf(NormaliseCodeText(script, indent));
            indentedSame += indented.accepted && indented.shape == tree.shape;
            literal += SyntaxTreeOf(ReferenceNormaliseCodeText(script)).accepted;
        }
    }
    std::printf("%d scripts; normalising twice changes nothing for %d\n"
                "tree-sitter accepts %d before; after the normaliser %d accepted, %d with the same tree "
                "(indented: %d with the same tree); after the literal rule list %d accepted\n",
                files, idempotent, before, after, sameTree, indentedSame, literal);
    return 0;
}
