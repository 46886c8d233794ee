#include "shell/main.h"

#include "rules/dialogs.h"
#include "rules/folders.h"
#include "rules/gridediting.h"
#include "shell/coursegridmodel.h"
#include "shell/coursegridview.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/groupframe.h"
#include "windows/help.h"
#include "windows/info.h"
#include "windows/pictures.h"
#include "windows/placement.h"
#include "windows/print.h"
#include "windows/pruefliste.h"
#include "windows/systemdialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

const QString TMainForm::kCaption = QStringLiteral("Fachlese " FACHLESE_VERSION "  IGS-Brunsmark");
const QString TMainForm::kSaveQuestion = QStringLiteral("Willst du die eingegebenen Daten nicht erst speichern?");

namespace {
// The main window's layout, in pixels of the client area.
constexpr int kClientWidth = 501;
constexpr int kClientHeight = 319;
constexpr QRect kGridBoxGeometry(0, 0, kClientWidth, 280); // " Kurse ", along the top
constexpr QRect kGridGeometry(9, 14, 480, 258);            // inside the group box
constexpr int kHeaderRowHeight = 22;                       // row 0, the semesters
constexpr int kCellHeight = 20;                            // rows 1 ... 11
constexpr int kLabelColumnWidth = 42;                      // column 0, the row labels
constexpr int kSemesterColumnWidth = 107;                  // columns 1 ... 4
constexpr int kButtonTop = 287;                            // the six buttons in one line
constexpr int kButtonHeight = 25;
constexpr QRect kImageGeometry(342, 281, 33, 33); // "Wahl o.k.", between "Hilfe" and "Wahl testen"
constexpr QSize kImagePictureSize(32, 32);
constexpr int kTimerInterval = 1000; // ms
constexpr int kGridLine = 1;         // the line between two cells

QPushButton *makeButton(QWidget *parent, int left, int width, const QString &caption, const QString &hint) {
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(left, kButtonTop, width, kButtonHeight);
    button->setAutoDefault(false);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}
} // namespace

