#include "richtext/rtfdecorations.h"

#include "richtext/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace Rtf {

namespace {

// The leader of the tab stop that the tab at `x` (in the block's layout) reaches.
QChar leaderAt(const QTextBlock &block, double x) {
    const QString leaders = block.blockFormat().stringProperty(kTabLeaders);
    const QList<QTextOption::Tab> tabs = block.blockFormat().tabPositions();
    for (qsizetype i = 0; i < tabs.size() && i < leaders.size(); ++i)
        if (tabs[i].position > x + 0.5)
            return leaders[i];
    return QChar(u' ');
}

void drawLeader(QPainter &painter, QChar leader, QLineF line, const QFontMetricsF &metrics) {
    QPen pen(painter.pen());
    pen.setWidthF(std::max(1.0, metrics.lineWidth()));
    if (leader == u'.') {
        pen.setStyle(Qt::DotLine);
        line.translate(0, -pen.widthF());
    } else if (leader == u'-') {
        pen.setStyle(Qt::DashLine);
        line.translate(0, -metrics.xHeight() / 2);
    }
    painter.setPen(pen);
    painter.drawLine(line);
    if (leader == u'=')
        painter.drawLine(line.translated(0, -metrics.xHeight() / 2));
}

} // namespace

void drawDecorations(QPainter &painter, const QTextDocument &document, const QRectF &area, double offsetX,
                     double offsetY) {
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    painter.save();
    painter.translate(-offsetX, -offsetY);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool leaders = block.blockFormat().hasProperty(kTabLeaders);
        bool underline = false;
        for (auto it = block.begin(); !it.atEnd() && !underline; ++it)
            underline = it.fragment().charFormat().boolProperty(kDoubleUnderline);
        if ((!leaders && !underline) || !block.isVisible())
            continue;
        const QRectF box = layout->blockBoundingRect(block);
        if (!box.intersects(area))
            continue;
        const QTextLayout *text = block.layout();
        const QPointF origin = text->position();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QFontMetricsF metrics(format.font());
            painter.setPen(format.foreground().style() != Qt::NoBrush ? format.foreground().color() : QColor(Qt::black));
            const int start = fragment.position() - block.position();
            for (int i = 0; i < fragment.length(); ++i) {
                const int position = start + i;
                const bool tab = leaders && fragment.text().at(i) == u'\t';
                const bool doubled = format.boolProperty(kDoubleUnderline) && (i == 0 || i + 1 == fragment.length());
                if (!tab && !doubled)
                    continue;
                const QTextLine line = text->lineForTextPosition(position);
                if (!line.isValid())
                    continue;
                const double baseline = origin.y() + line.y() + line.ascent();
                if (tab) {
                    const double x1 = line.cursorToX(position), x2 = line.cursorToX(position + 1);
                    if (const QChar leader = leaderAt(block, x1); leader != u' ' && x2 - x1 > 4)
                        drawLeader(painter, leader, QLineF(origin.x() + x1 + 2, baseline, origin.x() + x2 - 2, baseline),
                                   metrics);
                } else if (i == 0) {
                    // The second line under the fragment, line by line.
                    const int end = fragment.position() + fragment.length() - block.position();
                    for (int from = position; from < end;) {
                        const QTextLine part = text->lineForTextPosition(from);
                        const int to = std::min(end, part.textStart() + part.textLength());
                        const double y = origin.y() + part.y() + part.ascent() + metrics.underlinePos() +
                                         2 * metrics.lineWidth() + 1;
                        QPen pen(painter.pen());
                        pen.setWidthF(metrics.lineWidth());
                        painter.setPen(pen);
                        painter.drawLine(QLineF(origin.x() + part.cursorToX(from), y, origin.x() + part.cursorToX(to), y));
                        from = std::max(to, from + 1);
                    }
                }
            }
        }
    }
    painter.restore();
}

} // namespace Rtf
