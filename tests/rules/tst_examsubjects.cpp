#include "support/choices.h"
#include "support/tables.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The ten rules on the examination subjects, each failing alone, and their order
// (data/exam-subjects.tsv).
class TestExamSubjects : public QObject {
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
};

namespace {
const QString kRule1 = u"Ein Leistungsfach muss DEUTSCH oder eine weitergeführte(!) FREMDSPRACHE oder "
                       "MATHEMATIK oder eine NATURWISSENSCHAFT (nicht Informatik) sein."_s;
const QString kRule2 =
    u"Ist nur DEUTSCH und nicht auch eine weitergeführte FREMDSPRACHE, MATHEMATIK oder eine "
    "NATURWISSENSCHAFT Leistungsfach, dann muss als drittes oder viertes Prüfungsfach "
    "MATHEMATIK oder eine FREMDSPRACHE gewählt werden."_s;
const QString kRule3 = u"Unter den vier Prüfungsfächern müssen die Fächer DEUTSCH oder eine weitergeführte "
                       "FREMDSPRACHE oder MATHEMATIK sein."_s;
const QString kRule4 = u"SPORT kann nicht drittes Prüfungsfach sein."_s;
const QString kRule5 = u"Bitte SPORT und nicht SPORT-THEORIE als Prüfungsfach eintragen."_s;
const QString kRule6 = u"Unter den Leistungs- und Prüfungsfächern muss je ein Fach aus den verschiedenen "
                       "Aufgabenfeldern sein.\r\rEs fehlt/fehlen: Aufgabenfeld  "_s;
const QString kRule7 =
    u"Ein Prüfungfach aus Aufgabenfeld A muss DEUTSCH oder eine (weitergeführte oder in 11 "
    "neu begonnene FREMDSPRACHE sein."_s;
const QString kRule8 = u"Die Fächer TÜRKISCH und RELIGION können nur P3- oder P4-Fächer sein."_s;
const QString kRule9 = u"WERTE UND NORMEN kann kein Prüfungsfach sein."_s;
const QString kRule10 = u"Es fehlt noch mindestens ein Leistungs- oder Prüfungsfach."_s;
QString rule11(const QString &label) {
    return u"Die Leistungs- und Prüfungsfächer müssen in allen vier Semestern dieselben sein.\rIn der Zeile  "_s +
           label + u"  stehen verschiedene Fächer."_s;
}

constexpr int kUntouched = -1; // ForeignLanguageLK keeps what it was before the stage
} // namespace

void TestExamSubjects::rules_data() {
    QTest::addColumn<QString>("rows"); // rows 1 ... 11 as in choices::fill, split at "|"
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("foreignLanguageLK"); // 0, 1 or kUntouched
    const QMap<QString, QString> rules = {{u"1"_s, kRule1}, {u"2"_s, kRule2}, {u"3"_s, kRule3}, {u"4"_s, kRule4},
                                          {u"5"_s, kRule5}, {u"6"_s, kRule6}, {u"7"_s, kRule7}, {u"8"_s, kRule8},
                                          {u"9"_s, kRule9}, {u"10"_s, kRule10}};
    for (const QList<QByteArray> &r : tables::rows(u"rules/data/exam-subjects.tsv"_s)) {
        QStringList messages;
        for (const QString &ref : tables::text(r.value(2)).split(u'|', Qt::SkipEmptyParts)) {
            const QString rule = ref.section(u':', 0, 0), detail = ref.section(u':', 1);
            messages << (rule == u"11"_s ? rule11(detail) : rules.value(rule) + detail);
        }
        QTest::newRow(r.value(0).constData()) << QString::fromUtf8(r.value(1)) << messages
                                              << (r.value(3) == "-" ? kUntouched : r.value(3).toInt());
    }
}

void TestExamSubjects::rules() {
    QFETCH(QString, rows);
    QFETCH(QStringList, messages);
    QFETCH(int, foreignLanguageLK);

    for (const bool before : {false, true}) {
        choices::Bench b(rows.split(u'|'));
        b.test.ForeignLanguageLK = before;
        b.test.BuildCourseMatrix();

        QCOMPARE(b.test.CheckExamSubjects(), messages.isEmpty());
        QList<DialogRequest> expected;
        for (const QString &message : messages)
            expected.append(choices::ruleViolation(message));
        QCOMPARE(choices::requests(b.recorder), expected);
        QCOMPARE(b.test.ForeignLanguageLK, foreignLanguageLK == kUntouched ? before : foreignLanguageLK == 1);
    }
}

QTEST_APPLESS_MAIN(TestExamSubjects)
#include "tst_examsubjects.moc"
