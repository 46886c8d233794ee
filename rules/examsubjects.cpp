#include "rules/test.h"

// The examination subjects: the two Leistungsfächer (LK 1, LK 2) and the third and fourth
// examination subjects (PK 3, PK 4). Rules 1 ... 9 judge the entries of semester 1; rule 10
// asks that all sixteen examination cells of the four semesters are filled.

namespace {
const QChar CR(u'\r');

// The groups of subjects the rules speak of, one bit per subject code.
constexpr SubjectSet LkCore = 0x7807E;               // 1 ... 6, 15 ... 18
constexpr SubjectSet LkCoreWithoutDeutsch = 0x7807C; // 2 ... 6, 15 ... 18
constexpr SubjectSet LanguageOrMathematik = 0x807C;  // 2 ... 6, 15
constexpr SubjectSet DeutschLanguageOrMath = 0x807E; // 1 ... 6, 15
constexpr SubjectSet DeutschOrLanguage = 0x7E;       // 1 ... 6
constexpr SubjectSet NoLeistungsfach = 0x3040;       // Türkisch, Pädagogik, Religion

constexpr int kExamRows = 4; // LK 1, LK 2, PK 3, PK 4

bool meets(SubjectSet set, SubjectSet group) {
    return (set & group) != 0;
}

// The rule-6 message: names every Aufgabenfeld that no examination subject covers.
QString missingAufgabenfeldMessage(SubjectSet exam) {
    QString text =
        QStringLiteral("Unter den Leistungs- und Prüfungsfächern muss je ein Fach aus den verschiedenen "
                       "Aufgabenfeldern sein.") +
        CR + CR + QStringLiteral("Es fehlt/fehlen: Aufgabenfeld  ");
    if (!meets(exam, AufgabenfeldA))
        text += QStringLiteral("A  ");
    if (!meets(exam, AufgabenfeldB))
        text += QStringLiteral("B  ");
    if (!meets(exam, AufgabenfeldC))
        text += QStringLiteral("C  ");
    return text;
}
} // namespace

bool ChoiceTest::CheckExamSubjects() {
    SubjectSet lk = 0;
    SubjectSet pk = 0;
    for (int r = 1; r <= kExamRows; ++r) {
        const SubjectCode code = CourseMatrix.at(1, r);
        if (code == kEmptySubject)
            continue;
        (r <= 2 ? lk : pk) |= subjectBit(code);
    }
    const SubjectSet exam = lk | pk;

    // 1: one Leistungsfach from the core subjects.
    if (!meets(lk, LkCore)) {
        ShowRuleViolation(QStringLiteral(
            "Ein Leistungsfach muss DEUTSCH oder eine weitergeführte(!) FREMDSPRACHE oder MATHEMATIK oder "
            "eine NATURWISSENSCHAFT (nicht Informatik) sein."));
        return false;
    }
    ForeignLanguageLK = meets(lk, ForeignLanguages);

    // 2: Deutsch as the only core Leistungsfach needs Mathematik or a language as PK.
    if (!meets(lk, LkCoreWithoutDeutsch) && !meets(pk, LanguageOrMathematik)) {
        ShowRuleViolation(QStringLiteral(
            "Ist nur DEUTSCH und nicht auch eine weitergeführte FREMDSPRACHE, MATHEMATIK oder eine "
            "NATURWISSENSCHAFT Leistungsfach, dann muss als drittes oder viertes Prüfungsfach MATHEMATIK "
            "oder eine FREMDSPRACHE gewählt werden."));
        return false;
    }

    // 3: Deutsch, a language or Mathematik among the four. Only reported: rule 7 then fails
    // as well and ends the stage with its own message.
    if (!meets(exam, DeutschLanguageOrMath)) {
        ShowRuleViolation(QStringLiteral("Unter den vier Prüfungsfächern müssen die Fächer DEUTSCH oder eine "
                                         "weitergeführte FREMDSPRACHE oder MATHEMATIK sein."));
    }

    // 4: Sport is no third examination subject.
    if (CourseMatrix.at(1, 3) == Subject::Sport) {
        ShowRuleViolation(QStringLiteral("SPORT kann nicht drittes Prüfungsfach sein."));
        return false;
    }

    // 5: Sport-Theorie is no examination subject.
    if (contains(exam, Subject::SportTheorie)) {
        ShowRuleViolation(QStringLiteral("Bitte SPORT und nicht SPORT-THEORIE als Prüfungsfach eintragen."));
        return false;
    }

    // 6: every Aufgabenfeld among the four.
    if (!meets(exam, AufgabenfeldA) || !meets(exam, AufgabenfeldB) || !meets(exam, AufgabenfeldC)) {
        ShowRuleViolation(missingAufgabenfeldMessage(exam));
        return false;
    }

    // 7: Kunst or Musik alone do not cover Aufgabenfeld A.
    if (!meets(exam, DeutschOrLanguage)) {
        ShowRuleViolation(QStringLiteral("Ein Prüfungfach aus Aufgabenfeld A muss DEUTSCH oder eine "
                                         "(weitergeführte oder in 11 neu begonnene FREMDSPRACHE sein."));
        return false;
    }

    // 8: Türkisch, Pädagogik and Religion only as PK 3 or PK 4.
    if (meets(lk, NoLeistungsfach)) {
        ShowRuleViolation(
            QStringLiteral("Die Fächer TÜRKISCH und RELIGION können nur P3- oder P4-Fächer sein."));
        return false;
    }

    // 9: Werte u. Normen is no examination subject.
    if (contains(exam, Subject::WerteUndNormen)) {
        ShowRuleViolation(QStringLiteral("WERTE UND NORMEN kann kein Prüfungsfach sein."));
        return false;
    }

    // 10: the examination subjects run through all four semesters.
    for (int s = 1; s <= GridModel::kSemesters; ++s) {
        for (int r = 1; r <= kExamRows; ++r) {
            if (CourseMatrix.at(s, r) == kEmptySubject) {
                ShowRuleViolation(
                    QStringLiteral("Es fehlt noch mindestens ein Leistungs- oder Prüfungsfach."));
                return false;
            }
        }
    }
    return true;
}
