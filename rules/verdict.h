#pragma once

#include "rules/catalog.h"

#include <QList>
#include <QString>

#include <optional>

// The outcome of the choice test as data: where the run ended and with what. The dialogs of a
// run are composed from it in one place (rules/verdictmessages.h); the command-line checker,
// its statistics and the Prüfliste read it (or the same codes) instead of message texts.

namespace ChoiceRules {
// One compulsory course obligation the choice does not meet.
struct MissingObligation {
    QString number;          // "1" ... "10"; "8a" or "8b" for obligation 8
    bool secondList = false; // Politik, Geschichte, ... (the message's second list)
    QString text;            // the item of the message, e.g. "1xPolitik "
    int count = 0;           // the semesters (courses) still missing, e.g. 1 for "1xPolitik "
    // For the obligations of a group (2: a natural science, 4: a foreign language) the subject
    // taken most, or 0 when none of the group is taken; otherwise the subject itself (0 for
    // the alternatives of 8a, 8b and 9).
    SubjectCode subject = kEmptySubject;
    bool operator==(const MissingObligation &) const = default;
};
} // namespace ChoiceRules

struct Verdict {
    enum class Stage {
        NotRun,          // no run yet; also the verdict of a file that could not be read
        NoEntries,       // stage 1: no course cell holds anything
        UnknownSubject,  // stage 1: a course cell holds no subject
        ExamSubjects,    // stage 3: an examination-subject rule
        Obligations,     // stage 4: compulsory courses missing
        TooFewCourses,   // stage 5: fewer than 33 courses
        ForeignLanguage, // stage 5: the foreign-language Leistungsfach not confirmed
        Passed,          // every stage passed
    };

    struct Cell {
        int column = 0; // semester 1 ... 4
        int row = 0;    // course row 1 ... 11
        QString text;   // as the test read it (blanks trimmed)
        bool operator==(const Cell &) const = default;
    };

    Stage stage = Stage::NotRun;
    bool repeatedCourses = false; // stage 2 warned
    // Stage 3: the first failing rule (1 ... 11) and the one that ended the stage. They differ
    // only when rule 3 failed: it is reported, and a later rule ends the stage.
    int rule = 0;
    int endingRule = 0;
    SubjectSet examSubjects = 0; // rows 1 ... 4 of semester 1 (rule 6 names what is missing)
    int changingRow = 0;         // rule 11: the first examination row whose subject changes
    Cell unknown;                // stage 1: the first cell that holds no subject
    QList<ChoiceRules::MissingObligation> missing; // stage 4, in the order of the message
    std::optional<int> courses;                    // stage 5: the course count
    bool foreignLanguageLK = false;                // stage 5: a foreign language is Leistungsfach
    std::optional<bool> foreignLanguageContinued;  // the answer to the question, when asked

    bool passed() const { return stage == Stage::Passed; }
    bool operator==(const Verdict &) const = default;
};

// The short, stable codes of outcomes and checklist items, defined here only.
namespace ReasonCodes {
inline const QString Ok = QStringLiteral("ok");
inline const QString Unreadable = QStringLiteral("unlesbar");
inline const QString NoEntries = QStringLiteral("leer");
inline const QString UnknownSubject = QStringLiteral("unbekanntes-fach");
inline const QString Repeated = QStringLiteral("doppelt");
inline const QString ExamRulePrefix = QStringLiteral("regel-");
inline const QString Obligations = QStringLiteral("belegung");
inline const QString TooFewCourses = QStringLiteral("unter-33");
inline const QString ForeignLanguageDenied = QStringLiteral("fremdsprache-lk-nein");

// "regel-1" ... "regel-11"
QString ExamRule(int rule);
// "belegung-1" ... "belegung-10", "belegung-8a", "belegung-8b"
QString Obligation(const QString &number);
} // namespace ReasonCodes

// The code of a run's outcome: "ok", "leer", "unbekanntes-fach", "regel-N" (the first failing
// rule), "belegung", "unter-33", "fremdsprache-lk-nein"; "unlesbar" for a verdict of no run.
QString ReasonCode(const Verdict &verdict);
