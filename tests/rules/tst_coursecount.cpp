#include "rules/test.h"
#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The last stage: the course count, the question about a foreign-language LK and the verdict.
class TestCourseCount : public QObject {
    Q_OBJECT

private slots:
    void stage_data();
    void stage();
    void verdictYesOpensPrintForm();
    void verdictNoOpensNothing();
    void questionNoEndsRunSilently();
    void sportTheorieNotCountedInRun();
};

namespace {
const QString kQuestionTitle = u" WICHTIGE FRAGE!"_s;
const QString kQuestion = u" Bist du dir sicher, dass die Fremdsprache\r"
                          " im LK eine weitergeführte Sprache ist?\r"
                          "\r"
                          " Weitergeführt sind Fremdsprachen, wenn sie in der SEK I\r"
                          " regulär unterrichtet und benotet wurden. (keine AGs!)\r"
                          "\r"
                          " Fremdsprachen, die in der 11. Klasse neu begonnen wurden,\r"
                          " dürfen nicht(!) als LK gewählt werden."_s;

QString tooFew(int count) {
    return u"Du hast "_s + QString::number(count) +
           u" Kurse gewählt.\rEs müssen aber mindestens 33 belegt werden.\r\r"
           "Die Sporttheoriekurse werden dabei nicht berücksichtigt."_s;
}

QString verdict(int count) {
    return u"»Eine im 11. Jg. begonnene Fremdsprache muss (!) im 12.u.13. Jg. belegt werden.\r"
           "»Die durchgängige Fremdsprache muss im 11.Jg. durchgängig belegt worden sein.\r"
           "»Die durchgängige Naturwissenschaft muss mind. ein halbes Jahr im 11. Jg. belegt worden sein.\r"
           "»Bei Sport als LK/PK muss ein ärztlicher Unbedenklichkeitsbescheid vorliegen.\r"
           "»Die max. Wochenstundenzahl beträgt 34 Stunden.\r\r"
           "   Du hast "_s +
           QString::number(count) +
           u" Kurse gewählt. Davon können 32 in die Abiturnote eingehen.\r\r"
           "»»» Wenn die oben genannten Bedingungen erfüllt sind, ist die Wahl o.k.! \r\r"
           "Soll ein offizieller Fachlesebogen ausgedruck werden?"_s;
}

DialogRequest errorRequest(const QString &text) {
    return {DialogKind::Error, u"Fehler"_s, text, {DialogButton::Cancel}};
}
DialogRequest questionRequest() {
    return {DialogKind::MessageBox, kQuestionTitle, kQuestion, {DialogButton::Yes, DialogButton::No}};
}
DialogRequest verdictRequest(int count) {
    return {DialogKind::Information, u"Information"_s, verdict(count), {DialogButton::Yes, DialogButton::No}};
}

// Eight rows in all four semesters: 32 courses.
QStringList eightRows() {
    return {u"DE"_s, u"MA"_s, u"EN"_s, u"GE"_s, u"PH"_s, u"SP"_s, u"PO"_s, u"BI"_s};
}

// Answers the stage's questions from a script and records what it did besides its dialogs.
struct Hooks {
    QString script; // Y/N, in order; No when it runs out
    int sounds = 0;
    int printForms = 0;
    bool testedAtVerdict = false; // ChoiceTested set and the sound played when the verdict came
};

void attach(ChoiceTest &test, DialogRecorder &recorder, Hooks &hooks) {
    test.AlertSound = [&hooks] { ++hooks.sounds; };
    test.OpenPrintForm = [&hooks] { ++hooks.printForms; };
    recorder.fallback = [&test, &hooks](const DialogRequest &request) {
        if (request.kind == DialogKind::Information)
            hooks.testedAtVerdict = test.ChoiceTested && hooks.sounds == 1;
        const bool yes = hooks.script.startsWith(u'Y');
        hooks.script.remove(0, 1);
        return yes ? DialogButton::Yes : DialogButton::No;
    };
}
} // namespace

void TestCourseCount::stage_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("foreignLanguageLK");
    QTest::addColumn<QString>("answers"); // Y/N for the questions, in order
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<int>("printForms");

    QTest::newRow("32 courses") << eightRows() << false << QString() << 32 << false << 0;
    QTest::newRow("33 courses") << (eightRows() << u"KU - - -"_s) << false << u"N"_s << 33 << true << 0;
    QTest::newRow("33 courses, Ja") << (eightRows() << u"KU - - -"_s) << false << u"Y"_s << 33 << true << 1;
    QTest::newRow("34 entries, 4 Sport-Theorie")
        << QStringList{u"DE"_s, u"MA"_s, u"EN"_s, u"GE"_s, u"PH"_s, u"SP"_s, u"PO"_s, u"ST"_s, u"KU KU - -"_s}
        << false << QString() << 30 << false << 0;
    QTest::newRow("Sport twice, empty rows between")
        << QStringList{u"SP"_s, u"-"_s,  u"SP"_s, u"DE"_s,       u"-"_s, u"MA"_s,
                       u"EN"_s, u"GE"_s, u"PH"_s, u"BI - - -"_s, u"KU"_s}
        << false << u"N"_s << 33 << true << 0;
    QTest::newRow("all 44 cells") << QStringList{u"DE"_s, u"MA"_s, u"EN"_s, u"GE"_s, u"PH"_s, u"SP"_s,
                                                 u"PO"_s, u"BI"_s, u"KU"_s, u"RE"_s, u"CH"_s}
                                  << false << u"N"_s << 44 << true << 0;
    QTest::newRow("too few, no question") << eightRows() << true << QString() << 32 << false << 0;
    QTest::newRow("foreign-language LK, No")
        << (eightRows() << u"KU"_s) << true << u"N"_s << 36 << false << 0;
    QTest::newRow("foreign-language LK, Yes, Nein")
        << (eightRows() << u"KU"_s) << true << u"YN"_s << 36 << true << 0;
    QTest::newRow("foreign-language LK, Yes, Ja")
        << (eightRows() << u"KU"_s) << true << u"YY"_s << 36 << true << 1;
}

