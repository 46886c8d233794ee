#pragma once

#include <QString>

class QPainter;
class QStyleOptionViewItem;

// Paints a label cell of a text grid the way fixed cells look: button face, a raised edge
// and the text, left-aligned.
void PaintFixedCell(QPainter *painter, const QStyleOptionViewItem &option, const QString &text);
