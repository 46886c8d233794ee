#include "support/mainwindow.h"
#include "windows/abinote.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Window behaviour that the other window tests do not reach.
class PlantedTest : public QObject {
    Q_OBJECT

    DialogRecorder dialogs;
    ScriptedSystemDialogs system;

private slots:
    // Points set from a file show their Block I sum at once, and 15 reads back as 15.
    void abiturPointsSet() {
        TAbiNoteForm form(dialogs, system);
        AbiturEntries entries;
        entries.grundkurse.fill(15);
        form.SetEntries(entries);
        QCOMPARE(form.L_GK->text(), u"330"_s);
        QCOMPARE(form.Entries().grundkurse, entries.grundkurse);
    }

    // A file that cannot be opened is reported once, as such.
    void missingFileReportedOnce() {
        QTemporaryDir dir;
        MainWindowFixture w;
        w.form->OpenDataFile(dir.filePath(u"fehlt.fld"_s));
        QCOMPARE(w.shown(), QStringList{u"error|Fehler|Die Datei kann nicht geöffnet werden|&Abbrechen"_s});
    }
};

QTEST_MAIN(PlantedTest)
#include "tst_planted.moc"
