#include "tests/support/checkprocess.h"
#include "tests/support/choicefiles.h"
#include "tests/support/tables.h"
#include "tools/checker.h"
#include "tools/statistics.h"

// After tables.h, whose functions would otherwise see two fileBytes.
#include "tests/support/files.h"

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

    // Runs the checker in the year group's folder with `arguments` split at blanks.
    int run(const QString &arguments, QByteArray &out, QByteArray &err) const {
        return runCheck(m_dir.path(), arguments.split(u' '), out, err);
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
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QVERIFY(writeFile(m_dir.filePath(u"jg/"_s + it.key()), it.value()));
    }

    // The whole output of each format against the golden files, whose figures were counted by
    // hand from the files above (semester 1 unless said otherwise):
    //   Deutsch: LK a, c; PK b -> 2 / 1 / 0 / 3; passing a, b -> 1 / 1 / 0 / 2
    //   Physik: LK d; GK a, b, c, d -> 1 / 0 / 4 / 4 (d counts once in "gesamt"); passing 0 / 0 / 2 / 2
    //   Chemie: GK c (" Chemie " trimmed) -> 0 / 0 / 1 / 1; "CHEMIE" is unknown, in one file
    //   Kunst, semester 3: LK d; GK a, b, c, d -> 1 / 0 / 4 / 4
    //   LK pairs: Deutsch / Mathematik 2 (1 passing), then one each, by name: (leer) / (leer),
    //   Englisch / Mathematik (passing), Kunst / Physik
    //   reasons: unlesbar 1, leer 1, unbekanntes-fach 1, regel-3 1, the rest 0
    void goldenOutputs() {
        QByteArray out, err;
        QCOMPARE(run(u"--statistik jg"_s, out, err), 2);
        QCOMPARE(out, tables::golden(u"tools/golden/statistik.txt"_s, out));
        QCOMPARE(err, QByteArray("fachlese-check: jg/f.fld: Falsches oder fehlerhaftes Dateiformat\n"));
        QCOMPARE(run(u"--json --statistik jg"_s, out, err), 2);
        QCOMPARE(out.mid(out.indexOf("\"statistics\"")),
                 tables::golden(u"tools/golden/statistik.json"_s, out.mid(out.indexOf("\"statistics\""))));
        QCOMPARE(run(u"--csv --statistik --ausgabe tabellen jg"_s, out, err), 2);
        QCOMPARE(out, tables::golden(u"tools/golden/dateien.csv"_s, out));
        QCOMPARE(run(u"--bericht=tabellen/bericht.html jg"_s, out, err), 2);
        for (const QString &name : {u"faecher.csv"_s, u"lk-paare.csv"_s, u"kombinationen.csv"_s,
                                    u"gruende.csv"_s, u"unbekannt.csv"_s, u"bericht.html"_s}) {
            const QByteArray written = fileBytes(m_dir.filePath(u"tabellen/"_s + name));
            QCOMPARE(written, tables::golden(u"tools/golden/"_s + name, written));
        }
    }

    void reasonCodes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("continued");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("courses"); // -1: none
        for (const QList<QByteArray> &row : tables::rows(u"tools/data/reason-codes.tsv"_s)) {
            QList<QByteArray> entries; // kept alive for validWith's pointers
            QList<std::pair<int, const char *>> changes;
            for (const QByteArray &change : row.value(1).split('|'))
                if (const qsizetype at = change.indexOf('='); at > 0)
                    changes.append(
                        {change.left(at).toInt(), entries.emplace_back(change.mid(at + 1)).constData()});
            QTest::newRow(row.value(0).constData())
                << choicefiles::validWith(changes) << true << QString::fromLatin1(row.value(0))
                << row.value(2).toInt();
        }
        QTest::newRow("unlesbar") << QByteArray("Fachlese \r\n") << true << u"unlesbar"_s << -1;
        QTest::newRow("leer") << choicefiles::bytesOfChoice({}) << true << u"leer"_s << 0;
        QTest::newRow("fremdsprache-lk-nein")
            << choicefiles::bytesOfChoice(choices::validForeignLanguageLkChoice()) << false
            << u"fremdsprache-lk-nein"_s << 36;
    }

    // One file per reason: the code, and the course count whenever it can be computed.
    void reasonCodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, continued);
        QFETCH(int, courses);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u"wahl.fld"_s), bytes));
        ChoiceChecker checker(continued);
        const FileCheck check = checker.check(QFile::encodeName(dir.filePath(u"wahl.fld"_s)));
        QTEST(ReasonCode(check.verdict), "reason");
        QCOMPARE(check.countableCourses().value_or(-1), courses);
    }

    // The report in a real browser: it loads, shows the tables and prints on A4.
    void reportInBrowser() {
        const QString browser = QStandardPaths::findExecutable(u"chromium-headless-shell"_s);
        if (browser.isEmpty())
            QSKIP("chromium-headless-shell is not installed (scripts/install-deps.sh installs it)");
        // The golden report, which the checker's report equals byte for byte.
        const QString report = QStringLiteral(FACHLESE_SOURCE_DIR "/tests/tools/golden/bericht.html");
        const QString page = QUrl::fromLocalFile(report).toString();
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
        const QString pdf = m_dir.filePath(u"bericht.pdf"_s);
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
    }
};

QTEST_GUILESS_MAIN(CheckStatisticsTest)
#include "tst_check_statistics.moc"
