#include "rules/gridediting.h"
#include "rules/verdict.h"
#include "support/choices.h"
#include "support/messages.h"

#include <QTest>

using namespace Qt::StringLiterals;
using choices::Bench;

namespace {
const DialogRequest kQuestion{DialogKind::MessageBox,
                              u" WICHTIGE FRAGE!"_s,
                              messages::text(u"frage"_s),
                              {DialogButton::Yes, DialogButton::No}};

DialogRequest tooFew(int count) {
    return choices::ruleViolation(messages::text(u"unter-33"_s, {QString::number(count)}));
}

DialogRequest verdictDialog(int count) {
    return {DialogKind::Information,
            u"Information"_s,
            messages::text(u"urteil"_s, {QString::number(count)}),
            {DialogButton::Yes, DialogButton::No}};
}

// The rows of a table's field: as in choices::fill, separated by "|", or with "+" the valid
// choice with rows replaced (choices::validChoiceWith).
QStringList rowsOf(const QByteArray &field) {
    const QString text = tables::text(field);
    return text.startsWith(u'+') ? choices::validChoiceWith(text.mid(1)) : text.split(u'|');
}
} // namespace

// The choice test: entry check, repeat warning, snapshot, timer and predicates, then its stages
// one by one and the verdict of a whole run.
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
                const DialogButton button =
                    text == messages::text(u"doppelt"_s) ? DialogButton::Ok : DialogButton::Cancel;
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
                                   b.test.ForeignLanguageInAllSemesters(),
                                   b.test.NaturalScienceInAllSemesters()};
        QString shown;
        for (const bool holds : found)
            shown += holds ? u'1' : u'0';
        QTEST(shown, "expected");
    }

    // Entering a subject into a cell and the copies across its row (data/grid-editing.tsv): only
    // the edited row changes; the row after it keeps its texts.
    void gridEditing_data() {
        const QList<const char *> columns = {"before", "columnText", "rowText", "entered", "expected"};
        tables::addTextRows(u"rules/data/grid-editing.tsv"_s, columns);
    }

    void gridEditing() {
        QFETCH(QString, before);
        QFETCH(QString, columnText);
        QFETCH(QString, rowText);
        QFETCH(QString, entered);
        QFETCH(QString, expected);
        const int column = columnText.toInt(), row = rowText.toInt();
        QStringList rows = before.split(u'|');
        rows.resize(GridModel::kCourseRows, u"-"_s);
        Bench edited(rows);
        rows[row - 1] = expected;
        Bench wanted(rows);
        for (Bench *b : {&edited, &wanted})
            b->grid.setCell(1, 12, u"Deutsch"_s); // the spare row, which never counts
        if (entered == u"<" || entered == u">") {
            (entered == u">" ? FillRight : FillLeft)(edited.grid, column, row);
        } else {
            edited.grid.setCell(column, row, entered);
            AutoFillRow(edited.test, column, row);
        }
        for (int r = 1; r <= GridModel::kDataRows; ++r) {
            for (int s = 1; s <= GridModel::kSemesters; ++s)
                QCOMPARE(edited.grid.cell(s, r), wanted.grid.cell(s, r));
        }
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

    // The ten rules on the examination subjects, each failing alone, and their order
    // (data/exam-subjects.tsv).
    void examSubjects_data() {
        QTest::addColumn<QString>("rows"); // rows 1 ... 11 as in choices::fill, split at "|"
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("foreignLanguageLK"); // after the stage: 0, 1, or "-" for untouched
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/exam-subjects.tsv"_s))
            QTest::newRow(r.value(0).constData())
                << QString::fromUtf8(r.value(1)) << messages::list(tables::text(r.value(2)))
                << QString::fromUtf8(r.value(3));
    }

    void examSubjects() {
        QFETCH(QString, rows);
        QFETCH(QStringList, messages);
        QFETCH(QString, foreignLanguageLK);
        for (const bool before : {false, true}) {
            choices::Bench b(rows.split(u'|'));
            b.test.ForeignLanguageLK = before;
            b.test.BuildCourseMatrix();
            QCOMPARE(b.test.CheckExamSubjects(), messages.isEmpty());
            QList<DialogRequest> expected;
            for (const QString &message : messages)
                expected.append(choices::ruleViolation(message));
            QCOMPARE(choices::requests(b.recorder), expected);
            QCOMPARE(b.test.ForeignLanguageLK,
                     foreignLanguageLK == u"-" ? before : foreignLanguageLK == u"1");
        }
    }

    // The compulsory courses: counting, the ten obligations, both lists and the composed message
    // (data/obligations.tsv).
    void obligations_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/obligations.tsv"_s)) {
            QTest::newRow(r.value(0).constData())
                << rowsOf(r.value(1)) << tables::text(r.value(2)) << tables::text(r.value(3));
        }
    }

    void obligations() {
        QFETCH(QStringList, rows);
        QFETCH(QString, first);
        QFETCH(QString, second);
        choices::Bench b(rows);
        b.test.BuildCourseMatrix();
        const CourseMatrixCodes matrix = b.test.CourseMatrix;
        const bool passes = first.isEmpty() && second.isEmpty();
        QCOMPARE(b.test.CheckCourseObligations(), passes);
        const DialogRequest missing = choices::ruleViolation(messages::text(u"belegung"_s, {first, second}));
        QCOMPARE(choices::requests(b.recorder), passes ? QList<DialogRequest>() : QList{missing});
        QCOMPARE(b.test.CourseMatrix, matrix);
    }

    // A missing course ends the run before the course count.
    void obligationsEndTheRun() {
        choices::Bench b(choices::validChoiceWith(u"7=PO - - -"_s));
        QVERIFY(!b.test.RunValidation() && b.recorder.entries.size() == 1);
        QVERIFY(!b.test.LastCourseCount.has_value());
    }

    // The last stage: the course count, the question about a foreign-language LK and the verdict.
    void courseCount_data() {
        QTest::addColumn<QString>("rows"); // rows 1 ... 11 as in choices::fill, split at "|"
        QTest::addColumn<bool>("foreignLanguageLK");
        QTest::addColumn<QList<DialogButton>>("answers");
        QTest::addColumn<QList<DialogRequest>>("dialogs");

        using enum DialogButton;
        const QString thirtySix = u"DE|MA|EN|GE|PH|SP|PO|BI|KU"_s;

        QTest::newRow("32 courses, no question")
            << u"DE|MA|EN|GE|PH|SP|PO|BI"_s << true << QList<DialogButton>() << QList{tooFew(32)};
        QTest::newRow("34 entries, 4 Sport-Theorie")
            << u"DE|MA|EN|GE|PH|SP|PO|ST|KU KU - -"_s << false << QList<DialogButton>() << QList{tooFew(30)};
        QTest::newRow("33 with Sport, empty rows, Nein")
            << u"SP|-|SP|DE|-|MA|EN|GE|PH|BI - - -|KU"_s << false << QList{No} << QList{verdictDialog(33)};
        QTest::newRow("foreign-language LK, No") << thirtySix << true << QList{No} << QList{kQuestion};
        QTest::newRow("foreign-language LK, Yes, Ja")
            << thirtySix << true << QList{Yes, Yes} << QList{kQuestion, verdictDialog(36)};
    }

    void courseCount() {
        QFETCH(QString, rows);
        QFETCH(bool, foreignLanguageLK);
        QFETCH(QList<DialogButton>, answers);
        QFETCH(QList<DialogRequest>, dialogs);
        const bool passes = dialogs.last().kind == DialogKind::Information; // the verdict was shown
        const int printForms = passes && answers.last() == DialogButton::Yes ? 1 : 0;
        choices::Bench b(rows.split(u'|'));
        b.test.BuildCourseMatrix();
        b.test.ForeignLanguageLK = foreignLanguageLK;
        int sounds = 0, opened = 0;
        bool testedAtVerdict = false; // ChoiceTested set and the sound played before the verdict
        b.test.AlertSound = [&] { ++sounds; };
        b.test.OpenPrintForm = [&] { ++opened; };
        b.recorder.fallback = [&](const DialogRequest &request) {
            if (request.kind == DialogKind::Information)
                testedAtVerdict = b.test.ChoiceTested && sounds == 1;
            return answers.isEmpty() ? DialogButton::Cancel : answers.takeFirst();
        };

        QCOMPARE(b.test.CheckCourseCount(), passes);
        QCOMPARE(choices::requests(b.recorder), dialogs);
        QCOMPARE(testedAtVerdict, passes);
        QCOMPARE(b.test.ChoiceTested, passes);
        QCOMPARE(sounds, passes ? 1 : 0);
        QCOMPARE(opened, printForms);
    }

    // The recorder that stands in for the dialogs: queued answers first, then the fallback, then
    // the first button offered (Ok when none is).
    void recorderAnswers() {
        using enum DialogButton;
        DialogRecorder recorder;
        const DialogRequest question{DialogKind::MessageBox, u"t"_s, u"x"_s, {Yes, No}};
        const DialogRequest notice{DialogKind::Warning, u"t"_s, u"y"_s, {}};
        recorder.answers << No << Cancel;
        recorder.fallback = [](const DialogRequest &request) { return request.buttons.isEmpty() ? Ok : No; };
        QCOMPARE(recorder.ask(question), No);
        QCOMPARE(recorder.ask(notice), Cancel);
        QCOMPARE(recorder.ask(question), No);
        recorder.fallback = nullptr;
        QCOMPARE(recorder.ask(question), Yes);
        QCOMPARE(recorder.ask(notice), Ok);
        QCOMPARE(recorder.entries.size(), 5);
        QCOMPARE(recorder.entries.at(1).answer, Cancel);
        QCOMPARE(recorder.entries.at(1).request.text, u"y"_s);
    }

    // What the verdict of a run holds beyond its reason code, which the checker's tests pin
    // (data/verdicts.tsv).
    void verdict_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("continued");
        QTest::addColumn<QString>("verdict");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/verdicts.tsv"_s))
            QTest::newRow(r.value(0).constData())
                << rowsOf(r.value(1)) << (r.value(2) == "Ja") << tables::text(r.value(3));
    }

    void verdict() {
        QFETCH(QStringList, rows);
        QFETCH(bool, continued);
        choices::Bench b(rows);
        b.recorder.fallback = [continued](const DialogRequest &request) {
            return request.kind == DialogKind::MessageBox && !continued ? DialogButton::No
                                                                        : request.buttons.first();
        };
        const bool passed = b.test.RunValidation();
        const Verdict &v = b.test.LastVerdict;
        QCOMPARE(v.passed(), passed);
        QCOMPARE(b.test.ChoiceTested, passed);
        QStringList shown{QString::number(int(v.stage))};
        if (v.unknown.row != 0)
            shown.append(u"%1,%2,%3"_s.arg(v.unknown.column).arg(v.unknown.row).arg(v.unknown.text));
        if (v.rule != 0 || v.endingRule != 0)
            shown.append(u"%1/%2"_s.arg(v.rule).arg(v.endingRule));
        for (const ChoiceRules::MissingObligation &m : v.missing)
            shown.append(u"%1:%2:%3"_s.arg(m.number).arg(m.count).arg(m.subject));
        if (v.courses)
            shown.append(QString::number(*v.courses));
        if (v.foreignLanguageContinued)
            shown.append(*v.foreignLanguageContinued ? u"Ja"_s : u"Nein"_s);
        QTEST(shown.join(u' '), "verdict");
    }
};

QTEST_APPLESS_MAIN(TestValidation)
#include "tst_validation.moc"
