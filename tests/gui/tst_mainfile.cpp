#include "rules/datafile.h"
#include "shell/commandline.h"
#include "shell/qtdialogs.h"
#include "support/files.h"
#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/print.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kGrid = "Fachlese\r\nDeutsch\t\t\t\r\n" + QByteArray("\t\t\t\r\n").repeated(11);

// Writes a file named by its bytes, which need not be text.
bool writeNative(const QByteArray &path, const QByteArray &bytes) {
    std::FILE *file = std::fopen(path.constData(), "wb");
    const bool written =
        file && std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
    return file && std::fclose(file) == 0 && written;
}

// The print form's four fields, joined by "|".
QString fields(MainWindowFixture &w) {
    const TPrintForm *form = w.form->PrintForm();
    return QStringList{form->E_Nachname->text(), form->E_Vorname->text(), form->E_Klasse->text(),
                       form->E_Datum->text()}
        .join(u'|');
}

// The window as the file commands leave it: the caption after "... - ", the name of the
// current file, then 1/0 for "Speichern" enabled, the choice tested, and closing without question.
QString state(MainWindowFixture &w) {
    const int flags = 100 * w.form->Speichern->isEnabled() + 10 * w.form->Test.ChoiceTested;
    return u"%1 %2 %3"_s.arg(w.captionTail(), QFileInfo(w.form->CurrentFileName).fileName())
        .arg(flags + w.closesWithoutQuestion(), 3, 10, QChar(u'0'));
}
// What `command` does after the answer to its question, from a window holding "anna.wahl.fld"
// (or no file) with the choice tested and the cell (3, 7) current.
QString afterCommand(const QString &command, bool named, const QString &answer) {
    MainWindowFixture w;
    const QString anna =
        w.file(u"anna.wahl.fld"_s, "Fachlese\r\n" + QByteArray("\r\n").repeated(11) + "spare\r\n");
    const QString other = w.file(u"ordner.x/b"_s, "Fachlese\r\n\tMusik\r\n");
    const QString saveAs = w.dir.filePath(answer == u"Ja, failing" ? u"fehlt/neu.fld"_s : u"neu.fld"_s);
    w.form->show();
    if (named) {
        w.system.fileAnswers << anna;
        w.form->OeffnenClick();
        if (answer == u"Ja, failing")
            QFile::setPermissions(anna, QFile::ReadOwner);
    } else if (answer.startsWith(u"Ja")) {
        w.system.fileAnswers << (answer == u"Ja, cancelled" ? QString() : saveAs);
    }
    w.system.fileAnswers << other;
    w.form->Test.ChoiceTested = true;
    w.form->setCurrentCell(3, 7);
    if (answer != u"-") {
        w.grid().setCell(2, 5, u"Kunst"_s);
        w.dialogs.answers << (answer.startsWith(u"Ja") ? DialogButton::Yes
                              : answer == u"Nein"      ? DialogButton::No
                                                       : DialogButton::Cancel);
    }
    command == u"Beenden" ? w.form->Beenden->trigger()
    : command == u"Neu"   ? w.form->NeuClick()
                          : w.form->OeffnenClick();
    const QString shown =
        u"%1 => %2, %3, rows %4 %5 %6, cell %7"_s.arg(w.shown().join(u" / "_s))
            .arg(fileBytes(named ? anna : saveAs).contains("\tKunst") ? u"saved"_s : u"not saved"_s)
            .arg(w.form->isVisible() ? u"open"_s : u"closed"_s, w.row(1), w.row(5), w.row(12))
            .arg(w.form->Col() * 100 + w.form->Row());
    return shown + u", "_s + state(w);
}
} // namespace

// "&Neu", "&Öffnen", "&Speichern" and "Speichern &unter..." of the main window, the questions
// before them, and the pupil's name and class, which travel with the choice file.
class TestMainFile : public QObject {
    Q_OBJECT

private slots:
    // Each command after a change, or without one: the question, the answer, the save "&Ja"
    // makes (to the open "anna.wahl.fld" or, without a name, to the one chosen: done, cancelled,
    // failed), and the window afterwards (data/file-questions.txt). "&Abbrechen" (or Escape)
    // stops "&Neu" and "&Öffnen" (the close question has no such button). The caption shows the
    // file name up to its first dot, so nothing for "ordner.x/b", which "&Öffnen" opens.
    void questions() {
        QStringList transcript;
        for (const QString &command : {u"Beenden"_s, u"Neu"_s, u"Öffnen"_s})
            for (const bool named : {true, false})
                for (const QString &answer :
                     {u"-"_s, u"Ja"_s, u"Ja, cancelled"_s, u"Ja, failing"_s, u"Nein"_s, u"Abbrechen"_s})
                    if ((!named || answer != u"Ja, cancelled") &&
                        (command != u"Beenden" || answer != u"Abbrechen"))
                        transcript << command + (named ? u" anna, "_s : u" unnamed, "_s) + answer + u": "_s +
                                          afterCommand(command, named, answer);
        const QByteArray texts = (transcript.join(u'\n') + u'\n').toUtf8();
        QCOMPARE(texts, tables::golden(u"gui/data/file-questions.txt"_s, texts));
    }

