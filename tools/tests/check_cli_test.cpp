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

    // Runs the built program in the sample folder; returns the exit status.
    int run(const QStringList &arguments, QByteArray &out, QByteArray &err) const {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), arguments);
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

    void escaping_data();
    void escaping() {
        QFETCH(bool, json);
        QFETCH(QString, text);
        QByteArray out;
        json ? AppendJsonString(text, out) : AppendCsvField(text, out);
        QTEST(out, "expected");
    }
    void folderWalkSortsAndRecurses();
    void jsonExactly();
    void csvExactly();
    void exitStatus_data();
    void exitStatus() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, outEnd);
        QByteArray out, err;
        QTEST(run(arguments, out, err), "status");
        QVERIFY2(out.endsWith(outEnd) && (outEnd.isEmpty() == out.isEmpty()), out.constData());
        QTEST(err, "err");
    }
};

void CheckCliTest::escaping_data() {
    QTest::addColumn<bool>("json");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("json quote, backslash, slash")
        << true << u"C:\\x \"y\"/"_s << QByteArray(R"("C:\\x \"y\"/")");
    QTest::newRow("json control") << true << QString(QChar(1)) + QChar(0x1f)
                                  << QByteArray(R"("\u0001\u001f")");
    QTest::newRow("json UTF-8") << true << u"»ü\U0001D11E"_s
                                << QByteArray("\"\xC2\xBB\xC3\xBC\xF0\x9D\x84\x9E\"");
    QTest::newRow("csv semicolon") << false << u"a;b"_s << QByteArray("\"a;b\"");
    QTest::newRow("csv quote") << false << u"Das \"Fach\""_s << QByteArray("\"Das \"\"Fach\"\"\"");
}

void CheckCliTest::folderWalkSortsAndRecurses() {
    QTemporaryDir dir;
    const QString root = dir.path(), folder = root + u"/jg12"_s;
    QVERIFY(QDir(root).mkpath(u"jg12/b"_s) && QDir(root).mkpath(u"ordner.fld"_s));
    for (const QString &name : {u"jg12/zora.fld"_s, u"jg12/Anna.fld"_s, u"jg12/b/c.fld"_s, u"jg12/b.fld"_s,
                                u"jg12/LAUT.FLD"_s, u"jg12/notiz.txt"_s, u"ordner.fld/x.fld"_s})
        QVERIFY(QFile(QDir(root).filePath(name)).open(QIODevice::WriteOnly));
    QCOMPARE(CollectChoiceFiles({folder}),
             (QStringList{folder + u"/Anna.fld"_s, folder + u"/LAUT.FLD"_s, folder + u"/b.fld"_s,
                          folder + u"/b/c.fld"_s, folder + u"/zora.fld"_s}));
    // Arguments keep their order; a trailing slash is not doubled; a file stands for itself.
    QCOMPARE(
        CollectChoiceFiles({root + u"/ordner.fld/"_s, folder + u"/notiz.txt"_s, root + u"/nichts.fld"_s}),
        (QStringList{root + u"/ordner.fld/x.fld"_s, folder + u"/notiz.txt"_s, root + u"/nichts.fld"_s}));
}

void CheckCliTest::jsonExactly() {
    QByteArray out, err;
    QCOMPARE(run({u"--json"_s, u"mathe.fld"_s, u"lower-case.fld"_s}, out, err), 2);
    QCOMPARE(err, QByteArray("fachlese-check: lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n"));
    const QString empty10 = QStringList(10, u"[\"\",\"\",\"\",\"\"]"_s).join(u',');
    const QString expected =
        u"{\"files\":[\n{\"file\":\"mathe.fld\",\"read\":\"ok\",\"readMessage\":null,\"dialogs\":[{\"kind\":"
        u"\"warning\",\"caption\":\"Warnung\",\"text\":\"Das Fach  Mathe  ist nicht bekannt!\\rBeachte die "
        u"wählbaren Fächer und ihre Schreibweise.\",\"buttons\":[\"&Abbrechen\"],\"answer\":\"&Abbrechen\"}],"
        u"\"passed\":false,\"choiceTested\":false,\"courses\":null,\"grid\":[[\"\",\"\",\"\",\"Mathe\"],"_s +
        empty10 +
        u"]},\n{\"file\":\"lower-case.fld\",\"read\":\"error\",\"readMessage\":\"Falsches oder fehlerhaftes "
        u"Dateiformat\",\"dialogs\":[],\"passed\":false,\"choiceTested\":false,\"courses\":null,\"grid\":["
        u"[\"\",\"\",\"\",\"\"],"_s +
        empty10 + u"]}\n],\n\"summary\":{\"files\":2,\"passed\":0,\"failed\":1,\"unreadable\":1}}\n"_s;
    QCOMPARE(QString::fromUtf8(out), expected);
}

