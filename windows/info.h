#pragma once

#include <QDialog>

// The program information window: no border and no title bar; "OK" closes it.
class TInfoForm : public QDialog {
    Q_OBJECT

public:
    explicit TInfoForm(QWidget *parent = nullptr);
};
