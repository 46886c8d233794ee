// The save questions, the overwrite question, the printed sheet's fields and date, saving what
// cannot be kept, names that are no text, and the windows' keys and names for screen readers.

#include "rules/datafile.h"
#include "sheet/sheetlayout.h"
#include "shell/commandline.h"
#include "shell/qtdialogs.h"
#include "support/choices.h"
#include "support/mainwindow.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/help.h"
#include "windows/print.h"
#include "windows/pruefliste.h"

#include <QAccessible>
#include <QAction>
#include <QItemSelectionModel>
#include <QTableWidget>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The words of a PDF as `pdftotext -bbox` finds them: text, left and right in points.
QList<std::tuple<QString, double, double>> pdfWords(const QString &pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    static const QRegularExpression word(uR"re(<word xMin="([\d.]+)" [^>]*xMax="([\d.]+)"[^>]*>([^<]*)</word>)re"_s);
    QList<std::tuple<QString, double, double>> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(QString::fromUtf8(process.readAllStandardOutput())))
        words.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    return words;
}
} // namespace

class TestMends : public QObject {
    Q_OBJECT

private slots:
    // "&Ja" saves as "&Speichern" does (or "Speichern unter..." without a name) and then goes
    // on; a cancelled save dialog or a failed write keep the window and the grid.
    void saveFirst_data() {
        QTest::addColumn<QString>("command"); // close, neu, oeffnen
        QTest::addColumn<bool>("named");      // a file name is current
        QTest::addColumn<QString>("save");    // ok, cancel, fail
        for (const QString &command : {u"close"_s, u"neu"_s, u"oeffnen"_s}) {
            for (const QString &save : {u"ok"_s, u"cancel"_s, u"fail"_s}) {
                QTest::addRow("%s, unnamed, %s", qPrintable(command), qPrintable(save)) << command << false << save;
                if (save != u"cancel")
                    QTest::addRow("%s, named, %s", qPrintable(command), qPrintable(save)) << command << true << save;
            }
        }
    }

    void saveFirst() {
        QFETCH(QString, command);
        QFETCH(bool, named);
        QFETCH(QString, save);
        QTemporaryDir dir;
        const QString target = dir.filePath(u"wahl.fld"_s), other = dir.filePath(u"andere.fld"_s);
        QVERIFY(writeFile(other, "Fachlese\r\nMusik\r\n"));
        MainWindowFixture w;
        w.form->show();
        if (named) {
            w.system.fileAnswers << target;
            w.form->Speichernunter1Click();
            if (save == u"fail")
                QVERIFY(::chmod(QFile::encodeName(target).constData(), 0444) == 0);
        }
        const QByteArray before = bytesOf(target);
        w.grid().setCell(1, 1, u"Deutsch"_s);
        if (!named)
            w.system.fileAnswers << (save == u"ok" ? target : save == u"fail" ? dir.filePath(u"fehlt/x.fld"_s) : QString());
        w.system.fileAnswers << other; // for "Öffnen"
        w.dialogs.answers << DialogButton::Yes;
        if (command == u"close")
            w.form->Beenden->trigger();
        else if (command == u"neu")
            w.form->NeuClick();
        else
            w.form->OeffnenClick();

        const bool saved = save == u"ok";
        QCOMPARE(bytesOf(target).contains("Deutsch\t"), saved);
        if (!saved)
            QCOMPARE(bytesOf(target), before);
        const QString cell = w.grid().cell(1, 1);
        const bool wentOn = command == u"close" ? !w.form->isVisible()
                            : command == u"neu" ? cell.isEmpty()
                                                : w.row(1) == u"|||Musik"_s;
        QCOMPARE(wentOn, saved);
        QCOMPARE(w.dialogs.entries.size(), save == u"fail" ? 2 : 1); // the question, the error
        QCOMPARE(w.system.fileRequests.size() - named, (named ? 0 : 1) + (command == u"oeffnen" && saved));
    }

