#pragma once
// The library browser: the name and address of every stored function, sorted by name, the number of
// entries, and a button that empties the library. Works as a top-level window or as an MDI child.

#include "library/DataAccess.h"
#include "library/ModuleDataBase.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QTableView;
class RecordSetModel;

class fModel : public QWidget {
    Q_OBJECT
public:
    static inline const QString ClearQuestion =
        QStringLiteral("确定要清空库存吗？库中的全部函数样板都将删除。");

    explicit fModel(QWidget *parent = nullptr);
    ~fModel() override;

    // (Re)loads the grid and the count from the library.
    void 显示数据();
    // Detaches the grid and closes the listing and the connection.
    void 关闭数据库();
    // "清空库存": after a 是 to ClearQuestion, empties the library, compacts it and reloads.
    void Command1_Click();

    QTableView *const DataGrid1;
    QLabel *const Label1;
    QPushButton *const Command1;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void detachGrid();
    bool isMinimised() const;
    void layoutGrid();

    RecordSetModel *const model_;
    ModuleDataBase::Connection connection_;
    std::unique_ptr<DataAccess::RecordSet> records_;
    int gridTopTwips_;
};
