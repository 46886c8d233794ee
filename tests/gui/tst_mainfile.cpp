#include "rules/datafile.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {
// The window as the file commands leave it: the caption after "... - ", the name of the
// current file, then 1/0 for "Speichern" enabled, the choice tested, and closing without question.
QString state(MainWindowFixture &w) {
    const int flags = 100 * w.form->Speichern->isEnabled() + 10 * w.form->Test.ChoiceTested;
    return u"%1 %2 %3"_s.arg(w.captionTail(), QFileInfo(w.form->CurrentFileName).fileName())
        .arg(flags + w.closesWithoutQuestion(), 3, 10, QChar(u'0'));
}
} // namespace

// "&Neu", "&Öffnen", "&Speichern" and "Speichern &unter..." of the main window.
class TestMainFile : public QObject {
    Q_OBJECT

private slots:
    // After "anna.wahl.fld" was opened: the question comes only for a changed grid; "&Nein"
    // goes on without saving, "&Abbrechen" (or Escape) stops the command. The caption shows
    // the file name up to its first dot, so nothing for "ordner.x/b".
    void questions_data() {
        QTest::addColumn<bool>("open");  // "&Öffnen" of "ordner.x/b", else "&Neu"
        QTest::addColumn<int>("answer"); // -1: the grid is unchanged, no question
        QTest::newRow("Neu, unchanged") << false << -1;
        QTest::newRow("Neu, Nein") << false << int(DialogButton::No);
        QTest::newRow("Öffnen, Nein") << true << int(DialogButton::No);
        QTest::newRow("Öffnen, Abbrechen") << true << int(DialogButton::Cancel);
    }

    void questions() {
        QFETCH(bool, open);
        QFETCH(int, answer);
        QTemporaryDir dir;
        const QString first = dir.filePath(u"anna.wahl.fld"_s), second = dir.filePath(u"ordner.x/b"_s);
        QDir(dir.path()).mkpath(u"ordner.x"_s);
        QVERIFY(writeFile(first, "Fachlese\r\n" + QByteArray("\r\n").repeated(11) + "spare\r\n"));
        QVERIFY(writeFile(second, "Fachlese\r\n\tMusik\r\n"));
        MainWindowFixture w;
        w.system.fileAnswers << first << second;
        w.form->OeffnenClick();
        w.form->Test.ChoiceTested = true;
        w.form->setCurrentCell(3, 7);
        if (answer >= 0) {
            w.grid().setCell(2, 5, u"Kunst"_s);
            w.dialogs.answers.enqueue(DialogButton(answer));
        }
        open ? w.form->OeffnenClick() : w.form->NeuClick();
        const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.value(0);
        QCOMPARE(request.filter + u' ' + request.defaultSuffix + u' ' + QString::number(request.save),
                 u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.* fld 0"_s);

        QCOMPARE(w.shown().join(u'\n'),
                 answer < 0 ? QString()
                            : u"confirmation|Bestätigung|Willst du die eingegebenen Daten nicht erst "
                              "speichern?|&Ja|&Nein|&Abbrechen"_s);
        const bool stopped = answer == int(DialogButton::Cancel);
        QCOMPARE(state(w) + u' ' + w.row(1) + u' ' + w.row(5) + u' ' + w.row(12),
                 stopped ? u"anna anna.wahl.fld 110 ||| |Kunst|| |||spare"_s
                 : open  ? u" b 101 |||Musik ||| |||"_s
                         : u"<bare>  001 ||| ||| |||"_s);
        QCOMPARE(w.form->Col() * 100 + w.form->Row(), open || stopped ? 307 : 101);
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
        QTemporaryDir dir;
        const QString good = dir.filePath(u"gut.fld"_s), wrong = dir.filePath(u"brief.doc"_s);
        QVERIFY(writeFile(good, "Fachlese\r\nEnglisch\r\n"));
        QVERIFY(bytes == "<none>" || writeFile(wrong, bytes));
        MainWindowFixture w;
        w.system.fileAnswers << good << wrong;
        w.form->OeffnenClick();
        w.grid().setCell(2, 6, u"Kunst"_s); // an unsaved change
        w.form->Test.ChoiceTested = true;
        w.dialogs.answers.enqueue(DialogButton::Yes);
        w.form->OeffnenClick();

        QCOMPARE(w.shown().value(1), shown);
        QCOMPARE(state(w) + u' ' + w.row(1) + u' ' + w.row(6), u"gut gut.fld 111 |||Englisch |Kunst||"_s);
        w.form->Speichern->trigger();
        QVERIFY(fileBytes(good).contains("\tKunst\t"));
        QCOMPARE(fileBytes(wrong), bytes == "<none>" ? QByteArray("<missing>") : bytes);
    }

    // "Speichern unter..." replaces a file without a question, offering the current name the
    // second time; saving leaves the tested flag alone and takes the snapshot, and "Speichern"
    // then writes to the same file.
    void saveAs() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lena.wahl.fld"_s);
        QVERIFY(writeFile(path, QByteArray(3000, 'q')));
        MainWindowFixture w;
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
               u"werden "
               u"können.\rBitte ändere den Eintrag und speichere dann erneut."_s;
        QTest::newRow("entry too long to be read again")
            << u"x.fld"_s << QString(65534, u'Z') << TooLongMessage(QString(65534, u'Z')); // text pinned in tst_datafile
        QTest::newRow("folder missing")
            << u"fehlt/x.fld"_s << u"Kunst"_s << u"Diskette oder Platte schreibgeschützt oder voll!"_s;
    }

    void saveRefused() {
        QFETCH(QString, fileName);
        QFETCH(QString, cell);
        QFETCH(QString, message);
        QTemporaryDir dir;
        MainWindowFixture w;
        w.grid().setCell(3, 6, cell);
        w.system.fileAnswers.enqueue(dir.filePath(fileName));
        w.form->Speichernunter1Click();
        QCOMPARE(w.shown(), QStringList{u"error|Fehler|"_s + message + u"|&Abbrechen"_s});
        QCOMPARE(state(w), u"x x.fld 100"_s);
    }
};

QTEST_MAIN(TestMainFile)
#include "tst_mainfile.moc"
