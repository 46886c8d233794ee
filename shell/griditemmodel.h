#pragma once

#include <QAbstractTableModel>

class GridModel;

// The texts of a GridModel as a Qt table model: its five columns and twelve displayed rows.
// Data cells are editable; label cells can never become the current cell.
class GridItemModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridItemModel(GridModel *grid, QObject *parent = nullptr);

    GridModel *grid() const { return m_grid; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    GridModel *m_grid;
};
