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
    void fillCommands_data();
    void fillCommands();
};

namespace {
// The four texts of a row described as in choices::fill ("FR - - -").
QStringList described(const QString &row) {
    GridModel grid;
    choices::fill(grid, {row});
    return {grid.cell(1, 1), grid.cell(2, 1), grid.cell(3, 1), grid.cell(4, 1)};
}

// Columns 1 ... 4 of rows 1 ... 12, the spare row holding Deutsch, which never counts.
GridSnapshotTexts textsOf(const QStringList &rows, int row = 0, const QString &edited = {}) {
    choices::Bench b(rows);
    b.grid.setCell(1, 12, u"Deutsch"_s);
    for (int c = 1; row > 0 && c <= 4; ++c)
        b.grid.setCell(c, row, described(edited).at(c - 1));
    b.test.StoreGridSnapshot();
    return b.test.GridSnapshot;
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
    QTest::newRow("any text in LK 2, blanks kept") << empty << 3 << 2 << u" xy"_s << u"_xy"_s;
    QTest::newRow("Informatik is no natural science") << empty << 2 << 6 << u"Informatik"_s << u"- IN - -"_s;
    QTest::newRow("leading blank: no fill") << empty << 1 << 6 << u" Deutsch"_s << u"_Deutsch - - -"_s;
    QTest::newRow("Französisch with Englisch through LK 1")
        << u"EN"_s << 1 << 5 << u"Französisch"_s << u"FR - - -"_s;
    QTest::newRow("two languages half each: Spanisch fills")
        << u"-|-|-|-|-|FR FR LA LA"_s << 1 << 7 << u"Spanisch"_s << u"SN"_s;
    QTest::newRow("replaced language no longer counts")
        << u"-|-|-|-|EN"_s << 1 << 5 << u"Latein"_s << u"LA"_s;
    QTest::newRow("entered language completes the four semesters")
        << u"-|-|-|-|-|LA - - -|- LA - -|- - LA -"_s << 4 << 5 << u"Latein"_s << u"- - - LA"_s;
    QTest::newRow("Chemie with Physik through GK 5")
        << u"-|-|-|-|PH"_s << 1 << 6 << u"Chemie"_s << u"CH - - -"_s;
    QTest::newRow("Deutsch with blanks through LK 1 still counts")
        << u"_Deutsch_"_s << 2 << 6 << u"Deutsch"_s << u"- DE - -"_s;
    QTest::newRow("Deutsch missing from one other semester fills")
        << u"-|-|-|-|DE - - -|- DE - -"_s << 4 << 9 << u"Deutsch"_s << u"DE"_s;
    QTest::newRow("Sport-Theorie fills although Sport runs through")
        << u"-|-|-|-|SP"_s << 1 << 11 << u"Sport-Theorie"_s << u"ST"_s;
    QTest::newRow("empty cell copies nothing") << u"- KU MU -"_s << 1 << 1 << QString() << u"- KU MU -"_s;
}

// Only the edited row changes.
void TestGridEditing::autoFill() {
    QFETCH(QString, before);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, entered);
    QFETCH(QString, expected);
    choices::Bench b(before.split(u'|'));
    b.grid.setCell(1, 12, u"Deutsch"_s);
    b.grid.setCell(column, row, entered);
    AutoFillRow(b.test, column, row);
    b.test.StoreGridSnapshot();
    QCOMPARE(b.test.GridSnapshot.texts, textsOf(before.split(u'|'), row, expected).texts);
}

void TestGridEditing::fillCommands_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QString>("after");

    QTest::newRow("left in semester 1 changes nothing") << u"A B C D"_s << 1 << false << u"A B C D"_s;
    QTest::newRow("right in semester 4 changes nothing") << u"A B C D"_s << 4 << true << u"A B C D"_s;
    QTest::newRow("left from semester 3") << u"A B C D"_s << 3 << false << u"C C C D"_s;
    QTest::newRow("right on an empty cell clears the right side")
        << u"A - C D"_s << 2 << true << u"A - - -"_s;
    QTest::newRow("no auto-fill after the copy") << u"- - DE -"_s << 3 << true << u"- - DE DE"_s;
}

// In an examination row and in a Grundkurs row; the next row keeps its texts.
void TestGridEditing::fillCommands() {
    QFETCH(QString, before);
    QFETCH(int, column);
    QFETCH(bool, right);
    QFETCH(QString, after);
    for (const int row : {1, 8}) {
        QStringList rows(11, u"other"_s);
        rows[row - 1] = before;
        choices::Bench b(rows);
        b.grid.setCell(1, 12, u"Deutsch"_s);
        (right ? FillRight : FillLeft)(b.grid, column, row);
        b.test.StoreGridSnapshot();
        QCOMPARE(b.test.GridSnapshot.texts, textsOf(rows, row, after).texts);
    }
}

QTEST_APPLESS_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
