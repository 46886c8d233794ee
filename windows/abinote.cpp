#include "windows/abinote.h"

#include "rules/catalog.h"
#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "rules/platformint.h"
#include "windows/fixedcell.h"
#include "windows/groupframe.h"
#include "windows/systemdialogs.h"
#include "windows/windowkeys.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {
// The window's outer size is 737 x 626; with a sizeable border of 4 pixels and a caption of
// 19 pixels that leaves this client area.
constexpr int kClientWidth = 737 - 2 * 4;
constexpr int kClientHeight = 626 - 2 * 4 - 19;

bool isFixedCell(const QModelIndex &index) {
    return index.row() == 0 || index.column() == 0;
}

// The point grid: the header row and column are fixed, Tab and Shift+Tab move along the 22
// point cells and wrap around at the ends, Home and End go to the first and the last of them;
// no key or click ever makes a header cell current.
class PointsGrid : public QTableWidget {
public:
    PointsGrid(int rows, int columns, QWidget *parent) : QTableWidget(rows, columns, parent) {}

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const QModelIndex current = currentIndex();
        const int last = columnCount() - 1;
        if (current.isValid() && (action == MoveNext || action == MovePrevious)) {
            int column = current.column() + (action == MoveNext ? 1 : -1);
            if (column > last)
                column = 1;
            if (column < 1)
                column = last;
            return model()->index(1, column);
        }
        if (current.isValid() && (action == MoveHome || action == MoveEnd))
            return model()->index(1, action == MoveHome ? 1 : last);
        const QModelIndex target = QTableWidget::moveCursor(action, modifiers);
        if (!target.isValid() || isFixedCell(target))
            return current;
        return target;
    }
};
// A point cell, named for screen readers by its Grundkurs and what it holds: "GK 3: 12".
class PointItem : public QTableWidgetItem {
public:
    QVariant data(int role) const override {
        if (role != Qt::AccessibleTextRole)
            return QTableWidgetItem::data(role);
        const QString points = text();
        return QStringLiteral("GK %1: ").arg(column()) + (points.isEmpty() ? QStringLiteral("leer") : points);
    }
};
} // namespace

