#include "support/mainwindow.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/info.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

class TestSideWindows : public QObject {
    Q_OBJECT

private slots:
    // The first show brings the information window up modally, once; minimise and restore
    // bring no second one.
    void startupShowsInfoOnce() {
        MainWindowFixture p;
        TMainForm &f = *p.form;
        f.FirstShowPending = true;
        QWidget *modal = nullptr;
        QVERIFY(duringModal(
            [&] {
                f.show();
                QVERIFY(QTest::qWaitFor([&] { return !f.FirstShowPending; }, 10000));
            },
            [&](QWidget *shown) { modal = shown; }));
        QCOMPARE(modal, f.InfoForm);
        QVERIFY(!duringModal([&] {
            f.showMinimized();
            QTest::qWait(50);
            f.showNormal();
            f.hide();
            f.show();
            f.FormShow(); // the handler of every show
            QTest::qWait(50);
        }));
        QVERIFY(f.InfoForm->isHidden());
    }

    void ueberTwiceGivesOneWindow() {
        MainWindowFixture p(true);
        TMainForm &f = *p.form;
        f.Ueber->trigger();
        f.Ueber->trigger();
        QVERIFY(f.InfoForm->isVisible() && !f.InfoForm->isModal());
        QCOMPARE(f.findChildren<TInfoForm *>().size(), 1);
        QCOMPARE(f.InfoForm->Label2->text(), u"Version 1.49 vom 12.05.2003"_s);
        QTest::keyClick(f.InfoForm, Qt::Key_Escape); // no title bar: "OK" is the way out
        QVERIFY(f.InfoForm->isVisible());
        f.InfoForm->Button1->click();
        QVERIFY(f.InfoForm->isHidden());
    }

    // The overview lists each of the 21 catalog subjects once, with its abbreviation, in the
    // box of its Aufgabenfeld, and with the texts it has always shown.
    void overview() {
        MainWindowFixture p;
        p.form->B_AGF->click();
        TAGFForm &form = *p.form->AGFForm;
        QVERIFY(form.isVisible());
        QCOMPARE(form.windowTitle(), u"Fächer und Aufgabenfelder"_s);
        // clang-format off
        const std::tuple<QGroupBox *, QString, QStringList> boxes[] = {
            {form.GroupBox1, u" Aufgabenfeld A "_s,
             {u"DE - Deutsch"_s, u"EN - Englisch"_s, u"FR - Französisch"_s, u"SN - Spanisch"_s,
              u"LA - Latein"_s, u"TU - Türkisch"_s, u"KU - Kunst"_s, u"MU - Musik"_s}},
            {form.GroupBox2, u" Aufgabenfeld B "_s,
             {u"GE - Geschichte"_s, u"EK - Erdkunde"_s, u"PO- Politik"_s, u"PA - Pädagogik"_s,
              u"RE - Religion"_s, u"WN - Werte u. Normen"_s}},
            {form.GroupBox3, u" Aufgabenfeld C "_s,
             {u"MA - Mathematik"_s, u"PH - Physik"_s, u"CH - Chemie"_s, u"BI - Biologe"_s,
              u"IN - Informatik"_s}},
            {form.GroupBox4, u"Sport"_s, {u"SP - Sport"_s, u"ST - Sport-Theorie"_s}},
        };
        // clang-format on
        for (const auto &[box, caption, texts] : boxes) {
            QList<QLabel *> labels = box->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
            std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) {
                return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
            });
            QStringList shown = {box->title()};
            for (const QLabel *label : labels)
                shown.append(label->text());
            QCOMPARE(shown, QStringList{caption} + texts);
        }
        form.Button1->click();
        QVERIFY(form.isHidden());
    }

    void abinoteAsksFirst_data() {
        QTest::addColumn<DialogButton>("answer");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Nein") << DialogButton::No << false;
        QTest::newRow("Ja") << DialogButton::Yes << true;
        QTest::newRow("closed otherwise") << DialogButton::Cancel << true;
    }

    void abinoteAsksFirst() {
        QFETCH(DialogButton, answer);
        QFETCH(bool, shown);
        MainWindowFixture p;
        p.dialogs.answers.enqueue(answer);
        p.form->B_Abinote->click();
        QCOMPARE(p.shown(),
                 QStringList{
                     u"confirmation|Bestätigung|Die Funktion ist noch unvollständig. Weiter?|&Ja|&Nein"_s});
        QCOMPARE(p.form->AbiNoteForm->isVisible(), shown);
        QVERIFY(!p.form->AbiNoteForm->isModal());
    }
};

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
