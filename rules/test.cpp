#include "rules/test.h"

#include "rules/choicerules.h"

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
}

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
            const QString &text = m_grid.storedText(s, r);
            const QStringView trimmed = TrimBlanksView(text);
            if (trimmed.size() != text.size())
                m_grid.setCell(s, r, trimmed.toString());
            if (!trimmed.isEmpty())
                allEmpty = false;
        }
    }
    if (allEmpty) {
        m_dialogs.warning(ChoiceRules::NoEntriesMessage());
        return false;
    }
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QString &text = m_grid.storedText(s, r);
            const SubjectCode code = LookupTrimmedSubjectCode(text);
            CourseMatrix.at(s, r) = code;
            if (code == kUnknownSubject) {
                m_dialogs.warning(ChoiceRules::UnknownSubjectMessage(text));
                return false;
            }
        }
    }
    return true;
}

bool ChoiceTest::CheckRepeatedCourses() {
    if (ChoiceRules::HasRepeatedCourses(CourseMatrix))
        m_dialogs.warning(ChoiceRules::RepeatedCoursesMessage(), DialogButton::Ok);
    return true;
}

namespace ChoiceRules {

QString NoEntriesMessage() {
    return QStringLiteral("Es sind noch keine Fächer eingetragen.");
}

QString UnknownSubjectMessage(const QString &text) {
    return QStringLiteral("Das Fach  ") + text + QStringLiteral("  ist nicht bekannt!") + CR +
           QStringLiteral("Beachte die wählbaren Fächer und ihre Schreibweise.");
}

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

QString RepeatedCoursesMessage() {
    return QStringLiteral("Mindestens ein Kurs innerhalb eines Semesters ist mehrfach angewählt worden.") +
           CR + CR + QStringLiteral("Diese Kurse dürfen nicht themengleich sein!");
}

} // namespace ChoiceRules

void ChoiceTest::ShowRuleViolation(const QString &text) {
    m_dialogs.error(text);
}

bool ChoiceTest::BuildCourseMatrix() {
    bool anyEntry = false;
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QStringView trimmed = TrimBlanksView(m_grid.storedText(s, r));
            if (!trimmed.isEmpty())
                anyEntry = true;
            CourseMatrix.at(s, r) = LookupTrimmedSubjectCode(trimmed);
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
