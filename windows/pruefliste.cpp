#include "windows/pruefliste.h"

#include "rules/checklist.h"
#include "rules/grid.h"
#include "rules/verdict.h"
#include "windows/windowkeys.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

const QString TPruefListeForm::kAllFulfilled = QStringLiteral("Alle Regeln sind erfüllt.");
const QString TPruefListeForm::kForeignLanguageReminder = QStringLiteral(
    "Ist eine Fremdsprache Leistungskurs, fragt „Wahl testen“ noch, ob sie weitergeführt wird.");

namespace {
enum Data { ColumnRole = Qt::UserRole, FirstRowRole, LastRowRole };

const QChar kViolationMark(0x2716); // heavy multiplication x
const QChar kNoteMark(0x2139);      // information source

// The row label of the grid without its leading blanks: "LK 1", "GK 4".
QString rowLabel(const GridModel &grid, int row) {
    return grid.cell(0, row).trimmed();
}

// A rule text as one readable paragraph: its line breaks become blanks.
QString oneParagraph(const QString &text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    return line.simplified();
}

QString lineOf(const GridModel &grid, const ChecklistItem &item) {
    if (item.code == ReasonCodes::UnknownSubject)
        return rowLabel(grid, item.row) + QStringLiteral(", %1. Semester: »").arg(item.semester) + item.text +
               QStringLiteral("« ist kein Fach");
    if (item.code.startsWith(ReasonCodes::Obligations + u'-'))
        return QStringLiteral("Es fehlt: ") + item.text.trimmed();
    return oneParagraph(item.text);
}
} // namespace

TPruefListeForm::TPruefListeForm(const GridModel &grid, QWidget *parent)
    : QWidget(parent, Qt::Window), m_grid(grid) {
    setObjectName(QStringLiteral("PrueflisteForm"));
    setWindowTitle(QStringLiteral("Prüfliste"));
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    ListBox1 = new QListWidget(this);
    ListBox1->setAccessibleName(QStringLiteral("Prüfliste"));
    ListBox1->setWordWrap(true);
    ListBox1->setAlternatingRowColors(true);
    Label1->setBuddy(ListBox1);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1);
    resize(380, 320);
    CloseOnEscape(this);
    AnnounceAsWindow(this);
    connect(ListBox1, &QListWidget::itemActivated, this, &TPruefListeForm::itemActivated);

    // Up to date whenever the grid changes, not only at the timer's tick.
    connect(&grid, &GridModel::cellChanged, this, [this](int /*column*/, int row) {
        if (row < GridModel::kDisplayedRows && isVisible())
            UpdateList();
    });
}

void TPruefListeForm::showEvent(QShowEvent *event) {
    UpdateList();
    if (parentWidget() && !property("placed").toBool()) {
        // Beside the main window, at its right where the screen has room.
        setProperty("placed", true);
        const QRect main = parentWidget()->window()->frameGeometry();
        QPoint where(main.right() + 8, main.top());
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            if (where.x() + width() > area.right())
                where.setX(qMax(area.left(), main.left() - width() - 8));
        }
        move(where);
    }
    QWidget::showEvent(event);
}

void TPruefListeForm::UpdateList() {
    const QList<ChecklistItem> items = BuildChecklist(m_grid);
    ListBox1->clear();
    int violations = 0;
    const QColor red =
        palette().color(QPalette::Base).lightness() < 128 ? QColor(255, 128, 128) : QColor(176, 0, 0);
    // Violations first, then the notes, each in the order of the rules.
    for (const ChecklistItem::Kind kind : {ChecklistItem::Kind::Violation, ChecklistItem::Kind::Note}) {
        for (const ChecklistItem &item : items) {
            if (item.kind != kind)
                continue;
            const bool violation = kind == ChecklistItem::Kind::Violation;
            violations += violation;
            auto *entry = new QListWidgetItem(QString(violation ? kViolationMark : kNoteMark) + u' ' +
                                              lineOf(m_grid, item));
            entry->setData(Qt::AccessibleTextRole,
                           (violation ? QStringLiteral("Verstoß: ") : QStringLiteral("Hinweis: ")) +
                               lineOf(m_grid, item));
            if (violation)
                entry->setForeground(red);
            if (item.code == ReasonCodes::UnknownSubject) {
                entry->setData(ColumnRole, item.semester);
                entry->setData(FirstRowRole, item.row);
                entry->setData(LastRowRole, item.row);
            } else if (item.code.startsWith(ReasonCodes::ExamRulePrefix)) {
                // The examination rows of the first semester.
                entry->setData(ColumnRole, 1);
                entry->setData(FirstRowRole, 1);
                entry->setData(LastRowRole, 4);
            }
            ListBox1->addItem(entry);
        }
    }
    if (violations == 0) {
        auto *entry = new QListWidgetItem(QString(QChar(0x2714)) + u' ' + kAllFulfilled);
        entry->setData(Qt::AccessibleTextRole, kAllFulfilled);
        ListBox1->insertItem(0, entry);
        Label1->setText(kForeignLanguageReminder);
    } else {
        Label1->setText(violations == 1
                            ? QStringLiteral("Eine Regel ist noch nicht erfüllt:")
                            : QStringLiteral("%1 Regeln sind noch nicht erfüllt:").arg(violations));
    }
}

QStringList TPruefListeForm::Lines() const {
    QStringList lines;
    for (int i = 0; i < ListBox1->count(); ++i)
        lines.append(ListBox1->item(i)->text().mid(2));
    return lines;
}

void TPruefListeForm::itemActivated(QListWidgetItem *item) {
    if (!item || !item->data(ColumnRole).isValid())
        return;
    emit cellsChosen(item->data(ColumnRole).toInt(), item->data(FirstRowRole).toInt(),
                     item->data(LastRowRole).toInt());
}
