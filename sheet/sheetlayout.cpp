#include "sheet/sheetlayout.h"

#include "rules/catalog.h"
#include "rules/grid.h"

namespace {
constexpr int kLeft = 200;       // the left margin of nearly every line
constexpr int kSecondX = 900;    // "Zweitwahl" column of the choice block
constexpr int kGridTop = 480;    // semester headers; course row r is 50 · r below
constexpr int kChoiceTop = 1520; // first exam-course line
constexpr int kLineStep = 90;    // distance of the choice lines
constexpr int kGrundkursTop = 1880;

// "LK 1", "LK 2", "PK 3", "PK 4", "GK 3" ... "GK 9" for course rows 1 ... 11.
QString rowLabel(int row) {
    if (row <= 2)
        return QStringLiteral("LK %1").arg(row);
    if (row <= 4)
        return QStringLiteral("PK %1").arg(row);
    return QStringLiteral("GK %1").arg(row - 2);
}

// "LK1: ", "LK2: ", "PK3: ", "PK4: " for exam rows 1 ... 4.
QString examLabel(int row) {
    return (row <= 2 ? QStringLiteral("LK%1: ") : QStringLiteral("PK%1: ")).arg(row);
}
} // namespace

QString EntryWithBlank(const QString &abbreviation) {
    return abbreviation + (abbreviation == u"SP" ? QStringLiteral(" XXX") : QStringLiteral(" ___"));
}

QList<SheetText> SheetLayout(const GridModel &grid, const CourseMatrixCodes &matrix, bool choiceTested,
                             const PersonalData &person, const QString &today) {
    QList<SheetText> texts;
    auto add = [&texts](const QString &text, int x, int y, int height, bool bold = true) {
        texts.append(SheetText{text, x, y, height, bold});
    };

    add(QStringLiteral("Fachlesebogen    SEKII    IGS Brunsmark   ") + today, kLeft, 100, kLargeText);
    add(QStringLiteral("Name"), kLeft, 190, kLargeText);
    add(person.surname, 450, 190, kLargeText);
    add(QStringLiteral("Vorname"), kLeft, 280, kLargeText);
    add(person.firstName, 450, 280, kLargeText);
    add(QStringLiteral("Klasse"), kLeft, 370, kLargeText);
    add(person.className, 450, 370, kLargeText);
    add(QStringLiteral("Geburtsdatum"), 700, 370, kLargeText);
    add(person.dateOfBirth, 1100, 370, kLargeText);

    for (int s = 1; s <= GridModel::kSemesters; ++s)
        add(QStringLiteral("%1. Semester").arg(s), 350 * s, kGridTop, kMediumText);
    for (int r = 1; r <= GridModel::kCourseRows; ++r)
        add(rowLabel(r), kLeft, kGridTop + 50 * r, kMediumText);
    for (int r = 1; r <= GridModel::kCourseRows; ++r) {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            const QString cell = grid.cell(s, r);
            if (!cell.isEmpty())
                add(cell, 350 * s, kGridTop + 50 * r, kMediumText, false);
        }
    }

    if (choiceTested) {
        add(QStringLiteral("Die Wahl ist o.k. !"), kLeft, 1120, kMediumText);
        add(QStringLiteral("Bitte trage jetzt die Kursnummern (z.B. 50) für die Erst- und Zweitwahl ein"),
            kLeft, 1180, kMediumText);
        add(QStringLiteral("und vergiss nicht die Unterschrift unten!"), kLeft, 1240, kMediumText);
    } else {
        add(QStringLiteral("ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."), kLeft, 1120,
            kMediumText);
    }

    add(QStringLiteral("Individuelle Wahl der Kurse (Sport wird gesondert gewählt)"), kLeft, 1320,
        kLargeText);
    add(QStringLiteral("Erstwahl"), kLeft, 1420, kLargeText);
    add(QStringLiteral("Zweitwahl"), kSecondX, 1420, kLargeText);

    // The exam courses run through all four semesters; their line never carries " XXX".
    for (int k = 1; k <= 4; ++k) {
        const QString line = examLabel(k) + SubjectAbbreviations[matrix.at(1, k)] + QStringLiteral(" ___");
        const int y = kChoiceTop + kLineStep * (k - 1);
        add(line, kLeft, y, kLargeText);
        add(line, kSecondX, y, kLargeText);
    }

    // One line per Grundkurs row whose first-semester cell holds anything (blanks too);
    // empty rows leave no gap.
    int y = kGrundkursTop;
    for (int g = 3; g <= 9; ++g) {
        const int row = g + 2;
        if (grid.cell(1, row).isEmpty())
            continue;
        const QString line =
            QStringLiteral("GK%1: ").arg(g) + EntryWithBlank(SubjectAbbreviations[matrix.at(1, row)]);
        add(line, kLeft, y, kLargeText);
        add(line, kSecondX, y, kLargeText);
        y += kLineStep;
    }

    add(QStringLiteral("AG ______________"), kLeft, y, kLargeText);
    add(QStringLiteral("Datum u. Unterschrift _______________________________"), kLeft, y + 130, kLargeText);
    add(QStringLiteral("Bei Minderjährigen Unterschrift des Erziehungsberechtigten"), 840, y + 190,
        kSmallText, false);
    return texts;
}
