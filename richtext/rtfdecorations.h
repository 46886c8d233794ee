#pragma once

class QPainter;
class QRectF;
class QTextDocument;

namespace Rtf {

// Draws what the text document itself does not over a document as it is laid out: the leaders
// of tab stops (dots, hyphens, a line, a double line; Rtf::kTabLeaders) and the second line of
// a double underline (Rtf::kDoubleUnderline), for the blocks that meet `area` (in document
// coordinates, the painter's coordinates shifted by `offset` pixels).
void drawDecorations(QPainter &painter, const QTextDocument &document, const QRectF &area, double offsetX,
                     double offsetY);

} // namespace Rtf
