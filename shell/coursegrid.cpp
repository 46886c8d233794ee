#include "shell/coursegrid.h"

#include "rules/grid.h"
#include "windows/fixedcell.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>

CourseGridView::CourseGridView(QWidget *parent) : QTableView(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setItemDelegate(new CourseGridDelegate(this));
}

void CourseGridView::contextMenuEvent(QContextMenuEvent *event) {
    QModelIndex cell = currentIndex();
    QPoint where;
    if (event->reason() == QContextMenuEvent::Mouse) {
        cell = indexAt(event->pos());
        where = event->globalPos();
    }
    if (!cell.isValid() || !GridModel::isDataCell(cell.column(), cell.row())) {
        event->ignore();
        return;
    }
    finishEditing(); // the typed text is in its cell before the menu writes cells
    setCurrentIndex(cell);
    if (event->reason() != QContextMenuEvent::Mouse)
        where = viewport()->mapToGlobal(visualRect(cell).center());
    event->accept();
    emit cellMenuRequested(where);
}

void CourseGridView::finishEditing() {
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget *editor = indexWidget(currentIndex());
    if (!editor)
        editor = focusWidget();
    if (!editor || editor == this || !viewport()->isAncestorOf(editor))
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CourseGridView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        contextMenuEvent(&menuEvent);
        return;
    }
    QTableView::keyPressEvent(event);
}

void CourseGridView::mousePressEvent(QMouseEvent *event) {
    // A right click makes the cell under the mouse current; a click never changes a text.
    QTableView::mousePressEvent(event);
}

CourseGridDelegate::CourseGridDelegate(CourseGridView *view) : QStyledItemDelegate(view), m_view(view) {}

QWidget *CourseGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const {
    auto *editor = qobject_cast<QLineEdit *>(QStyledItemDelegate::createEditor(parent, option, index));
    if (!editor)
        editor = new QLineEdit(parent);
    editor->setFrame(false);
    // A context menu asked for in the editor is the grid's menu, not the editor's own.
    editor->setContextMenuPolicy(Qt::NoContextMenu);
    const int column = index.column();
    const int row = index.row();
    auto *grid = qobject_cast<GridModel *>(m_view->model());
    // Every change of the editor's text goes into the cell at once and is reported.
    connect(editor, &QLineEdit::textEdited, m_view, [view = m_view, grid, column, row](const QString &text) {
        if (grid)
            grid->setCell(column, row, text);
        emit view->textEdited(column, row);
    });
    return editor;
}

void CourseGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    // The cell is written on every keystroke and the view then hands its text back to the
    // editor; setting the same text again would move the cursor to the end and drop undo.
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (line && line->text() == index.data(Qt::EditRole).toString())
        return;
    QStyledItemDelegate::setEditorData(editor, index);
}

void CourseGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                      const QModelIndex &index) const {
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    auto *grid = qobject_cast<GridModel *>(model);
    if (grid)
        grid->setCell(index.column(), index.row(), line->text());
    // The closing notice belongs to the cell that was edited, reported before the current
    // cell moves on (the view sends it from its change of the current cell).
    emit m_view->textEdited(index.column(), index.row());
}

void CourseGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const {
    if (GridModel::isDataCell(index.column(), index.row())) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    PaintFixedCell(painter, option, index.data().toString());
}
