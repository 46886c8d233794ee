#include "tests/support/choicefiles.h"
#include "tools/checker.h"
#include "tools/report.h"
#include "tools/run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// fachlese-check: the report formats byte for byte, the walk through folders, the answers
// to the dialogs, and the program as a process with its exit status and output.
class CheckCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void jsonString_data();
    void jsonString();
    void csvField_data();
    void csvField();

    void verdicts_data();
    void verdicts();
    void checkerStartsAfreshForEachFile();
    void fileSavedByTheProgram();

    void folderWalkSortsAndRecurses();

    void jsonDocumentExactly();
    void csvExactly();
    void textExactly();

    void largeReportStaysOneDocument();
    void exitStatus_data();
    void exitStatus();
    void usageErrors_data();
    void usageErrors();
    void helpIsGerman();

private:
    QString samplePath(const QString &name) const { return m_dir.filePath(name); }
    // Runs the built program in the sample folder; returns the exit status.
    int runTool(const QStringList &arguments, QByteArray *out, QByteArray *err) const;

    QTemporaryDir m_dir;
};

namespace {
const QString CR = u"\r"_s;
} // namespace

void CheckCliTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    for (const choicefiles::Sample &sample : choicefiles::samples())
        QVERIFY(choicefiles::write(m_dir.path(), sample.name, sample.bytes));
}

int CheckCliTest::runTool(const QStringList &arguments, QByteArray *out, QByteArray *err) const {
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    *out = process.readAllStandardOutput();
    *err = process.readAllStandardError();
    return process.exitCode();
}

void CheckCliTest::jsonString_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("plain") << u"Deutsch"_s << QByteArray(R"("Deutsch")");
    QTest::newRow("empty") << QString() << QByteArray(R"("")");
    QTest::newRow("carriage returns") << u"a\r\rb"_s << QByteArray(R"("a\r\rb")");
    QTest::newRow("quote and backslash") << u"C:\\x \"y\""_s << QByteArray(R"("C:\\x \"y\"")");
    QTest::newRow("tab, line feed") << u"A\t\tB\n"_s << QByteArray(R"("A\t\tB\n")");
    QTest::newRow("other control") << QString(QChar(1)) + QChar(0x1f) << QByteArray(R"("\u0001\u001f")");
    QTest::newRow("umlaut and guillemet") << u"»Prüfungsfach«"_s
                                          << QByteArray("\"\xC2\xBBPr\xC3\xBC"
                                                        "fungsfach\xC2\xAB\"");
    QTest::newRow("outside the BMP") << u"a\U0001D11Eb"_s
                                     << QByteArray("\"a\xF0\x9D\x84\x9E"
                                                   "b\"");
    QTest::newRow("slash stays") << u"a/b"_s << QByteArray(R"("a/b")");
}

void CheckCliTest::jsonString() {
    QFETCH(QString, text);
    QFETCH(QByteArray, json);
    QByteArray out;
    AppendJsonString(text, out);
    QCOMPARE(out, json);
}

void CheckCliTest::csvField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("plain") << u"anna.fld"_s << QByteArray("anna.fld");
    QTest::newRow("blanks stay unquoted") << u" 4xDeutsch "_s << QByteArray(" 4xDeutsch ");
    QTest::newRow("semicolon") << u"a;b"_s << QByteArray("\"a;b\"");
    QTest::newRow("quote doubled") << u"Das \"Fach\""_s << QByteArray("\"Das \"\"Fach\"\"\"");
    QTest::newRow("carriage return") << u"a\rb"_s << QByteArray("\"a\rb\"");
    QTest::newRow("line feed") << u"a\nb"_s << QByteArray("\"a\nb\"");
    QTest::newRow("umlaut") << u"Türkisch"_s << QByteArray("T\xC3\xBCrkisch");
    QTest::newRow("empty") << QString() << QByteArray();
}

void CheckCliTest::csvField() {
    QFETCH(QString, text);
    QFETCH(QByteArray, csv);
    QByteArray out;
    AppendCsvField(text, out);
    QCOMPARE(out, csv);
}

