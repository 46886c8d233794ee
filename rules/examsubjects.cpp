#include "rules/test.h"

// The examination subjects: the two Leistungsfächer (LK 1, LK 2) and the third and fourth
// examination subjects (PK 3, PK 4).
bool ChoiceTest::CheckExamSubjects() { return true; }
