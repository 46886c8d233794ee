#include "shell/qtdialogs.h"
#include "support/mainwindow.h"
#include "support/tables.h"

#include "rules/choicerules.h"
#include "shell/coursegridmodel.h"
#include "shell/griditemmodel.h"
#include "windows/abinote.h"
#include "windows/help.h"
#include "windows/info.h"
#include "windows/print.h"
#include "windows/pruefliste.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
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
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

using namespace Qt::StringLiterals;

// The main window at start-up, the Qt message dialogs, and entering subjects into its grid: the
// context menu, typing, the copy commands, and the item models the grid view shows.
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

    // A click on a cell makes it current and changes nothing.
    void clickChangesNothing() {
        MainWindowFixture w(true);
        w.grid().setCell(2, 6, u"Deutsch"_s);
        QTest::mouseClick(
            w.form->StringGridView->viewport(), Qt::LeftButton, {},
            w.form->StringGridView->visualRect(w.form->StringGridView->cellIndex(2, 6)).center());
        QCOMPARE(QString::number(w.form->Col() * 100 + w.form->Row()) + u' ' + w.row(6), u"206 |Deutsch||"_s);
    }

    // The menu opens on a data cell by right click, which makes it current, or on the current
    // cell (3, 7) by Shift+F10, also from the open editor, whose text goes into its cell first.
    // Each item works on the current cell and its row; a subject runs the auto-fill.
    void menuItems_data() {
        tables::addTextRows(u"gui/data/context-menu.tsv"_s, {"clickedColumn", "typed", "item", "after"});
    }

    void menuItems() {
        QFETCH(QString, clickedColumn);
        QFETCH(QString, typed);
        QFETCH(QString, item);
        QFETCH(QString, after);
        const int column = clickedColumn.toInt();
        MainWindowFixture w(true);
        for (int c = 1; c <= 4; ++c)
            w.grid().setCell(c, 7, QString(QChar(u'A' + c - 1)));
        w.form->setCurrentCell(column == 0 ? 3 : 1, column == 0 ? 7 : 1);
        w.type(typed);
        QCOMPARE(w.form->StringGridView->isEditing(), !typed.isEmpty());
        QWidget *viewport = w.form->StringGridView->viewport();
        const QPoint where =
            w.form->StringGridView->visualRect(w.form->StringGridView->cellIndex(qMax(column, 0), 7))
                .center();
        const bool opened = duringModal(
            [&] {
                if (column == 0)
                    return QTest::keyClick(w.form->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
                QContextMenuEvent event(QContextMenuEvent::Mouse, where, viewport->mapToGlobal(where));
                QApplication::sendEvent(viewport, &event);
            },
            [&](QWidget *) {
                if (QAction *action = w.form->PopupMenu1->findChild<QAction *>(item))
                    action->trigger();
            });
        QCOMPARE(opened, column >= 0);
        QVERIFY(!w.form->StringGridView->isEditing() && w.dialogs.entries.isEmpty());
        QCOMPARE(w.row(7), after);
    }

    // Every keystroke goes into the cell and runs the auto-fill; so does closing the editor,
    // by Return or by moving down, for the edited cell even when another one has become
    // current: Mathematik, standing in GK 6 of semester 1 only, is never filled across.
    void typing() {
        MainWindowFixture w(true);
        w.grid().setCell(1, 8, u"Mathematik"_s);
        w.form->setCurrentCell(1, 6);
        // clang-format off
        const QStringList steps = { // keys, then rows 6 and 7 after them
            u"Deutsc"_s, u"Deutsc||| |||"_s,
            u"h"_s, u"Deutsch|Deutsch|Deutsch|Deutsch |||"_s,
            u"xy\n"_s, u"Deutschxy|Deutsch|Deutsch|Deutsch |||"_s,
            u"↓Kunst↓"_s, u"Deutschxy|Deutsch|Deutsch|Deutsch Kunst|||"_s};
        // clang-format on
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2) {
            w.type(steps[i]);
            QCOMPARE(w.row(6) + u' ' + w.row(7), steps[i + 1]);
        }
        QVERIFY(!w.form->StringGridView->isEditing());
        QCOMPARE(w.row(8), u"Mathematik|||"_s);
        // A subject from the menu goes into the current cell, not into the one typed into.
        w.form->setCurrentCell(2, 9);
        w.form->SubjectItems[21]->trigger();
        QCOMPARE(w.grid().cell(2, 9) + u' ' + w.row(7), u"Sport-Theorie Kunst|||"_s);
    }

    // The item models over the plain grid: Qt's model checks on both, and the adapter's
    // notifications and editing.
    void itemModels() {
        GridModel grid;
        CourseGridModel shown(&grid);
        auto *adapter = qobject_cast<GridItemModel *>(shown.sourceModel());
        QVERIFY(adapter && adapter->grid() == &grid);
        QAbstractItemModelTester adapterTester(adapter,
                                               QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester shownTester(&shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(adapter, &QAbstractItemModel::dataChanged);
        QSignalSpy cells(&grid, &GridModel::cellChanged);

        grid.setCell(0, 1, u"LK 1"_s);
        grid.setCell(2, 3, u"Mathe"_s);
        grid.setCell(2, 3, u"Mathe"_s);    // unchanged: no notification
        grid.setCell(4, 12, u"Deutsch"_s); // the spare row is not shown
        grid.setCell(5, 1, u"x"_s);        // outside the store
        QCOMPARE(cells.size(), 3);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex(), adapter->index(3, 2));
        QCOMPARE(changed.at(1).at(2).value<QList<int>>(), (QList<int>{Qt::DisplayRole, Qt::EditRole}));

        QCOMPARE(shown.rowCount(), GridModel::kDisplayedRows);
        QCOMPARE(shown.columnCount(), GridModel::kColumns);
        QCOMPARE(shown.data(shown.index(3, 2)).toString(), u"Mathe"_s);
        QCOMPARE(shown.flags(shown.index(0, 1)), Qt::NoItemFlags);
        QVERIFY(shown.flags(shown.index(11, 4)) & Qt::ItemIsEditable);
        QVERIFY(!shown.setData(shown.index(1, 0), u"x"_s)); // a label
        QVERIFY(!shown.setData(shown.index(1, 1), u"x"_s, Qt::DisplayRole));
        QVERIFY(shown.setData(shown.index(11, 4), u"Kunst"_s));
        QCOMPARE(grid.cell(4, 11), u"Kunst"_s);
        QCOMPARE(grid.cell(4, 12), u"Deutsch"_s);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