// Edits the point cells with a plain line edit the size of the cell, keeps track of the
// editor that is open, lets the window watch the editor's key releases, and paints the header
// cells like the fixed cells of a grid.
class PointsGridDelegate : public QStyledItemDelegate {
public:
    PointsGridDelegate(QTableWidget *grid, QObject *keyWatcher)
        : QStyledItemDelegate(grid), m_keyWatcher(keyWatcher) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->installEventFilter(m_keyWatcher);
        m_editor = editor;
        m_editedCell = index;
        return editor;
    }

    void destroyEditor(QWidget *editor, const QModelIndex &index) const override {
        if (editor == m_editor) {
            m_editor.clear();
            m_editedCell = QPersistentModelIndex();
        }
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    // The open editor of the cell at `index`, or null.
    QLineEdit *editorOf(const QModelIndex &index) const {
        return m_editor && m_editedCell.isValid() && m_editedCell == index ? m_editor.data() : nullptr;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        if (!isFixedCell(index)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        PaintFixedCell(painter, option, index.data().toString());
    }

private:
    QObject *m_keyWatcher;
    mutable QPointer<QLineEdit> m_editor;
    mutable QPersistentModelIndex m_editedCell;
};

TAbiNoteForm::TAbiNoteForm(Dialogs &dialogs, SystemDialogs &systemDialogs, GridCells gridCells,
                           const QStringList &modelFolders, QWidget *parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs), m_systemDialogs(systemDialogs),
      m_gridCells(std::move(gridCells)) {
    setWindowTitle(QStringLiteral("Berechnung der Abinote"));
    resize(kClientWidth, kClientHeight);
    CloseOnEscape(this);
    AnnounceAsWindow(this);

    GroupBox2 = new ClassicGroupBox(QStringLiteral(" Block I   "), this);
    GroupBox2->setGeometry(8, 8, 537, 121);
    QFont bold = GroupBox2->font();
    bold.setBold(true);
    GroupBox2->setFont(bold); // the labels inside take the bold font from the box

    Label2 = new QLabel(
        QStringLiteral("22 Grundkurse einschließlich der Prüfungsfachkurse, aber ohne die PK's aus "
                       "dem 4. S.."),
        GroupBox2);
    Label2->move(32, 20);
    Label2->adjustSize();

    SG_GK = new PointsGrid(2, kPointColumns + 1, GroupBox2);
    QFont regular = SG_GK->font();
    regular.setBold(false);
    SG_GK->setFont(regular);
    SG_GK->setGeometry(32, 44, 489, 41);
    SG_GK->horizontalHeader()->hide();
    SG_GK->verticalHeader()->hide();
    SG_GK->horizontalHeader()->setMinimumSectionSize(1);
    SG_GK->verticalHeader()->setMinimumSectionSize(1);
    SG_GK->horizontalHeader()->setDefaultSectionSize(20);
    SG_GK->verticalHeader()->setDefaultSectionSize(18);
    for (int c = 0; c <= kPointColumns; ++c)
        SG_GK->setColumnWidth(c, 20);
    for (int r = 0; r < 2; ++r)
        SG_GK->setRowHeight(r, 18);
    SG_GK->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG_GK->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG_GK->setShowGrid(true);
    SG_GK->setWordWrap(false);
    SG_GK->setSelectionMode(QAbstractItemView::SingleSelection);
    SG_GK->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::DoubleClicked);
    SG_GK->setTabKeyNavigation(true);
    SG_GK->setAccessibleName(QStringLiteral("Punkte der Grundkurse"));
    m_delegate = new PointsGridDelegate(SG_GK, this);
    SG_GK->setItemDelegate(m_delegate);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c <= kPointColumns; ++c) {
            auto *item = r == 1 && c >= 1 ? new PointItem() : new QTableWidgetItem();
            // Header cells can be neither selected nor edited nor made current.
            item->setFlags(r == 0 || c == 0 ? Qt::NoItemFlags
                                            : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            SG_GK->setItem(r, c, item);
        }
    }
    SG_GK->setCurrentCell(1, 1);
    SG_GK->installEventFilter(this);

    Label1 = new QLabel(QStringLiteral("Punkte"), GroupBox2);
    Label1->move(32, 96);
    Label1->adjustSize();

    L_GK = new QLabel(QStringLiteral("?"), GroupBox2);
    L_GK->move(88, 96);
    L_GK->setMinimumWidth(40); // room for "330"
    L_GK->adjustSize();
    Label1->setBuddy(L_GK); // screen readers read the result as labelled "Punkte"

    FormCreate();
    createBlockTwo();
    const AbiturModelLoad load = LoadAbiturModel(modelFolders);
    m_model = load.model;
    L_Modell->setText(QStringLiteral("Berechnung nach: ") + m_model.name);
    connect(SG_GK, &QTableWidget::itemChanged, this, &TAbiNoteForm::Recalculate);
    FollowGrid();
    Recalculate();
    if (!load.message.isEmpty())
        m_dialogs.warning(load.message);
}

void TAbiNoteForm::FormCreate() {
    SG_GK->item(0, 0)->setText(QStringLiteral("GK"));
    SG_GK->item(1, 0)->setText(QStringLiteral("P"));
    for (int i = 1; i <= kPointColumns; ++i)
        SG_GK->item(0, i)->setText(QString::number(i));
}

QString TAbiNoteForm::GridCell(int column, int row) const {
    const QModelIndex index = SG_GK->model()->index(row, column);
    if (const QLineEdit *editor = m_delegate->editorOf(index))
        return editor->text();
    const QTableWidgetItem *item = SG_GK->item(row, column);
    return item ? item->text() : QString();
}

void TAbiNoteForm::SG_GKKeyUp(int, Qt::KeyboardModifiers) {
    bool valid = true;
    int sum = 0;
    for (int i = 1; valid && i <= kPointColumns; ++i) {
        const std::optional<int> v = StrToIntPlatform(GridCell(i, 1));
        valid = v.has_value() && *v >= 1 && *v <= 15;
        if (valid)
            sum += *v;
    }
    L_GK->setText(valid ? QString::number(sum) : QStringLiteral("?"));
}

bool TAbiNoteForm::eventFilter(QObject *watched, QEvent *event) {
    // Key releases in the grid and in its cell editor; the editor's own handling of the key has
    // already put the typed text into it.
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        SG_GKKeyUp(key->key(), key->modifiers());
        Recalculate();
    }
    return QWidget::eventFilter(watched, event);
}

// --- Block I: Leistungskurse, Block II, Ergebnis, "Was brauche ich?", the points file ---

