#include "support/choices.h"

#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

// The compulsory courses: counting, the ten obligations, both lists and the composed message.
class TestObligations : public QObject {
    Q_OBJECT

private slots:
    void obligations_data();
    void obligations();
    void endsTheRun();
};

namespace {
QString message(const QString &first, const QString &second) {
    return u"Es fehlen folgende Kurse:\r"_s + first + u'\r' + second +
           u"\r\rBeachte die Belegungungsverpflichtungen:\r"
           "A\t\tB\t\tC\r"
           "4xDE\t\t2xPO\t\t4xNW\r"
           "4xFremdsp.\t2xGE\t\t4xMA\r"
           "2xKU o. 2xMU\t2xRE o. 2xWN\r"
           "4xSP  Bei Sport-LK zus. 4xSportheorie\r\r"
           "Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : \r"
           "2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK\r"
           "Informatik ist keine Naturwissenschaft"_s;
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
} // namespace

void TestObligations::obligations_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");

    // Religion as PK 4 uses up two Politik and two Geschichte courses first.
    const QString religionPair = u"mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "_s;
    QTest::newRow("Deutsch LK counted from semester 1 only")
        << validWith({{1, "- DE DE DE"}}) << u"4xDeutsch "_s << QString();
    QTest::newRow("tie Physik, Biologie goes to Physik")
        << validWith({{5, "BI BI - -"}, {9, "- - PH PH"}}) << u"2xPhysik "_s << QString();
    QTest::newRow("Chemie ahead of Physik")
        << validWith({{5, "CH CH CH -"}, {9, "PH - - -"}}) << u"1xChemie "_s << QString();
    QTest::newRow("Informatik is no science, Sport-Theorie no Sport")
        << validWith({{5, "IN"}, {6, "ST"}, {9, "-"}}) << u"4xNaturw.4xSport "_s << QString();
    QTest::newRow("exam Englisch counts 4") << validWith({{3, "EN DE DE DE"}}) << QString() << QString();
    QTest::newRow("Englisch 3 and Latein 3 not added")
        << validWith({{3, "KU"}, {10, "EN EN EN -"}, {11, "- LA LA LA"}}) << u"1xEnglisch "_s << QString();
    QTest::newRow("Politik one semester") << validWith({{7, "PO - - -"}}) << QString() << u"1xPolitik "_s;
    QTest::newRow("Politik twice in one semester")
        << validWith({{7, "PO - - -"}, {10, "PO - - -"}}) << QString() << QString();
    QTest::newRow("Religion 1 and Werte u. Normen 1")
        << validWith({{8, "RE WN KU KU"}}) << QString() << u"mind. 1xReli./Werte u. Normen  "_s;
    QTest::newRow("Kunst 1 and Musik 1")
        << validWith({{8, "RE RE KU MU"}}) << QString() << u"mind. 1xKunst/Musik "_s;
    QTest::newRow("Religion PK, four Politik")
        << validWith({{4, "RE"}, {7, "PO"}, {8, "GE GE - -"}}) << QString() << QString();
    QTest::newRow("Religion PK, two Pädagogik")
        << validWith({{4, "RE"}, {7, "PO PO GE GE"}, {8, "PA PA - -"}}) << QString() << QString();
    QTest::newRow("Religion PK, one Erdkunde")
        << validWith({{4, "RE"}, {7, "PO PO GE GE"}, {8, "EK - - -"}}) << QString() << religionPair;
    QTest::newRow("Sport LK 2, Sport-Theorie 2")
        << validWith({{2, "SP"}, {6, "MA"}, {10, "ST ST - -"}}) << QString() << u"2xSport-Theorie "_s;
    QTest::newRow("Sport PK 4 needs no Sport-Theorie")
        << validWith({{4, "SP"}, {6, "GE"}}) << QString() << QString();
    QTest::newRow("empty matrix")
        << QStringList() << u"4xDeutsch 4xNaturw.4xSport 4xFremdsp. 4xMathe  "_s
        << u"2xPolitik 2xGeschichte mind. 1xReli./Werte u. Normen  mind. 1xKunst/Musik "_s;
    QTest::newRow("Religion case with Sport LK, no rule 9")
        << QStringList{u"DE"_s, u"SP"_s, u"EN"_s, u"RE"_s} << u"4xNaturw.4xMathe  "_s
        << u"2xPolitik 2xGeschichte "_s + religionPair + u"4xSport-Theorie "_s;
}

void TestObligations::obligations() {
    QFETCH(QStringList, rows);
    QFETCH(QString, first);
    QFETCH(QString, second);
    choices::Bench b(rows);
    b.test.BuildCourseMatrix();
    const CourseMatrixCodes matrix = b.test.CourseMatrix;

    const bool passes = first.isEmpty() && second.isEmpty();
    QCOMPARE(b.test.CheckCourseObligations(), passes);
    QCOMPARE(choices::requests(b.recorder),
             passes ? QList<DialogRequest>() : QList{choices::ruleViolation(message(first, second))});
    QCOMPARE(b.test.CourseMatrix, matrix);
}

// A missing course ends the run before the course count.
void TestObligations::endsTheRun() {
    choices::Bench b(validWith({{7, "PO - - -"}}));
    QVERIFY(!b.test.RunValidation());
    QCOMPARE(b.recorder.entries.size(), 1);
    QVERIFY(!b.test.LastCourseCount.has_value());
}

QTEST_APPLESS_MAIN(TestObligations)
#include "tst_obligations.moc"
