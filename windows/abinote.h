#pragma once

#include "rules/abitur.h"

#include <QWidget>

#include <functional>

class Dialogs;
class SystemDialogs;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class PointsGridDelegate;

// "Berechnung der Abinote": Block I (the 22 Grundkurse in the one-row grid SG_GK, whose sum
// L_GK shows as soon as all 22 entries are valid, and the six Leistungskurse), Block II (the
// four exam subjects), the result after the model of abitur.ini, what the examinations still
// need, and the points kept in a small file.
class TAbiNoteForm : public QWidget {
    Q_OBJECT

public:
    // The text of the main window's grid cell (column, row); headings name the subjects found
    // there. Without it the headings name the rows ("LK 1", "PK 3").
    using GridCells = std::function<QString(int column, int row)>;

    // `dialogs` and `systemDialogs` are not owned and must outlive the window. The model is
    // read from abitur.ini in `modelFolders` (see LoadAbiturModel); a faulty file is reported.
    TAbiNoteForm(Dialogs &dialogs, SystemDialogs &systemDialogs, GridCells gridCells = {},
                 const QStringList &modelFolders = {}, QWidget *parent = nullptr);

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

    // Block I: LK 1 semesters 1 ... 3, then LK 2; Block II: per exam subject (LK 1, LK 2, PK 3,
    // PK 4) the course of semester 4 and the examination, and the heading of each row.
    std::array<QLabel *, kAbiturLeistungskurse> L_LKKopf{};
    std::array<QLineEdit *, kAbiturLeistungskurse> E_LK{};
    std::array<QLabel *, kAbiturExamSubjects> L_PFKopf{};
    std::array<QLineEdit *, kAbiturExamSubjects> E_Kurs4{};
    std::array<QLineEdit *, kAbiturExamSubjects> E_Pruefung{};
    std::array<QLabel *, kAbiturExamSubjects> L_PFSumme{};
    QLabel *L_Modell = nullptr; // "Berechnung nach: ..."
    QPushButton *B_Speichern = nullptr;
    QPushButton *B_Oeffnen = nullptr;
    // Ergebnis: the areas and the total, a line per condition, the verdict.
    QList<QLabel *> L_Bereiche;
    QList<QLabel *> L_Bedingungen;
    QLabel *L_Ergebnis = nullptr;
    // "Was brauche ich?"
    QDoubleSpinBox *SE_Zielnote = nullptr;
    QLabel *L_Brauche = nullptr;

    const AbiturModel &Model() const { return m_model; }
    // The points as the cells hold them: integers 0 ... 15, anything else counts as missing.
    AbiturEntries Entries() const;
    void SetEntries(const AbiturEntries &entries);

    // Reads the subjects of the main window's grid into the headings again.
    void FollowGrid();
    // Computes the result and "Was brauche ich?" from the cells.
    void Recalculate();
    void B_SpeichernClick();
    void B_OeffnenClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createBlockTwo();

    PointsGridDelegate *m_delegate = nullptr; // owned by SG_GK
    Dialogs &m_dialogs;
    SystemDialogs &m_systemDialogs;
    GridCells m_gridCells;
    AbiturModel m_model;
    QString m_fileName;         // the points file last saved or opened
    AbiturEntries m_keptEntries; // the points as last saved or opened
};
