#include "rules/grid.h"

GridModel::GridModel(QObject *parent) : QObject(parent) {}

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
    emit cellChanged(column, row);
}
