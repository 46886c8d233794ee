#include "rules/gridediting.h"
#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Rows 1 ... 11 described as in choices::fill, row `row` (if given) replaced by `edited`; the spare
// row holds Deutsch, which never counts. `edit` runs on the grid before its texts are taken.
GridSnapshotTexts texts(QStringList rows, int row = 0, const QString &edited = {},
                        const std::function<void(choices::Bench &)> &edit = {}) {
    while (rows.size() < row)
        rows.append(u"-"_s);
    if (row > 0)
        rows[row - 1] = edited;
    choices::Bench b(rows);
    b.grid.setCell(1, 12, u"Deutsch"_s);
    if (edit)
        edit(b);
    b.test.StoreGridSnapshot();
    return b.test.GridSnapshot;
}
} // namespace

// Entering a subject into a cell and the copies across its row.
class TestGridEditing : public QObject {
    Q_OBJECT

private slots:
    void edit_data() {
        QTest::addColumn<QString>("before"); // rows 1 ... 11 as in choices::fill, split at "|"
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("expected"); // the edited row afterwards
        const auto row = [](const char *name, const QString &before, int column, int row,
                            const QString &entered, const QString &expected) {
            QTest::newRow(name) << before << column << row << entered << expected;
        };
        row("DE LK 1 sem 2 replaces the row", u"KU - MU x"_s, 2, 1, u"Deutsch"_s, u"DE"_s);
        row("any text in LK 2, blanks kept", {}, 3, 2, u" xy"_s, u"_xy"_s);
        row("IN is no natural science", {}, 2, 6, u"Informatik"_s, u"- IN - -"_s);
        row("leading blank: no fill", {}, 1, 6, u" Deutsch"_s, u"_Deutsch - - -"_s);
        row("two languages half each: SN fills", u"-|-|-|-|-|FR FR LA LA"_s, 1, 7, u"Spanisch"_s, u"SN"_s);
        row("replaced language no longer counts", u"-|-|-|-|EN"_s, 1, 5, u"Latein"_s, u"LA"_s);
        row("entered language completes four semesters", u"-|-|-|-|-|LA - - -|- LA - -|- - LA -"_s, 4, 5,
            u"Latein"_s, u"- - - LA"_s);
        row("CH with PH through GK 5", u"-|-|-|-|PH"_s, 1, 6, u"Chemie"_s, u"CH - - -"_s);
        row("DE with blanks through LK 1 counts", u"_Deutsch_"_s, 2, 6, u"Deutsch"_s, u"- DE - -"_s);
        row("DE missing from one other semester", u"-|-|-|-|DE - - -|- DE - -"_s, 4, 9, u"Deutsch"_s,
            u"DE"_s);
        row("ST fills although SP runs through", u"-|-|-|-|SP"_s, 1, 11, u"Sport-Theorie"_s, u"ST"_s);
        row("SP fills its row", {}, 2, 6, u"Sport"_s, u"SP"_s);
        row("empty cell copies nothing", u"- KU MU -"_s, 1, 1, {}, u"- KU MU -"_s);
        row("FR with EN through LK 1", u"EN"_s, 1, 5, u"Französisch"_s, u"FR - - -"_s);
        row("EN with TU through GK 9", u"-|-|-|-|-|-|-|-|-|-|TU"_s, 2, 5, u"Englisch"_s, u"- EN - -"_s);
        row("PH with MA through GK 3", u"-|-|-|-|MA"_s, 3, 6, u"Physik"_s, u"PH"_s);
        row("MA with PH through GK 3", u"-|-|-|-|PH"_s, 3, 6, u"Mathematik"_s, u"MA"_s);
        row("DE with DE through, sem 4 in GK 9", u"-|-|-|-|DE DE DE -|-|-|-|-|-|- - - DE"_s, 1, 6,
            u"Deutsch"_s, u"DE - - -"_s);
        row("any text in PK 4", {}, 3, 4, u"Kunst"_s, u"KU"_s);
        row("PK 3 from semester 4", u"-|-|Deutsch_ - x -"_s, 4, 3, u"Mathematik"_s, u"MA"_s);
        row("GK 3 is no exam row", {}, 2, 5, u"Kunst"_s, u"- KU - -"_s);
        // The fill commands ("<" left, ">" right), in an examination and a Grundkurs row.
        row("left in semester 1 changes nothing", u"A B C D|other"_s, 1, 1, u"<"_s, u"A B C D"_s);
        row("right in semester 4 changes nothing", u"-|-|-|-|-|-|-|A B C D|other"_s, 4, 8, u">"_s,
            u"A B C D"_s);
        row("left from semester 3", u"-|-|-|-|-|-|-|A B C D|other"_s, 3, 8, u"<"_s, u"C C C D"_s);
        row("right on an empty cell clears the right", u"A - C D|other"_s, 2, 1, u">"_s, u"A - - -"_s);
        row("no auto-fill after the copy", u"- - DE -|other"_s, 3, 1, u">"_s, u"- - DE DE"_s);
    }

    // Only the edited row changes; the row after it keeps its texts.
    void edit() {
        QFETCH(QString, before);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, entered);
        QFETCH(QString, expected);
        const auto enter = [&](choices::Bench &b) {
            if (entered == u"<" || entered == u">")
                return (entered == u">" ? FillRight : FillLeft)(b.grid, column, row);
            b.grid.setCell(column, row, entered);
            AutoFillRow(b.test, column, row);
        };
        const QStringList rows = before.split(u'|');
        QCOMPARE(texts(rows, 0, {}, enter).texts, texts(rows, row, expected).texts);
    }
};

QTEST_APPLESS_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
