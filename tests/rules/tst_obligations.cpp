#include "support/choices.h"

#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

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

// The compulsory courses: counting, the ten obligations, both lists and the composed message.
class TestObligations : public QObject {
    Q_OBJECT

private slots:
    void obligations_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        const auto row = [](const char *name, const QStringList &rows, const QString &first,
                            const QString &second = {}) { QTest::newRow(name) << rows << first << second; };
        const QString religionPair = u"mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "_s;
        row("DE LK from semester 1 only", validWith({{1, "- DE DE DE"}}), u"4xDeutsch "_s);
        row("DE in three Grundkurs semesters", validWith({{1, "EN"}, {3, "KU"}, {10, "DE DE DE -"}}),
            u"1xDeutsch "_s);
        row("tie goes to PH", validWith({{5, "BI BI - -"}, {9, "- - PH PH"}}), u"2xPhysik "_s);
        row("CH ahead of PH", validWith({{5, "CH CH CH -"}, {9, "PH - - -"}}), u"1xChemie "_s);
        row("IN no science, ST no Sport", validWith({{5, "IN"}, {6, "ST"}, {9, "-"}}),
            u"4xNaturw.4xSport "_s);
        row("exam EN counts 4", validWith({{3, "EN DE DE DE"}}), {});
        row("EN 3 and LA 3 not added", validWith({{3, "KU"}, {10, "EN EN EN -"}, {11, "- LA LA LA"}}),
            u"1xEnglisch "_s);
        row("PO one semester", validWith({{7, "PO - - -"}}), {}, u"1xPolitik "_s);
        row("PO twice in one semester", validWith({{7, "PO - - -"}, {10, "PO - - -"}}), {});
        row("RE 1, WN 1", validWith({{8, "RE WN KU KU"}}), {}, u"mind. 1xReli./Werte u. Normen  "_s);
        row("KU 1, MU 1", validWith({{8, "RE RE KU MU"}}), {}, u"mind. 1xKunst/Musik "_s);
        // Religion as PK 4 uses up two Politik and two Geschichte courses first.
        row("RE PK, four PO", validWith({{4, "RE"}, {7, "PO"}, {8, "GE GE - -"}}), {});
        row("RE PK, two PA", validWith({{4, "RE"}, {7, "PO PO GE GE"}, {8, "PA PA - -"}}), {});
        row("RE PK, one EK", validWith({{4, "RE"}, {7, "PO PO GE GE"}, {8, "EK - - -"}}), {}, religionPair);
        row("RE PK, two EK", validWith({{4, "RE"}, {7, "PO PO GE GE"}, {8, "EK EK - -"}}), {});
        row("SP LK 2, ST 2", validWith({{2, "SP"}, {6, "MA"}, {10, "ST ST - -"}}), {}, u"2xSport-Theorie "_s);
        row("SP PK 4 needs no ST", validWith({{4, "SP"}, {6, "GE"}}), {});
        row("empty matrix", {}, u"4xDeutsch 4xNaturw.4xSport 4xFremdsp. 4xMathe  "_s,
            u"2xPolitik 2xGeschichte mind. 1xReli./Werte u. Normen  mind. 1xKunst/Musik "_s);
        row("RE case with SP LK, no rule 9", {u"DE"_s, u"SP"_s, u"EN"_s, u"RE"_s}, u"4xNaturw.4xMathe  "_s,
            u"2xPolitik 2xGeschichte "_s + religionPair + u"4xSport-Theorie "_s);
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
        QCOMPARE(choices::requests(b.recorder),
                 passes ? QList<DialogRequest>() : QList{choices::ruleViolation(message(first, second))});
        QCOMPARE(b.test.CourseMatrix, matrix);
    }

    // A missing course ends the run before the course count.
    void endsTheRun() {
        choices::Bench b(validWith({{7, "PO - - -"}}));
        QVERIFY(!b.test.RunValidation() && b.recorder.entries.size() == 1);
        QVERIFY(!b.test.LastCourseCount.has_value());
    }
};

QTEST_APPLESS_MAIN(TestObligations)
#include "tst_obligations.moc"
