#pragma once

#include "rules/datafile.h"
#include "rules/grid.h"
#include "rules/test.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <utility>

class Dialogs;
class SystemDialogs;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QTimer;
class CourseGridView;
class TInfoForm;
class TAGFForm;
class THelpForm;
class TAbiNoteForm;
class TPrintForm;
class TPruefListeForm;

// The main window: the course grid, the menus, the six buttons and the timer that shows
// whether the grid holds a tested choice.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // `dialogs` and `systemDialogs` are not owned and must outlive the window.
    TMainForm(Dialogs &dialogs, SystemDialogs &systemDialogs, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Makes the five side windows available. Each is built, as a child of this window, when it
    // is first needed and then kept for the rest of the run, so that it keeps its content
    // between showings as if it had been there from the start.
    void CreateSideWindows();

    // --- Handlers ---
    void FormCreate();
    void FormShow();
    bool FormCloseQuery(); // true: the window may close
    void BeendenClick();
    void DruckereinrichtenClick();
    void DruckenClick();
    void B_TestenClick();
    void B_AbinoteClick();
    void UeberClick();
    void PrueflisteClick();
    void B_AGFClick();
    void B_VerordnungClick();
    void B_AnleitungClick();
    void ProgramminfoClick();
    void B_HilfeClick();
    void Timer1Timer();

    // Grid editing.
    void PopUpClick(QObject *sender);
    void StringGridSetEditText();
    void rechtsausfuellen1Click();
    void linksausfuellen1Click();
    void loeschen1Click();
    void AutoFillRow();

    // The data file.
    void NeuClick();
    void OeffnenClick();
    void SpeichernClick();
    void Speichernunter1Click();
    // Loads `fileName` as "&Öffnen" does once the file is chosen: refused files change nothing.
    // `nativeName`, when given, is the name by the bytes the system knows it by; a name that
    // is no valid text is opened by them, but not kept for "&Speichern", which could only
    // write to another name.
    void OpenDataFile(const QString &fileName, const QByteArray &nativeName = {});
    void WriteDataFile();
    // The pupil's name, class and date of birth: the print form's four fields, which are
    // opened and saved with the choice.
    PupilIdentity Identity() const;
    void SetIdentity(const PupilIdentity &identity);
    // The grid or the identity differs from what was last opened, saved or cleared.
    bool UnsavedChanges() const;
    // The question before "&Neu" and "&Öffnen" replace a changed grid: "&Ja" saves first,
    // "&Nein" goes on without saving, "&Abbrechen" stops. True: go on.
    bool SaveBeforeReplacing();
    // Saves as "&Speichern" does, or as "Speichern &unter..." while no file name is current.
    // True when the grid was saved; false when the dialog was cancelled or writing failed.
    bool SaveForQuestion();

    // The current cell (column, row).
    int Col() const;
    int Row() const;
    void setCurrentCell(int column, int row);

    // --- State ---
    GridModel *StringGrid = nullptr; // the texts; shown by StringGridView
    ChoiceTest Test;
    QString CurrentFileName;
    bool FirstShowPending = false;
    // The file named on the command line, opened when the first show is over; empty when none.
    QString StartupFileName;
    QByteArray StartupFileNative; // its bytes, where the system gave them

    // The one printer that "D&rucker einrichten ..." sets up and printing uses. It is made when
    // first needed, so that starting the program does not ask the print system anything.
    QPrinter &Printer();

    // --- Controls ---
    QGroupBox *StringGridBox = nullptr;
    CourseGridView *StringGridView = nullptr;
    QPushButton *B_Anleitung = nullptr;
    QPushButton *B_AGF = nullptr;
    QPushButton *B_Verordnung = nullptr;
    QPushButton *B_Abinote = nullptr;
    QPushButton *B_Hilfe = nullptr;
    QPushButton *B_Testen = nullptr;
    QLabel *Image1 = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *PopupMenu1 = nullptr;

    QAction *Neu = nullptr;
    QAction *Oeffnen = nullptr;
    QAction *Speichern = nullptr;
    QAction *Speichernunter1 = nullptr;
    QAction *Drucken = nullptr;
    QAction *Druckereinrichten = nullptr;
    QAction *Beenden = nullptr;
    QAction *Programminfo = nullptr;
    QAction *Pruefliste = nullptr;
    QAction *Ueber = nullptr;
    QAction *rechtsausfuellen1 = nullptr;
    QAction *linksausfuellen1 = nullptr;
    QAction *loeschen1 = nullptr;
    // The 21 subject items of the context menu, indexed by subject code (entry 0 unused).
    std::array<QAction *, 22> SubjectItems{};

    // --- Side windows (children of this window, built on first use) ---
    // Null until CreateSideWindows has run.
    TInfoForm *InfoForm();
    TAGFForm *AGFForm();
    THelpForm *HelpForm();
    TAbiNoteForm *AbiNoteForm();
    TPrintForm *PrintForm();
    TPruefListeForm *PrueflisteForm();

    // Makes cell (column, firstRow) current and selects the cells of `column` down to `lastRow`.
    void selectCells(int column, int firstRow, int lastRow);

    static const QString kCaption;
    // "Willst du die eingegebenen Daten nicht erst speichern?"
    static const QString kSaveQuestion;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createMenus();
    void createCellMenu();
    void createControls();
    void showCellMenu(const QPoint &globalPos);
    void setFileCaption();
    void setCurrentCellForNotice(int column, int row);
    static void showWindow(QWidget *window);

    Dialogs &m_dialogs;
    SystemDialogs &m_systemDialogs;
    std::unique_ptr<QPrinter> m_printer;
    bool m_sideWindows = false; // CreateSideWindows has run
    TInfoForm *m_infoForm = nullptr;
    TAGFForm *m_agfForm = nullptr;
    THelpForm *m_helpForm = nullptr;
    TAbiNoteForm *m_abiNoteForm = nullptr;
    TPrintForm *m_printForm = nullptr;
    PupilIdentity m_identity;      // while the print form is not built
    PupilIdentity m_savedIdentity; // as last opened, saved or cleared
    TPruefListeForm *m_prueflisteForm = nullptr;
    bool m_firstShowRunning = false;
    bool m_iconPending = true; // the window icon is set after the first show
    // The cell a typed-change notice is about, while it is handled.
    std::optional<std::pair<int, int>> m_noticeCell;
};
