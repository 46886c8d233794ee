#include "windows/pictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

QPixmap RenderPicture(const QString &resource, QSize size, const QColor &background) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QSvgRenderer renderer(resource);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return QPixmap::fromImage(image);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 32, 48})
        icon.addPixmap(RenderPicture(QStringLiteral(":/pictures/book.svg"), QSize(side, side)));
    return icon;
}
