#include "rules/catalog.h"

#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

// The bridge from cell texts to subject codes and the tables behind it.
class TestCatalog : public QObject {
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void tables();
};

void TestCatalog::lookup_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");

    QTest::newRow("blanks around") << u" Deutsch  "_s << 1;
    QTest::newRow("small letters") << u"deutsch"_s << 22;
    QTest::newRow("capitals") << u"DEUTSCH"_s << 22;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("three blanks") << u"   "_s << 0;
    QTest::newRow("trailing tab") << u"Physik\t"_s << 22;
    QTest::newRow("blank outside a tab") << u" \tPhysik"_s << 22;
    QTest::newRow("no-break space") << u"Physik\u00A0"_s << 22;
    QTest::newRow("Werte und Normen") << u"Werte und Normen"_s << 22;
    QTest::newRow("Sport-Theorie") << u"Sport-Theorie"_s << 21;
    QTest::newRow("Sport Theorie") << u"Sport Theorie"_s << 22;
    QTest::newRow("unbekannt") << u"unbekannt"_s << 22;
    QTest::newRow("decomposed umlaut") << u"Tu\u0308rkisch"_s << 22;
    QTest::newRow("abbreviation") << u"DE"_s << 22;
}

void TestCatalog::lookup() {
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(int(LookupSubjectCode(text)), code);
}

void TestCatalog::tables() {
    const auto joined = [](const auto &table) { return QStringList(table.begin(), table.end()).join(u'|'); };
    QCOMPARE(joined(SubjectCatalog),
             u"|Deutsch|Englisch|Französisch|Spanisch|Latein|Türkisch|Kunst|Musik|Geschichte|Erdkunde|"
             "Politik|Pädagogik|Religion|Werte u. Normen|Mathematik|Physik|Biologie|Chemie|Informatik|"
             "Sport|Sport-Theorie|unbekannt"_s);
    QCOMPARE(joined(SubjectAbbreviations),
             u"|DE|EN|FR|SN|LA|TU|KU|MU|GE|EK|PO|PA|RE|WN|MA|PH|BI|CH|IN|SP|ST|??"_s);
    for (int code = 1; code <= 21; ++code)
        QCOMPARE(int(LookupSubjectCode(SubjectCatalog[code])), code);
    QCOMPARE(TrimBlanks(u"  \ta b\t  "_s), u"\ta b\t"_s);
    QVERIFY(!contains(NaturalSciences, Subject::Informatik) && contains(AufgabenfeldC, Subject::Informatik));
    QVERIFY(contains(ForeignLanguages, Subject::Tuerkisch) && !contains(AufgabenfeldA, Subject::Sport));
}

QTEST_APPLESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
