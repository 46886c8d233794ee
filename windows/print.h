#pragma once

#include "rules/datafile.h"
#include "sheet/sheetlayout.h"

#include <QDialog>

#include <functional>

class ChoiceTest;
class Dialogs;
class GridModel;
class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;

// The folder a sheet goes to as a PDF file when there is no printer: the user's Documents
// folder, or the home folder when there is none.
QString PdfFolder();

// Takes a name for a sheet saved as a PDF file in `folder`: "Fachlesebogen <surname> <first
// name>.pdf", with " (2)", " (3)", ... before ".pdf" while that name is taken. The file is
// created empty, so that no other sheet takes the same name before this one is written.
// Characters that a file name cannot hold become "_".
QString ReservePdfFile(const QString &folder, const QString &surname, const QString &firstName);

// Paints `texts` on the page that `painter` is open on, in 0.1 mm units from the top-left
// corner of the printable area, each text by the top-left corner of its character cell, in
// "Times New roman". `dotsPerInch` is the resolution of the painter's device.
void PaintSheet(QPainter &painter, int dotsPerInch, const QList<SheetText> &texts);

// "Fachlesebogen drucken": asks for the pupil's personal data and prints the sheet.
class TPrintForm : public QDialog {
    Q_OBJECT

public:
    // None of the references is owned; all must outlive the window. `printer` gives the one
    // printer object that "Drucker einrichten" sets up; it is asked for only when printing.
    TPrintForm(GridModel &grid, ChoiceTest &test, Dialogs &dialogs, std::function<QPrinter &()> printer,
               QWidget *parent = nullptr);

    // --- Handlers ---
    void FormShow();
    void E_NachnameChange(); // bound to the change of all four edits
    void B_CancelClick();
    void B_PrintClick();

    // Prints the one-page sheet on the shared printer, with the course block rebuilt from the
    // grid. On a machine without any printer, and unless the print dialog chose a file, the
    // sheet goes to a new PDF file (ReservePdfFile in PdfFolder). True when the printing layer
    // reported no error; otherwise its error was shown.
    bool PrintSheet();

    // The four edits as the pupil's identity, and setting all four at once.
    PupilIdentity Identity() const;
    void SetIdentity(const PupilIdentity &identity);

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
    std::function<QPrinter &()> m_printer;
    QString m_pdfFallback; // the file the last sheet went to for want of a printer
};
