#include "shell/qtdialogs.h"
#include "support/mainwindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The main window at start-up, its close question, the timer, and the Qt message dialogs.
class TestMainWindow : public QObject {
    Q_OBJECT

    static QStringList captions(QMenu *menu) {
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? u"-"_s : action->text());
        return texts;
    }

private slots:
    void startState() {
        MainWindowFixture w;
        TMainForm &f = *w.form;
        QCOMPARE(f.windowTitle(), u"Fachlese 1.49  IGS-Brunsmark"_s);
        QCOMPARE(f.StringGridBox->title(), u" Kurse "_s);
        QVERIFY(!f.Speichern->isEnabled());
        QVERIFY(f.Image1->isHidden());
        QVERIFY(!f.Test.ChoiceTested);
        QVERIFY(f.CurrentFileName.isEmpty());
        QVERIFY(w.closesWithoutQuestion());
        QCOMPARE(f.Timer1->isActive() ? f.Timer1->interval() : 0, 1000);
        QCOMPARE(w.grid().cell(0, 0) + w.grid().cell(1, 0) + w.grid().cell(0, 1) + w.grid().cell(0, 11),
                 u" 1. Semester  LK 1  GK 9"_s);

        const QList<QPushButton *> buttons = {f.B_Anleitung, f.B_AGF,   f.B_Verordnung,
                                              f.B_Abinote,   f.B_Hilfe, f.B_Testen};
        const QStringList expected = {
            u"&Anleitung|Hilft bei der Auswahl der Kurse|5"_s,
            u"&Fächer|Zeigt die Fächer und Aufgabenfelder|72"_s,
            u"&Verordnung|Zeigt die offizielle Oberstufenverordnung|128"_s,
            u"A&binote||206"_s,
            u"&Hilfe|Hilft bei der Bedienung des Programms|265"_s,
            u"&Wahl testen|Testet Ihre Wahl|392"_s,
        };
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(u"%1|%2|%3"_s.arg(buttons[i]->text(), buttons[i]->toolTip()).arg(buttons[i]->x()),
                     expected[i]);
        QVERIFY(f.B_Testen->font().bold());

        const QList<QAction *> top = f.menuBar()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text() + captions(top[0]->menu()).join(u','),
                 u"&Datei&Neu,&Öffnen,&Speichern,Speichern &unter...,-,&Drucken,D&rucker einrichten ...,-,"
                 u"&Beenden"_s);
        QCOMPARE(top[1]->text() + captions(top[1]->menu()).join(u','), u"&Hilfe&Inhalt,-,&über ..."_s);
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
        w.form->Beenden->trigger(); // "&Ja" keeps the window and the grid
        QVERIFY(w.form->isVisible());
        QCOMPARE(w.dialogs.entries.value(0).request,
                 (DialogRequest{DialogKind::Confirmation,
                                u"Bestätigung"_s,
                                u"Willst du die eingegebenen Daten nicht erst speichern?"_s,
                                {DialogButton::Yes, DialogButton::No}}));
        w.form->B_Testen->click(); // "Das Fach  Quatsch  ist nicht bekannt!"
        QCOMPARE(w.dialogs.entries.size(), 2);
        w.form->Beenden->trigger();
        QCOMPARE(w.dialogs.entries.size(), 2);
        QVERIFY(!w.form->isVisible());
        QCOMPARE(w.grid().cell(1, 5), u"Quatsch"_s);
    }

    // The real question box: Enter takes the default "&Ja" and keeps the window open, Escape
    // answers "&Nein" and closes it.
    void closeQuestionOnScreen() {
        QtDialogs dialogs;
        ScriptedSystemDialogs system;
        TMainForm form(dialogs, system);
        form.show();
        form.StringGrid->setCell(2, 2, u"Kunst"_s);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QVERIFY(duringModal([&] { form.close(); }, [&](QWidget *box) { QTest::keyClick(box, key); }));
            QCOMPARE(form.isVisible(), key == Qt::Key_Return);
        }
    }

    void timerTick() {
        MainWindowFixture w;
        TMainForm &f = *w.form;
        f.show();
        f.Test.ChoiceTested = true;
        f.Timer1Timer();
        QVERIFY(f.Image1->isVisible());
        QCOMPARE(f.B_Testen->text(), u"Wahl o.k."_s);
        // A change of any cell, the spare row included, clears the flag at the next tick.
        w.grid().setCell(2, 12, u"x"_s);
        f.Timer1Timer();
        QVERIFY(!f.Test.ChoiceTested);
        QVERIFY(!f.Image1->isVisible());
        QCOMPARE(f.B_Testen->text(), u"&Wahl testen"_s);
    }

    void qtDialogs_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("shown"); // icon, title, buttons ("*": the default)
        const int yes = int(DialogButton::Yes), no = int(DialogButton::No);
        const int question = int(DialogKind::Confirmation);
        QTest::newRow("question, Enter")
            << question << int(Qt::Key_Return) << yes << u"4 Bestätigung &Ja* &Nein"_s;
        QTest::newRow("question, Escape")
            << question << int(Qt::Key_Escape) << no << u"4 Bestätigung &Ja* &Nein"_s;
        QTest::newRow("notice, Escape") << int(DialogKind::Notice) << int(Qt::Key_Escape)
                                        << int(DialogButton::Ok) << u"0 Fachlese IGS Brunsmark OK*"_s;
        QTest::newRow("error, Escape") << int(DialogKind::Error) << int(Qt::Key_Escape)
                                       << int(DialogButton::Cancel) << u"3 Fehler &Abbrechen*"_s;
        QTest::newRow("system box, Escape")
            << int(DialogKind::MessageBox) << int(Qt::Key_Escape) << no << u"4  WICHTIG"_s;
    }

    void qtDialogs() {
        QFETCH(int, kind);
        QFETCH(int, key);
        QFETCH(int, expected);
        QFETCH(QString, shown);
        QList<DialogButton> buttons = {DialogButton::Yes, DialogButton::No};
        if (kind == int(DialogKind::Notice))
            buttons = {DialogButton::Ok};
        if (kind == int(DialogKind::Error))
            buttons = {DialogButton::Cancel};
        const QString title =
            kind == int(DialogKind::MessageBox) ? u" WICHTIG"_s : kindCaption(DialogKind(kind));
        QtDialogs dialogs;
        QString seen, text;
        DialogButton answer = DialogButton::Ok;
        QVERIFY(duringModal(
            [&] {
                answer = dialogs.ask({DialogKind(kind), title, u"eins\rzwei"_s, buttons});
            },
            [&](QWidget *widget) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                QVERIFY(box);
                text = box->text();
                seen = u"%1 %2"_s.arg(int(box->icon())).arg(box->windowTitle());
                if (kind != int(DialogKind::MessageBox)) {
                    for (QAbstractButton *b : box->buttons())
                        seen += u' ' + b->text() + (b == box->defaultButton() ? u"*"_s : QString());
                }
                QTest::keyClick(box, Qt::Key(key));
            }));
        QCOMPARE(int(answer), expected);
        QCOMPARE(text, u"eins\nzwei"_s);
        QCOMPARE(seen, shown);
    }

    void fileFilters() {
        QCOMPARE(QtSystemDialogs::nameFilters(u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.*"_s),
                 QStringList({u"Fachlesedaten (*.fld)"_s, u"Alle Files(*.*)"_s}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
