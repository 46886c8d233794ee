#include "support/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {
QByteArray fileBytes(const QString &path) { // "<missing>" when it cannot be read
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

// "&Neu", "&Öffnen", "&Speichern" and "Speichern &unter..." of the main window.
class TestMainFile : public QObject {
    Q_OBJECT

private slots:
    // After "anna.fld" was opened: the question comes only for a changed grid, and only
    // "&Nein" stops the command.
    void questions_data() {
        QTest::addColumn<bool>("open");  // "&Öffnen" of "b.fld", else "&Neu"
        QTest::addColumn<int>("answer"); // -1: the grid is unchanged, no question
        QTest::newRow("Neu, unchanged") << false << -1;
        QTest::newRow("Neu, Nein") << false << int(DialogButton::No);
        QTest::newRow("Öffnen, Nein") << true << int(DialogButton::No);
        QTest::newRow("Öffnen, closed otherwise") << true << int(DialogButton::Cancel);
    }

    void questions() {
        QFETCH(bool, open);
        QFETCH(int, answer);
        const bool changed = answer >= 0;
        QTemporaryDir dir;
        const QString first = dir.filePath(u"anna.fld"_s), second = dir.filePath(u"b.fld"_s);
        QVERIFY(writeFile(first, "Fachlese\r\nDeutsch\t\t\t\r\n" + QByteArray("\t\t\t\r\n").repeated(10) +
                                     "\t\t\tspare\r\n"));
        QVERIFY(writeFile(second, "Fachlese\r\n\tMusik\r\n"));
        MainWindowFixture w;
        w.system.fileAnswers << first << second;
        w.form->OeffnenClick();
        w.form->Test.ChoiceTested = true;
        w.form->setCurrentCell(3, 7);
        if (changed) {
            w.grid().setCell(2, 5, u"Kunst"_s);
            w.dialogs.answers.enqueue(DialogButton(answer));
        }
        open ? w.form->OeffnenClick() : w.form->NeuClick();

        const QString asked = open ? u"überschrieben"_s : u"gelöscht"_s;
        QCOMPARE(
            w.shown().join(u'\n'),
            changed
                ? u"information|Information|Sollen die eingegebenen Daten %1 werden?|&Ja|&Nein"_s.arg(asked)
                : QString());
        const bool stopped = answer == int(DialogButton::No);
        QCOMPARE(w.system.fileRequests.size(), open && !stopped ? 2 : 1);
        QCOMPARE(w.captionTail(), stopped ? u"anna"_s : open ? u"b"_s : u"<bare>"_s);
        QCOMPARE(w.form->CurrentFileName, stopped ? first : open ? second : QString());
        QCOMPARE(QList<bool>(
                     {w.form->Speichern->isEnabled(), w.form->Test.ChoiceTested, w.closesWithoutQuestion()}),
                 QList<bool>({stopped || open, stopped, !stopped})); // "Speichern", tested, snapshot
        QCOMPARE(w.row(1) + u" / "_s + w.row(5) + u" / "_s + w.row(12),
                 stopped ? u"Deutsch||| / |Kunst|| / |||spare"_s
                 : open  ? u"|||Musik / ||| / |||"_s
                         : u"||| / ||| / |||"_s);
        QCOMPARE(w.form->Col() * 100 + w.form->Row(), open || stopped ? 307 : 101);
    }

    // The open dialog, and the caption with the file title.
    void openCaption_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("tail");
        QTest::newRow("two dots") << u"anna.wahl.fld"_s << u"anna"_s;
        QTest::newRow("no dot") << u"anna"_s << QString();
        QTest::newRow("dot in the folder only") << u"ordner.x/anna"_s << QString();
    }

    void openCaption() {
        QFETCH(QString, fileName);
        QFETCH(QString, tail);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(u"ordner.x"_s);
        QVERIFY(writeFile(dir.filePath(fileName), "Fachlese\r\n"));
        MainWindowFixture w;
        w.system.fileAnswers.enqueue(dir.filePath(fileName));
        w.form->OeffnenClick();
        const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.value(0);
        QCOMPARE(request.filter + u' ' + request.defaultSuffix + u' ' + QString::number(request.save),
                 u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.* fld 0"_s);
        QCOMPARE(w.form->windowTitle(), u"Fachlese 1.49  IGS-Brunsmark - "_s + tail);
    }

    // A file that cannot be loaded changes nothing: not the grid, the file name, "Speichern",
    // the caption or the tested flag; "Speichern" then still writes to the earlier file.
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
        QVERIFY(writeFile(good, "Fachlese\r\nEnglisch\tEnglisch\tEnglisch\tEnglisch\r\n"));
        QVERIFY(bytes == "<none>" || writeFile(wrong, bytes));
        MainWindowFixture w;
        w.system.fileAnswers << good << wrong;
        w.form->OeffnenClick();
        w.grid().setCell(2, 6, u"Kunst"_s); // an unsaved change
        w.form->Test.ChoiceTested = true;
        w.dialogs.answers.enqueue(DialogButton::Yes);
        w.form->OeffnenClick();

        QCOMPARE(w.shown().value(1), shown);
        QCOMPARE(w.row(1) + u" / "_s + w.row(2) + u" / "_s + w.row(6),
                 u"Englisch|Englisch|Englisch|Englisch / ||| / |Kunst||"_s);
        QCOMPARE(w.form->CurrentFileName, good);
        QVERIFY(w.form->Speichern->isEnabled());
        QCOMPARE(w.captionTail(), u"gut"_s);
        QVERIFY(w.form->Test.ChoiceTested);
        w.form->Speichern->trigger();
        QVERIFY(fileBytes(good).contains("\tKunst\t"));
        QCOMPARE(fileBytes(wrong), bytes == "<none>" ? QByteArray("<missing>") : bytes);
    }

    // "Speichern unter..." replaces a file without a question; saving leaves the tested flag
    // alone and takes the snapshot, and "Speichern" then writes to the same file.
    void saveAs() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lena.wahl.fld"_s);
        QVERIFY(writeFile(path, QByteArray(3000, 'q')));
        MainWindowFixture w;
        w.grid().setCell(1, 1, u"Französisch"_s);
        w.form->Test.ChoiceTested = true;
        w.system.fileAnswers << path << QString();
        w.form->Speichernunter1Click();
        const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.value(0);
        QCOMPARE(request.save, true);
        QCOMPARE(request.filter + u' ' + request.defaultSuffix + u'[' + request.presetName + u']',
                 u"Fachlesedaten (*.fld)|*.fld|Alle Dateien(*.*)|*.* fld[]"_s);
        QVERIFY(w.dialogs.entries.isEmpty());
        QCOMPARE(w.captionTail() + w.form->CurrentFileName, u"lena"_s + path);
        QVERIFY(w.form->Speichern->isEnabled() && w.form->Test.ChoiceTested && w.closesWithoutQuestion());
        QCOMPARE(fileBytes(path).size(), 10 + 12 * 5 + 11); // Windows-1252: one byte for "ö"
        w.form->Speichernunter1Click();                     // offers the current name; cancelled
        QCOMPARE(w.system.fileRequests.value(1).presetName, path);
        QCOMPARE(w.captionTail(), u"lena"_s);
        w.grid().setCell(4, 12, u"tail"_s);
        QVERIFY(!w.closesWithoutQuestion());
        w.form->Speichern->trigger();
        QVERIFY(fileBytes(path).endsWith("\t\t\ttail\r\n") && w.closesWithoutQuestion());
    }

    // A save that cannot be done keeps the chosen name, takes no snapshot and leaves an
    // earlier file as it was.
    void saveRefused_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("message");
        QTest::newRow("text Windows-1252 cannot hold")
            << u"x.fld"_s << u"Polski ł"_s
            << u"Der Eintrag  Polski ł  enthält Zeichen, die in einer Fachlese-Datei nicht gespeichert "
               u"werden "
               u"können.\rBitte ändere den Eintrag und speichere dann erneut."_s;
        QTest::newRow("folder missing")
            << u"fehlt/x.fld"_s << u"Kunst"_s << u"Diskette oder Platte schreibgeschützt oder voll!"_s;
    }

    void saveRefused() {
        QFETCH(QString, fileName);
        QFETCH(QString, cell);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        const bool earlier = writeFile(path, "earlier");
        MainWindowFixture w;
        w.grid().setCell(3, 6, cell);
        w.system.fileAnswers.enqueue(path);
        w.form->Speichernunter1Click();
        QCOMPARE(w.shown(), QStringList{u"error|Fehler|"_s + message + u"|&Abbrechen"_s});
        QCOMPARE(fileBytes(path), earlier ? "earlier" : "<missing>");
        QCOMPARE(w.captionTail() + w.form->CurrentFileName, u"x"_s + path);
        QVERIFY(w.form->Speichern->isEnabled());
        QVERIFY(!w.closesWithoutQuestion());
    }
};

QTEST_MAIN(TestMainFile)
#include "tst_mainfile.moc"
