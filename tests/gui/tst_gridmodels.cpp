#include "rules/grid.h"
#include "shell/coursegridmodel.h"
#include "shell/griditemmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// The item models over the plain grid: Qt's model checks on both, and the adapter's
// notifications and editing.
class TestGridModels : public QObject {
    Q_OBJECT

private slots:
    void itemModels() {
        GridModel grid;
        CourseGridModel shown(&grid);
        auto *adapter = qobject_cast<GridItemModel *>(shown.sourceModel());
        QVERIFY(adapter && adapter->grid() == &grid);
        QAbstractItemModelTester adapterTester(adapter,
                                               QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester shownTester(&shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(adapter, &QAbstractItemModel::dataChanged);
        QSignalSpy cells(&grid, &GridModel::cellChanged);

        grid.setCell(0, 1, u"LK 1"_s);
        grid.setCell(2, 3, u"Mathe"_s);
        grid.setCell(2, 3, u"Mathe"_s);    // unchanged: no notification
        grid.setCell(4, 12, u"Deutsch"_s); // the spare row is not shown
        grid.setCell(5, 1, u"x"_s);        // outside the store
        QCOMPARE(cells.size(), 3);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex(), adapter->index(3, 2));
        QCOMPARE(changed.at(1).at(2).value<QList<int>>(), (QList<int>{Qt::DisplayRole, Qt::EditRole}));

        QCOMPARE(shown.rowCount(), GridModel::kDisplayedRows);
        QCOMPARE(shown.columnCount(), GridModel::kColumns);
        QCOMPARE(shown.data(shown.index(3, 2)).toString(), u"Mathe"_s);
        QCOMPARE(shown.flags(shown.index(0, 1)), Qt::NoItemFlags);
        QVERIFY(shown.flags(shown.index(11, 4)) & Qt::ItemIsEditable);
        QVERIFY(!shown.setData(shown.index(1, 0), u"x"_s)); // a label
        QVERIFY(!shown.setData(shown.index(1, 1), u"x"_s, Qt::DisplayRole));
        QVERIFY(shown.setData(shown.index(11, 4), u"Kunst"_s));
        QCOMPARE(grid.cell(4, 11), u"Kunst"_s);
        QCOMPARE(grid.cell(4, 12), u"Deutsch"_s);
    }
};

QTEST_MAIN(TestGridModels)
#include "tst_gridmodels.moc"
