#include "support/choices.h"
#include "support/tables.h"

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
    void predicates_data();
    void predicates();
    void failedRunSnapshot();
    void failedRunClearsEarlierVerdict();
    void passingRunStoresTrimmedGrid();
    void snapshotCoversSpareRow();
    void examRowsKeepTheirSubject_data();
    void examRowsKeepTheirSubject();
};

namespace {
DialogRequest warning(const QString &text, DialogButton button = DialogButton::Cancel) {
    return {DialogKind::Warning, u"Warnung"_s, text, {button}};
}
DialogRequest unknown(const QString &text) {
    return warning(u"Das Fach  "_s + text +
                   u"  ist nicht bekannt!\rBeachte die wählbaren Fächer und ihre Schreibweise."_s);
}
const DialogRequest kNoEntries = warning(u"Es sind noch keine Fächer eingetragen."_s);
} // namespace

// Stages 1 and 2 through a whole run; rows 1 ... 4 empty in semester 1 end a run that gets
// past them at the first exam-subject rule, whose error dialog is not compared here.
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
    QTest::newRow("Mathematik twice in semester 2, warned once")
        << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"- MA MA -"_s, u"- MA - -"_s, u"PH"_s, u"PH"_s}
        << QList<DialogRequest>{warning(u"Mindestens ein Kurs innerhalb eines Semesters ist mehrfach "
                                        "angewählt worden.\r\rDiese Kurse dürfen nicht themengleich sein!"_s,
                                        DialogButton::Ok)};
    QTest::newRow("same subject in other semesters, empty rows")
        << QStringList{u"-"_s, u"-"_s, u"-"_s, u"-"_s, u"KU - - -"_s, u"-"_s, u"- KU - -"_s, u"-"_s}
        << QList<DialogRequest>{};
}

void TestValidation::entries() {
    QFETCH(QStringList, rows);
    QFETCH(QList<DialogRequest>, dialogs);
    Bench b(rows);

    QVERIFY(!b.test.RunValidation());
    QList<DialogRequest> shown = choices::requests(b.recorder);
    if (shown.size() == dialogs.size() + 1 && shown.last().kind == DialogKind::Error)
        shown.removeLast(); // stage 3 was reached
    QCOMPARE(shown, dialogs);
    // Every course cell is written back without its blanks.
    for (int s = 1; s <= 4; ++s) {
        for (int r = 1; r <= 11; ++r)
            QCOMPARE(b.grid.cell(s, r), TrimBlanks(b.test.GridSnapshot.at(s, r)));
    }
}

// The course matrix reads rows 1 ... 11 only; BuildCourseMatrix leaves the grid as it is.
void TestValidation::courseMatrix() {
    Bench b;
    b.grid.setCell(1, 12, u"Deutsch"_s); // alone in the spare row: no entry
    QVERIFY(!b.test.BuildCourseMatrix());

    b.grid.setCell(2, 9, u"  Physik "_s);
    b.grid.setCell(3, 3, u"Quark"_s);
    QVERIFY(b.test.BuildCourseMatrix());
    CourseMatrixCodes expected;
    expected.at(2, 9) = Subject::Physik;
    expected.at(3, 3) = kUnknownSubject;
    QCOMPARE(b.test.CourseMatrix, expected);
    QCOMPARE(b.grid.cell(2, 9), u"  Physik "_s);
}

// The three predicates of auto-fill, over all eleven rows in any order (data/autofill-predicates.tsv).
void TestValidation::predicates_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("subject");
    QTest::addColumn<bool>("inAllSemesters"); // SubjectInAllSemesters(subject)
    QTest::addColumn<bool>("foreignLanguage");
    QTest::addColumn<bool>("naturalScience");
    for (const QList<QByteArray> &r : tables::rows(u"rules/data/autofill-predicates.tsv"_s)) {
        QStringList list(11, u"-"_s);
        for (const QString &entry : QString::fromUtf8(r.value(1)).split(u'|'))
            list[entry.section(u'=', 0, 0).toInt() - 1] = entry.section(u'=', 1);
        QTest::newRow(r.value(0).constData()) << list << r.value(2).toInt() << (r.value(3) == "1")
                                              << (r.value(4) == "1") << (r.value(5) == "1");
    }
}

void TestValidation::predicates() {
    QFETCH(QStringList, rows);
    QFETCH(int, subject);
    QFETCH(bool, inAllSemesters);
    QFETCH(bool, foreignLanguage);
    QFETCH(bool, naturalScience);
    Bench b(rows);
    b.test.BuildCourseMatrix();
    QCOMPARE(b.test.SubjectInAllSemesters(SubjectCode(subject)), inAllSemesters);
    QCOMPARE(b.test.ForeignLanguageInAllSemesters(), foreignLanguage);
    QCOMPARE(b.test.NaturalScienceInAllSemesters(), naturalScience);
}