void CheckCliTest::csvExactly() {
    QByteArray out, err;
    QCOMPARE(run({u"--csv"_s, u"valid.fld"_s, u"mathe.fld"_s, u"missing.fld"_s, u"foreign-lk.fld"_s,
                  u"--foreign-lk=no"_s},
                 out, err),
             2);
    QCOMPARE(err, QByteArray("fachlese-check: missing.fld: Die Datei kann nicht geöffnet werden\n"));
    QCOMPARE(out, u"\uFEFFDatei;Ergebnis;Kurse;Meldung\r\nvalid.fld;bestanden;36;\r\n"
                  u"mathe.fld;nicht bestanden;;\"Das Fach  Mathe  ist nicht bekannt!\rBeachte die wählbaren "
                  u"Fächer und ihre Schreibweise.\"\r\n"
                  u"missing.fld;nicht lesbar;;Die Datei kann nicht geöffnet werden\r\n"
                  u"foreign-lk.fld;nicht bestanden;36;Die Fremdsprache im LK wurde nicht als weitergeführt "
                  u"bestätigt.\r\n"_s.toUtf8());
}

void CheckCliTest::exitStatus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("outEnd");
    QTest::addColumn<QByteArray>("err");
    const QByteArray usage = "\nHilfe: fachlese-check --help\n", none = QByteArray();
    const QByteArray unreadable = "fachlese-check: lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n";
    QTest::newRow("all passed") << QStringList{u"valid.fld"_s, u"repeated.fld"_s} << 0
                                << QByteArray("2 Dateien: 2 bestanden, 0 nicht bestanden, 0 nicht lesbar\n")
                                << none;
    QTest::newRow("--foreign-lk=no") << QStringList{u"--foreign-lk=no"_s, u"foreign-lk.fld"_s} << 1
                                     << QByteArray(
                                            "1 Datei: 0 bestanden, 1 nicht bestanden, 0 nicht lesbar\n")
                                     << none;
    // The first line of the message after the name, then all of it indented; empty lines stay empty.
    QTest::newRow("text report") << QStringList{u"valid.fld"_s, u"count-32.fld"_s, u"lower-case.fld"_s} << 2
                                 << u"valid.fld: Wahl o.k., 36 Kurse\n"
                                    "count-32.fld: Du hast 32 Kurse gewählt.\n"
                                    "    Du hast 32 Kurse gewählt.\n"
                                    "    Es müssen aber mindestens 33 belegt werden.\n"
                                    "\n"
                                    "    Die Sporttheoriekurse werden dabei nicht berücksichtigt.\n"
                                    "lower-case.fld: nicht lesbar: Falsches oder fehlerhaftes Dateiformat\n"
                                    "3 Dateien: 1 bestanden, 1 nicht bestanden, 1 nicht lesbar\n"_s.toUtf8()
                                 << unreadable;
    QTest::newRow("folder, never stops")
        << QStringList{u"."_s} << 2
        << QByteArray("10 Dateien: 4 bestanden, 5 nicht bestanden, 1 nicht lesbar\n")
        << QByteArray("fachlese-check: ./lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n");
    QTest::newRow("empty folder") << QStringList{u"--"_s, u"leer"_s} << 0
                                  << QByteArray("0 Dateien: 0 bestanden, 0 nicht bestanden, 0 nicht lesbar\n")
                                  << none;
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << CheckHelpText() << none;
    QTest::newRow("no path") << QStringList{u"--json"_s} << 2 << none
                             << "fachlese-check: keine Datei und kein Ordner angegeben" + usage;
    QTest::newRow("unknown option") << QStringList{u"--xml"_s, u"a.fld"_s} << 2 << none
                                    << "fachlese-check: unbekannte Option: --xml" + usage;
    QTest::newRow("bad answer")
        << QStringList{u"--foreign-lk=ja"_s, u"a.fld"_s} << 2 << none
        << "fachlese-check: --foreign-lk verlangt den Wert yes oder no: --foreign-lk=ja" + usage;
    QTest::newRow("json and csv") << QStringList{u"--json"_s, u"--csv"_s, u"a.fld"_s} << 2 << none
                                  << "fachlese-check: --json und --csv schließen einander aus" + usage;
}

QTEST_GUILESS_MAIN(CheckCliTest)
#include "check_cli_test.moc"
