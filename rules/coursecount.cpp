#include "rules/choicerules.h"

// The course count and the verdict: the last stage of the run. A choice with at least 33
// courses (Sport-Theorie not counted) is marked as tested, and the pupil is told what must
// still be seen to and asked whether to print the course-selection sheet.

namespace {

const QString &foreignLanguageQuestion() {
    static const QString question =
        QStringLiteral(" Bist du dir sicher, dass die Fremdsprache") + CR +
        QStringLiteral(" im LK eine weitergeführte Sprache ist?") + CR + CR +
        QStringLiteral(" Weitergeführt sind Fremdsprachen, wenn sie in der SEK I") + CR +
        QStringLiteral(" regulär unterrichtet und benotet wurden. (keine AGs!)") + CR + CR +
        QStringLiteral(" Fremdsprachen, die in der 11. Klasse neu begonnen wurden,") + CR +
        QStringLiteral(" dürfen nicht(!) als LK gewählt werden.");
    return question;
}

// The verdict with the course count; the parts around the count are composed once.
QString verdict(const QString &count) {
    static const QString conditions =
        QStringLiteral("»Eine im 11. Jg. begonnene Fremdsprache muss (!) im 12.u.13. Jg. belegt werden.") +
        CR + QStringLiteral("»Die durchgängige Fremdsprache muss im 11.Jg. durchgängig belegt worden sein.") +
        CR +
        QStringLiteral("»Die durchgängige Naturwissenschaft muss mind. ein halbes Jahr im 11. Jg. belegt "
                       "worden sein.") +
        CR + QStringLiteral("»Bei Sport als LK/PK muss ein ärztlicher Unbedenklichkeitsbescheid vorliegen.") +
        CR + QStringLiteral("»Die max. Wochenstundenzahl beträgt 34 Stunden.") + CR + CR +
        QStringLiteral("   Du hast ");
    static const QString closing =
        QStringLiteral(" Kurse gewählt. Davon können 32 in die Abiturnote eingehen.") + CR + CR +
        QStringLiteral("»»» Wenn die oben genannten Bedingungen erfüllt sind, ist die Wahl o.k.! ") + CR +
        CR + QStringLiteral("Soll ein offizieller Fachlesebogen ausgedruck werden?");
    QString text;
    text.reserve(conditions.size() + count.size() + closing.size());
    text += conditions;
    text += count;
    text += closing;
    return text;
}
} // namespace

namespace ChoiceRules {

int CountCourses(const CourseMatrixCodes &matrix) {
    int count = 0;
    for (const SubjectCode code : matrix.codes) {
        if (code != kEmptySubject && code != Subject::SportTheorie)
            ++count;
    }
    return count;
}

QString TooFewCoursesMessage(int count) {
    return QStringLiteral("Du hast ") + QString::number(count) + QStringLiteral(" Kurse gewählt.") + CR +
           QStringLiteral("Es müssen aber mindestens 33 belegt werden.") + CR + CR +
           QStringLiteral("Die Sporttheoriekurse werden dabei nicht berücksichtigt.");
}

} // namespace ChoiceRules

bool ChoiceTest::CheckCourseCount() {
    const int courses = CountCourses();
    LastCourseCount = courses;

    if (courses < ChoiceRules::kMinimumCourses) {
        ShowRuleViolation(ChoiceRules::TooFewCoursesMessage(courses));
        return false;
    }

    if (ForeignLanguageLK && dialogs().messageBox(QStringLiteral(" WICHTIGE FRAGE!"),
                                                  foreignLanguageQuestion()) == DialogButton::No)
        return false;

    ChoiceTested = true;
    if (AlertSound)
        AlertSound();
    // On "&Ja" the print dialog opens without a modal loop, and the run finishes meanwhile.
    if (dialogs().informationQuestion(verdict(QString::number(courses))) == DialogButton::Yes &&
        OpenPrintForm)
        OpenPrintForm();
    return true;
}
