#include "rules/verdict.h"
#include "support/choices.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Stage = Verdict::Stage;

Q_DECLARE_METATYPE(Verdict::Stage)

// What the verdict of a run holds beyond its reason code (which the checker's tests pin): the
// rule that ended stage 3, the unknown cell, the missing obligations with their counts, the
// course count and the answer about the foreign-language Leistungsfach.
class TestVerdict : public QObject {
    Q_OBJECT

private slots:
    void verdict_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("continued");
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<int>("endingRule");
        QTest::addColumn<QString>("detail");
        const auto row = [](const char *name, const QStringList &rows, Stage stage, int endingRule,
                            const QString &detail, bool continued = true) {
            QTest::newRow(name) << rows << continued << stage << endingRule << detail;
        };
        // The first unknown cell semester by semester, trimmed.
        row("unknown", choices::validChoiceWith(u"2=MA MA _Mathe_ MA|9=BI BI BI Quark"_s),
            Stage::UnknownSubject, 0, u"3,2,Mathe"_s);
        row("rule 3 before 7", {u"KU"_s, u"PH"_s, u"GE"_s, u"BI"_s}, Stage::ExamSubjects, 7, u"3"_s);
        // number:count:subject; the best-covered science, no science at all
        row("obligations", choices::validChoiceWith(u"7=PO - - -|5=BI BI - -|9=-"_s),
            Stage::Obligations, 0, u"2:2:17 6:1:11"_s);
        row("no science", choices::validChoiceWith(u"5=-|9=-"_s), Stage::Obligations, 0, u"2:4:0"_s);
        row("passed", choices::validChoice(), Stage::Passed, 0, u"36"_s);
        row("language LK denied", choices::validForeignLanguageLkChoice(), Stage::ForeignLanguage, 0,
            u"36 no"_s, false);
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
        QTEST(v.endingRule, "endingRule");
        QCOMPARE(v.passed(), passed);
        QStringList detail;
        if (v.stage == Stage::UnknownSubject)
            detail.append(u"%1,%2,%3"_s.arg(v.unknown.column).arg(v.unknown.row).arg(v.unknown.text));
        if (v.stage == Stage::ExamSubjects)
            detail.append(QString::number(v.rule));
        for (const ChoiceRules::MissingObligation &m : v.missing)
            detail.append(u"%1:%2:%3"_s.arg(m.number).arg(m.count).arg(m.subject));
        if (v.courses)
            detail.append(QString::number(*v.courses));
        if (v.foreignLanguageContinued)
            detail.append(*v.foreignLanguageContinued ? u"yes"_s : u"no"_s);
        QTEST(detail.join(u' '), "detail");
    }
};

QTEST_APPLESS_MAIN(TestVerdict)
#include "tst_verdict.moc"
