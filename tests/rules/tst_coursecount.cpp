#include "support/choices.h"

#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

// The last stage: the course count, the question about a foreign-language LK and the verdict.
class TestCourseCount : public QObject {
    Q_OBJECT

private slots:
    void stage_data();
    void stage();
    void verdictYesOpensPrintFormDuringRun();
};

namespace {
const DialogRequest kQuestion{DialogKind::MessageBox,
                              u" WICHTIGE FRAGE!"_s,
                              u" Bist du dir sicher, dass die Fremdsprache\r"
                              " im LK eine weitergeführte Sprache ist?\r"
                              "\r"
                              " Weitergeführt sind Fremdsprachen, wenn sie in der SEK I\r"
                              " regulär unterrichtet und benotet wurden. (keine AGs!)\r"
                              "\r"
                              " Fremdsprachen, die in der 11. Klasse neu begonnen wurden,\r"
                              " dürfen nicht(!) als LK gewählt werden."_s,
                              {DialogButton::Yes, DialogButton::No}};

DialogRequest tooFew(int count) {
    return choices::ruleViolation(u"Du hast "_s + QString::number(count) +
                                  u" Kurse gewählt.\rEs müssen aber mindestens 33 belegt werden.\r\r"
                                  "Die Sporttheoriekurse werden dabei nicht berücksichtigt."_s);
}

DialogRequest verdict(int count) {
    return {DialogKind::Information,
            u"Information"_s,
            u"»Eine im 11. Jg. begonnene Fremdsprache muss (!) im 12.u.13. Jg. belegt werden.\r"
            "»Die durchgängige Fremdsprache muss im 11.Jg. durchgängig belegt worden sein.\r"
            "»Die durchgängige Naturwissenschaft muss mind. ein halbes Jahr im 11. Jg. belegt worden sein.\r"
            "»Bei Sport als LK/PK muss ein ärztlicher Unbedenklichkeitsbescheid vorliegen.\r"
            "»Die max. Wochenstundenzahl beträgt 34 Stunden.\r\r"
            "   Du hast "_s +
                QString::number(count) +
                u" Kurse gewählt. Davon können 32 in die Abiturnote eingehen.\r\r"
                "»»» Wenn die oben genannten Bedingungen erfüllt sind, ist die Wahl o.k.! \r\r"
                "Soll ein offizieller Fachlesebogen ausgedruck werden?"_s,
            {DialogButton::Yes, DialogButton::No}};
}

// Eight rows in all four semesters: 32 courses.
QStringList eightRows() {
    return {u"DE"_s, u"MA"_s, u"EN"_s, u"GE"_s, u"PH"_s, u"SP"_s, u"PO"_s, u"BI"_s};
}
} // namespace

void TestCourseCount::stage_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("foreignLanguageLK");
    QTest::addColumn<QList<DialogButton>>("answers");
    QTest::addColumn<QList<DialogRequest>>("dialogs");
    QTest::addColumn<int>("printForms"); // -1: the stage fails

    using Answers = QList<DialogButton>;
    using Dialogs = QList<DialogRequest>;
    const DialogButton yes = DialogButton::Yes;
    const DialogButton no = DialogButton::No;
    const QStringList thirtyThree = eightRows() << u"KU - - -"_s;
    const QStringList thirtySix = eightRows() << u"KU"_s;

    QTest::newRow("32 courses, no question") << eightRows() << true << Answers() << Dialogs{tooFew(32)} << -1;
    QTest::newRow("33 courses, Nein") << thirtyThree << false << Answers{no} << Dialogs{verdict(33)} << 0;
    QTest::newRow("33 courses, Ja") << thirtyThree << false << Answers{yes} << Dialogs{verdict(33)} << 1;
    QTest::newRow("34 entries, 4 Sport-Theorie")
        << QStringList{u"DE"_s, u"MA"_s, u"EN"_s, u"GE"_s, u"PH"_s, u"SP"_s, u"PO"_s, u"ST"_s, u"KU KU - -"_s}
        << false << Answers() << Dialogs{tooFew(30)} << -1;
    QTest::newRow("Sport counts, empty rows do not")
        << QStringList{u"SP"_s, u"-"_s,  u"SP"_s, u"DE"_s,       u"-"_s, u"MA"_s,
                       u"EN"_s, u"GE"_s, u"PH"_s, u"BI - - -"_s, u"KU"_s}
        << false << Answers{no} << Dialogs{verdict(33)} << 0;
    QTest::newRow("foreign-language LK, No") << thirtySix << true << Answers{no} << Dialogs{kQuestion} << -1;
    QTest::newRow("foreign-language LK, Yes, Ja")
        << thirtySix << true << Answers{yes, yes} << Dialogs{kQuestion, verdict(36)} << 1;
}

void TestCourseCount::stage() {
    QFETCH(QStringList, rows);
    QFETCH(bool, foreignLanguageLK);
    QFETCH(QList<DialogButton>, answers);
    QFETCH(QList<DialogRequest>, dialogs);
    QFETCH(int, printForms);
    choices::Bench b(rows);
    b.test.BuildCourseMatrix();
    b.test.ForeignLanguageLK = foreignLanguageLK;
    int sounds = 0;
    int opened = 0;
    bool testedAtVerdict = false; // ChoiceTested set and the sound played before the verdict
    b.test.AlertSound = [&] { ++sounds; };
    b.test.OpenPrintForm = [&] { ++opened; };
    b.recorder.fallback = [&](const DialogRequest &request) {
        if (request.kind == DialogKind::Information)
            testedAtVerdict = b.test.ChoiceTested && sounds == 1;
        return answers.isEmpty() ? DialogButton::Cancel : answers.takeFirst();
    };

    const bool passes = printForms >= 0;
    QCOMPARE(b.test.CheckCourseCount(), passes);
    QCOMPARE(choices::requests(b.recorder), dialogs);
    QCOMPARE(testedAtVerdict, passes);
    QCOMPARE(b.test.ChoiceTested, passes);
    QCOMPARE(sounds, passes ? 1 : 0);
    QCOMPARE(opened, std::max(printForms, 0));
}

void TestCourseCount::verdictYesOpensPrintFormDuringRun() {
    choices::Bench b(choices::validChoice());
    b.grid.setCell(3, 5, u" Physik"_s);
    bool runningAtPrint = false;
    b.test.OpenPrintForm = [&] { runningAtPrint = b.test.ValidationRunning && b.test.ChoiceTested; };
    b.recorder.answers << DialogButton::Yes;

    QVERIFY(b.test.RunValidation());
    QVERIFY(runningAtPrint); // opened without waiting; the run finishes afterwards
    QVERIFY(!b.test.ValidationRunning);
    QCOMPARE(choices::requests(b.recorder), QList{verdict(36)});
    QVERIFY(!b.test.GridChangedSinceSnapshot()); // the final snapshot holds the trimmed grid
}

QTEST_APPLESS_MAIN(TestCourseCount)
#include "tst_coursecount.moc"