    // A validation run, failed or not, takes the snapshot: closing then asks nothing.
    void validationTakesSnapshot() {
        MainWindowFixture w;
        w.grid().setCell(1, 5, u"Quatsch"_s);
        QVERIFY(!w.closesWithoutQuestion());
        w.form->B_Testen->click(); // "Das Fach  Quatsch  ist nicht bekannt!"
        QVERIFY(w.closesWithoutQuestion());
    }

    // A file that cannot be loaded changes nothing: not the grid, the file name, the caption
    // or the tested flag; "Speichern" then still writes to the earlier file.
    void refusedOpen_data() {
        QTest::addColumn<QByteArray>("bytes"); // "<none>": no such file
        QTest::addColumn<QString>("shown");
        QTest::newRow("missing file")
            << QByteArray("<none>") << u"error|Fehler|Die Datei kann nicht geöffnet werden|&Abbrechen"_s;
        QTest::newRow("small letters")
            << QByteArray("fachlese\r\nDeutsch\r\n")
            << u"warning|Warnung|Falsches oder fehlerhaftes Dateiformat|&Abbrechen"_s;
    }

    void refusedOpen() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        MainWindowFixture w;
        const QString good = w.file(u"gut.fld"_s, "Fachlese\r\nEnglisch\r\n");
        const QString wrong =
            bytes == "<none>" ? w.dir.filePath(u"brief.doc"_s) : w.file(u"brief.doc"_s, bytes);
        w.system.fileAnswers << good << wrong;
        w.form->OeffnenClick();
        w.grid().setCell(2, 6, u"Kunst"_s); // an unsaved change
        w.form->Test.ChoiceTested = true;
        w.dialogs.answers.enqueue(DialogButton::Yes);
        w.form->OeffnenClick();

        QCOMPARE(w.shown().mid(1), QStringList{shown}); // reported once, as what it is
        const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.value(0);
        QCOMPARE(request.filter + u' ' + request.defaultSuffix + u' ' + QString::number(request.save),
                 u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.* fld 0"_s);
        QCOMPARE(state(w) + u' ' + w.row(1) + u' ' + w.row(6), u"gut gut.fld 111 |||Englisch |Kunst||"_s);
        w.form->Speichern->trigger();
        QVERIFY(fileBytes(good).contains("\tKunst\t"));
        QCOMPARE(fileBytes(wrong), bytes == "<none>" ? QByteArray("<missing>") : bytes);
    }

    // "Speichern unter..." replaces a file without a question, offering the current name the
    // second time; saving leaves the tested flag alone and takes the snapshot, and "Speichern"
    // then writes to the same file.
    void saveAs() {
        MainWindowFixture w;
        const QString path = w.file(u"lena.wahl.fld"_s, QByteArray(3000, 'q'));
        w.grid().setCell(1, 1, u"Französisch"_s);
        w.form->Test.ChoiceTested = true;
        w.system.fileAnswers << path << QString();
        w.form->Speichernunter1Click();
        w.form->Speichernunter1Click(); // cancelled
        const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.value(0);
        QCOMPARE(request.filter + u' ' + request.defaultSuffix + u'[' + request.presetName + u']' +
                     QString::number(request.save) + w.system.fileRequests.value(1).presetName,
                 u"Fachlesedaten (*.fld)|*.fld|Alle Dateien(*.*)|*.* fld[]1"_s + path);
        QCOMPARE(state(w), u"lena lena.wahl.fld 111"_s);
        w.grid().setCell(4, 12, u"tail"_s);
        w.form->Speichern->trigger();
        QVERIFY(fileBytes(path).endsWith("\t\t\ttail\r\n") && w.closesWithoutQuestion() &&
                w.dialogs.entries.isEmpty());
    }

