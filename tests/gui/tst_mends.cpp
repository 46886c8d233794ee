// The save questions, the overwrite question, the printed sheet's fields and date, saving what
// cannot be kept, names that are no text, and the windows' keys and names for screen readers.

#include "rules/datafile.h"
#include "shell/commandline.h"
#include "shell/qtdialogs.h"
#include "support/choices.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/mainwindow.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/help.h"
#include "windows/print.h"
#include "windows/pruefliste.h"

#include <QAccessible>
#include <QAction>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// Writes a file named by its bytes.
bool writeFile(const QByteArray &path, const QByteArray &bytes) {
    std::FILE *file = std::fopen(path.constData(), "wb");
    const bool written = file && std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
    return file && std::fclose(file) == 0 && written;
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
        for (const QString &command : {u"close"_s, u"neu"_s, u"oeffnen"_s})
            for (const QString &save : {u"ok"_s, u"cancel"_s, u"fail"_s})
                for (const bool named : {false, true})
                    if (!named || save != u"cancel")
                        QTest::addRow("%s %d %s", qPrintable(command), named, qPrintable(save))
                            << command << named << save;
    }

    void saveFirst() {
        QFETCH(QString, command);
        QFETCH(bool, named);
        QFETCH(QString, save);
        QTemporaryDir dir;
        const QString target = dir.filePath(u"wahl.fld"_s), other = dir.filePath(u"andere.fld"_s);
        QVERIFY(writeFile(QFile::encodeName(other), "Fachlese\r\nMusik\r\n"));
        MainWindowFixture w;
        w.form->show();
        if (named) {
            w.system.fileAnswers << target;
            w.form->Speichernunter1Click();
            QVERIFY(save != u"fail" || QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadOther));
        } else {
            w.system.fileAnswers << (save == u"ok" ? target : save == u"fail" ? dir.filePath(u"x/y"_s) : QString());
        }
        const QByteArray before = fileBytes(target);
        w.grid().setCell(1, 1, u"Deutsch"_s);
        w.system.fileAnswers << other; // for "Öffnen"
        w.dialogs.answers << DialogButton::Yes;
        command == u"close" ? w.form->Beenden->trigger() : command == u"neu" ? w.form->NeuClick() : w.form->OeffnenClick();
        const bool saved = save == u"ok";
        QCOMPARE(fileBytes(target) == before, !saved);
        QCOMPARE(fileBytes(target).contains("Deutsch\t"), saved);
        const bool wentOn = command == u"close" ? !w.form->isVisible()
                            : command == u"neu" ? w.row(1) == u"|||"_s
                                                : w.row(1) == u"|||Musik"_s;
        QCOMPARE(wentOn, saved);
        QCOMPARE(w.dialogs.entries.size(), save == u"fail" ? 2 : 1); // the question, the error
    }

    // The save dialog asks before it replaces a file; "No" leaves the dialog open.
    void overwriteQuestion() {
        QTemporaryDir dir;
        const QString existing = dir.filePath(u"anna.fld"_s);
        QVERIFY(writeFile(QFile::encodeName(existing), "Fachlese\r\n"));
        QtSystemDialogs dialogs;
        for (const bool replace : {false, true}) {
            QString chosen = u"<none>"_s, asked;
            duringModal([&] { chosen = dialogs.saveFileName(u"Fachlesedaten (*.fld)|*.fld"_s, u"fld"_s, existing); },
                        [&](QWidget *fileDialog) {
                            QTimer::singleShot(0, [&] {
                                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                                asked = box->text();
                                box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
                            });
                            qobject_cast<QDialog *>(fileDialog)->accept(); // with the dialog's checks
                        });
            QVERIFY2(asked.contains(u"anna.fld"_s), qPrintable(asked));
            QCOMPARE(chosen, replace ? existing : QString());
        }
    }

    // Each field of the print form, at its longest and of the widest letter, ends within its
    // place: the class before "Geburtsdatum", the others before the right margin. The date is
    // German whatever the locale (the tests run under C.UTF-8); an untested choice says so.
    void sheetFieldsFit() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"bogen.pdf"_s);
        MainWindowFixture w;
        choices::fill(w.grid(), choices::validChoice());
        TPrintForm &print = *w.form->PrintForm();
        const QList<QLineEdit *> edits = {print.E_Nachname, print.E_Vorname, print.E_Klasse, print.E_Datum};
        const int rights[] = {1850, 1850, 670, 1850};
        w.form->Printer().setOutputFileName(pdf);
        const double points = 72.0 / 254.0;
        for (int field = 0; field < 4; ++field) {
            for (QLineEdit *edit : edits)
                edit->setText(edit == edits[field] ? QString(100, QChar(u'W' + field)) : u"x"_s);
            QCOMPARE(edits[field]->text().size(), field < 2 ? 40 : 20);
            QVERIFY(print.PrintSheet());
            QProcess process;
            process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
            QVERIFY(process.waitForFinished(30000));
            const QString words = QString::fromUtf8(process.readAllStandardOutput());
            const QRegularExpressionMatch end =
                QRegularExpression(u"xMax=\"([\\d.]+)\"[^>]*>"_s + edits[field]->text() + u"<"_s).match(words);
            QVERIFY2(end.hasMatch(), qPrintable(words));
            const double right = w.form->Printer().pageLayout().paintRect(QPageLayout::Point).left() + rights[field] * points;
            QVERIFY2(end.captured(1).toDouble() <= right + 0.5, qPrintable(end.captured(1)));
            QVERIFY(words.contains(u'>' + SheetDate(QDate::currentDate()) + u'<'));
            QVERIFY(words.contains(u">ACHTUNG!<"_s) && !words.contains(u">o.k.<"_s));
        }
        QCOMPARE(SheetDate(QDate(2026, 12, 7)), u"07.12.2026"_s);
    }

    // "Drucken" needs all four fields, the birth date too; Enter then prints.
    void printKeys() {
        QTemporaryDir dir;
        MainWindowFixture w;
        choices::fill(w.grid(), choices::validChoice());
        TPrintForm &print = *w.form->PrintForm();
        w.form->Printer().setOutputFileName(dir.filePath(u"bogen.pdf"_s));
        print.show();
        for (QLineEdit *edit : {print.E_Nachname, print.E_Vorname, print.E_Klasse})
            edit->setText(u"x"_s);
        QTest::keyClick(print.E_Klasse, Qt::Key_Return);
        QVERIFY(!print.B_Print->isEnabled() && print.isVisible());
        print.E_Datum->setText(u"1.2.2009"_s);
        QTest::keyClick(print.E_Datum, Qt::Key_Return);
        QVERIFY(!print.isVisible() && w.shown().value(0).contains(u"als PDF-Datei gespeichert"_s));
    }

    // Saving refuses a symbolic link that leads to itself and a file without any write
    // permission, also for root; both stay as they were.
    void saveRefused() {
        QTemporaryDir dir;
        const QByteArray loop = QFile::encodeName(dir.filePath(u"kreis.fld"_s)),
                         locked = QFile::encodeName(dir.filePath(u"fest.fld"_s));
        QVERIFY(symlink(loop.constData(), loop.constData()) == 0);
        QVERIFY(writeFile(locked, "vorher") &&
                QFile::setPermissions(QFile::decodeName(locked), QFile::ReadOwner | QFile::ReadOther));
        GridModel grid;
        for (const QByteArray &path : {loop, locked})
            QCOMPARE(SaveDataFile(QFile::decodeName(path), grid).status, DataFileWriteStatus::Failed);
        QCOMPARE(QFile::symLinkTarget(QFile::decodeName(loop)), QFile::decodeName(loop));
        QCOMPARE(fileBytes(QFile::decodeName(locked)), QByteArray("vorher"));
    }

    // A name given by bytes that are no UTF-8 opens by them; "Speichern" then asks for a name.
    void nonTextName() {
        QTemporaryDir dir;
        QByteArray program = "fachlese", argument = QFile::encodeName(dir.path()) + "/M\xFC.fld";
        QVERIFY(writeFile(argument, "Fachlese\r\nLatein\r\n") && QFile::exists(QFile::decodeName(argument)) == false);
        char *argv[] = {program.data(), argument.data()};
        const QString decoded = ParseCommandLine({QString::fromLocal8Bit(argument)}).file;
        QCOMPARE(NativeArgument(2, argv, decoded), argument);
        MainWindowFixture w;
        w.form->OpenDataFile(decoded, argument);
        QVERIFY(w.dialogs.entries.isEmpty() && w.row(1) == u"|||Latein"_s);
        QVERIFY(w.form->CurrentFileName.isEmpty() && !w.form->Speichern->isEnabled());
    }

    // The viewer's own messages come up over the viewer, not over the main window.
    void viewerMessageOwner() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        QtDialogs dialogs;
        ScriptedSystemDialogs system;
        QWidget main;
        dialogs.setParent(&main);
        THelpForm help(dialogs, system, &main);
        help.ShowDocument(u"Hilfe"_s, u"Hilfe.rtf"_s, true);
        QVERIFY(QTest::qWaitForWindowActive(&help));
        help.Edit1->setText(u"kein solches Wort"_s);
        QWidget *owner = nullptr;
        QVERIFY(duringModal([&] { help.Button1Click(); }, [&](QWidget *box) { owner = box->parentWidget(); }));
        QCOMPARE(owner, &help);
    }

    // Escape closes the side windows.
    void escapeCloses() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        MainWindowFixture w(true);
        w.form->B_HilfeClick();
        for (QWidget *window : QList<QWidget *>{w.form->AGFForm(), w.form->PrueflisteForm(), w.form->HelpForm(),
                                                w.form->AbiNoteForm()}) {
            window->show();
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
            QVERIFY2(window->isHidden(), window->metaObject()->className());
        }
    }

    // Screen readers: the viewer's text has a name, the side windows are windows, the Abitur
    // result is labelled "Punkte", and the grid's headers name semesters and rows.
    void accessibleNames() {
        MainWindowFixture w;
        const auto face = [](QObject *object) { return QAccessible::queryAccessibleInterface(object); };
        QCOMPARE(face(w.form->HelpForm()->RichEdit1)->text(QAccessible::Name), u"Dokument"_s);
        QCOMPARE(face(w.form->PrueflisteForm())->role(), QAccessible::Window);
        QCOMPARE(face(w.form->AbiNoteForm())->role(), QAccessible::Window);
        QStringList labels;
        for (const auto &relation : face(w.form->AbiNoteForm()->L_GK)->relations(QAccessible::Label))
            labels << relation.first->text(QAccessible::Name);
        QVERIFY(labels.contains(u"Punkte"_s));
        QAccessibleTableCellInterface *cell =
            face(w.form->StringGridView)->tableInterface()->cellAt(3, 2)->tableCellInterface();
        QCOMPARE(cell->columnHeaderCells().value(0)->text(QAccessible::Name) + u'|' +
                     cell->rowHeaderCells().value(0)->text(QAccessible::Name),
                 u"2. Semester|PK 3"_s);
    }

    // Tab on the last Abitur cell goes to the first, Shift+Tab on the first to the last.
    void abiturTabWraps() {
        DialogRecorder dialogs;
        ScriptedSystemDialogs system;
        TAbiNoteForm form(dialogs, system);
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
        choices::fill(w.grid(), choices::validChoice());
        for (int s = 1; s <= 4; ++s)
            w.grid().setCell(s, 10, u"Physik"_s); // a repeated course: a note
        w.form->PrueflisteClick();
        TPruefListeForm &form = *w.form->PrueflisteForm();
        QCOMPARE(form.Lines().size() * 10 + form.Lines().indexOf(TPruefListeForm::kAllFulfilled), 20);
        for (int s = 1; s <= 4; ++s)
            w.grid().setCell(s, 3, u"Sport"_s); // no examination subject as PK 3
        const int rule = int(form.Lines().indexOf(u"SPORT kann nicht drittes Prüfungsfach sein."_s));
        QVERIFY(rule >= 0 && form.Lines().last().startsWith(u"Mindestens ein Kurs"_s));
        emit form.ListBox1->itemActivated(form.ListBox1->item(rule));
        QCOMPARE(w.form->StringGridView->selectionModel()->selectedIndexes().size(), 4);
    }

    // Sport-Theorie is entered from the menu too, into the current cell and not into a cell
    // typed into earlier.
    void menuPicks() {
        MainWindowFixture w(true);
        w.form->setCurrentCell(1, 5);
        w.type(u"Kun\n"_s);
        w.form->setCurrentCell(2, 7);
        w.form->SubjectItems[21]->trigger();
        QCOMPARE(w.grid().cell(2, 7) + u'|' + w.grid().cell(1, 5), u"Sport-Theorie|Kun"_s);
    }
};

QTEST_MAIN(TestMends)
#include "tst_mends.moc"
