#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"
#include "windows/sheetlayout.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const PersonalData kPerson{u"Muster"_s, u"Maxi"_s, u"12b"_s, u"01.02.2009"_s};

// The layout as the print dialog makes it: the course matrix built from the grid.
QList<SheetText> layoutOf(GridModel &grid, bool tested) {
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    test.BuildCourseMatrix();
    return SheetLayout(grid, test.CourseMatrix, tested, kPerson, u"06.12.26"_s);
}

SheetText large(const QString &text, int x, int y) {
    return SheetText{text, x, y, 60, true};
}
SheetText medium(const QString &text, int x, int y) {
    return SheetText{text, x, y, 40, true};
}

// The signature block after the last choice line at `y`.
QList<SheetText> signatureAt(int y) {
    return {
        large(u"AG ______________"_s, 200, y),
        large(u"Datum u. Unterschrift _______________________________"_s, 200, y + 130),
        SheetText{u"Bei Minderjährigen Unterschrift des Erziehungsberechtigten"_s, 840, y + 190, 30, false}};
}

// Each line drawn twice, under "Erstwahl" and "Zweitwahl", from y = 1520 on.
QList<SheetText> choiceLines(const QStringList &lines) {
    QList<SheetText> texts;
    for (int i = 0; i < lines.size(); ++i)
        texts += {large(lines.at(i), 200, 1520 + 90 * i), large(lines.at(i), 900, 1520 + 90 * i)};
    return texts;
}
} // namespace

namespace QTest {
template <> char *toString(const SheetText &t) {
    return toString(
        u"\"%1\" %2,%3 h%4 %5"_s.arg(t.text).arg(t.x).arg(t.y).arg(t.height).arg(t.bold ? 'b' : 'r'));
}
} // namespace QTest

class TestSheetLayout : public QObject {
    Q_OBJECT

private slots:
    void fullSheet_data() {
        QTest::addColumn<bool>("tested");
        QTest::newRow("tested") << true;
        QTest::newRow("untested") << false;
    }
    void fullSheet();
    void choiceBlock_data();
    void choiceBlock();
};

// Every text of a full choice in drawing order; grid cells as typed, empty ones left out.
void TestSheetLayout::fullSheet() {
    QFETCH(bool, tested);
    const QStringList rows =
        u"Deutsch,Mathematik,Englisch,Geschichte,Physik,Sport,Politik,  Religion ,Kunst,Biologie,Sport-Theorie"_s
            .split(u',');
    GridModel grid;
    for (int r = 1; r <= 11; ++r)
        for (int s = 1; s <= 4; ++s)
            grid.setCell(s, r, rows.at(r - 1));
    grid.setCell(4, 11, QString());
    grid.setCell(1, 12, u"Spare"_s); // the spare row is never printed

    // clang-format off
    QList<SheetText> expected = {
        large(u"Fachlesebogen    SEKII    IGS Brunsmark   06.12.26"_s, 200, 100),
        large(u"Name"_s, 200, 190), large(u"Muster"_s, 450, 190),
        large(u"Vorname"_s, 200, 280), large(u"Maxi"_s, 450, 280),
        large(u"Klasse"_s, 200, 370), large(u"12b"_s, 450, 370),
        large(u"Geburtsdatum"_s, 700, 370), large(u"01.02.2009"_s, 1100, 370),
        medium(u"1. Semester"_s, 350, 480), medium(u"2. Semester"_s, 700, 480),
        medium(u"3. Semester"_s, 1050, 480), medium(u"4. Semester"_s, 1400, 480),
    };
    // clang-format on
    const QStringList labels = u"LK 1,LK 2,PK 3,PK 4,GK 3,GK 4,GK 5,GK 6,GK 7,GK 8,GK 9"_s.split(u',');
    for (int r = 1; r <= 11; ++r)
        expected.append(medium(labels.at(r - 1), 200, 480 + 50 * r));
    for (int r = 1; r <= 11; ++r)
        for (int s = 1; s <= (r == 11 ? 3 : 4); ++s)
            expected.append(SheetText{rows.at(r - 1), 350 * s, 480 + 50 * r, 40, false});
    // clang-format off
    expected += tested ? QList{medium(u"Die Wahl ist o.k. !"_s, 200, 1120),
        medium(u"Bitte trage jetzt die Kursnummern (z.B. 50) für die Erst- und Zweitwahl ein"_s, 200, 1180),
        medium(u"und vergiss nicht die Unterschrift unten!"_s, 200, 1240)}
        : QList{medium(u"ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."_s, 200, 1120)};
    // clang-format on
    expected += {large(u"Individuelle Wahl der Kurse (Sport wird gesondert gewählt)"_s, 200, 1320),
                 large(u"Erstwahl"_s, 200, 1420), large(u"Zweitwahl"_s, 900, 1420)};
    expected += choiceLines(u"LK1: DE ___,LK2: MA ___,PK3: EN ___,PK4: GE ___,GK3: PH ___,GK4: SP XXX,"
                            u"GK5: PO ___,GK6: RE ___,GK7: KU ___,GK8: BI ___,GK9: ST ___"_s.split(u','));
    expected += signatureAt(2510);

    const QList<SheetText> texts = layoutOf(grid, tested);
    QCOMPARE(texts, expected);
    QCOMPARE(texts.last().y, 2700); // 270.0 mm below the top of the printable area
}

// Exam lines never carry " XXX"; Grundkurs lines follow the rows filled in semester 1 (blanks
// count as filled), move up over empty rows, and the signature follows the last of them.
void TestSheetLayout::choiceBlock_data() {
    QTest::addColumn<QString>("firstSemester"); // rows 1 ... 11, separated by ","
    QTest::addColumn<QString>("lines");
    QTest::newRow("exam rows only, empty and unknown")
        << u",Mathe,Sport,  Latein ,,,,,,,"_s << u"LK1:  ___,LK2: ?? ___,PK3: SP ___,PK4: LA ___"_s;
    QTest::newRow("gaps move up, SP and ST")
        << u"Deutsch,Mathematik,Englisch,Geschichte,,Sport,,,Sport-Theorie,,Chemie"_s
        << u"LK1: DE ___,LK2: MA ___,PK3: EN ___,PK4: GE ___,GK4: SP XXX,GK7: ST ___,GK9: CH ___"_s;
    QTest::newRow("blanks and unknown text")
        << u"Deutsch,Mathematik,Englisch,Geschichte,   ,,Astrologie,,, Sport ,"_s
        << u"LK1: DE ___,LK2: MA ___,PK3: EN ___,PK4: GE ___,GK3:  ___,GK5: ?? ___,GK8: SP XXX"_s;
}

void TestSheetLayout::choiceBlock() {
    QFETCH(QString, firstSemester);
    QFETCH(QString, lines);

    GridModel grid;
    for (int r = 1; r <= 11; ++r) {
        grid.setCell(1, r, firstSemester.split(u',').at(r - 1));
        for (int s = 2; s <= 4; ++s)
            grid.setCell(s, r, u"Chemie"_s); // later semesters never make a line
    }
    const QList<SheetText> texts = layoutOf(grid, true);
    const qsizetype at = texts.indexOf(large(u"Erstwahl"_s, 200, 1420));
    QVERIFY(at > 0);
    const QList<SheetText> expected =
        choiceLines(lines.split(u',')) + signatureAt(1520 + 90 * int(lines.count(u',') + 1));
    QCOMPARE(texts.mid(at + 2), expected);
}

QTEST_GUILESS_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
