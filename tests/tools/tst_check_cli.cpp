#include "tests/support/checkprocess.h"
#include "tests/support/choicefiles.h"
#include "tests/support/tables.h"
#include "tools/checker.h"
#include "tools/report.h"
#include "tools/run.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// fachlese-check: the report formats byte for byte, the walk through folders, and the program
// as a process with its exit status and output.
class CheckCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir; // the sample choices, a row without TAB and an empty folder

    // Runs the built program in the sample folder with `arguments` split at blanks; returns the
    // exit status.
    int run(const QString &arguments, QByteArray &out, QByteArray &err) const {
        return run(arguments.split(u' '), out, err);
    }

    // The same with the arguments as they are, in `folder`, as user nobody when `unprivileged`.
    int run(const QStringList &arguments, QByteArray &out, QByteArray &err, const QString &folder = {},
            bool unprivileged = false) const {
        return runCheck(folder.isEmpty() ? m_dir.path() : folder, arguments, out, err, unprivileged);
    }

    // RunCheck within the test, for arguments that are no text.
    static int check(const QList<QByteArray> &arguments, QByteArray &out, QByteArray &err) {
        out.clear();
        err.clear();
        return RunCheck(arguments, CheckStreams{[&out](const QByteArray &b) { out += b; },
                                                [&err](const QByteArray &b) { err += b; }});
    }

    static bool writeFile(const QByteArray &path, const QByteArray &bytes) {
        QFile file;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        return fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) &&
               file.write(bytes) == bytes.size();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid() && choicefiles::writeSamples(m_dir.path()));
        QFile file(m_dir.filePath(u"mathe.fld"_s)); // a row without TAB: all of it goes to semester 4
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Fachlese\r\nMathe\r\n") > 0);
        QVERIFY(QDir(m_dir.path()).mkpath(u"leer"_s));
        QFile dash(m_dir.filePath(u"-"_s)); // a file named "-", which is a path like any other
        QVERIFY(dash.open(QIODevice::WriteOnly) &&
                dash.write(choicefiles::samples().value(u"valid.fld"_s)) > 0);
    }

    // Out of the class: raw strings there confuse moc.
    void escaping();

    void folderWalkSortsAndRecurses() {
        QTemporaryDir dir;
        const QString root = dir.path(), folder = root + u"/jg12"_s;
        QVERIFY(QDir(root).mkpath(u"jg12/b"_s) && QDir(root).mkpath(u"ordner.fld"_s) &&
                QDir(root).mkpath(u"jg12/.versteckt"_s));
        for (const QString &name :
             {u"jg12/zora.fld"_s, u"jg12/Anna.fld"_s, u"jg12/b/c.fld"_s, u"jg12/b.fld"_s, u"jg12/LAUT.FLD"_s,
              u"jg12/notiz.txt"_s, u"ordner.fld/x.fld"_s, u"jg12/.alt.fld"_s, u"jg12/.versteckt/d.fld"_s,
              u"jg12/fld"_s})
            QVERIFY(QFile(QDir(root).filePath(name)).open(QIODevice::WriteOnly));
        const QByteArray f = QFile::encodeName(folder), r = QFile::encodeName(root);
        ChoiceFiles found = CollectChoiceFiles({f});
        QCOMPARE(found.files, (QList<QByteArray>{f + "/Anna.fld", f + "/LAUT.FLD", f + "/b.fld",
                                                 f + "/b/c.fld", f + "/zora.fld"}));
        QVERIFY(found.unreadableFolders.isEmpty());
        // Arguments keep their order; a trailing slash is not doubled; a file stands for itself.
        found = CollectChoiceFiles({r + "/ordner.fld/", f + "/notiz.txt", r + "/nichts.fld"});
        QCOMPARE(found.files,
                 (QList<QByteArray>{r + "/ordner.fld/x.fld", f + "/notiz.txt", r + "/nichts.fld"}));
    }

    // Links to folders are never followed, so a loop of links ends; a link to a file counts.
    void linksToFoldersNotFollowed() {
        QTemporaryDir dir;
        const QByteArray r = QFile::encodeName(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(u"jg/a"_s) && QDir(dir.path()).mkpath(u"anderswo"_s));
        QVERIFY(choicefiles::writeSamples(dir.filePath(u"jg/a"_s)));
        QVERIFY(QFile(dir.filePath(u"anderswo/fremd.fld"_s)).open(QIODevice::WriteOnly));
        QVERIFY(::symlink("..", (r + "/jg/a/schleife").constData()) == 0);
        QVERIFY(::symlink(r.constData(), (r + "/jg/a/oben.fld").constData()) == 0);
        QVERIFY(::symlink((r + "/anderswo").constData(), (r + "/jg/anderswo").constData()) == 0);
        QVERIFY(::symlink((r + "/jg/a/valid.fld").constData(), (r + "/jg/zeiger.fld").constData()) == 0);
        // As a process first: a walk that followed the loop is stopped instead of hanging the test.
        QByteArray out, err;
        QCOMPARE(run(QStringList{dir.filePath(u"jg"_s)}, out, err), 2);
        QVERIFY2(out.endsWith("10 Dateien: 5 bestanden, 4 nicht bestanden, 1 nicht lesbar\n"),
                 out.constData());
        const ChoiceFiles found = CollectChoiceFiles({r + "/jg"});
        QCOMPARE(found.files.size(), 10);
        QCOMPARE(found.files.last(), r + "/jg/zeiger.fld");
        QVERIFY(!found.files.contains(r + "/jg/anderswo/fremd.fld"));
    }

    // A FIFO, a device or a folder named as a file cannot be opened; none of them blocks.
    void onlyRegularFiles() {
        QTemporaryDir dir;
        const QByteArray r = QFile::encodeName(dir.path());
        QVERIFY(::mkfifo((r + "/pipe.fld").constData(), 0600) == 0);
        QVERIFY(QDir(dir.path()).mkpath(u"ordner.fld"_s));
        QByteArray out, err;
        QCOMPARE(run(QStringList{u"pipe.fld"_s, u"/dev/null"_s, u"ordner.fld/"_s}, out, err, dir.path()), 2);
        QCOMPARE(out, QByteArray("pipe.fld: nicht lesbar: Die Datei kann nicht geöffnet werden\n"
                                 "/dev/null: nicht lesbar: Die Datei kann nicht geöffnet werden\n"
                                 "2 Dateien: 0 bestanden, 0 nicht bestanden, 2 nicht lesbar\n"));
        QCOMPARE(err, QByteArray("fachlese-check: pipe.fld: Die Datei kann nicht geöffnet werden\n"
                                 "fachlese-check: /dev/null: Die Datei kann nicht geöffnet werden\n"));
        // In a folder a FIFO named *.fld is reported, not skipped.
        QCOMPARE(run(QStringList{u"."_s}, out, err, dir.path()), 2);
        QCOMPARE(err, QByteArray("fachlese-check: ./pipe.fld: Die Datei kann nicht geöffnet werden\n"));
    }

    // A folder that cannot be read is named on standard error; the run goes on and ends with 2.
    void unreadableFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"jg/a/zu"_s) && QDir(dir.path()).mkpath(u"jg/b"_s));
        QVERIFY(choicefiles::writeSamples(dir.filePath(u"jg/b"_s)));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(dir.filePath(u"jg/a/zu"_s), QFile::Permissions()));
        QByteArray out, err;
        const int status = run(QStringList{u"jg/b/valid.fld"_s, u"jg"_s, u"jg/a/zu"_s}, out, err, dir.path(),
                               /*unprivileged=*/true);
        QFile::setPermissions(dir.filePath(u"jg/a/zu"_s),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(status, 2);
        QCOMPARE(err,
                 QByteArray("fachlese-check: jg/a/zu: Der Ordner kann nicht gelesen werden\n"
                            "fachlese-check: jg/a/zu: Der Ordner kann nicht gelesen werden\n"
                            "fachlese-check: jg/b/lower-case.fld: Falsches oder fehlerhaftes Dateiformat\n"));
        QVERIFY2(out.endsWith("10 Dateien: 5 bestanden, 4 nicht bestanden, 1 nicht lesbar\n"),
                 out.constData());
    }

    // Out of the class: raw strings there confuse moc.
    void namesAndControlCharacters();
    void jsonExactly();
    void checklist();
    void csvExactly() {
        QByteArray out, err;
        // The four columns as before, then the reason and the exam subjects of semester 1 (the
        // unknown entry as its trimmed text); the count whenever it can be computed. The message
        // without the reminder of the obligations, which only the text output shows.
        QCOMPARE(
            run(u"--csv valid.fld mathe.fld missing.fld foreign-lk.fld obligations.fld blanks.fld --foreign-lk=no"_s,
                out, err),
            2);
        QCOMPARE(err, QByteArray("fachlese-check: missing.fld: Die Datei kann nicht geöffnet werden\n"));
        QCOMPARE(out, tables::golden(u"tools/golden/cli.csv"_s, out));
    }

    void exitStatus_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("outEnd");
        QTest::addColumn<QByteArray>("err");
        for (const QList<QByteArray> &row : tables::rows(u"tools/data/cli-exit-status.tsv"_s))
            QTest::newRow(row.value(0).constData()) << tables::text(row.value(1)) << row.value(2).toInt()
                                                    << tables::bytes(row.value(3)) << tables::bytes(row.value(4));
        QTest::newRow("--help") << u"--help"_s << 0 << CheckHelpText() << QByteArray();
        QTest::newRow("--version") << u"--version"_s << 0 << QByteArray("fachlese-check " FACHLESE_VERSION "\n")
                                   << QByteArray();
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

