#include "windows/abinote.h"

#include "rules/platformint.h"
#include "windows/fixedcell.h"
#include "windows/groupframe.h"
#include "windows/windowkeys.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPersistentModelIndex>
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

TAbiNoteForm::TAbiNoteForm(QWidget *parent) : QWidget(parent, Qt::Window) {
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
    }
    return QWidget::eventFilter(watched, event);
}
