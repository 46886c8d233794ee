#include "rules/grid.h"

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

QString GridModel::cell(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kStoredRows)
        return QString();
    return m_cells[column][row];
}

void GridModel::setCell(int column, int row, const QString &text) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kStoredRows)
        return;
    if (m_cells[column][row] == text)
        return;
    m_cells[column][row] = text;
    if (row < kDisplayedRows) {
        const QModelIndex changed = index(row, column);
        static const QList<int> textRoles = {Qt::DisplayRole, Qt::EditRole};
        emit dataChanged(changed, changed, textRoles);
    }
}

int GridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kDisplayedRows;
}

int GridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant GridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.column(), index.row());
    return QVariant();
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !isDataCell(index.column(), index.row()))
        return false;
    setCell(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isDataCell(index.column(), index.row()))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    // Label cells can never become the current cell.
    return Qt::NoItemFlags;
}
