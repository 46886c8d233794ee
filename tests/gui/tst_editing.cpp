#include "shell/coursegridmodel.h"
#include "shell/griditemmodel.h"
#include "support/mainwindow.h"
#include "support/tables.h"

#include <QAbstractItemModelTester>
#include <QMenu>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

// Entering subjects into the main window's grid: the context menu, typing, the copy commands,
// and the item models the grid view shows.
class TestEditing : public QObject {
    Q_OBJECT

private slots:
    // A click on a cell makes it current and changes nothing.
    void clickChangesNothing() {
        MainWindowFixture w(true);
        w.grid().setCell(2, 6, u"Deutsch"_s);
        QTest::mouseClick(
            w.form->StringGridView->viewport(), Qt::LeftButton, {},
            w.form->StringGridView->visualRect(w.form->StringGridView->cellIndex(2, 6)).center());
        QCOMPARE(QString::number(w.form->Col() * 100 + w.form->Row()) + u' ' + w.row(6), u"206 |Deutsch||"_s);
    }

    // The menu opens on a data cell by right click, which makes it current, or on the current
    // cell (3, 7) by Shift+F10, also from the open editor, whose text goes into its cell first.
    // Each item works on the current cell and its row; a subject runs the auto-fill.
    void menuItems_data() {
        tables::addTextRows(u"gui/data/context-menu.tsv"_s, {"clickedColumn", "typed", "item", "after"});
    }

    void menuItems() {
        QFETCH(QString, clickedColumn);
        QFETCH(QString, typed);
        QFETCH(QString, item);
        QFETCH(QString, after);
        const int column = clickedColumn.toInt();
        MainWindowFixture w(true);
        for (int c = 1; c <= 4; ++c)
            w.grid().setCell(c, 7, QString(QChar(u'A' + c - 1)));
        w.form->setCurrentCell(column == 0 ? 3 : 1, column == 0 ? 7 : 1);
        w.type(typed);
        QCOMPARE(w.form->StringGridView->isEditing(), !typed.isEmpty());
        QWidget *viewport = w.form->StringGridView->viewport();
        const QPoint where =
            w.form->StringGridView->visualRect(w.form->StringGridView->cellIndex(qMax(column, 0), 7))
                .center();
        const bool opened = duringModal(
            [&] {
                if (column == 0)
                    return QTest::keyClick(w.form->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
                QContextMenuEvent event(QContextMenuEvent::Mouse, where, viewport->mapToGlobal(where));
                QApplication::sendEvent(viewport, &event);
            },
            [&](QWidget *) {
                if (QAction *action = w.form->PopupMenu1->findChild<QAction *>(item))
                    action->trigger();
            });
        QCOMPARE(opened, column >= 0);
        QVERIFY(!w.form->StringGridView->isEditing() && w.dialogs.entries.isEmpty());
        QCOMPARE(w.row(7), after);
    }

    // Every keystroke goes into the cell and runs the auto-fill; so does closing the editor,
    // by Return or by moving down, for the edited cell even when another one has become
    // current: Mathematik, standing in GK 6 of semester 1 only, is never filled across.
    void typing() {
        MainWindowFixture w(true);
        w.grid().setCell(1, 8, u"Mathematik"_s);
        w.form->setCurrentCell(1, 6);
        // clang-format off
        const QStringList steps = { // keys, then rows 6 and 7 after them
            u"Deutsc"_s, u"Deutsc||| |||"_s,
            u"h"_s, u"Deutsch|Deutsch|Deutsch|Deutsch |||"_s,
            u"xy\n"_s, u"Deutschxy|Deutsch|Deutsch|Deutsch |||"_s,
            u"↓Kunst↓"_s, u"Deutschxy|Deutsch|Deutsch|Deutsch Kunst|||"_s};
        // clang-format on
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2) {
            w.type(steps[i]);
            QCOMPARE(w.row(6) + u' ' + w.row(7), steps[i + 1]);
        }
        QVERIFY(!w.form->StringGridView->isEditing());
        QCOMPARE(w.row(8), u"Mathematik|||"_s);
        // A subject from the menu goes into the current cell, not into the one typed into.
        w.form->setCurrentCell(2, 9);
        w.form->SubjectItems[21]->trigger();
        QCOMPARE(w.grid().cell(2, 9) + u' ' + w.row(7), u"Sport-Theorie Kunst|||"_s);
    }

    // The item models over the plain grid: Qt's model checks on both, and the adapter's
    // notifications and editing.
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

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
