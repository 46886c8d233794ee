// The Prüfliste window: opened from the menu and with F9, kept up to date while the grid
// changes, and leading back to the cells an entry is about.

#include "support/choices.h"
#include "support/mainwindow.h"
#include "windows/pruefliste.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>

using namespace Qt::StringLiterals;

class TestPruefliste : public QObject {
    Q_OBJECT

    // The index of the first line that contains `part`, or -1.
    static int lineWith(const TPruefListeForm &form, const QString &part) {
        const QStringList lines = form.Lines();
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines.at(i).contains(part))
                return int(i);
        return -1;
    }

private slots:
    // F9 and the menu item open the one window beside the main window, without a modal loop;
    // an empty grid lists only that nothing is entered yet.
    void opens() {
        MainWindowFixture w(true);
        QCOMPARE(w.form->Pruefliste->text() + w.form->Pruefliste->shortcut().toString(),
                 u"&Prüfliste ...F9"_s);
        QVERIFY(!w.form->findChild<TPruefListeForm *>());
        QTest::keyClick(w.form->windowHandle(), Qt::Key_F9);
        TPruefListeForm *form = w.form->findChild<TPruefListeForm *>();
        QVERIFY(form && form->isVisible() && !form->isModal());
        QCOMPARE(form->windowTitle(), u"Prüfliste"_s);
        QCOMPARE(form->Lines(), QStringList{u"Es sind noch keine Fächer eingetragen."_s});
        form->close();
        w.form->Pruefliste->trigger();
        QVERIFY(form->isVisible() && w.form->findChildren<TPruefListeForm *>().size() == 1);
    }

    // Typing into the grid changes the list at once (no timer tick): a note alone leaves "all
    // fulfilled" on top; an unknown subject is named with its cell; violations stand before
    // notes, each marked. Activating an entry about a cell selects that cell in the main window,
    // an examination rule the examination rows of semester 1; "all fulfilled" leads nowhere.
    void followsTheGrid() {
        MainWindowFixture w;
        w.form->Timer1->stop();
        w.form->PrueflisteClick();
        TPruefListeForm &form = *w.form->PrueflisteForm();
        choices::fill(w.grid(), choices::validChoice());
        QCOMPARE(form.Label1->text(), TPruefListeForm::kForeignLanguageReminder);
        w.form->setCurrentCell(2, 2);
        emit form.ListBox1->itemActivated(form.ListBox1->item(0));
        QCOMPARE(w.form->Col() * 100 + w.form->Row(), 202);
        for (int s = 1; s <= 4; ++s)
            w.grid().setCell(s, 10, u"Physik"_s); // a repeated course: a note
        QCOMPARE(form.Lines().size() * 10 + form.Lines().indexOf(TPruefListeForm::kAllFulfilled), 20);
        w.grid().setCell(2, 6, u" Mathe "_s);
        const int unknown = lineWith(form, u"GK 4, 2. Semester: »Mathe« ist kein Fach"_s);
        QVERIFY2(unknown >= 0, qPrintable(form.Lines().join(u'\n')));
        QVERIFY(lineWith(form, TPruefListeForm::kAllFulfilled) < 0);
        QVERIFY(form.ListBox1->item(unknown)->text().startsWith(QChar(0x2716)));
        bool notes = false; // no violation after the first note
        for (int i = 0; i < form.ListBox1->count(); ++i) {
            const bool note = form.ListBox1->item(i)->text().startsWith(QChar(0x2139));
            QVERIFY(!notes || note);
            notes = notes || note;
        }
        emit form.ListBox1->itemActivated(form.ListBox1->item(unknown));
        QCOMPARE(w.form->Col() * 100 + w.form->Row(), 206);
        const QModelIndexList selected = w.form->StringGridView->selectionModel()->selectedIndexes();
        QVERIFY(selected.size() == 1 && selected.first().column() == 2 && selected.first().row() == 6);
        for (int s = 1; s <= 4; ++s)
            w.grid().setCell(s, 3, u"Sport"_s);
        emit form.ListBox1->itemActivated(
            form.ListBox1->item(lineWith(form, u"SPORT kann nicht drittes Prüfungsfach sein."_s)));
        QCOMPARE(w.form->Col() * 100 + w.form->Row(), 101);
        QCOMPARE(w.form->StringGridView->selectionModel()->selectedIndexes().size(), 4);
        w.grid().setCell(2, 6, u"Sport"_s);
        QVERIFY(lineWith(form, u"Mathe"_s) < 0);
    }
};

QTEST_MAIN(TestPruefliste)
#include "tst_pruefliste.moc"
