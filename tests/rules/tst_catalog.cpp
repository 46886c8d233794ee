#include "rules/catalog.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The bridge from cell texts to subject codes and back.
class TestCatalog : public QObject {
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void trimBlanks_data();
    void trimBlanks();
    void everyNameRoundTrips();
    void specialEntries();
    void groups();
};

void TestCatalog::lookup_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");

    QTest::newRow("exact") << u"Deutsch"_s << 1;
    QTest::newRow("blanks around") << u" Deutsch  "_s << 1;
    QTest::newRow("small letters") << u"deutsch"_s << 22;
    QTest::newRow("capitals") << u"DEUTSCH"_s << 22;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("three blanks") << u"   "_s << 0;
    QTest::newRow("tab alone") << u"\t"_s << 22;
    QTest::newRow("trailing tab") << u"Physik\t"_s << 22;
    QTest::newRow("leading tab") << u"\tPhysik"_s << 22;
    QTest::newRow("no-break space") << u"Physik\u00A0"_s << 22;
    QTest::newRow("Werte u. Normen") << u"Werte u. Normen"_s << 14;
    QTest::newRow("Werte und Normen") << u"Werte und Normen"_s << 22;
    QTest::newRow("Sport-Theorie") << u"Sport-Theorie"_s << 21;
    QTest::newRow("Sport Theorie") << u"Sport Theorie"_s << 22;
    QTest::newRow("Sport") << u"  Sport"_s << 20;
    QTest::newRow("unbekannt") << u"unbekannt"_s << 22;
    QTest::newRow("umlaut") << u"Französisch"_s << 3;
    QTest::newRow("umlaut written out") << u"Franzoesisch"_s << 22;
    QTest::newRow("decomposed umlaut") << u"Tu\u0308rkisch"_s << 22;
    QTest::newRow("abbreviation") << u"DE"_s << 22;
    QTest::newRow("inner double blank") << u"Werte u.  Normen"_s << 22;
}

void TestCatalog::lookup() {
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(int(LookupSubjectCode(text)), code);
}

void TestCatalog::trimBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks only") << u"    "_s << QString();
    QTest::newRow("both ends") << u"  a b  "_s << u"a b"_s;
    QTest::newRow("tabs stay") << u"\t a \t"_s << u"\t a \t"_s;
    QTest::newRow("blank outside tab") << u" \ta\t "_s << u"\ta\t"_s;
    QTest::newRow("line feed stays") << u"a\n "_s << u"a\n"_s;
    QTest::newRow("inner blanks stay") << u"Werte u. Normen"_s << u"Werte u. Normen"_s;
}

void TestCatalog::trimBlanks() {
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimBlanks(text), trimmed);
}

void TestCatalog::everyNameRoundTrips() {
    for (int code = 1; code <= 21; ++code) {
        QVERIFY2(!SubjectCatalog[code].isEmpty(), qPrintable(QString::number(code)));
        QCOMPARE(int(LookupSubjectCode(SubjectCatalog[code])), code);
        QCOMPARE(int(LookupSubjectCode(u' ' + SubjectCatalog[code] + u"  "_s)), code);
        QCOMPARE(SubjectAbbreviations[code].size(), 2);
    }
}

void TestCatalog::specialEntries() {
    QCOMPARE(SubjectCatalog[0], QString());
    QCOMPARE(SubjectAbbreviations[0], QString());
    QCOMPARE(SubjectCatalog[22], u"unbekannt"_s);
    QCOMPARE(SubjectAbbreviations[22], u"??"_s);
    QCOMPARE(SubjectCatalog[14], u"Werte u. Normen"_s);
    QCOMPARE(SubjectCatalog[12], u"Pädagogik"_s);
    QCOMPARE(SubjectAbbreviations[4], u"SN"_s);
    QCOMPARE(SubjectAbbreviations[21], u"ST"_s);
}

void TestCatalog::groups() {
    const auto members = [](SubjectSet set) {
        QList<int> codes;
        for (int code = 0; code < 24; ++code) {
            if (contains(set, static_cast<SubjectCode>(code)))
                codes.append(code);
        }
        return codes;
    };
    QCOMPARE(members(AufgabenfeldA), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(members(AufgabenfeldB), (QList<int>{9, 10, 11, 12, 13, 14}));
    QCOMPARE(members(AufgabenfeldC), (QList<int>{15, 16, 17, 18, 19}));
    QCOMPARE(members(ForeignLanguages), (QList<int>{2, 3, 4, 5, 6}));
    QCOMPARE(members(NaturalSciences), (QList<int>{16, 17, 18}));
}

QTEST_APPLESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
