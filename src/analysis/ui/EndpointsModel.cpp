#include "analysis/ui/EndpointsModel.h"

#include "analysis/ui/EndpointTable.h"
#include "util/FreeOnPool.h"

using namespace EndpointTable;

void EndpointsModel::setEndpoints(const QList<Decompose::Endpoint> &endpoints) {
    beginResetModel();
    freeOnPool(std::exchange(m_endpoints, endpoints));
    endResetModel();
}

int EndpointsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_endpoints.size());
}

int EndpointsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EndpointsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_endpoints.size())
        return QVariant();
    const Decompose::Endpoint &e = m_endpoints.at(index.row());
    if (role == Qt::DisplayRole) {
        if (index.column() == Script)
            return e.script;
        if (index.column() == Line)
            return e.line;
        return cell(e, index.column());
    }
    if (role == Qt::ToolTipRole && index.column() == Address && !e.resolved.isEmpty())
        return e.resolved;
    return QVariant();
}

QVariant EndpointsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return headers().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
