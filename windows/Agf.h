#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

// "Fächer und Aufgabenfelder": the subjects with their abbreviations by Aufgabenfeld. The main
// window's "&Fächer" shows it without a modal loop; "OK" closes (hides) it.
class TAGFForm : public QDialog {
    Q_OBJECT

public:
    explicit TAGFForm(QWidget *parent = nullptr);

    // --- Handlers ---
    // Closes the window: ends a modal loop if there is one, else hides the window.
    void Button1Click();

    // --- Controls (owned by the window) ---
    QGroupBox *GroupBox1 = nullptr; // " Aufgabenfeld A "
    QGroupBox *GroupBox2 = nullptr; // " Aufgabenfeld B "
    QGroupBox *GroupBox3 = nullptr; // " Aufgabenfeld C "
    QGroupBox *GroupBox4 = nullptr; // "Sport"
    QPushButton *Button1 = nullptr;

    static constexpr int kClientWidth = 386;
    static constexpr int kClientHeight = 241;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
