#include "rules/test.h"
#include "support/choices.h"

#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

// The compulsory courses: counting, the ten obligations, both lists and the composed message.
class TestObligations : public QObject {
    Q_OBJECT

private slots:
    void wholeMessage();
    void obligations_data();
    void obligations();
    void validChoicePassesSilently();
    void endsTheRun();
};

namespace {
const QString kReminder = u"Beachte die Belegungungsverpflichtungen:\r"
                          "A\t\tB\t\tC\r"
                          "4xDE\t\t2xPO\t\t4xNW\r"
                          "4xFremdsp.\t2xGE\t\t4xMA\r"
                          "2xKU o. 2xMU\t2xRE o. 2xWN\r"
                          "4xSP  Bei Sport-LK zus. 4xSportheorie\r\r"
                          "Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : \r"
                          "2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK\r"
                          "Informatik ist keine Naturwissenschaft"_s;

QString message(const QString &first, const QString &second) {
    return u"Es fehlen folgende Kurse:\r"_s + first + u'\r' + second + u"\r\r"_s + kReminder;
}

// The valid choice with some rows (1 ... 11) replaced.
QStringList validWith(std::initializer_list<std::pair<int, const char *>> changes) {
    QStringList rows = choices::validChoice();
    while (rows.size() < GridModel::kCourseRows)
        rows.append(u"-"_s);
    for (const auto &[row, text] : changes)
        rows[row - 1] = QString::fromUtf8(text);
    return rows;
}

// A choice with Religion as PK 4, meeting everything but the further Aufgabenfeld-B pair.
QStringList religionWith(const char *row7, const char *row8) {
    return {u"DE"_s,
            u"MA"_s,
            u"EN"_s,
            u"RE"_s,
            u"PH"_s,
            u"SP"_s,
            QString::fromUtf8(row7),
            QString::fromUtf8(row8)};
}
} // namespace

void TestObligations::wholeMessage() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, validWith({{7, "PO - - -"}}));
    test.BuildCourseMatrix();

    QVERIFY(!test.CheckCourseObligations());
    const QString expected =
        u"Es fehlen folgende Kurse:\r\r1xPolitik \r\rBeachte die Belegungungsverpflichtungen:\rA\t\tB\t\tC\r"
        "4xDE\t\t2xPO\t\t4xNW\r4xFremdsp.\t2xGE\t\t4xMA\r2xKU o. 2xMU\t2xRE o. 2xWN\r"
        "4xSP  Bei Sport-LK zus. 4xSportheorie\r\rBei Religion als Prüf.-Fach gilt im Aufgabenfeld B : \r"
        "2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK\rInformatik ist keine Naturwissenschaft"_s;
    QCOMPARE(recorder.entries.size(), 1);
    const DialogRequest error{DialogKind::Error, u"Fehler"_s, expected, {DialogButton::Cancel}};
    QCOMPARE(recorder.entries.first().request, error);
    QVERIFY(!expected.contains(u'\n'));
}