namespace {
const QString kPointsFilter = QStringLiteral("Abiturpunkte (*.json)|*.json|Alle Dateien(*.*)|*.*");

QGroupBox *boldBox(const QString &caption, QWidget *parent, int x, int y, int width, int height) {
    auto *box = new ClassicGroupBox(caption, parent);
    box->setGeometry(x, y, width, height);
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    return box;
}

QLabel *plainLabel(QWidget *parent, const QString &text = QString()) {
    auto *label = new QLabel(text, parent);
    QFont regular = label->font();
    regular.setBold(false);
    label->setFont(regular);
    return label;
}

QLineEdit *pointsEdit(QWidget *parent, const QString &name) {
    auto *edit = new QLineEdit(parent);
    QFont regular = edit->font();
    regular.setBold(false);
    edit->setFont(regular);
    edit->setFixedWidth(36);
    edit->setMaxLength(4);
    edit->setAlignment(Qt::AlignRight);
    edit->setAccessibleName(name);
    return edit;
}

// A cell's points: an integer 0 ... 15 by the conversion of the Block I grid, else missing.
AbiturPoints pointsOf(const QString &text) {
    const std::optional<int> v = StrToIntPlatform(text);
    return v && *v >= 0 && *v <= kAbiturMaxPoints ? AbiturPoints(*v) : std::nullopt;
}

QString textOf(const AbiturPoints &points) {
    return points ? QString::number(*points) : QString();
}

// Room for the caption above the contents of a group box laid out by a layout.
void setBoxLayout(QGroupBox *box, QLayout *layout) {
    layout->setContentsMargins(10, 2, 10, 6);
    box->setLayout(layout);
}
} // namespace

