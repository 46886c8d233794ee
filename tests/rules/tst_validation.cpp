#include "rules/test.h"
#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The frame of the choice test: entry check, repeat warning, snapshot, timer and predicates.
class TestValidation : public QObject {
    Q_OBJECT

private slots:
    void blankCellsAreNoEntries();
    void trimmingIsWrittenBack();
    void unknownText_data();
    void unknownText();
    void repeatedCourses_data();
    void repeatedCourses();
    void spareRowIsNoCourse();
    void predicates_data();
    void predicates();
    void buildCourseMatrixLeavesGridAlone();
    void snapshotAtStartOfFailedRun();
    void snapshotAtEndOfPassedRun();
    void timerTick_data();
    void timerTick();
    void timerDuringVerdictKeepsTrimmedChoiceTested();
    void failedRunClearsEarlierVerdict();
};

namespace {
const QString kNoEntries = u"Es sind noch keine Fächer eingetragen."_s;
const QString kRule1 = u"Ein Leistungsfach muss DEUTSCH oder eine weitergeführte(!) FREMDSPRACHE oder "
                       "MATHEMATIK oder eine NATURWISSENSCHAFT (nicht Informatik) sein."_s;
const QString kRepeated = u"Mindestens ein Kurs innerhalb eines Semesters ist mehrfach angewählt worden.\r\r"
                          "Diese Kurse dürfen nicht themengleich sein!"_s;

QString unknownMessage(const QString &text) {
    return u"Das Fach  "_s + text +
           u"  ist nicht bekannt!\rBeachte die wählbaren Fächer und ihre Schreibweise."_s;
}
} // namespace

void TestValidation::blankCellsAreNoEntries() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    grid.setCell(1, 1, u"   "_s);
    grid.setCell(4, 11, u" "_s);
    grid.setCell(2, 7, u"  "_s);

    QVERIFY(!test.RunValidation());
    QCOMPARE(grid.cell(1, 1), QString());
    QCOMPARE(grid.cell(4, 11), QString());
    QCOMPARE(grid.cell(2, 7), QString());
    QCOMPARE(recorder.entries.size(), 1);
    const DialogRequest expected{DialogKind::Warning, u"Warnung"_s, kNoEntries, {DialogButton::Cancel}};
    QCOMPARE(recorder.entries.first().request, expected);
}

void TestValidation::trimmingIsWrittenBack() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    grid.setCell(3, 5, u" Deutsch  "_s);
    grid.setCell(4, 6, u"\tKunst "_s);

    QVERIFY(!test.CheckEntries());
    QCOMPARE(grid.cell(3, 5), u"Deutsch"_s);
    QCOMPARE(int(test.CourseMatrix.at(3, 5)), 1);
    // The tab stays in the grid and makes the text unknown.
    QCOMPARE(grid.cell(4, 6), u"\tKunst"_s);
    QCOMPARE(choices::dialogTexts(recorder), QStringList{unknownMessage(u"\tKunst"_s)});
}

void TestValidation::unknownText_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("message");

    QTest::newRow("semester 1 row 11 before semester 2 row 1")
        << QStringList{u"- Quark - -"_s, u"DE"_s, u"-"_s, u"-"_s, u"-"_s,    u"-"_s,
                       u"-"_s,           u"-"_s,  u"-"_s, u"-"_s, u"Murks"_s}
        << unknownMessage(u"Murks"_s);
    QTest::newRow("unbekannt") << QStringList{u"DE"_s, u"- - unbekannt -"_s}
                               << unknownMessage(u"unbekannt"_s);
    QTest::newRow("other case") << QStringList{u"mathematik"_s} << unknownMessage(u"mathematik"_s);
    QTest::newRow("context menu caption")
        << QStringList{u"DE"_s, u"MA"_s, u"Werte_und_Normen"_s} << unknownMessage(u"Werte und Normen"_s);
}

void TestValidation::unknownText() {
    QFETCH(QStringList, rows);
    QFETCH(QString, message);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, rows);

    QVERIFY(!test.RunValidation());
    QCOMPARE(recorder.entries.size(), 1);
    const DialogRequest expected{DialogKind::Warning, u"Warnung"_s, message, {DialogButton::Cancel}};
    QCOMPARE(recorder.entries.first().request, expected);
}

