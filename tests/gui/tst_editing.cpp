#include "rules/dialogs.h"
#include "shell/coursegrid.h"
#include "shell/main.h"
#include "support/fakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

// Entering subjects into the main window's grid: the context menu, typing, the copy commands.
class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void menuStructure();
    void subjectItems_data();
    void subjectItems();
    void clickChangesNothing();
    void rightClickMakesCellCurrent();
    void keyboardOpensMenu_data();
    void keyboardOpensMenu();
    void menuFromTheEditor();
    void typeDeutschLetterByLetter();
    void typeIntoLk2AndErase();
    void typeLeadingBlank();
    void typeInTheMiddle();
    void closingNoticeIsForTheEditedCell_data();
    void closingNoticeIsForTheEditedCell();
    void copyCommands_data();
    void copyCommands();
    void deleteClearsOnlyTheCell();

private:
    struct Window {
        DialogRecorder dialogs;
        ScriptedSystemDialogs system;
        std::unique_ptr<TMainForm> form;

        explicit Window(bool shown = false) {
            form = std::make_unique<TMainForm>(dialogs, system);
            form->CreateSideWindows();
            form->FirstShowPending = false;
            if (shown) {
                form->show();
                form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(form.get()));
                form->StringGridView->setFocus();
            }
        }
        GridModel &grid() const { return *form->StringGrid; }
        QStringList row(int r) const {
            QStringList texts;
            for (int c = 1; c <= 4; ++c)
                texts << grid().cell(c, r);
            return texts;
        }
        QPoint cellCentre(int column, int row) const {
            CourseGridView *view = form->StringGridView;
            return view->visualRect(grid().index(row, column)).center();
        }
        // Keys go through the window as the system delivers them: to the grid, then to the
        // editor it opened.
        void type(const QString &text) const {
            for (const QChar c : text)
                QTest::keyClick(form->windowHandle(), c.toLatin1());
        }
        void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
            QTest::keyClick(form->windowHandle(), k, modifiers);
        }
    };

    // Runs `open`, which is expected to show the context menu modally; `inMenu` runs while it
    // is open and the menu is closed afterwards. Returns whether the menu appeared.
    static bool withMenu(TMainForm &form, const std::function<void()> &open,
                         const std::function<void()> &inMenu = {}) {
        bool appeared = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (!form.PopupMenu1->isVisible())
                return;
            appeared = true;
            poll.stop();
            if (inMenu)
                inMenu();
            form.PopupMenu1->close();
        });
        poll.start();
        open();
        return QTest::qWaitFor([&] { return !form.PopupMenu1->isVisible(); }, 2000) && appeared;
    }

    static QStringList captions(QMenu *menu) {
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? u"-"_s : action->text());
        return texts;
    }
};

void TestEditing::menuStructure() {
    Window w;
    QMenu *menu = w.form->PopupMenu1;
    QCOMPARE(captions(menu),
             (QStringList{u"Aufgabenfeld A"_s, u"Aufgabenfeld B"_s, u"Aufgabenfeld C"_s, u"Sport"_s,
                          u"rechts ausfüllen"_s, u"links ausfuellen"_s, u"löschen"_s}));
    const QList<QStringList> items = {
        {u"Deutsch"_s, u"Englisch"_s, u"Französisch"_s, u"Spanisch"_s, u"Latein"_s, u"Türkisch"_s, u"Kunst"_s,
         u"Musik"_s},
        {u"Geschichte"_s, u"Erdkunde"_s, u"Politik"_s, u"Pädagogik"_s, u"Religion"_s, u"Werte und Normen"_s},
        {u"Mathematik"_s, u"Physik"_s, u"Biologie"_s, u"Chemie"_s, u"Informatik"_s},
        {u"Sport"_s, u"Sport-Theorie"_s},
    };
    const QStringList submenuNames = {u"AufgabenfeldA1"_s, u"AufgabenfeldB1"_s, u"AufgabenfeldC1"_s,
                                      u"Sport1"_s};
    for (int i = 0; i < 4; ++i) {
        QMenu *submenu = menu->actions().at(i)->menu();
        QVERIFY(submenu);
        QCOMPARE(submenu->objectName(), submenuNames.at(i));
        QCOMPARE(captions(submenu), items.at(i));
    }
    for (int i = 4; i < 7; ++i)
        QVERIFY(!menu->actions().at(i)->menu());
    QCOMPARE(w.form->rechtsausfuellen1->objectName(), u"rechtsausfuellen1"_s);
    QCOMPARE(w.form->SubjectItems[3]->objectName(), u"Franzoesisch1"_s);
    QCOMPARE(w.form->SubjectItems[14]->objectName(), u"WerteundNormen1"_s);
    QCOMPARE(w.form->SubjectItems[20]->objectName(), u"SportPraxis1"_s);
}

