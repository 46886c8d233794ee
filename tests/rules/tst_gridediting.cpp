#include "rules/gridediting.h"
#include "support/choices.h"

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
};

namespace {
QStringList rowTexts(const GridModel &grid, int row) {
    QStringList texts;
    for (int c = 1; c <= 4; ++c)
        texts << grid.cell(c, row);
    return texts;
}

// The four texts of a row described as in choices::fill ("FR - - -").
QStringList described(const QString &row) {
    GridModel grid;
    choices::fill(grid, {row});
    return rowTexts(grid, 1);
}
} // namespace

void TestGridEditing::autoFill_data() {
    QTest::addColumn<QString>("before"); // rows 1 ... 11 as in choices::fill, split at "|"
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("expected"); // the edited row afterwards

    const QString empty;
    QTest::newRow("Deutsch LK 1 sem 2 replaces the row")
        << u"KU - MU x"_s << 2 << 1 << u"Deutsch"_s << u"DE"_s;
    QTest::newRow("Kunst PK 3 fills the row") << empty << 1 << 3 << u"Kunst"_s << u"KU"_s;
    QTest::newRow("any text in LK 2, blanks kept") << empty << 3 << 2 << u" xy"_s << u"_xy"_s;
    QTest::newRow("Kunst in GK fills nothing") << empty << 1 << 5 << u"Kunst"_s << u"KU - - -"_s;
    QTest::newRow("Informatik is no natural science") << empty << 2 << 6 << u"Informatik"_s << u"- IN - -"_s;
    QTest::newRow("Französisch with Englisch through LK 1")
        << u"EN"_s << 1 << 5 << u"Französisch"_s << u"FR - - -"_s;
    QTest::newRow("Französisch with no language through") << empty << 1 << 5 << u"Französisch"_s << u"FR"_s;
    QTest::newRow("two languages half each: Spanisch fills")
        << u"-|-|-|-|-|FR FR LA LA"_s << 1 << 7 << u"Spanisch"_s << u"SN"_s;
    QTest::newRow("replaced language no longer counts")
        << u"-|-|-|-|EN"_s << 1 << 5 << u"Latein"_s << u"LA"_s;
    QTest::newRow("entered language completes the four semesters")
        << u"-|-|-|-|-|LA - - -|- LA - -|- - LA -"_s << 4 << 5 << u"Latein"_s << u"- - - LA"_s;
    QTest::newRow("Chemie with Physik through GK 5")
        << u"-|-|-|-|PH"_s << 1 << 6 << u"Chemie"_s << u"CH - - -"_s;
    QTest::newRow("Chemie with Physik in three semesters")
        << u"-|-|-|-|PH PH PH -"_s << 1 << 6 << u"Chemie"_s << u"CH"_s;
    QTest::newRow("Deutsch with blanks through LK 1 still counts")
        << u"_Deutsch_"_s << 2 << 6 << u"Deutsch"_s << u"- DE - -"_s;
    QTest::newRow("Deutsch missing from one other semester fills")
        << u"-|-|-|-|DE - - -|- DE - -"_s << 4 << 9 << u"Deutsch"_s << u"DE"_s;
    QTest::newRow("Sport-Theorie fills although Sport runs through")
        << u"-|-|-|-|SP"_s << 1 << 11 << u"Sport-Theorie"_s << u"ST"_s;
    QTest::newRow("Mathematik through stops Mathematik")
        << u"MA"_s << 3 << 11 << u"Mathematik"_s << u"- - MA -"_s;
    QTest::newRow("leading blank in GK fills nothing")
        << empty << 1 << 6 << u" Deutsch"_s << u"_Deutsch - - -"_s;
    QTest::newRow("empty cell copies nothing") << u"- KU MU -"_s << 1 << 1 << QString() << u"- KU MU -"_s;
}

void TestGridEditing::autoFill() {
    QFETCH(QString, before);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, entered);
    QFETCH(QString, expected);
    choices::Bench b(before.split(u'|'));
    b.grid.setCell(1, 12, u"Deutsch"_s); // the spare row never counts
    choices::Bench untouched(before.split(u'|'));
    untouched.grid.setCell(1, 12, u"Deutsch"_s);

    b.grid.setCell(column, row, entered);
    AutoFillRow(b.test, column, row);

    QCOMPARE(rowTexts(b.grid, row), described(expected));
    for (int r = 0; r <= 12; ++r) {
        if (r != row)
            QCOMPARE(rowTexts(b.grid, r), rowTexts(untouched.grid, r));
    }
}

// The editor reports every change of its text and once more when it closes; each report runs
// the fill on the edited cell.
void TestGridEditing::typing_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("keystrokes"); // the cell's text after each keystroke
    QTest::addColumn<QString>("expected");

    QTest::newRow("Deutsch letter by letter into GK 4")
        << 1 << 6 << QStringList{u"D"_s, u"De"_s, u"Deu"_s, u"Deut"_s, u"Deuts"_s, u"Deutsc"_s, u"Deutsch"_s}
        << u"DE"_s;
    QTest::newRow("letters after Deutsch stay in the edited cell")
        << 2 << 6 << QStringList{u"Deutsc"_s, u"Deutsch"_s, u"Deutschx"_s, u"Deutschxy"_s}
        << u"DE Deutschxy DE DE"_s;
    QTest::newRow("LK 2 typed and erased")
        << 3 << 2 << QStringList{u"M"_s, u"Ma"_s, u"M"_s, QString()} << u"M M - M"_s;
}

void TestGridEditing::typing() {
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QStringList, keystrokes);
    QFETCH(QString, expected);
    choices::Bench b;
    for (const QString &text : keystrokes) {
        b.grid.setCell(column, row, text);
        AutoFillRow(b.test, column, row);
    }
    AutoFillRow(b.test, column, row);
    QCOMPARE(rowTexts(b.grid, row), described(expected));
}

void TestGridEditing::fillCommands_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QString>("after");

    QTest::newRow("left in semester 1 changes nothing") << u"A B C D"_s << 1 << false << u"A B C D"_s;
    QTest::newRow("right in semester 4 changes nothing") << u"A B C D"_s << 4 << true << u"A B C D"_s;
    QTest::newRow("right from semester 2") << u"A B C D"_s << 2 << true << u"A B B B"_s;
    QTest::newRow("left from semester 3") << u"A B C D"_s << 3 << false << u"C C C D"_s;
    QTest::newRow("right on an empty cell clears the right side")
        << u"A - C D"_s << 2 << true << u"A - - -"_s;
    QTest::newRow("no auto-fill after the copy") << u"- - DE -"_s << 3 << true << u"- - DE DE"_s;
    QTest::newRow("blanks copied as they stand") << u"_PH_ - - -"_s << 1 << true << u"_PH_"_s;
}

void TestGridEditing::fillCommands() {
    QFETCH(QString, before);
    QFETCH(int, column);
    QFETCH(bool, right);
    QFETCH(QString, after);
    for (const int row : {1, 8}) { // an examination row and a Grundkurs row
        GridModel grid;
        choices::fill(grid, QStringList(11, u"other"_s));
        const QStringList rowBefore = described(before);
        for (int c = 1; c <= 4; ++c)
            grid.setCell(c, row, rowBefore.at(c - 1));
        (right ? FillRight : FillLeft)(grid, column, row);
        QCOMPARE(rowTexts(grid, row), described(after));
        QCOMPARE(rowTexts(grid, row + 1), QStringList(4, u"other"_s));
    }
}

QTEST_APPLESS_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
