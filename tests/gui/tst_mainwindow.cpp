#include "shell/qtdialogs.h"
#include "support/mainwindow.h"

#include "windows/abinote.h"
#include "windows/info.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The main window at start-up, its close question, and the Qt message dialogs.
class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // Start-up asks the print system nothing: neither the print plugin nor the printing library
    // is loaded by the time the main window and the information window of its first show are up,
    // and only the information window is built of the side windows. (First in this program, so
    // that nothing before it has printed.)
    void startLoadsNoPrintSystem() {
#ifndef Q_OS_LINUX
        QSKIP("reads the loaded libraries from /proc");
#else
        DialogRecorder dialogs;
        ScriptedSystemDialogs system;
        TMainForm f(dialogs, system);
        f.CreateSideWindows();
        QVERIFY(duringModal(
            [&] {
                f.show();
                QVERIFY(QTest::qWaitFor([&] { return !f.FirstShowPending; }, 10000));
            },
            [&](QWidget *shown) { QCOMPARE(shown, f.InfoForm()); }));
        QFile maps(u"/proc/self/maps"_s);
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray loaded = maps.readAll();
        QVERIFY(loaded.contains("libQt6Widgets"));
        QVERIFY2(!loaded.contains("printsupport/") && !loaded.contains("libcups"), loaded.constData());
        QCOMPARE(f.findChildren<QDialog *>().size() + f.findChildren<QMainWindow *>().size() +
                     f.findChildren<TAbiNoteForm *>().size(),
                 1); // the information window
#endif
    }

    void startState() {
        MainWindowFixture w;
        TMainForm &f = *w.form;
        QCOMPARE(f.windowTitle() + u'|' + f.StringGridBox->title(),
                 u"Fachlese 1.49  IGS-Brunsmark| Kurse "_s);
        QVERIFY(!f.Speichern->isEnabled() && f.Image1->isHidden() && !f.Test.ChoiceTested &&
                f.CurrentFileName.isEmpty() && w.closesWithoutQuestion() && f.Timer1->isActive() &&
                f.Timer1->interval() == 1000);
        QCOMPARE(w.grid().cell(0, 0) + w.grid().cell(1, 0) + w.grid().cell(0, 1) + w.grid().cell(0, 11),
                 u" 1. Semester  LK 1  GK 9"_s);

        QStringList shown; // texts, tool tips, and one spot check of the layout
        for (const QPushButton *b :
             {f.B_Anleitung, f.B_AGF, f.B_Verordnung, f.B_Abinote, f.B_Hilfe, f.B_Testen})
            shown << b->text() + u'|' + b->toolTip();
        QCOMPARE(shown, (QStringList{u"&Anleitung|Hilft bei der Auswahl der Kurse"_s,
                                     u"&Fächer|Zeigt die Fächer und Aufgabenfelder"_s,
                                     u"&Verordnung|Zeigt die offizielle Oberstufenverordnung"_s,
                                     u"A&binote|"_s, u"&Hilfe|Hilft bei der Bedienung des Programms"_s,
                                     u"&Wahl testen|Testet Ihre Wahl"_s}));
        QVERIFY(f.B_Testen->x() == 392 && f.B_Testen->font().bold());

        QStringList menus;
        for (const QAction *top : f.menuBar()->actions()) {
            menus << top->text();
            for (const QAction *item : top->menu()->actions())
                menus.last() += u',' + (item->isSeparator() ? u"-"_s : item->text());
        }
        QCOMPARE(menus, (QStringList{u"&Datei,&Neu,&Öffnen,&Speichern,Speichern &unter...,-,&Drucken,"
                                     u"D&rucker einrichten ...,-,&Beenden"_s,
                                     u"&Hilfe,&Inhalt,-,&über ..."_s}));
    }

    // Closing asks only for a changed grid; a validation run, failed or not, takes the snapshot.
    void closeQuestion() {
        MainWindowFixture w;
        w.form->show();
        w.dialogs.answers << DialogButton::Yes << DialogButton::No;
        w.form->Beenden->trigger(); // unchanged: closes without a question
        QVERIFY(w.dialogs.entries.isEmpty() && !w.form->isVisible());
        w.form->show();
        w.grid().setCell(1, 5, u"Quatsch"_s);
        w.form->Beenden->trigger(); // "&Ja" keeps the window
        QVERIFY(w.form->isVisible());
        QCOMPARE(
            w.shown().value(0),
            u"confirmation|Bestätigung|Willst du die eingegebenen Daten nicht erst speichern?|&Ja|&Nein"_s);
        w.form->B_Testen->click(); // "Das Fach  Quatsch  ist nicht bekannt!"
        w.form->Beenden->trigger();
        QVERIFY(w.dialogs.entries.size() == 2 && !w.form->isVisible());
    }

    // The Qt boxes: icon, title, the buttons with the default ("*"), the line break; Escape
    // answers with the last button, and the system box keeps its own button texts.
    void qtDialogs_data() {
        QTest::addColumn<DialogKind>("kind");
        QTest::addColumn<QList<DialogButton>>("buttons");
        QTest::addColumn<QString>("shown");
        const QList<DialogButton> yesNo = {DialogButton::Yes, DialogButton::No};
        QTest::newRow("question") << DialogKind::Confirmation << yesNo << u"4 Bestätigung &Ja* &Nein"_s;
        QTest::newRow("error") << DialogKind::Error << QList{DialogButton::Cancel}
                               << u"3 Fehler &Abbrechen*"_s;
        QTest::newRow("system box") << DialogKind::MessageBox << yesNo << u"4  WICHTIG"_s;
    }

    void qtDialogs() {
        QFETCH(DialogKind, kind);
        QFETCH(QList<DialogButton>, buttons);
        QFETCH(QString, shown);
        const QString title = kind == DialogKind::MessageBox ? u" WICHTIG"_s : kindCaption(kind);
        QtDialogs dialogs;
        QString seen;
        DialogButton answer = DialogButton::Ok;
        QVERIFY(duringModal(
            [&] {
                answer = dialogs.ask({kind, title, u"eins\rzwei"_s, buttons});
            },
            [&](QWidget *widget) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                QVERIFY(box);
                seen = u"%1 %2 %3"_s.arg(box->text()).arg(int(box->icon())).arg(box->windowTitle());
                for (QAbstractButton *b : box->buttons()) // not the system box's own texts
                    if (kind != DialogKind::MessageBox)
                        seen += u' ' + b->text() + (b == box->defaultButton() ? u"*"_s : QString());
                QTest::keyClick(box, Qt::Key_Escape);
            }));
        QCOMPARE(answer, buttons.last());
        QCOMPARE(seen, u"eins\nzwei "_s + shown);
    }

    void fileFilters() {
        QCOMPARE(QtSystemDialogs::nameFilters(u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.*"_s),
                 QStringList({u"Fachlesedaten (*.fld)"_s, u"Alle Files(*.*)"_s}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
