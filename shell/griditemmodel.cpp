#include "shell/griditemmodel.h"

#include "rules/grid.h"

GridItemModel::GridItemModel(GridModel *grid, QObject *parent) : QAbstractTableModel(parent), m_grid(grid) {
    connect(grid, &GridModel::cellChanged, this, [this](int column, int row) {
        if (row >= GridModel::kDisplayedRows)
            return; // the spare row is never shown
        const QModelIndex changed = index(row, column);
        static const QList<int> textRoles = {Qt::DisplayRole, Qt::EditRole};
        emit dataChanged(changed, changed, textRoles);
    });
}

int GridItemModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : GridModel::kDisplayedRows;
}

int GridItemModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : GridModel::kColumns;
}

QVariant GridItemModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_grid->cell(index.column(), index.row());
    return QVariant();
}

bool GridItemModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !GridModel::isDataCell(index.column(), index.row()))
        return false;
    m_grid->setCell(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags GridItemModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (GridModel::isDataCell(index.column(), index.row()))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    // Label cells can never become the current cell.
    return Qt::NoItemFlags;
}
