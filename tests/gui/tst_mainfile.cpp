#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "shell/main.h"
#include "support/fakes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// "&Neu", "&Öffnen", "&Speichern" and "Speichern &unter..." of the main window.
class TestMainFile : public QObject {
    Q_OBJECT

private slots:
    void neu_data();
    void neu();
    void openQuestion_data();
    void openQuestion();
    void openDialogAndCaption_data();
    void openDialogAndCaption();
    void refusedOpenChangesNothing_data();
    void refusedOpenChangesNothing();
    void saveAs();
    void saveAsCancelled();
    void saveThenOpenRestoresEverything();
    void unencodableWritesNothing();
    void saveFailure();

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
        GridModel &grid() const { return *form->StringGrid; }
        // The file-title part of the caption, or "<bare>" for the caption without a file.
        QString captionTail() const {
            const QString title = form->windowTitle();
            if (title == u"Fachlese 1.49  IGS-Brunsmark")
                return u"<bare>"_s;
            const QString prefix = u"Fachlese 1.49  IGS-Brunsmark - "_s;
            return title.startsWith(prefix) ? title.mid(prefix.size()) : u"<wrong: "_s + title + u">"_s;
        }
        // Closing asks nothing (and so would close).
        bool closesWithoutQuestion() {
            const qsizetype before = dialogs.entries.size();
            dialogs.answers.enqueue(DialogButton::Yes); // would refuse the close if asked
            const bool mayClose = form->FormCloseQuery();
            const bool asked = dialogs.entries.size() != before;
            dialogs.answers.clear();
            return mayClose && !asked;
        }
    };

    static QByteArray readBytes(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void writeBytes(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    static DialogRequest question(const QString &text) {
        return {DialogKind::Information, u"Information"_s, text, {DialogButton::Yes, DialogButton::No}};
    }
};

void TestMainFile::neu_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cleared");

    QTest::newRow("unchanged: no question") << false << -1 << true;
    QTest::newRow("changed, Ja") << true << int(DialogButton::Yes) << true;
    QTest::newRow("changed, Nein") << true << int(DialogButton::No) << false;
    QTest::newRow("changed, closed otherwise") << true << int(DialogButton::Cancel) << true;
}

void TestMainFile::neu() {
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, cleared);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"anna.fld"_s);
    writeBytes(path,
               "Fachlese\r\nDeutsch\t\t\t\r\n" + QByteArray("\t\t\t\r\n").repeated(10) + "\t\t\tspare\r\n");
    Window w;
    w.system.fileAnswers.enqueue(path);
    w.form->OeffnenClick();
    QCOMPARE(w.grid().cell(4, 12), u"spare"_s);
    w.form->Test.ChoiceTested = true;
    w.form->setCurrentCell(3, 7);
    if (changed)
        w.grid().setCell(2, 5, u"Kunst"_s);
    w.dialogs.entries.clear();
    if (answer >= 0)
        w.dialogs.answers.enqueue(DialogButton(answer));

    w.form->NeuClick();

    if (changed) {
        QCOMPARE(w.dialogs.entries.size(), 1);
        QCOMPARE(w.dialogs.entries.first().request,
                 question(u"Sollen die eingegebenen Daten gelöscht werden?"_s));
    } else {
        QVERIFY(w.dialogs.entries.isEmpty());
    }
    if (!cleared) {
        QCOMPARE(w.form->CurrentFileName, path);
        QVERIFY(w.form->Speichern->isEnabled());
        QCOMPARE(w.captionTail(), u"anna"_s);
        QCOMPARE(w.grid().cell(1, 1), u"Deutsch"_s);
        QCOMPARE(w.grid().cell(2, 5), u"Kunst"_s);
        QCOMPARE(w.form->Row(), 7);
        QVERIFY(w.form->Test.ChoiceTested);
        return;
    }
    QVERIFY(w.form->CurrentFileName.isEmpty());
    QVERIFY(!w.form->Speichern->isEnabled());
    QCOMPARE(w.captionTail(), u"<bare>"_s);
    for (int row = 1; row <= 12; ++row) {
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(w.grid().cell(column, row), QString());
    }
    QCOMPARE(w.grid().cell(0, 1), u"  LK 1"_s);
    QCOMPARE(w.form->Col(), 1);
    QCOMPARE(w.form->Row(), 1);
    QVERIFY(!w.form->Test.ChoiceTested);
    QVERIFY(w.closesWithoutQuestion());
}

