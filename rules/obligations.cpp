#include "rules/test.h"

// The compulsory courses of the qualification phase.
bool ChoiceTest::CheckCourseObligations() { return true; }
