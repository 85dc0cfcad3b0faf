#include "workbench/ui/WorkbenchTools.h"

#include "platform/page/ScriptFetchers.h"
#include "platform/text/TextCodec.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/TextPane.h"
#include "util/AppInfo.h"
#include "util/Module1.h"
#include "workbench/FindNext.h"
#include "workbench/NormaliseSetting.h"
#include "workbench/SourceSave.h"
#include "workbench/ui/PaneFormat.h"
#include "workbench/ui/PaneTools.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLineEdit>

namespace {

// A check box's value as the pane helpers count it: 0 clear, 1 ticked, 2 grey.
short checkValue(Qt::CheckState state) {
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

constexpr int kLineSpacingExtra = 50;

} // namespace

WorkbenchTools::WorkbenchTools(const WorkbenchControls &controls, QObject *parent)
    : QObject(parent ? parent : controls.window), c(controls), m_window(controls.window),
      m_rtbDown(controls.RtbDown), m_text5(controls.Text5), m_command4(controls.Command4) {
    const auto onClick = [this](QAbstractButton *button, auto handler) {
        if (button)
            connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick(c.Command3, [this] { normalise(); });
    onClick(c.Command6, [this] { findNext(c.Text3, c.RtbOld); });
    onClick(c.Command9, [this] { findNext(c.Text2, c.RtbNew); });
    onClick(c.Command7, [this] { saveOverSource(); });
    onClick(c.Command5, [this] { saveAs(c.RtbOld, false); });
    onClick(c.Command8, [this] { saveAs(c.RtbDown, true); });
    onClick(c.Command2, [this] { Module1::SetLineSpacing(c.RtbOld, kLineSpacingExtra); });
    onClick(c.Command4, [this] { download(); });
    onClick(c.Command1, [this] { reload(); });
    if (c.Check1)
        connect(c.Check1, &QCheckBox::stateChanged, this, [this] { wordWrapClicked(c.Check1, c.RtbOld); });
    if (c.Check2)
        connect(c.Check2, &QCheckBox::stateChanged, this, [this] { wordWrapClicked(c.Check2, c.RtbNew); });
    if (c.Combo1) {
        // Selecting by program (the collection picks the first entry) or by the user, even the same one.
        connect(c.Combo1, &QComboBox::currentIndexChanged, this, [this] { scriptSelected(); });
        connect(c.Combo1, &QComboBox::activated, this, [this] { scriptSelected(); });
    }
}

WorkbenchTools::~WorkbenchTools() {
    // A window closed mid-download or mid-reload: the transfer or the read stops and nothing is shown.
    // A save runs to its end on its worker: the file is written whole or not at all.
    delete m_fetch.data();
    m_reloadToken.cancel();
}

void WorkbenchTools::showError(const QString &text) const {
    Dialogs::current().message(m_window, text, Dialogs::Icon::Critical, Dialogs::Buttons::Ok, AppInfo::Title);
}

void WorkbenchTools::normalise() {
    NormaliseOptions options;
    options.indent = NormaliseIndents;
    if (NormalisePane(c.RtbOld, options))
        emit normalised();
}

void WorkbenchTools::findNext(QLineEdit *findBox, TextPane *pane) {
    if (!findBox || !pane)
        return;
    const QString needle = findBox->text();
    if (needle.isEmpty())
        return;
    if (FindNextInPane(pane, needle) >= 0)
        pane->setFocus();
    else
        showError(FindNotFoundMessage(needle));
}

struct WorkbenchTools::SourceSave {
    QString path;
    QString text;
    SavePlan plan;
};

std::optional<WorkbenchTools::SourceSave> WorkbenchTools::planSourceSave() {
    if (!c.Text1 || !c.RtbOld || c.Text1->text().isEmpty())
        return std::nullopt;
    SourceSave save;
    save.path = c.Text1->text();
    // The file keeps the encoding it was read with, as the window recorded it. Without a record it is
    // detected from the file; a file that has gone is written in the host code page.
    const SourceFacts facts = source();
    std::optional<TextCodec::Encoding> recorded = facts.encoding;
    if (!recorded) {
        const TextCodec::FileText before = TextCodec::readFile(save.path);
        recorded = before.ok ? TextCodec::Encoding{before.encoding, before.bom} : TextCodec::Encoding{};
    }
    save.text = ScriptTextForSave(c.RtbOld->text(), facts.saveHeader);
    save.plan = PlanSave(save.text, recorded->name, recorded->bom);
    if (save.plan.askUtf8) {
        if (Dialogs::current().message(m_window, Utf8Question(save.plan.encoding), Dialogs::Icon::Question,
                                       Dialogs::Buttons::YesNo, AppInfo::Title) != Dialogs::Answer::Yes)
            return std::nullopt;
        save.plan.encoding = QByteArrayLiteral("UTF-8");
        save.plan.bom = false;
    }
    return save;
}

// The text is taken as it is now: edits made while a large text is written on a worker stay unsaved.
QString WorkbenchTools::writeNow(TextPane *pane, const std::function<QString()> &write) {
    pane->setUnmodified();
    emit saveStarted(pane);
    const QString error = write();
    if (!error.isEmpty())
        emit saveFailed(pane);
    return error;
}

void WorkbenchTools::saveOverSource() {
    if (!c.Text1 || !c.RtbOld || c.Text1->text().isEmpty() || m_save)
        return;
    if (Dialogs::current().message(m_window, QStringLiteral("确认替换保存?"), Dialogs::Icon::Question,
                                   Dialogs::Buttons::YesNo, AppInfo::Title) != Dialogs::Answer::Yes)
        return;
    const std::optional<SourceSave> save = planSourceSave();
    if (!save)
        return;
    const auto write = [path = save->path, text = save->text, plan = save->plan] {
        return TextCodec::writeFile(path, text, plan.encoding, plan.bom);
    };
    if (save->text.size() < BackgroundSize) {
        reportSave(writeNow(c.RtbOld, write));
        return;
    }
    if (c.Command7)
        c.Command7->setEnabled(false);
    c.RtbOld->setUnmodified();
    emit saveStarted(c.RtbOld);
    m_save = new QFutureWatcher<QString>(this);
    connect(m_save, &QFutureWatcher<QString>::finished, this, [this] {
        const QString error = m_save->future().resultCount() > 0 ? m_save->result() : QStringLiteral("已取消");
        m_save->deleteLater();
        m_save = nullptr;
        if (c.Command7)
            c.Command7->setEnabled(true);
        if (!error.isEmpty())
            emit saveFailed(c.RtbOld);
        reportSave(error);
    });
    m_save->setFuture(
        WorkerPool::program().run<QString>(CancelToken(), [write](const CancelToken &) { return write(); }));
}

bool WorkbenchTools::saveOverSourceNow() {
    // A save still on its worker ends first, so the newer text is the one that stays.
    if (m_save)
        m_save->waitForFinished();
    const std::optional<SourceSave> save = planSourceSave();
    if (!save)
        return false;
    const QString error = writeNow(c.RtbOld, [&save] {
        return TextCodec::writeFile(save->path, save->text, save->plan.encoding, save->plan.bom);
    });
    if (!error.isEmpty())
        showError(QStringLiteral("保存失败：") + error);
    return error.isEmpty();
}

void WorkbenchTools::reportSave(const QString &error) {
    if (!error.isEmpty())
        showError(QStringLiteral("保存失败：") + error);
    emit saveFinished();
}

bool WorkbenchTools::saveAs(TextPane *pane, bool proposeFromAddress) {
    if (!pane)
        return false;
    if (proposeFromAddress && c.Text5) {
        QString extension;
        m_dialogFileName = Module1::SplitFileName(c.Text5->text(), false, extension);
    }
    Dialogs::FileRequest request;
    request.fileName = m_dialogFileName;
    request.filters = {QStringLiteral("*.js"), QStringLiteral("*.txt")};
    request.defaultSuffix = QStringLiteral("js");
    const QString chosen = Dialogs::current().saveFile(m_window, request);
    if (chosen.isEmpty())
        return false; // cancelled: nothing written, nothing said
    m_dialogFileName = chosen;
    const QString error = writeNow(pane, [pane, &chosen] { return pane->saveFile(chosen); });
    if (!error.isEmpty())
        showError(QStringLiteral("保存失败：") + error);
    return error.isEmpty();
}

void WorkbenchTools::wordWrapClicked(QCheckBox *box, TextPane *pane) {
    if (box)
        Module1::SetWordWrap(pane, checkValue(box->checkState()));
}

void WorkbenchTools::scriptSelected() {
    // The button stays disabled for the whole of a fetch; its end enables it.
    if (c.Combo1 && m_command4 && !m_fetch)
        m_command4->setEnabled(isHttpAddress(c.Combo1->currentText()));
}

void WorkbenchTools::download() {
    if (!m_command4 || !c.Combo1 || m_fetch)
        return;
    m_command4->setEnabled(false);
    const QString address = c.Combo1->currentText();
    if (!isHttpAddress(address) || !m_rtbDown) {
        finishDownload();
        return;
    }
    m_rtbDown->setText(QString());
    if (m_text5)
        m_text5->setText(address);
    // Asynchronous: the window and every other window stay usable while the transfer runs.
    m_fetch = ScriptFetch::download(address, this);
    connect(m_fetch, &ScriptFetch::finished, this, [this] {
        ScriptFetch *fetch = m_fetch;
        m_fetch = nullptr;
        if (!fetch)
            return;
        const FetchResult result = fetch->result();
        fetch->deleteLater();
        if (result.failed) {
            if (m_rtbDown)
                m_rtbDown->setText(QString());
            showError(QStringLiteral("下载失败：") + result.reason);
        } else if (m_rtbDown) {
            m_rtbDown->setText(result.text);
        }
        finishDownload();
    });
}

void WorkbenchTools::finishDownload() {
    if (m_command4)
        m_command4->setEnabled(true);
    emit downloadFinished();
}

void WorkbenchTools::reload() {
    if (!c.RtbOld || m_reload)
        return;
    c.RtbOld->setText(QString());
    const QString path = source().path;
    if (!FileExists(path)) {
        showError(QStringLiteral("是网址或者文件不存在！"));
        emit reloadFinished();
        return;
    }
    if (QFileInfo(path).size() < BackgroundSize) {
        finishReload(TextCodec::readFile(path));
        return;
    }
    // A large file is read and decoded on a worker; the window stays usable and closing it stops the read.
    if (c.Command1)
        c.Command1->setEnabled(false);
    m_reloadToken = CancelToken();
    m_reload = new QFutureWatcher<TextCodec::FileText>(this);
    connect(m_reload, &QFutureWatcher<TextCodec::FileText>::finished, this, [this] {
        TextCodec::FileText file;
        if (m_reload->future().resultCount() > 0)
            file = m_reload->result();
        m_reload->deleteLater();
        m_reload = nullptr;
        if (c.Command1)
            c.Command1->setEnabled(true);
        finishReload(file);
    });
    m_reload->setFuture(WorkerPool::program().run<TextCodec::FileText>(
        m_reloadToken, [path](const CancelToken &token) { return TextCodec::readFile(path, token); }));
}

void WorkbenchTools::finishReload(const TextCodec::FileText &file) {
    // The pane holds the file alone now (or nothing): the source forgets the collection's header.
    std::optional<TextCodec::Encoding> readAs;
    if (!file.ok) {
        c.RtbOld->setText(QString());
        showError(file.error.isEmpty() ? QStringLiteral("无法读取文件：") + source().path : file.error);
    } else {
        c.RtbOld->setText(file.text);
        readAs = TextCodec::Encoding{file.encoding, file.bom};
    }
    if (c.sourceReloaded)
        c.sourceReloaded(readAs);
    emit reloadFinished();
}