void TestValidation::repeatedCourses_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("warned");

    // Rows 1 ... 4 stay empty, so the run goes on to the first exam-subject rule.
    const QString none = u"-"_s;
    QTest::newRow("Mathematik twice in semester 2")
        << QStringList{none, none, none, none, u"- MA MA -"_s, u"- MA - -"_s, u"- MA - -"_s} << true;
    QTest::newRow("twice in two semesters") << QStringList{none, none, none, none, u"PH"_s, u"PH"_s} << true;
    QTest::newRow("same subject, different semesters")
        << QStringList{none, none, none, none, u"KU - - -"_s, u"- KU - -"_s, u"- - KU KU"_s} << false;
    QTest::newRow("empty rows") << QStringList{none, none, none, none, u"- PO - -"_s, none, u"- SP - -"_s}
                                << false;
}

void TestValidation::repeatedCourses() {
    QFETCH(QStringList, rows);
    QFETCH(bool, warned);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, rows);

    QVERIFY(!test.RunValidation());
    QStringList expected{kRule1};
    if (warned) {
        expected.prepend(kRepeated);
        const DialogRequest warning{DialogKind::Warning, u"Warnung"_s, kRepeated, {DialogButton::Ok}};
        QCOMPARE(recorder.entries.first().request, warning);
    }
    QCOMPARE(choices::dialogTexts(recorder), expected);
}

void TestValidation::spareRowIsNoCourse() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);

    // Alone in the spare row a subject is no entry, and a text there is neither trimmed nor judged.
    grid.setCell(1, 12, u" Deutsch "_s);
    QVERIFY(!test.RunValidation());
    QCOMPARE(choices::dialogTexts(recorder), QStringList{kNoEntries});
    QCOMPARE(grid.cell(1, 12), u" Deutsch "_s);

    grid.setCell(1, 1, u"Deutsch"_s);
    grid.setCell(4, 12, u"Quark"_s);
    QVERIFY(test.CheckEntries());
    QVERIFY(test.BuildCourseMatrix());
    CourseMatrixCodes expected;
    expected.at(1, 1) = Subject::Deutsch;
    QCOMPARE(test.CourseMatrix, expected);

    // ... but it takes part in the snapshot and the change test.
    test.StoreGridSnapshot();
    QCOMPARE(test.GridSnapshot.at(4, 12), u"Quark"_s);
    QVERIFY(!test.GridChangedSinceSnapshot());
    grid.setCell(4, 12, u"Quark "_s);
    QVERIFY(test.GridChangedSinceSnapshot());
}

void TestValidation::predicates_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("language");
    QTest::addColumn<bool>("science");

    QTest::newRow("empty") << QStringList() << false << false;
    QTest::newRow("Englisch then Französisch") << QStringList{u"EN EN FR FR"_s} << false << false;
    QTest::newRow("Latein in different rows")
        << QStringList{u"-"_s, u"LA - - -"_s, u"- LA - -"_s, u"-"_s, u"- - LA LA"_s} << true << false;
    QTest::newRow("Türkisch") << QStringList{u"TU"_s} << true << false;
    QTest::newRow("Chemie") << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"CH"_s} << false << true;
    QTest::newRow("Physik three semesters, Biologie one") << QStringList{u"PH PH PH BI"_s} << false << false;
    QTest::newRow("Informatik") << QStringList{u"IN"_s} << false << false;
}

void TestValidation::predicates() {
    QFETCH(QStringList, rows);
    QFETCH(bool, language);
    QFETCH(bool, science);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, rows);
    test.BuildCourseMatrix();

    QCOMPARE(test.ForeignLanguageInAllSemesters(), language);
    QCOMPARE(test.NaturalScienceInAllSemesters(), science);
    QCOMPARE(recorder.entries.size(), 0);
}

