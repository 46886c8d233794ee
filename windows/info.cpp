#include "windows/info.h"

TInfoForm::TInfoForm(QWidget *parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Programminformationen")); }
