#include "support/choices.h"
#include "support/tables.h"

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
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/obligations.tsv"_s)) {
            QStringList rows = tables::text(r.value(1)).split(u'|', Qt::SkipEmptyParts);
            if (r.value(1).startsWith('+')) {
                rows = choices::validChoice();
                while (rows.size() < GridModel::kCourseRows)
                    rows.append(u"-"_s);
                for (const QString &change : QString::fromUtf8(r.value(1).mid(1)).split(u'|'))
                    rows[change.section(u'=', 0, 0).toInt() - 1] = change.section(u'=', 1);
            }
            QTest::newRow(r.value(0).constData()) << rows << tables::text(r.value(2)) << tables::text(r.value(3));
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
