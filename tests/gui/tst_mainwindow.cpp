#include "shell/qtdialogs.h"
#include "support/mainwindow.h"
#include "support/tables.h"

#include "rules/choicerules.h"
#include "shell/coursegridmodel.h"
#include "windows/abinote.h"
#include "windows/help.h"
#include "windows/info.h"
#include "windows/print.h"
#include "windows/pruefliste.h"

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
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

using namespace Qt::StringLiterals;

// The main window at start-up, its close question, and the Qt message dialogs.
class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // The first show brings the information window up modally, once: minimise and restore bring
    // no second one. Start-up asks the print system nothing: neither the print plugin nor the
    // printing library is loaded by the time the main window and the information window are up,
    // and only the information window is built of the side windows. (First in this program, so
    // that nothing before it has printed.)
    void firstShow() {
        MainWindowFixture w;
        TMainForm &f = *w.form;
        f.FirstShowPending = true;
        QVERIFY(f.Image1->pixmap().isNull() && QApplication::windowIcon().isNull()); // drawn later
        QVERIFY(duringModal(
            [&] {
                f.show();
                QVERIFY(QTest::qWaitFor([&] { return !f.FirstShowPending; }, 10000));
            },
            [&](QWidget *shown) { QCOMPARE(shown, f.InfoForm()); }));
        QVERIFY(!duringModal([&] {
            f.showMinimized();
            f.showNormal();
            f.FormShow(); // the handler of every show
            QTest::qWait(50);
        }));
        QVERIFY(f.InfoForm()->isHidden());
        f.B_VerordnungClick(); // the document viewer has a printer of its own, made when printing
#ifdef Q_OS_LINUX
        QFile maps(u"/proc/self/maps"_s);
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray loaded = maps.readAll();
        QVERIFY(loaded.contains("libQt6Widgets"));
        QVERIFY2(!loaded.contains("printsupport/") && !loaded.contains("libcups"), loaded.constData());
#endif
        // The icon of the windows, drawn once the main window was shown, in its three sizes.
        QVERIFY(QTest::qWaitFor([] { return !QApplication::windowIcon().isNull(); }, 5000));
        QCOMPARE(QApplication::windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        QCOMPARE(f.findChildren<QDialog *>().size() + f.findChildren<QMainWindow *>().size() +
                     f.findChildren<TAbiNoteForm *>().size(),
                 2); // the information window and the document viewer
    }

    // The state at start, and what the window shows (data/main-window.txt): caption, labels,
    // the buttons' texts and tool tips, the menus and the grid's context menu, and for every
    // control of the main window and the print form and for some cells the name screen readers
    // get: buttons their captions without "&", the fields their labels, the picture, the
    // viewer's text and the cells what they stand for, the headers semester and row, the
    // Abitur result its label. The side windows are announced as windows.
    void startState() {
        MainWindowFixture w;
        TMainForm &f = *w.form;
        QVERIFY(!f.Speichern->isEnabled() && f.Image1->isHidden() && !f.Test.ChoiceTested &&
                f.CurrentFileName.isEmpty() && w.closesWithoutQuestion() && f.Timer1->isActive() &&
                f.Timer1->interval() == 1000 && f.B_Testen->font().bold());
        w.grid().setCell(1, 1, u"Deutsch"_s);
        w.grid().setCell(2, 6, u" Mathe"_s);
        const auto name = [](QObject *object) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
            return face ? face->text(QAccessible::Name) : u"<none>"_s;
        };
        QStringList shown = {f.windowTitle() + u'|' + f.StringGridBox->title(),
                             w.grid().cell(0, 0) + w.grid().cell(1, 0) + w.grid().cell(0, 1) +
                                 w.grid().cell(0, 11)};
        for (QWidget *control : std::initializer_list<QWidget *>{
                 f.B_Anleitung, f.B_AGF, f.B_Verordnung, f.B_Abinote, f.B_Hilfe, f.B_Testen, f.Image1,
                 f.StringGridView, f.PrintForm()->E_Nachname, f.PrintForm()->E_Vorname,
                 f.PrintForm()->E_Klasse, f.PrintForm()->E_Datum, f.PrintForm()->B_Print,
                 f.PrintForm()->B_Cancel, f.HelpForm()->RichEdit1}) {
            const auto *button = qobject_cast<QAbstractButton *>(control);
            shown << (button ? button->text() + u'|' + button->toolTip() + u'|' : QString()) + name(control);
        }
        QAccessibleTableInterface *table =
            QAccessible::queryAccessibleInterface(f.StringGridView)->tableInterface();
        QVERIFY(table);
        for (const auto &[column, row] :
             {std::pair(1, 1), std::pair(2, 6), std::pair(4, 11), std::pair(0, 3), std::pair(3, 0)})
            shown << table->cellAt(row, column)->text(QAccessible::Name);
        QAccessibleTableCellInterface *cell = table->cellAt(3, 2)->tableCellInterface();
        shown << cell->columnHeaderCells().value(0)->text(QAccessible::Name) + u'|' +
                     cell->rowHeaderCells().value(0)->text(QAccessible::Name);
        const QAccessibleInterface *result = QAccessible::queryAccessibleInterface(f.AbiNoteForm()->L_GK);
        shown << result->relations(QAccessible::Label).value(0).first->text(QAccessible::Name);
        for (QWidget *window : std::initializer_list<QWidget *>{f.PrueflisteForm(), f.AbiNoteForm()})
            QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
        for (const QAction *top : f.menuBar()->actions() + f.PopupMenu1->actions()) {
            shown << top->text();
            for (const QAction *item : top->menu() ? top->menu()->actions() : QList<QAction *>())
                shown.last() += u',' + (item->isSeparator() ? u"-"_s : item->text());
        }
        const QByteArray texts = (shown.join(u'\n') + u'\n').toUtf8();
        QCOMPARE(texts, tables::golden(u"gui/data/main-window.txt"_s, texts));
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

    // The cells of the obligations reminder go under their headings A, B and C, for any font
    // (data/tab-columns.tsv).
    void tabColumns_data() {
        tables::addTextRows(u"gui/data/tab-columns.tsv"_s, {"perChar", "text", "columns"});
    }

    void tabColumns() {
        QFETCH(QString, perChar);
        QFETCH(QString, text);
        QFETCH(QString, columns);
        const int charWidth = perChar.toInt();
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
        const QString text = ChoiceRules::MissingObligationsMessage({{u"1"_s, false, u"2xPolitik "_s, 2}});
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
        // Each line and each run of TABs ends a block; so does the table.
        QCOMPARE(plain,
                 QString(text).replace(QRegularExpression(u"\t+|\r"_s), u"|"_s).replace(u"WN|"_s, u"WN||"_s));
        document.documentLayout()->documentSize(); // lays the whole document out
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

    // A data cell whose text is no subject is drawn red with a wavy line and explains itself in
    // its tooltip; subjects, blanks and the label cells are drawn as before. The cell's text
    // stays as typed.
    void unknownSubjectShown_data() {
        tables::addTextRows(u"gui/data/unknown-subjects.tsv"_s, {"text", "hint"});
    }

    void unknownSubjectShown() {
        QFETCH(QString, text);
        QFETCH(QString, hint);
        const bool unknown = !hint.isEmpty();
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        for (const QPalette &palette : {QApplication::palette(), dark}) {
            MainWindowFixture w;
            w.form->StringGridView->setPalette(palette);
            w.grid().setCell(2, 6, text);
            const QModelIndex cell = w.form->StringGridView->cellIndex(2, 6);
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
