#pragma once

#include "sheet/sheetlayout.h"

#include <QByteArray>
#include <QList>

// The course-selection sheet as a one-page A4 PDF, written without a display: the sheet's texts
// at their places in the PDF's own Times fonts (metric-compatible with the printed sheet's
// font), Windows-1252 as the fonts' encoding.
QByteArray SheetPdf(const QList<SheetText> &texts);
