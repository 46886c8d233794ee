#include "shell/coursegriddelegate.h"

#include "rules/grid.h"
#include "shell/coursegridmodel.h"
#include "shell/coursegridview.h"
#include "windows/fixedcell.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

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
    GridModel *grid = m_view->grid();
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

void CourseGridDelegate::setModelData(QWidget *editor, QAbstractItemModel * /*the view's model*/,
                                      const QModelIndex &index) const {
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    // The text goes to the grid behind the view's model.
    if (GridModel *grid = m_view->grid())
        grid->setCell(index.column(), index.row(), line->text());
    // The closing notice belongs to the cell that was edited, reported before the current
    // cell moves on (the view sends it from its change of the current cell).
    emit m_view->textEdited(index.column(), index.row());
}

void CourseGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const {
    if (GridModel::isDataCell(index.column(), index.row())) {
        const QString text = index.data().toString();
        if (!CourseGridModel::IsUnknownSubject(text)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        paintUnknownSubject(painter, option, index, text);
        return;
    }
    PaintFixedCell(painter, option, index.data().toString());
}

void CourseGridDelegate::paintUnknownSubject(QPainter *painter, const QStyleOptionViewItem &option,
                                             const QModelIndex &index, const QString &text) const {
    // A text that is no subject: red (lighter on a dark background) with a wavy line below.
    QStyleOptionViewItem shown(option);
    initStyleOption(&shown, index);
    const bool darkBase = shown.palette.color(QPalette::Base).lightness() < 128;
    const QColor red = darkBase ? QColor(255, 128, 128) : QColor(192, 0, 0);
    shown.palette.setColor(QPalette::Text, red);
    const bool selected = shown.state & QStyle::State_Selected;
    QStyle *style = shown.widget ? shown.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &shown, painter, shown.widget);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &shown, shown.widget);
    const QFontMetrics metrics(shown.font);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, shown.widget) + 1;
    const int width = qMin(metrics.horizontalAdvance(text), textRect.width() - 2 * margin);
    if (width <= 0)
        return;
    const qreal left = textRect.left() + margin;
    const qreal baseline = textRect.center().y() - metrics.height() / 2.0 + metrics.ascent() + 2.5;
    QPainterPath wave(QPointF(left, baseline));
    for (qreal x = left; x < left + width; x += 2)
        wave.lineTo(x + 2, baseline + (int((x - left) / 2) % 2 == 0 ? 1.5 : -0.5));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(selected ? shown.palette.color(QPalette::HighlightedText) : red, 1));
    painter->drawPath(wave);
    painter->restore();
}
