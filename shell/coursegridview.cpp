#include "shell/coursegridview.h"

#include "rules/grid.h"
#include "shell/coursegriddelegate.h"
#include "shell/coursegridmodel.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>

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

GridModel *CourseGridView::grid() const {
    const auto *shown = qobject_cast<const CourseGridModel *>(model());
    return shown ? shown->grid() : nullptr;
}

QModelIndex CourseGridView::cellIndex(int column, int row) const {
    return model() ? model()->index(row, column) : QModelIndex();
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