void CheckCliTest::verdicts_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QVariant>("courses");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QString>("firstFailure");
    using O = FileCheck::Outcome;
    const QVariant none;
    QTest::newRow("valid") << u"valid.fld"_s << int(O::Passed) << QVariant(36)
                           << QStringList{u"information"_s} << QString();
    QTest::newRow("repeat warning, then passes") << u"repeated.fld"_s << int(O::Passed) << QVariant(37)
                                                 << QStringList{u"warning"_s, u"information"_s} << QString();
    QTest::newRow("32 courses") << u"count-32.fld"_s << int(O::Failed) << QVariant(32)
                                << QStringList{u"error"_s}
                                << u"Du hast 32 Kurse gewählt."_s + CR +
                                       u"Es müssen aber mindestens 33 belegt werden."_s + CR + CR +
                                       u"Die Sporttheoriekurse werden dabei nicht berücksichtigt."_s;
    QTest::newRow("33 courses") << u"count-33.fld"_s << int(O::Passed) << QVariant(33)
                                << QStringList{u"information"_s} << QString();
    QTest::newRow("unknown subject") << u"unknown.fld"_s << int(O::Failed) << none
                                     << QStringList{u"warning"_s}
                                     << u"Das Fach  Mathe  ist nicht bekannt!"_s + CR +
                                            u"Beachte die wählbaren Fächer und ihre Schreibweise."_s;
    QTest::newRow("empty grid") << u"empty-grid.fld"_s << int(O::Failed) << none << QStringList{u"warning"_s}
                                << u"Es sind noch keine Fächer eingetragen."_s;
    QTest::newRow("signature only") << u"signature-only.fld"_s << int(O::Failed) << none
                                    << QStringList{u"warning"_s}
                                    << u"Es sind noch keine Fächer eingetragen."_s;
    // Physik and Biologie stand twice in semester 1: the repeat warning comes first but ends nothing.
    QTest::newRow("rule 3: two errors")
        << u"rule-three.fld"_s << int(O::Failed) << none << QStringList{u"warning"_s, u"error"_s, u"error"_s}
        << u"Unter den vier Prüfungsfächern müssen die Fächer DEUTSCH oder eine weitergeführte FREMDSPRACHE "
           u"oder MATHEMATIK sein."_s;
    QTest::newRow("blanks are trimmed")
        << u"blanks.fld"_s << int(O::Passed) << QVariant(36) << QStringList{u"information"_s} << QString();
    QTest::newRow("lower-case signature")
        << u"lower-case.fld"_s << int(O::Unreadable) << none << QStringList() << QString();
    QTest::newRow("empty file") << u"empty.fld"_s << int(O::Unreadable) << none << QStringList() << QString();
    QTest::newRow("missing file") << u"missing.fld"_s << int(O::Unreadable) << none << QStringList()
                                  << QString();
}

void CheckCliTest::verdicts() {
    QFETCH(QString, file);
    QFETCH(int, outcome);
    QFETCH(QVariant, courses);
    QFETCH(QStringList, kinds);
    QFETCH(QString, firstFailure);

    ChoiceChecker checker(true);
    const FileCheck check = checker.check(samplePath(file), file);
    QCOMPARE(check.file, file);
    QCOMPARE(int(check.outcome()), outcome);
    QCOMPARE(check.courses.has_value(), courses.isValid());
    if (courses.isValid())
        QCOMPARE(*check.courses, courses.toInt());
    QStringList recordedKinds;
    for (const DialogRecorder::Entry &entry : check.dialogs)
        recordedKinds.append(kindName(entry.request.kind));
    QCOMPARE(recordedKinds, kinds);
    QCOMPARE(check.failureMessages().value(0), firstFailure);
    QCOMPARE(check.choiceTested, outcome == int(FileCheck::Outcome::Passed));
    if (outcome == int(FileCheck::Outcome::Passed)) {
        // The verdict is answered "&Nein": nothing is printed.
        QCOMPARE(check.dialogs.last().request.buttons,
                 (QList<DialogButton>{DialogButton::Yes, DialogButton::No}));
        QCOMPARE(check.dialogs.last().answer, DialogButton::No);
    }
    if (outcome == int(FileCheck::Outcome::Unreadable)) {
        QCOMPARE(check.readMessage(), file == u"missing.fld" ? kCannotOpenMessage : kBadFormatMessage);
        for (const QString &cell : check.grid)
            QVERIFY(cell.isEmpty());
    } else {
        QVERIFY(check.readMessage().isEmpty());
    }
}

