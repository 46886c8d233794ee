#pragma once

#include <QObject>
#include <QString>

#include <array>

// The texts of the course grid. Five columns (0 ... 4) and twelve displayed rows (0 ... 11);
// column 0 and row 0 hold the labels, columns 1 ... 4 are the semesters and rows 1 ... 11
// the course rows LK 1, LK 2, PK 3, PK 4, GK 3 ... GK 9. The store keeps a spare row 12
// that is never displayed: the snapshot, "Neu", saving and opening cover it as well.
// Cells are addressed as (column, row), as everywhere in the program. Plain data: the item
// model that shows it is an adapter of the shell.
class GridModel : public QObject {
    Q_OBJECT

public:
    static constexpr int kColumns = 5;
    static constexpr int kDisplayedRows = 12;
    static constexpr int kStoredRows = 13; // rows 0 ... 12, row 12 is the spare row
    static constexpr int kSemesters = 4;
    static constexpr int kCourseRows = 11;
    static constexpr int kExamRows = 4;  // rows 1 ... 4: LK 1, LK 2, PK 3, PK 4
    static constexpr int kDataRows = 12; // rows 1 ... 12 that files and snapshots cover

    explicit GridModel(QObject *parent = nullptr);

    // The text of cell (column, row); empty outside the store.
    QString cell(int column, int row) const;

    // The stored text of a cell inside the store (0 <= column < 5, 0 <= row < 13), without
    // a copy; for the loops of the choice test.
    const QString &storedText(int column, int row) const { return m_cells[column][row]; }

    // Stores a text in cell (column, row), rows 0 ... 12; cellChanged follows when the text
    // differs from the one stored.
    void setCell(int column, int row, const QString &text);

    static bool isDataCell(int column, int row) {
        return column >= 1 && column <= kSemesters && row >= 1 && row <= kCourseRows;
    }

signals:
    void cellChanged(int column, int row);

private:
    std::array<std::array<QString, kStoredRows>, kColumns> m_cells;
};
