#include "tests/support/choicefiles.h"
#include "tools/checker.h"
#include "tools/report.h"
#include "tools/run.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// fachlese-check: the report formats byte for byte, the answers to the dialogs, the walk
// through folders, and the program as a process with its exit status and output.
class CheckCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void escaping_data();
    void escaping();
    void verdicts_data();
    void verdicts();
    void folderWalkSortsAndRecurses();
    void jsonExactly();
    void csvExactly();
    void textExactly();
    void exitStatus_data();
    void exitStatus();

private:
    // Runs the built program in the sample folder; returns the exit status.
    int run(const QStringList &arguments, QByteArray *out, QByteArray *err = nullptr) const {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        *out = process.readAllStandardOutput();
        if (err)
            *err = process.readAllStandardError();
        return process.exitCode();
    }

    QTemporaryDir m_dir;
};

void CheckCliTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(choicefiles::writeSamples(m_dir.path()));
    QFile file(m_dir.filePath(u"mathe.fld"_s)); // a row without TAB: all of it goes to semester 4
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Fachlese\r\nMathe\r\n") > 0);
    QVERIFY(QDir(m_dir.path()).mkpath(u"leer"_s));
}

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
    QTest::newRow("csv CR") << false << u"a\rü"_s << QByteArray("\"a\r\xC3\xBC\"");
}

void CheckCliTest::escaping() {
    QFETCH(bool, json);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QByteArray out;
    json ? AppendJsonString(text, out) : AppendCsvField(text, out);
    QCOMPARE(out, expected);
}

void CheckCliTest::verdicts_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("continued");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("courses"); // -1: not reached
    QTest::addColumn<QString>("dialogs");
    const int passed = int(FileCheck::Outcome::Passed), failed = int(FileCheck::Outcome::Failed);
    QTest::newRow("valid") << u"valid.fld"_s << true << passed << 36 << u"information:&Nein"_s;
    QTest::newRow("LK language yes") << u"foreign-lk.fld"_s << true << passed << 36
                                     << u"messagebox:&Ja information:&Nein"_s;
    QTest::newRow("LK language no") << u"foreign-lk.fld"_s << false << failed << 36 << u"messagebox:&Nein"_s;
    QTest::newRow("repeat warning") << u"repeated.fld"_s << true << passed << 37
                                    << u"warning:OK information:&Nein"_s;
    QTest::newRow("32 courses") << u"count-32.fld"_s << true << failed << 32 << u"error:&Abbrechen"_s;
    QTest::newRow("33 courses") << u"count-33.fld"_s << true << passed << 33 << u"information:&Nein"_s;
    QTest::newRow("rule 3: two errors")
        << u"rule-three.fld"_s << true << failed << -1 << u"warning:OK error:&Abbrechen error:&Abbrechen"_s;
    QTest::newRow("blanks trimmed") << u"blanks.fld"_s << true << passed << 36 << u"information:&Nein"_s;
    QTest::newRow("signature only") << u"signature-only.fld"_s << true << failed << -1
                                    << u"warning:&Abbrechen"_s;
    QTest::newRow("lower-case signature")
        << u"lower-case.fld"_s << true << int(FileCheck::Outcome::Unreadable) << -1 << QString();
}

void CheckCliTest::verdicts() {
    QFETCH(QString, file);
    QFETCH(bool, continued);
    QFETCH(int, outcome);
    QFETCH(int, courses);
    QFETCH(QString, dialogs);
    ChoiceChecker checker(continued);
    checker.check(m_dir.filePath(u"valid.fld"_s)); // leaves ChoiceTested and a count behind
    const FileCheck check = checker.check(m_dir.filePath(file), file);
    QCOMPARE(int(check.outcome()), outcome);
    QCOMPARE(check.courses.value_or(-1), courses);
    QCOMPARE(check.choiceTested, outcome == int(FileCheck::Outcome::Passed));
    QStringList seen;
    for (const DialogRecorder::Entry &entry : check.dialogs)
        seen.append(kindName(entry.request.kind) + u':' + buttonText(entry.answer));
    QCOMPARE(seen.join(u' '), dialogs);
}

