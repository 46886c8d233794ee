#pragma once

#include "rules/checklist.h"
#include "rules/test.h"
#include "web/formdata.h"

#include <QString>

// The grid as the form sends it: fields "f-R-S" (row 1 ... 12, semester 1 ... 4). Any other
// field name is ignored; a text longer than kMaxCellLength is cut.
inline constexpr qsizetype kMaxCellLength = 100;

// "f-3-2", for row 1 ... 12, semester 1 ... 4.
const QString &CellFieldName(int row, int semester);
// "LK 1", ..., "GK 9"; "Reserve" for the spare row 12.
QString RowLabel(int row);
// The desktop grid's name of a cell: "LK 1, 1. Semester".
QString CellName(int row, int semester);

GridSnapshotTexts CellsFromForm(const FormFields &fields);
// The same straight from a URL-encoded body, for the live check.
GridSnapshotTexts CellsFromFormBody(QByteArrayView body);

// The desktop grid's auto-fill for every course cell that differs from `before`, in reading
// order (rows outer), as if the pupil had typed them one after the other. Returns the
// Prüfliste of the grid that results.
QList<ChecklistItem> AutoFillChanged(GridSnapshotTexts &cells, const GridSnapshotTexts &before);

// The Prüfliste of the grid.
QList<ChecklistItem> ChecklistOf(const GridSnapshotTexts &cells);

// One line of the Prüfliste as the desktop list shows it.
QString ChecklistLine(const ChecklistItem &item);

// For a course cell whose text is no subject: "Das Fach »X« ist nicht bekannt." and, where one
// is close, "Meinst du »Y«?" (else empty). Both empty for a known subject or an empty cell.
struct UnknownSubjectHint {
    QString text;
    QString suggestion;
};
UnknownSubjectHint HintFor(const QString &cellText);
