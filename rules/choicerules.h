#pragma once

#include "rules/catalog.h"
#include "rules/test.h"

#include <QList>
#include <QString>

// The one definition of every rule of the choice test: its condition and its message. The
// stages of the run report the first failures through dialogs; the checklist lists them all.

namespace ChoiceRules {

// --- Stage 1: the entries ---
QString NoEntriesMessage();                         // "Es sind noch keine Fächer eingetragen."
QString UnknownSubjectMessage(const QString &text); // "Das Fach  " text "  ist nicht bekannt!" ...

// --- Stage 2: repeated courses (a warning only) ---
// True when a code other than 0 stands twice in one semester.
bool HasRepeatedCourses(const CourseMatrixCodes &matrix);
QString RepeatedCoursesMessage();

// --- Stage 3: the examination subjects ---
inline constexpr int kExamRuleCount = 11;

// The codes of rows 1 ... 4 of semester 1, without the empty code.
struct ExamSets {
    SubjectSet lk = 0;   // LK 1, LK 2
    SubjectSet pk = 0;   // PK 3, PK 4
    SubjectSet exam = 0; // all four
};
ExamSets BuildExamSets(const CourseMatrixCodes &matrix);

// True when a Leistungsfach is a foreign language.
bool HasForeignLanguageLK(const ExamSets &sets);

// True when exam rule `rule` (1 ... 11) fails, judged on its own. The stage tests rule 11
// only after rule 10 has passed.
bool ExamRuleFails(int rule, const CourseMatrixCodes &matrix, const ExamSets &sets);

// The message of a failing exam rule (rule 6 names the missing fields, rule 11 the first
// row whose subject changes).
QString ExamRuleMessage(int rule, const CourseMatrixCodes &matrix, const ExamSets &sets);

// The first examination row (1 ... 4) whose code in semester 2, 3 or 4 differs from that of
// semester 1; 0 when none does.
int FirstChangingExamRow(const CourseMatrixCodes &matrix);

// --- Stage 4: the compulsory courses ---
// MissingObligation: rules/verdict.h

// Every obligation the choice does not meet, in the order of the message.
QList<MissingObligation> MissingObligations(const CourseMatrixCodes &matrix);

// The one message that lists the missing courses and, after an empty line, the reminder of
// the obligations (left out without `withReminder`).
QString MissingObligationsMessage(const QList<MissingObligation> &missing, bool withReminder = true);

// --- Stage 5: the course count ---
inline constexpr int kMinimumCourses = 33;

// The entries that are neither empty nor Sport-Theorie.
int CountCourses(const CourseMatrixCodes &matrix);
QString TooFewCoursesMessage(int count);

} // namespace ChoiceRules
