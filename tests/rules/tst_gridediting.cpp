#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/gridediting.h"
#include "rules/test.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Entering a subject into a cell and the copies across its row.
class TestGridEditing : public QObject {
    Q_OBJECT

private slots:
    void autoFill_data();
    void autoFill();
    void typing_data();
    void typing();
    void fillCommands_data();
    void fillCommands();
    void autoFillOnLabelsAndEmptyCell();
};

namespace {

// Cells from entries "column,row=text"; "c,r=*text" puts text into all four semesters of row r.
void setUp(GridModel &grid, const QStringList &cells) {
    for (const QString &entry : cells) {
        const qsizetype eq = entry.indexOf(u'=');
        const QStringList where = entry.left(eq).split(u',');
        const int row = where.at(1).toInt();
        QString text = entry.mid(eq + 1);
        if (text.startsWith(u'*')) {
            text.remove(0, 1);
            for (int c = 1; c <= 4; ++c)
                grid.setCell(c, row, text);
        } else {
            grid.setCell(where.at(0).toInt(), row, text);
        }
    }
}

QStringList rowTexts(const GridModel &grid, int row) {
    QStringList texts;
    for (int c = 1; c <= 4; ++c)
        texts << grid.cell(c, row);
    return texts;
}

} // namespace

void TestGridEditing::autoFill_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QStringList>("expectedRow");

    const QString de = u"Deutsch"_s;
    QTest::newRow("Deutsch LK 1 sem 2 replaces the row")
        << QStringList{u"1,1=Kunst"_s, u"3,1=Musik"_s, u"4,1=x"_s} << 2 << 1 << de
        << QStringList{de, de, de, de};
    QTest::newRow("Kunst PK 3 fills the row")
        << QStringList() << 1 << 3 << u"Kunst"_s << QStringList(4, u"Kunst"_s);
    QTest::newRow("no subject in LK 2 is copied too")
        << QStringList() << 3 << 2 << u"xyz"_s << QStringList(4, u"xyz"_s);
    QTest::newRow("leading blank in PK 4 is copied as it stands")
        << QStringList() << 4 << 4 << u" Deutsch"_s << QStringList(4, u" Deutsch"_s);
    QTest::newRow("Kunst in GK fills nothing")
        << QStringList() << 1 << 5 << u"Kunst"_s << QStringList{u"Kunst"_s, {}, {}, {}};
    QTest::newRow("Geschichte in GK fills nothing")
        << QStringList() << 2 << 7 << u"Geschichte"_s << QStringList{{}, u"Geschichte"_s, {}, {}};
    QTest::newRow("Informatik is no natural science")
        << QStringList() << 1 << 6 << u"Informatik"_s << QStringList{u"Informatik"_s, {}, {}, {}};
    QTest::newRow("Werte u. Normen in GK fills nothing")
        << QStringList() << 1 << 6 << u"Werte u. Normen"_s << QStringList{u"Werte u. Normen"_s, {}, {}, {}};
    QTest::newRow("unbekannt in GK fills nothing")
        << QStringList() << 1 << 6 << u"unbekannt"_s << QStringList{u"unbekannt"_s, {}, {}, {}};
    QTest::newRow("Französisch with Englisch through LK 1")
        << QStringList{u"1,1=*Englisch"_s} << 1 << 5 << u"Französisch"_s
        << QStringList{u"Französisch"_s, {}, {}, {}};
    QTest::newRow("Französisch with no language through")
        << QStringList() << 1 << 5 << u"Französisch"_s << QStringList(4, u"Französisch"_s);
    QTest::newRow("two languages half each: Spanisch fills")
        << QStringList{u"1,6=Französisch"_s, u"2,6=Französisch"_s, u"3,6=Latein"_s, u"4,6=Latein"_s} << 1 << 7
        << u"Spanisch"_s << QStringList(4, u"Spanisch"_s);
    QTest::newRow("Türkisch through PK 4 stops Englisch in GK")
        << QStringList{u"1,4=*Türkisch"_s} << 3 << 9 << u"Englisch"_s
        << QStringList{{}, {}, u"Englisch"_s, {}};
    QTest::newRow("replaced language no longer counts")
        << QStringList{u"1,5=*Englisch"_s} << 1 << 5 << u"Latein"_s << QStringList(4, u"Latein"_s);
    QTest::newRow("entered language completes the four semesters")
        << QStringList{u"1,6=Latein"_s, u"2,7=Latein"_s, u"3,8=Latein"_s} << 4 << 5 << u"Latein"_s
        << QStringList{{}, {}, {}, u"Latein"_s};
    QTest::newRow("Chemie with Physik through GK 5")
        << QStringList{u"1,5=*Physik"_s} << 1 << 6 << u"Chemie"_s << QStringList{u"Chemie"_s, {}, {}, {}};
    QTest::newRow("Chemie with Physik in three semesters")
        << QStringList{u"1,5=Physik"_s, u"2,5=Physik"_s, u"3,5=Physik"_s} << 1 << 6 << u"Chemie"_s
        << QStringList(4, u"Chemie"_s);
    QTest::newRow("Biologie with Physik through PK 3")
        << QStringList{u"1,3=*Physik"_s} << 2 << 8 << u"Biologie"_s << QStringList{{}, u"Biologie"_s, {}, {}};
    QTest::newRow("Deutsch in GK fills when missing")
        << QStringList() << 2 << 6 << de << QStringList{de, de, de, de};
    QTest::newRow("Deutsch in GK with Deutsch through LK 1")
        << QStringList{u"1,1=*Deutsch"_s} << 2 << 6 << de << QStringList{{}, de, {}, {}};
    QTest::newRow("Deutsch with blanks through LK 1 still counts")
        << QStringList{u"1,1=* Deutsch "_s} << 2 << 6 << de << QStringList{{}, de, {}, {}};
    QTest::newRow("Deutsch in three other rows of the other semesters")
        << QStringList{u"1,5=Deutsch"_s, u"2,7=Deutsch"_s, u"3,11=Deutsch"_s} << 4 << 9 << de
        << QStringList{{}, {}, {}, de};
    QTest::newRow("Deutsch missing from one other semester fills")
        << QStringList{u"1,5=Deutsch"_s, u"2,7=Deutsch"_s} << 4 << 9 << de << QStringList{de, de, de, de};
    QTest::newRow("Deutsch in the last course row")
        << QStringList() << 1 << 11 << de << QStringList{de, de, de, de};
    QTest::newRow("Mathematik fills")
        << QStringList() << 3 << 8 << u"Mathematik"_s << QStringList(4, u"Mathematik"_s);
    QTest::newRow("Sport fills") << QStringList() << 1 << 10 << u"Sport"_s << QStringList(4, u"Sport"_s);
    QTest::newRow("Sport-Theorie fills although Sport runs through")
        << QStringList{u"1,10=*Sport"_s} << 1 << 11 << u"Sport-Theorie"_s
        << QStringList(4, u"Sport-Theorie"_s);
    QTest::newRow("Sport-Theorie through stops Sport-Theorie")
        << QStringList{u"1,10=*Sport-Theorie"_s} << 1 << 11 << u"Sport-Theorie"_s
        << QStringList{u"Sport-Theorie"_s, {}, {}, {}};
    QTest::newRow("small letters fill nothing")
        << QStringList() << 1 << 5 << u"deutsch"_s << QStringList{u"deutsch"_s, {}, {}, {}};
    QTest::newRow("leading blank in GK fills nothing")
        << QStringList() << 1 << 6 << u" Deutsch"_s << QStringList{u" Deutsch"_s, {}, {}, {}};
    QTest::newRow("trailing blank in GK fills nothing")
        << QStringList() << 1 << 6 << u"Englisch "_s << QStringList{u"Englisch "_s, {}, {}, {}};
    QTest::newRow("fill replaces what the row held") << QStringList{u"2,6=Kunst"_s, u"4,6=Musik"_s} << 1 << 6
                                                     << u"Mathematik"_s << QStringList(4, u"Mathematik"_s);
    QTest::newRow("spare row 12 does not count for Deutsch")
        << QStringList{u"1,12=*Deutsch"_s} << 1 << 5 << de << QStringList{de, de, de, de};
}

