#pragma once

#include <QWidget>

// "Berechnung der Abinote": sums the points of 22 Grundkurse.
class TAbiNoteForm : public QWidget {
    Q_OBJECT

public:
    explicit TAbiNoteForm(QWidget *parent = nullptr);
};
