#include "cli/PageFolderWriter.h"

#include "cli/PageEndpoints.h"

#include "util/Module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUrl>

namespace Cli {

namespace {

const QString Combined = QStringLiteral("combined.js");
const QString Manifest = QStringLiteral("manifest.json");

// The last part of an address or path, without query or fragment.
QString lastPart(const ScriptRecord &r) {
    QString path = r.address;
    if (r.kind == ScriptClass::Other) {
        const QUrl url(r.address, QUrl::TolerantMode);
        if (url.isValid() && !url.scheme().isEmpty())
            path = url.path();
    }
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
    file.close();
    return file.error() == QFileDevice::NoError ? QString()
                                                : QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
}

QJsonArray sourcesJson(const PageResult &page) {
    QJsonArray sources;
    for (const SourceRecord &r : page.sources.records)
        sources.append(sourceJson(r, r.file));
    return sources;
}

QByteArray manifestOf(const PageResult &page) {
    QJsonArray scripts;
    for (const ScriptRecord &r : page.scripts)
        scripts.append(recordJson(page.source, r, r.file, false));
    QJsonObject o;
    o.insert(QStringLiteral("page"), page.source);
    o.insert(QStringLiteral("status"), page.pageFailure.isEmpty() ? QStringLiteral("ok") : QStringLiteral("failed"));
    o.insert(QStringLiteral("reason"), page.pageFailure.isEmpty() ? QJsonValue() : QJsonValue(page.pageFailure));
    o.insert(QStringLiteral("scripts"), scripts);
    o.insert(QStringLiteral("sources"), sourcesJson(page));
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

} // namespace

QString numberedName(const QString &name, const QSet<QString> &taken) {
    if (!taken.contains(name.toLower()))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = stem + QLatin1Char('-') + QString::number(n) + ext;
        if (!taken.contains(candidate.toLower()))
            return candidate;
    }
}

std::vector<QString> scriptFileNames(const std::vector<ScriptRecord> &scripts) {
    QSet<QString> taken{Combined, Manifest, SourcesFolder, QStringLiteral("endpoints.json")};
    std::vector<QString> names(scripts.size());
    // Inline names are fixed: give them out first, so a fetched "inline-0.js" is the one renumbered.
    for (size_t i = 0; i < scripts.size(); ++i) {
        if (scripts[i].ok && scripts[i].kind == ScriptClass::Inline) {
            names[i] = QStringLiteral("inline-%1.js").arg(scripts[i].number);
            taken.insert(names[i].toLower());
        }
    }
    for (size_t i = 0; i < scripts.size(); ++i) {
        const ScriptRecord &r = scripts[i];
        if (!r.ok || r.kind == ScriptClass::Inline)
            continue;
        QString name = Module1::ToSafeFileName(lastPart(r));
        if (name.isEmpty())
            name = QStringLiteral("script-%1.js").arg(r.number);
        names[i] = numberedName(name.left(200), taken); // room for a number within 255 bytes
        taken.insert(names[i].toLower());
    }
    return names;
}

PageFolderWriter::PageFolderWriter(const QString &root, bool overwrite) : m_root(root), m_overwrite(overwrite) {}

QString PageFolderWriter::checkRoot(const QString &dir, bool overwrite) {
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 不是文件夹").arg(dir);
    if (info.exists() && !overwrite && !QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        return QStringLiteral("输出文件夹 %1 不是空的（要写入其中请加 --overwrite）").arg(dir);
    return QString();
}

QString PageFolderWriter::write(PageResult &page, QString &error) {
    // The aside folder starts with a dot; a page folder never does (ToSafeFileName strips leading dots).
    QTemporaryDir aside(m_root + QStringLiteral("/.partial-XXXXXX"));
    if (!aside.isValid()) {
        error = QStringLiteral("无法在 %1 中建立文件夹：%2").arg(m_root, aside.errorString());
        return QString();
    }
    const std::vector<QString> names = scriptFileNames(page.scripts);
    for (size_t i = 0; i < page.scripts.size(); ++i) {
        ScriptRecord &r = page.scripts[i];
        r.file = names[i];
        if (r.file.isEmpty())
            continue;
        error = writeBytes(aside.filePath(r.file), r.bytes);
        if (!error.isEmpty())
            return QString();
        r.bytes = QByteArray(); // written: no need to hold it any longer
    }
    error = writeSourceRecords(aside.path(), page.sources.records);
    if (error.isEmpty())
        error = writeBytes(aside.filePath(Combined), page.out);
    if (error.isEmpty())
        error = writeBytes(aside.filePath(Manifest), manifestOf(page));
    if (error.isEmpty())
        error = writeBytes(aside.filePath(QStringLiteral("endpoints.json")), endpointsFileBytes(page.endpoints));
    if (!error.isEmpty())
        return QString();

    QString base = Module1::ToSafeFileName(page.source).left(200);
    if (base.isEmpty())
        base = QStringLiteral("page");
    QDir root(m_root);
    for (;;) {
        const QString name = numberedName(base, m_used);
        m_used.insert(name.toLower());
        const QString target = root.filePath(name);
        const bool exists = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
        if (exists && !m_overwrite)
            continue;
        QString old;
        if (exists) {
            // Moved out of the way first and removed after, so the name always holds a whole folder.
            old = root.filePath(QStringLiteral(".replaced-") + QFileInfo(aside.path()).fileName());
            if (!root.rename(name, QFileInfo(old).fileName()))
                continue;
        }
        if (!root.rename(QFileInfo(aside.path()).fileName(), name)) {
            if (!old.isEmpty())
                root.rename(QFileInfo(old).fileName(), name);
            error = QStringLiteral("无法把页面文件夹改名为 %1").arg(target);
            return QString();
        }
        aside.setAutoRemove(false);
        if (!old.isEmpty()) {
            QFileInfo oldInfo(old);
            if (oldInfo.isDir() && !oldInfo.isSymLink())
                QDir(old).removeRecursively();
            else
                QFile::remove(old);
        }
        return name;
    }
}

} // namespace Cli
