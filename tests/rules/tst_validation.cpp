#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;
using choices::Bench;

// The frame of the choice test: entry check, repeat warning, snapshot, timer and predicates.
class TestValidation : public QObject {
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void courseMatrix();
    void snapshots();
    void timerTick_data();
    void timerTick();
    void timerDuringVerdictKeepsTrimmedChoiceTested();
    void failedRunClearsEarlierVerdict();
};

namespace {
const QString kRule1 = u"Ein Leistungsfach muss DEUTSCH oder eine weitergeführte(!) FREMDSPRACHE oder "
                       "MATHEMATIK oder eine NATURWISSENSCHAFT (nicht Informatik) sein."_s;

DialogRequest warning(const QString &text, DialogButton button = DialogButton::Cancel) {
    return {DialogKind::Warning, u"Warnung"_s, text, {button}};
}
DialogRequest unknown(const QString &text) {
    return warning(u"Das Fach  "_s + text +
                   u"  ist nicht bekannt!\rBeachte die wählbaren Fächer und ihre Schreibweise."_s);
}
const DialogRequest kNoEntries = warning(u"Es sind noch keine Fächer eingetragen."_s);
const DialogRequest kRepeated =
    warning(u"Mindestens ein Kurs innerhalb eines Semesters ist mehrfach angewählt worden.\r\r"
            "Diese Kurse dürfen nicht themengleich sein!"_s,
            DialogButton::Ok);
} // namespace

// Stages 1 and 2 through a whole run; rows 1 ... 4 empty in semester 1 end it at the first
// exam-subject rule.
void TestValidation::entries_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<DialogRequest>>("dialogs");

    QTest::newRow("blanks only") << QStringList{u"___"_s, u"- - _ -"_s, u"-"_s, u"-"_s, u"-"_s, u"- - - __"_s}
                                 << QList<DialogRequest>{kNoEntries};
    QTest::newRow("semester 1 row 11 before semester 2 row 1")
        << QStringList{u"- Quark - -"_s, u"-"_s, u"-"_s, u"-"_s, u"-"_s,    u"-"_s,
                       u"-"_s,           u"-"_s, u"-"_s, u"-"_s, u"Murks"_s}
        << QList<DialogRequest>{unknown(u"Murks"_s)};
    QTest::newRow("unbekannt") << QStringList{u"DE"_s, u"- - unbekannt -"_s}
                               << QList<DialogRequest>{unknown(u"unbekannt"_s)};
    QTest::newRow("trimmed, tab kept")
        << QStringList{u"__Deutsch_"_s, u"\tKunst_"_s} << QList<DialogRequest>{unknown(u"\tKunst"_s)};
    QTest::newRow("menu caption") << QStringList{u"DE"_s, u"MA"_s, u"Werte_und_Normen"_s}
                                  << QList<DialogRequest>{unknown(u"Werte und Normen"_s)};
    QTest::newRow("Mathematik twice in semester 2, warned once")
        << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"- MA MA -"_s, u"- MA - -"_s, u"PH"_s, u"PH"_s}
        << QList<DialogRequest>{kRepeated, choices::ruleViolation(kRule1)};
    QTest::newRow("same subject in other semesters, empty rows")
        << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"KU - - -"_s, u"-"_s, u"- KU - -"_s, u"-"_s}
        << QList<DialogRequest>{choices::ruleViolation(kRule1)};
}

void TestValidation::entries() {
    QFETCH(QStringList, rows);
    QFETCH(QList<DialogRequest>, dialogs);
    Bench b(rows);

    QVERIFY(!b.test.RunValidation());
    QCOMPARE(choices::requests(b.recorder), dialogs);
    // Every course cell is written back without its blanks.
    for (int s = 1; s <= 4; ++s) {
        for (int r = 1; r <= 11; ++r)
            QCOMPARE(b.grid.cell(s, r), TrimBlanks(b.test.GridSnapshot.at(s, r)));
    }
}

