#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QTableWidget;
class PointsGridDelegate;

// "Berechnung der Abinote": the pupil types the points of 22 Grundkurse into the one-row grid
// SG_GK; L_GK shows their sum as soon as all 22 entries are valid. Nothing is stored and
// nothing else of the program is read.
class TAbiNoteForm : public QWidget {
    Q_OBJECT

public:
    explicit TAbiNoteForm(QWidget *parent = nullptr);

    // --- Handlers ---
    // Fills the header cells: "GK" at (0, 0), "P" at (0, 1), the numbers 1 ... 22 in row 0.
    void FormCreate();
    // Runs after every key release in the grid and in its cell editor; the key and the shift
    // state are not used. Sets L_GK to the sum of the 22 point cells when each holds an integer
    // 1 ... 15, else to "?".
    void SG_GKKeyUp(int key, Qt::KeyboardModifiers shift);

    // The text of SG_GK's cell (column, row). For the cell being edited it is the editor's
    // current text, so that what was just typed counts.
    QString GridCell(int column, int row) const;

    // --- Controls (owned by the window) ---
    QGroupBox *GroupBox2 = nullptr; // " Block I   "
    QLabel *Label2 = nullptr;
    QTableWidget *SG_GK = nullptr;
    QLabel *Label1 = nullptr; // "Punkte"
    QLabel *L_GK = nullptr;   // the result

    static constexpr int kPointColumns = 22;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PointsGridDelegate *m_delegate = nullptr; // owned by SG_GK
};