void TestGridEditing::autoFill() {
    QFETCH(QStringList, before);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, entered);
    QFETCH(QStringList, expectedRow);

    GridModel grid;
    DialogRecorder dialogs;
    ChoiceTest test(grid, dialogs);
    setUp(grid, before);
    GridModel untouched;
    setUp(untouched, before);

    grid.setCell(column, row, entered);
    AutoFillRow(test, column, row);

    QCOMPARE(rowTexts(grid, row), expectedRow);
    for (int r = 0; r <= 12; ++r) {
        if (r == row)
            continue;
        QCOMPARE(rowTexts(grid, r), rowTexts(untouched, r));
    }
    QVERIFY(dialogs.entries.isEmpty());
}

// The editor reports every change of its text; each report runs the fill on the edited cell.
void TestGridEditing::typing_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("keystrokes"); // the cell's text after each keystroke
    QTest::addColumn<QStringList>("expectedRow");

    QTest::newRow("Deutsch letter by letter into GK 4")
        << 1 << 6 << QStringList{u"D"_s, u"De"_s, u"Deu"_s, u"Deut"_s, u"Deuts"_s, u"Deutsc"_s, u"Deutsch"_s}
        << QStringList(4, u"Deutsch"_s);
    QTest::newRow("letters after Deutsch stay in the edited cell")
        << 2 << 6 << QStringList{u"Deutsc"_s, u"Deutsch"_s, u"Deutschx"_s, u"Deutschxy"_s}
        << QStringList{u"Deutsch"_s, u"Deutschxy"_s, u"Deutsch"_s, u"Deutsch"_s};
    QTest::newRow("LK 2 typed and erased") << 3 << 2 << QStringList{u"M"_s, u"Ma"_s, u"M"_s, QString()}
                                           << QStringList{u"M"_s, u"M"_s, QString(), u"M"_s};
    QTest::newRow("leading blank never fills")
        << 1 << 7 << QStringList{u" "_s, u" D"_s, u" Deutsch"_s} << QStringList{u" Deutsch"_s, {}, {}, {}};
}