// Names that are no UTF-8 are found and read by their bytes and shown with \xFC; control
// characters of names and cells reach the terminal only as text (byte 9D reads as U+009D).
void CheckCliTest::namesAndControlCharacters() {
    QTemporaryDir dir;
    const QByteArray r = QFile::encodeName(dir.path());
    QVERIFY(QDir(dir.path()).mkpath(u"jg"_s));
    const QByteArray latin1 = r + "/jg/M\xFCller.fld", escape = r + "/jg/b\x1B[2J\tc.fld";
    const QByteArray valid = choicefiles::samples().value(u"valid.fld"_s);
    QVERIFY(writeFile(latin1, valid));
    QVERIFY(writeFile(escape, "Fachlese\r\n\t\t\tSport \x1B]0;x\x07\x9D\r\n"));
    QByteArray out, err;
    QCOMPARE(check({"--", r + "/jg", latin1}, out, err), 1);
    out.replace(r, "TMP"); // the folder's path
    QCOMPARE(out, tables::golden(u"tools/golden/names.txt"_s, out));
    // JSON and CSV escape in their own ways and keep the names as shown.
    QCOMPARE(check({"--json", latin1}, out, err), 0);
    QVERIFY2(out.contains("{\"file\":\"" + r + "/jg/M\\\\xFCller.fld\",\"read\":\"ok\""), out.constData());
    QCOMPARE(check({"--json", escape}, out, err), 1);
    QVERIFY2(out.contains("/jg/b\\u001b[2J\\tc.fld\"") && out.contains("Sport \\u001b]0;x\\u0007"),
             out.constData());
    ::unlink(latin1.constData()); // Qt cannot name it to remove it with the folder
}

