#include "sheet/sheetlayout.h"

#include "rules/catalog.h"
#include "rules/grid.h"

namespace {
// Places on the page in 0.1 mm from the top-left corner of the printable area.
constexpr int kLeft = 200;     // the left margin of nearly every line
constexpr int kTitleTop = 100; // "Fachlesebogen    SEKII ..." and the date
constexpr int kNameTop = 190;  // "Name" and the surname
constexpr int kFirstNameTop = 280;
constexpr int kClassTop = 370; // "Klasse" and "Geburtsdatum" with their values
constexpr int kValueX = 450;   // surname, first name and class after their labels
constexpr int kBirthLabelX = 700;
constexpr int kBirthValueX = 1100;
constexpr int kGridTop = 480; // semester headers; course row r is kGridRowStep · r below
constexpr int kGridRowStep = 50;
constexpr int kSemesterStep = 350; // semester s stands at kSemesterStep · s
constexpr int kVerdictTop = 1120;  // "Die Wahl ist o.k. !" or "ACHTUNG! ..."
constexpr int kVerdictSecondTop = 1180;
constexpr int kVerdictThirdTop = 1240;
constexpr int kChoiceHeadingTop = 1320; // "Individuelle Wahl der Kurse ..."
constexpr int kChoiceColumnsTop = 1420; // "Erstwahl" and "Zweitwahl"
constexpr int kSecondX = 900;           // "Zweitwahl" column of the choice block
constexpr int kChoiceTop = 1520;        // first exam-course line
constexpr int kLineStep = 90;           // distance of the choice lines
constexpr int kGrundkursTop = 1880;
constexpr int kSignatureOffset = 130; // "Datum u. Unterschrift ..." below "AG ..."
constexpr int kGuardianOffset = 190;  // the small guardian line below "AG ..."
constexpr int kGuardianX = 840;
// The personal data end before the right edge of the printable area of any A4 printer, and
// the class before "Geburtsdatum".
constexpr int kRightEdge = 1850;
constexpr int kFieldGap = 30;

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

QString SheetDate(const QDate &date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString EntryWithBlank(const QString &abbreviation) {
    return abbreviation + (abbreviation == u"SP" ? QStringLiteral(" XXX") : QStringLiteral(" ___"));
}

QList<SheetText> SheetLayout(const GridModel &grid, const CourseMatrixCodes &matrix, bool choiceTested,
                             const PersonalData &person, const QString &today) {
    QList<SheetText> texts;
    auto add = [&texts](const QString &text, int x, int y, int height, bool bold = true) {
        texts.append(SheetText{text, x, y, height, bold});
    };

    add(QStringLiteral("Fachlesebogen    SEKII    IGS Brunsmark   ") + today, kLeft, kTitleTop, kLargeText);
    add(QStringLiteral("Name"), kLeft, kNameTop, kLargeText);
    const auto field = [&texts](const QString &text, int x, int y, int right) {
        texts.append(SheetText{text, x, y, kLargeText, true, right - x});
    };
    field(person.surname, kValueX, kNameTop, kRightEdge);
    add(QStringLiteral("Vorname"), kLeft, kFirstNameTop, kLargeText);
    field(person.firstName, kValueX, kFirstNameTop, kRightEdge);
    add(QStringLiteral("Klasse"), kLeft, kClassTop, kLargeText);
    field(person.className, kValueX, kClassTop, kBirthLabelX - kFieldGap);
    add(QStringLiteral("Geburtsdatum"), kBirthLabelX, kClassTop, kLargeText);
    field(person.dateOfBirth, kBirthValueX, kClassTop, kRightEdge);

    for (int s = 1; s <= GridModel::kSemesters; ++s)
        add(QStringLiteral("%1. Semester").arg(s), kSemesterStep * s, kGridTop, kMediumText);
    for (int r = 1; r <= GridModel::kCourseRows; ++r)
        add(rowLabel(r), kLeft, kGridTop + kGridRowStep * r, kMediumText);
    for (int r = 1; r <= GridModel::kCourseRows; ++r) {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            const QString cell = grid.cell(s, r);
            if (!cell.isEmpty())
                add(cell, kSemesterStep * s, kGridTop + kGridRowStep * r, kMediumText, false);
        }
    }

    if (choiceTested) {
        add(QStringLiteral("Die Wahl ist o.k. !"), kLeft, kVerdictTop, kMediumText);
        add(QStringLiteral("Bitte trage jetzt die Kursnummern (z.B. 50) für die Erst- und Zweitwahl ein"),
            kLeft, kVerdictSecondTop, kMediumText);
        add(QStringLiteral("und vergiss nicht die Unterschrift unten!"), kLeft, kVerdictThirdTop,
            kMediumText);
    } else {
        add(QStringLiteral("ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."), kLeft,
            kVerdictTop, kMediumText);
    }

    add(QStringLiteral("Individuelle Wahl der Kurse (Sport wird gesondert gewählt)"), kLeft,
        kChoiceHeadingTop, kLargeText);
    add(QStringLiteral("Erstwahl"), kLeft, kChoiceColumnsTop, kLargeText);
    add(QStringLiteral("Zweitwahl"), kSecondX, kChoiceColumnsTop, kLargeText);

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
    add(QStringLiteral("Datum u. Unterschrift _______________________________"), kLeft, y + kSignatureOffset,
        kLargeText);
    add(QStringLiteral("Bei Minderjährigen Unterschrift des Erziehungsberechtigten"), kGuardianX,
        y + kGuardianOffset, kSmallText, false);
    return texts;
}