// The course matrix reads rows 1 ... 11 only; BuildCourseMatrix leaves the grid as it is.
void TestValidation::courseMatrix() {
    Bench b;
    b.grid.setCell(1, 12, u" Deutsch "_s); // alone in the spare row: no entry, not trimmed
    QVERIFY(!b.test.RunValidation());
    QCOMPARE(choices::requests(b.recorder), QList<DialogRequest>{kNoEntries});
    QCOMPARE(b.grid.cell(1, 12), u" Deutsch "_s);
    QVERIFY(!b.test.BuildCourseMatrix());

    b.grid.setCell(2, 9, u"  Physik "_s);
    b.grid.setCell(3, 3, u"Quark"_s);
    QVERIFY(b.test.BuildCourseMatrix());
    CourseMatrixCodes expected;
    expected.at(2, 9) = Subject::Physik;
    expected.at(3, 3) = kUnknownSubject;
    QCOMPARE(b.test.CourseMatrix, expected);
    QCOMPARE(b.grid.cell(2, 9), u"  Physik "_s);
    QCOMPARE(b.recorder.entries.size(), 1);
}

void TestValidation::snapshots() {
    // A failed run: the grid as it stood at the click is the reference.
    Bench b({u"DE"_s, u"Quark"_s});
    QVERIFY(b.test.GridChangedSinceSnapshot());
    QVERIFY(!b.test.RunValidation());
    QVERIFY(!b.test.GridChangedSinceSnapshot());

    b.grid.setCell(4, 12, u"note"_s); // the spare row counts
    QVERIFY(b.test.GridChangedSinceSnapshot());

    // Trimmed blanks are a change against the snapshot of the run's start ...
    b.grid.setCell(4, 7, u" Kunst"_s);
    QVERIFY(!b.test.RunValidation());
    QCOMPARE(b.test.GridSnapshot.at(4, 12), u"note"_s);
    QVERIFY(b.test.GridChangedSinceSnapshot());

    // ... but not after a run that passed, which stores the snapshot again.
    Bench passed(choices::validChoice());
    passed.grid.setCell(2, 9, u" Biologie  "_s);
    passed.recorder.answers << DialogButton::No;
    QVERIFY(passed.test.RunValidation());
    QCOMPARE(passed.test.GridSnapshot.at(2, 9), u"Biologie"_s);
    QVERIFY(!passed.test.GridChangedSinceSnapshot());
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
    Bench b({u"DE"_s});
    b.test.StoreGridSnapshot();
    b.test.ChoiceTested = true;
    b.test.ValidationRunning = running;
    if (changed)
        b.grid.setCell(1, 1, u"Deutsch "_s);

    b.test.TimerTick();
    QCOMPARE(b.test.ChoiceTested, tested);
    b.test.ChoiceTested = false; // the timer never sets the flag
    b.test.TimerTick();
    QVERIFY(!b.test.ChoiceTested);
}

// A tick while the verdict waits sees the trimmed cell differ from the run's first snapshot;
// it must not take the verdict back.
void TestValidation::timerDuringVerdictKeepsTrimmedChoiceTested() {
    Bench b(choices::validChoice());
    b.grid.setCell(1, 1, u"Deutsch "_s);
    b.recorder.fallback = [&](const DialogRequest &) {
        b.test.TimerTick();
        return DialogButton::No;
    };

    QVERIFY(b.test.RunValidation());
    QCOMPARE(b.recorder.entries.size(), 1);
    QVERIFY(b.test.ChoiceTested);
    b.test.TimerTick();
    QVERIFY(b.test.ChoiceTested);
}

// Edited and tested again before a tick: the failing run leaves no verdict standing.
void TestValidation::failedRunClearsEarlierVerdict() {
    Bench b(choices::validChoice());
    QVERIFY(b.test.RunValidation());
    QVERIFY(b.test.ChoiceTested);
    for (int s = 1; s <= 4; ++s)
        b.grid.setCell(s, 9, QString());
    QVERIFY(!b.test.RunValidation());
    QVERIFY(!b.test.ChoiceTested);
    QVERIFY(!b.test.ValidationRunning);
}

QTEST_APPLESS_MAIN(TestValidation)
#include "tst_validation.moc"
