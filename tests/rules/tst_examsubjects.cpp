#include "rules/test.h"
#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The ten rules on the examination subjects, each failing alone, and their order.
class TestExamSubjects : public QObject {
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void endsTheRun();
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

constexpr int kUntouched = -1;
} // namespace

void TestExamSubjects::rules_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("foreignLanguageLK"); // 0, 1 or kUntouched

    const auto exam = [](const char *lk1, const char *lk2, const char *pk3, const char *pk4) {
        return QStringList{QString::fromUtf8(lk1), QString::fromUtf8(lk2), QString::fromUtf8(pk3),
                           QString::fromUtf8(pk4)};
    };

    QTest::newRow("exam rows empty, Grundkurse entered")
        << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"DE"_s, u"MA"_s} << QStringList{kRule1} << kUntouched;
    QTest::newRow("1: LK Kunst and Informatik")
        << exam("KU", "IN", "DE", "MA") << QStringList{kRule1} << kUntouched;
    QTest::newRow("1: LK set empty in semester 1 only")
        << exam("- DE DE DE", "- MA MA MA", "GE", "EN") << QStringList{kRule1} << kUntouched;
    QTest::newRow("2: LK Deutsch and Kunst, PK Geschichte and Biologie")
        << exam("DE", "KU", "GE", "BI") << QStringList{kRule2} << 0;
    QTest::newRow("2: LK Deutsch twice") << exam("DE", "DE", "GE", "BI") << QStringList{kRule2} << 0;
    QTest::newRow("2: PK Physik is no help") << exam("DE", "GE", "KU", "PH") << QStringList{kRule2} << 0;
    QTest::newRow("3 then 7: LK Physik and Kunst, PK Geschichte and Biologie")
        << exam("PH", "KU", "GE", "BI") << QStringList{kRule3, kRule7} << 0;
    QTest::newRow("3 then 4") << exam("PH", "KU", "SP", "GE") << QStringList{kRule3, kRule4} << 0;
    QTest::newRow("3 then 5") << exam("PH", "KU", "GE", "ST") << QStringList{kRule3, kRule5} << 0;
    QTest::newRow("3 then 6") << exam("PH", "BI", "GE", "SP") << QStringList{kRule3, kRule6 + u"A  "_s} << 0;
    QTest::newRow("4: PK 3 Sport") << exam("DE", "MA", "SP", "GE") << QStringList{kRule4} << 0;
    QTest::newRow("5: PK 4 Sport-Theorie") << exam("DE", "MA", "GE", "ST") << QStringList{kRule5} << 0;
    QTest::newRow("5: LK 2 Sport-Theorie") << exam("DE", "ST", "MA", "GE") << QStringList{kRule5} << 0;
    QTest::newRow("6: B missing") << exam("DE", "MA", "PH", "SP") << QStringList{kRule6 + u"B  "_s} << 0;
    QTest::newRow("6: B and C missing")
        << exam("DE", "EN", "KU", "SP") << QStringList{kRule6 + u"B  C  "_s} << 1;
    QTest::newRow("6: A and B missing")
        << exam("MA", "PH", "BI", "SP") << QStringList{kRule6 + u"A  B  "_s} << 0;
    QTest::newRow("6: C missing, Sport no field")
        << exam("DE", "EN", "GE", "SP") << QStringList{kRule6 + u"C  "_s} << 1;
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
    QTest::newRow("pass: LK Englisch") << exam("EN", "MA", "DE", "GE") << QStringList() << 1;
    QTest::newRow("pass: LK 2 Latein") << exam("BI", "LA", "RE", "KU") << QStringList() << 1;
    QTest::newRow("pass: PK Türkisch and Religion") << exam("MA", "PH", "TU", "RE") << QStringList() << 0;
    QTest::newRow("pass: other subjects in later semesters")
        << exam("DE KU KU KU", "MA IN IN IN", "GE", "SP PO PO PO") << QStringList() << 0;
}

void TestExamSubjects::rules() {
    QFETCH(QStringList, rows);
    QFETCH(QStringList, messages);
    QFETCH(int, foreignLanguageLK);

    for (const bool before : {false, true}) {
        GridModel grid;
        DialogRecorder recorder;
        ChoiceTest test(grid, recorder);
        test.ForeignLanguageLK = before;
        choices::fill(grid, rows);
        test.BuildCourseMatrix();
        const CourseMatrixCodes matrix = test.CourseMatrix;

        QCOMPARE(test.CheckExamSubjects(), messages.isEmpty());
        QCOMPARE(choices::dialogTexts(recorder), messages);
        for (const DialogRecorder::Entry &entry : recorder.entries) {
            QCOMPARE(entry.request.kind, DialogKind::Error);
            QCOMPARE(entry.request.caption, u"Fehler"_s);
            QCOMPARE(entry.request.buttons, QList<DialogButton>{DialogButton::Cancel});
        }
        QCOMPARE(test.ForeignLanguageLK, foreignLanguageLK == kUntouched ? before : foreignLanguageLK == 1);
        QCOMPARE(test.CourseMatrix, matrix);
        QCOMPARE(test.ChoiceTested, false);
    }
}

void TestExamSubjects::endsTheRun() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    QStringList rows = choices::validChoice();
    rows[3] = u"MU"_s; // no Aufgabenfeld B; the obligations would miss Geschichte as well
    choices::fill(grid, rows);

    QVERIFY(!test.RunValidation());
    QCOMPARE(choices::dialogTexts(recorder), QStringList{kRule6 + u"B  "_s});
    QVERIFY(!test.LastCourseCount.has_value());
}

QTEST_APPLESS_MAIN(TestExamSubjects)
#include "tst_examsubjects.moc"
