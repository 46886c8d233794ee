#include "support/choices.h"
#include "support/messages.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The compulsory courses: counting, the ten obligations, both lists and the composed message.
class TestObligations : public QObject {
    Q_OBJECT

private slots:
    void obligations_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/obligations.tsv"_s)) {
            const QString text = tables::text(r.value(1));
            const QStringList rows = text.startsWith(u'+') ? choices::validChoiceWith(text.mid(1))
                                                            : text.split(u'|', Qt::SkipEmptyParts);
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
        const DialogRequest missing = choices::ruleViolation(messages::text(u"belegung"_s, {first, second}));
        QCOMPARE(choices::requests(b.recorder), passes ? QList<DialogRequest>() : QList{missing});
        QCOMPARE(b.test.CourseMatrix, matrix);
    }

    // A missing course ends the run before the course count.
    void endsTheRun() {
        choices::Bench b(choices::validChoiceWith(u"7=PO - - -"_s));
        QVERIFY(!b.test.RunValidation() && b.recorder.entries.size() == 1);
        QVERIFY(!b.test.LastCourseCount.has_value());
    }
};

QTEST_APPLESS_MAIN(TestObligations)
#include "tst_obligations.moc"
