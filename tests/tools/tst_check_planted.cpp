#include "rules/verdictmessages.h"
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
        QStringList labels;
        for (const QString &line : QString::fromUtf8(out).split(u'\n'))
            if (line.contains(u" ("_s) && line.contains(u". Semester)"_s))
                labels << line.section(u'(', -1).section(u',', 0, 0);
        QCOMPARE(labels.join(u' '), u"LK 1 LK 2 PK 3 PK 4 GK 3 GK 4 GK 5 GK 6 GK 7 GK 8 GK 9"_s);
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
