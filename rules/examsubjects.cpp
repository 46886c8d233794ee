#include "rules/choicerules.h"

// The examination subjects: the two Leistungsfächer (LK 1, LK 2) and the third and fourth
// examination subjects (PK 3, PK 4). Rules 1 ... 9 judge the entries of semester 1; rule 10
// asks that all sixteen examination cells of the four semesters are filled, rule 11 that
// they hold the subjects of semester 1.

namespace {
constexpr int kExamRows = GridModel::kExamRows;

// The groups of subjects the rules speak of.
constexpr SubjectSet LkCore =
    subjectRange(Subject::Deutsch, Subject::Tuerkisch) | subjectRange(Subject::Mathematik, Subject::Chemie);
constexpr SubjectSet LkCoreWithoutDeutsch = LkCore & ~subjectBit(Subject::Deutsch);
constexpr SubjectSet LanguageOrMathematik = ForeignLanguages | subjectBit(Subject::Mathematik);
constexpr SubjectSet DeutschLanguageOrMath = LanguageOrMathematik | subjectBit(Subject::Deutsch);
constexpr SubjectSet DeutschOrLanguage = ForeignLanguages | subjectBit(Subject::Deutsch);
constexpr SubjectSet NoLeistungsfach =
    subjectSet({Subject::Tuerkisch, Subject::Paedagogik, Subject::Religion});

bool meets(SubjectSet set, SubjectSet group) {
    return (set & group) != 0;
}

bool missesAufgabenfeld(SubjectSet exam) {
    return !meets(exam, AufgabenfeldA) || !meets(exam, AufgabenfeldB) || !meets(exam, AufgabenfeldC);
}

bool anyExamCellEmpty(const CourseMatrixCodes &matrix) {
    for (int s = 1; s <= GridModel::kSemesters; ++s) {
        for (int r = 1; r <= kExamRows; ++r) {
            if (matrix.at(s, r) == kEmptySubject)
                return true;
        }
    }
    return false;
}

} // namespace

namespace ChoiceRules {

ExamSets BuildExamSets(const CourseMatrixCodes &matrix) {
    ExamSets sets;
    for (int r = 1; r <= kExamRows; ++r) {
        const SubjectCode code = matrix.at(1, r);
        if (code == kEmptySubject)
            continue;
        (r <= 2 ? sets.lk : sets.pk) |= subjectBit(code);
    }
    sets.exam = sets.lk | sets.pk;
    return sets;
}

bool HasForeignLanguageLK(const ExamSets &sets) {
    return meets(sets.lk, ForeignLanguages);
}

int FirstChangingExamRow(const CourseMatrixCodes &matrix) {
    for (int r = 1; r <= kExamRows; ++r) {
        for (int s = 2; s <= GridModel::kSemesters; ++s) {
            if (matrix.at(s, r) != matrix.at(1, r))
                return r;
        }
    }
    return 0;
}

bool ExamRuleFails(int rule, const CourseMatrixCodes &matrix, const ExamSets &sets) {
    switch (rule) {
    case 1: // one Leistungsfach from the core subjects
        return !meets(sets.lk, LkCore);
    case 2: // Deutsch as the only core Leistungsfach needs Mathematik or a language as PK
        return !meets(sets.lk, LkCoreWithoutDeutsch) && !meets(sets.pk, LanguageOrMathematik);
    case 3: // Deutsch, a language or Mathematik among the four
        return !meets(sets.exam, DeutschLanguageOrMath);
    case 4: // Sport is no third examination subject
        return matrix.at(1, 3) == Subject::Sport;
    case 5: // Sport-Theorie is no examination subject
        return contains(sets.exam, Subject::SportTheorie);
    case 6: // every Aufgabenfeld among the four
        return missesAufgabenfeld(sets.exam);
    case 7: // Kunst or Musik alone do not cover Aufgabenfeld A
        return !meets(sets.exam, DeutschOrLanguage);
    case 8: // Türkisch, Pädagogik and Religion only as PK 3 or PK 4
        return meets(sets.lk, NoLeistungsfach);
    case 9: // Werte u. Normen is no examination subject
        return contains(sets.exam, Subject::WerteUndNormen);
    case 10: // the examination subjects run through all four semesters
        return anyExamCellEmpty(matrix);
    case 11: // ... and keep their subject
        return FirstChangingExamRow(matrix) != 0;
    }
    return false;
}

} // namespace ChoiceRules

bool ChoiceTest::CheckExamSubjects() {
    using namespace ChoiceRules;
    const ExamSets sets = BuildExamSets(CourseMatrix);
    LastVerdict.rule = 0;
    LastVerdict.endingRule = 0;
    LastVerdict.examSubjects = sets.exam;
    LastVerdict.changingRow = FirstChangingExamRow(CourseMatrix);
    for (int rule = 1; rule <= kExamRuleCount; ++rule) {
        if (ExamRuleFails(rule, CourseMatrix, sets)) {
            if (LastVerdict.rule == 0)
                LastVerdict.rule = rule;
            // Rule 3 is only reported: rule 7 (if none of the rules 4 ... 6) then fails as
            // well and ends the stage, and both messages are shown.
            if (rule != 3) {
                LastVerdict.endingRule = rule;
                LastVerdict.stage = Verdict::Stage::ExamSubjects;
                ShowEnding();
                return false;
            }
        }
        if (rule == 1)
            ForeignLanguageLK = HasForeignLanguageLK(sets);
    }
    return true;
}
