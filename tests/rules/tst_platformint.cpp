#include "rules/platformint.h"

#include <QTest>

#include <climits>
#include <optional>

using namespace Qt::StringLiterals;

// The integer conversion that reads the Abitur points: blanks and sign, decimal and the three
// hexadecimal prefixes, the 32-bit bounds, and every way a text is no number.
class TestPlatformInt : public QObject {
    Q_OBJECT

private slots:
    void conversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<int>>("value");
        const std::optional<int> fails;
        const auto row = [](const char *name, const QString &text, std::optional<int> value) {
            QTest::newRow(name) << text << value;
        };
        // Decimal, blanks and sign.
        row("zero", u"0"_s, 0);
        row("digits", u"15"_s, 15);
        row("leading zeros", u"007"_s, 7);
        row("plus", u"+9"_s, 9);
        row("minus zero", u"-0"_s, 0);
        row("leading blanks, sign", u"   -9"_s, -9);
        row("trailing blank", u"9 "_s, fails);
        row("leading TAB", u"\t9"_s, fails);
        row("leading no-break space", u"\u00A09"_s, fails);
        row("blank after sign", u"- 9"_s, fails);
        row("two signs", u"+-9"_s, fails);
        row("letter after digits", u"9a"_s, fails);
        row("exponent", u"1e3"_s, fails);
        row("Arabic-Indic digit", u"\u0663"_s, fails);
        row("full-width digit", u"\uFF11"_s, fails);
        // Nothing to read.
        row("empty", QString(), fails);
        row("blanks only", u"   "_s, fails);
        row("sign only", u"-"_s, fails);
        row("plus only", u"+"_s, fails);
        row("dollar only", u"$"_s, fails);
        row("x only", u"x"_s, fails);
        row("0x only", u"0x"_s, fails);
        row("sign and prefix only", u"-$"_s, fails);
        // The 32-bit bounds.
        row("largest", u"2147483647"_s, INT_MAX);
        row("largest, leading zeros", u"000000000002147483647"_s, INT_MAX);
        row("beyond largest", u"2147483648"_s, fails);
        row("smallest", u"-2147483648"_s, INT_MIN);
        row("beyond smallest", u"-2147483649"_s, fails);
        row("far beyond", u"99999999999999999999999"_s, fails);
        // Hexadecimal.
        row("dollar", u"$1F"_s, 31);
        row("x", u"x1A"_s, 26);
        row("X", u"X1a"_s, 26);
        row("0x", u"0x1F"_s, 31);
        row("0X", u"0X1f"_s, 31);
        row("lower-case digits", u"$abcdef"_s, 0xABCDEF);
        row("upper-case digits", u"$ABCDEF"_s, 0xABCDEF);
        row("lower-case f", u"$f"_s, 15);
        row("0x and zero", u"0x0"_s, 0);
        row("blank, sign, hex", u" -$a"_s, -10);
        row("no hex digit", u"$g"_s, fails);
        row("sign after prefix", u"$-1"_s, fails);
        row("blank after prefix", u"$ 1"_s, fails);
        row("two prefixes", u"0x0x1"_s, fails);
        row("two dollars", u"$$1"_s, fails);
        row("hex digit without prefix", u"1F"_s, fails);
        row("hex, largest positive", u"$7FFFFFFF"_s, INT_MAX);
        row("hex, sign bit", u"$80000000"_s, INT_MIN);
        row("hex, all 32 bits", u"$FFFFFFFF"_s, -1);
        row("hex, 0x, all 32 bits", u"0xFFFFFFFF"_s, -1);
        row("hex, 33 bits", u"$100000000"_s, fails);
        row("hex, negated", u"-$FFFFFFFF"_s, 1);
        row("hex, negated sign bit", u"-0x80000000"_s, INT_MIN);
    }

    void conversion() {
        QFETCH(QString, text);
        QFETCH(std::optional<int>, value);
        QCOMPARE(StrToIntPlatform(text), value);
    }
};

QTEST_GUILESS_MAIN(TestPlatformInt)
#include "tst_platformint.moc"
