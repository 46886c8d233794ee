#include "sheet/sheetlayout.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The layout as the print dialog makes it: the course matrix built from the grid.
QList<SheetText> layoutOf(GridModel &grid, bool tested) {
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    test.BuildCourseMatrix();
    return SheetLayout(grid, test.CourseMatrix, tested, {u"Muster"_s, u"Maxi"_s, u"12b"_s, u"01.02.2009"_s},
                       u"06.12.26"_s);
}

SheetText large(const QString &text, int x, int y) {
    return SheetText{text, x, y, kLargeText, true};
}
SheetText medium(const QString &text, int x, int y) {
    return SheetText{text, x, y, kMediumText, true};
}

// Each line drawn twice, under "Erstwahl" and "Zweitwahl", from y = 1520 on, then the
// signature block.
QList<SheetText> choiceLines(const QStringList &lines) {
    QList<SheetText> texts;
    for (int i = 0; i < lines.size(); ++i)
        texts += {large(lines.at(i), 200, 1520 + 90 * i), large(lines.at(i), 900, 1520 + 90 * i)};
    const int y = 1520 + 90 * int(lines.size());
    return texts + QList{large(u"AG ______________"_s, 200, y),
                         large(u"Datum u. Unterschrift _______________________________"_s, 200, y + 130),
                         SheetText{u"Bei Minderjährigen Unterschrift des Erziehungsberechtigten"_s, 840,
                                   y + 190, kSmallText, false}};
}
} // namespace

class TestSheetLayout : public QObject {
    Q_OBJECT

private slots:
    // Every text of a full choice in drawing order; grid cells as typed, empty ones left out,
    // and the spare row never printed. The last text stands 270.0 mm below the top.
    void fullSheet() {
        const QStringList rows = u"Deutsch,Mathematik,Englisch,Geschichte,Physik,Sport,Politik,  Religion ,"
                                 u"Kunst,Biologie,Sport-Theorie"_s.split(u',');
        const QStringList labels = u"LK 1,LK 2,PK 3,PK 4,GK 3,GK 4,GK 5,GK 6,GK 7,GK 8,GK 9"_s.split(u',');
        GridModel grid;
        QList<SheetText> cells;
        for (int r = 1; r <= 11; ++r)
            for (int s = 1; s <= (r == 11 ? 3 : 4); ++s) {
                grid.setCell(s, r, rows.at(r - 1));
                cells.append(SheetText{rows.at(r - 1), 350 * s, 480 + 50 * r, kMediumText, false});
            }
        grid.setCell(1, 12, u"Spare"_s);

        // clang-format off
        QList<SheetText> expected = {large(u"Fachlesebogen    SEKII    IGS Brunsmark   06.12.26"_s, 200, 100),
            large(u"Name"_s, 200, 190), SheetText{u"Muster"_s, 450, 190, kLargeText, true, 1400},
            large(u"Vorname"_s, 200, 280), SheetText{u"Maxi"_s, 450, 280, kLargeText, true, 1400},
            large(u"Klasse"_s, 200, 370), SheetText{u"12b"_s, 450, 370, kLargeText, true, 220},
            large(u"Geburtsdatum"_s, 700, 370), SheetText{u"01.02.2009"_s, 1100, 370, kLargeText, true, 750}};
        // clang-format on
        for (int s = 1; s <= 4; ++s)
            expected.append(medium(u"%1. Semester"_s.arg(s), 350 * s, 480));
        for (int r = 1; r <= 11; ++r)
            expected.append(medium(labels.at(r - 1), 200, 480 + 50 * r));
        expected += cells;
        expected += {medium(u"Die Wahl ist o.k. !"_s, 200, 1120),
                     medium(u"Bitte trage jetzt die Kursnummern (z.B. 50) für die Erst- und Zweitwahl ein"_s,
                            200, 1180),
                     medium(u"und vergiss nicht die Unterschrift unten!"_s, 200, 1240)};
        expected += {large(u"Individuelle Wahl der Kurse (Sport wird gesondert gewählt)"_s, 200, 1320),
                     large(u"Erstwahl"_s, 200, 1420), large(u"Zweitwahl"_s, 900, 1420)};
        expected += choiceLines(u"LK1: DE ___,LK2: MA ___,PK3: EN ___,PK4: GE ___,GK3: PH ___,GK4: SP XXX,"
                                u"GK5: PO ___,GK6: RE ___,GK7: KU ___,GK8: BI ___,GK9: ST ___"_s.split(u','));
        const QList<SheetText> texts = layoutOf(grid, true);
        QCOMPARE(texts, expected);
        QCOMPARE(texts.last().y, 2700);
    }

    // Exam lines never carry " XXX"; Grundkurs lines follow the rows filled in semester 1 (blanks
    // count as filled), move up over empty rows, and the signature follows the last of them.
    // An untested choice has the one warning line instead of the three verdict lines.
    void choiceBlock_data() {
        QTest::addColumn<QString>("firstSemester"); // rows 1 ... 11, separated by ","
        QTest::addColumn<QString>("lines");
        QTest::newRow("exam rows only, empty and unknown")
            << u",Mathe,Sport,  Latein ,,,,,,,"_s << u"LK1:  ___,LK2: ?? ___,PK3: SP ___,PK4: LA ___"_s;
        QTest::newRow("gaps move up, blanks, unknown, SP and ST")
            << u"Deutsch,Mathematik,Englisch,Geschichte,   , Sport ,Astrologie,,Sport-Theorie,,Chemie"_s
            << u"LK1: DE ___,LK2: MA ___,PK3: EN ___,PK4: GE ___,GK3:  ___,GK4: SP XXX,GK5: ?? ___,"
               u"GK7: ST ___,GK9: CH ___"_s;
    }

    void choiceBlock() {
        QFETCH(QString, firstSemester);
        QFETCH(QString, lines);
        GridModel grid;
        for (int r = 1; r <= 11; ++r) {
            grid.setCell(1, r, firstSemester.split(u',').at(r - 1));
            for (int s = 2; s <= 4; ++s)
                grid.setCell(s, r, u"Chemie"_s); // later semesters never make a line
        }
        const QList<SheetText> texts = layoutOf(grid, false);
        const qsizetype at = texts.indexOf(large(u"Erstwahl"_s, 200, 1420));
        QVERIFY(at > 0);
        QCOMPARE(
            texts.mid(at - 3, 2),
            (QList{SheetText{u"Chemie"_s, 1400, 1030, kMediumText, false},
                   medium(u"ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."_s, 200, 1120)}));
        QCOMPARE(texts.mid(at + 2), choiceLines(lines.split(u',')));
    }
};

QTEST_GUILESS_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