// The JSON document of a failed file and of one that could not be read.
void CheckCliTest::jsonExactly() {
    QByteArray out, err;
    QCOMPARE(run(u"--json mathe.fld lower-case.fld"_s, out, err), 2);
    QCOMPARE(out, tables::golden(u"tools/golden/cli.json"_s, out));


    // The LK question is the system's message box, kind "messagebox", here answered No.
    QCOMPARE(run(u"--json --foreign-lk=no foreign-lk.fld"_s, out, err), 1);
    const QByteArray
        question = R"("dialogs":[{"kind":"messagebox","caption":" WICHTIGE FRAGE!","text":" Bist du )",
        lines = R"(ist?\r\r Weitergef)",
        answer = R"("buttons":["&Ja","&Nein"],"answer":"&Nein"}],"passed":false,"choiceTested":false)";
    QVERIFY2(out.contains(question) && out.contains(lines) && out.contains(answer), out.constData());
}

// --pruefliste: every item of the checklist under the file's verdict, or in its JSON object;
// nothing of it without the option.
void CheckCliTest::checklist() {
    QByteArray out, err;
    QCOMPARE(run(u"--pruefliste unknown.fld lower-case.fld"_s, out, err), 2);
    // The verdict and its message, then the items, the cell of an unknown subject named.
    QCOMPARE(out, tables::golden(u"tools/golden/pruefliste.txt"_s, out));

    // A note under a passed file; the empty line of its text stays empty.
    QCOMPARE(run(u"--pruefliste repeated.fld"_s, out, err), 0);
    QCOMPARE(out, QByteArray("repeated.fld: Wahl o.k., 37 Kurse\n"
                             "  hinweis doppelt: Mindestens ein Kurs innerhalb eines Semesters ist mehrfach "
                             "angewählt worden.\n\n      Diese Kurse dürfen nicht themengleich sein!\n"
                             "1 Datei: 1 bestanden, 0 nicht bestanden, 0 nicht lesbar\n"));

    QCOMPARE(run(u"--json --pruefliste unknown.fld lower-case.fld"_s, out, err), 2);
    const QByteArray first = R"("checklist":[{"kind":"verstoss","code":"unbekanntes-fach","text":"Mathe",)"
                             R"("semester":3,"row":6})";
    QVERIFY2(out.contains(first), out.constData());
    QVERIFY2(out.contains("\"checklist\":null}\n],"), out.constData()); // a file that was not read
    QCOMPARE(out.count("\"checklist\""), 2);
    QCOMPARE(run(u"--csv --pruefliste unknown.fld"_s, out, err), 2);
    QCOMPARE(err, QByteArray("fachlese-check: --pruefliste gilt nur für die Text- und die JSON-Ausgabe\n"
                             "Hilfe: fachlese-check --help\n"));
}

QTEST_GUILESS_MAIN(CheckCliTest)
#include "tst_check_cli.moc"
