#include "rules/abitur.h"
#include "rules/platformint.h"
#include "support/tables.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {
// Points written as "5x21 4": 21 times 5, then 4; "-" is an empty entry.
template <std::size_t N> std::array<AbiturPoints, N> pts(const QString &text) {
    std::array<AbiturPoints, N> values{};
    std::size_t i = 0;
    for (const QString &token : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = token.split(u'x');
        for (int n = 0; n < (parts.size() > 1 ? parts[1].toInt() : 1); ++n, ++i)
            values.at(i) = parts[0] == u"-" ? AbiturPoints() : AbiturPoints(parts[0].toInt());
    }
    if (i != N)
        qFatal("wrong number of points");
    return values;
}

AbiturEntries entries(const QString &gk, const QString &lk, const QString &course, const QString &exam) {
    return {pts<22>(gk), pts<6>(lk), pts<4>(course), pts<4>(exam)};
}

QString shippedModel() {
    QFile file(QStringLiteral(FACHLESE_SOURCE_DIR "/documents/abitur.ini"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

Q_DECLARE_METATYPE(AbiturEntries)

class TestAbitur : public QObject {
    Q_OBJECT

private slots:
    // Both ends of every row of the published table for 840 points (data/abitur-grades.tsv).
    void gradeTable_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("grade");
        for (const QList<QByteArray> &row : tables::rows(u"rules/data/abitur-grades.tsv"_s))
            for (const QByteArray &total : {row.value(1), row.value(2)})
                QTest::addRow("%s", total.constData())
                    << total.toInt() << AbiturGradeText(row.value(0).toInt());
    }
    void gradeTable() {
        QFETCH(int, total);
        QTEST(AbiturGradeText(AbiturGradeTenths(total, 840)), "grade");
    }

    // Each condition at its boundary and beside it (data/abitur-conditions.tsv).
    void conditions_data() {
        QTest::addColumn<AbiturEntries>("points");
        QTest::addColumn<QString>("verdict");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/abitur-conditions.tsv"_s))
            QTest::newRow(r.value(0).constData())
                << entries(tables::text(r.value(1)), tables::text(r.value(2)), tables::text(r.value(3)),
                           tables::text(r.value(4)))
                << tables::text(r.value(5));
    }
    void conditions() {
        QFETCH(AbiturEntries, points);
        QFETCH(QString, verdict);
        const AbiturResult result = EvaluateAbitur(BuiltInAbiturModel(), points);
        QCOMPARE(result.verdictLine(), verdict);
        QCOMPARE(result.passed, std::optional<bool>(verdict.startsWith(u"Durchschnitt"_s)));
    }

    // While results are missing: what is certain, "?" for the rest, and never a grade.
    void incomplete() {
        const AbiturModel model = BuiltInAbiturModel();
        AbiturResult r = EvaluateAbitur(model, entries(u"10x21 -"_s, u"15x5 -"_s, u"- 5x3"_s, u"-x4"_s));
        QStringList lines = r.areaLines();
        for (int i = 0; i < r.conditions.size(); ++i)
            lines << r.conditionLine(i);
        lines << r.verdictLine();
        const QByteArray shown = lines.join(u'\n').toUtf8() + '\n';
        QCOMPARE(shown, tables::golden(u"rules/data/abitur-incomplete.txt"_s, shown));
        QVERIFY(!r.passed && !r.gradeTenths && !r.total);
        // A zero in a Leistungskurs fails whatever is still missing.
        r = EvaluateAbitur(model, entries(u"-x22"_s, u"0 -x5"_s, u"-x4"_s, u"-x4"_s));
        QCOMPARE(r.verdictLine(),
                 u"nicht bestanden: Leistungskurse: kein Ergebnis mit 0 Punkten – bisher 1"_s);
        // Certain to pass before the last examination: no grade yet.
        r = EvaluateAbitur(model, entries(u"15x22"_s, u"15x6"_s, u"15x4"_s, u"15x3 -"_s));
        QCOMPARE(r.verdictLine(), u"bestanden, Durchschnittsnote ?"_s);
        QCOMPARE(r.passed, std::optional<bool>(true));
    }

    // "Was brauche ich?" against trying every result 0 ... 15 in all four examinations.
    void needsAgainstBruteForce() {
        const AbiturModel model = BuiltInAbiturModel();
        QRandomGenerator random(23);
        for (int n = 0; n < 400; ++n) {
            AbiturEntries e;
            const int centre = int(random.bounded(16));
            const auto draw = [&] { return qBound(0, centre + int(random.bounded(9)) - 4, 15); };
            const auto fill = [&draw](auto &points) { std::ranges::generate(points, draw); };
            fill(e.grundkurse);
            fill(e.leistungskurse);
            fill(e.semester4);
            const int target = 10 + int(random.bounded(31));
            const AbiturNeeds needs = NeededExamResult(model, e, target);
            AbiturPoints toPass, toReach;
            for (int x = 15; x >= 0; --x) {
                e.pruefungen.fill(x);
                const AbiturResult r = EvaluateAbitur(model, e);
                if (r.passed == true)
                    toPass = x;
                if (r.gradeTenths && *r.gradeTenths <= target)
                    toReach = x;
            }
            QVERIFY(needs.ready);
            QCOMPARE(needs.toPass, toPass);
            QCOMPARE(needs.toReach, toReach);
        }
        AbiturEntries e = entries(u"8x22"_s, u"9x6"_s, u"7x3 -"_s, u"-x4"_s);
        QVERIFY(!NeededExamResult(model, e, 20).ready);
        e.semester4[3] = 7;
        QCOMPARE(AbiturNeedsLines(NeededExamResult(model, e, 20), 20).join(u'|'),
                 u"Bestehen: in jeder Prüfung mindestens 5 Punkte|Note 2,0: nicht erreichbar"_s);
    }

    // The shipped file holds the built-in model; a changed value changes the calculation.
    void shippedModel() {
        AbiturModel model;
        QCOMPARE(ParseAbiturModel(::shippedModel().toUtf8(), &model), std::nullopt);
        QCOMPARE(model.name, u"KMK-Rahmen, vier Prüfungsfächer, 840 Punkte"_s);
        model.name = BuiltInAbiturModel().name;
        QVERIFY(model == BuiltInAbiturModel());
        QString text = ::shippedModel();
        text.replace(u"Gewicht3 = 3"_s, u"Gewicht3 = 1"_s)
            .replace(u"NullErlaubt = nein"_s, u"NullErlaubt = JA"_s);
        QCOMPARE(ParseAbiturModel(text.toUtf8(), &model), std::nullopt);
        const AbiturResult r = EvaluateAbitur(model, entries(u"5x22"_s, u"15x5 0"_s, u"5x4"_s, u"5x4"_s));
        QCOMPARE(r.areaLines().at(1), u"Leistungskurse: 135 von 150"_s);
        QCOMPARE(r.verdictLine(), u"Durchschnittsnote 3,4"_s); // 345 of 780
    }

    // A faulty file names its line and changes nothing (data/abitur-model-refusals.tsv).
    void modelRefusals_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("message");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/abitur-model-refusals.tsv"_s))
            QTest::newRow(r.value(0).constData())
                << tables::bytes(r.value(1)) << tables::bytes(r.value(2)) << tables::text(r.value(3));
        QTest::newRow("too large") << QByteArray("[Modell]") << "[Modell]\n" + QByteArray(64 * 1024, ';')
                                   << u"Die Datei ist größer als 64 KB."_s;
    }
    void modelRefusals() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, message);
        QByteArray bytes = ::shippedModel().toUtf8();
        QCOMPARE(bytes.count(from), 1);
        AbiturModel model = BuiltInAbiturModel();
        const std::optional<QString> fault = ParseAbiturModel(bytes.replace(from, to), &model);
        QCOMPARE(fault.value_or(QString()), message);
        QCOMPARE(model == BuiltInAbiturModel(), !message.isEmpty());
    }

    // The points file: its bytes, the way back, and its refusals.
    void pointsFile() {
        const AbiturEntries e = entries(u"15 0 -x20"_s, u"1 2 3 4 5 -"_s, u"-x4"_s, u"7 - 9 10"_s);
        const QByteArray bytes = EncodeAbiturFile(e);
        QCOMPARE(bytes, tables::golden(u"rules/data/abitur-points.json"_s, bytes));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"punkte.json"_s);
        QVERIFY(SaveAbiturFile(path, e));
        const AbiturFileRead read = ReadAbiturFile(path);
        QVERIFY(read.status == AbiturFileStatus::Ok && read.entries == e && read.message.isEmpty());
        QVERIFY(!SaveAbiturFile(dir.path(), e));
        QCOMPARE(ReadAbiturFile(dir.path()).message, u"Die Datei kann nicht geöffnet werden"_s);
        QCOMPARE(ReadAbiturFile(dir.filePath(u"fehlt.json"_s)).status, AbiturFileStatus::CannotOpen);
