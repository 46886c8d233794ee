#include "rules/catalog.h"
#include "rules/suggestion.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The catalog name suggested for a text that is no subject.
class TestSuggestion : public QObject {
    Q_OBJECT

private slots:
    void suggest_data();
    void suggest();
    void everyAbbreviation();
};

void TestSuggestion::suggest_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("suggestion"); // empty: none

    const auto row = [](const QString &text, const QString &suggestion) {
        QTest::addRow("%s", qPrintable(text)) << text << suggestion;
    };
    // Nothing to suggest: empty, or already a subject as the test reads it.
    row(u""_s, QString());
    row(u"   "_s, QString());
    row(u" \t "_s, QString());
    row(u"Deutsch"_s, QString());
    row(u"  Werte u. Normen "_s, QString());
    // Letter case, white space around and inside.
    row(u"politik"_s, u"Politik"_s);
    row(u"DEUTSCH"_s, u"Deutsch"_s);
    row(u"pädagogik"_s, u"Pädagogik"_s);
    row(u"Physik\t"_s, u"Physik"_s);
    row(u"Werte  u. Normen"_s, u"Werte u. Normen"_s);
    row(u"sport-theorie"_s, u"Sport-Theorie"_s);
    // Abbreviations of the sheet and usual ones.
    row(u"Ma"_s, u"Mathematik"_s);
    row(u"De"_s, u"Deutsch"_s);
    row(u"En"_s, u"Englisch"_s);
    row(u"Ph"_s, u"Physik"_s);
    row(u"SP"_s, u"Sport"_s);
    row(u"st"_s, u"Sport-Theorie"_s);
    row(u"SN"_s, u"Spanisch"_s);
    row(u"EK"_s, u"Erdkunde"_s);
    row(u"Inf"_s, u"Informatik"_s);
    row(u"Päd"_s, u"Pädagogik"_s);
    row(u"WN"_s, u"Werte u. Normen"_s);
    row(u"Reli"_s, u"Religion"_s);
    row(u"Frz"_s, u"Französisch"_s);
    row(u"Geo"_s, u"Erdkunde"_s);
    row(u"Paedagogik"_s, u"Pädagogik"_s);
    row(u"Tuerkisch"_s, u"Türkisch"_s);
    row(u"Werte und Normen"_s, u"Werte u. Normen"_s);
    row(u"Sport Theorie"_s, u"Sport-Theorie"_s);
    row(u"Sporttheorie"_s, u"Sport-Theorie"_s);
    // The beginning of one name.
    row(u"Mathe"_s, u"Mathematik"_s);
    row(u"Bio"_s, u"Biologie"_s);
    row(u"bio"_s, u"Biologie"_s);
    row(u"Gesch"_s, u"Geschichte"_s);
    row(u"Erd"_s, u"Erdkunde"_s);
    row(u"Franz"_s, u"Französisch"_s);
    row(u"Sport-Th"_s, u"Sport-Theorie"_s);
    row(u"Werte"_s, u"Werte u. Normen"_s);
    row(u"Werte und"_s, u"Werte u. Normen"_s);
    // One or two letters away.
    row(u"Pysik"_s, u"Physik"_s);
    row(u"Kunts"_s, u"Kunst"_s);
    row(u"Chmie"_s, u"Chemie"_s);
    row(u"Mathematk"_s, u"Mathematik"_s);
    row(u"Geschichet"_s, u"Geschichte"_s);
    row(u"Englsich"_s, u"Englisch"_s);
    row(u"Bilogie"_s, u"Biologie"_s);
    row(u"Informatick"_s, u"Informatik"_s);
    row(u"Franzosisch"_s, u"Französisch"_s);
    row(u"Physick"_s, u"Physik"_s);
    row(u"Phüsick"_s, u"Physik"_s);
    row(u"Mysik"_s, u"Musik"_s);
    row(u"relgion"_s, u"Religion"_s);
    // Far texts get nothing.
    row(u"Quark"_s, QString());
    row(u"Murks"_s, QString());
    row(u"unbekannt"_s, QString());
    row(u"Astronomie"_s, QString());
    row(u"Schwimmen"_s, QString());
    row(u"K"_s, QString());
    row(u"x"_s, QString());
    row(u"Kus"_s, QString());    // three letters: no near spelling
    row(u"Phsyk"_s, QString());  // five letters, two away
    row(u"Fysiek"_s, QString()); // three away
    // Ambiguous: two subjects equally close.
    row(u"Spo"_s, QString());    // Sport, Sport-Theorie
    row(u"Sport "_s, QString()); // a subject as the test reads it
    row(u"Phusik"_s, QString()); // Physik, Musik
    row(u"Mhysik"_s, QString()); // Musik, Physik
    row(u"S"_s, QString());
}

void TestSuggestion::suggest() {
    QFETCH(QString, text);
    QFETCH(QString, suggestion);
    QCOMPARE(SuggestSubject(text), suggestion);
}

// Every abbreviation of the sheet, in any letter case, and every name in small letters.
void TestSuggestion::everyAbbreviation() {
    for (int code = 1; code <= 21; ++code) {
        QCOMPARE(SuggestSubject(SubjectAbbreviations[code]), SubjectCatalog[code]);
        QCOMPARE(SuggestSubject(SubjectAbbreviations[code].toLower()), SubjectCatalog[code]);
        QCOMPARE(SuggestSubject(SubjectCatalog[code].toLower()), SubjectCatalog[code]);
        QCOMPARE(SuggestSubject(SubjectCatalog[code]), QString());
    }
}

QTEST_APPLESS_MAIN(TestSuggestion)
#include "tst_suggestion.moc"
