#include "windows/print.h"

TPrintForm::TPrintForm(GridModel &grid, ChoiceTest &test, Dialogs &dialogs, QPrinter &printer, QWidget *parent)
    : QDialog(parent), m_grid(grid), m_test(test), m_dialogs(dialogs), m_printer(printer) {
    setWindowTitle(QStringLiteral("Fachlesebogen drucken"));
}