void TestCourseCount::stage() {
    QFETCH(QStringList, rows);
    QFETCH(bool, foreignLanguageLK);
    QFETCH(QString, answers);
    QFETCH(int, count);
    QFETCH(bool, passes);
    QFETCH(int, printForms);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    Hooks hooks{answers};
    attach(test, recorder, hooks);
    choices::fill(grid, rows);
    test.BuildCourseMatrix();
    test.ForeignLanguageLK = foreignLanguageLK;

    QCOMPARE(test.CheckCourseCount(), passes);
    QCOMPARE(test.LastCourseCount, std::optional<int>(count));

    QList<DialogRequest> expected;
    if (count < 33) {
        expected.append(errorRequest(tooFew(count)));
    } else {
        if (foreignLanguageLK)
            expected.append(questionRequest());
        if (passes)
            expected.append(verdictRequest(count));
    }
    QList<DialogRequest> shown;
    for (const DialogRecorder::Entry &entry : recorder.entries)
        shown.append(entry.request);
    QCOMPARE(shown, expected);

    QCOMPARE(test.ChoiceTested, passes);
    QCOMPARE(hooks.sounds, passes ? 1 : 0);
    QCOMPARE(hooks.printForms, printForms);
    QCOMPARE(hooks.testedAtVerdict, passes);
}

void TestCourseCount::verdictYesOpensPrintForm() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, choices::validChoice());
    grid.setCell(3, 5, u" Physik"_s);
    bool runningAtPrint = false;
    int printForms = 0;
    test.OpenPrintForm = [&] {
        ++printForms;
        runningAtPrint = test.ValidationRunning;
    };
    recorder.answers << DialogButton::Yes;

    QVERIFY(test.RunValidation());
    QCOMPARE(printForms, 1);
    QVERIFY(runningAtPrint); // opened without waiting; the run finishes afterwards
    QVERIFY(!test.ValidationRunning);
    QVERIFY(test.ChoiceTested);
    QCOMPARE(test.LastCourseCount, std::optional<int>(36));
    QCOMPARE(choices::dialogTexts(recorder), QStringList{verdict(36)});
    QCOMPARE(test.GridSnapshot.at(3, 5), u"Physik"_s); // the final snapshot holds the trimmed grid
    QVERIFY(!test.GridChangedSinceSnapshot());
}

void TestCourseCount::verdictNoOpensNothing() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, choices::validForeignLanguageLkChoice());
    int printForms = 0;
    test.OpenPrintForm = [&] { ++printForms; };
    recorder.answers << DialogButton::Yes << DialogButton::No;

    QVERIFY(test.RunValidation());
    QCOMPARE(printForms, 0);
    QVERIFY(test.ChoiceTested);
    QCOMPARE(choices::dialogTexts(recorder), (QStringList{kQuestion, verdict(36)}));
}

void TestCourseCount::questionNoEndsRunSilently() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, choices::validForeignLanguageLkChoice());
    grid.setCell(1, 1, u"Englisch "_s);
    int sounds = 0;
    test.AlertSound = [&] { ++sounds; };
    recorder.answers << DialogButton::No;

    QVERIFY(!test.RunValidation());
    QCOMPARE(recorder.entries.size(), 1);
    QCOMPARE(recorder.entries.first().request, questionRequest());
    QVERIFY(!test.ChoiceTested);
    QCOMPARE(sounds, 0);
    QVERIFY(test.GridChangedSinceSnapshot()); // no final snapshot: the trimmed cell still differs
}

void TestCourseCount::sportTheorieNotCountedInRun() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    // Sport LK with the four Sport-Theorie courses it needs: 34 entries, 30 courses.
    choices::fill(grid, {u"DE"_s, u"SP"_s, u"MA"_s, u"GE"_s, u"PH"_s, u"EN"_s, u"PO PO RE RE"_s,
                         u"KU KU - -"_s, u"ST"_s});

    QVERIFY(!test.RunValidation());
    QCOMPARE(choices::dialogTexts(recorder), QStringList{tooFew(30)});
    QCOMPARE(test.LastCourseCount, std::optional<int>(30));
    QVERIFY(!test.ChoiceTested);
}

QTEST_APPLESS_MAIN(TestCourseCount)
#include "tst_coursecount.moc"
