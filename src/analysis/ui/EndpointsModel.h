#pragma once
// The findings of "网址调用" as a table model: one row per address, in text order, the columns of
// EndpointTable. Script and line are numbers, so a sort by them is numeric; the address's tooltip is the
// address resolved against the page. A new list goes in with one reset, however long it is.

#include "decompose/Endpoint.h"

#include <QAbstractTableModel>

class EndpointsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEndpoints(const QList<Decompose::Endpoint> &endpoints);
    const QList<Decompose::Endpoint> &endpoints() const { return m_endpoints; }
    const Decompose::Endpoint &endpoint(int row) const { return m_endpoints.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Decompose::Endpoint> m_endpoints;
};
