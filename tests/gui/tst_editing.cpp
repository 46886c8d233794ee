#include "support/mainwindow.h"

#include <QLineEdit>
#include <QMenu>

using namespace Qt::StringLiterals;

// Entering subjects into the main window's grid: the context menu, typing, the copy commands.
class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void menuStructure() {
        MainWindowFixture w;
        QStringList texts;
        for (QAction *action : w.form->PopupMenu1->actions()) {
            texts << action->text() + (action->menu() ? u':' + action->menu()->objectName() : QString());
            for (QAction *item : action->menu() ? action->menu()->actions() : QList<QAction *>())
                texts.last() += u',' + item->text();
        }
        QCOMPARE(texts,
                 (QStringList{u"Aufgabenfeld A:AufgabenfeldA1,Deutsch,Englisch,Französisch,Spanisch,Latein,"
                              u"Türkisch,Kunst,Musik"_s,
                              u"Aufgabenfeld B:AufgabenfeldB1,Geschichte,Erdkunde,Politik,Pädagogik,Religion,"
                              u"Werte und Normen"_s,
                              u"Aufgabenfeld C:AufgabenfeldC1,Mathematik,Physik,Biologie,Chemie,Informatik"_s,
                              u"Sport:Sport1,Sport,Sport-Theorie"_s, u"rechts ausfüllen"_s,
                              u"links ausfuellen"_s, u"löschen"_s}));
    }

    // Each menu item works on the current cell and its row.
    void menuItems_data() {
        QTest::addColumn<QString>("item"); // the object name of the menu item
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("after"); // the row, which held "A|B|C|D"
        QTest::newRow("Werte und Normen") << u"WerteundNormen1"_s << 2 << 7 << u"A|Werte u. Normen|C|D"_s;
        QTest::newRow("Englisch in GK 5")
            << u"Englisch1"_s << 2 << 7 << u"Englisch|Englisch|Englisch|Englisch"_s;
        QTest::newRow("rechts ausfüllen") << u"rechtsausfuellen1"_s << 2 << 1 << u"A|B|B|B"_s;
        QTest::newRow("links ausfuellen") << u"linksausfuellen1"_s << 3 << 11 << u"C|C|C|D"_s;
        QTest::newRow("löschen in LK 1") << u"loeschen1"_s << 3 << 1 << u"A|B||D"_s;
    }

    void menuItems() {
        QFETCH(QString, item);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, after);
        MainWindowFixture w;
        for (int c = 1; c <= 4; ++c)
            w.grid().setCell(c, row, QString(QChar(u'A' + c - 1)));
        w.form->setCurrentCell(column, row);
        QAction *action = w.form->PopupMenu1->findChild<QAction *>(item);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(w.row(row), after);
        QVERIFY(w.dialogs.entries.isEmpty());
    }

    // A click on a cell makes it current and changes nothing; so does opening the menu.
    void clickChangesNothing() {
        MainWindowFixture w(true);
        w.grid().setCell(2, 6, u"Deutsch"_s);
        QTest::mouseClick(w.form->StringGridView->viewport(), Qt::LeftButton, {},
                          w.form->StringGridView->visualRect(w.grid().index(6, 2)).center());
        QCOMPARE(w.form->Col() * 100 + w.form->Row(), 206);
        w.form->PopUpClick(w.form->StringGridView);
        w.form->PopUpClick(w.form->PopupMenu1);
        QCOMPARE(w.row(6), u"|Deutsch||"_s);
    }

    // The menu opens on a data cell by right click, which makes it current, or on the current
    // cell by Shift+F10, also from the open editor, whose text goes into its cell first.
    void openMenu_data() {
        QTest::addColumn<int>("column"); // of the right click; 0: Shift+F10 on (3, 9)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("right click") << 3 << QString() << u"x|x|x|"_s;
        QTest::newRow("right click on a label") << -1 << QString() << u"||x|"_s;
        QTest::newRow("Shift+F10") << 0 << QString() << u"x|x|x|"_s;
        QTest::newRow("Shift+F10 in the editor") << 0 << u"Deu"_s << u"Deu|Deu|Deu|"_s;
    }

    void openMenu() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        MainWindowFixture w(true);
        w.grid().setCell(3, 9, u"x"_s);
        w.form->setCurrentCell(column == 0 ? 3 : 1, column == 0 ? 9 : 1);
        w.type(typed);
        QCOMPARE(w.form->StringGridView->isEditing(), !typed.isEmpty());
        QWidget *viewport = w.form->StringGridView->viewport();
        const QPoint where = w.form->StringGridView->visualRect(w.grid().index(9, qMax(column, 0))).center();
        const bool opened = duringModal(
            [&] {
                if (column == 0)
                    return QTest::keyClick(w.form->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
                QContextMenuEvent event(QContextMenuEvent::Mouse, where, viewport->mapToGlobal(where));
                QApplication::sendEvent(viewport, &event);
            },
            [&](QWidget *) { w.form->linksausfuellen1->trigger(); });
        QCOMPARE(opened, column >= 0);
        QVERIFY(!w.form->StringGridView->isEditing());
        QCOMPARE(w.row(9), after);
    }

    // Every keystroke goes into the cell and runs the auto-fill; so does closing the editor,
    // for the edited cell even when another one has become current: Mathematik, standing in
    // GK 6 of semester 1 only, is never filled across.
    void typing_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("steps"); // keys, then the row after them, and so on
        QTest::newRow("Deutsch letter by letter into GK 4")
            << 1 << 6 << QStringList{u"Deutsc"_s, u"Deutsc|||"_s,
                                     u"h"_s,      u"Deutsch|Deutsch|Deutsch|Deutsch"_s,
                                     u"xy\n"_s,   u"Deutschxy|Deutsch|Deutsch|Deutsch"_s};
        QTest::newRow("closed by moving down") << 1 << 7 << QStringList{u"Kunst↓"_s, u"Kunst|||"_s};
    }

    void typing() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QStringList, steps);
        MainWindowFixture w(true);
        w.grid().setCell(1, 8, u"Mathematik"_s);
        w.form->setCurrentCell(column, row);
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2) {
            w.type(steps[i]);
            QCOMPARE(w.row(row), steps[i + 1]);
        }
        QVERIFY(!w.form->StringGridView->isEditing());
        QCOMPARE(w.row(8), u"Mathematik|||"_s);
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
