#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"
#include "windows/sheetlayout.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SheetText)

namespace {
const QString kToday = u"06.12.26"_s;
const PersonalData kPerson{u"Muster"_s, u"Maxi"_s, u"12b"_s, u"01.02.2009"_s};

// A full choice: every course row filled in all four semesters.
const QStringList kFullChoice = {u"Deutsch"_s, u"Mathematik"_s, u"Englisch"_s,     u"Geschichte"_s,
                                 u"Physik"_s,  u"Sport"_s,      u"Politik"_s,      u"Religion"_s,
                                 u"Kunst"_s,   u"Biologie"_s,   u"Sport-Theorie"_s};

void fillAll(GridModel &grid, const QStringList &rows) {
    for (int r = 1; r <= rows.size(); ++r) {
        for (int s = 1; s <= GridModel::kSemesters; ++s)
            grid.setCell(s, r, rows.at(r - 1));
    }
}

// The layout as the print dialog makes it: the course matrix built from the grid.
QList<SheetText> layoutOf(GridModel &grid, bool tested) {
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    test.BuildCourseMatrix();
    return SheetLayout(grid, test.CourseMatrix, tested, kPerson, kToday);
}

SheetText large(const QString &text, int x, int y) {
    return SheetText{text, x, y, 60, true};
}
SheetText medium(const QString &text, int x, int y) {
    return SheetText{text, x, y, 40, true};
}

// The choice block from "Erstwahl" on.
QList<SheetText> choiceBlock(const QList<SheetText> &texts) {
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (texts.at(i).text == u"Erstwahl")
            return texts.mid(i);
    }
    return {};
}

char *describe(const QList<SheetText> &texts) {
    QString out;
    for (const SheetText &t : texts)
        out += u"\n  \""_s + t.text +
               u"\" %1,%2 h%3 %4"_s.arg(t.x).arg(t.y).arg(t.height).arg(t.bold ? 'b' : 'r');
    return qstrdup(out.toUtf8().constData());
}
} // namespace

namespace QTest {
template <> char *toString(const QList<SheetText> &texts) {
    return describe(texts);
}
} // namespace QTest

// The texts of the printed sheet and their places on the page.
class TestSheetLayout : public QObject {
    Q_OBJECT

private slots:
    void entryWithBlank_data();
    void entryWithBlank();
    void fullTestedSheet();
    void untestedSheet();
    void grundkursLines_data();
    void grundkursLines();
    void examLines_data();
    void examLines();
    void cellsAsTyped();
};

void TestSheetLayout::entryWithBlank_data() {
    QTest::addColumn<QString>("abbreviation");
    QTest::addColumn<QString>("entry");

    QTest::newRow("Sport") << u"SP"_s << u"SP XXX"_s;
    QTest::newRow("Sport-Theorie") << u"ST"_s << u"ST ___"_s;
    QTest::newRow("Deutsch") << u"DE"_s << u"DE ___"_s;
    QTest::newRow("empty") << QString() << u" ___"_s;
    QTest::newRow("unknown") << u"??"_s << u"?? ___"_s;
    QTest::newRow("small letters") << u"sp"_s << u"sp ___"_s;
    QTest::newRow("with blank") << u"SP "_s << u"SP  ___"_s;
}

void TestSheetLayout::entryWithBlank() {
    QFETCH(QString, abbreviation);
    QFETCH(QString, entry);
    QCOMPARE(EntryWithBlank(abbreviation), entry);
}

