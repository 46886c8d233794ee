#include "rules/verdictmessages.h"
#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Stage = Verdict::Stage;

Q_DECLARE_METATYPE(Verdict::Stage)

namespace {
// The valid choice with some rows (1 ... 11) replaced.
QStringList validWith(const QList<std::pair<int, QString>> &changes) {
    QStringList rows = choices::validChoice();
    while (rows.size() < GridModel::kCourseRows)
        rows.append(u"-"_s);
    for (const auto &[row, text] : changes)
        rows[row - 1] = text;
    return rows;
}

// "number:count:subject" for each missing obligation.
QString missingOf(const Verdict &verdict) {
    QStringList items;
    for (const ChoiceRules::MissingObligation &m : verdict.missing)
        items.append(u"%1:%2:%3"_s.arg(m.number).arg(m.count).arg(m.subject));
    return items.join(u' ');
}
} // namespace

// The verdict of a run: where it ended and with what, and its reason code.
class TestVerdict : public QObject {
    Q_OBJECT

private slots:
    void verdict_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("continued");
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("endingRule");
        QTest::addColumn<QString>("detail"); // unknown cell, missing obligations or course count
        const auto row = [](const char *name, const QStringList &rows, Stage stage, const QString &reason,
                            int endingRule = 0, const QString &detail = QString(), bool continued = true) {
            QTest::newRow(name) << rows << continued << stage << reason << endingRule << detail;
        };
        row("passed", choices::validChoice(), Stage::Passed, u"ok"_s, 0, u"36"_s);
        row("empty", {u"-"_s, u"_"_s}, Stage::NoEntries, u"leer"_s);
        row("unknown", validWith({{2, u"MA MA _Mathe_ MA"_s}, {9, u"BI BI BI Quark"_s}}), Stage::UnknownSubject,
            u"unbekanntes-fach"_s, 0, u"3,2,Mathe"_s);
        row("rule 3 before 7", {u"KU"_s, u"PH"_s, u"GE"_s, u"BI"_s}, Stage::ExamSubjects, u"regel-3"_s, 7);
        row("rule 11", validWith({{3, u"EN EN EN FR"_s}}), Stage::ExamSubjects, u"regel-11"_s, 11);
        row("obligations", validWith({{7, u"PO - - -"_s}, {5, u"BI BI - -"_s}, {9, u"-"_s}}),
            Stage::Obligations, u"belegung"_s, 0, u"2:2:17 6:1:11"_s);
        row("no science", validWith({{5, u"-"_s}, {9, u"-"_s}}), Stage::Obligations, u"belegung"_s, 0,
            u"2:4:0"_s);
        row("too few", validWith({{7, u"PO PO - -"_s}, {9, u"BI BI - -"_s}}),
            Stage::TooFewCourses, u"unter-33"_s, 0, u"32"_s);
        row("language LK denied", choices::validForeignLanguageLkChoice(), Stage::ForeignLanguage,
            u"fremdsprache-lk-nein"_s, 0, u"36"_s, false);
        row("language LK confirmed", choices::validForeignLanguageLkChoice(), Stage::Passed, u"ok"_s, 0,
            u"36"_s);
    }

    void verdict() {
        QFETCH(QStringList, rows);
        QFETCH(bool, continued);
        choices::Bench b(rows);
        b.recorder.fallback = [continued](const DialogRequest &request) {
            return request.kind == DialogKind::MessageBox && !continued ? DialogButton::No
                                                                        : request.buttons.first();
        };
        const bool passed = b.test.RunValidation();
        const Verdict &v = b.test.LastVerdict;
        QTEST(v.stage, "stage");
        QTEST(ReasonCode(v), "reason");
        QTEST(v.endingRule, "endingRule");
        QCOMPARE(v.passed(), passed);
        QString detail;
        if (v.stage == Stage::UnknownSubject)
            detail = u"%1,%2,%3"_s.arg(v.unknown.column).arg(v.unknown.row).arg(v.unknown.text);
        else if (v.stage == Stage::Obligations)
            detail = missingOf(v);
        else if (v.courses)
            detail = QString::number(*v.courses);
        QTEST(detail, "detail");
        QCOMPARE(v.foreignLanguageContinued.has_value(), v.foreignLanguageLK);
    }
};

QTEST_APPLESS_MAIN(TestVerdict)
#include "tst_verdict.moc"
