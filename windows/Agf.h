#pragma once

#include <QDialog>

// "Fächer und Aufgabenfelder": the subjects with their abbreviations by Aufgabenfeld.
class TAGFForm : public QDialog {
    Q_OBJECT

public:
    explicit TAGFForm(QWidget *parent = nullptr);
};
