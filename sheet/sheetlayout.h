#pragma once

#include "rules/test.h"

#include <QDate>
#include <QList>
#include <QString>

class GridModel;

// The texts of the printed course-selection sheet ("Fachlesebogen") with their places on
// the page, independent of any painter. Positions are in 0.1 mm from the top-left corner of
// the printable area, y downwards; a text stands with the top-left corner of its character
// cell at (x, y).

struct SheetText {
    QString text;
    int x = 0;
    int y = 0;
    int height = 0; // character-cell height in 0.1 mm: 60, 40 or 30
    bool bold = true;
    // The room the text has to its right, in 0.1 mm; 0: no limit. A text that would run
    // further is printed smaller, then narrower, keeping its baseline.
    int width = 0;

    bool operator==(const SheetText &) const = default;
};

// What the pupil typed into the print dialog, printed as typed.
struct PersonalData {
    QString surname;
    QString firstName;
    QString className;
    QString dateOfBirth;
};

// The date of the header line, "TT.MM.JJJJ" whatever the system's locale.
QString SheetDate(const QDate &date);

// The sheet's character-cell heights.
inline constexpr int kLargeText = 60;
inline constexpr int kMediumText = 40;
inline constexpr int kSmallText = 30;

// The abbreviation followed by " XXX" when it is exactly "SP" (Sport is chosen on a form of
// its own), otherwise by " ___" for the course number the pupil writes in.
QString EntryWithBlank(const QString &abbreviation);

// All texts of the sheet in drawing order. Reads the course cells (columns 1 ... 4, rows
// 1 ... 11) of `grid` as typed and the semester-1 codes of `matrix` for the choice block;
// `choiceTested` selects the verdict lines; `today` is the date text of the header line.
// Empty grid cells yield no entry.
QList<SheetText> SheetLayout(const GridModel &grid, const CourseMatrixCodes &matrix, bool choiceTested,
                             const PersonalData &person, const QString &today);
