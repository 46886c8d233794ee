#include "shell/qtdialogs.h"
#include "support/mainwindow.h"

#include "rules/suggestion.h"
#include "shell/coursegridmodel.h"
#include "windows/abinote.h"
#include "windows/info.h"
#include "windows/print.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

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
        QVERIFY(f.Image1->pixmap().isNull() && QApplication::windowIcon().isNull()); // drawn later
        QVERIFY(duringModal(
            [&] {
                f.show();
                QVERIFY(QTest::qWaitFor([&] { return !f.FirstShowPending; }, 10000));
            },
            [&](QWidget *shown) { QCOMPARE(shown, f.InfoForm()); }));
        f.B_VerordnungClick(); // the document viewer has a printer of its own, made when printing
        QFile maps(u"/proc/self/maps"_s);
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray loaded = maps.readAll();
        QVERIFY(loaded.contains("libQt6Widgets"));
        QVERIFY2(!loaded.contains("printsupport/") && !loaded.contains("libcups"), loaded.constData());
        // The icon of the windows, drawn once the main window was shown, in its three sizes.
        QVERIFY(QTest::qWaitFor([] { return !QApplication::windowIcon().isNull(); }, 5000));
        QCOMPARE(QApplication::windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        QCOMPARE(f.findChildren<QDialog *>().size() + f.findChildren<QMainWindow *>().size() +
                     f.findChildren<TAbiNoteForm *>().size(),
                 2); // the information window and the document viewer
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
                                     u"&Hilfe,&Inhalt,&Prüfliste ...,-,&über ..."_s}));
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
        QTest::newRow("question with Abbrechen")
            << DialogKind::Confirmation << QList{DialogButton::Yes, DialogButton::No, DialogButton::Cancel}
            << u"4 Bestätigung &Abbrechen &Ja* &Nein"_s;
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

    // The cells of the obligations reminder go under their headings A, B and C, for any font.
    void tabColumns_data() {
        QTest::addColumn<int>("charWidth"); // a fixed width per character; 0: a real font
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("columns"); // per line, the column of each cell
        const QString reminder = u"A\t\tB\t\tC\n4xDE\t\t2xPO\t\t4xNW\n4xFremdsp.\t2xGE\t\t4xMA\n"
                                 u"2xKU o. 2xMU\t2xRE o. 2xWN"_s;
        const QString table = u"012 012 012 01"_s;
        QTest::newRow("narrow") << 5 << reminder << table;
        QTest::newRow("wide") << 11 << reminder << table;
        QTest::newRow("font") << 0 << reminder << table;
        QTest::newRow("gap") << 5 << u"A\tB\t\tC\n\tx\t\ty\nz"_s << u"012 12 0"_s;
        // No common distance: "x" would land between A and B; each cell its own column.
        QTest::newRow("none")
            << 5 << u"A\t\tB\nxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\tx"_s
            << u"01 01"_s;
    }

    void tabColumns() {
        QFETCH(int, charWidth);
        QFETCH(QString, text);
        QFETCH(QString, columns);
        const QFontMetrics metrics(QApplication::font());
        const auto width = [&](const QString &t) {
            return charWidth ? int(t.size()) * charWidth : metrics.horizontalAdvance(t);
        };
        QStringList shown;
        for (const QList<int> &row :
             TabColumns(text.split(u'\n'), width, charWidth ? charWidth : metrics.averageCharWidth())) {
            shown << QString();
            for (const int column : row)
                shown.last() += QString::number(column);
        }
        QCOMPARE(shown.join(u' '), columns);
    }

    // In the box the reminder's cells stand exactly under their headings, the text around the
    // table keeps its blanks and line breaks, and a text without TABs stays plain.
    void reminderLinesUp() {
        const QString text =
            u"Es fehlen folgende Kurse:\r2xPolitik \r\r\rBeachte die Belegungungsverpflichtungen:"
            u"\rA\t\tB\t\tC\r4xDE\t\t2xPO\t\t4xNW\r4xFremdsp.\t2xGE\t\t4xMA\r2xKU o. "
            u"2xMU\t2xRE o. 2xWN\r4xSP  Bei Sport-LK zus. 4xSportheorie\r\rBei Religion als "
            u"Prüf.-Fach gilt im Aufgabenfeld B : \r2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK\r"
            u"Informatik ist keine Naturwissenschaft"_s;
        QtDialogs dialogs;
        QString html;
        QVERIFY(duringModal(
            [&] {
                dialogs.ask({DialogKind::Error, u"Fehler"_s, text, {DialogButton::Cancel}});
            },
            [&](QWidget *widget) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                QVERIFY(box && box->textFormat() == Qt::RichText);
                html = box->text();
            }));
        QTextDocument document;
        document.setDefaultFont(QApplication::font());
        document.setHtml(html);
        QString plain = document.toPlainText();
        plain.replace(u'\n', u'|');
        QCOMPARE(
            plain,
            u"Es fehlen folgende Kurse:|2xPolitik |||Beachte die Belegungungsverpflichtungen:|A|B|C|4xDE|"
            u"2xPO|4xNW|4xFremdsp.|2xGE|4xMA|2xKU o. 2xMU|2xRE o. 2xWN||4xSP  Bei Sport-LK zus. "
            u"4xSportheorie||Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : |2xPO, 2xGE und 2xPO "
            u"oder 2xGE oder 2xEK|Informatik ist keine Naturwissenschaft"_s); // the table's end is a block of
                                                                              // its own
        document.documentLayout()->documentSize();                            // lays the whole document out
        const auto left = [&](const QString &cell) {
            const QTextCursor found =
                document.find(cell, 0, QTextDocument::FindCaseSensitively | QTextDocument::FindWholeWords);
            const QTextBlock block = found.block();
            const qreal blockLeft = document.documentLayout()->blockBoundingRect(block).left();
            const int at = found.selectionStart() - block.position();
            const QTextLine line = block.layout()->lineForTextPosition(at);
            return line.isValid() ? qRound(blockLeft + line.cursorToX(at)) : -1000;
        };
        const QStringList columns[] = {{u"A"_s, u"4xDE"_s, u"4xFremdsp."_s, u"2xKU o. 2xMU"_s},
                                       {u"B"_s, u"2xPO"_s, u"2xGE"_s, u"2xRE o. 2xWN"_s},
                                       {u"C"_s, u"4xNW"_s, u"4xMA"_s}};
        int previous = -1;
        for (const QStringList &column : columns) {
            for (const QString &cell : column)
                QCOMPARE(left(cell), left(column.first()));
            QVERIFY(left(column.first()) > previous);
            previous = left(column.first());
        }
    }

    // Every control of the main window and of the print form has a name for screen readers:
    // buttons their captions without "&", the fields their labels, the picture and the cells
    // what they stand for.
    void accessibleNames() {
        MainWindowFixture w;
        TMainForm &f = *w.form;
        w.grid().setCell(1, 1, u"Deutsch"_s);
        w.grid().setCell(2, 6, u" Mathe"_s);
        const auto name = [](QObject *object) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
            return face ? face->text(QAccessible::Name) : u"<none>"_s;
        };
        QStringList names;
        for (QWidget *control : std::initializer_list<QWidget *>{
                 f.B_Anleitung, f.B_AGF, f.B_Verordnung, f.B_Abinote, f.B_Hilfe, f.B_Testen, f.Image1,
                 f.StringGridView, f.PrintForm()->E_Nachname, f.PrintForm()->E_Vorname,
                 f.PrintForm()->E_Klasse, f.PrintForm()->E_Datum, f.PrintForm()->B_Print,
                 f.PrintForm()->B_Cancel})
            names << name(control);
        QAccessibleTableInterface *table =
            QAccessible::queryAccessibleInterface(f.StringGridView)->tableInterface();
        QVERIFY(table);
        for (const auto &[column, row] :
             {std::pair(1, 1), std::pair(2, 6), std::pair(4, 11), std::pair(0, 3), std::pair(3, 0)})
            names << table->cellAt(row, column)->text(QAccessible::Name);
        QCOMPARE(names, (QStringList{u"Anleitung"_s, u"Fächer"_s, u"Verordnung"_s, u"Abinote"_s, u"Hilfe"_s,
                                     u"Wahl testen"_s, u"Wahl o.k."_s, u"Kurse"_s, u"Nachname"_s,
                                     u"Vorname"_s, u"Klasse"_s, u"Geburtsdatum"_s, u"Drucken"_s,
                                     u"Abbrechen"_s, u"LK 1, 1. Semester: Deutsch"_s,
                                     u"GK 4, 2. Semester: Mathe (unbekanntes Fach)"_s,
                                     u"GK 9, 4. Semester: leer"_s, u"PK 3"_s, u"3. Semester"_s}));
    }

    // A data cell whose text is no subject is drawn red with a wavy line and explains itself in
    // its tooltip; subjects, blanks and the label cells are drawn as before. The cell's text
    // stays as typed.
    void unknownSubjectShown_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unknown");
        QTest::newRow("subject") << u"Deutsch"_s << false;
        QTest::newRow("blanks around a subject") << u"  Physik "_s << false;
        QTest::newRow("blanks only") << u"   "_s << false;
        QTest::newRow("lower case") << u"politik"_s << true;
        QTest::newRow("prefix") << u"Mathe"_s << true;
        QTest::newRow("far") << u"Quatsch"_s << true;
        QTest::newRow("unbekannt") << u"unbekannt"_s << true;
        QTest::newRow("markup") << u"<b>Bio</b>"_s << true;
    }

    void unknownSubjectShown() {
        QFETCH(QString, text);
        QFETCH(bool, unknown);
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        for (const QPalette &palette : {QApplication::palette(), dark}) {
            MainWindowFixture w;
            w.form->StringGridView->setPalette(palette);
            w.grid().setCell(2, 6, text);
            const QModelIndex cell = w.form->StringGridView->cellIndex(2, 6);
            const QString hint =
                u"Das Fach »"_s + text.trimmed() + u"« ist nicht bekannt."_s +
                (SuggestSubject(text).isEmpty() ? QString()
                                                : u"\nMeinst du »"_s + SuggestSubject(text) + u"«?"_s);
            QCOMPARE(cell.data(Qt::ToolTipRole).toString(),
                     unknown ? Qt::convertFromPlainText(hint, Qt::WhiteSpaceNoWrap) : QString());
            QCOMPARE(w.grid().cell(2, 6), text);
            // Red pixels in the cell, and below the text the wavy line.
            const QImage shot =
                w.form->StringGridView->viewport()->grab(w.form->StringGridView->visualRect(cell)).toImage();
            int red = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    red += c.red() > 150 && c.red() > c.green() + 60 && c.red() > c.blue() + 60;
                }
            QCOMPARE(red > 10, unknown);
        }
        MainWindowFixture w;
        w.grid().setCell(0, 6, u"Quatsch"_s); // a label cell is never marked
        QVERIFY(w.form->StringGridView->cellIndex(0, 6).data(Qt::ToolTipRole).isNull());
    }

    void fileFilters() {
        QCOMPARE(QtSystemDialogs::nameFilters(u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.*"_s),
                 QStringList({u"Fachlesedaten (*.fld)"_s, u"Alle Files(*.*)"_s}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