// A failed run keeps the snapshot of its start, so its own trimming counts as a change.
void TestValidation::failedRunSnapshot() {
    Bench b({u"DE"_s, u"Quark"_s});
    b.grid.setCell(4, 7, u" Kunst"_s);
    QVERIFY(!b.test.RunValidation());
    QCOMPARE(b.test.GridSnapshot.at(4, 7), u" Kunst"_s);
    QVERIFY(b.test.GridChangedSinceSnapshot());
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

// A passing run takes the trimmed grid as the reference again, and a tick while its dialogs
// are open (the grid then differs from the snapshot of the run's start) keeps the verdict.
void TestValidation::passingRunStoresTrimmedGrid() {
    Bench b(choices::validChoice());
    b.grid.setCell(2, 7, u" Politik  "_s);
    int ticks = 0;
    b.recorder.fallback = [&b, &ticks](const DialogRequest &request) {
        b.test.TimerTick();
        ++ticks;
        return request.buttons.first();
    };
    QVERIFY(b.test.RunValidation());
    QCOMPARE(ticks, 1); // the verdict
    QVERIFY(b.test.ChoiceTested);
    QCOMPARE(b.grid.cell(2, 7), u"Politik"_s);
    QVERIFY(!b.test.GridChangedSinceSnapshot());
    b.test.TimerTick();
    QVERIFY(b.test.ChoiceTested);
    b.grid.setCell(2, 7, u"Politik "_s);
    b.test.TimerTick();
    QVERIFY(!b.test.ChoiceTested);
}

// The spare row 12 takes part in the snapshot and the change test, never in the matrix.
void TestValidation::snapshotCoversSpareRow() {
    Bench b;
    b.grid.setCell(3, 12, u"Deutsch"_s);
    QVERIFY(b.test.GridChangedSinceSnapshot());
    b.test.StoreGridSnapshot();
    QCOMPARE(b.test.GridSnapshot.at(3, 12), u"Deutsch"_s);
    QVERIFY(!b.test.GridChangedSinceSnapshot());
    b.grid.setCell(3, 12, u"Deutsch "_s);
    QVERIFY(b.test.GridChangedSinceSnapshot());
    b.test.StoreGridSnapshot();
    b.grid.setCell(3, 12, QString());
    QVERIFY(b.test.GridChangedSinceSnapshot());
    QVERIFY(!b.test.BuildCourseMatrix());
}

// Rule 11 ends the run before the obligations; a later stage only runs once it passes.
void TestValidation::examRowsKeepTheirSubject_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("semester");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("message"); // empty: the run passes

    const QString rule11 = u"Die Leistungs- und Prüfungsfächer müssen in allen vier Semestern dieselben "
                           "sein.\rIn der Zeile  %1  stehen verschiedene Fächer."_s;
    QTest::newRow("LK 1 sem 4") << 1 << 4 << u"Latein"_s << rule11.arg(u"LK 1"_s);
    QTest::newRow("LK 2 sem 2") << 2 << 2 << u"Chemie"_s << rule11.arg(u"LK 2"_s);
    QTest::newRow("PK 3 sem 3") << 3 << 3 << u"Französisch"_s << rule11.arg(u"PK 3"_s);
    QTest::newRow("PK 4 sem 4") << 4 << 4 << u"Erdkunde"_s << rule11.arg(u"PK 4"_s);
    QTest::newRow("PK 4 sem 2, blanks trimmed first") << 4 << 2 << u" Geschichte "_s << QString();
    QTest::newRow("GK row may change") << 9 << 4 << u"Chemie"_s << QString();
}

void TestValidation::examRowsKeepTheirSubject() {
    QFETCH(int, row);
    QFETCH(int, semester);
    QFETCH(QString, subject);
    QFETCH(QString, message);
    // Without Politik the obligations would fail next.
    for (const bool obligationsMet : {true, false}) {
        Bench b(choices::validChoice());
        if (!obligationsMet) {
            for (int s = 1; s <= 4; ++s)
                b.grid.setCell(s, 7, QString());
        }
        b.grid.setCell(semester, row, subject);
        const bool passed = b.test.RunValidation();
        QCOMPARE(b.test.ChoiceTested, passed);
        const QStringList texts = choices::dialogTexts(b.recorder);
        if (!message.isEmpty()) {
            QVERIFY(!passed);
            QCOMPARE(texts, QStringList{message});
        } else if (obligationsMet) {
            QVERIFY(passed);
        } else {
            QVERIFY(!passed);
            QCOMPARE(texts.size(), 1);
            QVERIFY(texts.first().startsWith(u"Es fehlen folgende Kurse:\r\r2xPolitik \r"_s));
        }
    }
}

QTEST_APPLESS_MAIN(TestValidation)
#include "tst_validation.moc"
