#include "support/choices.h"
#include "support/messages.h"

#include <QTest>

using namespace Qt::StringLiterals;
using choices::Bench;

// The frame of the choice test: entry check, repeat warning, snapshot, timer and predicates.
class TestValidation : public QObject {
    Q_OBJECT

private slots:
    // Stages 1 and 2 through a whole run (data/validation-entries.tsv); rows 1 ... 4 empty in
    // semester 1 end a run that gets past them at the first exam-subject rule, whose error
    // dialog is not compared here.
    void entries_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<DialogRequest>>("dialogs");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/validation-entries.tsv"_s)) {
            QList<DialogRequest> dialogs;
            for (const QString &text : messages::list(tables::text(r.value(2)))) {
                const DialogButton button = text == messages::text(u"doppelt"_s) ? DialogButton::Ok
                                                                                 : DialogButton::Cancel;
                dialogs.append({DialogKind::Warning, u"Warnung"_s, text, {button}});
            }
            QTest::newRow(r.value(0).constData()) << tables::text(r.value(1)).split(u'|') << dialogs;
        }
    }

    void entries() {
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
    void courseMatrix() {
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

    // The three predicates of auto-fill, over all eleven rows in any order
    // (data/autofill-predicates.tsv).
    void predicates_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("subject");
        QTest::addColumn<QString>("expected"); // in all semesters: the subject, a language, a science
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/autofill-predicates.tsv"_s)) {
            QStringList list(11, u"-"_s);
            for (const QString &entry : QString::fromUtf8(r.value(1)).split(u'|'))
                list[entry.section(u'=', 0, 0).toInt() - 1] = entry.section(u'=', 1);
            const QString expected = QString::fromLatin1(r.mid(3).join());
            QTest::newRow(r.value(0).constData()) << list << r.value(2).toInt() << expected;
        }
    }

    void predicates() {
        QFETCH(QStringList, rows);
        QFETCH(int, subject);
        Bench b(rows);
        b.test.BuildCourseMatrix();
        const QList<bool> found = {b.test.SubjectInAllSemesters(SubjectCode(subject)),
                                   b.test.ForeignLanguageInAllSemesters(), b.test.NaturalScienceInAllSemesters()};
        QString shown;
        for (const bool holds : found)
            shown += holds ? u'1' : u'0';
        QTEST(shown, "expected");
    }

    // A failed run keeps the snapshot of its start, so its own trimming counts as a change; a
    // failing run after a passing one leaves no verdict standing.
    void failedRun() {
        Bench b(choices::validChoice());
        QVERIFY(b.test.RunValidation());
        QVERIFY(b.test.ChoiceTested);
        b.grid.setCell(4, 7, u" Kunst"_s);
        b.grid.setCell(1, 2, u"Quark"_s);
        QVERIFY(!b.test.RunValidation());
        QVERIFY(!b.test.ChoiceTested);
        QVERIFY(!b.test.ValidationRunning);
        QCOMPARE(b.test.GridSnapshot.at(4, 7), u" Kunst"_s);
        QVERIFY(b.test.GridChangedSinceSnapshot());
    }

    // A passing run takes the trimmed grid as the reference again, and a tick while its dialogs
    // are open (the grid then differs from the snapshot of the run's start) keeps the verdict.
    void passingRunStoresTrimmedGrid() {
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
    void snapshotCoversSpareRow() {
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
    void examRowsKeepTheirSubject_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("semester");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("named"); // the row rule 11 names; empty: the run passes
        QTest::newRow("LK 1 sem 4") << 1 << 4 << u"Latein"_s << u"LK 1"_s;
        QTest::newRow("LK 2 sem 2") << 2 << 2 << u"Chemie"_s << u"LK 2"_s;
        QTest::newRow("PK 3 sem 3") << 3 << 3 << u"Französisch"_s << u"PK 3"_s;
        QTest::newRow("PK 4 sem 4") << 4 << 4 << u"Erdkunde"_s << u"PK 4"_s;
        QTest::newRow("PK 4 sem 2, blanks trimmed first") << 4 << 2 << u" Geschichte "_s << QString();
        QTest::newRow("GK row may change") << 9 << 4 << u"Chemie"_s << QString();
    }

    void examRowsKeepTheirSubject() {
        QFETCH(int, row);
        QFETCH(int, semester);
        QFETCH(QString, subject);
        QFETCH(QString, named);
        // Without Politik the obligations fail next.
        for (const bool obligationsMet : {true, false}) {
            Bench b(obligationsMet ? choices::validChoice() : choices::validChoiceWith(u"7=-"_s));
            b.grid.setCell(semester, row, subject);
            const bool passed = b.test.RunValidation();
            QCOMPARE(b.test.ChoiceTested, passed);
            QCOMPARE(passed, named.isEmpty() && obligationsMet);
            if (!named.isEmpty())
                QCOMPARE(choices::dialogTexts(b.recorder), messages::list(u"regel-11:"_s + named));
            else if (!obligationsMet)
                QCOMPARE(choices::dialogTexts(b.recorder), messages::list(u"belegung:,2xPolitik "_s));
        }
    }
};

QTEST_APPLESS_MAIN(TestValidation)
#include "tst_validation.moc"
