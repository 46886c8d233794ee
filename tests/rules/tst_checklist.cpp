#include "rules/checklist.h"
#include "support/choices.h"
#include "support/messages.h"
#include "support/variedchoices.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Kind = ChecklistItem::Kind;

namespace {
const ChecklistItem kRepeated{Kind::Note, u"doppelt"_s, messages::text(u"doppelt"_s), 0, 0};

QList<ChecklistItem> checklistOf(const QStringList &rows) {
    choices::Bench b(rows);
    return BuildChecklist(b.grid);
}
} // namespace

// Every rule on its own: the items, their order and texts, and agreement with the test.
class TestChecklist : public QObject {
    Q_OBJECT

private slots:
    // Each choice of data/checklist-choices.tsv with its items, as listed in
    // data/checklist-items.txt: kind, code, the cell (0,0 for none) and the text.
    void items() {
        QByteArray listed;
        for (const QList<QByteArray> &row : tables::rows(u"rules/data/checklist-choices.tsv"_s)) {
            listed += "# " + row.value(0) + '\n';
            for (const ChecklistItem &item : checklistOf(tables::text(row.value(1)).split(u'|'))) {
                const QString text = QString(item.text).replace(u'\r', u"⟨cr⟩"_s).replace(u'\t', u"⟨tab⟩"_s);
                const QString cell = u"%1,%2"_s.arg(item.semester).arg(item.row);
                listed += u"%1 %2 %3 %4\n"_s.arg(kindName(item.kind), item.code, cell, text).toUtf8();
            }
        }
        const QByteArray expected = tables::golden(u"rules/data/checklist-items.txt"_s, listed);
        QCOMPARE(listed.split('\n'), expected.split('\n'));
    }

    void leavesTheGridAlone() {
        choices::Bench b({u"_Deutsch_"_s, u"Quark"_s});
        b.test.StoreGridSnapshot();
        const QList<ChecklistItem> items = BuildChecklist(b.grid);
        QVERIFY(!items.isEmpty());
        QVERIFY(!b.test.GridChangedSinceSnapshot());
        QVERIFY(b.recorder.entries.isEmpty());
    }

    // No violation exactly when the test passes; the failure the test reports is the first
    // violation listed.
    void agreesWithTheTest() {
        QRandomGenerator random(20261207);
        int passed = 0;
        QSet<QString> seenCodes;
        for (int i = 0; i < 4000; ++i) {
            choices::Bench b;
            variedchoices::fillVaried(b.grid, random);
            const QList<ChecklistItem> items = BuildChecklist(b.grid);
            QList<ChecklistItem> violations;
            for (const ChecklistItem &item : items) {
                seenCodes.insert(item.code.startsWith(u"belegung-"_s) ? u"belegung"_s : item.code);
                if (item.kind == Kind::Violation)
                    violations.append(item);
            }
            const bool runPassed = b.test.RunValidation(); // answers: Yes to every question
            QCOMPARE(runPassed, violations.isEmpty());
            passed += runPassed;

            QStringList shown = choices::dialogTexts(b.recorder);
            const bool repeatShown = shown.contains(kRepeated.text);
            shown.removeAll(kRepeated.text);
            const bool pastEntries =
                violations.isEmpty() ||
                (violations.first().code != u"leer"_s && violations.first().code != u"unbekanntes-fach"_s);
            QCOMPARE(repeatShown, pastEntries && items.contains(kRepeated));
            if (runPassed)
                continue;
            const ChecklistItem &first = violations.first();
            QVERIFY(!shown.isEmpty());
            if (first.code.startsWith(u"belegung-"_s)) {
                QVERIFY(shown.first().startsWith(u"Es fehlen folgende Kurse:\r"_s));
                for (const ChecklistItem &item : violations) {
                    if (item.code.startsWith(u"belegung-"_s))
                        QVERIFY(shown.first().contains(item.text));
                }
            } else {
                const bool unknown = first.code == u"unbekanntes-fach"_s;
                QCOMPARE(shown.first(), unknown ? messages::text(first.code, {first.text}) : first.text);
            }
        }
        // The generated choices reach every stage.
        QVERIFY2(passed > 100, qPrintable(QString::number(passed)));
        for (const char *code :
             {"leer", "unbekanntes-fach", "doppelt", "regel-1", "regel-2", "regel-3", "regel-4", "regel-5",
              "regel-6", "regel-7", "regel-8", "regel-9", "regel-10", "regel-11", "belegung", "unter-33"})
            QVERIFY2(seenCodes.contains(QString::fromLatin1(code)), code);
    }
};

QTEST_APPLESS_MAIN(TestChecklist)
#include "tst_checklist.moc"
