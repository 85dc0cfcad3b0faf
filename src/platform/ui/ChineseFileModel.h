#pragma once
// The file dialog's columns in Chinese whatever the system's language: Qt's file system model names a
// folder "Folder" (its Chinese catalogue lacks the word) and writes sizes and dates in the system locale.
// This proxy goes between the dialog's view and its model and rewrites the size, type and date columns.

#include <QIdentityProxyModel>

class QDateTime;
class QFileDialog;
class QFileInfo;

namespace ChineseFileTexts {
// "0 字节", "512 字节", "1.5 KB", "5.0 MB", "3.0 GB" (units of 1024).
QString Size(qint64 bytes);
// "文件夹" for a folder; else the file type's Chinese name when the system knows one, else "JS 文件" from
// the suffix, or "文件".
QString Type(const QFileInfo &info);
// "2026/12/8 5:50": the Chinese short form.
QString Date(const QDateTime &when);
} // namespace ChineseFileTexts

class ChineseFileModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Puts a proxy on `dialog` (Qt's own dialog, not the system's), shows its detail view and lets its
    // columns take the width of their texts.
    static void install(QFileDialog &dialog);
};
