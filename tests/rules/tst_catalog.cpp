#include "rules/catalog.h"
#include "rules/suggestion.h"
#include "support/tables.h"

#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

// The bridge from cell texts to subject codes, the tables behind it, and the suggestions for a
// text that is no subject.
class TestCatalog : public QObject {
    Q_OBJECT

private slots:
    void lookup_data() { tables::addTextRows(u"rules/data/catalog-lookup.tsv"_s, {"text", "code"}); }

    void lookup() {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QCOMPARE(int(LookupSubjectCode(text)), code.toInt());
    }

    // Every name looks up its own code: the umlauts and "Sport-Theorie" match as stored.
    void tables() {
        const auto joined = [](const auto &table) {
            return QStringList(table.begin(), table.end()).join(u'|');
        };
        QCOMPARE(joined(SubjectCatalog),
                 u"|Deutsch|Englisch|Französisch|Spanisch|Latein|Türkisch|Kunst|Musik|Geschichte|Erdkunde|"
                 "Politik|Pädagogik|Religion|Werte u. Normen|Mathematik|Physik|Biologie|Chemie|Informatik|"
                 "Sport|Sport-Theorie|unbekannt"_s);
        QCOMPARE(joined(SubjectAbbreviations),
                 u"|DE|EN|FR|SN|LA|TU|KU|MU|GE|EK|PO|PA|RE|WN|MA|PH|BI|CH|IN|SP|ST|??"_s);
        for (int code = 1; code <= 21; ++code)
            QCOMPARE(int(LookupSubjectCode(SubjectCatalog[code])), code);
    }

    void trim_data() { tables::addTextRows(u"rules/data/catalog-trim.tsv"_s, {"text", "trimmed"}); }

    void trim() {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimBlanks(text), trimmed);
        QCOMPARE(TrimBlanksView(text).toString(), trimmed);
    }

    // The subject groups as the regulation lists them.
    void groups() {
        const auto codes = [](SubjectSet set) {
            QList<int> list;
            for (int code = 0; code < 24; ++code) {
                if (contains(set, SubjectCode(code)))
                    list.append(code);
            }
            return list;
        };
        QCOMPARE(codes(AufgabenfeldA), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(codes(AufgabenfeldB), (QList<int>{9, 10, 11, 12, 13, 14}));
        QCOMPARE(codes(AufgabenfeldC), (QList<int>{15, 16, 17, 18, 19}));
        QCOMPARE(codes(SportSubjects), (QList<int>{20, 21}));
        QCOMPARE(codes(ForeignLanguages), (QList<int>{2, 3, 4, 5, 6}));
        QCOMPARE(codes(NaturalSciences), (QList<int>{16, 17, 18}));
        QCOMPARE(codes(subjectSet({Subject::Religion, Subject::Tuerkisch})), (QList<int>{6, 13}));
        QCOMPARE(codes(subjectRange(Subject::Sport, Subject::Sport)), (QList<int>{20}));
    }

    // The catalog name suggested for a text that is no subject.
    void suggest_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("suggestion"); // empty: none
        for (const QList<QByteArray> &row : tables::rows(u"rules/data/suggestion.tsv"_s))
            QTest::newRow(row.value(0).constData())
                << tables::text(row.value(0)) << tables::text(row.value(1));
    }

    void suggest() {
        QFETCH(QString, text);
        QTEST(SuggestSubject(text), "suggestion");
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

QTEST_APPLESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
