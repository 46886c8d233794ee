#include "windows/fixedcell.h"

#include <QPainter>
#include <QStyleOptionViewItem>

void PaintFixedCell(QPainter *painter, const QStyleOptionViewItem &option, const QString &text) {
    const QRect r = option.rect;
    painter->save();
    painter->fillRect(r, option.palette.button());
    painter->setPen(option.palette.light().color());
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.topLeft(), r.bottomLeft());
    painter->setPen(option.palette.dark().color());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->drawLine(r.topRight(), r.bottomRight());
    // Label cells are not enabled items; their text is drawn in the normal colour all the same.
    painter->setPen(option.palette.color(QPalette::Active, QPalette::ButtonText));
    painter->setFont(option.font);
    painter->drawText(r.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    painter->restore();
}
