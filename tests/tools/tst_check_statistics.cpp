#include "tests/support/choicefiles.h"
#include "tools/checker.h"
#include "tools/statistics.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// fachlese-check's planning figures, the reason codes, the HTML report (also in a real browser)
// and the options that go with them.
class CheckStatisticsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir; // the crafted year group in "jg"

    int run(const QStringList &arguments, QByteArray &out, QByteArray &err) const {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"SOURCE_DATE_EPOCH"_s, u"1764979200"_s); // 6 December 2025
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitCode();
    }

    // The golden file `name`; with FACHLESE_UPDATE_GOLDEN set, `actual` is written into it first
    // (to renew the files after a deliberate change, then checked by hand).
    static QByteArray golden(const QString &name, const QByteArray &actual) {
        QFile file(QStringLiteral(FACHLESE_SOURCE_DIR "/tests/tools/golden/") + name);
        if (qEnvironmentVariableIsSet("FACHLESE_UPDATE_GOLDEN") && file.open(QIODevice::WriteOnly)) {
            file.write(actual);
            file.close();
        }
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing golden file>");
    }

    QByteArray fileIn(const QString &name) const {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The line of `text` that starts with `start`.
    static QByteArray lineStarting(const QByteArray &text, const QByteArray &start) {
        for (const QByteArray &line : text.split('\n')) {
            if (line.startsWith(start))
                return line;
        }
        return QByteArray();
    }

private slots:
    // The year group, six files:
    //   a.fld  passes: LK Deutsch, Mathematik; PK Englisch, Geschichte; GK Physik, Sport, Politik,
    //          Religion (Kunst in semesters 3 and 4), Biologie
    //   b.fld  passes (the LK question answered Yes): as a.fld with Englisch as LK 1, Deutsch as PK 3
    //   c.fld  unknown subject: as a.fld, with " Chemie " in GK 8 (counts as Chemie) and
    //          "CHEMIE" in semester 3 of GK 4 (unknown)
    //   d.fld  rule 3 (and 7): LK Physik, Kunst; PK Geschichte, Biologie; GK as a.fld
    //   e.fld  no subject entered
    //   f.fld  refused (signature in lower case)
    void initTestCase() {
        QVERIFY(m_dir.isValid() && QDir(m_dir.path()).mkpath(u"jg"_s));
        const QMap<QString, QByteArray> files = {
            {u"a.fld"_s, choicefiles::validWith({})},
            {u"b.fld"_s, choicefiles::bytesOfChoice(choices::validForeignLanguageLkChoice())},
            {u"c.fld"_s, choicefiles::validWith({{5, "SP SP CHEMIE SP"}, {9, "_Chemie_"}})},
            {u"d.fld"_s, choicefiles::validWith({{0, "PH"}, {1, "KU"}, {2, "GE"}, {3, "BI"}})},
            {u"e.fld"_s, choicefiles::bytesOfChoice({})},
            {u"f.fld"_s, "fachlese\r\n"},
        };
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(m_dir.filePath(u"jg/"_s + it.key()));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(it.value()) == it.value().size());
        }
    }

    // Counted by hand from the files above (semester 1 unless said otherwise):
    //   Deutsch: LK a, c; PK b -> 2 / 1 / 0 / 3; passing a, b -> 1 / 1 / 0 / 2
    //   Physik: LK d; GK a, b, c, d -> 1 / 0 / 4 / 4 (d counts once in "gesamt"); passing 0 / 0 / 2 / 2
    //   Chemie: GK c (" Chemie " trimmed) -> 0 / 0 / 1 / 1; "CHEMIE" is unknown, in one file
    //   Kunst, semester 3: LK d; GK a, b, c, d -> 1 / 0 / 4 / 4
    //   LK pairs: Deutsch / Mathematik 2 (1 passing), then one each, by name: (leer) / (leer),
    //   Englisch / Mathematik (passing), Kunst / Physik
    //   reasons: unlesbar 1, leer 1, unbekanntes-fach 1, regel-3 1, the rest 0
    void figuresByHand() {
        QByteArray out, err;
        QCOMPARE(run({u"--statistik"_s, u"jg"_s}, out, err), 2);
        const QByteArray s3 = out.mid(out.indexOf("3. Semester"));
        QCOMPARE(lineStarting(out, "Deutsch   "),
                 QByteArray("Deutsch              2     1     0     3       1     1     0     2"));
        QCOMPARE(lineStarting(out, "Physik  "),
                 QByteArray("Physik               1     0     4     4       0     0     2     2"));
        QCOMPARE(lineStarting(out, "Chemie  "),
                 QByteArray("Chemie               0     0     1     1       0     0     0     0"));
        QCOMPARE(lineStarting(s3, "Kunst  "),
                 QByteArray("Kunst                1     0     4     4       0     0     2     2"));
        QCOMPARE(lineStarting(out, "»CHEMIE«"), QByteArray("»CHEMIE«                 1"));
        QVERIFY(out.contains("Leistungsfächer        Wahlen  bestanden\n"
                             "Deutsch / Mathematik        2          1\n"
                             "(leer) / (leer)             1          0\n"
                             "Englisch / Mathematik       1          1\n"
                             "Kunst / Physik              1          0\n"));
        QCOMPARE(lineStarting(out, "regel-3 "),
                 QByteArray("regel-3                   1  Prüfungsfächer, Regel 3"));
        QCOMPARE(lineStarting(out, "regel-7 "),
                 QByteArray("regel-7                   0  Prüfungsfächer, Regel 7"));
        QCOMPARE(lineStarting(out, "Planungszahlen"),
                 QByteArray("Planungszahlen: 6 Dateien, davon 5 lesbar und 2 bestanden"));
    }

    // The whole output of each format against the golden files (checked by hand as above).
    void goldenOutputs() {
        QByteArray out, err;
        QCOMPARE(run({u"--statistik"_s, u"jg"_s}, out, err), 2);
        QCOMPARE(out, golden(u"statistik.txt"_s, out));
        QCOMPARE(err, QByteArray("fachlese-check: jg/f.fld: Falsches oder fehlerhaftes Dateiformat\n"));
        QCOMPARE(run({u"--json"_s, u"--statistik"_s, u"jg"_s}, out, err), 2);
        QCOMPARE(out.mid(out.indexOf("\"statistics\"")),
                 golden(u"statistik.json"_s, out.mid(out.indexOf("\"statistics\""))));
        QCOMPARE(run({u"--csv"_s, u"--statistik"_s, u"--ausgabe"_s, u"tabellen"_s, u"jg"_s}, out, err), 2);
        QCOMPARE(out, golden(u"dateien.csv"_s, out));
        for (const QString &name : {u"faecher.csv"_s, u"lk-paare.csv"_s, u"kombinationen.csv"_s,
                                    u"gruende.csv"_s, u"unbekannt.csv"_s})
            QCOMPARE(fileIn(u"tabellen/"_s + name), golden(name, fileIn(u"tabellen/"_s + name)));
        QCOMPARE(run({u"--bericht=bericht.html"_s, u"jg"_s}, out, err), 2);
        QCOMPARE(fileIn(u"bericht.html"_s), golden(u"bericht.html"_s, fileIn(u"bericht.html"_s)));
        // Without --statistik the JSON document is as before.
        QCOMPARE(run({u"--json"_s, u"jg"_s}, out, err), 2);
        QVERIFY(!out.contains("\"statistics\""));
    }

    void reasonCodes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("continued");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("courses"); // -1: none
        const auto row = [](const char *reason, const QByteArray &bytes, int courses, bool continued = true) {
            QTest::newRow(reason) << bytes << continued << QString::fromLatin1(reason) << courses;
        };
        using choicefiles::validWith;
        row("ok", validWith({}), 36);
        row("unlesbar", "Fachlese \r\n", -1);
        row("leer", choicefiles::bytesOfChoice({}), 0);
        row("unbekanntes-fach", validWith({{5, "SP SP Mathe SP"}}), -1);
        row("regel-1", validWith({{0, "KU"}, {1, "GE"}, {2, "EN"}, {3, "MA"}}), 36);
        row("regel-2", validWith({{1, "KU"}, {2, "GE"}, {3, "BI"}}), 36);
        row("regel-3", validWith({{0, "PH"}, {1, "KU"}, {2, "GE"}, {3, "BI"}}), 36); // then rule 7
        row("regel-4", validWith({{2, "SP"}, {5, "EN"}}), 36);
        row("regel-5", validWith({{3, "ST"}}), 32);
        row("regel-6", validWith({{3, "PH"}, {4, "GE"}}), 36);
        row("regel-7", validWith({{0, "MA"}, {1, "PH"}, {2, "KU"}, {3, "GE"}, {4, "BI"}}), 36);
        row("regel-8", validWith({{1, "RE"}, {2, "EN"}, {3, "MA"}, {7, "GE"}}), 36);
        row("regel-9", validWith({{3, "WN"}, {7, "GE"}}), 36);
        row("regel-10", validWith({{1, "MA - MA MA"}}), 35);
        row("belegung", validWith({{6, "PO - - -"}}), 33);
        row("unter-33", validWith({{8, "-"}}), 32);
        row("fremdsprache-lk-nein", choicefiles::bytesOfChoice(choices::validForeignLanguageLkChoice()), 36,
            false);
    }

    // One file per reason: the code, and the course count whenever it can be computed.
    void reasonCodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, continued);
        QFETCH(int, courses);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"wahl.fld"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        ChoiceChecker checker(continued);
        const FileCheck check = checker.check(QFile::encodeName(file.fileName()));
        QTEST(ReasonCode(check.verdict), "reason");
        QCOMPARE(check.countableCourses().value_or(-1), courses);
    }

    // Texts from files and file names are escaped in the report.
    void htmlEscaping() {
        QTemporaryDir dir;
        const QString name = u"<script>alert(1)<&'\".fld"_s;
        QFile file(dir.filePath(name));
        const QByteArray bytes = choicefiles::validWith({{5, "SP SP <b>x</b> SP"}});
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        ChoiceChecker checker(true);
        PlanningStatistics statistics;
        statistics.add(checker.check(QFile::encodeName(file.fileName()), name));
        const QByteArray html = StatisticsHtml(statistics, u"06.12.2025"_s, u"<i>&"_s);
        QVERIFY(!html.contains("<script>") && !html.contains("<b>") && !html.contains("<i>"));
        QVERIFY(html.contains("&lt;script&gt;alert(1)&lt;&amp;&#39;&quot;.fld</td>"));
        QVERIFY(html.contains("<tr><td>&lt;b&gt;x&lt;/b&gt;</td>"));
        QVERIFY(html.contains("&lt;i&gt;&amp;</p>"));
        QVERIFY(!html.contains("http://") ||
                html.count("http://") == html.count("http://www.w3.org/2000/svg"));
    }

    // The report in a real browser: it loads, shows the tables and prints on A4.
    void reportInBrowser() {
        const QString browser = QStandardPaths::findExecutable(u"chromium-headless-shell"_s);
        if (browser.isEmpty())
            QSKIP("chromium-headless-shell is not installed (scripts/install-deps.sh installs it)");
        QByteArray out, err;
        QCOMPARE(run({u"--bericht"_s, u"bericht.html"_s, u"jg"_s}, out, err), 2);
        const QString page = QUrl::fromLocalFile(m_dir.filePath(u"bericht.html"_s)).toString();
        const QStringList common = {u"--no-sandbox"_s, u"--disable-gpu"_s, u"--enable-logging=stderr"_s,
                                    u"--user-data-dir="_s + m_dir.filePath(u"browser"_s)};
        QProcess chromium;
        chromium.start(browser, common + QStringList{u"--dump-dom"_s, page});
        QVERIFY(chromium.waitForFinished(120000));
        QCOMPARE(chromium.exitCode(), 0);
        const QByteArray dom = chromium.readAllStandardOutput(), log = chromium.readAllStandardError();
        QVERIFY2(!log.contains("CONSOLE") && !log.contains("Uncaught") && !log.contains("net::ERR"),
                 log.constData());
        QVERIFY(dom.contains("<h1>Kurswahlen: Planungsbericht</h1>"));
        QCOMPARE(dom.count("<table"), 10); // summary, 4 semesters, 2 combinations, reasons, unknown, failures
        QVERIFY(dom.contains("<svg"));
        // Printed to PDF: the tables' texts are there.
        const QString pdf = m_dir.filePath(u"bericht.pdf"_s), shot = m_dir.filePath(u"bericht.png"_s);
        chromium.start(browser,
                       common + QStringList{u"--print-to-pdf="_s + pdf, u"--no-pdf-header-footer"_s, page});
        QVERIFY(chromium.waitForFinished(120000));
        QProcess text;
        text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY(text.waitForFinished(60000));
        const QByteArray printed = text.readAllStandardOutput();
        QVERIFY2(printed.contains("Kurswahlen: Planungsbericht") &&
                     printed.contains("Deutsch / Mathematik") && printed.contains("jg/d.fld") &&
                     printed.contains("Prüfungsfächer, Regel 3"),
                 printed.constData());
        // A picture to look at, kept in the build folder.
        chromium.start(browser, common + QStringList{u"--screenshot="_s +
                                                         QStringLiteral(FACHLESE_BINARY_DIR "/bericht.png"),
                                                     u"--window-size=1100,2400"_s, page});
        QVERIFY(chromium.waitForFinished(120000));
        Q_UNUSED(shot);
    }

    // The options of the report and the tables, and a report that cannot be written.
    void options_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("err");
        const QByteArray usage = "\nHilfe: fachlese-check --help\n";
        QTest::newRow("tables without --ausgabe")
            << QStringList{u"--csv"_s, u"--statistik"_s, u"jg/a.fld"_s}
            << "fachlese-check: --statistik mit --csv verlangt --ausgabe ORDNER für die Tabellen" + usage;
        QTest::newRow("--ausgabe without tables")
            << QStringList{u"--statistik"_s, u"--ausgabe=t"_s, u"jg/a.fld"_s}
            << "fachlese-check: --ausgabe gilt nur zusammen mit --csv und --statistik" + usage;
        QTest::newRow("--bericht without a name") << QStringList{u"jg/a.fld"_s, u"--bericht"_s}
                                                  << "fachlese-check: --bericht verlangt einen Namen" + usage;
        QTest::newRow("--bericht=") << QStringList{u"--bericht="_s, u"jg/a.fld"_s}
                                    << "fachlese-check: --bericht verlangt einen Namen" + usage;
        QTest::newRow("report cannot be written")
            << QStringList{u"--bericht"_s, u"jg"_s, u"jg/a.fld"_s}
            << QByteArray("fachlese-check: jg: Die Datei kann nicht geschrieben werden\n");
        QTest::newRow("tables cannot be written")
            << QStringList{u"--csv"_s, u"--statistik"_s, u"--ausgabe"_s, u"jg/a.fld"_s, u"jg/b.fld"_s}
            << QByteArray("fachlese-check: jg/a.fld: Der Ordner kann nicht angelegt werden\n");
    }

    void options() {
        QFETCH(QStringList, arguments);
        QByteArray out, err;
        QCOMPARE(run(arguments, out, err), 2);
        QTEST(err, "err");
    }
};

QTEST_GUILESS_MAIN(CheckStatisticsTest)
#include "tst_check_statistics.moc"
