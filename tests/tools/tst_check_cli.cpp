#include "tests/support/choicefiles.h"
#include "tools/checker.h"
#include "tools/report.h"
#include "tools/run.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// fachlese-check: the report formats byte for byte, the walk through folders, and the program
// as a process with its exit status and output.
class CheckCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir; // the sample choices, a row without TAB and an empty folder

    // Runs the built program in the sample folder with `arguments` split at blanks; returns the
    // exit status.
    int run(const QString &arguments, QByteArray &out, QByteArray &err) const {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), arguments.split(u' '));
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitCode();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid() && choicefiles::writeSamples(m_dir.path()));
        QFile file(m_dir.filePath(u"mathe.fld"_s)); // a row without TAB: all of it goes to semester 4
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Fachlese\r\nMathe\r\n") > 0);
        QVERIFY(QDir(m_dir.path()).mkpath(u"leer"_s));
    }

    // Out of the class: raw strings there confuse moc.
    void escaping();

    void folderWalkSortsAndRecurses() {
        QTemporaryDir dir;
        const QString root = dir.path(), folder = root + u"/jg12"_s;
        QVERIFY(QDir(root).mkpath(u"jg12/b"_s) && QDir(root).mkpath(u"ordner.fld"_s));
        for (const QString &name :
             {u"jg12/zora.fld"_s, u"jg12/Anna.fld"_s, u"jg12/b/c.fld"_s, u"jg12/b.fld"_s, u"jg12/LAUT.FLD"_s,
              u"jg12/notiz.txt"_s, u"ordner.fld/x.fld"_s})
            QVERIFY(QFile(QDir(root).filePath(name)).open(QIODevice::WriteOnly));
        QCOMPARE(CollectChoiceFiles({folder}),
                 (QStringList{folder + u"/Anna.fld"_s, folder + u"/LAUT.FLD"_s, folder + u"/b.fld"_s,
                              folder + u"/b/c.fld"_s, folder + u"/zora.fld"_s}));
        // Arguments keep their order; a trailing slash is not doubled; a file stands for itself.
        QCOMPARE(
            CollectChoiceFiles({root + u"/ordner.fld/"_s, folder + u"/notiz.txt"_s, root + u"/nichts.fld"_s}),
            (QStringList{root + u"/ordner.fld/x.fld"_s, folder + u"/notiz.txt"_s, root + u"/nichts.fld"_s}));
    }

    void jsonExactly();
    void csvExactly() {
        QByteArray out, err;
        QCOMPARE(run(u"--csv valid.fld mathe.fld missing.fld foreign-lk.fld --foreign-lk=no"_s, out, err), 2);
        QCOMPARE(err, QByteArray("fachlese-check: missing.fld: Die Datei kann nicht geöffnet werden\n"));
        QCOMPARE(out,
                 QByteArray("\uFEFFDatei;Ergebnis;Kurse;Meldung\r\nvalid.fld;bestanden;36;\r\n"
                            "mathe.fld;nicht bestanden;;\"Das Fach  Mathe  ist nicht bekannt!\rBeachte die "
                            "wählbaren Fächer und ihre Schreibweise.\"\r\n"
                            "missing.fld;nicht lesbar;;Die Datei kann nicht geöffnet werden\r\n"
                            "foreign-lk.fld;nicht bestanden;36;Die Fremdsprache im LK wurde nicht als "
                            "weitergeführt bestätigt.\r\n"));
    }

    void exitStatus_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("outEnd");
        QTest::addColumn<QByteArray>("err");
        const auto row = [](const char *name, const QString &arguments, int status, const QByteArray &outEnd,
                            const QByteArray &err = {}) {
            QTest::newRow(name) << arguments << status << outEnd << err;
        };
        const QByteArray usage = "\nHilfe: fachlese-check --help\n";
        row("all passed", u"valid.fld repeated.fld"_s, 0,
            "2 Dateien: 2 bestanden, 0 nicht bestanden, 0 nicht lesbar\n");
        row("--foreign-lk=no", u"--foreign-lk=no foreign-lk.fld"_s, 1,
            "1 Datei: 0 bestanden, 1 nicht bestanden, 0 nicht lesbar\n");
        // The first line of the message after the name, then all of it indented; empty lines stay empty.
        row("text report", u"valid.fld count-32.fld lower-case.fld"_s, 2,
            "valid.fld: Wahl o.k., 36 Kurse\ncount-32.fld: Du hast 32 Kurse gewählt.\n"
            "    Du hast 32 Kurse gewählt.\n    Es müssen aber mindestens 33 belegt werden.\n\n"
            "    Die Sporttheoriekurse werden dabei nicht berücksichtigt.\n"
            "lower-case.fld: nicht lesbar: Falsches oder fehlerhaftes Dateiformat\n"
            "3 Dateien: 1 bestanden, 1 nicht bestanden, 1 nicht lesbar\n",
            "fachlese-check: lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n");
        row("folder, never stops", u"."_s, 2, "10 Dateien: 4 bestanden, 5 nicht bestanden, 1 nicht lesbar\n",
            "fachlese-check: ./lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n");
        row("empty folder", u"-- leer"_s, 0, "0 Dateien: 0 bestanden, 0 nicht bestanden, 0 nicht lesbar\n");
        row("--help", u"--help"_s, 0, CheckHelpText());
        row("no path", u"--json"_s, 2, {}, "fachlese-check: keine Datei und kein Ordner angegeben" + usage);
        row("unknown option", u"--xml a.fld"_s, 2, {}, "fachlese-check: unbekannte Option: --xml" + usage);
        row("bad answer", u"--foreign-lk=ja a.fld"_s, 2, {},
            "fachlese-check: --foreign-lk verlangt den Wert yes oder no: --foreign-lk=ja" + usage);
        row("json and csv", u"--json --csv a.fld"_s, 2, {},
            "fachlese-check: --json und --csv schließen einander aus" + usage);
    }

    void exitStatus() {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, outEnd);
        QByteArray out, err;
        QTEST(run(arguments, out, err), "status");
        QVERIFY2(out.endsWith(outEnd) && (outEnd.isEmpty() == out.isEmpty()), out.constData());
        QTEST(err, "err");
    }
};