TMainForm::TMainForm(Dialogs &dialogs, SystemDialogs &systemDialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      StringGrid(new GridModel(this)), Test(*StringGrid, dialogs), m_dialogs(dialogs),
      m_systemDialogs(systemDialogs) {
    createControls();
    createMenus();
    createCellMenu();
    FormCreate();
    FirstShowPending = true;
    // A fixed-size window, centred on the screen when first shown.
    setFixedSize(sizeHint());
    CentreOnScreen(this, frameGeometry().size());

    Test.AlertSound = [this] { m_systemDialogs.beep(); };
    Test.OpenPrintForm = [this] {
        if (TPrintForm *form = PrintForm())
            showWindow(form);
    };
}

TMainForm::~TMainForm() {
    // The grid view outlives this part of the window while the base class deletes the
    // children; an editor that commits then must no longer reach the handlers here.
    if (StringGridView)
        StringGridView->disconnect(this);
}

void TMainForm::createControls() {
    auto *client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    StringGridBox = new ClassicGroupBox(QStringLiteral(" Kurse "), client);
    StringGridBox->setGeometry(kGridBoxGeometry);

    StringGridView = new CourseGridView(StringGridBox);
    StringGridView->setGeometry(kGridGeometry);
    StringGridView->setAccessibleName(QStringLiteral("Kurse"));
    StringGridView->setModel(new CourseGridModel(StringGrid, this));
    StringGridView->verticalHeader()->setDefaultSectionSize(kCellHeight + kGridLine);
    StringGridView->verticalHeader()->resizeSection(0, kHeaderRowHeight + kGridLine);
    connect(StringGridView, &CourseGridView::textEdited, this, [this](int column, int row) {
        // Every notice, the closing one included, is about the cell that was edited: when the
        // editor closes because another cell became current, the notice still names the
        // edited cell, and AutoFillRow works on that cell and never on the newly current one.
        setCurrentCellForNotice(column, row);
        StringGridSetEditText();
    });
    connect(StringGridView, &CourseGridView::cellMenuRequested, this,
            [this](const QPoint &globalPos) { showCellMenu(globalPos); });
    // A click on the grid itself does nothing but make a cell current.
    connect(StringGridView, &QAbstractItemView::clicked, this, [this] { PopUpClick(StringGridView); });

    B_Anleitung = makeButton(client, 5, 58, QStringLiteral("&Anleitung"),
                             QStringLiteral("Hilft bei der Auswahl der Kurse"));
    B_AGF = makeButton(client, 72, 47, QStringLiteral("&Fächer"),
                       QStringLiteral("Zeigt die Fächer und Aufgabenfelder"));
    B_Verordnung = makeButton(client, 128, 71, QStringLiteral("&Verordnung"),
                              QStringLiteral("Zeigt die offizielle Oberstufenverordnung"));
    B_Abinote = makeButton(client, 206, 51, QStringLiteral("A&binote"), QString());
    B_Hilfe = makeButton(client, 265, 53, QStringLiteral("&Hilfe"),
                         QStringLiteral("Hilft bei der Bedienung des Programms"));
    B_Testen =
        makeButton(client, 392, 99, QStringLiteral("&Wahl testen"), QStringLiteral("Testet Ihre Wahl"));
    QFont bold = B_Testen->font();
    bold.setBold(true);
    B_Testen->setFont(bold);

    setTabOrder(StringGridView, B_Anleitung);
    setTabOrder(B_Anleitung, B_AGF);
    setTabOrder(B_AGF, B_Verordnung);
    setTabOrder(B_Verordnung, B_Abinote);
    setTabOrder(B_Abinote, B_Hilfe);
    setTabOrder(B_Hilfe, B_Testen);

    connect(B_Anleitung, &QPushButton::clicked, this, &TMainForm::B_AnleitungClick);
    connect(B_AGF, &QPushButton::clicked, this, &TMainForm::B_AGFClick);
    connect(B_Verordnung, &QPushButton::clicked, this, &TMainForm::B_VerordnungClick);
    connect(B_Abinote, &QPushButton::clicked, this, &TMainForm::B_AbinoteClick);
    connect(B_Hilfe, &QPushButton::clicked, this, &TMainForm::B_HilfeClick);
    connect(B_Testen, &QPushButton::clicked, this, &TMainForm::B_TestenClick);

    Image1 = new QLabel(client); // its picture is drawn when it is first shown (Timer1Timer)
    Image1->setGeometry(kImageGeometry);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAccessibleName(QStringLiteral("Wahl o.k."));
    Image1->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer1->start();
}

void TMainForm::createMenus() {
    QMenu *datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    Neu = datei->addAction(QStringLiteral("&Neu"), this, &TMainForm::NeuClick);
    Oeffnen = datei->addAction(QStringLiteral("&Öffnen"), this, &TMainForm::OeffnenClick);
    Speichern = datei->addAction(QStringLiteral("&Speichern"), this, &TMainForm::SpeichernClick);
    Speichern->setEnabled(false);
    Speichernunter1 =
        datei->addAction(QStringLiteral("Speichern &unter..."), this, &TMainForm::Speichernunter1Click);
    datei->addSeparator();
    Drucken = datei->addAction(QStringLiteral("&Drucken"), this, &TMainForm::DruckenClick);
    Druckereinrichten =
        datei->addAction(QStringLiteral("D&rucker einrichten ..."), this, &TMainForm::DruckereinrichtenClick);
    datei->addSeparator();
    Beenden = datei->addAction(QStringLiteral("&Beenden"), this, &TMainForm::BeendenClick);

    QMenu *hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    Programminfo = hilfe->addAction(QStringLiteral("&Inhalt"), this, &TMainForm::ProgramminfoClick);
    Pruefliste = hilfe->addAction(QStringLiteral("&Prüfliste ..."), this, &TMainForm::PrueflisteClick);
    Pruefliste->setShortcut(Qt::Key_F9);
    hilfe->addSeparator();
    Ueber = hilfe->addAction(QStringLiteral("&über ..."), this, &TMainForm::UeberClick);
}

void TMainForm::createCellMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    // Opening the menu comes to PopUpClick as well, which does nothing for it.
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { PopUpClick(PopupMenu1); });
    struct Item {
        SubjectCode code;
        const char16_t *name;
    };
    struct Group {
        const char16_t *name;
        const char16_t *caption;
        std::initializer_list<Item> items;
    };
    const Group groups[] = {
        {u"AufgabenfeldA1",
         u"Aufgabenfeld &A",
         {{1, u"Deutsch1"},
          {2, u"Englisch1"},
          {3, u"Franzoesisch1"},
          {4, u"Spanisch1"},
          {5, u"Latein1"},
          {6, u"Tuerkisch1"},
          {7, u"Kunst1"},
          {8, u"Musik1"}}},
        {u"AufgabenfeldB1",
         u"Aufgabenfeld &B",
         {{9, u"Geschichte1"},
          {10, u"Erdkunde1"},
          {11, u"Politik1"},
          {12, u"Paedagogik1"},
          {13, u"Religion1"},
          {14, u"WerteundNormen1"}}},
        {u"AufgabenfeldC1",
         u"Aufgabenfeld &C",
         {{15, u"Mathematik1"},
          {16, u"Physik1"},
          {17, u"Biologie1"},
          {18, u"Chemie1"},
          {19, u"Informatik1"}}},
        {u"Sport1", u"&Sport", {{20, u"SportPraxis1"}, {21, u"SportTheorie1"}}},
    };
    for (const Group &group : groups) {
        QMenu *submenu = PopupMenu1->addMenu(QString::fromUtf16(group.caption));
        submenu->setObjectName(QString::fromUtf16(group.name));
        submenu->menuAction()->setObjectName(QString::fromUtf16(group.name));
        for (const Item &entry : group.items) {
            // The captions are the catalog names but for "Werte und Normen", which enters
            // "Werte u. Normen".
            QString caption = entry.code == Subject::WerteUndNormen ? QStringLiteral("Werte und Normen")
                                                                    : SubjectCatalog[entry.code];
            // The access key is the first letter, but where two items of a menu share it.
            caption.insert(entry.code == Subject::Paedagogik     ? 1
                           : entry.code == Subject::SportTheorie ? 6
                                                                 : 0,
                           u'&');
            QAction *item = submenu->addAction(caption);
            item->setObjectName(QString::fromUtf16(entry.name));
            item->setData(int(entry.code));
            SubjectItems[entry.code] = item;
            connect(item, &QAction::triggered, this, [this, item] { PopUpClick(item); });
        }
    }
    rechtsausfuellen1 =
        PopupMenu1->addAction(QStringLiteral("&rechts ausfüllen"), this, &TMainForm::rechtsausfuellen1Click);
    rechtsausfuellen1->setObjectName(QStringLiteral("rechtsausfuellen1"));
    linksausfuellen1 =
        PopupMenu1->addAction(QStringLiteral("&links ausfuellen"), this, &TMainForm::linksausfuellen1Click);
    linksausfuellen1->setObjectName(QStringLiteral("linksausfuellen1"));
    loeschen1 = PopupMenu1->addAction(QStringLiteral("l&öschen"), this, &TMainForm::loeschen1Click);
    loeschen1->setObjectName(QStringLiteral("loeschen1"));
}

