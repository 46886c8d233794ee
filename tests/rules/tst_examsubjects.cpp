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

constexpr int kUntouched = -1; // ForeignLanguageLK keeps what it was before the stage

QStringList exam(const char *lk1, const char *lk2, const char *pk3, const char *pk4) {
    return {QString::fromUtf8(lk1), QString::fromUtf8(lk2), QString::fromUtf8(pk3), QString::fromUtf8(pk4)};
}
} // namespace

void TestExamSubjects::rules_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("foreignLanguageLK"); // 0, 1 or kUntouched

    QTest::newRow("1 before 10: exam rows empty")
        << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"DE"_s, u"MA"_s} << QStringList{kRule1} << kUntouched;
    QTest::newRow("1: LK Kunst and Informatik")
        << exam("KU", "IN", "EN", "MA") << QStringList{kRule1} << kUntouched;
    QTest::newRow("2: LK Deutsch and Kunst, PK Geschichte and Biologie")
        << exam("DE", "KU", "GE", "BI") << QStringList{kRule2} << 0;
    QTest::newRow("2: LK Deutsch twice") << exam("DE", "DE", "GE", "BI") << QStringList{kRule2} << 0;
    QTest::newRow("3 then 7: LK Physik and Kunst, PK Geschichte and Biologie")
        << exam("PH", "KU", "GE", "BI") << QStringList{kRule3, kRule7} << 0;
    QTest::newRow("3 then 4") << exam("PH", "KU", "SP", "GE") << QStringList{kRule3, kRule4} << 0;
    QTest::newRow("3 then 6") << exam("PH", "BI", "GE", "SP") << QStringList{kRule3, kRule6 + u"A  "_s} << 0;
    QTest::newRow("4: PK 3 Sport") << exam("DE", "MA", "SP", "GE") << QStringList{kRule4} << 0;
    QTest::newRow("5: LK 2 Sport-Theorie") << exam("EN", "ST", "MA", "GE") << QStringList{kRule5} << 1;
    QTest::newRow("6: B missing") << exam("DE", "MA", "PH", "SP") << QStringList{kRule6 + u"B  "_s} << 0;
    QTest::newRow("6: B and C missing")
        << exam("DE", "EN", "KU", "SP") << QStringList{kRule6 + u"B  C  "_s} << 1;
    QTest::newRow("7: Kunst the only field-A subject")
        << exam("MA", "PH", "KU", "GE") << QStringList{kRule7} << 0;
    QTest::newRow("8: LK Türkisch") << exam("TU", "MA", "GE", "BI") << QStringList{kRule8} << 1;
    QTest::newRow("8: LK Pädagogik") << exam("PA", "MA", "DE", "PH") << QStringList{kRule8} << 0;
    QTest::newRow("8: LK Religion") << exam("RE", "DE", "MA", "PH") << QStringList{kRule8} << 0;
    QTest::newRow("9: PK Werte u. Normen") << exam("DE", "MA", "EN", "WN") << QStringList{kRule9} << 0;
    QTest::newRow("10: PK 4 empty in semester 3")
        << exam("DE", "MA", "EN", "GE GE - GE") << QStringList{kRule10} << 0;
    QTest::newRow("10: LK 1 empty in semester 4")
        << exam("EN EN EN -", "MA", "DE", "GE") << QStringList{kRule10} << 1;
    QTest::newRow("pass: LK Deutsch Mathematik, PK Geschichte Sport")
        << exam("DE", "MA", "GE", "SP") << QStringList() << 0;
    QTest::newRow("pass: LK Deutsch Sport, PK Mathematik Geschichte")
        << exam("DE", "SP", "MA", "GE") << QStringList() << 0;
    QTest::newRow("pass: LK 2 Latein, PK Religion") << exam("BI", "LA", "RE", "KU") << QStringList() << 1;
    QTest::newRow("pass: PK Türkisch, other subjects in later semesters")
        << exam("MA", "PH KU KU KU", "TU", "RE") << QStringList() << 0;
}

void TestExamSubjects::rules() {
    QFETCH(QStringList, rows);
    QFETCH(QStringList, messages);
    QFETCH(int, foreignLanguageLK);

    for (const bool before : {false, true}) {
        choices::Bench b(rows);
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
