#include "richtext/rtfprint.h"

#include "richtext/rtfdecorations.h"
#include "richtext/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace Rtf {

namespace {

// The document is laid out at the screen's 96 pixels per inch and drawn scaled to the device.
constexpr double kLayoutDpi = 96;
constexpr double kMargin = 2 / 2.54 * kLayoutDpi; // 2 cm around the text
constexpr double kAsideGap = 12;                  // between the header or footer and the text

// A copy of `aside` for page `page`, `width` wide: its page-number fields show the number.
std::unique_ptr<QTextDocument> asideForPage(const QTextDocument &aside, QTextDocument &body, int page,
                                            double width) {
    std::unique_ptr<QTextDocument> copy(aside.clone());
    copy->setDefaultFont(body.defaultFont());
    copy->setDefaultTextOption(body.defaultTextOption());
    copy->setDocumentMargin(0);
    copy->setTextWidth(width);
    std::vector<QTextFragment> numbers;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.boolProperty(kPageNumber))
                numbers.push_back(it.fragment());
            if (format.isImageFormat()) { // the body holds the pictures
                const QUrl name(format.toImageFormat().name());
                const QVariant picture = body.resource(QTextDocument::ImageResource, name);
                copy->addResource(QTextDocument::ImageResource, name, picture);
            }
        }
    QTextCursor cursor(copy.get());
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) { // from the end: positions stay
        cursor.setPosition(it->position());
        cursor.setPosition(it->position() + it->length(), QTextCursor::KeepAnchor);
        cursor.insertText(QString::number(page), it->charFormat());
    }
    return copy;
}

void drawDocument(QPainter &painter, const QTextDocument &document, const QRectF &area) {
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = area;
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    document.documentLayout()->draw(&painter, context);
    drawDecorations(painter, document, area, 0, 0);
    painter.restore();
}

} // namespace

const QTextDocument *pageAside(const PageAsides &asides, int page, bool footer) {
    const auto variant = [&](size_t i) { return asides.documents[(footer ? 3 : 0) + i].get(); };
    if (page == 1 && asides.titlePage)
        return variant(1);
    if (asides.facingPages && page % 2 == 0 && variant(0))
        return variant(0);
    return variant(2) || page > 1 ? variant(2) : variant(1);
}

void print(const QTextDocument &document, QPagedPaintDevice &device, int fromPage, int toPage) {
    QPainter painter(&device);
    if (!painter.isActive())
        return;
    const double scale = device.logicalDpiY() / kLayoutDpi;
    const QSizeF page(device.width() / scale, device.height() / scale);
    const double width = std::max(1.0, page.width() - 2 * kMargin);

    // The body: the whole text without the blocks of the header and footer shown on screen.
    const std::unique_ptr<QTextDocument> body(document.clone());
    QTextOption option = body->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    body->setDefaultTextOption(option);
    for (QTextBlock block = body->begin(); block.isValid(); block = block.next())
        if (block.blockFormat().hasProperty(kPageHeader) || block.blockFormat().hasProperty(kPageFooter))
            block.setVisible(false);
    body->markContentsDirty(0, body->characterCount());

    PageAsides asides;
    if (const auto kept = document.rootFrame()
                              ->frameFormat()
                              .property(kPageAsides)
                              .value<std::shared_ptr<const PageAsides>>())
        asides = *kept;
    // The text leaves room for the highest header and footer of any page, up to a third of the
    // page each; what is taller is cut off.
    std::array<double, 2> room{};
    for (size_t index = 0; index < asides.documents.size(); ++index)
        if (const auto &aside = asides.documents[index]) {
            double &side = room[index / 3]; // headers first, then footers
            side = std::clamp(asideForPage(*aside, *body, 1, width)->size().height() + kAsideGap, side,
                              page.height() / 3);
        }
    QTextFrameFormat frame = body->rootFrame()->frameFormat();
    frame.setLeftMargin(kMargin);
    frame.setRightMargin(kMargin);
    frame.setTopMargin(kMargin + room[0]);
    frame.setBottomMargin(kMargin + room[1]);
    body->rootFrame()->setFrameFormat(frame);
    body->setPageSize(page);

    const int pages = body->pageCount();
    const int first = std::clamp(fromPage > 0 ? fromPage : 1, 1, pages);
    const int last = std::clamp(toPage > 0 ? toPage : pages, first, pages);
    const bool anyFooter = std::any_of(asides.documents.begin() + 3, asides.documents.end(),
                                       [](const auto &d) { return bool(d); });
    painter.scale(scale, scale);
    for (int number = first; number <= last; ++number) {
        if (number > first)
            device.newPage();
        painter.save();
        painter.translate(0, -(number - 1) * page.height());
        drawDocument(painter, *body, QRectF(QPointF(0, (number - 1) * page.height()), page));
        painter.restore();
        if (const QTextDocument *header = pageAside(asides, number, false)) {
            painter.save();
            painter.translate(kMargin, kMargin);
            drawDocument(painter, *asideForPage(*header, *body, number, width),
                         QRectF(0, 0, width, room[0] - kAsideGap));
            painter.restore();
        }
        if (const QTextDocument *footer = pageAside(asides, number, true)) {
            const auto shown = asideForPage(*footer, *body, number, width);
            painter.save();
            const double height = std::min(shown->size().height(), room[1] - kAsideGap);
            painter.translate(kMargin, page.height() - kMargin - height);
            drawDocument(painter, *shown, QRectF(0, 0, width, height));
            painter.restore();
        } else if (!anyFooter) {
            painter.setFont(body->defaultFont());
            const QRectF below(kMargin, page.height() - kMargin + 5, width, kMargin - 5);
            painter.drawText(below, Qt::AlignRight | Qt::AlignTop, QString::number(number));
        }
    }
}

} // namespace Rtf
