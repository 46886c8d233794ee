#include "rules/choicerules.h"
#include "rules/verdictmessages.h"

#include <algorithm>

// The compulsory courses of the qualification phase (Belegungsverpflichtungen). Every subject
// is counted in semesters; each obligation that the counts do not meet adds an item to one of
// two lists, and all missing courses are reported together in one message.

namespace {
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

// The subject of [first, last] with the largest count; a tie goes to the lower code.
SubjectCode mostTaken(const SemesterCounts &n, SubjectCode first, SubjectCode last) {
    SubjectCode best = first;
    for (SubjectCode code = first + 1; code <= last; ++code) {
        if (n[code] > n[best])
            best = code;
    }
    return best;
}
} // namespace

namespace ChoiceRules {

QList<MissingObligation> MissingObligations(const CourseMatrixCodes &matrix) {
    const SemesterCounts n = countSemesters(matrix);
    QList<MissingObligation> missing;
    const auto add = [&missing](const char *number, bool secondList, int count, SubjectCode subject) {
        MissingObligation item{QString::fromLatin1(number), secondList, QString(), count, subject};
        item.text = VerdictMessages::ObligationItem(item);
        missing.append(item);
    };
    // A subject taken in fewer than `needed` semesters.
    const auto need = [&](const char *number, bool secondList, SubjectCode subject, int needed) {
        if (n[subject] < needed)
            add(number, secondList, needed - n[subject], subject);
    };
    // One subject of a group in four semesters: the best-covered subject of the group counts,
    // and no subject of the group at all is an obligation of its own.
    const auto needGroup = [&](const char *number, SubjectCode first, SubjectCode last) {
        const SubjectCode best = mostTaken(n, first, last);
        if (n[best] == 0)
            add(number, false, 4, kEmptySubject);
        else if (n[best] < 4)
            add(number, false, 4 - n[best], best);
    };

    bool religionExam = false;
    bool sportLk = false;
    for (int r = 1; r <= kExamRows; ++r) {
        if (matrix.at(1, r) == Subject::Religion)
            religionExam = true;
        if (r <= 2 && matrix.at(1, r) == Subject::Sport)
            sportLk = true;
    }

    need("1", false, Subject::Deutsch, 4);
    needGroup("2", Subject::Physik, Subject::Chemie);      // Informatik is no natural science
    need("3", false, Subject::Sport, 4);                   // Sport-Theorie does not count
    needGroup("4", Subject::Englisch, Subject::Tuerkisch); // counts of languages are not added
    need("5", false, Subject::Mathematik, 4);
    need("6", true, Subject::Politik, 2);
    need("7", true, Subject::Geschichte, 2);

    if (religionExam) {
        // 8a Religion as examination subject: after the two Politik and two Geschichte
        // courses one more pair of Aufgabenfeld B.
        const int pairs = std::max(n[Subject::Geschichte] - 2, 0) / 2 + n[Subject::Erdkunde] / 2 +
                          std::max(n[Subject::Politik] - 2, 0) / 2 + n[Subject::Paedagogik] / 2;
        if (pairs < 1)
            add("8a", true, 1, kEmptySubject);
    } else {
        // 8b Religion or Werte u. Normen
        if (n[Subject::Religion] / 2 + n[Subject::WerteUndNormen] / 2 < 1)
            add("8b", true, 1, kEmptySubject);
        // 9 Kunst or Musik
        if (n[Subject::Kunst] / 2 + n[Subject::Musik] / 2 < 1)
            add("9", true, 1, kEmptySubject);
    }

    // 10 Sport-Theorie for a Sport Leistungsfach
    if (sportLk)
        need("10", true, Subject::SportTheorie, 4);
    return missing;
}

} // namespace ChoiceRules

bool ChoiceTest::CheckCourseObligations() {
    LastVerdict.missing = ChoiceRules::MissingObligations(CourseMatrix);
    if (LastVerdict.missing.isEmpty())
        return true;
    LastVerdict.stage = Verdict::Stage::Obligations;
    ShowEnding();
    return false;
}