void TestEditing::subjectItems_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("fills"); // in an empty GK row

    for (int code = 1; code <= 21; ++code) {
        const bool fills = (code >= 1 && code <= 6) || (code >= 15 && code <= 18) || code >= 20;
        QTest::addRow("%d", code) << code << SubjectCatalog[code] << fills;
    }
}

void TestEditing::subjectItems() {
    QFETCH(int, code);
    QFETCH(QString, written);
    QFETCH(bool, fills);

    Window w;
    w.form->setCurrentCell(2, 7);
    w.form->SubjectItems[code]->trigger();
    QCOMPARE(w.grid().cell(2, 7), written);
    const QString other = fills ? written : QString();
    QCOMPARE(w.row(7), (QStringList{other, written, other, other}));
    QVERIFY(w.dialogs.entries.isEmpty());

    // In an examination row every subject runs through.
    w.form->setCurrentCell(4, 3);
    w.form->SubjectItems[code]->trigger();
    QCOMPARE(w.row(3), QStringList(4, written));
}

void TestEditing::clickChangesNothing() {
    Window w(true);
    w.grid().setCell(2, 6, u"Deutsch"_s);
    QTest::mouseClick(w.form->StringGridView->viewport(), Qt::LeftButton, {}, w.cellCentre(2, 6));
    QCOMPARE(w.form->Col(), 2);
    QCOMPARE(w.form->Row(), 6);
    QCOMPARE(w.row(6), (QStringList{{}, u"Deutsch"_s, {}, {}}));
    w.form->PopUpClick(w.form->StringGridView);
    w.form->PopUpClick(w.form->PopupMenu1);
    QCOMPARE(w.row(6), (QStringList{{}, u"Deutsch"_s, {}, {}}));
}

void TestEditing::rightClickMakesCellCurrent() {
    Window w(true);
    w.grid().setCell(3, 8, u"Physik"_s);
    QWidget *viewport = w.form->StringGridView->viewport();
    const QPoint where = w.cellCentre(3, 8);
    QVERIFY(withMenu(*w.form, [&] {
        QTest::mousePress(viewport, Qt::RightButton, {}, where);
        QContextMenuEvent event(QContextMenuEvent::Mouse, where, viewport->mapToGlobal(where));
        QApplication::sendEvent(viewport, &event);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, where);
    }));
    QCOMPARE(w.form->Col(), 3);
    QCOMPARE(w.form->Row(), 8);
    QCOMPARE(w.row(8), (QStringList{{}, {}, u"Physik"_s, {}}));

    // A subject chosen in the menu goes into that cell.
    QVERIFY(withMenu(
        *w.form,
        [&] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, w.cellCentre(1, 9),
                                    viewport->mapToGlobal(where));
            QApplication::sendEvent(viewport, &event);
        },
        [&] { w.form->SubjectItems[Subject::Chemie]->trigger(); }));
    QCOMPARE(w.form->Row(), 9);
    QCOMPARE(w.row(9), (QStringList{u"Chemie"_s, u"Chemie"_s, u"Chemie"_s, u"Chemie"_s}));

    // No menu on a label cell.
    QVERIFY(!withMenu(*w.form, [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, w.cellCentre(0, 4), viewport->mapToGlobal(where));
        QApplication::sendEvent(viewport, &event);
    }));
}

void TestEditing::keyboardOpensMenu_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    // The window system turns the menu key into a keyboard context-menu event (the offscreen
    // platform does not, so the test sends that event itself).
    QTest::newRow("menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
}

void TestEditing::keyboardOpensMenu() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Window w(true);
    w.form->setCurrentCell(4, 2);
    w.grid().setCell(4, 2, u"x"_s);
    const auto open = [&] {
        if (key != Qt::Key_Menu) {
            w.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            return;
        }
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    };
    QVERIFY(withMenu(*w.form, open, [&] { w.form->linksausfuellen1->trigger(); }));
    QCOMPARE(w.row(2), QStringList(4, u"x"_s));
    QCOMPARE(w.form->Col(), 4);
    QCOMPARE(w.form->Row(), 2);
}

void TestEditing::menuFromTheEditor() {
    Window w(true);
    w.form->setCurrentCell(1, 6);
    w.type(u"Deu"_s);
    QVERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    QVERIFY(withMenu(
        *w.form, [&] { w.key(Qt::Key_F10, Qt::ShiftModifier); },
        [&] { w.form->rechtsausfuellen1->trigger(); }));
    // The editor was closed with its text before the menu wrote the row.
    QVERIFY(!w.form->StringGridView->isEditing());
    QCOMPARE(w.row(6), QStringList(4, u"Deu"_s));
}

