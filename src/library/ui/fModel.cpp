#include "library/ui/fModel.h"

#include "library/BrowserLayout.h"
#include "library/ui/LibraryMessages.h"
#include "library/ui/RecordSetModel.h"
#include "platform/ui/Dialogs.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <cmath>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Places of the controls in twips.
constexpr int ButtonLeft = 120, ButtonTop = 120, ButtonWidth = 1215, ButtonHeight = 375;
constexpr int LabelLeft = 1560, LabelTop = 180, LabelWidth = 4000, LabelHeight = 255;
constexpr int GridTop = 600;
constexpr int NameColumnWidth = 3000;
constexpr int InitialWidth = 12000, InitialHeight = 8000;

int pxX(const QWidget *w, int twips) {
    return Twips::twipsToPixels(twips, w->logicalDpiX());
}
int pxY(const QWidget *w, int twips) {
    return Twips::twipsToPixels(twips, w->logicalDpiY());
}
int twX(const QWidget *w, int pixels) {
    return Twips::pixelsToTwips(pixels, w->logicalDpiX());
}
int twY(const QWidget *w, int pixels) {
    return Twips::pixelsToTwips(pixels, w->logicalDpiY());
}

} // namespace

fModel::fModel(QWidget *parent)
    : QWidget(parent), DataGrid1(new QTableView(this)), Label1(new QLabel(QStringLiteral("Label1"), this)),
      Command1(new QPushButton(QStringLiteral("清空库存"), this)), model_(new RecordSetModel(this)),
      gridTopTwips_(GridTop) {
    LibraryMessages::ensureInstalled();
    setWindowTitle(QStringLiteral("库存JS函数模板"));

    Command1->setGeometry(pxX(this, ButtonLeft), pxY(this, ButtonTop), pxX(this, ButtonWidth),
                          pxY(this, ButtonHeight));
    Label1->setGeometry(pxX(this, LabelLeft), pxY(this, LabelTop), pxX(this, LabelWidth),
                        pxY(this, LabelHeight));

    DataGrid1->setModel(model_);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid1->setWordWrap(false);
    DataGrid1->verticalHeader()->setDefaultSectionSize(DataGrid1->fontMetrics().height() + 6);
    DataGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DataGrid1->horizontalHeader()->setStretchLastSection(true);
    DataGrid1->horizontalHeader()->setDefaultSectionSize(pxX(this, NameColumnWidth));
    DataGrid1->setGeometry(0, pxY(this, gridTopTwips_), 0, 0);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    resize(pxX(this, InitialWidth), pxY(this, InitialHeight));
    显示数据();
}

fModel::~fModel() {
    关闭数据库();
}

void fModel::detachGrid() {
    model_->setRecordSet(nullptr);
}

void fModel::显示数据() {
    关闭数据库(); // detaches the grid and releases the listing and the connection
    DataGrid1->viewport()->update();

    QString path = ModuleDataBase::LibraryDbPath;
    QString password;
    if (!ModuleDataBase::OpenLibraryConnection(connection_, path, password))
        return;

    records_ = std::make_unique<DataAccess::RecordSet>();
    DataAccess::RecordSet count;
    // A file that opens but holds no readable library table is reported like a file in the wrong format.
    if (!records_->open(ModuleDataBase::ListingSql, *connection_) ||
        !count.open(ModuleDataBase::CountSql, *connection_)) {
        const QString reason = records_->state() == DataAccess::StateOpen ? count.errorDescription()
                                                                          : records_->errorDescription();
        关闭数据库();
        ModuleDataBase::ReportMessage(ModuleDataBase::MissingFileMessage + CrLf + reason);
        return;
    }
    model_->setRecordSet(records_.get());
    Label1->setText(QStringLiteral("函数总数:") + count.value(0, 0).toString());
    count.close();
}

void fModel::关闭数据库() {
    detachGrid();
    if (records_) {
        records_->close();
        records_.reset();
    }
    if (connection_) {
        connection_->close();
        connection_.reset();
    }
}

void fModel::Command1_Click() {
    // Every sample of the user's goes at once: only on a clear 是.
    if (Dialogs::current().message(this, ClearQuestion, Dialogs::Icon::Question, Dialogs::Buttons::NoYes) !=
        Dialogs::Answer::Yes)
        return;
    detachGrid();
    ModuleDataBase::ClearLibraryTable(QStringLiteral("CSS"));
    关闭数据库();
    ModuleDataBase::CompactLibraryDb(ModuleDataBase::LibraryDbPath, ModuleDataBase::LibraryDbPassword);
    显示数据();
}

bool fModel::isMinimised() const {
    // As an MDI child the minimised state belongs to the sub-window around this widget.
    for (const QWidget *w = this; w; w = w->parentWidget())
        if (w->windowState() & Qt::WindowMinimized)
            return true;
    return false;
}

void fModel::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutGrid();
}

void fModel::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // Coming back from minimised, catch up with a size given meanwhile.
    if (event->type() == QEvent::WindowStateChange)
        layoutGrid();
}

void fModel::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    layoutGrid();
}

void fModel::layoutGrid() {
    const QRect g = DataGrid1->geometry();
    const BrowserLayout::Rect current{twX(this, g.x()), gridTopTwips_, twX(this, g.width()),
                                      twY(this, g.height())};
    const BrowserLayout::Rect place =
        BrowserLayout::GridPlace(current, twX(this, width()), twY(this, height()), isMinimised());
    if (place == current)
        return;
    DataGrid1->setGeometry(pxX(this, place.left), pxY(this, place.top), pxX(this, place.width),
                           pxY(this, place.height));
}

void fModel::closeEvent(QCloseEvent *event) {
    关闭数据库();
    event->accept();
}
