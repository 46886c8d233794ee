#pragma once

#include <QStyledItemDelegate>

class CourseGridView;

// Edits and paints the cells of the course grid: every change of the in-place editor's text
// goes into the cell at once and is reported through the view; label cells are painted as
// fixed cells, and a data cell whose text is no subject in red with a wavy line.
class CourseGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit CourseGridDelegate(CourseGridView *view);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    void paintUnknownSubject(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index,
                             const QString &text) const;

    CourseGridView *m_view;
};
