#include "rules/verdictmessages.h"

#include "rules/choicerules.h"

namespace {
const QChar TAB(u'\t');

DialogRequest request(DialogKind kind, const QString &text, QList<DialogButton> buttons) {
    return DialogRequest{kind, kindCaption(kind), text, std::move(buttons)};
}

DialogRequest ruleViolation(const QString &text) {
    return request(DialogKind::Error, text, {DialogButton::Cancel});
}

// The rule-6 message: names every Aufgabenfeld that no examination subject covers.
QString missingAufgabenfeldMessage(SubjectSet exam) {
    QString text =
        QStringLiteral("Unter den Leistungs- und Prüfungsfächern muss je ein Fach aus den verschiedenen "
                       "Aufgabenfeldern sein.") +
        CR + CR + QStringLiteral("Es fehlt/fehlen: Aufgabenfeld  ");
    if ((exam & AufgabenfeldA) == 0)
        text += QStringLiteral("A  ");
    if ((exam & AufgabenfeldB) == 0)
        text += QStringLiteral("B  ");
    if ((exam & AufgabenfeldC) == 0)
        text += QStringLiteral("C  ");
    return text;
}

const QString &examRowLabel(int row) {
    static const QString labels[GridModel::kExamRows] = {QStringLiteral("LK 1"), QStringLiteral("LK 2"),
                                                         QStringLiteral("PK 3"), QStringLiteral("PK 4")};
    return labels[row - 1];
}

// "(missing)x" followed by the text, e.g. "3xDeutsch ".
QString missingItem(int missing, const QString &text) {
    return QString::number(missing) + u'x' + text;
}

// The reminder that closes every message about missing courses.
const QString &obligationsReminder() {
    static const QString reminder =
        QStringLiteral("Beachte die Belegungungsverpflichtungen:") + CR + u'A' + TAB + TAB + u'B' + TAB +
        TAB + u'C' + CR + QStringLiteral("4xDE") + TAB + TAB + QStringLiteral("2xPO") + TAB + TAB +
        QStringLiteral("4xNW") + CR + QStringLiteral("4xFremdsp.") + TAB + QStringLiteral("2xGE") + TAB +
        TAB + QStringLiteral("4xMA") + CR + QStringLiteral("2xKU o. 2xMU") + TAB +
        QStringLiteral("2xRE o. 2xWN") + CR + QStringLiteral("4xSP  Bei Sport-LK zus. 4xSportheorie") + CR +
        CR + QStringLiteral("Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : ") + CR +
        QStringLiteral("2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK") + CR +
        QStringLiteral("Informatik ist keine Naturwissenschaft");
    return reminder;
}

const QString &foreignLanguageQuestionText() {
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
QString passedText(const QString &count) {
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

QString NoEntriesMessage() {
    return QStringLiteral("Es sind noch keine Fächer eingetragen.");
}

QString UnknownSubjectMessage(const QString &text) {
    return QStringLiteral("Das Fach  ") + text + QStringLiteral("  ist nicht bekannt!") + CR +
           QStringLiteral("Beachte die wählbaren Fächer und ihre Schreibweise.");
}

QString RepeatedCoursesMessage() {
    return QStringLiteral("Mindestens ein Kurs innerhalb eines Semesters ist mehrfach angewählt worden.") +
           CR + CR + QStringLiteral("Diese Kurse dürfen nicht themengleich sein!");
}

QString ExamRuleMessage(int rule, const CourseMatrixCodes &matrix, const ExamSets &sets) {
    return VerdictMessages::ExamRuleText(rule, sets.exam, rule == 11 ? FirstChangingExamRow(matrix) : 0);
}

QString MissingObligationsMessage(const QList<MissingObligation> &missing, bool withReminder) {
    QString fourSemesters; // first list
    QString further;       // second list
    for (const MissingObligation &item : missing)
        (item.secondList ? further : fourSemesters) += item.text;
    const QString lists = QStringLiteral("Es fehlen folgende Kurse:") + CR + fourSemesters + CR + further;
    return withReminder ? lists + CR + CR + obligationsReminder() : lists;
}

QString TooFewCoursesMessage(int count) {
    return QStringLiteral("Du hast ") + QString::number(count) + QStringLiteral(" Kurse gewählt.") + CR +
           QStringLiteral("Es müssen aber mindestens 33 belegt werden.") + CR + CR +
           QStringLiteral("Die Sporttheoriekurse werden dabei nicht berücksichtigt.");
}

} // namespace ChoiceRules

namespace VerdictMessages {

QString ExamRuleText(int rule, SubjectSet examSubjects, int changingRow) {
    switch (rule) {
    case 1:
        return QStringLiteral("Ein Leistungsfach muss DEUTSCH oder eine weitergeführte(!) FREMDSPRACHE oder "
                              "MATHEMATIK oder eine NATURWISSENSCHAFT (nicht Informatik) sein.");
    case 2:
        return QStringLiteral(
            "Ist nur DEUTSCH und nicht auch eine weitergeführte FREMDSPRACHE, MATHEMATIK oder eine "
            "NATURWISSENSCHAFT Leistungsfach, dann muss als drittes oder viertes Prüfungsfach MATHEMATIK "
            "oder eine FREMDSPRACHE gewählt werden.");
    case 3:
        return QStringLiteral("Unter den vier Prüfungsfächern müssen die Fächer DEUTSCH oder eine "
                              "weitergeführte FREMDSPRACHE oder MATHEMATIK sein.");
    case 4:
        return QStringLiteral("SPORT kann nicht drittes Prüfungsfach sein.");
    case 5:
        return QStringLiteral("Bitte SPORT und nicht SPORT-THEORIE als Prüfungsfach eintragen.");
    case 6:
        return missingAufgabenfeldMessage(examSubjects);
    case 7:
        return QStringLiteral("Ein Prüfungfach aus Aufgabenfeld A muss DEUTSCH oder eine "
                              "(weitergeführte oder in 11 neu begonnene FREMDSPRACHE sein.");
    case 8:
        return QStringLiteral("Die Fächer TÜRKISCH und RELIGION können nur P3- oder P4-Fächer sein.");
    case 9:
        return QStringLiteral("WERTE UND NORMEN kann kein Prüfungsfach sein.");
    case 10:
        return QStringLiteral("Es fehlt noch mindestens ein Leistungs- oder Prüfungsfach.");
    case 11:
        if (changingRow < 1 || changingRow > GridModel::kExamRows)
            return QString();
        return QStringLiteral("Die Leistungs- und Prüfungsfächer müssen in allen vier Semestern dieselben "
                              "sein.") +
               CR + QStringLiteral("In der Zeile  ") + examRowLabel(changingRow) +
               QStringLiteral("  stehen verschiedene Fächer.");
    }
    return QString();
}

QString ObligationItem(const ChoiceRules::MissingObligation &missing) {
    const QString &n = missing.number;
    if (n == u"2" && missing.subject == kEmptySubject)
        return QStringLiteral("4xNaturw.");
    if (n == u"4" && missing.subject == kEmptySubject)
        return QStringLiteral("4xFremdsp. ");
    if (n == u"2" || n == u"4")
        return missingItem(missing.count, SubjectCatalog[missing.subject] + u' ');
    if (n == u"8a")
        return QStringLiteral("mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  ");
    if (n == u"8b")
        return QStringLiteral("mind. 1xReli./Werte u. Normen  ");
    if (n == u"9")
        return QStringLiteral("mind. 1xKunst/Musik ");
    // 1, 3, 5, 6, 7 and 10 name their subject; Mathematik is short, with two blanks.
    const QString name = missing.subject == Subject::Mathematik ? QStringLiteral("Mathe  ")
                                                                : SubjectCatalog[missing.subject] + u' ';
    return missingItem(missing.count, name);
}

QList<DialogRequest> EndingDialogs(const Verdict &verdict) {
    using Stage = Verdict::Stage;
    switch (verdict.stage) {
    case Stage::NoEntries:
        return {request(DialogKind::Warning, ChoiceRules::NoEntriesMessage(), {DialogButton::Cancel})};
    case Stage::UnknownSubject:
        return {request(DialogKind::Warning, ChoiceRules::UnknownSubjectMessage(verdict.unknown.text),
                        {DialogButton::Cancel})};
    case Stage::ExamSubjects: {
        QList<DialogRequest> dialogs;
        if (verdict.rule != verdict.endingRule)
            dialogs.append(
                ruleViolation(ExamRuleText(verdict.rule, verdict.examSubjects, verdict.changingRow)));
        dialogs.append(
            ruleViolation(ExamRuleText(verdict.endingRule, verdict.examSubjects, verdict.changingRow)));
        return dialogs;
    }
    case Stage::Obligations:
        return {ruleViolation(ChoiceRules::MissingObligationsMessage(verdict.missing))};
    case Stage::TooFewCourses:
        return {ruleViolation(ChoiceRules::TooFewCoursesMessage(verdict.courses.value_or(0)))};
    case Stage::NotRun:
    case Stage::ForeignLanguage:
    case Stage::Passed:
        break;
    }
    return {};
}

QStringList FailureMessages(const Verdict &verdict, bool withReminder) {
    if (!withReminder && verdict.stage == Verdict::Stage::Obligations)
        return {ChoiceRules::MissingObligationsMessage(verdict.missing, false)};
    QStringList texts;
    for (const DialogRequest &dialog : EndingDialogs(verdict))
        texts.append(dialog.text);
    return texts;
}

QString UnannouncedFailure(const Verdict &verdict) {
    if (verdict.stage != Verdict::Stage::ForeignLanguage)
        return QString();
    return QStringLiteral("Die Fremdsprache im LK wurde nicht als weitergeführt bestätigt.");
}

DialogRequest RepeatedCoursesDialog() {
    return request(DialogKind::Warning, ChoiceRules::RepeatedCoursesMessage(), {DialogButton::Ok});
}

DialogRequest ForeignLanguageQuestion() {
    return DialogRequest{DialogKind::MessageBox,
                         QStringLiteral(" WICHTIGE FRAGE!"),
                         foreignLanguageQuestionText(),
                         {DialogButton::Yes, DialogButton::No}};
}

DialogRequest PassedDialog(const Verdict &verdict) {
    return request(DialogKind::Information, passedText(QString::number(verdict.courses.value_or(0))),
                   {DialogButton::Yes, DialogButton::No});
}

} // namespace VerdictMessages

namespace ReasonCodes {

QString ExamRule(int rule) {
    return ExamRulePrefix + QString::number(rule);
}

QString Obligation(const QString &number) {
    return Obligations + u'-' + number;
}

} // namespace ReasonCodes

QString ReasonCode(const Verdict &verdict) {
    using Stage = Verdict::Stage;
    switch (verdict.stage) {
    case Stage::NotRun:
        return ReasonCodes::Unreadable;
    case Stage::NoEntries:
        return ReasonCodes::NoEntries;
    case Stage::UnknownSubject:
        return ReasonCodes::UnknownSubject;
    case Stage::ExamSubjects:
        return ReasonCodes::ExamRule(verdict.rule);
    case Stage::Obligations:
        return ReasonCodes::Obligations;
    case Stage::TooFewCourses:
        return ReasonCodes::TooFewCourses;
    case Stage::ForeignLanguage:
        return ReasonCodes::ForeignLanguageDenied;
    case Stage::Passed:
        return ReasonCodes::Ok;
    }
    return QString();
}
