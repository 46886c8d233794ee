#pragma once

#include "sheet/sheetlayout.h"

#include <QDialog>

class ChoiceTest;
class Dialogs;
class GridModel;
class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;

// On a machine without any printer, points `printer` at Qt's PDF output: an A4 file
// "Fachlesebogen.pdf" in the user's documents folder (or home folder). Leaves a printer alone
// whose output file was already chosen, e.g. in the print dialog.
void UsePdfWhenNoPrinter(QPrinter &printer);

// Paints `texts` on the page that `painter` is open on, in 0.1 mm units from the top-left
// corner of the printable area, each text by the top-left corner of its character cell, in
// "Times New roman". `dotsPerInch` is the resolution of the painter's device.
void PaintSheet(QPainter &painter, int dotsPerInch, const QList<SheetText> &texts);

// "Fachlesebogen drucken": asks for the pupil's personal data and prints the sheet.
class TPrintForm : public QDialog {
    Q_OBJECT

public:
    // None of the references is owned; all must outlive the window. `printer` is the one
    // printer object that "Drucker einrichten" sets up.
    TPrintForm(GridModel &grid, ChoiceTest &test, Dialogs &dialogs, QPrinter &printer,
               QWidget *parent = nullptr);

    // --- Handlers ---
    void FormShow();
    void E_NachnameChange(); // bound to the change of all four edits
    void B_CancelClick();
    void B_PrintClick();

    // Prints the one-page sheet on the shared printer, with the course block rebuilt from the
    // grid. True when the printing layer reported no error; otherwise its error was shown.
    bool PrintSheet();

    // --- Controls (children of this window) ---
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *B_Print = nullptr;
    QPushButton *B_Cancel = nullptr;
    QLineEdit *E_Nachname = nullptr;
    QLineEdit *E_Klasse = nullptr;
    QLineEdit *E_Vorname = nullptr;
    QLineEdit *E_Datum = nullptr;

    static const QString kCaption;

    // Centres the window over the main window each time it is shown.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    PersonalData personalData() const;

    GridModel &m_grid;
    ChoiceTest &m_test;
    Dialogs &m_dialogs;
    QPrinter &m_printer;
};
