#include "windows/Agf.h"

TAGFForm::TAGFForm(QWidget *parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Fächer und Aufgabenfelder")); }
