#pragma once

#include "rules/dialogs.h"
#include "rules/verdict.h"

#include <QList>
#include <QString>
#include <QStringList>

// Composes everything the choice test says from its verdict: the dialogs of a run and the
// texts of its rules. The only place that knows these texts; nothing else looks into them.
namespace VerdictMessages {

// The dialogs that end a failed run, in order: the warning of stage 1, or the errors of the
// rule stages (two when rule 3 is reported ahead of the rule that ends stage 3). None for a
// run that passed, was not run, or ended at the foreign-language question.
QList<DialogRequest> EndingDialogs(const Verdict &verdict);

// Their texts. Without `withReminder` the message about missing courses ends before the fixed
// reminder of the obligations, which every such message repeats (for lists of many choices).
QStringList FailureMessages(const Verdict &verdict, bool withReminder = true);

// For a run that failed without a dialog of its own (the foreign-language Leistungsfach not
// confirmed): what happened, in one sentence. Empty for any other verdict.
QString UnannouncedFailure(const Verdict &verdict);

// The warning about repeated courses (stage 2; "OK", the run goes on).
DialogRequest RepeatedCoursesDialog();

// The question whether the foreign-language Leistungsfach is continued from SEK I.
DialogRequest ForeignLanguageQuestion();

// The verdict of a passed run with its course count, and the offer to print the sheet.
DialogRequest PassedDialog(const Verdict &verdict);

// The text of exam rule `rule` (1 ... 11); rule 6 names the Aufgabenfelder `examSubjects`
// miss, rule 11 the examination row `changingRow` (empty text for row 0).
QString ExamRuleText(int rule, SubjectSet examSubjects, int changingRow);

// The item of the message about missing courses for one obligation, e.g. "1xPolitik ".
QString ObligationItem(const ChoiceRules::MissingObligation &missing);

} // namespace VerdictMessages
