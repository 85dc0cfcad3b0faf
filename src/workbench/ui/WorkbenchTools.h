#pragma once
// The editing tools of the analysis window: "规范化", the two find buttons, "保存", the two save-as
// buttons, word wrap, line spacing, "下载查看" and "重新打开". The window builds its controls, hands them
// over in a WorkbenchControls and keeps this object (a child of the window) for as long as it lives.

#include "platform/WorkerPool.h"
#include "workbench/ui/WorkbenchControls.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class ScriptFetch;
template <typename T> class QFutureWatcher;

class WorkbenchTools : public QObject {
    Q_OBJECT
public:
    // Connects every control that is set. `parent` defaults to the window.
    explicit WorkbenchTools(const WorkbenchControls &controls, QObject *parent = nullptr);
    ~WorkbenchTools() override;

    // The tools, callable directly as well as through their buttons.
    void normalise();                                  // Command3
    void findNext(QLineEdit *findBox, TextPane *pane); // Command6, Command9
    void saveOverSource();                             // Command7
    // Command5 (false), Command8 (true); true when the file was written (not cancelled, not failed).
    bool saveAs(TextPane *pane, bool proposeFromAddress);
    // "保存" as the closing question runs it: no "确认替换保存?", written before this returns (after a
    // save still running); true when the file was written.
    bool saveOverSourceNow();
    void scriptSelected();                                // Combo1 selection
    void download();                                      // Command4
    void reload();                                        // Command1
    void wordWrapClicked(QCheckBox *box, TextPane *pane); // Check1, Check2

    bool isDownloading() const { return !m_fetch.isNull(); }
    // A large file is read, or a large text written, on a worker; these are true meanwhile.
    bool isReloading() const { return m_reload != nullptr; }
    bool isSaving() const { return m_save != nullptr; }
    // From this many UTF-16 units (text) or bytes (file) on, "保存" and "重新打开" work off the
    // user-interface thread.
    static constexpr qint64 BackgroundSize = qint64(4) << 20;
    // The file name the save-as dialog holds (it keeps the last one between uses).
    QString dialogFileName() const { return m_dialogFileName; }

signals:
    // A download has ended (shown, failed or abandoned); Command4 is enabled again by then.
    void downloadFinished();
    // A save or a reload has ended (also when it failed).
    void saveFinished();
    void reloadFinished();
    // "规范化" has given RtbOld its new text.
    void normalised();
    // The text of `pane` was taken for a save (its save point is set then); a failure follows when the
    // write did not succeed.
    void saveStarted(TextPane *pane);
    void saveFailed(TextPane *pane);

private:
    void showError(const QString &text) const;
    SourceFacts source() const { return c.source ? c.source() : SourceFacts(); }
    void finishDownload();
    void finishReload(const TextCodec::FileText &file);
    void reportSave(const QString &error);
    // What "保存" writes: the source's path, its text without the collection's additions, and how. Empty
    // when there is nothing to write or the user declined writing UTF-8.
    struct SourceSave;
    std::optional<SourceSave> planSourceSave();
    QString writeNow(TextPane *pane, const std::function<QString()> &write);

    WorkbenchControls c;
    QPointer<QWidget> m_window;
    QPointer<TextPane> m_rtbDown;
    QPointer<QLineEdit> m_text5;
    QPointer<QAbstractButton> m_command4;
    QPointer<ScriptFetch> m_fetch;
    QFutureWatcher<TextCodec::FileText> *m_reload = nullptr;
    QFutureWatcher<QString> *m_save = nullptr;
    CancelToken m_reloadToken;
    QString m_dialogFileName;
};
