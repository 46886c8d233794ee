#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The ten rules on the examination subjects, each failing alone, and their order.
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

    QTest::newRow("1 before 10: exam rows empty") << u"-|-|-|-|DE|MA"_s << QStringList{kRule1} << kUntouched;
    QTest::newRow("1: LK Kunst and Informatik") << u"KU|IN|EN|MA"_s << QStringList{kRule1} << kUntouched;
    QTest::newRow("2: only Deutsch in the LK set") << u"DE|KU|GE|BI"_s << QStringList{kRule2} << 0;
    QTest::newRow("3 then 7") << u"PH|KU|GE|BI"_s << QStringList{kRule3, kRule7} << 0;
    QTest::newRow("3 then 6") << u"PH|BI|GE|SP"_s << QStringList{kRule3, kRule6 + u"A  "_s} << 0;
    QTest::newRow("4: PK 3 Sport") << u"DE|MA|SP|GE"_s << QStringList{kRule4} << 0;
    QTest::newRow("5: LK 2 Sport-Theorie") << u"EN|ST|MA|GE"_s << QStringList{kRule5} << 1;
    QTest::newRow("5: PK 4 Sport-Theorie") << u"DE|MA|EN|ST"_s << QStringList{kRule5} << 0;
    QTest::newRow("6: B and C missing") << u"DE|EN|KU|SP"_s << QStringList{kRule6 + u"B  C  "_s} << 1;
    QTest::newRow("7: only Kunst from field A") << u"MA|PH|KU|GE"_s << QStringList{kRule7} << 0;
    QTest::newRow("8: LK Türkisch") << u"TU|MA|GE|BI"_s << QStringList{kRule8} << 1;
    QTest::newRow("8: LK Pädagogik") << u"PA|MA|DE|PH"_s << QStringList{kRule8} << 0;
    QTest::newRow("9: PK Werte u. Normen") << u"DE|MA|EN|WN"_s << QStringList{kRule9} << 0;
    QTest::newRow("10: PK 4 empty in sem 3") << u"DE|MA|EN|GE GE - GE"_s << QStringList{kRule10} << 0;
    QTest::newRow("pass: PK 4 Sport") << u"DE|MA|GE|SP"_s << QStringList() << 0;
    QTest::newRow("pass: LK 2 Sport") << u"DE|SP|MA|GE"_s << QStringList() << 0;
    QTest::newRow("pass: LK 2 Latein, PK Religion") << u"BI|LA|RE|KU"_s << QStringList() << 1;
    QTest::newRow("pass: PK Türkisch") << u"MA|PH|TU|RE"_s << QStringList() << 0;
    QTest::newRow("8: LK Religion") << u"RE|MA|DE|PH"_s << QStringList{kRule8} << 0;
    QTest::newRow("9: LK Werte u. Normen") << u"WN|MA|DE|PH"_s << QStringList{kRule9} << 0;
    // 11: the subjects of semester 1 in every semester, the first changing row named.
    QTest::newRow("11: LK 1 in sem 2") << u"DE EN DE DE|MA|EN|GE"_s << QStringList{rule11(u"LK 1"_s)} << 0;
    QTest::newRow("11: LK 2 in sem 3") << u"DE|MA MA PH MA|EN|GE"_s << QStringList{rule11(u"LK 2"_s)} << 0;
    QTest::newRow("11: PK 3 in sem 4") << u"DE|MA|EN EN EN FR|GE"_s << QStringList{rule11(u"PK 3"_s)} << 0;
    QTest::newRow("11: PK 4 in sem 2") << u"DE|MA|EN|GE KU GE GE"_s << QStringList{rule11(u"PK 4"_s)} << 0;
    QTest::newRow("11: PK 4 Kunst from sem 2")
        << u"DE|MA|EN|GE KU KU KU"_s << QStringList{rule11(u"PK 4"_s)} << 0;
    QTest::newRow("11: LK 2 named before PK 3")
        << u"EN|MA MA MA PH|DE KU DE DE|GE"_s << QStringList{rule11(u"LK 2"_s)} << 1;
    QTest::newRow("11: PK 3 named before PK 4")
        << u"DE|MA|EN EN LA EN|GE GE GE PO"_s << QStringList{rule11(u"PK 3"_s)} << 0;
    QTest::newRow("11 after 10: an empty cell") << u"DE EN - DE|MA|EN|GE"_s << QStringList{kRule10} << 0;
    QTest::newRow("11 after 10: empty in another row")
        << u"DE EN DE DE|MA|EN|GE GE GE -"_s << QStringList{kRule10} << 0;
    QTest::newRow("11 after 9") << u"DE|MA|EN|WN GE GE GE"_s << QStringList{kRule9} << 0;
    QTest::newRow("11 after 4") << u"DE|MA|SP KU KU KU|GE"_s << QStringList{kRule4} << 0;
    QTest::newRow("11 after 3 and 7") << u"PH|KU DE DE DE|GE|BI"_s << QStringList{kRule3, kRule7} << 0;
    QTest::newRow("pass: later semesters alike, Sport PK 4") << u"EN|BI|GE|SP"_s << QStringList() << 1;
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
