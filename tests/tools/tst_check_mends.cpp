#include "tests/support/choicefiles.h"
#include "rules/choicerules.h"
#include "tools/checker.h"
#include "tools/report.h"
#include "tools/statistics.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Invisible characters in the tables and the report, and the exam-subject combinations.
class CheckMendsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    FileCheck checked(const QByteArray &name, const QByteArray &bytes) {
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        QFile file(QFile::decodeName(path));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", path.constData());
        file.close();
        ChoiceChecker checker(true);
        return checker.check(path, QString::fromUtf8(name));
    }

private slots:
    // Control characters, DEL and C1 controls are shown as the text output shows them.
    void visible_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("TAB") << u"a\tb"_s << u"a\\x09b"_s;
        QTest::newRow("escape") << u"\x1B[2J"_s << u"\\x1B[2J"_s;
        QTest::newRow("DEL") << u"a\x7F"_s << u"a\\x7F"_s;
        QTest::newRow("C1") << u"\u0085\u009F"_s << u"\\u0085\\u009F"_s;
        QTest::newRow("no-break space") << u"a\u00A0b"_s << u"a\u00A0b"_s;
    }

    void visible() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QByteArray out;
        AppendVisible(text, VisibleTabs::Escape, out);
        QCOMPARE(QString::fromUtf8(out), shown);
        QCOMPARE(VisibleText(text), shown);
        QCOMPARE(HtmlEscaped(text + u"<'"_s), shown + u"&lt;&#39;"_s);
    }

    // A file name with a TAB and a cell with a control character: the CSV line and the report
    // show both; the CSV message keeps its line break and drops the obligations reminder.
    void tables() {
        const FileCheck odd = checked("a\tb.fld", choicefiles::validWith({{0, "Phy\x01sik"}}));
        QByteArray csv;
        ReportWriter writer(ReportFormat::Csv);
        writer.begin(csv);
        writer.file(odd, csv);
        writer.end(CheckSummary{}, csv);
        QCOMPARE(csv.mid(csv.indexOf('\n') + 1), QByteArray("a\\x09b.fld;nicht bestanden;;\"Das Fach  Phy\\x01sik  ist nicht bekannt!\r"
                                 "Beachte die wählbaren Fächer und ihre Schreibweise.\";unbekanntes-fach;"
                                 "Phy\\x01sik;Mathematik;Englisch;Geschichte\r\n"));
        PlanningStatistics statistics;
        statistics.add(odd);
        const QByteArray html = StatisticsHtml(statistics, u"heute"_s, u"jg"_s);
        QVERIFY(html.contains("<td>a\\x09b.fld</td>") && html.contains("Das Fach  Phy\\x01sik  ist"));
        QVERIFY(!html.contains('\x01') && !html.contains("a\tb"));
        QByteArray missing;
        ReportWriter second(ReportFormat::Csv);
        second.begin(missing);
        second.file(checked("b.fld", choicefiles::validWith({{6, "PO - - -"}})), missing);
        second.end(CheckSummary{}, missing);
        QVERIFY(missing.contains("\"Es fehlen folgende Kurse:\r\r1xPolitik \";belegung;"));
    }

    // Combinations that differ in PK 4 only are two; PK 3 and PK 4 are escaped in the report.
    void combinations() {
        PlanningStatistics statistics;
        statistics.add(checked("eins.fld", choicefiles::validWith({{2, "<b>"}})));
        statistics.add(checked("zwei.fld", choicefiles::validWith({{2, "<b>"}, {3, "PO"}})));
        QCOMPARE(statistics.combinations().size(), 2);
        const QByteArray html = StatisticsHtml(statistics, u"heute"_s, u"jg"_s);
        QCOMPARE(html.count("<td>»&lt;b&gt;«</td><td>Geschichte</td>"), 1);
        QCOMPARE(html.count("<td>»&lt;b&gt;«</td><td>Politik</td>"), 1);
        QVERIFY(!html.contains("<b>"));
    }
};

QTEST_GUILESS_MAIN(CheckMendsTest)
#include "tst_check_mends.moc"