// Every text of a full, tested choice, in drawing order.
void TestSheetLayout::fullTestedSheet() {
    GridModel grid;
    fillAll(grid, kFullChoice);
    grid.setCell(1, 12, u"Spare"_s); // the spare row is never printed

    QList<SheetText> expected = {
        large(u"Fachlesebogen    SEKII    IGS Brunsmark   06.12.26"_s, 200, 100),
        large(u"Name"_s, 200, 190),
        large(u"Muster"_s, 450, 190),
        large(u"Vorname"_s, 200, 280),
        large(u"Maxi"_s, 450, 280),
        large(u"Klasse"_s, 200, 370),
        large(u"12b"_s, 450, 370),
        large(u"Geburtsdatum"_s, 700, 370),
        large(u"01.02.2009"_s, 1100, 370),
        medium(u"1. Semester"_s, 350, 480),
        medium(u"2. Semester"_s, 700, 480),
        medium(u"3. Semester"_s, 1050, 480),
        medium(u"4. Semester"_s, 1400, 480),
    };
    const QStringList labels = {u"LK 1"_s, u"LK 2"_s, u"PK 3"_s, u"PK 4"_s, u"GK 3"_s, u"GK 4"_s,
                                u"GK 5"_s, u"GK 6"_s, u"GK 7"_s, u"GK 8"_s, u"GK 9"_s};
    for (int r = 1; r <= 11; ++r)
        expected.append(medium(labels.at(r - 1), 200, 480 + 50 * r));
    for (int r = 1; r <= 11; ++r) {
        for (int s = 1; s <= 4; ++s)
            expected.append(SheetText{kFullChoice.at(r - 1), 350 * s, 480 + 50 * r, 40, false});
    }
    expected += {
        medium(u"Die Wahl ist o.k. !"_s, 200, 1120),
        medium(u"Bitte trage jetzt die Kursnummern (z.B. 50) für die Erst- und Zweitwahl ein"_s, 200, 1180),
        medium(u"und vergiss nicht die Unterschrift unten!"_s, 200, 1240),
        large(u"Individuelle Wahl der Kurse (Sport wird gesondert gewählt)"_s, 200, 1320),
        large(u"Erstwahl"_s, 200, 1420),
        large(u"Zweitwahl"_s, 900, 1420),
    };
    const QStringList block = {u"LK1: DE ___"_s, u"LK2: MA ___"_s, u"PK3: EN ___"_s, u"PK4: GE ___"_s,
                               u"GK3: PH ___"_s, u"GK4: SP XXX"_s, u"GK5: PO ___"_s, u"GK6: RE ___"_s,
                               u"GK7: KU ___"_s, u"GK8: BI ___"_s, u"GK9: ST ___"_s};
    for (int i = 0; i < block.size(); ++i) {
        expected.append(large(block.at(i), 200, 1520 + 90 * i));
        expected.append(large(block.at(i), 900, 1520 + 90 * i));
    }
    expected += {
        large(u"AG ______________"_s, 200, 2510),
        large(u"Datum u. Unterschrift _______________________________"_s, 200, 2640),
        SheetText{u"Bei Minderjährigen Unterschrift des Erziehungsberechtigten"_s, 840, 2700, 30, false},
    };

    const QList<SheetText> texts = layoutOf(grid, true);
    QCOMPARE(texts, expected);
}

void TestSheetLayout::untestedSheet() {
    GridModel grid;
    fillAll(grid, kFullChoice);
    const QList<SheetText> tested = layoutOf(grid, true);
    const QList<SheetText> untested = layoutOf(grid, false);

    // The three verdict lines give way to the one warning; nothing else moves.
    QList<SheetText> expected = tested;
    const qsizetype at = expected.indexOf(medium(u"Die Wahl ist o.k. !"_s, 200, 1120));
    QVERIFY(at > 0);
    expected.remove(at, 3);
    expected.insert(at,
                    medium(u"ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."_s, 200, 1120));
    QCOMPARE(untested, expected);
}

// The Grundkurs lines follow the rows whose first-semester cell holds anything; the lines
// move up over empty rows, and the signature block follows the last line.
void TestSheetLayout::grundkursLines_data() {
    QTest::addColumn<QStringList>("firstSemester"); // rows 5 ... 11, semester 1
    QTest::addColumn<QStringList>("lines");

    const QString empty;
    QTest::newRow("none") << QStringList(7, empty) << QStringList();
    QTest::newRow("one, last row") << QStringList{empty, empty, empty, empty, empty, empty, u"Chemie"_s}
                                   << QStringList{u"GK9: CH ___"_s};
    QTest::newRow("two with gaps") << QStringList{empty, u"Sport"_s, empty, empty, u"Sport-Theorie"_s,
                                                  empty, empty}
                                   << QStringList{u"GK4: SP XXX"_s, u"GK7: ST ___"_s};
    QTest::newRow("three") << QStringList{u"Kunst"_s, u"Musik"_s, u"Politik"_s, empty, empty, empty, empty}
                           << QStringList{u"GK3: KU ___"_s, u"GK4: MU ___"_s, u"GK5: PO ___"_s};
    QTest::newRow("four, blanks count as filled")
        << QStringList{u"   "_s, empty, u"Erdkunde"_s, empty, u"Informatik"_s, empty, u" Sport "_s}
        << QStringList{u"GK3:  ___"_s, u"GK5: EK ___"_s, u"GK7: IN ___"_s, u"GK9: SP XXX"_s};
    QTest::newRow("five, unknown text")
        << QStringList{u"Latein"_s, u"Astrologie"_s, u"Chemie"_s, u"Pädagogik"_s, u"Spanisch"_s, empty, empty}
        << QStringList{u"GK3: LA ___"_s, u"GK4: ?? ___"_s, u"GK5: CH ___"_s, u"GK6: PA ___"_s,
                       u"GK7: SN ___"_s};
    QTest::newRow("six") << QStringList{u"Türkisch"_s, u"Französisch"_s, u"Werte u. Normen"_s,
                                        empty,         u"Musik"_s,       u"Erdkunde"_s,
                                        u"Sport"_s}
                         << QStringList{u"GK3: TU ___"_s, u"GK4: FR ___"_s, u"GK5: WN ___"_s,
                                        u"GK7: MU ___"_s, u"GK8: EK ___"_s, u"GK9: SP XXX"_s};
    QTest::newRow("seven") << QStringList{u"Physik"_s, u"Sport"_s,    u"Politik"_s,      u"Religion"_s,
                                          u"Kunst"_s,  u"Biologie"_s, u"Sport-Theorie"_s}
                           << QStringList{u"GK3: PH ___"_s, u"GK4: SP XXX"_s, u"GK5: PO ___"_s,
                                          u"GK6: RE ___"_s, u"GK7: KU ___"_s, u"GK8: BI ___"_s,
                                          u"GK9: ST ___"_s};
}

