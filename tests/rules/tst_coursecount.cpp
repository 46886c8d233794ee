#include "support/choices.h"
#include "support/messages.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const DialogRequest kQuestion{DialogKind::MessageBox, u" WICHTIGE FRAGE!"_s, messages::text(u"frage"_s),
                              {DialogButton::Yes, DialogButton::No}};

DialogRequest tooFew(int count) {
    return choices::ruleViolation(messages::text(u"unter-33"_s, {QString::number(count)}));
}

DialogRequest verdict(int count) {
    return {DialogKind::Information, u"Information"_s, messages::text(u"urteil"_s, {QString::number(count)}),
            {DialogButton::Yes, DialogButton::No}};
}
} // namespace

// The last stage: the course count, the question about a foreign-language LK and the verdict.
class TestCourseCount : public QObject {
    Q_OBJECT

private slots:
    void stage_data() {
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
            << u"SP|-|SP|DE|-|MA|EN|GE|PH|BI - - -|KU"_s << false << QList{No} << QList{verdict(33)};
        QTest::newRow("foreign-language LK, No") << thirtySix << true << QList{No} << QList{kQuestion};
        QTest::newRow("foreign-language LK, Yes, Ja")
            << thirtySix << true << QList{Yes, Yes} << QList{kQuestion, verdict(36)};
    }

    void stage() {
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
        QList<DialogButton> recorded;
        for (const DialogRecorder::Entry &entry : recorder.entries)
            recorded.append(entry.answer);
        QCOMPARE(recorded, (QList<DialogButton>{No, Cancel, No, Yes, Ok}));
        QCOMPARE(recorder.entries.at(1).request.text, u"y"_s);
    }
};

QTEST_APPLESS_MAIN(TestCourseCount)
#include "tst_coursecount.moc"