#ifdef Q_OS_UNIX
        const QString fifo = dir.filePath(u"fifo.json"_s);
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QCOMPARE(ReadAbiturFile(fifo).status, AbiturFileStatus::CannotOpen);
        QVERIFY(!SaveAbiturFile(fifo, e));
#endif
    }

    // A points file with one text replaced (data/abitur-points-refusals.tsv).
    void pointsRefusals_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("detail");
        const QByteArray good = EncodeAbiturFile({});
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/abitur-points-refusals.tsv"_s))
            QTest::newRow(r.value(0).constData())
                << QByteArray(good).replace(tables::bytes(r.value(1)), tables::bytes(r.value(2)))
                << tables::text(r.value(3));
        QTest::newRow("array") << QByteArray("[]") << u"Die Datei ist keine Punktedatei von Fachlese."_s;
        QTest::newRow("too large") << QByteArray(good).replace("\n}", QByteArray(64 * 1024, ' ') + "\n}")
                                   << u"Die Datei ist größer als 64 KB."_s;
    }
    void pointsRefusals() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, detail);
        const AbiturFileRead read = ParseAbiturFile(bytes);
        QCOMPARE(read.message,
                 detail.isEmpty() ? QString() : u"Falsches oder fehlerhaftes Dateiformat\r"_s + detail);
        QCOMPARE(read.status, detail.isEmpty() ? AbiturFileStatus::Ok : AbiturFileStatus::BadFormat);
    }

    // The integer conversion that reads the points: blanks and sign, decimal and the three
    // hexadecimal prefixes, the 32-bit bounds, and every way a text is no number
    // (data/platformint.tsv).
    void integers_data() {
        tables::addTextRows(u"rules/data/platformint.tsv"_s, {"text", "value"});
    }

    void integers() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        QCOMPARE(StrToIntPlatform(text), value == u"none" ? std::nullopt : std::optional<int>(value.toInt()));
    }
};

QTEST_APPLESS_MAIN(TestAbitur)
#include "tst_abitur.moc"