void TestValidation::buildCourseMatrixLeavesGridAlone() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    grid.setCell(2, 9, u"  Physik "_s);
    grid.setCell(3, 3, u"Quark"_s);

    QVERIFY(test.BuildCourseMatrix());
    QCOMPARE(int(test.CourseMatrix.at(2, 9)), 16);
    QCOMPARE(int(test.CourseMatrix.at(3, 3)), 22);
    QCOMPARE(grid.cell(2, 9), u"  Physik "_s);
    QCOMPARE(recorder.entries.size(), 0);

    grid.setCell(2, 9, u"   "_s);
    grid.setCell(3, 3, QString());
    QVERIFY(!test.BuildCourseMatrix());
    QCOMPARE(test.CourseMatrix, CourseMatrixCodes());
    QCOMPARE(grid.cell(2, 9), u"   "_s);
}

void TestValidation::snapshotAtStartOfFailedRun() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);

    // Nothing to trim: the grid as it stood at the click is the reference.
    choices::fill(grid, {u"DE"_s, u"Quark"_s});
    QVERIFY(test.GridChangedSinceSnapshot());
    QVERIFY(!test.RunValidation());
    QVERIFY(!test.GridChangedSinceSnapshot());
    QCOMPARE(test.GridSnapshot.at(1, 2), u"Quark"_s);

    // Trimmed blanks are a change against the snapshot of the run's start.
    grid.setCell(4, 7, u" Kunst"_s);
    QVERIFY(!test.RunValidation());
    QCOMPARE(test.GridSnapshot.at(4, 7), u" Kunst"_s);
    QVERIFY(test.GridChangedSinceSnapshot());
}

void TestValidation::snapshotAtEndOfPassedRun() {
    GridModel grid;
    DialogRecorder recorder;
    recorder.answers << DialogButton::No;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, choices::validChoice());
    grid.setCell(2, 9, u" Biologie  "_s);

    QVERIFY(test.RunValidation());
    QVERIFY(test.ChoiceTested);
    QVERIFY(!test.ValidationRunning);
    QCOMPARE(grid.cell(2, 9), u"Biologie"_s);
    QCOMPARE(test.GridSnapshot.at(2, 9), u"Biologie"_s);
    QVERIFY(!test.GridChangedSinceSnapshot());
}

void TestValidation::timerTick_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("tested");

    QTest::newRow("unchanged") << false << false << true;
    QTest::newRow("changed") << true << false << false;
    QTest::newRow("changed during a run") << true << true << true;
}

void TestValidation::timerTick() {
    QFETCH(bool, changed);
    QFETCH(bool, running);
    QFETCH(bool, tested);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    grid.setCell(1, 1, u"Deutsch"_s);
    test.StoreGridSnapshot();
    test.ChoiceTested = true;
    test.ValidationRunning = running;
    if (changed)
        grid.setCell(1, 1, u"Deutsch "_s);

    test.TimerTick();
    QCOMPARE(test.ChoiceTested, tested);

    // The timer never sets the flag.
    test.ChoiceTested = false;
    test.TimerTick();
    QVERIFY(!test.ChoiceTested);
}

void TestValidation::timerDuringVerdictKeepsTrimmedChoiceTested() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, choices::validChoice());
    grid.setCell(1, 1, u"Deutsch "_s);
    bool askedVerdict = false;
    recorder.fallback = [&](const DialogRequest &request) {
        askedVerdict = request.kind == DialogKind::Information;
        test.TimerTick(); // a tick while the verdict waits; the trimmed cell differs from the snapshot
        return DialogButton::No;
    };

    QVERIFY(test.RunValidation());
    QVERIFY(askedVerdict);
    QVERIFY(test.ChoiceTested);
    test.TimerTick();
    QVERIFY(test.ChoiceTested);
}

void TestValidation::failedRunClearsEarlierVerdict() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, choices::validChoice());
    QVERIFY(test.RunValidation());
    QVERIFY(test.ChoiceTested);

    // Edited and tested again before a tick: the failing run leaves no verdict standing.
    for (int s = 1; s <= 4; ++s)
        grid.setCell(s, 9, QString());
    QVERIFY(!test.RunValidation());
    QVERIFY(!test.ChoiceTested);
    QVERIFY(!test.ValidationRunning);
}

QTEST_APPLESS_MAIN(TestValidation)
#include "tst_validation.moc"
