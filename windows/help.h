#pragma once

#include <QMainWindow>
#include <QPrinter>

#include <memory>

class Dialogs;
class SystemDialogs;
class QAction;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QWidget;

// The document viewer: one window for the regulation, the instructions and the help. It shows
// a rich-text file read-only, searches it forward and prints it.
class THelpForm : public QMainWindow {
    Q_OBJECT

public:
    // `dialogs` and `systemDialogs` are not owned and must outlive the window.
    THelpForm(Dialogs &dialogs, SystemDialogs &systemDialogs, QWidget *parent = nullptr);

    // Loads `fileName` (a bare name, looked up as LocateDocument says) and shows the window
    // with `caption`, word wrap on or off. A file that cannot be read is reported; the view
    // then keeps what it showed and the window is not shown.
    void ShowDocument(const QString &caption, const QString &fileName, bool wordWrap);

    // --- Handlers ---
    void FormResize();
    void Button1Click();
    void Edit1Change(); // bound to a click into Edit1, not to typing
    void Edit1KeyPress(QChar key);
    void Drucken1Click();
    void Schlieen1Click();

    // One search step for the text of Edit1, from SearchPos.
    void FindNext();

    // The character position where the next search starts; -1 after a failed search.
    int SearchPos = 0;

    // A search covers this many characters from SearchPos on.
    static constexpr int kSearchRange = 150000;

    // --- Controls ---
    QTextEdit *RichEdit1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QWidget *Panel1 = nullptr;
    QPushButton *Button1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QAction *Drucken1 = nullptr;
    QAction *Schlieen1 = nullptr;
    // The printer that the print dialog sets up, made when first needed so that showing a
    // document does not ask the print system anything.
    QPrinter &PrintDialog1Printer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Dialogs &m_dialogs;
    SystemDialogs &m_systemDialogs;
    QWidget *m_client = nullptr; // holds RichEdit1 and Panel1
    std::unique_ptr<QPrinter> m_printer;
};