void TestMainFile::openQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("proceeds");
    QTest::newRow("Ja") << int(DialogButton::Yes) << true;
    QTest::newRow("Nein") << int(DialogButton::No) << false;
    QTest::newRow("closed otherwise") << int(DialogButton::Cancel) << true;
}

void TestMainFile::openQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, proceeds);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"b.fld"_s);
    writeBytes(path, "Fachlese\r\n\tMusik\r\n");
    Window w;
    w.grid().setCell(1, 1, u"Kunst"_s);
    w.dialogs.answers.enqueue(DialogButton(answer));
    w.system.fileAnswers.enqueue(path);
    w.form->OeffnenClick();

    QCOMPARE(w.dialogs.entries.size(), 1);
    QCOMPARE(w.dialogs.entries.first().request,
             question(u"Sollen die eingegebenen Daten überschrieben werden?"_s));
    QCOMPARE(w.system.fileRequests.size(), proceeds ? 1 : 0);
    QCOMPARE(w.grid().cell(1, 1), proceeds ? QString() : u"Kunst"_s);
    QCOMPARE(w.grid().cell(4, 1), proceeds ? u"Musik"_s : QString());
}

void TestMainFile::openDialogAndCaption_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("tail");
    QTest::newRow("plain") << u"anna.fld"_s << u"anna"_s;
    QTest::newRow("two dots") << u"anna.wahl.fld"_s << u"anna"_s;
    QTest::newRow("no dot") << u"anna"_s << QString();
    QTest::newRow("leading dot") << u".fld"_s << QString();
    QTest::newRow("blank and umlaut") << u"Jörg Meier.fld"_s << u"Jörg Meier"_s;
    QTest::newRow("dot in the folder only") << u"ordner.x/anna"_s << QString();
}

void TestMainFile::openDialogAndCaption() {
    QFETCH(QString, fileName);
    QFETCH(QString, tail);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"ordner.x"_s);
    const QString path = dir.filePath(fileName);
    writeBytes(path, "Fachlese\r\n\t\tPhysik\t\r\n");
    Window w;
    w.form->Test.ChoiceTested = true;
    w.system.fileAnswers.enqueue(path);
    w.form->OeffnenClick();

    QCOMPARE(w.system.fileRequests.size(), 1);
    const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.first();
    QVERIFY(!request.save);
    QCOMPARE(request.filter, u"Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.*"_s);
    QCOMPARE(request.defaultSuffix, u"fld"_s);
    QVERIFY(w.dialogs.entries.isEmpty());
    QCOMPARE(w.form->CurrentFileName, path);
    QVERIFY(w.form->Speichern->isEnabled());
    QCOMPARE(w.form->windowTitle(), u"Fachlese 1.49  IGS-Brunsmark - "_s + tail);
    QCOMPARE(w.grid().cell(3, 1), u"Physik"_s);
    QVERIFY(!w.form->Test.ChoiceTested);
    QVERIFY(w.closesWithoutQuestion());
}

void TestMainFile::refusedOpenChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no such file, "<dir>": a folder
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    const int warning = int(DialogKind::Warning);
    const int error = int(DialogKind::Error);
    const QString bad = u"Falsches oder fehlerhaftes Dateiformat"_s;
    QTest::newRow("missing file") << QByteArray("<none>") << error
                                  << u"Die Datei kann nicht geöffnet werden"_s;
    QTest::newRow("folder") << QByteArray("<dir>") << error << u"Die Datei kann nicht geöffnet werden"_s;
    QTest::newRow("empty file") << QByteArray() << warning << bad;
    QTest::newRow("small letters") << QByteArray("fachlese\r\nDeutsch\r\n") << warning << bad;
    QTest::newRow("trailing blank") << QByteArray("Fachlese \r\n") << warning << bad;
    QTest::newRow("empty first line") << QByteArray("\r\nFachlese\r\n") << warning << bad;
    QTest::newRow("word-processor file") << QByteArray("PK\x03\x04\x14\0\x06\0", 8) << warning << bad;
    QTest::newRow("NUL in line 12") << QByteArray("Fachlese\r\n") +
                                           QByteArray("a\tb\tc\td\r\n").repeated(10) +
                                           QByteArray("x\0\r\n", 4)
                                    << warning << bad;
    QTest::newRow("line over 64 KiB")
        << QByteArray("Fachlese\r\nDeutsch\r\n") + QByteArray(70000, 'x') + "\r\n"
        << warning << bad;
}