    // The save dialog asks before it replaces a file; "No" leaves the dialog open.
    void overwriteQuestion_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("Ja") << true;
        QTest::newRow("Nein") << false;
    }

    void overwriteQuestion() {
        QFETCH(bool, replace);
        QTemporaryDir dir;
        const QString existing = dir.filePath(u"anna.fld"_s);
        QVERIFY(writeFile(existing, "Fachlese\r\n"));
        QtSystemDialogs dialogs;
        QString chosen = u"<none>"_s, asked;
        QVERIFY(duringModal([&] { chosen = dialogs.saveFileName(u"Fachlesedaten (*.fld)|*.fld"_s, u"fld"_s, existing); },
                            [&](QWidget *widget) {
                                auto *fileDialog = qobject_cast<QFileDialog *>(widget);
                                QVERIFY(fileDialog);
                                QTimer::singleShot(0, [&] {
                                    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                                    QVERIFY(box);
                                    asked = box->text();
                                    box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
                                });
                                static_cast<QDialog *>(fileDialog)->accept(); // with its checks
                                if (fileDialog->isVisible())
                                    fileDialog->reject();
                            }));
        QVERIFY2(asked.contains(u"anna.fld"_s), qPrintable(asked));
        QCOMPARE(chosen, replace ? existing : QString());
    }

    // Each field of the print form, at its longest and of the widest letter, ends within its
    // place on the sheet: the class before "Geburtsdatum", the others before the right margin;
    // the date is German whatever the locale (the tests run under C.UTF-8).
    void sheetFieldsFit_data() {
        QTest::addColumn<int>("field"); // 0 Nachname, 1 Vorname, 2 Klasse, 3 Geburtsdatum
        QTest::addColumn<int>("right"); // the end of its place in 0.1 mm
        QTest::newRow("Nachname") << 0 << 1850;
        QTest::newRow("Vorname") << 1 << 1850;
        QTest::newRow("Klasse") << 2 << 670;
        QTest::newRow("Geburtsdatum") << 3 << 1850;
    }

    void sheetFieldsFit() {
        QFETCH(int, field);
        QFETCH(int, right);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"bogen.pdf"_s);
        MainWindowFixture w;
        choices::fill(w.grid(), choices::validChoice());
        TPrintForm &print = *w.form->PrintForm();
        const QList<QLineEdit *> edits = {print.E_Nachname, print.E_Vorname, print.E_Klasse, print.E_Datum};
        for (QLineEdit *edit : edits)
            edit->setText(u"x"_s);
        edits[field]->setText(QString(1000, u'W'));
        QCOMPARE(edits[field]->text().size(), field < 2 ? 40 : 20);
        w.form->Printer().setOutputFileName(pdf);
        QVERIFY(print.PrintSheet());
        const QRectF area = w.form->Printer().pageLayout().paintRect(QPageLayout::Point);
        const double points = 72.0 / 254.0;
        bool found = false, dated = false;
        for (const auto &[text, left, end] : pdfWords(pdf)) {
            dated = dated || text == SheetDate(QDate::currentDate());
            if (!text.startsWith(u"WWW"))
                continue;
            found = true;
            QCOMPARE(text, edits[field]->text());
            QVERIFY2(end <= area.left() + right * points + 0.5, qPrintable(u"%1 > %2"_s.arg(end).arg(right)));
        }
        QVERIFY(found && dated);
        QCOMPARE(SheetDate(QDate(2026, 12, 7)), u"07.12.2026"_s);
    }

    // An untested choice never prints the verdict of a tested one.
    void untestedSheet() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"bogen.pdf"_s);
        MainWindowFixture w;
        choices::fill(w.grid(), choices::validChoice());
        w.form->Test.ChoiceTested = false;
        w.form->Printer().setOutputFileName(pdf);
        QVERIFY(w.form->PrintForm()->PrintSheet());
        QStringList words;
        for (const auto &word : pdfWords(pdf))
            words << std::get<0>(word);
        QVERIFY(words.contains(u"ACHTUNG!"_s) && !words.contains(u"o.k."_s));
    }

    // "Drucken" needs all four fields, the birth date too; Enter then prints.
    void printKeys() {
        QTemporaryDir dir;
        MainWindowFixture w;
        choices::fill(w.grid(), choices::validChoice());
        TPrintForm &print = *w.form->PrintForm();
        w.form->Printer().setOutputFileName(dir.filePath(u"bogen.pdf"_s));
        print.show();
        QVERIFY(QTest::qWaitForWindowActive(&print));
        print.E_Nachname->setText(u"Muster"_s);
        print.E_Vorname->setText(u"Anna"_s);
        print.E_Klasse->setText(u"12b"_s);
        QVERIFY(!print.B_Print->isEnabled());
        QTest::keyClick(print.E_Klasse, Qt::Key_Return);
        QVERIFY(print.isVisible() && w.dialogs.entries.isEmpty());
        print.E_Datum->setText(u"1.2.2009"_s);
        QVERIFY(print.B_Print->isEnabled());
        QTest::keyClick(print.E_Datum, Qt::Key_Return);
        QVERIFY(!print.isVisible());
        QVERIFY(w.shown().value(0).startsWith(u"information|Information|Der Fachlesebogen wurde als PDF"_s));
    }

    // Saving refuses a symbolic link that leads to itself and a file without any write
    // permission, also for root; both stay as they were.
    void saveRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to itself") << u"loop"_s;
        QTest::newRow("no write permission") << u"readonly"_s;
        QTest::newRow("writable") << u"file"_s;
    }

    void saveRefused() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"wahl.fld"_s);
        const QByteArray name = QFile::encodeName(path);
        if (kind == u"loop")
            QVERIFY(::symlink(name.constData(), name.constData()) == 0);
        else
            QVERIFY(writeFile(path, "vorher") && ::chmod(name.constData(), kind == u"file" ? 0644 : 0444) == 0);
        GridModel grid;
        grid.setCell(1, 1, u"Deutsch"_s);
        const DataFileWriteStatus status = SaveDataFile(path, grid).status;
        QCOMPARE(status, kind == u"file" ? DataFileWriteStatus::Ok : DataFileWriteStatus::Failed);
        if (kind == u"loop")
            QCOMPARE(QFileInfo(path).symLinkTarget(), QFileInfo(path).absoluteFilePath());
        else
            QCOMPARE(bytesOf(path), kind == u"file" ? EncodeDataFile(grid) : QByteArray("vorher"));
    }

    // A name given by bytes that are no UTF-8 opens by them; "Speichern" then asks for a name.
    void nonTextName() {
        QTemporaryDir dir;
        const QByteArray native = QFile::encodeName(dir.path()) + "/M\xFCller.fld";
        QFile file(QFile::decodeName(native));
        {
            const int fd = ::open(native.constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY(fd >= 0);
            const QByteArray bytes = "Fachlese\r\nLatein\r\n";
            QVERIFY(::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
            ::close(fd);
        }
        QByteArray program = "fachlese", option = "--", argument = "M\xFCller.fld";
        char *argv[] = {program.data(), option.data(), argument.data()};
        const CommandLine line = ParseCommandLine({u"--"_s, QString::fromLocal8Bit(argument)});
        QCOMPARE(NativeArgument(3, argv, line.file), argument);
        MainWindowFixture w;
        w.form->OpenDataFile(QFile::decodeName(native), native);
        QVERIFY(w.dialogs.entries.isEmpty());
        QCOMPARE(w.grid().cell(4, 1), u"Latein"_s);
        QVERIFY(w.form->CurrentFileName.isEmpty() && !w.form->Speichern->isEnabled());
        QVERIFY(w.captionTail().startsWith(u"M"_s));
    }

    // The viewer's own messages come up over the viewer, not over the main window.
    void viewerMessageOwner() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        QtDialogs dialogs;
        ScriptedSystemDialogs system;
        QWidget main;
        dialogs.setParent(&main);
        main.show();
        THelpForm help(dialogs, system, &main);
        help.ShowDocument(u"Hilfe"_s, u"Hilfe.rtf"_s, true);
        help.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        help.Edit1->setText(u"kein solches Wort xyz"_s);
        QWidget *owner = nullptr;
        QVERIFY(duringModal([&] { help.Button1Click(); }, [&](QWidget *box) { owner = box->parentWidget(); }));
        QCOMPARE(owner, &help);
    }

    // Escape closes the side windows; an open cell editor takes it first.
    void escapeCloses() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        MainWindowFixture w(true);
        w.form->B_AGFClick();
        w.form->PrueflisteClick();
        w.form->B_HilfeClick();
        w.dialogs.answers << DialogButton::Yes;
        w.form->B_AbinoteClick();
        const QList<QWidget *> windows = {w.form->AGFForm(), w.form->PrueflisteForm(), w.form->HelpForm(),
                                          w.form->AbiNoteForm()};
        for (QWidget *window : windows) {
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
            QVERIFY2(window->isHidden(), window->metaObject()->className());
        }
    }

    // Screen readers: the viewer's text has a name, the side windows are windows, the Abitur
    // result is labelled "Punkte", and the grid's headers name semesters and rows.
    void accessibleNames() {
        MainWindowFixture w;
        QCOMPARE(QAccessible::queryAccessibleInterface(w.form->HelpForm()->RichEdit1)->text(QAccessible::Name),
                 u"Dokument"_s);
        for (QWidget *window : {static_cast<QWidget *>(w.form->PrueflisteForm()),
                                static_cast<QWidget *>(w.form->AbiNoteForm())})
            QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
        QAccessibleInterface *result = QAccessible::queryAccessibleInterface(w.form->AbiNoteForm()->L_GK);
        QStringList labels;
        for (const auto &[label, relation] : result->relations(QAccessible::Label))
            labels << label->text(QAccessible::Name);
        QVERIFY2(labels.contains(u"Punkte"_s), qPrintable(labels.join(u'|')));
        QAccessibleTableInterface *table =
            QAccessible::queryAccessibleInterface(w.form->StringGridView)->tableInterface();
        QAccessibleTableCellInterface *cell = table->cellAt(3, 2)->tableCellInterface();
        QCOMPARE(cell->columnHeaderCells().value(0)->text(QAccessible::Name), u"2. Semester"_s);
        QCOMPARE(cell->rowHeaderCells().value(0)->text(QAccessible::Name), u"PK 3"_s);
    }

    // Tab on the last Abitur cell goes to the first, Shift+Tab on the first to the last.
    void abiturTabWraps() {
        TAbiNoteForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.SG_GK->setFocus();
        form.SG_GK->setCurrentCell(1, 22);
        QTest::keyClick(form.SG_GK, Qt::Key_Tab);
        const int afterTab = form.SG_GK->currentColumn();
        QTest::keyClick(form.SG_GK, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(afterTab * 100 + form.SG_GK->currentColumn(), 122);
    }

    // A note alone leaves "Alle Regeln sind erfüllt." on top; violations come before notes; an
    // examination rule leads to the four examination rows of semester 1.
    void pruefliste() {
        MainWindowFixture w;
        w.form->Timer1->stop();
        choices::fill(w.grid(), choices::validChoice());
        for (int s = 1; s <= 4; ++s)
            w.grid().setCell(s, 10, u"Physik"_s); // a repeated course: a note
        w.form->PrueflisteClick();
        TPruefListeForm &form = *w.form->PrueflisteForm();
        QCOMPARE(form.Lines().size(), 2);
        QCOMPARE(form.Lines().value(0), TPruefListeForm::kAllFulfilled);
        w.grid().setCell(2, 6, u"Mathe"_s);
        QCOMPARE(form.ListBox1->item(0)->text().at(0), QChar(0x2716));
        QCOMPARE(form.ListBox1->item(form.ListBox1->count() - 1)->text().at(0), QChar(0x2139));
        w.grid().setCell(2, 6, u"Sport"_s);
        for (int s = 1; s <= 4; ++s)
            w.grid().setCell(s, 3, u"Sport"_s); // Sport as PK 3 breaks an examination rule
        const int rule = int(form.Lines().indexOf(u"SPORT kann nicht drittes Prüfungsfach sein."_s));
        QVERIFY2(rule >= 0, qPrintable(form.Lines().join(u'\n')));
        emit form.ListBox1->itemActivated(form.ListBox1->item(rule));
        QCOMPARE(w.form->StringGridView->selectionModel()->selectedIndexes().size(), 4);
    }

    // Every subject item enters its subject, Sport-Theorie too; a cell typed into earlier is
    // no longer the one that menu picks go to.
    void menuPicks() {
        MainWindowFixture w(true);
        w.form->setCurrentCell(1, 5);
        w.type(u"Kun\n"_s);
        QCOMPARE(w.grid().cell(1, 5), u"Kun"_s);
        w.form->setCurrentCell(2, 7);
        w.form->SubjectItems[21]->trigger();
        QCOMPARE(w.grid().cell(2, 7) + u'|' + w.grid().cell(1, 5), u"Sport-Theorie|Kun"_s);
    }
};

QTEST_MAIN(TestMends)
#include "tst_mends.moc"
