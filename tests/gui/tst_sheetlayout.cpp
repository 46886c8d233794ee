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
template <> char *toString(const QList<SheetText> &texts) {
    QString out;
    for (const SheetText &t : texts)
        out += u"\n  \""_s + t.text +
               u"\" %1,%2 h%3 %4"_s.arg(t.x).arg(t.y).arg(t.height).arg(t.bold ? 'b' : 'r');
    return qstrdup(out.toUtf8().constData());
}
} // namespace QTest

class TestSheetLayout : public QObject {
    Q_OBJECT

private slots:
    void fullSheet_data();
    void fullSheet();
    void choiceBlock_data();
    void choiceBlock();
};

void TestSheetLayout::fullSheet_data() {
    QTest::addColumn<bool>("tested");
    QTest::newRow("tested") << true;
    QTest::newRow("untested") << false;
}

// Every text of a full choice in drawing order; grid cells as typed, empty ones left out.
void TestSheetLayout::fullSheet() {
    QFETCH(bool, tested);
    const QStringList rows = {u"Deutsch"_s, u"Mathematik"_s, u"Englisch"_s,     u"Geschichte"_s,
                              u"Physik"_s,  u"Sport"_s,      u"Politik"_s,      u"  Religion "_s,
                              u"Kunst"_s,   u"Biologie"_s,   u"Sport-Theorie"_s};
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
    const QStringList labels = {u"LK 1"_s, u"LK 2"_s, u"PK 3"_s, u"PK 4"_s, u"GK 3"_s, u"GK 4"_s,
                                u"GK 5"_s, u"GK 6"_s, u"GK 7"_s, u"GK 8"_s, u"GK 9"_s};
    for (int r = 1; r <= 11; ++r)
        expected.append(medium(labels.at(r - 1), 200, 480 + 50 * r));
    for (int r = 1; r <= 11; ++r)
        for (int s = 1; s <= (r == 11 ? 3 : 4); ++s)
            expected.append(SheetText{rows.at(r - 1), 350 * s, 480 + 50 * r, 40, false});
    if (tested) {
        expected += {
            medium(u"Die Wahl ist o.k. !"_s, 200, 1120),
            medium(u"Bitte trage jetzt die Kursnummern (z.B. 50) für die Erst- und Zweitwahl ein"_s, 200,
                   1180),
            medium(u"und vergiss nicht die Unterschrift unten!"_s, 200, 1240),
        };
    } else {
        expected.append(
            medium(u"ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."_s, 200, 1120));
    }
    expected += {large(u"Individuelle Wahl der Kurse (Sport wird gesondert gewählt)"_s, 200, 1320),
                 large(u"Erstwahl"_s, 200, 1420), large(u"Zweitwahl"_s, 900, 1420)};
    expected += choiceLines({u"LK1: DE ___"_s, u"LK2: MA ___"_s, u"PK3: EN ___"_s, u"PK4: GE ___"_s,
                             u"GK3: PH ___"_s, u"GK4: SP XXX"_s, u"GK5: PO ___"_s, u"GK6: RE ___"_s,
                             u"GK7: KU ___"_s, u"GK8: BI ___"_s, u"GK9: ST ___"_s});
    expected += signatureAt(2510);

    const QList<SheetText> texts = layoutOf(grid, tested);
    QCOMPARE(texts, expected);
    QCOMPARE(texts.last().y, 2700); // 270.0 mm below the top of the printable area
}

// Exam lines never carry " XXX"; Grundkurs lines follow the rows filled in semester 1 (blanks
// count as filled), move up over empty rows, and the signature follows the last of them.
void TestSheetLayout::choiceBlock_data() {
    QTest::addColumn<QStringList>("firstSemester"); // rows 1 ... 11
    QTest::addColumn<QStringList>("lines");

    const QString e;
    QTest::newRow("exam rows only, empty and unknown")
        << QStringList{e, u"Mathe"_s, u"Sport"_s, u"  Latein "_s, e, e, e, e, e, e, e}
        << QStringList{u"LK1:  ___"_s, u"LK2: ?? ___"_s, u"PK3: SP ___"_s, u"PK4: LA ___"_s};
    QTest::newRow("gaps move up, SP and ST")
        << QStringList{u"Deutsch"_s,
                       u"Mathematik"_s,
                       u"Englisch"_s,
                       u"Geschichte"_s,
                       e,
                       u"Sport"_s,
                       e,
                       e,
                       u"Sport-Theorie"_s,
                       e,
                       u"Chemie"_s}
        << QStringList{u"LK1: DE ___"_s, u"LK2: MA ___"_s, u"PK3: EN ___"_s, u"PK4: GE ___"_s,
                       u"GK4: SP XXX"_s, u"GK7: ST ___"_s, u"GK9: CH ___"_s};
    QTest::newRow("blanks and unknown text")
        << QStringList{u"Deutsch"_s,
                       u"Mathematik"_s,
                       u"Englisch"_s,
                       u"Geschichte"_s,
                       u"   "_s,
                       e,
                       u"Astrologie"_s,
                       e,
                       e,
                       u" Sport "_s,
                       e}
        << QStringList{u"LK1: DE ___"_s, u"LK2: MA ___"_s, u"PK3: EN ___"_s, u"PK4: GE ___"_s,
                       u"GK3:  ___"_s,   u"GK5: ?? ___"_s, u"GK8: SP XXX"_s};
}

void TestSheetLayout::choiceBlock() {
    QFETCH(QStringList, firstSemester);
    QFETCH(QStringList, lines);

    GridModel grid;
    for (int r = 1; r <= 11; ++r) {
        grid.setCell(1, r, firstSemester.at(r - 1));
        for (int s = 2; s <= 4; ++s)
            grid.setCell(s, r, u"Chemie"_s); // later semesters never make a line
    }
    const QList<SheetText> texts = layoutOf(grid, true);
    const qsizetype at = texts.indexOf(large(u"Erstwahl"_s, 200, 1420));
    QVERIFY(at > 0);
    const QList<SheetText> expected = choiceLines(lines) + signatureAt(1520 + 90 * int(lines.size()));
    QCOMPARE(texts.mid(at + 2), expected);
}

QTEST_GUILESS_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