void TestObligations::obligations_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");

    // 1 Deutsch
    QTest::newRow("Deutsch three semesters as Grundkurs")
        << validWith({{1, "-"}, {10, "DE DE DE -"}}) << u"1xDeutsch "_s << QString();
    QTest::newRow("Deutsch in later semesters of LK 1 only")
        << validWith({{1, "- DE DE DE"}}) << u"4xDeutsch "_s << QString();
    // 2 natural science
    QTest::newRow("Physik and Biologie two each")
        << validWith({{5, "PH PH - -"}, {9, "BI BI - -"}}) << u"2xPhysik "_s << QString();
    QTest::newRow("tie goes to Physik whatever the rows")
        << validWith({{5, "BI BI - -"}, {9, "- - PH PH"}}) << u"2xPhysik "_s << QString();
    QTest::newRow("Chemie and Biologie three each")
        << validWith({{5, "CH CH CH -"}, {9, "- BI BI BI"}}) << u"1xBiologie "_s << QString();
    QTest::newRow("Chemie ahead of Physik")
        << validWith({{5, "CH CH CH -"}, {9, "PH - - -"}}) << u"1xChemie "_s << QString();
    QTest::newRow("Informatik is no science, Sport missing")
        << validWith({{5, "IN"}, {6, "-"}, {9, "-"}}) << u"4xNaturw.4xSport "_s << QString();
    // 3 Sport
    QTest::newRow("Sport-Theorie is no Sport") << validWith({{6, "ST"}}) << u"4xSport "_s << QString();
    QTest::newRow("Sport one semester") << validWith({{6, "- - - SP"}}) << u"3xSport "_s << QString();
    // 4 foreign language
    QTest::newRow("exam Englisch, other later semesters")
        << validWith({{3, "EN DE DE DE"}}) << QString() << QString();
    QTest::newRow("Englisch 3 and Latein 3 not added")
        << validWith({{3, "KU"}, {10, "EN EN EN -"}, {11, "- LA LA LA"}}) << u"1xEnglisch "_s << QString();
    QTest::newRow("Latein ahead of Englisch")
        << validWith({{3, "KU"}, {10, "EN EN - -"}, {11, "- LA LA LA"}}) << u"1xLatein "_s << QString();
    QTest::newRow("no language") << validWith({{3, "KU"}}) << u"4xFremdsp. "_s << QString();
    // 5 Mathematik
    QTest::newRow("no Mathematik") << validWith({{2, "IN"}}) << u"4xMathe  "_s << QString();
    QTest::newRow("Mathematik two semesters")
        << validWith({{2, "IN"}, {10, "MA MA - -"}}) << u"2xMathe  "_s << QString();
    // 6 and 7
    QTest::newRow("no Politik") << validWith({{7, "-"}}) << QString() << u"2xPolitik "_s;
    QTest::newRow("Politik twice in one semester")
        << validWith({{7, "PO - - -"}, {10, "PO - - -"}}) << QString() << QString();
    QTest::newRow("Geschichte one semester")
        << validWith({{4, "PA"}, {10, "- - GE -"}}) << QString() << u"1xGeschichte "_s;
    // 8b and 9
    QTest::newRow("Religion 1 and Werte u. Normen 1")
        << validWith({{8, "RE WN KU KU"}}) << QString() << u"mind. 1xReli./Werte u. Normen  "_s;
    QTest::newRow("Werte u. Normen 2") << validWith({{8, "WN KU KU WN"}}) << QString() << QString();
    QTest::newRow("Geschichte as PK 4, no Kunst or Musik")
        << validWith({{8, "RE RE - -"}}) << QString() << u"mind. 1xKunst/Musik "_s;
    QTest::newRow("Kunst 1 and Musik 1")
        << validWith({{8, "RE RE KU MU"}}) << QString() << u"mind. 1xKunst/Musik "_s;
    QTest::newRow("Musik 2") << validWith({{8, "RE RE MU MU"}}) << QString() << QString();
    // 8a: Religion as examination subject
    QTest::newRow("Religion PK, two Politik, two Geschichte")
        << religionWith("PO PO GE GE", "-") << QString()
        << u"mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "_s;
    QTest::newRow("Religion PK, three Politik") << religionWith("PO PO PO -", "GE GE - -") << QString()
                                                << u"mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "_s;
    QTest::newRow("Religion PK, four Politik") << religionWith("PO", "GE GE - -") << QString() << QString();
    QTest::newRow("Religion PK, four Geschichte")
        << religionWith("PO PO - -", "GE") << QString() << QString();
    QTest::newRow("Religion PK, two Pädagogik")
        << religionWith("PO PO GE GE", "PA PA - -") << QString() << QString();
    QTest::newRow("Religion PK, one Erdkunde") << religionWith("PO PO GE GE", "EK - - -") << QString()
                                               << u"mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "_s;
    QTest::newRow("Religion PK, no Geschichte")
        << religionWith("PO PO EK EK", "-") << QString() << u"2xGeschichte "_s;
    // 10 Sport-Theorie
    QTest::newRow("Sport LK 2, Sport-Theorie 2")
        << validWith({{2, "SP"}, {6, "MA"}, {10, "ST ST - -"}}) << QString() << u"2xSport-Theorie "_s;
    QTest::newRow("Sport LK 1, no Sport-Theorie")
        << validWith({{1, "SP"}, {6, "DE"}}) << QString() << u"4xSport-Theorie "_s;
    QTest::newRow("Sport LK 2, Sport-Theorie 4")
        << validWith({{2, "SP"}, {6, "MA"}, {10, "ST"}}) << QString() << QString();
    QTest::newRow("Sport PK 4 needs no Sport-Theorie")
        << validWith({{4, "SP"}, {6, "GE"}}) << QString() << QString();
    // combinations
    QTest::newRow("empty matrix")
        << QStringList() << u"4xDeutsch 4xNaturw.4xSport 4xFremdsp. 4xMathe  "_s
        << u"2xPolitik 2xGeschichte mind. 1xReli./Werte u. Normen  mind. 1xKunst/Musik "_s;
    QTest::newRow("Religion case with Sport LK, all of list two")
        << QStringList{u"DE"_s, u"SP"_s, u"EN"_s, u"RE"_s} << u"4xNaturw.4xMathe  "_s
        << u"2xPolitik 2xGeschichte mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  4xSport-Theorie "_s;
    QTest::newRow("one of each list") << validWith({{5, "PH PH PH -"}, {8, "RE RE - -"}, {9, "-"}})
                                      << u"1xPhysik "_s << u"mind. 1xKunst/Musik "_s;
}

void TestObligations::obligations() {
    QFETCH(QStringList, rows);
    QFETCH(QString, first);
    QFETCH(QString, second);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, rows);
    test.BuildCourseMatrix();
    const CourseMatrixCodes matrix = test.CourseMatrix;

    const bool passes = first.isEmpty() && second.isEmpty();
    QCOMPARE(test.CheckCourseObligations(), passes);
    QCOMPARE(choices::dialogTexts(recorder), passes ? QStringList() : QStringList{message(first, second)});
    QCOMPARE(test.CourseMatrix, matrix);
}

void TestObligations::validChoicePassesSilently() {
    for (const QStringList &rows : {choices::validChoice(), choices::validForeignLanguageLkChoice()}) {
        GridModel grid;
        DialogRecorder recorder;
        ChoiceTest test(grid, recorder);
        choices::fill(grid, rows);
        QVERIFY(test.CheckEntries());
        QVERIFY(test.CheckRepeatedCourses());
        QVERIFY(test.CheckExamSubjects());
        QVERIFY(test.CheckCourseObligations());
        QCOMPARE(recorder.entries.size(), 0);
    }
}

void TestObligations::endsTheRun() {
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    choices::fill(grid, validWith({{6, "- SP SP SP"}}));

    QVERIFY(!test.RunValidation());
    QCOMPARE(choices::dialogTexts(recorder), QStringList{message(u"1xSport "_s, QString())});
    QVERIFY(!test.LastCourseCount.has_value());
    QVERIFY(!test.ChoiceTested);
}

QTEST_APPLESS_MAIN(TestObligations)
#include "tst_obligations.moc"
