#include "rules/verdictmessages.h"
#include "tests/support/tables.h"
#include "tools/courses.h"
#include "tools/report.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Pieces of fachlese-check's outputs that the year groups of the other tests do not reach.
class PlantedTest : public QObject {
    Q_OBJECT

private slots:
    // The checklist names the row of an unknown subject as the grid labels it.
    void checklistRowLabels() {
        FileCheck check;
        check.file = u"a.fld"_s;
        for (int row = 1; row <= GridModel::kCourseRows; ++row)
            check.checklist.append({ChecklistItem::Kind::Violation, ReasonCodes::UnknownSubject, u"x"_s, 2, row});
        QByteArray out;
        ReportWriter(ReportFormat::Text, true).file(check, out);
        QCOMPARE(out, tables::golden(u"tools/golden/row-labels.txt"_s, out));
    }

    // When rule 3 fails and a later rule ends the stage, the code names rule 3.
    void reasonCodeOfTheFirstRule() {
        Verdict verdict;
        verdict.stage = Verdict::Stage::ExamSubjects;
        verdict.rule = 3;
        verdict.endingRule = 7;
        QCOMPARE(ReasonCode(verdict), u"regel-3"_s);
    }

    // The blocks of bloecke.csv count from 1.
    void blocksCountFromOne() {
        FileCheck check;
        check.codes.at(1, 1) = Subject::Mathematik;
        YearGroupCourses year;
        year.add(check);
        year.finish();
        QByteArray csv, text, html;
        AppendBlocks(year, csv, text, html, 25);
        QVERIFY2(csv.endsWith("1;1;Mathematik LK;1\r\n"), csv.constData());
    }
};

QTEST_GUILESS_MAIN(PlantedTest)
#include "tst_check_planted.moc"
