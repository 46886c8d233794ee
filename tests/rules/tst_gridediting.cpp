#include "rules/gridediting.h"
#include "support/choices.h"
#include "support/tables.h"

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

// Entering a subject into a cell and the copies across its row (data/grid-editing.tsv).
class TestGridEditing : public QObject {
    Q_OBJECT

private slots:
    void edit_data() {
        tables::addTextRows(u"rules/data/grid-editing.tsv"_s, {"before", "columnText", "rowText", "entered", "expected"});
    }

    // Only the edited row changes; the row after it keeps its texts.
    void edit() {
        QFETCH(QString, before);
        QFETCH(QString, columnText);
        QFETCH(QString, rowText);
        const int column = columnText.toInt(), row = rowText.toInt();
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
