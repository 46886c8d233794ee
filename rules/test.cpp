#include "rules/test.h"

namespace {
constexpr int kSemesters = GridModel::kSemesters;
constexpr int kCourseRows = GridModel::kCourseRows;
const QChar CR(u'\r');

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

bool ChoiceTest::RunValidation() {
    RunningGuard running(ValidationRunning);
    // A run that does not pass must not leave an earlier verdict standing; the last stage
    // sets the flag again when the choice passes.
    ChoiceTested = false;
    StoreGridSnapshot();
    const bool passed = CheckEntries() && CheckRepeatedCourses() && CheckExamSubjects() &&
                        CheckCourseObligations() && CheckCourseCount();
    if (passed)
        StoreGridSnapshot();
    return passed;
}

bool ChoiceTest::CheckEntries() {
    bool allEmpty = true;
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QString trimmed = TrimBlanks(m_grid.cell(s, r));
            m_grid.setCell(s, r, trimmed);
            if (!trimmed.isEmpty())
                allEmpty = false;
        }
    }
    if (allEmpty) {
        m_dialogs.warning(QStringLiteral("Es sind noch keine Fächer eingetragen."));
        return false;
    }
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QString text = m_grid.cell(s, r);
            const SubjectCode code = LookupSubjectCode(text);
            CourseMatrix.at(s, r) = code;
            if (code == kUnknownSubject) {
                m_dialogs.warning(QStringLiteral("Das Fach  ") + text +
                                  QStringLiteral("  ist nicht bekannt!") + CR +
                                  QStringLiteral("Beachte die wählbaren Fächer und ihre Schreibweise."));
                return false;
            }
        }
    }
    return true;
}

bool ChoiceTest::CheckRepeatedCourses() {
    bool repeated = false;
    for (int s = 1; s <= kSemesters; ++s) {
        SubjectSet seen = 0;
        for (int r = 1; r <= kCourseRows; ++r) {
            const SubjectCode code = CourseMatrix.at(s, r);
            if (contains(seen, code))
                repeated = true;
            if (code != kEmptySubject)
                seen |= subjectBit(code);
        }
    }
    if (repeated) {
        m_dialogs.warning(
            QStringLiteral("Mindestens ein Kurs innerhalb eines Semesters ist mehrfach angewählt worden.") +
                CR + CR + QStringLiteral("Diese Kurse dürfen nicht themengleich sein!"),
            DialogButton::Ok);
    }
    return true;
}

void ChoiceTest::ShowRuleViolation(const QString &text) {
    m_dialogs.error(text);
}

bool ChoiceTest::BuildCourseMatrix() {
    bool anyEntry = false;
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QString trimmed = TrimBlanks(m_grid.cell(s, r));
            if (!trimmed.isEmpty())
                anyEntry = true;
            CourseMatrix.at(s, r) = LookupSubjectCode(trimmed);
        }
    }
    return anyEntry;
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
        for (int s = 1; s <= kSemesters; ++s)
            GridSnapshot.at(s, r) = m_grid.cell(s, r);
    }
}

bool ChoiceTest::GridChangedSinceSnapshot() const {
    for (int r = 1; r <= GridModel::kDataRows; ++r) {
        for (int s = 1; s <= kSemesters; ++s) {
            if (m_grid.cell(s, r) != GridSnapshot.at(s, r))
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
    int count = 0;
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const SubjectCode code = CourseMatrix.at(s, r);
            if (code != kEmptySubject && code != Subject::SportTheorie)
                ++count;
        }
    }
    return count;
}
