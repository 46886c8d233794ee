#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The program information window: no border and no title bar; "OK" closes it. The main window
// shows it modally at its first show and without a modal loop from "&über ...".
class TInfoForm : public QDialog {
    Q_OBJECT

public:
    explicit TInfoForm(QWidget *parent = nullptr);

    // --- Handlers ---
    void FormCreate();
    // Closes the window: ends the modal loop when shown modally, else hides the window.
    void Button1Click();

    // --- Controls (owned by the window) ---
    QFrame *Panel2 = nullptr; // fills the window
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Image1 = nullptr;
    QFrame *Panel1 = nullptr; // holds Label6 ... Label11
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QPushButton *Button1 = nullptr;

    static constexpr int kClientWidth = 465;
    static constexpr int kClientHeight = 275;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
