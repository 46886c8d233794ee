#include "rules/catalog.h"
#include "rules/suggestion.h"
#include "support/tables.h"

// The catalog name suggested for a text that is no subject.
class TestSuggestion : public QObject {
    Q_OBJECT

private slots:
    void suggest_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("suggestion"); // empty: none
        for (const QList<QByteArray> &row : tables::rows(QStringLiteral("rules/data/suggestion.tsv")))
            QTest::newRow(row.value(0).constData()) << tables::text(row.value(0)) << tables::text(row.value(1));
    }

    void suggest() {
        QFETCH(QString, text);
        QFETCH(QString, suggestion);
        QCOMPARE(SuggestSubject(text), suggestion);
    }

    // Every abbreviation of the sheet, in any letter case, and every name in small letters.
    void everyAbbreviation() {
        for (int code = 1; code <= 21; ++code) {
            QCOMPARE(SuggestSubject(SubjectAbbreviations[code]), SubjectCatalog[code]);
            QCOMPARE(SuggestSubject(SubjectAbbreviations[code].toLower()), SubjectCatalog[code]);
            QCOMPARE(SuggestSubject(SubjectCatalog[code].toLower()), SubjectCatalog[code]);
            QCOMPARE(SuggestSubject(SubjectCatalog[code]), QString());
        }
    }
};

QTEST_APPLESS_MAIN(TestSuggestion)
#include "tst_suggestion.moc"
