#include "platform/ui/ChineseFileModel.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QTreeView>

#include <algorithm>

namespace {

const QLocale &chinese() {
    static const QLocale locale(QLocale::Chinese, QLocale::China);
    return locale;
}

// The columns of Qt's file system model.
enum Column { NameColumn, SizeColumn, TypeColumn, DateColumn };

} // namespace

namespace ChineseFileTexts {

QString Size(qint64 bytes) {
    if (bytes < 1024)
        return QString::number(std::max<qint64>(bytes, 0)) + QStringLiteral(" 字节");
    static const char *const units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    for (; value >= 1024 && unit < 3; ++unit)
        value /= 1024;
    return chinese().toString(value, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QString Type(const QFileInfo &info) {
    if (info.isDir())
        return QStringLiteral("文件夹");
    // The shared MIME database carries Chinese names; its comment follows the program's default locale.
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault()) {
        const QString comment = type.comment();
        if (std::any_of(comment.begin(), comment.end(), [](QChar c) { return c.script() == QChar::Script_Han; }))
            return comment;
    }
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("文件") : suffix.toUpper() + QStringLiteral(" 文件");
}

QString Date(const QDateTime &when) {
    return when.isValid() ? chinese().toString(when, QLocale::ShortFormat) : QString();
}

} // namespace ChineseFileTexts

QVariant ChineseFileModel::data(const QModelIndex &index, int role) const {
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!files || role != Qt::DisplayRole || index.column() == NameColumn)
        return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    switch (index.column()) {
    case SizeColumn:
        return info.isDir() ? QString() : ChineseFileTexts::Size(info.size());
    case TypeColumn:
        return ChineseFileTexts::Type(info);
    case DateColumn:
        return ChineseFileTexts::Date(info.lastModified());
    default:
        return QIdentityProxyModel::data(index, role);
    }
}

void ChineseFileModel::install(QFileDialog &dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new ChineseFileModel(&dialog));
    if (auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = view->header();
        header->setStretchLastSection(false);
        for (int column : {SizeColumn, TypeColumn, DateColumn})
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    }
}
