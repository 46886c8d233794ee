#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, kept as SVG resources (":/pictures/..."). They are drawn with the
// SVG renderer directly, only when a window needs them.

// `resource` drawn to fill `size`, on `background`.
QPixmap RenderPicture(const QString &resource, QSize size, const QColor &background = Qt::transparent);

// The program's icon, an open book with a pen, at 16, 32 and 48 pixels.
QIcon ProgramIcon();
