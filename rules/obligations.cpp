#include "rules/choicerules.h"

#include <algorithm>

// The compulsory courses of the qualification phase (Belegungsverpflichtungen). Every subject
// is counted in semesters; each obligation that the counts do not meet adds an item to one of
// two lists, and all missing courses are reported together in one message.

namespace {
const QChar TAB(u'\t');

constexpr int kExamRows = GridModel::kExamRows;

// Indexed by every code, so that a stray unknown entry can never count outside the array.
using SemesterCounts = std::array<int, kSubjectCodeCount>;

// An examination subject in semester 1 stands for four courses; each Grundkurs cell is one.
SemesterCounts countSemesters(const CourseMatrixCodes &matrix) {
    SemesterCounts n{};
    for (int r = 1; r <= kExamRows; ++r)
        n[matrix.at(1, r)] += 4;
    for (int s = 1; s <= GridModel::kSemesters; ++s) {
        for (int r = kExamRows + 1; r <= GridModel::kCourseRows; ++r)
            n[matrix.at(s, r)] += 1;
    }
    return n;
}

// "(missing)x" followed by the text, e.g. "3xDeutsch ".
QString missingItem(int missing, const QString &text) {
    return QString::number(missing) + u'x' + text;
}

// The subject of [first, last] with the largest count; a tie goes to the lower code.
SubjectCode mostTaken(const SemesterCounts &n, SubjectCode first, SubjectCode last) {
    SubjectCode best = first;
    for (SubjectCode code = first + 1; code <= last; ++code) {
        if (n[code] > n[best])
            best = code;
    }
    return best;
}

// One subject of a group in four semesters: the item for the best-covered subject of the
// group, `noneItem` when none of them is taken at all, empty when the obligation is met.
QString fourSemestersOfGroup(const SemesterCounts &n, SubjectCode first, SubjectCode last,
                             const QString &noneItem) {
    const SubjectCode best = mostTaken(n, first, last);
    const int m = n[best];
    if (m == 0)
        return noneItem;
    if (m < 4)
        return missingItem(4 - m, SubjectCatalog[best] + u' ');
    return QString();
}

// The reminder that closes every message about missing courses.
const QString &obligationsReminder() {
    static const QString reminder =
        QStringLiteral("Beachte die Belegungungsverpflichtungen:") + CR + u'A' + TAB + TAB + u'B' + TAB +
        TAB + u'C' + CR + QStringLiteral("4xDE") + TAB + TAB + QStringLiteral("2xPO") + TAB + TAB +
        QStringLiteral("4xNW") + CR + QStringLiteral("4xFremdsp.") + TAB + QStringLiteral("2xGE") + TAB +
        TAB + QStringLiteral("4xMA") + CR + QStringLiteral("2xKU o. 2xMU") + TAB +
        QStringLiteral("2xRE o. 2xWN") + CR + QStringLiteral("4xSP  Bei Sport-LK zus. 4xSportheorie") + CR +
        CR + QStringLiteral("Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : ") + CR +
        QStringLiteral("2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK") + CR +
        QStringLiteral("Informatik ist keine Naturwissenschaft");
    return reminder;
}
} // namespace

namespace ChoiceRules {

QList<MissingObligation> MissingObligations(const CourseMatrixCodes &matrix) {
    const SemesterCounts n = countSemesters(matrix);
    QList<MissingObligation> missing;
    const auto add = [&missing](const char *number, bool secondList, const QString &text) {
        missing.append(MissingObligation{QString::fromLatin1(number), secondList, text});
    };

    bool religionExam = false;
    bool sportLk = false;
    for (int r = 1; r <= kExamRows; ++r) {
        if (matrix.at(1, r) == Subject::Religion)
            religionExam = true;
        if (r <= 2 && matrix.at(1, r) == Subject::Sport)
            sportLk = true;
    }

    // 1 Deutsch
    if (n[Subject::Deutsch] < 4)
        add("1", false, missingItem(4 - n[Subject::Deutsch], QStringLiteral("Deutsch ")));
    // 2 a natural science (Informatik is none)
    if (const QString item =
            fourSemestersOfGroup(n, Subject::Physik, Subject::Chemie, QStringLiteral("4xNaturw."));
        !item.isEmpty())
        add("2", false, item);
    // 3 Sport (Sport-Theorie does not count)
    if (n[Subject::Sport] < 4)
        add("3", false, missingItem(4 - n[Subject::Sport], QStringLiteral("Sport ")));
    // 4 one foreign language; counts of different languages are not added
    if (const QString item =
            fourSemestersOfGroup(n, Subject::Englisch, Subject::Tuerkisch, QStringLiteral("4xFremdsp. "));
        !item.isEmpty())
        add("4", false, item);
    // 5 Mathematik
    if (n[Subject::Mathematik] < 4)
        add("5", false, missingItem(4 - n[Subject::Mathematik], QStringLiteral("Mathe  ")));
    // 6 Politik
    if (n[Subject::Politik] < 2)
        add("6", true, missingItem(2 - n[Subject::Politik], QStringLiteral("Politik ")));
    // 7 Geschichte
    if (n[Subject::Geschichte] < 2)
        add("7", true, missingItem(2 - n[Subject::Geschichte], QStringLiteral("Geschichte ")));

    if (religionExam) {
        // 8a Religion as examination subject: after the two Politik and two Geschichte
        // courses one more pair of Aufgabenfeld B.
        const int pairs = std::max(n[Subject::Geschichte] - 2, 0) / 2 + n[Subject::Erdkunde] / 2 +
                          std::max(n[Subject::Politik] - 2, 0) / 2 + n[Subject::Paedagogik] / 2;
        if (pairs < 1)
            add("8a", true, QStringLiteral("mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "));
    } else {
        // 8b Religion or Werte u. Normen
        if (n[Subject::Religion] / 2 + n[Subject::WerteUndNormen] / 2 < 1)
            add("8b", true, QStringLiteral("mind. 1xReli./Werte u. Normen  "));
        // 9 Kunst or Musik
        if (n[Subject::Kunst] / 2 + n[Subject::Musik] / 2 < 1)
            add("9", true, QStringLiteral("mind. 1xKunst/Musik "));
    }

    // 10 Sport-Theorie for a Sport Leistungsfach
    if (sportLk && n[Subject::SportTheorie] < 4)
        add("10", true, missingItem(4 - n[Subject::SportTheorie], QStringLiteral("Sport-Theorie ")));
    return missing;
}

QString MissingObligationsMessage(const QList<MissingObligation> &missing) {
    QString fourSemesters; // first list
    QString further;       // second list
    for (const MissingObligation &item : missing)
        (item.secondList ? further : fourSemesters) += item.text;
    return QStringLiteral("Es fehlen folgende Kurse:") + CR + fourSemesters + CR + further + CR + CR +
           obligationsReminder();
}

const QString &ObligationsReminder() {
    return obligationsReminder();
}

} // namespace ChoiceRules

bool ChoiceTest::CheckCourseObligations() {
    const QList<ChoiceRules::MissingObligation> missing = ChoiceRules::MissingObligations(CourseMatrix);
    if (missing.isEmpty())
        return true;
    ShowRuleViolation(ChoiceRules::MissingObligationsMessage(missing));
    return false;
}
