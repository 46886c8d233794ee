#include "support/choices.h"
#include "support/messages.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The ten rules on the examination subjects, each failing alone, and their order
// (data/exam-subjects.tsv).
class TestExamSubjects : public QObject {
    Q_OBJECT

private slots:
    void rules_data() {
        QTest::addColumn<QString>("rows"); // rows 1 ... 11 as in choices::fill, split at "|"
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("foreignLanguageLK"); // after the stage: 0, 1, or "-" for untouched
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/exam-subjects.tsv"_s))
            QTest::newRow(r.value(0).constData()) << QString::fromUtf8(r.value(1))
                                                  << messages::list(tables::text(r.value(2)))
                                                  << QString::fromUtf8(r.value(3));
    }

    void rules() {
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
            QCOMPARE(b.test.ForeignLanguageLK, foreignLanguageLK == u"-" ? before : foreignLanguageLK == u"1");
        }
    }
};

QTEST_APPLESS_MAIN(TestExamSubjects)
#include "tst_examsubjects.moc"
