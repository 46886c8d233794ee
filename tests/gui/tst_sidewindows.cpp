// The windows beside the main window: built on first use, the information window, the overview,
// the Prüfliste that follows the grid, Escape, and a dark desktop.

#include "support/choices.h"
#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/help.h"
#include "windows/info.h"
#include "windows/pruefliste.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

using namespace Qt::StringLiterals;

class TestSideWindows : public QObject {
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
    // Each side window is built when first asked for and then kept: it comes back with the
    // content it had, as if it had lived since the start. "A&binote" opens its window at once,
    // and never modally; "&über ..." twice gives the one information window, which "OK" hides.
    // F9 and the menu item open the one Prüfliste, without a modal loop; for an empty grid it
    // lists only that nothing is entered yet.
    void sideWindowsBuiltOnFirstUse() {
        MainWindowFixture p(true);
        TMainForm &f = *p.form;
        const auto count = [&] {
            return f.findChildren<TInfoForm *>().size() + f.findChildren<TAGFForm *>().size() +
                   f.findChildren<TAbiNoteForm *>().size() + f.findChildren<QDialog *>().size() +
                   f.findChildren<TPruefListeForm *>().size();
        };
        QCOMPARE(count(), 0);
        p.dialogs.answers << DialogButton::Yes << DialogButton::Yes;
        f.B_Abinote->click();
        TAbiNoteForm *abinote = f.AbiNoteForm();
        QVERIFY(p.shown().isEmpty() && abinote && abinote->isVisible() && !abinote->isModal());
        abinote->SG_GK->item(1, 1)->setText(u"12"_s);
        abinote->close();
        f.B_Abinote->click();
        QVERIFY(f.AbiNoteForm() == abinote && abinote->isVisible());
        QCOMPARE(abinote->SG_GK->item(1, 1)->text(), u"12"_s);
        f.B_AGF->click();
        f.Ueber->trigger();
        f.Ueber->trigger(); // twice: still one window, not modal
        QTest::keyClick(f.windowHandle(), Qt::Key_F9);
        TPruefListeForm *pruefliste = f.findChild<TPruefListeForm *>();
        QVERIFY(pruefliste && pruefliste->isVisible() && !pruefliste->isModal());
        QCOMPARE(pruefliste->windowTitle() + u'|' + pruefliste->Lines().join(u'|'),
                 u"Prüfliste|Es sind noch keine Fächer eingetragen."_s);
        pruefliste->close();
        f.Pruefliste->trigger();
        QVERIFY(pruefliste->isVisible());
        QCOMPARE(count(), 2 + 1 + 2 + 1); // TInfoForm and TAGFForm are dialogs as well
        QVERIFY(f.InfoForm()->isVisible() && !f.InfoForm()->isModal());
        QCOMPARE(f.InfoForm()->Label2->text(), u"Version 1.49 vom 12.05.2003"_s);
        f.InfoForm()->Button1->click();
        QVERIFY(f.InfoForm()->isHidden());
    }

    // Under a dark desktop palette the information window keeps dark text on its own light
    // colours, and the document viewer shows dark text on a white page.
    void darkPaletteStaysReadable() {
        const QPalette before = QApplication::palette();
        QPalette dark;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(40, 40, 40));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(235, 235, 235));
        QApplication::setPalette(dark);
        MainWindowFixture p;
        TInfoForm &info = *p.form->InfoForm();
        for (const QLabel *label : {info.Label1, info.Label5, info.Label6, info.Label11}) {
            QVERIFY2(label->palette().color(QPalette::WindowText).lightness() < 60 &&
                         label->parentWidget()->palette().color(QPalette::Window).lightness() > 120,
                     qPrintable(label->text()));
        }
        const QPalette page = p.form->HelpForm()->RichEdit1->palette();
        QApplication::setPalette(before);
        QCOMPARE(page.color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(page.color(QPalette::Text), QColor(Qt::black));
    }

    // The overview lists each of the 21 catalog subjects once, with its abbreviation, in the
    // box of its Aufgabenfeld, and with the texts it has always shown (data/overview.txt).
    void overview() {
        MainWindowFixture p;
        p.form->B_AGF->click();
        TAGFForm &form = *p.form->AGFForm();
        QStringList shown = {form.windowTitle()};
        for (const QGroupBox *box : {form.GroupBox1, form.GroupBox2, form.GroupBox3, form.GroupBox4}) {
            QList<QLabel *> labels = box->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
            std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) {
                return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
            });
            shown << u'[' + box->title() + u']';
            for (const QLabel *label : labels)
                shown.last() += u',' + label->text();
        }
        const QByteArray texts = (shown.join(u'\n') + u'\n').toUtf8();
        QCOMPARE(texts, tables::golden(u"gui/data/overview.txt"_s, texts));
        QVERIFY(form.isVisible());
        form.Button1->click();
        QVERIFY(form.isHidden());
    }

    // Escape closes the side windows; the information window has no title bar, so Escape or "OK".
    void escapeCloses() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        MainWindowFixture w(true);
        w.form->B_HilfeClick();
        for (QWidget *window :
             QList<QWidget *>{w.form->AGFForm(), w.form->PrueflisteForm(), w.form->HelpForm(),
                              w.form->AbiNoteForm(), w.form->InfoForm()}) {
            window->show();
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
            QVERIFY2(window->isHidden(), window->metaObject()->className());
        }
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

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
