#include "shell/main.h"

// "&Neu", "&Öffnen", "&Speichern" and "Speichern &unter...".

void TMainForm::NeuClick() {}

void TMainForm::OeffnenClick() {}

void TMainForm::SpeichernClick() { WriteDataFile(); }

void TMainForm::Speichernunter1Click() {}

void TMainForm::WriteDataFile() {}