void CheckCliTest::checkerStartsAfreshForEachFile() {
    // A passed file leaves ChoiceTested and the count behind; the next file must not see them.
    ChoiceChecker checker(true);
    QVERIFY(checker.check(samplePath(u"valid.fld"_s)).passed);
    const FileCheck failed = checker.check(samplePath(u"unknown.fld"_s));
    QVERIFY(!failed.choiceTested);
    QVERIFY(!failed.courses.has_value());
    QCOMPARE(failed.dialogs.size(), 1);
    // Text in the spare row of one file must not survive into an unreadable one.
    QVERIFY(checker.check(samplePath(u"blanks.fld"_s)).passed);
    const FileCheck unreadable = checker.check(samplePath(u"empty.fld"_s));
    QVERIFY(unreadable.dialogs.isEmpty());
    QCOMPARE(unreadable.grid[0], QString());
}

void CheckCliTest::fileSavedByTheProgram() {
    // A file written by "Speichern", umlauts as single Windows-1252 bytes, is read back alike.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    GridModel grid;
    QStringList rows = choicefiles::validChoice();
    rows[2] = u"FR"_s;        // Französisch
    rows[8] = u"PA PA - -"_s; // Pädagogik
    choices::fill(grid, rows);
    const QString path = dir.filePath(u"gespeichert.fld"_s);
    QCOMPARE(SaveDataFile(path, grid).status, DataFileWriteStatus::Ok);
    ChoiceChecker checker(true);
    const FileCheck check = checker.check(path);
    QCOMPARE(check.outcome(), FileCheck::Outcome::Passed);
    QCOMPARE(check.courses, std::optional<int>(34));
    QCOMPARE(check.grid[8], u"Französisch"_s);
    QCOMPARE(check.grid[32], u"Pädagogik"_s);
}

void CheckCliTest::folderWalkSortsAndRecurses() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    QVERIFY(QDir(root).mkpath(u"jg12/b"_s));
    QVERIFY(QDir(root).mkpath(u"leer"_s));
    QVERIFY(QDir(root).mkpath(u"ordner.fld"_s));
    for (const QString &name :
         {u"jg12/zora.fld"_s, u"jg12/Anna.fld"_s, u"jg12/b/c.fld"_s, u"jg12/b.fld"_s, u"jg12/LAUT.FLD"_s,
          u"jg12/notiz.txt"_s, u"jg12/fld"_s, u"ordner.fld/x.fld"_s})
        QVERIFY(choicefiles::write(root, name, QByteArray()));

    const QString folder = root + u"/jg12"_s;
    QCOMPARE(CollectChoiceFiles({folder}),
             (QStringList{folder + u"/Anna.fld"_s, folder + u"/LAUT.FLD"_s, folder + u"/b.fld"_s,
                          folder + u"/b/c.fld"_s, folder + u"/zora.fld"_s}));
    // A trailing slash is not doubled; arguments keep their order; a folder named *.fld is
    // searched; an empty folder adds nothing; a file argument stands for itself whatever its name.
    QCOMPARE(CollectChoiceFiles({root + u"/ordner.fld/"_s, root + u"/leer"_s, folder + u"/notiz.txt"_s,
                                 root + u"/nichts.fld"_s, root + u"/ordner.fld"_s}),
             (QStringList{root + u"/ordner.fld/x.fld"_s, folder + u"/notiz.txt"_s, root + u"/nichts.fld"_s,
                          root + u"/ordner.fld/x.fld"_s}));
}