void TestEditing::typeDeutschLetterByLetter() {
    Window w(true);
    w.form->setCurrentCell(1, 6);
    const QString word = u"Deutsch"_s;
    for (int n = 1; n <= word.size(); ++n) {
        w.type(word.mid(n - 1, 1));
        QCOMPARE(w.grid().cell(1, 6), word.left(n));
        const QString other = n == word.size() ? word : QString();
        QCOMPARE(w.row(6), (QStringList{word.left(n), other, other, other}));
    }
    w.type(u"xy"_s);
    QCOMPARE(w.row(6), (QStringList{u"Deutschxy"_s, word, word, word}));
    w.key(Qt::Key_Return);
    QTRY_VERIFY(!w.form->StringGridView->isEditing());
    QCOMPARE(w.row(6), (QStringList{u"Deutschxy"_s, word, word, word}));
}

void TestEditing::typeIntoLk2AndErase() {
    Window w(true);
    w.form->setCurrentCell(2, 2);
    w.type(u"M"_s);
    QCOMPARE(w.row(2), QStringList(4, u"M"_s));
    w.type(u"a"_s);
    QCOMPARE(w.row(2), QStringList(4, u"Ma"_s));
    w.key(Qt::Key_Backspace);
    QCOMPARE(w.row(2), QStringList(4, u"M"_s));
    w.key(Qt::Key_Backspace);
    QCOMPARE(w.row(2), (QStringList{u"M"_s, QString(), u"M"_s, u"M"_s}));
    w.key(Qt::Key_Return);
    QTRY_VERIFY(!w.form->StringGridView->isEditing());
    QCOMPARE(w.row(2), (QStringList{u"M"_s, QString(), u"M"_s, u"M"_s}));
}

void TestEditing::typeLeadingBlank() {
    Window w(true);
    w.form->setCurrentCell(3, 10);
    w.type(u" Deutsch"_s);
    w.key(Qt::Key_Return);
    QTRY_VERIFY(!w.form->StringGridView->isEditing());
    QCOMPARE(w.row(10), (QStringList{{}, {}, u" Deutsch"_s, {}}));
}

void TestEditing::typeInTheMiddle() {
    // The cursor stays where it is while every keystroke is written into the cell.
    Window w(true);
    w.form->setCurrentCell(1, 7);
    w.type(u"Dtsch"_s);
    for (int i = 0; i < 4; ++i)
        w.key(Qt::Key_Left);
    w.type(u"eu"_s);
    QCOMPARE(w.row(7), QStringList(4, u"Deutsch"_s));
}

void TestEditing::closingNoticeIsForTheEditedCell_data() {
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("arrow key") << false;
    QTest::newRow("click on the next cell") << true;
}

void TestEditing::closingNoticeIsForTheEditedCell() {
    QFETCH(bool, byMouse);
    Window w(true);
    // Mathematik stands in GK 4, semester 1 only; the notice must not fill it across.
    w.grid().setCell(1, 6, u"Mathematik"_s);
    w.form->setCurrentCell(1, 5);
    w.type(u"Kunst"_s);
    if (byMouse)
        QTest::mouseClick(w.form->StringGridView->viewport(), Qt::LeftButton, {}, w.cellCentre(1, 6));
    else
        w.key(Qt::Key_Down);
    QVERIFY(!w.form->StringGridView->isEditing());
    QCOMPARE(w.form->Row(), 6);
    QCOMPARE(w.row(5), (QStringList{u"Kunst"_s, {}, {}, {}}));
    QCOMPARE(w.row(6), (QStringList{u"Mathematik"_s, {}, {}, {}}));
}

void TestEditing::copyCommands_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("right from semester 2 of LK 1")
        << 2 << 1 << true << QStringList{u"A"_s, u"B"_s, u"B"_s, u"B"_s};
    QTest::newRow("left from semester 3 of GK 9")
        << 3 << 11 << false << QStringList{u"C"_s, u"C"_s, u"C"_s, u"D"_s};
    QTest::newRow("left in semester 1") << 1 << 5 << false << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
    QTest::newRow("right in semester 4") << 4 << 5 << true << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
}

void TestEditing::copyCommands() {
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(bool, right);
    QFETCH(QStringList, after);
    Window w;
    const QStringList abcd{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
    for (int c = 1; c <= 4; ++c)
        w.grid().setCell(c, row, abcd.at(c - 1));
    w.form->setCurrentCell(column, row);
    (right ? w.form->rechtsausfuellen1 : w.form->linksausfuellen1)->trigger();
    QCOMPARE(w.row(row), after);
}

void TestEditing::deleteClearsOnlyTheCell() {
    Window w;
    w.form->setCurrentCell(3, 1);
    w.form->SubjectItems[Subject::Deutsch]->trigger();
    QCOMPARE(w.row(1), QStringList(4, u"Deutsch"_s));
    w.form->loeschen1->trigger();
    QCOMPARE(w.row(1), (QStringList{u"Deutsch"_s, u"Deutsch"_s, QString(), u"Deutsch"_s}));
    // Clearing an empty cell or clearing twice changes nothing else.
    w.form->loeschen1->trigger();
    QCOMPARE(w.row(1), (QStringList{u"Deutsch"_s, u"Deutsch"_s, QString(), u"Deutsch"_s}));
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