void TAbiNoteForm::createBlockTwo() {
    // Beside Block I: the model and the points file.
    L_Modell = plainLabel(this);
    L_Modell->setGeometry(556, 12, 165, 60);
    L_Modell->setWordWrap(true);
    L_Modell->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    B_Oeffnen = new QPushButton(QStringLiteral("Ö&ffnen ..."), this);
    B_Oeffnen->setGeometry(556, 96, 80, 25);
    B_Speichern = new QPushButton(QStringLiteral("&Speichern ..."), this);
    B_Speichern->setGeometry(641, 96, 80, 25);
    connect(B_Oeffnen, &QPushButton::clicked, this, &TAbiNoteForm::B_OeffnenClick);
    connect(B_Speichern, &QPushButton::clicked, this, &TAbiNoteForm::B_SpeichernClick);

    QGroupBox *lkBox = boldBox(QStringLiteral(" Leistungskurse (Block I) "), this, 8, 137, 384, 150);
    auto *lkGrid = new QGridLayout;
    for (int i = 0; i < kAbiturLeistungskurse; ++i) {
        L_LKKopf[i] = plainLabel(lkBox);
        E_LK[i] = pointsEdit(lkBox, QStringLiteral("LK %1, %2. Semester").arg(i / 3 + 1).arg(i % 3 + 1));
        L_LKKopf[i]->setBuddy(E_LK[i]);
        lkGrid->addWidget(L_LKKopf[i], 2 * (i / 3), i % 3);
        lkGrid->addWidget(E_LK[i], 2 * (i / 3) + 1, i % 3);
        lkGrid->setColumnStretch(i % 3, 1);
    }
    setBoxLayout(lkBox, lkGrid);

    QGroupBox *abiBox = boldBox(QStringLiteral(" Abiturbereich (Block II) "), this, 400, 137, 321, 150);
    auto *abiGrid = new QGridLayout;
    abiGrid->addWidget(plainLabel(abiBox, QStringLiteral("4. Semester")), 0, 1);
    abiGrid->addWidget(plainLabel(abiBox, QStringLiteral("Prüfung")), 0, 2);
    abiGrid->addWidget(plainLabel(abiBox, QStringLiteral("zusammen")), 0, 3);
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        L_PFKopf[i] = plainLabel(abiBox);
        E_Kurs4[i] = pointsEdit(abiBox, QString());
        E_Pruefung[i] = pointsEdit(abiBox, QString());
        L_PFSumme[i] = plainLabel(abiBox);
        L_PFKopf[i]->setBuddy(E_Kurs4[i]);
        abiGrid->addWidget(L_PFKopf[i], i + 1, 0);
        abiGrid->addWidget(E_Kurs4[i], i + 1, 1);
        abiGrid->addWidget(E_Pruefung[i], i + 1, 2);
        abiGrid->addWidget(L_PFSumme[i], i + 1, 3);
    }
    abiGrid->setColumnStretch(0, 1);
    setBoxLayout(abiBox, abiGrid);

    QGroupBox *resultBox = boldBox(QStringLiteral(" Ergebnis "), this, 8, 295, 713, 212);
    auto *resultGrid = new QGridLayout;
    resultGrid->setVerticalSpacing(2);
    for (int i = 0; i < 4; ++i) {
        L_Bereiche << plainLabel(resultBox);
        resultGrid->addWidget(L_Bereiche.last(), i / 2, i % 2);
    }
    const int conditions = int(EvaluateAbitur(BuiltInAbiturModel(), {}).conditions.size());
    for (int i = 0; i < conditions; ++i) {
        L_Bedingungen << plainLabel(resultBox);
        L_Bedingungen.last()->setWordWrap(true);
        resultGrid->addWidget(L_Bedingungen.last(), 2 + i, 0, 1, 2);
    }
    L_Ergebnis = new QLabel(resultBox);
    L_Ergebnis->setWordWrap(true);
    resultGrid->addWidget(L_Ergebnis, 2 + conditions, 0, 1, 2);
    resultGrid->setRowStretch(3 + conditions, 1);
    setBoxLayout(resultBox, resultGrid);

    QGroupBox *needBox = boldBox(QStringLiteral(" Was brauche ich? "), this, 8, 513, 713, 78);
    auto *needGrid = new QGridLayout;
    auto *targetLabel = plainLabel(needBox, QStringLiteral("&Zielnote"));
    SE_Zielnote = new QDoubleSpinBox(needBox);
    SE_Zielnote->setFont(targetLabel->font());
    SE_Zielnote->setLocale(QLocale(QLocale::German, QLocale::Germany));
    SE_Zielnote->setDecimals(1);
    SE_Zielnote->setRange(1.0, 4.0);
    SE_Zielnote->setSingleStep(0.1);
    SE_Zielnote->setValue(2.0);
    targetLabel->setBuddy(SE_Zielnote);
    L_Brauche = plainLabel(needBox);
    L_Brauche->setWordWrap(true);
    needGrid->addWidget(targetLabel, 0, 0);
    needGrid->addWidget(SE_Zielnote, 0, 1);
    needGrid->addWidget(L_Brauche, 0, 2);
    needGrid->setColumnStretch(2, 1);
    needGrid->setHorizontalSpacing(12);
    setBoxLayout(needBox, needGrid);

    for (QLineEdit *edit : E_LK)
        connect(edit, &QLineEdit::textChanged, this, &TAbiNoteForm::Recalculate);
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        connect(E_Kurs4[i], &QLineEdit::textChanged, this, &TAbiNoteForm::Recalculate);
        connect(E_Pruefung[i], &QLineEdit::textChanged, this, &TAbiNoteForm::Recalculate);
    }
    connect(SE_Zielnote, &QDoubleSpinBox::valueChanged, this, &TAbiNoteForm::Recalculate);
}

void TAbiNoteForm::FollowGrid() {
    // A subject of the catalog in the cell, else nothing.
    const auto subject = [this](int column, int row) {
        const SubjectCode code = m_gridCells ? LookupSubjectCode(m_gridCells(column, row)) : kEmptySubject;
        return code != kEmptySubject && code != kUnknownSubject ? SubjectCatalog[code] : QString();
    };
    for (int i = 0; i < kAbiturLeistungskurse; ++i) {
        const int row = i / 3 + 1, semester = i % 3 + 1;
        const QString name = subject(semester, row);
        L_LKKopf[i]->setText(QStringLiteral("%1 %2. S.")
                                 .arg(name.isEmpty() ? QStringLiteral("LK %1,").arg(row) : name)
                                 .arg(semester));
    }
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        const QString row = (i < 2 ? QStringLiteral("LK %1") : QStringLiteral("PK %1")).arg(i + 1);
        QString name = subject(4, i + 1);
        if (name.isEmpty())
            name = subject(1, i + 1);
        L_PFKopf[i]->setText(name.isEmpty() ? row : QStringLiteral("%1 (%2)").arg(name, row));
        E_Kurs4[i]->setAccessibleName(L_PFKopf[i]->text() + QStringLiteral(", 4. Semester"));
        E_Pruefung[i]->setAccessibleName(L_PFKopf[i]->text() + QStringLiteral(", Prüfung"));
    }
}

