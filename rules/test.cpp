#include "rules/test.h"

#include "rules/choicerules.h"
#include "rules/verdictmessages.h"

namespace {
constexpr int kSemesters = GridModel::kSemesters;
constexpr int kCourseRows = GridModel::kCourseRows;

// Clears the running flag however the run ends.
class RunningGuard {
public:
    explicit RunningGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~RunningGuard() { m_flag = false; }
    RunningGuard(const RunningGuard &) = delete;
    RunningGuard &operator=(const RunningGuard &) = delete;

private:
    bool &m_flag;
};
} // namespace

void ChoiceTest::Reset() {
    CourseMatrix = CourseMatrixCodes{};
    ChoiceTested = false;
    ForeignLanguageLK = false;
    ValidationRunning = false;
    LastCourseCount.reset();
    LastVerdict = Verdict{};
}

bool ChoiceTest::RunValidation() {
    RunningGuard running(ValidationRunning);
    // A run that does not pass must not leave an earlier verdict standing; the last stage
    // sets the flag again when the choice passes.
    ChoiceTested = false;
    LastVerdict = Verdict{};
    StoreGridSnapshot();
    const bool passed = CheckEntries() && CheckRepeatedCourses() && CheckExamSubjects() &&
                        CheckCourseObligations() && CheckCourseCount();
    if (passed)
        StoreGridSnapshot();
    return passed;
}

bool ChoiceTest::CheckEntries() {
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QString &text = m_grid.storedText(s, r);
            const QStringView trimmed = TrimBlanksView(text);
            if (trimmed.size() != text.size())
                m_grid.setCell(s, r, trimmed.toString());
        }
    }
    const GridCourseCodes read = ReadCourseCodes(m_grid);
    if (!read.anyEntry) {
        LastVerdict.stage = Verdict::Stage::NoEntries;
        ShowEnding();
        return false;
    }
    if (read.unknownSemester == 0) {
        CourseMatrix = read.codes;
        return true;
    }
    // The matrix holds the codes read up to the unknown cell, as the run read them.
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            CourseMatrix.at(s, r) = read.codes.at(s, r);
            if (s == read.unknownSemester && r == read.unknownRow) {
                LastVerdict.stage = Verdict::Stage::UnknownSubject;
                LastVerdict.unknown = Verdict::Cell{s, r, m_grid.storedText(s, r)};
                ShowEnding();
                return false;
            }
        }
    }
    return true;
}

bool ChoiceTest::CheckRepeatedCourses() {
    LastVerdict.repeatedCourses = ChoiceRules::HasRepeatedCourses(CourseMatrix);
    if (LastVerdict.repeatedCourses)
        m_dialogs.ask(VerdictMessages::RepeatedCoursesDialog());
    return true;
}

namespace ChoiceRules {

bool HasRepeatedCourses(const CourseMatrixCodes &matrix) {
    for (int s = 1; s <= kSemesters; ++s) {
        SubjectSet seen = 0;
        for (int r = 1; r <= kCourseRows; ++r) {
            const SubjectCode code = matrix.at(s, r);
            if (contains(seen, code))
                return true;
            if (code != kEmptySubject)
                seen |= subjectBit(code);
        }
    }
    return false;
}

} // namespace ChoiceRules

void ChoiceTest::ShowRuleViolation(const QString &text) {
    m_dialogs.error(text);
}

void ChoiceTest::ShowEnding() {
    for (const DialogRequest &dialog : VerdictMessages::EndingDialogs(LastVerdict))
        m_dialogs.ask(dialog);
}

bool ChoiceTest::BuildCourseMatrix() {
    const GridCourseCodes read = ReadCourseCodes(m_grid);
    CourseMatrix = read.codes;
    return read.anyEntry;
}

bool ChoiceTest::SubjectInAllSemesters(SubjectCode code) const {
    for (int s = 1; s <= kSemesters; ++s) {
        bool found = false;
        for (int r = 1; r <= kCourseRows && !found; ++r)
            found = CourseMatrix.at(s, r) == code;
        if (!found)
            return false;
    }
    return true;
}

bool ChoiceTest::ForeignLanguageInAllSemesters() const {
    for (SubjectCode code = Subject::Englisch; code <= Subject::Tuerkisch; ++code) {
        if (SubjectInAllSemesters(code))
            return true;
    }
    return false;
}

bool ChoiceTest::NaturalScienceInAllSemesters() const {
    for (SubjectCode code = Subject::Physik; code <= Subject::Chemie; ++code) {
        if (SubjectInAllSemesters(code))
            return true;
    }
    return false;
}

void ChoiceTest::StoreGridSnapshot() {
    for (int r = 1; r <= GridModel::kDataRows; ++r) {
        for (int s = 1; s <= kSemesters; ++s) {
            QString &stored = GridSnapshot.at(s, r);
            const QString &text = m_grid.storedText(s, r);
            // Mostly the very same text as at the last store: then nothing to copy.
            if (stored.constData() != text.constData() || stored.size() != text.size())
                stored = text;
        }
    }
}

bool ChoiceTest::GridChangedSinceSnapshot() const {
    for (int r = 1; r <= GridModel::kDataRows; ++r) {
        for (int s = 1; s <= kSemesters; ++s) {
            if (m_grid.storedText(s, r) != GridSnapshot.at(s, r))
                return true;
        }
    }
    return false;
}

void ChoiceTest::TimerTick() {
    if (!ValidationRunning && GridChangedSinceSnapshot())
        ChoiceTested = false;
}

int ChoiceTest::CountCourses() const {
    return ChoiceRules::CountCourses(CourseMatrix);
}
