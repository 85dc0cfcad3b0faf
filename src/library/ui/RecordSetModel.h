#pragma once
// A read-only table model over a record set: one column per field, headed by the field's name.
// The record set is read in full when it opens, so rows come straight from memory.

#include "library/DataAccess.h"

#include <QAbstractTableModel>

class RecordSetModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows `records` (not owned; nullptr detaches and leaves the model empty).
    void setRecordSet(const DataAccess::RecordSet *records);
    const DataAccess::RecordSet *recordSet() const { return records_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    const DataAccess::RecordSet *records_ = nullptr;
};