AbiturEntries TAbiNoteForm::Entries() const {
    AbiturEntries e;
    for (int i = 0; i < kAbiturGrundkurse; ++i)
        e.grundkurse[i] = pointsOf(GridCell(i + 1, 1));
    for (int i = 0; i < kAbiturLeistungskurse; ++i)
        e.leistungskurse[i] = pointsOf(E_LK[i]->text());
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        e.semester4[i] = pointsOf(E_Kurs4[i]->text());
        e.pruefungen[i] = pointsOf(E_Pruefung[i]->text());
    }
    return e;
}

void TAbiNoteForm::SetEntries(const AbiturEntries &e) {
    const QSignalBlocker blockGrid(SG_GK);
    for (int i = 0; i < kAbiturGrundkurse; ++i)
        SG_GK->item(1, i + 1)->setText(textOf(e.grundkurse[i]));
    for (int i = 0; i < kAbiturLeistungskurse; ++i) {
        const QSignalBlocker block(E_LK[i]);
        E_LK[i]->setText(textOf(e.leistungskurse[i]));
    }
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        const QSignalBlocker blockCourse(E_Kurs4[i]), blockExam(E_Pruefung[i]);
        E_Kurs4[i]->setText(textOf(e.semester4[i]));
        E_Pruefung[i]->setText(textOf(e.pruefungen[i]));
    }
    SG_GKKeyUp(0, Qt::NoModifier); // the sum of Block I follows the points that were read
    Recalculate();
}

void TAbiNoteForm::Recalculate() {
    const AbiturEntries entries = Entries();
    const AbiturResult result = EvaluateAbitur(m_model, entries);
    const QStringList areas = result.areaLines();
    for (int i = 0; i < L_Bereiche.size(); ++i)
        L_Bereiche[i]->setText(areas.value(i));
    for (int i = 0; i < L_Bedingungen.size(); ++i) {
        L_Bedingungen[i]->setVisible(i < result.conditions.size());
        if (i < result.conditions.size())
            L_Bedingungen[i]->setText(result.conditionLine(i));
    }
    L_Ergebnis->setText(result.verdictLine());
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        const AbiturPoints &course = entries.semester4[i], &exam = entries.pruefungen[i];
        L_PFSumme[i]->setText(course && exam ? QString::number(*course * m_model.abiGewichtKurs +
                                                               *exam * m_model.abiGewichtPruefung)
                                             : QStringLiteral("?"));
    }
    const int target = qRound(SE_Zielnote->value() * 10);
    L_Brauche->setText(AbiturNeedsLines(NeededExamResult(m_model, entries, target), target).join(u'\n'));
}

void TAbiNoteForm::B_SpeichernClick() {
    const QString fileName = m_systemDialogs.saveFileName(kPointsFilter, QStringLiteral("json"), m_fileName);
    if (fileName.isEmpty())
        return;
    const AbiturEntries entries = Entries();
    if (!SaveAbiturFile(fileName, entries)) {
        m_dialogs.error(kWriteFailedMessage);
        return;
    }
    m_fileName = fileName;
    m_keptEntries = entries;
}

void TAbiNoteForm::B_OeffnenClick() {
    if (Entries() != m_keptEntries &&
        m_dialogs.informationQuestion(QStringLiteral("Sollen die eingegebenen Daten überschrieben werden?")) ==
            DialogButton::No)
        return;
    const QString fileName = m_systemDialogs.openFileName(kPointsFilter, QStringLiteral("json"));
    if (fileName.isEmpty())
        return;
    // A file that cannot be read changes nothing.
    const AbiturFileRead read = ReadAbiturFile(fileName);
    if (read.status == AbiturFileStatus::CannotOpen) {
        m_dialogs.error(read.message);
        return;
    }
    if (read.status == AbiturFileStatus::BadFormat) {
        m_dialogs.warning(read.message);
        return;
    }
    // A cell editor still open would write its old text over the points that were read.
    SG_GK->setCurrentIndex(QModelIndex());
    SG_GK->setCurrentCell(1, 1);
    SetEntries(read.entries);
    m_fileName = fileName;
    m_keptEntries = read.entries;
}

void TAbiNoteForm::showEvent(QShowEvent *event) {
    FollowGrid();
    QWidget::showEvent(event);
}
