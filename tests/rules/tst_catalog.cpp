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
    QTest::newRow("three blanks") << u"   "_s << 0;
    QTest::newRow("Werte und Normen") << u"Werte und Normen"_s << 22;
    QTest::newRow("Sport Theorie") << u"Sport Theorie"_s << 22;
}

void TestCatalog::lookup() {
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(int(LookupSubjectCode(text)), code);
}

// Every name looks up its own code: the umlauts and "Sport-Theorie" match as stored.
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
}

QTEST_APPLESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