void TestMainFile::refusedOpenChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString good = dir.filePath(u"gut.fld"_s);
    writeBytes(good, "Fachlese\r\nEnglisch\tEnglisch\tEnglisch\tEnglisch\r\n");
    QString wrong = dir.filePath(u"brief.doc"_s);
    if (bytes == "<dir>")
        QDir(dir.path()).mkpath(u"brief.doc"_s);
    else if (bytes != "<none>")
        writeBytes(wrong, bytes);

    Window w;
    w.system.fileAnswers.enqueue(good);
    w.form->OeffnenClick();
    w.grid().setCell(2, 6, u"Kunst"_s); // an unsaved change
    w.form->Test.ChoiceTested = true;
    w.dialogs.entries.clear();

    w.dialogs.answers.enqueue(DialogButton::Yes);
    w.system.fileAnswers.enqueue(wrong);
    w.form->OeffnenClick();

    QCOMPARE(w.dialogs.entries.size(), 2);
    const DialogRequest shown = w.dialogs.entries.at(1).request;
    QCOMPARE(int(shown.kind), kind);
    QCOMPARE(shown.caption, kind == int(DialogKind::Warning) ? u"Warnung"_s : u"Fehler"_s);
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.buttons, QList<DialogButton>{DialogButton::Cancel});

    // Everything as before the dialog: grid, file name, "Speichern", caption, tested flag.
    QCOMPARE(w.grid().cell(1, 1), u"Englisch"_s);
    QCOMPARE(w.grid().cell(2, 6), u"Kunst"_s);
    QCOMPARE(w.grid().cell(1, 2), QString());
    QCOMPARE(w.form->CurrentFileName, good);
    QVERIFY(w.form->Speichern->isEnabled());
    QCOMPARE(w.captionTail(), u"gut"_s);
    QVERIFY(w.form->Test.ChoiceTested);
    QVERIFY(w.form->Test.GridChangedSinceSnapshot());

    // "Speichern" writes to the earlier file, never to the refused one.
    w.form->Speichern->trigger();
    QVERIFY(readBytes(good).contains("\tKunst\t"));
    if (bytes != "<none>" && bytes != "<dir>")
        QCOMPARE(readBytes(wrong), bytes);
}

void TestMainFile::saveAs() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lena.wahl.fld"_s);
    writeBytes(path, QByteArray(3000, 'q')); // replaced without a question
    Window w;
    for (int column = 1; column <= 4; ++column)
        w.grid().setCell(column, 1, u"Deutsch"_s);
    w.grid().setCell(1, 5, u"Französisch"_s);
    w.form->Test.ChoiceTested = true; // saving does not touch it
    w.system.fileAnswers.enqueue(path);
    w.form->Speichernunter1Click();

    QCOMPARE(w.system.fileRequests.size(), 1);
    const ScriptedSystemDialogs::FileRequest request = w.system.fileRequests.first();
    QVERIFY(request.save);
    QCOMPARE(request.filter, u"Fachlesedaten (*.fld)|*.fld|Alle Dateien(*.*)|*.*"_s);
    QCOMPARE(request.defaultSuffix, u"fld"_s);
    QCOMPARE(request.presetName, QString());
    QVERIFY(w.dialogs.entries.isEmpty());
    QCOMPARE(w.form->CurrentFileName, path);
    QVERIFY(w.form->Speichern->isEnabled());
    QCOMPARE(w.captionTail(), u"lena"_s);
    QVERIFY(w.form->Test.ChoiceTested);
    const QByteArray expected = "Fachlese\r\nDeutsch\tDeutsch\tDeutsch\tDeutsch\r\n" +
                                QByteArray("\t\t\t\r\n").repeated(3) + "Franz\xF6sisch\t\t\t\r\n" +
                                QByteArray("\t\t\t\r\n").repeated(7);
    QCOMPARE(readBytes(path), expected);
    QVERIFY(w.closesWithoutQuestion());

    // The next "Speichern unter" offers the current name.
    w.system.fileAnswers.enqueue(QString());
    w.form->Speichernunter1Click();
    QCOMPARE(w.system.fileRequests.last().presetName, path);

    // "Speichern" writes the changed grid to the same file.
    w.grid().setCell(4, 12, u"spare"_s);
    QVERIFY(!w.closesWithoutQuestion());
    w.form->Speichern->trigger();
    QVERIFY(readBytes(path).endsWith("\t\t\tspare\r\n"));
    QVERIFY(w.closesWithoutQuestion());
}