void CheckCliTest::jsonDocumentExactly() {
    QByteArray out, err;
    QCOMPARE(runTool({u"--json"_s, u"unknown.fld"_s, u"foreign-lk.fld"_s, u"empty.fld"_s}, &out, &err), 2);
    QCOMPARE(err, QByteArray("fachlese-check: empty.fld: Falsches oder fehlerhaftes Dateiformat\n"));

    // The grid rows after the run, as JSON.
    auto row = [](const QString &a, const QString &b, const QString &c, const QString &d) {
        return u"[\""_s + a + u"\",\""_s + b + u"\",\""_s + c + u"\",\""_s + d + u"\"]"_s;
    };
    auto all = [&row](const QString &name) { return row(name, name, name, name); };
    const QString emptyRow = row({}, {}, {}, {});
    const QString tail = u","_s + all(u"Physik"_s) + u","_s;
    const QString rest = all(u"Politik"_s) + u","_s +
                         row(u"Religion"_s, u"Religion"_s, u"Kunst"_s, u"Kunst"_s) + u","_s +
                         all(u"Biologie"_s) + u","_s + emptyRow + u","_s + emptyRow + u"]}"_s;
    QString emptyGrid;
    for (int r = 0; r < 11; ++r)
        emptyGrid += (r ? u","_s : QString()) + emptyRow;

    const QString expected =
        u"{\"files\":[\n"
        u"{\"file\":\"unknown.fld\",\"read\":\"ok\",\"readMessage\":null,\"dialogs\":[{\"kind\":\"warning\","
        u"\"caption\":\"Warnung\",\"text\":\"Das Fach  Mathe  ist nicht bekannt!\\rBeachte die wählbaren "
        u"Fächer "
        u"und ihre Schreibweise.\",\"buttons\":[\"&Abbrechen\"],\"answer\":\"&Abbrechen\"}],\"passed\":false,"
        u"\"choiceTested\":false,\"courses\":null,\"grid\":["_s +
        all(u"Deutsch"_s) + u","_s + all(u"Mathematik"_s) + u","_s + all(u"Englisch"_s) + u","_s +
        all(u"Geschichte"_s) + tail + row(u"Sport"_s, u"Sport"_s, u"Mathe"_s, u"Sport"_s) + u","_s + rest +
        u",\n"
        u"{\"file\":\"foreign-lk.fld\",\"read\":\"ok\",\"readMessage\":null,\"dialogs\":[{\"kind\":"
        u"\"messagebox\","
        u"\"caption\":\" WICHTIGE FRAGE!\",\"text\":\" Bist du dir sicher, dass die Fremdsprache\\r im LK "
        u"eine "
        u"weitergeführte Sprache ist?\\r\\r Weitergeführt sind Fremdsprachen, wenn sie in der SEK I\\r "
        u"regulär "
        u"unterrichtet und benotet wurden. (keine AGs!)\\r\\r Fremdsprachen, die in der 11. Klasse neu "
        u"begonnen "
        u"wurden,\\r dürfen nicht(!) als LK gewählt "
        u"werden.\",\"buttons\":[\"&Ja\",\"&Nein\"],\"answer\":\"&Ja\"},"
        u"{\"kind\":\"information\",\"caption\":\"Information\",\"text\":\"»Eine im 11. Jg. begonnene "
        u"Fremdsprache "
        u"muss (!) im 12.u.13. Jg. belegt werden.\\r»Die durchgängige Fremdsprache muss im 11.Jg. "
        u"durchgängig "
        u"belegt worden sein.\\r»Die durchgängige Naturwissenschaft muss mind. ein halbes Jahr im 11. Jg. "
        u"belegt "
        u"worden sein.\\r»Bei Sport als LK/PK muss ein ärztlicher Unbedenklichkeitsbescheid "
        u"vorliegen.\\r»Die max. "
        u"Wochenstundenzahl beträgt 34 Stunden.\\r\\r   Du hast 36 Kurse gewählt. Davon können 32 in die "
        u"Abiturnote eingehen.\\r\\r»»» Wenn die oben genannten Bedingungen erfüllt sind, ist die Wahl o.k.! "
        u"\\r\\rSoll ein offizieller Fachlesebogen ausgedruck werden?\",\"buttons\":[\"&Ja\",\"&Nein\"],"
        u"\"answer\":\"&Nein\"}],\"passed\":true,\"choiceTested\":true,\"courses\":36,\"grid\":["_s +
        all(u"Englisch"_s) + u","_s + all(u"Mathematik"_s) + u","_s + all(u"Deutsch"_s) + u","_s +
        all(u"Geschichte"_s) + tail + all(u"Sport"_s) + u","_s + rest +
        u",\n"
        u"{\"file\":\"empty.fld\",\"read\":\"error\",\"readMessage\":\"Falsches oder fehlerhaftes "
        u"Dateiformat\","
        u"\"dialogs\":[],\"passed\":false,\"choiceTested\":false,\"courses\":null,\"grid\":["_s +
        emptyGrid +
        u"]}\n"
        u"],\n"
        u"\"summary\":{\"files\":3,\"passed\":1,\"failed\":1,\"unreadable\":1}}\n"_s;
    QCOMPARE(QString::fromUtf8(out), expected);

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray files = document.object().value(u"files"_s).toArray();
    QCOMPARE(files.size(), 3);
    QCOMPARE(files[0].toObject().value(u"dialogs"_s).toArray()[0].toObject().value(u"text"_s).toString(),
             u"Das Fach  Mathe  ist nicht bekannt!"_s + CR +
                 u"Beachte die wählbaren Fächer und ihre Schreibweise."_s);
}

