#include "rules/choicerules.h"
#include "rules/verdictmessages.h"

// The course count and the verdict: the last stage of the run. A choice with at least 33
// courses (Sport-Theorie not counted) is marked as tested, and the pupil is told what must
// still be seen to and asked whether to print the course-selection sheet.

namespace ChoiceRules {

int CountCourses(const CourseMatrixCodes &matrix) {
    int count = 0;
    for (const SubjectCode code : matrix.codes) {
        if (code != kEmptySubject && code != Subject::SportTheorie)
            ++count;
    }
    return count;
}

} // namespace ChoiceRules

bool ChoiceTest::CheckCourseCount() {
    const int courses = CountCourses();
    LastCourseCount = courses;
    LastVerdict.courses = courses;
    LastVerdict.foreignLanguageLK = ForeignLanguageLK;

    if (courses < ChoiceRules::kMinimumCourses) {
        LastVerdict.stage = Verdict::Stage::TooFewCourses;
        ShowEnding();
        return false;
    }

    if (ForeignLanguageLK) {
        const bool continued = dialogs().ask(VerdictMessages::ForeignLanguageQuestion()) != DialogButton::No;
        LastVerdict.foreignLanguageContinued = continued;
        if (!continued) {
            LastVerdict.stage = Verdict::Stage::ForeignLanguage;
            return false;
        }
    }

    ChoiceTested = true;
    LastVerdict.stage = Verdict::Stage::Passed;
    if (AlertSound)
        AlertSound();
    // On "&Ja" the print dialog opens without a modal loop, and the run finishes meanwhile.
    if (dialogs().ask(VerdictMessages::PassedDialog(LastVerdict)) == DialogButton::Yes && OpenPrintForm)
        OpenPrintForm();
    return true;
}