void TestMainFile::saveAsCancelled() {
    Window w;
    w.grid().setCell(1, 1, u"Kunst"_s);
    w.form->Speichernunter1Click(); // no answer: cancelled
    QCOMPARE(w.system.fileRequests.size(), 1);
    QVERIFY(w.form->CurrentFileName.isEmpty());
    QVERIFY(!w.form->Speichern->isEnabled());
    QCOMPARE(w.captionTail(), u"<bare>"_s);
    QVERIFY(w.dialogs.entries.isEmpty());
    QVERIFY(w.form->Test.GridChangedSinceSnapshot());
}

void TestMainFile::saveThenOpenRestoresEverything() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rund.fld"_s);
    Window first;
    const QStringList texts = {u"Deutsch"_s, u" Physik "_s, u"Werte u. Normen"_s, u"€"_s};
    for (int row = 1; row <= 12; ++row) {
        for (int column = 1; column <= 3; ++column)
            first.grid().setCell(column, row, texts.at((row + column) % texts.size()));
    }
    first.grid().setCell(4, 12, u"tab\ttail"_s);
    first.system.fileAnswers.enqueue(path);
    first.form->Speichernunter1Click();
    QVERIFY(first.dialogs.entries.isEmpty());

    Window second;
    second.system.fileAnswers.enqueue(path);
    second.form->OeffnenClick();
    QVERIFY(second.dialogs.entries.isEmpty());
    for (int row = 1; row <= 12; ++row) {
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(second.grid().cell(column, row), first.grid().cell(column, row));
    }
    QVERIFY(second.closesWithoutQuestion());
}

void TestMainFile::unencodableWritesNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.fld"_s);
    Window w;
    w.grid().setCell(1, 3, u"Kunst"_s);
    w.grid().setCell(3, 6, u"Polski ł"_s);
    w.grid().setCell(1, 9, u"🙂"_s);
    w.system.fileAnswers.enqueue(path);
    w.form->Speichernunter1Click();

    QCOMPARE(w.dialogs.entries.size(), 1);
    const DialogRequest expected{
        DialogKind::Error,
        u"Fehler"_s,
        u"Der Eintrag  Polski ł  enthält Zeichen, die in einer Fachlese-Datei nicht "
        u"gespeichert werden können.\rBitte ändere den Eintrag und speichere dann erneut."_s,
        {DialogButton::Cancel}};
    QCOMPARE(w.dialogs.entries.first().request, expected);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(w.form->CurrentFileName, path); // the chosen name stands
    QVERIFY(w.form->Speichern->isEnabled());
    QVERIFY(!w.closesWithoutQuestion());
}

void TestMainFile::saveFailure() {
    QTemporaryDir dir;
    Window w;
    w.grid().setCell(1, 1, u"Kunst"_s);
    // A folder that does not exist cannot take the file, whatever rights the test has.
    const QString path = dir.filePath(u"fehlt/wahl.fld"_s);
    w.system.fileAnswers.enqueue(path);
    w.form->Speichernunter1Click();
    QCOMPARE(w.dialogs.entries.size(), 1);
    QCOMPARE(w.dialogs.entries.first().request,
             (DialogRequest{DialogKind::Error,
                            u"Fehler"_s,
                            u"Diskette oder Platte schreibgeschützt oder voll!"_s,
                            {DialogButton::Cancel}}));
    QCOMPARE(w.form->CurrentFileName, path);
    QVERIFY(w.form->Speichern->isEnabled());
    QCOMPARE(w.captionTail(), u"wahl"_s);
    QVERIFY(w.form->Test.GridChangedSinceSnapshot()); // no snapshot: closing still asks
    QVERIFY(!w.closesWithoutQuestion());
}

QTEST_MAIN(TestMainFile)
#include "tst_mainfile.moc"
