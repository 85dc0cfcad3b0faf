#pragma once
// The program's fixed texts and addresses, kept in one place so every window uses the same ones.

#include <QString>

namespace AppInfo {

inline const QString Title = QStringLiteral("VarnelJS分析提取分解器");

inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 2;
inline constexpr int VersionBuild = 0;
inline constexpr int VersionRevision = 926;

// Caption of the main window: title, " V", major "." minor.
inline QString MainCaption() {
    return Title + QStringLiteral(" V") + QString::number(VersionMajor) + QLatin1Char('.') +
           QString::number(VersionMinor);
}

// Name of the Start-menu program group and of the status bar's first panel.
inline const QString GroupName = QStringLiteral("Varnel软件");
inline const QString ShortcutDescription = QStringLiteral("分析JS文件的最佳工具！");

// The maker's pages and mail recipients.
inline const QString SupportPageUrl = QStringLiteral("http://www.varnel.com/");
inline const QString SecondSiteUrl = QStringLiteral("http://www.varnel.net/");
inline const QString CustomSoftwareUrl = QStringLiteral("http://www.varnel.com/custom.htm");
inline const QString FeedbackRecipient = QStringLiteral("support@varnel.com");
inline const QString FeedbackCcRecipient = QStringLiteral("varnel@varnel.com");
inline const QString FeedbackBccRecipient = QStringLiteral("service@varnel.com");

// Settings store: application = Title, group and key below.
inline const QString SettingsGroup = QStringLiteral("设置");
inline const QString HideNumberingKey = QStringLiteral("不显示编号");
inline const QString UseBrowserEngineKey = QStringLiteral("使用浏览器内核");
inline const QString NormaliseIndentKey = QStringLiteral("规范化时按层次缩进");

// The library file beside the program.
inline const QString LibraryFileName = QStringLiteral("xqd.dll");

} // namespace AppInfo