void TestSheetLayout::grundkursLines() {
    QFETCH(QStringList, firstSemester);
    QFETCH(QStringList, lines);

    GridModel grid;
    fillAll(grid, {u"Deutsch"_s, u"Mathematik"_s, u"Englisch"_s, u"Geschichte"_s});
    for (int i = 0; i < 7; ++i) {
        grid.setCell(1, 5 + i, firstSemester.at(i));
        // Later semesters never make a line.
        for (int s = 2; s <= 4; ++s)
            grid.setCell(s, 5 + i, u"Chemie"_s);
    }

    QList<SheetText> expected = {large(u"Erstwahl"_s, 200, 1420), large(u"Zweitwahl"_s, 900, 1420)};
    const QStringList exam = {u"LK1: DE ___"_s, u"LK2: MA ___"_s, u"PK3: EN ___"_s, u"PK4: GE ___"_s};
    for (int k = 0; k < 4; ++k)
        expected += {large(exam.at(k), 200, 1520 + 90 * k), large(exam.at(k), 900, 1520 + 90 * k)};
    int y = 1880;
    for (const QString &line : lines) {
        expected += {large(line, 200, y), large(line, 900, y)};
        y += 90;
    }
    expected += {
        large(u"AG ______________"_s, 200, y),
        large(u"Datum u. Unterschrift _______________________________"_s, 200, y + 130),
        SheetText{u"Bei Minderjährigen Unterschrift des Erziehungsberechtigten"_s, 840, y + 190, 30, false},
    };
    QCOMPARE(choiceBlock(layoutOf(grid, true)), expected);
    QCOMPARE(expected.last().y, 1880 + 90 * int(lines.size()) + 190);
}

// The exam lines take the abbreviation as it stands: never " XXX", "??" for an unknown
// text and nothing for an empty cell.
void TestSheetLayout::examLines_data() {
    QTest::addColumn<QStringList>("rows"); // rows 1 ... 4, semester 1
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("all empty") << QStringList{QString(), QString(), QString(), QString()}
                               << QStringList{u"LK1:  ___"_s, u"LK2:  ___"_s, u"PK3:  ___"_s, u"PK4:  ___"_s};
    QTest::newRow("Sport and unknown")
        << QStringList{u"Sport"_s, u"Mathe"_s, u"Sport-Theorie"_s, u"unbekannt"_s}
        << QStringList{u"LK1: SP ___"_s, u"LK2: ?? ___"_s, u"PK3: ST ___"_s, u"PK4: ?? ___"_s};
    QTest::newRow("blanks around") << QStringList{u"  Latein"_s, u"Chemie  "_s, u"   "_s, u" Musik "_s}
                                   << QStringList{u"LK1: LA ___"_s, u"LK2: CH ___"_s, u"PK3:  ___"_s,
                                                  u"PK4: MU ___"_s};
}

void TestSheetLayout::examLines() {
    QFETCH(QStringList, rows);
    QFETCH(QStringList, lines);

    GridModel grid;
    for (int k = 1; k <= 4; ++k)
        grid.setCell(1, k, rows.at(k - 1));
    const QList<SheetText> block = choiceBlock(layoutOf(grid, false));
    QCOMPARE(block.size(), 2 + 8 + 3);
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(block.at(2 + 2 * k), large(lines.at(k), 200, 1520 + 90 * k));
        QCOMPARE(block.at(3 + 2 * k), large(lines.at(k), 900, 1520 + 90 * k));
    }
    QCOMPARE(block.at(10).y, 1880); // no Grundkurs line
}

// The grid part prints the cells exactly as typed; empty cells draw nothing.
void TestSheetLayout::cellsAsTyped() {
    GridModel grid;
    grid.setCell(1, 1, u"  Deutsch "_s);
    grid.setCell(4, 11, u"irgendwas"_s);
    grid.setCell(2, 6, u"   "_s);
    grid.setCell(3, 3, u"\tPhysik"_s);

    QList<SheetText> cells;
    for (const SheetText &t : layoutOf(grid, true)) {
        if (!t.bold && t.height == 40)
            cells.append(t);
    }
    const QList<SheetText> expected = {
        SheetText{u"  Deutsch "_s, 350, 530, 40, false},
        SheetText{u"\tPhysik"_s, 1050, 630, 40, false},
        SheetText{u"   "_s, 700, 780, 40, false},
        SheetText{u"irgendwas"_s, 1400, 1030, 40, false},
    };
    QCOMPARE(cells, expected);

    const QList<SheetText> block = choiceBlock(layoutOf(grid, true));
    QCOMPARE(block.at(2).text, u"LK1: DE ___"_s);
    QCOMPARE(block.at(6).text, u"PK3:  ___"_s); // PK 3 is empty in semester 1
}

QTEST_GUILESS_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