void CheckCliTest::csvExactly() {
    QByteArray out, err;
    QCOMPARE(runTool({u"--csv"_s, u"valid.fld"_s, u"obligations.fld"_s, u"missing.fld"_s, u"foreign-lk.fld"_s,
                      u"--foreign-lk=no"_s},
                     &out, &err),
             2);
    QCOMPARE(err, QByteArray("fachlese-check: missing.fld: Die Datei kann nicht geöffnet werden\n"));
    QByteArray expected = "\xEF\xBB\xBF"
                          "Datei;Ergebnis;Kurse;Meldung\r\n"
                          "valid.fld;bestanden;36;\r\n"
                          "obligations.fld;nicht bestanden;;\"Es fehlen folgende Kurse:\r\r1xPolitik \r\r"
                          "Beachte die Belegungungsverpflichtungen:\rA\t\tB\t\tC\r4xDE\t\t2xPO\t\t4xNW\r"
                          "4xFremdsp.\t2xGE\t\t4xMA\r2xKU o. 2xMU\t2xRE o. 2xWN\r"
                          "4xSP  Bei Sport-LK zus. 4xSportheorie\r\r";
    expected +=
        QStringLiteral("Bei Religion als Prüf.-Fach gilt im Aufgabenfeld B : \r"
                       "2xPO, 2xGE und 2xPO oder 2xGE oder 2xEK\rInformatik ist keine Naturwissenschaft\"\r\n"
                       "missing.fld;nicht lesbar;;Die Datei kann nicht geöffnet werden\r\n"
                       "foreign-lk.fld;nicht bestanden;36;")
            .toUtf8() +
        kForeignLanguageDeniedText.toUtf8() + "\r\n";
    QCOMPARE(out, expected);
}

void CheckCliTest::textExactly() {
    QByteArray out, err;
    QCOMPARE(runTool({u"valid.fld"_s, u"rule-three.fld"_s, u"lower-case.fld"_s}, &out, &err), 2);
    QCOMPARE(err, QByteArray("fachlese-check: lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n"));
    const QByteArray expected =
        QStringLiteral(
            "valid.fld: Wahl o.k., 36 Kurse\n"
            "rule-three.fld: Unter den vier Prüfungsfächern müssen die Fächer DEUTSCH oder eine "
            "weitergeführte FREMDSPRACHE oder MATHEMATIK sein.\n"
            "    Unter den vier Prüfungsfächern müssen die Fächer DEUTSCH oder eine weitergeführte "
            "FREMDSPRACHE oder MATHEMATIK sein.\n"
            "    Ein Prüfungfach aus Aufgabenfeld A muss DEUTSCH oder eine (weitergeführte oder in 11 "
            "neu begonnene FREMDSPRACHE sein.\n"
            "lower-case.fld: nicht lesbar: Falsches oder fehlerhaftes Dateiformat\n"
            "3 Dateien: 1 bestanden, 1 nicht bestanden, 1 nicht lesbar\n")
            .toUtf8();
    QCOMPARE(out, expected);

    // A message of several lines: the first after the name, all of them indented, an empty
    // line left empty.
    QCOMPARE(runTool({u"count-32.fld"_s}, &out, &err), 1);
    QCOMPARE(out, QStringLiteral("count-32.fld: Du hast 32 Kurse gewählt.\n"
                                 "    Du hast 32 Kurse gewählt.\n"
                                 "    Es müssen aber mindestens 33 belegt werden.\n"
                                 "\n"
                                 "    Die Sporttheoriekurse werden dabei nicht berücksichtigt.\n"
                                 "1 Datei: 0 bestanden, 1 nicht bestanden, 0 nicht lesbar\n")
                      .toUtf8());
    QVERIFY(err.isEmpty());
}

void CheckCliTest::largeReportStaysOneDocument() {
    // 200 files make a report of several pieces; together they are one valid document.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray bytes = choicefiles::samples().first().bytes;
    for (int i = 0; i < 200; ++i)
        QVERIFY(choicefiles::write(dir.path(), u"s%1.fld"_s.arg(i, 3, 10, QChar(u'0')), bytes));
    QProcess process;
    process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), {u"--json"_s, dir.path()});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QByteArray out = process.readAllStandardOutput();
    QVERIFY(out.size() > 2 * 64 * 1024);
    QJsonParseError error;
    const QJsonObject document = QJsonDocument::fromJson(out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray files = document.value(u"files"_s).toArray();
    QCOMPARE(files.size(), 200);
    QCOMPARE(files.last().toObject().value(u"file"_s).toString(), dir.path() + u"/s199.fld"_s);
    QCOMPARE(document.value(u"summary"_s).toObject().value(u"passed"_s).toInt(), 200);
}