// JSON: quote and backslash escaped, slash not, control characters as \u, the rest UTF-8. CSV:
// a field with a semicolon or a quote in quotes, a quote doubled.
void CheckCliTest::escaping() {
    QByteArray json, csv;
    AppendJsonString(u"C:\\x \"y\"/"_s + QChar(1) + QChar(0x1f) + u"»ü\U0001D11E"_s, json);
    QCOMPARE(json, QByteArray(R"("C:\\x \"y\"/\u0001\u001f)"
                              "\xC2\xBB\xC3\xBC\xF0\x9D\x84\x9E\""));
    AppendCsvField(u"a;b"_s, csv);
    AppendCsvField(u"Das \"Fach\""_s, csv);
    QCOMPARE(csv, QByteArray("\"a;b\"\"Das \"\"Fach\"\"\""));
}

// '|' stands for a line break, '#' for ten empty grid rows.
void CheckCliTest::jsonExactly() {
    QByteArray out, err;
    QCOMPARE(run(u"--json mathe.fld lower-case.fld"_s, out, err), 2);
    QByteArray expected =
        R"({"files":[|{"file":"mathe.fld","read":"ok","readMessage":null,"dialogs":[{"kind":"warning",)"
        R"("caption":"Warnung","text":"Das Fach  Mathe  ist nicht bekannt!\rBeachte die wählbaren Fächer )"
        R"(und ihre Schreibweise.","buttons":["&Abbrechen"],"answer":"&Abbrechen"}],"passed":false,)"
        R"("choiceTested":false,"courses":null,"grid":[["","","","Mathe"],#]},|{"file":"lower-case.fld",)"
        R"("read":"error","readMessage":"Falsches oder fehlerhaftes Dateiformat","dialogs":[],"passed":false,)"
        R"("choiceTested":false,"courses":null,"grid":[["","","",""],#]}|],|"summary":{"files":2,"passed":0,)"
        R"("failed":1,"unreadable":1}}|)";
    QCOMPARE(out, expected.replace('|', '\n').replace("#", QByteArrayList(10, R"(["","","",""])").join(',')));
}

QTEST_GUILESS_MAIN(CheckCliTest)
#include "tst_check_cli.moc"
