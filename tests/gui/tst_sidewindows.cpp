#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/help.h"
#include "windows/info.h"
#include "windows/pruefliste.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

using namespace Qt::StringLiterals;

class TestSideWindows : public QObject {
    Q_OBJECT

private slots:
    // Each side window is built when first asked for and then kept: it comes back with the
    // content it had, as if it had lived since the start. "A&binote" opens its window at once,
    // and never modally; "&über ..." twice gives the one information window, which "OK" hides.
    void sideWindowsBuiltOnFirstUse() {
        MainWindowFixture p;
        TMainForm &f = *p.form;
        const auto count = [&] {
            return f.findChildren<TInfoForm *>().size() + f.findChildren<TAGFForm *>().size() +
                   f.findChildren<TAbiNoteForm *>().size() + f.findChildren<QDialog *>().size();
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
        f.Ueber->trigger();           // twice: still one window, not modal
        QCOMPARE(count(), 2 + 1 + 2); // TInfoForm and TAGFForm are dialogs as well
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
};

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