void CheckCliTest::exitStatus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("summary");
    QTest::newRow("all passed") << QStringList{u"valid.fld"_s, u"count-33.fld"_s} << 0
                                << QByteArray("2 Dateien: 2 bestanden, 0 nicht bestanden, 0 nicht lesbar\n");
    QTest::newRow("one failed") << QStringList{u"valid.fld"_s, u"count-32.fld"_s} << 1
                                << QByteArray("2 Dateien: 1 bestanden, 1 nicht bestanden, 0 nicht lesbar\n");
    QTest::newRow("foreign LK answered no")
        << QStringList{u"--foreign-lk=no"_s, u"foreign-lk.fld"_s} << 1
        << QByteArray("1 Datei: 0 bestanden, 1 nicht bestanden, 0 nicht lesbar\n");
    QTest::newRow("foreign LK answered yes")
        << QStringList{u"--foreign-lk=yes"_s, u"foreign-lk.fld"_s} << 0
        << QByteArray("1 Datei: 1 bestanden, 0 nicht bestanden, 0 nicht lesbar\n");
    QTest::newRow("unreadable wins over failed")
        << QStringList{u"count-32.fld"_s, u"missing.fld"_s, u"valid.fld"_s} << 2
        << QByteArray("3 Dateien: 1 bestanden, 1 nicht bestanden, 1 nicht lesbar\n");
    QTest::newRow("whole folder, never stops early")
        << QStringList{u"."_s} << 2
        << QByteArray("13 Dateien: 5 bestanden, 6 nicht bestanden, 2 nicht lesbar\n");
    QTest::newRow("empty folder") << QStringList{u"--"_s, u"./"_s + u"leer"_s} << 0
                                  << QByteArray(
                                         "0 Dateien: 0 bestanden, 0 nicht bestanden, 0 nicht lesbar\n");
}

void CheckCliTest::exitStatus() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, summary);
    QDir(m_dir.path()).mkpath(u"leer"_s);
    QByteArray out, err;
    QCOMPARE(runTool(arguments, &out, &err), status);
    QVERIFY2(out.endsWith(summary), out.constData());
    QCOMPARE(err.count('\n'),
             status == 2 ? summary.split(',').last().trimmed().split(' ').first().toInt() : 0);
}

void CheckCliTest::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no path") << QStringList() << QByteArray("keine Datei und kein Ordner angegeben");
    QTest::newRow("only options") << QStringList{u"--json"_s}
                                  << QByteArray("keine Datei und kein Ordner angegeben");
    QTest::newRow("unknown option") << QStringList{u"--xml"_s, u"valid.fld"_s}
                                    << QByteArray("unbekannte Option: --xml");
    QTest::newRow("bad answer") << QStringList{u"--foreign-lk=vielleicht"_s, u"valid.fld"_s}
                                << QByteArray(
                                       "--foreign-lk verlangt den Wert yes oder no: --foreign-lk=vielleicht");
    QTest::newRow("json and csv") << QStringList{u"--json"_s, u"--csv"_s, u"valid.fld"_s}
                                  << QByteArray("--json und --csv schlie\xC3\x9F"
                                                "en einander aus");
}

void CheckCliTest::usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    QByteArray out, err;
    QCOMPARE(runTool(arguments, &out, &err), 2);
    QVERIFY(out.isEmpty());
    QCOMPARE(err, "fachlese-check: " + message + "\nHilfe: fachlese-check --help\n");
}

void CheckCliTest::helpIsGerman() {
    QByteArray out, err;
    QCOMPARE(runTool({u"--help"_s}, &out, &err), 0);
    QVERIFY(err.isEmpty());
    QCOMPARE(out, CheckHelpText());
    QVERIFY(out.startsWith("Aufruf: fachlese-check [OPTIONEN] PFAD...\n"));
    QVERIFY(out.contains("--foreign-lk=no"));
    QVERIFY(out.contains(QStringLiteral("Rückgabewert:").toUtf8()));
}

QTEST_GUILESS_MAIN(CheckCliTest)
#include "check_cli_test.moc"
