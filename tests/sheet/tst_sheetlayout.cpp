#include "sheet/sheetlayout.h"
#include "support/tables.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Every text of the sheet the print dialog makes from `grid` in drawing order, one a line: x and
// y in 0.1 mm, the height, bold (1) or not, the text.
QByteArray sheetOf(GridModel &grid, bool tested) {
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    test.BuildCourseMatrix();
    QByteArray shown;
    for (const SheetText &t : SheetLayout(grid, test.CourseMatrix, tested,
                                          {u"Muster"_s, u"Maxi"_s, u"12b"_s, u"01.02.2009"_s}, u"06.12.26"_s))
        shown += u"%1 %2 %3 %4 %5\n"_s.arg(t.x).arg(t.y).arg(t.height).arg(int(t.bold)).arg(t.text).toUtf8();
    return shown;
}
} // namespace

class TestSheetLayout : public QObject {
    Q_OBJECT

private slots:
    // A full choice: grid cells as typed, empty ones left out, and the spare row never printed;
    // the last text stands 270.0 mm below the top.
    void fullSheet() {
        const QStringList rows = u"Deutsch,Mathematik,Englisch,Geschichte,Physik,Sport,Politik,  Religion ,"
                                 u"Kunst,Biologie,Sport-Theorie"_s.split(u',');
        GridModel grid;
        for (int r = 1; r <= 11; ++r)
            for (int s = 1; s <= (r == 11 ? 3 : 4); ++s)
                grid.setCell(s, r, rows.at(r - 1));
        grid.setCell(1, 12, u"Spare"_s);
        const QByteArray shown = sheetOf(grid, true);
        QCOMPARE(shown, tables::golden(u"sheet/data/full-sheet.txt"_s, shown));
    }

    // Exam lines never carry " XXX"; Grundkurs lines follow the rows filled in semester 1 (blanks
    // count as filled), move up over empty rows, and the signature follows the last of them.
    // An untested choice has the one warning line instead of the three verdict lines.
    void choiceBlock_data() {
        QTest::addColumn<QString>("firstSemester"); // rows 1 ... 11, separated by ","
        QTest::newRow("exam-rows-only") << u",Mathe,Sport,  Latein ,,,,,,,"_s;
        QTest::newRow("gaps-move-up")
            << u"Deutsch,Mathematik,Englisch,Geschichte,   , Sport ,Astrologie,,Sport-Theorie,,Chemie"_s;
    }

    void choiceBlock() {
        QFETCH(QString, firstSemester);
        GridModel grid;
        for (int r = 1; r <= 11; ++r) {
            grid.setCell(1, r, firstSemester.split(u',').at(r - 1));
            for (int s = 2; s <= 4; ++s)
                grid.setCell(s, r, u"Chemie"_s); // later semesters never make a line
        }
        const QByteArray shown = sheetOf(grid, false);
        const QString name = QLatin1StringView(QTest::currentDataTag());
        QCOMPARE(shown, tables::golden(u"sheet/data/"_s + name + u".txt"_s, shown));
    }
};

QTEST_GUILESS_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
