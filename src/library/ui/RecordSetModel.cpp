#include "library/ui/RecordSetModel.h"

void RecordSetModel::setRecordSet(const DataAccess::RecordSet *records) {
    beginResetModel();
    records_ = records;
    endResetModel();
}

int RecordSetModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !records_ ? 0 : records_->rowCount();
}

int RecordSetModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() || !records_ ? 0 : records_->fieldCount();
}

QVariant RecordSetModel::data(const QModelIndex &index, int role) const {
    if (!records_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return records_->value(index.row(), index.column());
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation != Qt::Horizontal || !records_)
        return QVariant();
    return records_->fieldName(section);
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