    // A save that cannot be done keeps the chosen name and takes no snapshot.
    void saveRefused_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("message");
        QTest::newRow("text Windows-1252 cannot hold")
            << u"x.fld"_s << u"Polski ł"_s
            << u"Der Eintrag  Polski ł  enthält Zeichen, die in einer Fachlese-Datei nicht gespeichert "
               u"werden können.\rBitte ändere den Eintrag und speichere dann erneut."_s;
        QTest::newRow("entry too long to be read again")
            << u"x.fld"_s << QString(65534, u'Z')
            << TooLongMessage(QString(65534, u'Z')); // text pinned in tst_datafile
    }

    void saveRefused() {
        QFETCH(QString, fileName);
        QFETCH(QString, cell);
        QFETCH(QString, message);
        MainWindowFixture w;
        w.grid().setCell(3, 6, cell);
        w.system.fileAnswers.enqueue(w.dir.filePath(fileName));
        w.form->Speichernunter1Click();
        QCOMPARE(w.shown(), QStringList{u"error|Fehler|"_s + message + u"|&Abbrechen"_s});
        QCOMPARE(state(w), u"x x.fld 100"_s);
    }

    // The save dialog asks before it replaces a file; "No" leaves the dialog open.
    void overwriteQuestion() {
        QTemporaryDir dir;
        const QString existing = dir.filePath(u"anna.fld"_s);
        QVERIFY(writeFile(existing, "Fachlese\r\n"));
        QtSystemDialogs dialogs;
        for (const bool replace : {false, true}) {
            QString chosen = u"<none>"_s, asked;
            duringModal(
                [&] { chosen = dialogs.saveFileName(u"Fachlesedaten (*.fld)|*.fld"_s, u"fld"_s, existing); },
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

    // Saving refuses a symbolic link that leads to itself and a file without any write
    // permission, also for root; both stay as they were.
    void linkAndLockRefused() {
        QTemporaryDir dir;
        const QString loop = dir.filePath(u"kreis.fld"_s), locked = dir.filePath(u"fest.fld"_s);
        QVERIFY(symlink(QFile::encodeName(loop).constData(), QFile::encodeName(loop).constData()) == 0);
        QVERIFY(writeFile(locked, "vorher") &&
                QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadOther));
        for (const QString &path : {loop, locked})
            QCOMPARE(SaveDataFile(path, GridModel()).status, DataFileWriteStatus::Failed);
        QCOMPARE(QFile::symLinkTarget(loop), loop);
        QCOMPARE(fileBytes(locked), QByteArray("vorher"));
    }

    // A name given by bytes that are no UTF-8 opens by them; "Speichern" then asks for a name.
    void nonTextName() {
        MainWindowFixture w;
        QByteArray program = "fachlese", argument = QFile::encodeName(w.dir.path()) + "/M\xFC.fld";
        QVERIFY(writeNative(argument, "Fachlese\r\nLatein\r\n") &&
                QFile::exists(QFile::decodeName(argument)) == false);
        char *argv[] = {program.data(), argument.data()};
        const QString decoded = ParseCommandLine({QString::fromLocal8Bit(argument)}).file;
        QCOMPARE(NativeArgument(2, argv, decoded), argument);
        w.form->OpenDataFile(decoded, argument);
        QVERIFY(w.dialogs.entries.isEmpty() && w.row(1) == u"|||Latein"_s);
        QVERIFY(w.form->CurrentFileName.isEmpty() && !w.form->Speichern->isEnabled());
    }

    // Opening sets all four fields, empty where the file has none; "&Neu" empties them; neither
    // leaves anything to save.
    void openAndNew() {
        MainWindowFixture w;
        const QString named = w.file(u"ayse.fld"_s, kGrid + "Nachname=Y\xC4\xB1lmaz\r\nKlasse=10b\r\n");
        w.form->PrintForm()->E_Datum->setText(u"before"_s);
        const QString plain = w.file(u"plain.fld"_s, kGrid);
        for (const auto &[file, shown] : {std::pair(named, u"Yılmaz||10b|"_s), {plain, u"|||"_s}}) {
            w.form->OpenDataFile(file);
            QCOMPARE(fields(w), shown);
            QVERIFY(w.closesWithoutQuestion());
        }
        w.form->OpenDataFile(named);
        w.form->NeuClick();
        QCOMPARE(fields(w), u"|||"_s);
        QVERIFY(w.dialogs.entries.isEmpty());
        QVERIFY(w.closesWithoutQuestion());
    }

    // A changed name is an unsaved change: the close question and the questions of "&Neu"
    // and "&Öffnen" come; saving writes the lines and ends the question.
    void changedName() {
        MainWindowFixture w;
        const QString path = w.file(u"wahl.fld"_s, kGrid + "Vorname=Ali\r\n");
        w.form->OpenDataFile(path);
        QLineEdit *surname = w.form->PrintForm()->E_Nachname;
        surname->setText(u"Kaya"_s);
        QVERIFY(!w.closesWithoutQuestion());
        // "&Ja" saved the name with the choice.
        QCOMPARE(fileBytes(path), kGrid + "Nachname=Kaya\r\nVorname=Ali\r\n");
        QVERIFY(w.closesWithoutQuestion());

        surname->setText(u"Kayra"_s);
        w.dialogs.answers.enqueue(DialogButton::Cancel);
        w.form->NeuClick();
        QCOMPARE(fields(w), u"Kayra|Ali||"_s); // "&Abbrechen": nothing changed

        w.form->SpeichernClick();
        QCOMPARE(fileBytes(path), kGrid + "Nachname=Kayra\r\nVorname=Ali\r\n");
        QVERIFY(w.closesWithoutQuestion());

        // Back to the saved name: nothing to save.
        surname->setText(u"Kaya2"_s);
        surname->setText(u"Kayra"_s);
        QVERIFY(w.closesWithoutQuestion());

        // A name that cannot be stored is refused like a cell, and stays unsaved.
        surname->setText(u"Ka\tya"_s);
        w.form->SpeichernClick();
        QCOMPARE(w.shown().last().section(u'|', 2, 2), UnencodableMessage(u"Ka\tya"_s));
        QCOMPARE(fileBytes(path), kGrid + "Nachname=Kayra\r\nVorname=Ali\r\n");
        QVERIFY(!w.closesWithoutQuestion());
    }
};

QTEST_MAIN(TestMainFile)
#include "tst_mainfile.moc"