void TMainForm::CreateSideWindows() {
    m_sideWindows = true;
}

namespace {
// The side window kept in `slot`, made by `make` the first time it is asked for once the side
// windows are available; null before.
template <typename Window, typename Make> Window *builtOnFirstUse(Window *&slot, bool available, Make make) {
    if (!slot && available)
        slot = make();
    return slot;
}
} // namespace

TInfoForm *TMainForm::InfoForm() {
    return builtOnFirstUse(m_infoForm, m_sideWindows, [this] { return new TInfoForm(this); });
}

TAGFForm *TMainForm::AGFForm() {
    return builtOnFirstUse(m_agfForm, m_sideWindows, [this] { return new TAGFForm(this); });
}

THelpForm *TMainForm::HelpForm() {
    return builtOnFirstUse(m_helpForm, m_sideWindows,
                           [this] { return new THelpForm(m_dialogs, m_systemDialogs, this); });
}

TAbiNoteForm *TMainForm::AbiNoteForm() {
    return builtOnFirstUse(m_abiNoteForm, m_sideWindows, [this] {
        auto *form = new TAbiNoteForm(
            m_dialogs, m_systemDialogs, [this](int column, int row) { return StringGrid->cell(column, row); },
            DocumentFolders(QDir::currentPath(), ProgramFolder()), this);
        connect(StringGrid, &GridModel::cellChanged, form, &TAbiNoteForm::FollowGrid);
        return form;
    });
}

