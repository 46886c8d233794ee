#include "rules/test.h"

// The course count and the verdict.
bool ChoiceTest::CheckCourseCount() {
    LastCourseCount = CountCourses();
    return true;
}
