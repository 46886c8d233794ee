#include "rules/platformint.h"
#include "support/tables.h"

#include <optional>

// The integer conversion that reads the Abitur points: blanks and sign, decimal and the three
// hexadecimal prefixes, the 32-bit bounds, and every way a text is no number. The cases are in
// data/platformint.tsv.
class TestPlatformInt : public QObject {
    Q_OBJECT

private slots:
    void conversion_data() { tables::addTextRows(QStringLiteral("rules/data/platformint.tsv"), {"text", "value"}); }

    void conversion() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        QCOMPARE(StrToIntPlatform(text), value == u"none" ? std::nullopt : std::optional<int>(value.toInt()));
    }
};

QTEST_GUILESS_MAIN(TestPlatformInt)
#include "tst_platformint.moc"
