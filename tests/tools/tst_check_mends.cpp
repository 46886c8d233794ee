#include "tests/support/choicefiles.h"
#include "rules/choicerules.h"
#include "tests/support/tables.h"
#include "tools/checker.h"
#include "tools/report.h"
#include "tools/statistics.h"

// After tables.h, whose functions would otherwise see two fileBytes.
#include "tests/support/files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Invisible characters in the tables and the report, and the exam-subject combinations.
class CheckMendsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    FileCheck checked(const QString &name, const QByteArray &bytes) {
        if (!writeFile(m_dir.filePath(name), bytes))
            qFatal("cannot write %s", qPrintable(name));
        ChoiceChecker checker(true);
        return checker.check(QFile::encodeName(m_dir.filePath(name)), name);
    }

    // The CSV line of `check`.
    static QByteArray csvLine(const FileCheck &check) {
        QByteArray csv;
        ReportWriter writer(ReportFormat::Csv);
        writer.begin(csv);
        writer.file(check, csv);
        writer.end(CheckSummary{}, csv);
        return csv.mid(csv.indexOf('\n') + 1);
    }

private slots:
    // Control characters, DEL and C1 controls are shown as the text output shows them.
    void visible_data() { tables::addTextRows(u"tools/data/visible.tsv"_s, {"text", "shown"}); }

    void visible() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QByteArray out;
        AppendVisible(text, VisibleTabs::Escape, out);
        QCOMPARE(QString::fromUtf8(out), shown);
        QCOMPARE(VisibleText(text), shown);
        QCOMPARE(HtmlEscaped(text + u"<'"_s), shown + u"&lt;&#39;"_s);
    }

    // A file name with a TAB and HTML and a cell with a control character and HTML: the CSV line
    // and the report show both, the report escapes them and the title; the CSV message keeps its
    // line break and drops the obligations reminder.
    void tables() {
        const FileCheck odd = checked(u"a\tb<&'\".fld"_s, choicefiles::validWith({{0, "<b>Phy\x01sik"}}));
        const FileCheck missing = checked(u"b.fld"_s, choicefiles::validWith({{6, "PO - - -"}}));
        const QByteArray csv = csvLine(odd) + csvLine(missing);
        QCOMPARE(csv, tables::golden(u"tools/golden/mends.csv"_s, csv));
        PlanningStatistics statistics;
        statistics.add(odd);
        const QByteArray html = StatisticsHtml(statistics, u"heute"_s, u"<i>&"_s);
        for (const char *piece : {"<td>a\\x09b&lt;&amp;&#39;&quot;.fld</td>", "&lt;i&gt;&amp;</p>",
                                  "<tr><td>&lt;b&gt;Phy\\x01sik</td>", "Das Fach  &lt;b&gt;Phy\\x01sik  ist"})
            QVERIFY2(html.contains(piece), piece);
        for (const char *raw : {"\x01", "a\tb", "<b>", "<i>"})
            QVERIFY2(!html.contains(raw), raw);
    }

    // Combinations that differ in PK 4 only are two; PK 3 and PK 4 are escaped in the report.
    void combinations() {
        PlanningStatistics statistics;
        statistics.add(checked(u"eins.fld"_s, choicefiles::validWith({{2, "<b>"}})));
        statistics.add(checked(u"zwei.fld"_s, choicefiles::validWith({{2, "<b>"}, {3, "PO"}})));
        QCOMPARE(statistics.combinations().size(), 2);
        const QByteArray html = StatisticsHtml(statistics, u"heute"_s, u"jg"_s);
        QCOMPARE(html.count("<td>»&lt;b&gt;«</td><td>Geschichte</td>"), 1);
        QCOMPARE(html.count("<td>»&lt;b&gt;«</td><td>Politik</td>"), 1);
        QVERIFY(!html.contains("<b>"));
    }
};

QTEST_GUILESS_MAIN(CheckMendsTest)
#include "tst_check_mends.moc"