TPrintForm *TMainForm::PrintForm() {
    return builtOnFirstUse(m_printForm, m_sideWindows, [this] {
        auto *form = new TPrintForm(
            *StringGrid, Test, m_dialogs, [this]() -> QPrinter & { return Printer(); }, this);
        form->SetIdentity(std::exchange(m_identity, PupilIdentity()));
        return form;
    });
}

TPruefListeForm *TMainForm::PrueflisteForm() {
    return builtOnFirstUse(m_prueflisteForm, m_sideWindows, [this] {
        auto *form = new TPruefListeForm(*StringGrid, this);
        connect(form, &TPruefListeForm::cellsChosen, this, &TMainForm::selectCells);
        return form;
    });
}

QPrinter &TMainForm::Printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

void TMainForm::FormCreate() {
    CurrentFileName.clear();
    setWindowTitle(kCaption);
    Test.ChoiceTested = false;
    Test.StoreGridSnapshot();
    // Heights and widths are those of the cells; the view's sections also hold the grid line,
    // so that the cells fill the 480 x 258 grid as laid out.
    for (int r = 1; r <= GridModel::kCourseRows; ++r)
        StringGridView->setRowHeight(r, kCellHeight + kGridLine);
    StringGridView->setColumnWidth(0, kLabelColumnWidth + kGridLine);
    for (int c = 1; c <= GridModel::kSemesters; ++c)
        StringGridView->setColumnWidth(c, kSemesterColumnWidth + kGridLine);
    for (int c = 1; c <= GridModel::kSemesters; ++c)
        StringGrid->setCell(c, 0, QStringLiteral(" %1. Semester").arg(c));
    static const char16_t *const labels[] = {u"  LK 1", u"  LK 2", u"  PK 3", u"  PK 4", u"  GK 3", u"  GK 4",
                                             u"  GK 5", u"  GK 6", u"  GK 7", u"  GK 8", u"  GK 9"};
    for (int r = 1; r <= GridModel::kCourseRows; ++r)
        StringGrid->setCell(0, r, QString::fromUtf16(labels[r - 1]));
    setCurrentCell(1, 1);
}

void TMainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_iconPending) {
        // The icon of the program's windows is drawn once the main window is on the screen.
        m_iconPending = false;
        QTimer::singleShot(0, this, [] { QApplication::setWindowIcon(ProgramIcon()); });
    }
    if (FirstShowPending && !m_firstShowRunning)
        QTimer::singleShot(0, this, &TMainForm::FormShow);
}

void TMainForm::FormShow() {
    if (!FirstShowPending || m_firstShowRunning)
        return;
    m_firstShowRunning = true;
    if (TInfoForm *form = InfoForm())
        form->exec();
    FirstShowPending = false;
    m_firstShowRunning = false;
    if (!StartupFileName.isEmpty())
        OpenDataFile(std::exchange(StartupFileName, QString()), std::exchange(StartupFileNative, {}));
}

bool TMainForm::FormCloseQuery() {
    if (!UnsavedChanges())
        return true;
    // "&Nein" closes without saving; "&Ja" saves first and closes only when the grid was saved.
    if (m_dialogs.confirmation(kSaveQuestion) == DialogButton::No)
        return true;
    return SaveForQuestion();
}

