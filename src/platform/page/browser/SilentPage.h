#pragma once
// A web page that asks no one anything: no JavaScript dialogs (alert, confirm, prompt, leaving the page),
// no new windows, no file choosers, no certificate exceptions, no permissions, no downloads, no sound.

#include <QWebEnginePage>

class SilentPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit SilentPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    // The reason of the last certificate error, kept for the load's failure report.
    QString certificateProblem() const { return m_certificateProblem; }

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    QString m_certificateProblem;
};

// An off-the-record profile with the page settings of a silent load.
QWebEngineProfile *createSilentProfile(QObject *parent);
