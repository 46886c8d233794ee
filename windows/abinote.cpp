#include "windows/abinote.h"

TAbiNoteForm::TAbiNoteForm(QWidget *parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Berechnung der Abinote"));
}