void TestGridEditing::typing() {
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QStringList, keystrokes);
    QFETCH(QStringList, expectedRow);

    GridModel grid;
    DialogRecorder dialogs;
    ChoiceTest test(grid, dialogs);
    for (const QString &text : keystrokes) {
        grid.setCell(column, row, text);
        AutoFillRow(test, column, row);
    }
    // The closing notice of the editor.
    AutoFillRow(test, column, row);
    QCOMPARE(rowTexts(grid, row), expectedRow);
}

void TestGridEditing::fillCommands_data() {
    QTest::addColumn<QStringList>("rowBefore");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QStringList>("rowAfter");

    const QStringList abcd{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
    QTest::newRow("left in semester 1 changes nothing") << abcd << 5 << 1 << false << abcd;
    QTest::newRow("right in semester 4 changes nothing") << abcd << 5 << 4 << true << abcd;
    QTest::newRow("right from semester 2")
        << abcd << 5 << 2 << true << QStringList{u"A"_s, u"B"_s, u"B"_s, u"B"_s};
    QTest::newRow("left from semester 3")
        << abcd << 5 << 3 << false << QStringList{u"C"_s, u"C"_s, u"C"_s, u"D"_s};
    QTest::newRow("left from semester 4") << abcd << 11 << 4 << false << QStringList(4, u"D"_s);
    QTest::newRow("right on an empty cell clears the right side")
        << QStringList{u"A"_s, QString(), u"C"_s, u"D"_s} << 6 << 2 << true
        << QStringList{u"A"_s, QString(), QString(), QString()};
    QTest::newRow("left on an empty cell clears the left side")
        << QStringList{u"A"_s, u"B"_s, QString(), u"D"_s} << 6 << 3 << false
        << QStringList{QString(), QString(), QString(), u"D"_s};
    QTest::newRow("right in LK 1") << abcd << 1 << 1 << true << QStringList(4, u"A"_s);
    QTest::newRow("no auto-fill after the copy: Deutsch stays right only")
        << QStringList{QString(), QString(), u"Deutsch"_s, QString()} << 6 << 3 << true
        << QStringList{QString(), QString(), u"Deutsch"_s, u"Deutsch"_s};
    QTest::newRow("blanks are copied as they stand")
        << QStringList{u" Physik "_s, QString(), QString(), QString()} << 8 << 1 << true
        << QStringList(4, u" Physik "_s);
}

void TestGridEditing::fillCommands() {
    QFETCH(QStringList, rowBefore);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, right);
    QFETCH(QStringList, rowAfter);

    GridModel grid;
    for (int c = 1; c <= 4; ++c) {
        grid.setCell(c, row, rowBefore.at(c - 1));
        grid.setCell(c, row + 1, u"other"_s); // the next row is never touched
    }
    if (right)
        FillRight(grid, column, row);
    else
        FillLeft(grid, column, row);
    QCOMPARE(rowTexts(grid, row), rowAfter);
    QCOMPARE(rowTexts(grid, row + 1), QStringList(4, u"other"_s));
}

void TestGridEditing::autoFillOnLabelsAndEmptyCell() {
    GridModel grid;
    DialogRecorder dialogs;
    ChoiceTest test(grid, dialogs);
    grid.setCell(2, 1, u"Kunst"_s);
    grid.setCell(3, 1, u"Musik"_s);
    // An empty current cell copies nothing, also in an examination row.
    AutoFillRow(test, 1, 1);
    QCOMPARE(rowTexts(grid, 1), (QStringList{QString(), u"Kunst"_s, u"Musik"_s, QString()}));
    // Label cells are never filled from.
    grid.setCell(0, 1, u"  LK 1"_s);
    AutoFillRow(test, 0, 1);
    QCOMPARE(rowTexts(grid, 1), (QStringList{QString(), u"Kunst"_s, u"Musik"_s, QString()}));
}

QTEST_APPLESS_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
