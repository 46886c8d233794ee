#include "rules/checklist.h"
#include "support/choices.h"
#include "support/messages.h"
#include "support/variedchoices.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Kind = ChecklistItem::Kind;

namespace {
ChecklistItem violation(const QString &code, const QString &text) {
    return {Kind::Violation, code, text, 0, 0};
}
ChecklistItem unknown(const QString &text, int semester, int row) {
    return {Kind::Violation, u"unbekanntes-fach"_s, text, semester, row};
}
const ChecklistItem kRepeated{Kind::Note, u"doppelt"_s, messages::text(u"doppelt"_s), 0, 0};
QString tooFew(int count) {
    return messages::text(u"unter-33"_s, {QString::number(count)});
}

QList<ChecklistItem> checklistOf(const QStringList &rows) {
    choices::Bench b(rows);
    return BuildChecklist(b.grid);
}
} // namespace

// Every rule on its own: the items, their order and texts, and agreement with the test.
class TestChecklist : public QObject {
    Q_OBJECT

private slots:
    void kinds() {
        QCOMPARE(kindName(Kind::Violation), u"verstoss"_s);
        QCOMPARE(kindName(Kind::Note), u"hinweis"_s);
    }

    // Each item alone (data/checklist-items.tsv).
    void items_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<ChecklistItem>>("expected");
        for (const QList<QByteArray> &row : tables::rows(u"rules/data/checklist-items.tsv"_s)) {
            QList<ChecklistItem> expected;
            for (const QString &item : tables::text(row.value(2)).split(u'|', Qt::SkipEmptyParts)) {
                const QString code = item.section(u':', 0, 0);
                expected.append({code == u"doppelt"_s ? Kind::Note : Kind::Violation, code, item.section(u':', 1), 0, 0});
            }
            QTest::newRow(row.value(0).constData())
                << tables::text(row.value(1)).split(u'|', Qt::SkipEmptyParts) << expected;
        }
    }

    void items() {
        QFETCH(QStringList, rows);
        QFETCH(QList<ChecklistItem>, expected);
        QCOMPARE(checklistOf(rows), expected);
    }

    // Cells that are no subject, in the order the test reads them, trimmed; they count as empty.
    void unknownCells() {
        QStringList rows = choices::validChoice();
        rows[0] = u"Deutsch_ Deutsch Deutsch Deutsch"_s;
        rows[5] = u"SP __Sportx_ SP SP"_s; // GK 4, semester 2
        rows[6] = u"PO PO PO unbekannt"_s; // GK 5, semester 4
        rows.append(u"\tKunst"_s);         // GK 8, all semesters
        const QList<ChecklistItem> items = checklistOf(rows);
        const QList<ChecklistItem> expected = {
            unknown(u"\tKunst"_s, 1, 10),
            unknown(u"Sportx"_s, 2, 6),
            unknown(u"\tKunst"_s, 2, 10),
            unknown(u"\tKunst"_s, 3, 10),
            unknown(u"unbekannt"_s, 4, 7),
            unknown(u"\tKunst"_s, 4, 10),
            violation(u"belegung-3"_s, u"1xSport "_s),
        };
        QCOMPARE(items, expected);
    }

    // A choice with problems in every stage lists them all, in order.
    void everythingAtOnce() {
        const QList<ChecklistItem> items =
            checklistOf({u"KU"_s, u"ST"_s, u"SP"_s, u"WN WN - WN"_s, u"Quark KU MU MU"_s});
        QStringList codes;
        for (const ChecklistItem &item : items)
            codes.append(item.code);
        QCOMPARE(codes,
                 (QStringList{u"unbekanntes-fach"_s, u"doppelt"_s, u"regel-1"_s, u"regel-2"_s, u"regel-3"_s,
                              u"regel-4"_s, u"regel-5"_s, u"regel-6"_s, u"regel-7"_s, u"regel-9"_s, u"regel-10"_s,
                              u"belegung-1"_s, u"belegung-2"_s, u"belegung-4"_s, u"belegung-5"_s, u"belegung-6"_s,
                              u"belegung-7"_s, u"unter-33"_s}));
        QCOMPARE(items.at(0), unknown(u"Quark"_s, 1, 5));
        QCOMPARE(items.at(1), kRepeated);
        QVERIFY(items.at(7).text.endsWith(u"Es fehlt/fehlen: Aufgabenfeld  C  "_s));
        QCOMPARE(items.at(12).text, u"4xNaturw."_s);
        QCOMPARE(items.at(13).text, u"4xFremdsp. "_s);
        QCOMPARE(items.last().text, tooFew(14));

        // Sport LK without Sport-Theorie, Religion and Werte u. Normen one semester each.
        const QList<ChecklistItem> sport = checklistOf({u"DE"_s, u"SP"_s, u"MA"_s, u"GE"_s, u"EN"_s, u"PH"_s,
                                                        u"PO"_s, u"RE WN KU KU"_s, u"BI"_s, u"ST ST - -"_s});
        QCOMPARE(sport, (QList<ChecklistItem>{violation(u"belegung-8b"_s, u"mind. 1xReli./Werte u. Normen  "_s),
                                              violation(u"belegung-10"_s, u"2xSport-Theorie "_s)}));

        // Religion as PK: obligation 8a instead of 8b and 9.
        const QList<ChecklistItem> religion =
            checklistOf({u"DE"_s, u"MA"_s, u"EN"_s, u"RE"_s, u"PH"_s, u"SP"_s, u"PO PO - -"_s, u"GE GE - -"_s});
        QCOMPARE(religion, (QList<ChecklistItem>{
                               violation(u"belegung-8a"_s, u"mind. 1x/Geschichte/Erdkunde/Politik/Pädagogik  "_s),
                               violation(u"unter-33"_s, tooFew(28))}));
    }

    void leavesTheGridAlone() {
        choices::Bench b({u"_Deutsch_"_s, u"Quark"_s});
        b.test.StoreGridSnapshot();
        const QList<ChecklistItem> items = BuildChecklist(b.grid);
        QVERIFY(!items.isEmpty());
        QVERIFY(!b.test.GridChangedSinceSnapshot());
        QVERIFY(b.recorder.entries.isEmpty());
    }

    // The starting points of the generated choices pass, and list nothing.
    void validChoicesPass() {
        for (const QStringList &rows : variedchoices::validChoices()) {
            choices::Bench b(rows);
            QCOMPARE(BuildChecklist(b.grid), QList<ChecklistItem>{});
            QVERIFY(b.test.RunValidation());
        }
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
            const bool pastEntries = violations.isEmpty() || (violations.first().code != u"leer"_s &&
                                                              violations.first().code != u"unbekanntes-fach"_s);
            QCOMPARE(repeatShown, pastEntries && items.contains(kRepeated));
            if (runPassed)
                continue;
            const ChecklistItem &first = violations.first();
            QVERIFY(!shown.isEmpty());
            if (first.code == u"unbekanntes-fach"_s) {
                QCOMPARE(shown.first(), messages::text(first.code, {first.text}));
            } else if (first.code.startsWith(u"belegung-"_s)) {
                QVERIFY(shown.first().startsWith(u"Es fehlen folgende Kurse:\r"_s));
                for (const ChecklistItem &item : violations) {
                    if (item.code.startsWith(u"belegung-"_s))
                        QVERIFY(shown.first().contains(item.text));
                }
            } else {
                QCOMPARE(shown.first(), first.text);
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