void CheckCliTest::folderWalkSortsAndRecurses() {
    QTemporaryDir dir;
    const QString root = dir.path(), folder = root + u"/jg12"_s;
    QVERIFY(QDir(root).mkpath(u"jg12/b"_s) && QDir(root).mkpath(u"ordner.fld"_s));
    for (const QString &name : {u"jg12/zora.fld"_s, u"jg12/Anna.fld"_s, u"jg12/b/c.fld"_s, u"jg12/b.fld"_s,
                                u"jg12/LAUT.FLD"_s, u"jg12/notiz.txt"_s, u"ordner.fld/x.fld"_s}) {
        QFile file(QDir(root).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
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
    QCOMPARE(run({u"--json"_s, u"mathe.fld"_s, u"empty.fld"_s}, &out, &err), 2);
    QCOMPARE(err, QByteArray("fachlese-check: empty.fld: Falsches oder fehlerhaftes Dateiformat\n"));
    const QString empty10 = QStringList(10, u"[\"\",\"\",\"\",\"\"]"_s).join(u',');
    const QString expected =
        u"{\"files\":[\n{\"file\":\"mathe.fld\",\"read\":\"ok\",\"readMessage\":null,\"dialogs\":[{\"kind\":"
        u"\"warning\",\"caption\":\"Warnung\",\"text\":\"Das Fach  Mathe  ist nicht bekannt!\\rBeachte die "
        u"wählbaren Fächer und ihre Schreibweise.\",\"buttons\":[\"&Abbrechen\"],\"answer\":\"&Abbrechen\"}],"
        u"\"passed\":false,\"choiceTested\":false,\"courses\":null,\"grid\":[[\"\",\"\",\"\",\"Mathe\"],"_s +
        empty10 +
        u"]},\n{\"file\":\"empty.fld\",\"read\":\"error\",\"readMessage\":\"Falsches oder fehlerhaftes "
        u"Dateiformat\",\"dialogs\":[],\"passed\":false,\"choiceTested\":false,\"courses\":null,\"grid\":[["
        u"\"\","
        u"\"\",\"\",\"\"],"_s +
        empty10 + u"]}\n],\n\"summary\":{\"files\":2,\"passed\":0,\"failed\":1,\"unreadable\":1}}\n"_s;
    QCOMPARE(QString::fromUtf8(out), expected);
}

void CheckCliTest::csvExactly() {
    QByteArray out, err;
    QCOMPARE(run({u"--csv"_s, u"valid.fld"_s, u"obligations.fld"_s, u"missing.fld"_s, u"foreign-lk.fld"_s,
                  u"--foreign-lk=no"_s},
                 &out, &err),
             2);
    QCOMPARE(err, QByteArray("fachlese-check: missing.fld: Die Datei kann nicht geöffnet werden\n"));
    const QByteArray expected =
        u"\uFEFFDatei;Ergebnis;Kurse;Meldung\r\nvalid.fld;bestanden;36;\r\n"
        u"obligations.fld;nicht bestanden;;\"Es fehlen folgende Kurse:\r\r1xPolitik \r\r"
        u"Beachte die Belegungungsverpflichtungen:\rA\t\tB\t\tC\r4xDE\t\t2xPO\t\t4xNW\r"
        u"4xFremdsp.\t2xGE\t\t4xMA\r2xKU o. 2xMU\t2xRE o. 2xWN\r4xSP  Bei Sport-LK zus. 4xSportheorie\r\r"
        u"Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : \r2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK\r"
        u"Informatik ist keine Naturwissenschaft\"\r\n"
        u"missing.fld;nicht lesbar;;Die Datei kann nicht geöffnet werden\r\n"
        u"foreign-lk.fld;nicht bestanden;36;Die Fremdsprache im LK wurde nicht als weitergeführt bestätigt.\r\n"_s
            .toUtf8();
    QCOMPARE(out, expected);
}

void CheckCliTest::textExactly() {
    QByteArray out, err;
    QCOMPARE(run({u"valid.fld"_s, u"count-32.fld"_s, u"lower-case.fld"_s}, &out, &err), 2);
    QCOMPARE(err, QByteArray("fachlese-check: lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n"));
    // The first line of the message after the name, then all of it indented; empty lines stay empty.
    QCOMPARE(out, u"valid.fld: Wahl o.k., 36 Kurse\n"
                  "count-32.fld: Du hast 32 Kurse gewählt.\n"
                  "    Du hast 32 Kurse gewählt.\n"
                  "    Es müssen aber mindestens 33 belegt werden.\n"
                  "\n"
                  "    Die Sporttheoriekurse werden dabei nicht berücksichtigt.\n"
                  "lower-case.fld: nicht lesbar: Falsches oder fehlerhaftes Dateiformat\n"
                  "3 Dateien: 1 bestanden, 1 nicht bestanden, 1 nicht lesbar\n"_s.toUtf8());
}

void CheckCliTest::exitStatus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("outEnd");
    QTest::addColumn<QByteArray>("err");
    const QByteArray usage = "\nHilfe: fachlese-check --help\n";
    QTest::newRow("all passed") << QStringList{u"valid.fld"_s, u"count-33.fld"_s} << 0
                                << QByteArray("2 Dateien: 2 bestanden, 0 nicht bestanden, 0 nicht lesbar\n")
                                << QByteArray();
    QTest::newRow("one failed") << QStringList{u"valid.fld"_s, u"count-32.fld"_s} << 1
                                << QByteArray("2 Dateien: 1 bestanden, 1 nicht bestanden, 0 nicht lesbar\n")
                                << QByteArray();
    QTest::newRow("--foreign-lk=no") << QStringList{u"--foreign-lk=no"_s, u"foreign-lk.fld"_s} << 1
                                     << QByteArray(
                                            "1 Datei: 0 bestanden, 1 nicht bestanden, 0 nicht lesbar\n")
                                     << QByteArray();
    QTest::newRow("folder, never stops")
        << QStringList{u"."_s} << 2
        << QByteArray("14 Dateien: 5 bestanden, 7 nicht bestanden, 2 nicht lesbar\n")
        << QByteArray("fachlese-check: ./empty.fld: Falsches oder fehlerhaftes Dateiformat\n"
                      "fachlese-check: ./lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n");
    QTest::newRow("empty folder") << QStringList{u"--"_s, u"leer"_s} << 0
                                  << QByteArray("0 Dateien: 0 bestanden, 0 nicht bestanden, 0 nicht lesbar\n")
                                  << QByteArray();
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << CheckHelpText() << QByteArray();
    QTest::newRow("no path") << QStringList{u"--json"_s} << 2 << QByteArray()
                             << "fachlese-check: keine Datei und kein Ordner angegeben" + usage;
    QTest::newRow("unknown option") << QStringList{u"--xml"_s, u"a.fld"_s} << 2 << QByteArray()
                                    << "fachlese-check: unbekannte Option: --xml" + usage;
    QTest::newRow("bad answer")
        << QStringList{u"--foreign-lk=ja"_s, u"a.fld"_s} << 2 << QByteArray()
        << "fachlese-check: --foreign-lk verlangt den Wert yes oder no: --foreign-lk=ja" + usage;
    QTest::newRow("json and csv") << QStringList{u"--json"_s, u"--csv"_s, u"a.fld"_s} << 2 << QByteArray()
                                  << "fachlese-check: --json und --csv schlie\xC3\x9F"
                                     "en einander aus" +
                                         usage;
}

void CheckCliTest::exitStatus() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, outEnd);
    QFETCH(QByteArray, err);
    QByteArray out, errOut;
    QCOMPARE(run(arguments, &out, &errOut), status);
    QVERIFY2(out.endsWith(outEnd) && (outEnd.isEmpty() == out.isEmpty()), out.constData());
    QCOMPARE(errOut, err);
}

QTEST_GUILESS_MAIN(CheckCliTest)
#include "check_cli_test.moc"
