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
        const QByteArray folder = QFile::encodeName(m_dir.path());
        // A row without TAB: all of it goes to semester 4. A file named "-" is a path like any other.
        QVERIFY(writeFile(folder + "/mathe.fld", "Fachlese\r\nMathe\r\n"));
        QVERIFY(writeFile(folder + "/-", choicefiles::samples().value(u"valid.fld"_s)));
        // An empty folder; a FIFO and a folder named as files, which cannot be opened and do not block.
        QVERIFY(QDir(m_dir.path()).mkpath(u"spezial/ordner.fld"_s) && QDir(m_dir.path()).mkpath(u"leer"_s));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(u"spezial/pipe.fld"_s)).constData(), 0600) == 0);
    }

    // Out of the class: raw strings there confuse moc.
    void escaping();

    // The walk: sorted, into subfolders but not into hidden ones nor through links to folders (so
    // a loop of links ends), only names ending in .fld, a link to a file counted.
    void folderWalk() {
        QTemporaryDir dir;
        const QString root = dir.path();
        QVERIFY(QDir(root).mkpath(u"jg12/b"_s) && QDir(root).mkpath(u"ordner.fld"_s) &&
                QDir(root).mkpath(u"jg12/.versteckt"_s) && QDir(root).mkpath(u"anderswo"_s));
        for (const QString &name :
             {u"jg12/zora.fld"_s, u"jg12/Anna.fld"_s, u"jg12/b/c.fld"_s, u"jg12/b.fld"_s, u"jg12/LAUT.FLD"_s,
              u"jg12/notiz.txt"_s, u"ordner.fld/x.fld"_s, u"jg12/.alt.fld"_s, u"jg12/.versteckt/d.fld"_s,
              u"jg12/fld"_s, u"anderswo/fremd.fld"_s})
            QVERIFY(QFile(QDir(root).filePath(name)).open(QIODevice::WriteOnly));
        const QByteArray r = QFile::encodeName(root), f = r + "/jg12";
        for (const auto &[target, link] : {std::pair{QByteArray(".."), f + "/b/schleife"},
                                           {r, f + "/oben.fld"},
                                           {r + "/anderswo", f + "/anderswo"},
                                           {f + "/Anna.fld", f + "/zeiger.fld"}})
            QVERIFY(::symlink(target.constData(), link.constData()) == 0);
        // As a process first: a walk that followed the loop is stopped instead of hanging the test.
        QByteArray out, err;
        QCOMPARE(runCheck(root, {u"jg12"_s}, out, err), 2);
        QVERIFY2(out.endsWith("6 Dateien: 0 bestanden, 0 nicht bestanden, 6 nicht lesbar\n"),
                 out.constData());
        ChoiceFiles found = CollectChoiceFiles({f});
        QCOMPARE(found.files, (QList<QByteArray>{f + "/Anna.fld", f + "/LAUT.FLD", f + "/b.fld",
                                                 f + "/b/c.fld", f + "/zeiger.fld", f + "/zora.fld"}));
        QVERIFY(found.unreadableFolders.isEmpty());
        // Arguments keep their order; a trailing slash is not doubled; a file stands for itself.
        found = CollectChoiceFiles({r + "/ordner.fld/", f + "/notiz.txt", r + "/nichts.fld"});
        QCOMPARE(found.files,
                 (QList<QByteArray>{r + "/ordner.fld/x.fld", f + "/notiz.txt", r + "/nichts.fld"}));
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
        const int status = runCheck(dir.path(), {u"jg/b/valid.fld"_s, u"jg"_s, u"jg/a/zu"_s}, out, err,
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

    // Names that are no UTF-8 are found and read by their bytes and shown with \xFC; control
    // characters of names and cells reach the terminal only as text (byte 9D reads as U+009D).
    void namesAndControlCharacters() {
        QTemporaryDir dir;
        const QByteArray r = QFile::encodeName(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(u"jg"_s));
        const QByteArray latin1 = r + "/jg/M\xFCller.fld", escape = r + "/jg/b\x1B[2J\tc.fld";
        QVERIFY(writeFile(latin1, choicefiles::samples().value(u"valid.fld"_s)));
        QVERIFY(writeFile(escape, "Fachlese\r\n\t\t\tSport \x1B]0;x\x07\x9D\r\n"));
        QByteArray out, err;
        QCOMPARE(check({"--", r + "/jg", latin1}, out, err), 1);
        out.replace(r, "TMP"); // the folder's path
        QCOMPARE(out, tables::golden(u"tools/golden/names.txt"_s, out));
        // JSON escapes in its own way and keeps the names as shown.
        QCOMPARE(check({"--json", latin1, escape}, out, err), 1);
        out.replace(r, "TMP");
        QCOMPARE(out, tables::golden(u"tools/golden/names.json"_s, out));
        ::unlink(latin1.constData()); // Qt cannot name it to remove it with the folder
    }

    // The reports byte for byte (an output "@NAME" is the golden file tools/golden/NAME), the exit
    // status and the usage errors.
    void runs_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        for (const QList<QByteArray> &row : tables::rows(u"tools/data/cli-exit-status.tsv"_s))
            QTest::newRow(row.value(0).constData())
                << tables::text(row.value(1)) << row.value(2).toInt() << tables::bytes(row.value(3))
                << tables::bytes(row.value(4));
        QTest::newRow("--version") << u"--version"_s << 0
                                   << QByteArray("fachlese-check " FACHLESE_VERSION "\n") << QByteArray();
    }

    void runs() {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, out);
        QByteArray written, err;
        QTEST(runCheck(m_dir.path(), arguments.split(u' '), written, err), "status");
        if (out.startsWith('@'))
            QCOMPARE(written, tables::golden(u"tools/golden/"_s + QString::fromUtf8(out.mid(1)), written));
        else
            QVERIFY2(written.endsWith(out) && out.isEmpty() == written.isEmpty(), written.constData());
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

QTEST_GUILESS_MAIN(CheckCliTest)
#include "tst_check_cli.moc"
