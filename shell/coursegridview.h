#pragma once

#include <QTableView>

class GridModel;

// The view of the course grid: label cells painted as fixed cells, in-place editing that
// reports every change of the editor's text, and the context menu on a data cell.
class CourseGridView : public QTableView {
    Q_OBJECT

public:
    explicit CourseGridView(QWidget *parent = nullptr);

    // Closes the in-place editor, if one is open, as Enter would: its text stays in the cell
    // and the closing notice is sent. Commands that read or replace the whole grid call it first.
    void finishEditing();

    // True while the in-place editor is open.
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // The texts shown, through a CourseGridModel set with setModel; null before.
    GridModel *grid() const;

    // The index of cell (column, row) in the view's model.
    QModelIndex cellIndex(int column, int row) const;

signals:
    // The user changed the text of cell (column, row) by typing; the cell already holds it.
    // Sent after every change of the editor's text and once more when the editor closes.
    void textEdited(int column, int row);
    // A context menu was asked for on the current data cell (right click, menu key, Shift+F10).
    void cellMenuRequested(const QPoint &globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
