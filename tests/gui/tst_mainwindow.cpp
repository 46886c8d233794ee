#include "rules/dialogs.h"
#include "shell/main.h"
#include "shell/coursegrid.h"
#include "shell/qtdialogs.h"
#include "support/fakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    struct Window {
        DialogRecorder dialogs;
        ScriptedSystemDialogs system;
        std::unique_ptr<TMainForm> form;

        Window() {
            form = std::make_unique<TMainForm>(dialogs, system);
            form->CreateSideWindows();
            form->FirstShowPending = false;
        }
    };

    static QStringList menuCaptions(QMenu *menu) {
        QStringList captions;
        for (QAction *action : menu->actions())
            captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return captions;
    }

private slots:
    void startState() {
        Window w;
        TMainForm &f = *w.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("Fachlese 1.49  IGS-Brunsmark"));
        QCOMPARE(f.StringGridBox->title(), QStringLiteral(" Kurse "));
        QCOMPARE(f.centralWidget()->size(), QSize(501, 319));
        QCOMPARE(f.StringGridBox->geometry(), QRect(0, 0, 501, 280));
        QCOMPARE(f.StringGridView->geometry(), QRect(9, 14, 480, 258));
        QVERIFY(!f.Speichern->isEnabled());
        QVERIFY(f.Image1->isHidden());
        QCOMPARE(f.Image1->geometry(), QRect(342, 281, 33, 33));
        QVERIFY(!f.Test.ChoiceTested);
        QVERIFY(f.CurrentFileName.isEmpty());
        QVERIFY(!f.Test.GridChangedSinceSnapshot());
        QVERIFY(f.Timer1->isActive());
        QCOMPARE(f.Timer1->interval(), 1000);
        QCOMPARE(f.Col(), 1);
        QCOMPARE(f.Row(), 1);
    }

    void labels() {
        Window w;
        GridModel &g = *w.form->StringGrid;
        QCOMPARE(g.cell(0, 0), QString());
        const QStringList headers = {QStringLiteral(" 1. Semester"), QStringLiteral(" 2. Semester"),
                                     QStringLiteral(" 3. Semester"), QStringLiteral(" 4. Semester")};
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(g.cell(c, 0), headers[c - 1]);
        const QStringList rows = {QStringLiteral("  LK 1"), QStringLiteral("  LK 2"), QStringLiteral("  PK 3"),
                                  QStringLiteral("  PK 4"), QStringLiteral("  GK 3"), QStringLiteral("  GK 4"),
                                  QStringLiteral("  GK 5"), QStringLiteral("  GK 6"), QStringLiteral("  GK 7"),
                                  QStringLiteral("  GK 8"), QStringLiteral("  GK 9")};
        for (int r = 1; r <= 11; ++r)
            QCOMPARE(g.cell(0, r), rows[r - 1]);
        // Labels are not editable, data cells are; the spare row is not displayed.
        QVERIFY(!(g.flags(g.index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!(g.flags(g.index(1, 0)) & Qt::ItemIsEditable));
        QVERIFY(g.flags(g.index(11, 4)) & Qt::ItemIsEditable);
        QCOMPARE(g.rowCount(), 12);
        QCOMPARE(g.columnCount(), 5);
    }

    void gridSizes() {
        Window w;
        QTableView *v = w.form->StringGridView;
        QCOMPARE(v->rowHeight(0), 22);
        for (int r = 1; r <= 11; ++r)
            QCOMPARE(v->rowHeight(r), 20);
        QCOMPARE(v->columnWidth(0), 42);
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(v->columnWidth(c), 107);
        QCOMPARE(v->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(v->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void menus() {
        Window w;
        const QList<QAction *> top = w.form->menuBar()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text(), QStringLiteral("&Datei"));
        QCOMPARE(top[1]->text(), QStringLiteral("&Hilfe"));
        QCOMPARE(menuCaptions(top[0]->menu()),
                 QStringList({QStringLiteral("&Neu"), QStringLiteral("&Öffnen"), QStringLiteral("&Speichern"),
                              QStringLiteral("Speichern &unter..."), QStringLiteral("-"), QStringLiteral("&Drucken"),
                              QStringLiteral("D&rucker einrichten ..."), QStringLiteral("-"),
                              QStringLiteral("&Beenden")}));
        QCOMPARE(menuCaptions(top[1]->menu()),
                 QStringList({QStringLiteral("&Inhalt"), QStringLiteral("-"), QStringLiteral("&über ...")}));
    }

    void buttons_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Anleitung") << 0 << QRect(5, 287, 58, 25) << QStringLiteral("&Anleitung")
                                   << QStringLiteral("Hilft bei der Auswahl der Kurse");
        QTest::newRow("Fächer") << 1 << QRect(72, 287, 47, 25) << QStringLiteral("&Fächer")
                                << QStringLiteral("Zeigt die Fächer und Aufgabenfelder");
        QTest::newRow("Verordnung") << 2 << QRect(128, 287, 71, 25) << QStringLiteral("&Verordnung")
                                    << QStringLiteral("Zeigt die offizielle Oberstufenverordnung");
        QTest::newRow("Abinote") << 3 << QRect(206, 287, 51, 25) << QStringLiteral("A&binote") << QString();
        QTest::newRow("Hilfe") << 4 << QRect(265, 287, 53, 25) << QStringLiteral("&Hilfe")
                               << QStringLiteral("Hilft bei der Bedienung des Programms");
        QTest::newRow("Testen") << 5 << QRect(392, 287, 99, 25) << QStringLiteral("&Wahl testen")
                                << QStringLiteral("Testet Ihre Wahl");
    }

    void buttons() {
        QFETCH(int, index);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        Window w;
        TMainForm &f = *w.form;
        const QPushButton *buttons[] = {f.B_Anleitung, f.B_AGF, f.B_Verordnung, f.B_Abinote, f.B_Hilfe, f.B_Testen};
        const QPushButton *b = buttons[index];
        QCOMPARE(b->geometry(), geometry);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->toolTip(), hint);
        QCOMPARE(b->font().bold(), index == 5);
        // Tab order: grid first, then the buttons from left to right.
        const QWidget *previous = index == 0 ? static_cast<QWidget *>(f.StringGridView) : buttons[index - 1];
        const QWidget *next = previous->nextInFocusChain();
        while (next && previous->isAncestorOf(next))
            next = next->nextInFocusChain();
        QCOMPARE(next, static_cast<const QWidget *>(b));
    }

    void closeAsksOnlyWhenChanged_data() {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("closes");
        QTest::newRow("unchanged") << false << -1 << true;
        QTest::newRow("changed, Ja keeps the window") << true << int(DialogButton::Yes) << false;
        QTest::newRow("changed, Nein closes") << true << int(DialogButton::No) << true;
    }

    void closeAsksOnlyWhenChanged() {
        QFETCH(bool, edit);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Window w;
        w.form->show();
        if (edit)
            w.form->StringGrid->setCell(1, 5, QStringLiteral("Englisch"));
        if (answer >= 0)
            w.dialogs.answers.enqueue(DialogButton(answer));
        w.form->Beenden->trigger();
        QCOMPARE(w.form->isVisible(), !closes);
        if (answer < 0) {
            QVERIFY(w.dialogs.entries.isEmpty());
        } else {
            QCOMPARE(w.dialogs.entries.size(), 1);
            const DialogRequest &r = w.dialogs.entries.first().request;
            QCOMPARE(r.kind, DialogKind::Confirmation);
            QCOMPARE(r.caption, QStringLiteral("Bestätigung"));
            QCOMPARE(r.text, QStringLiteral("Willst du die eingegebenen Daten nicht erst speichern?"));
            QCOMPARE(r.buttons, QList<DialogButton>({DialogButton::Yes, DialogButton::No}));
        }
        if (edit && !closes)
            QCOMPARE(w.form->StringGrid->cell(1, 5), QStringLiteral("Englisch"));
    }

    void noQuestionAfterARun() {
        Window w;
        w.form->show();
        w.form->StringGrid->setCell(1, 5, QStringLiteral("Quatsch"));
        w.form->B_Testen->click();
        QCOMPARE(w.dialogs.entries.size(), 1); // the unknown subject
        w.form->close();
        QVERIFY(!w.form->isVisible());
        QCOMPARE(w.dialogs.entries.size(), 1);
    }

    void timerFollowsChoiceTested() {
        Window w;
        TMainForm &f = *w.form;
        f.show();
        f.Test.ChoiceTested = true;
        f.Timer1Timer();
        QVERIFY(f.Image1->isVisible());
        QCOMPARE(f.B_Testen->text(), QStringLiteral("Wahl o.k."));
        // A change of any cell, the spare row included, clears the flag at the next tick.
        f.StringGrid->setCell(2, 12, QStringLiteral("x"));
        f.Timer1Timer();
        QVERIFY(!f.Test.ChoiceTested);
        QVERIFY(!f.Image1->isVisible());
        QCOMPARE(f.B_Testen->text(), QStringLiteral("&Wahl testen"));
    }

    void printerSetupUsesTheOnePrinter() {
        Window w;
        w.system.printerAnswers.enqueue(false);
        w.form->Druckereinrichten->trigger();
        QCOMPARE(w.system.printerRequests, 1);
    }

    // The Qt dialogs: German buttons, "&Ja" the default, Escape answers "&Nein", CR shown as a
    // line break, the notice without an icon.
    void qtDialogs_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("key"); // 0: press the default button
        QTest::addColumn<int>("expected");
        QTest::newRow("question, Enter") << int(DialogKind::Confirmation) << 0 << int(DialogButton::Yes);
        QTest::newRow("question, Escape") << int(DialogKind::Confirmation) << int(Qt::Key_Escape) << int(DialogButton::No);
        QTest::newRow("information question, Escape")
            << int(DialogKind::Information) << int(Qt::Key_Escape) << int(DialogButton::No);
        QTest::newRow("system box, Escape") << int(DialogKind::MessageBox) << int(Qt::Key_Escape) << int(DialogButton::No);
        QTest::newRow("system box, Enter") << int(DialogKind::MessageBox) << 0 << int(DialogButton::Yes);
    }

    void qtDialogs() {
        QFETCH(int, kind);
        QFETCH(int, key);
        QFETCH(int, expected);
        QtDialogs dialogs;
        QString shownText;
        QStringList shownButtons;
        QString shownTitle;
        QTimer::singleShot(50, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shownText = box->text();
            shownTitle = box->windowTitle();
            for (QAbstractButton *b : box->buttons())
                shownButtons.append(b->text());
            QTest::keyClick(box, key ? Qt::Key(key) : Qt::Key_Return);
        });
        const QString title = kind == int(DialogKind::MessageBox) ? QStringLiteral(" WICHTIGE FRAGE!")
                                                                  : kindCaption(DialogKind(kind));
        const DialogButton answer = dialogs.ask(DialogRequest{DialogKind(kind), title, QStringLiteral("eins\rzwei"),
                                                              {DialogButton::Yes, DialogButton::No}});
        QCOMPARE(int(answer), expected);
        QCOMPARE(shownText, QStringLiteral("eins\nzwei"));
        QCOMPARE(shownTitle, title);
        if (kind != int(DialogKind::MessageBox)) {
            shownButtons.sort();
            QCOMPARE(shownButtons, QStringList({QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
        }
    }

    void qtNoticeHasNoIcon() {
        QtDialogs dialogs;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QString title;
        QTimer::singleShot(50, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            icon = box->icon();
            title = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(dialogs.notice(QStringLiteral("Hallo")), DialogButton::Ok);
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(title, QStringLiteral("Fachlese IGS Brunsmark"));
    }

    void fileFilters() {
        QCOMPARE(QtSystemDialogs::nameFilters(QStringLiteral("Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.*")),
                 QStringList({QStringLiteral("Fachlesedaten (*.fld)"), QStringLiteral("Alle Files(*.*)")}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
