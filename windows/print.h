#pragma once

#include <QDialog>

class ChoiceTest;
class Dialogs;
class GridModel;
class QPrinter;

// "Fachlesebogen drucken": asks for the pupil's personal data and prints the sheet.
class TPrintForm : public QDialog {
    Q_OBJECT

public:
    // None of the references is owned; all must outlive the window. `printer` is the one
    // printer object that "Drucker einrichten" sets up.
    TPrintForm(GridModel &grid, ChoiceTest &test, Dialogs &dialogs, QPrinter &printer, QWidget *parent = nullptr);

private:
    GridModel &m_grid;
    ChoiceTest &m_test;
    Dialogs &m_dialogs;
    QPrinter &m_printer;
};