void TMainForm::closeEvent(QCloseEvent *event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TMainForm::BeendenClick() {
    close();
}

void TMainForm::DruckereinrichtenClick() {
    m_systemDialogs.choosePrinter(Printer());
}

void TMainForm::DruckenClick() {
    if (!Test.BuildCourseMatrix()) {
        m_dialogs.notice(QStringLiteral("Es sind noch keine Fächer eingetragen!"));
        return;
    }
    if (!Test.ChoiceTested) {
        const DialogButton answer = m_dialogs.informationQuestion(
            QStringLiteral("Die eingegebene Fachlese ist noch nicht erfolgreich "
                           "getestet worden.\rSollen die Daten trotzdem gedruckt werden?"));
        if (answer == DialogButton::No)
            return;
    }
    if (TPrintForm *form = PrintForm()) {
        // The dialog may still be open without a modal loop from the verdict; it opens
        // modally here all the same.
        form->hide();
        form->exec();
    }
}

void TMainForm::B_TestenClick() {
    Test.RunValidation();
}

void TMainForm::B_AbinoteClick() {
    if (TAbiNoteForm *form = AbiNoteForm())
        showWindow(form);
}

void TMainForm::UeberClick() {
    if (TInfoForm *form = InfoForm())
        showWindow(form);
}

void TMainForm::PrueflisteClick() {
    if (TPruefListeForm *form = PrueflisteForm())
        showWindow(form);
}

void TMainForm::B_AGFClick() {
    if (TAGFForm *form = AGFForm())
        showWindow(form);
}

void TMainForm::B_VerordnungClick() {
    if (THelpForm *form = HelpForm())
        form->ShowDocument(QStringLiteral("Oberstufenverordnung"), QStringLiteral("Verordnung.rtf"), false);
}

void TMainForm::B_AnleitungClick() {
    if (THelpForm *form = HelpForm())
        form->ShowDocument(QStringLiteral("Anleitung zur Fachlese"), QStringLiteral("Anleitung.rtf"), true);
}

void TMainForm::ProgramminfoClick() {
    if (THelpForm *form = HelpForm())
        form->ShowDocument(QStringLiteral("Hilfe"), QStringLiteral("Hilfe.rtf"), true);
}

void TMainForm::B_HilfeClick() {
    ProgramminfoClick();
}

void TMainForm::Timer1Timer() {
    Test.TimerTick();
    if (Test.ChoiceTested && Image1->pixmap().isNull())
        Image1->setPixmap(RenderPicture(QStringLiteral(":/pictures/butterfly.svg"), kImagePictureSize));
    Image1->setVisible(Test.ChoiceTested);
    // Both captions keep the access key.
    B_Testen->setText(Test.ChoiceTested ? QStringLiteral("&Wahl o.k.") : QStringLiteral("&Wahl testen"));
}

void TMainForm::showWindow(QWidget *window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// --- The current cell ---

int TMainForm::Col() const {
    if (m_noticeCell)
        return m_noticeCell->first;
    const QModelIndex current = StringGridView->currentIndex();
    return current.isValid() ? current.column() : 1;
}

int TMainForm::Row() const {
    if (m_noticeCell)
        return m_noticeCell->second;
    const QModelIndex current = StringGridView->currentIndex();
    return current.isValid() ? current.row() : 1;
}

void TMainForm::setCurrentCell(int column, int row) {
    StringGridView->setCurrentIndex(StringGridView->cellIndex(column, row));
}

void TMainForm::selectCells(int column, int firstRow, int lastRow) {
    StringGridView->finishEditing();
    setCurrentCell(column, firstRow);
    StringGridView->selectionModel()->select(QItemSelection(StringGridView->cellIndex(column, firstRow),
                                                            StringGridView->cellIndex(column, lastRow)),
                                             QItemSelectionModel::ClearAndSelect);
    activateWindow();
    raise();
    StringGridView->setFocus();
}

void TMainForm::setCurrentCellForNotice(int column, int row) {
    m_noticeCell = std::make_pair(column, row);
}

// --- Grid editing ---

void TMainForm::showCellMenu(const QPoint &globalPos) {
    PopupMenu1->exec(globalPos);
}

void TMainForm::PopUpClick(QObject *sender) {
    // Only the 21 subject items enter a subject; a click on the grid or the opening of the
    // menu come here as well and change nothing.
    for (SubjectCode code = 1; code <= Subject::SportTheorie; ++code) {
        if (sender == SubjectItems[code]) {
            StringGrid->setCell(Col(), Row(), SubjectCatalog[code]);
            AutoFillRow();
            return;
        }
    }
}

void TMainForm::StringGridSetEditText() {
    AutoFillRow();
    m_noticeCell.reset();
}

void TMainForm::AutoFillRow() {
    ::AutoFillRow(Test, Col(), Row());
}

void TMainForm::rechtsausfuellen1Click() {
    FillRight(*StringGrid, Col(), Row());
}

void TMainForm::linksausfuellen1Click() {
    FillLeft(*StringGrid, Col(), Row());
}

void TMainForm::loeschen1Click() {
    StringGrid->setCell(Col(), Row(), QString());
}

// --- The window caption with the file title ---

void TMainForm::setFileCaption() {
    // The file name without its folder, cut before its first ".".
    QString title = CurrentFileName.mid(CurrentFileName.lastIndexOf(u'/') + 1);
    const qsizetype dot = title.indexOf(u'.');
    title = dot < 0 ? QString() : title.left(dot);
    setWindowTitle(kCaption + QStringLiteral(" - ") + title);
}
