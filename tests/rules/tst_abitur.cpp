#include "rules/abitur.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {
// Points written as "5x21 4": 21 times 5, then 4; "-" is an empty entry.
template <std::size_t N>
std::array<AbiturPoints, N> pts(const QString &text) {
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
    // Both ends of every row of the published table for 840 points.
    void gradeTable_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("grade");
        const int rows[][3] = {{40, 280, 280}, {39, 281, 296}, {38, 297, 313}, {37, 314, 330}, {36, 331, 347},
                               {35, 348, 364}, {34, 365, 380}, {33, 381, 397}, {32, 398, 414}, {31, 415, 431},
                               {30, 432, 448}, {29, 449, 464}, {28, 465, 481}, {27, 482, 498}, {26, 499, 515},
                               {25, 516, 532}, {24, 533, 548}, {23, 549, 565}, {22, 566, 582}, {21, 583, 599},
                               {20, 600, 616}, {19, 617, 632}, {18, 633, 649}, {17, 650, 666}, {16, 667, 683},
                               {15, 684, 700}, {14, 701, 716}, {13, 717, 733}, {12, 734, 750}, {11, 751, 767},
                               {10, 768, 840}};
        for (const auto &[tenths, low, high] : rows)
            for (const int total : {low, high})
                QTest::addRow("%d", total) << total << AbiturGradeText(tenths);
    }
    void gradeTable() {
        QFETCH(int, total);
        QFETCH(QString, grade);
        QCOMPARE(AbiturGradeText(AbiturGradeTenths(total, 840)), grade);
    }

    // Each condition at its boundary and beside it; the base passes with exactly 280 points.
    void conditions_data() {
        QTest::addColumn<AbiturEntries>("points");
        QTest::addColumn<QString>("verdict");
        const QString base5 = u"5x4"_s;
        const auto row = [&](const char *name, const QString &gk, const QString &lk, const QString &course,
                             const QString &exam, const QString &verdict) {
            QTest::newRow(name) << entries(gk, lk, course, exam) << verdict;
        };
        row("all at the minimum", u"5x22"_s, u"5x6"_s, base5, base5, u"Durchschnittsnote 4,0"_s);
        row("all 15", u"15x22"_s, u"15x6"_s, u"15x4"_s, u"15x4"_s, u"Durchschnittsnote 1,0"_s);
        row("gk 109", u"5x21 4"_s, u"5x6"_s, base5, base5,
            u"nicht bestanden: Grundkurse: mindestens 110 Punkte – erreicht 109"_s);
        row("gk 6 under 5", u"4x6 15x16"_s, u"5x6"_s, base5, base5, u"Durchschnittsnote 3,0"_s);
        row("gk 7 under 5", u"4x7 15x15"_s, u"5x6"_s, base5, base5,
            u"nicht bestanden: Grundkurse: höchstens 6 Ergebnisse unter 5 Punkten – es sind 7"_s);
        row("lk 69", u"5x22"_s, u"6 5 4 5 5 5"_s, base5, base5,
            u"nicht bestanden: Leistungskurse: mindestens 70 Punkte – erreicht 69"_s);
        row("lk 4 of 6 at 5", u"5x22"_s, u"4 4 15 15 15 15"_s, base5, base5, u"Durchschnittsnote 3,4"_s);
        row("lk 3 of 6 at 5", u"5x22"_s, u"4 4 4 15 15 15"_s, base5, base5,
            u"nicht bestanden: Leistungskurse: mindestens 4 der 6 Ergebnisse mit 5 Punkten oder mehr – es sind 3"_s);
        row("lk 1 point", u"5x22"_s, u"1 15x5"_s, base5, base5, u"Durchschnittsnote 3,3"_s);
        row("lk 0 points", u"5x22"_s, u"15x5 0"_s, base5, base5,
            u"nicht bestanden: Leistungskurse: kein Ergebnis mit 0 Punkten – es sind 1"_s);
        row("abi 99", u"5x22"_s, u"5x6"_s, u"4 5 5 5"_s, base5,
            u"nicht bestanden: Abiturbereich: mindestens 100 Punkte – erreicht 99"_s);
        row("two subjects with LK 1", u"5x22"_s, u"5x6"_s, u"5 4 4 15"_s, base5, u"Durchschnittsnote 3,9"_s);
        row("two subjects with LK 2", u"5x22"_s, u"5x6"_s, u"4 5 4 15"_s, base5, u"Durchschnittsnote 3,9"_s);
        const QString strong = u"nicht bestanden: Abiturbereich: in mindestens 2 Prüfungsfächern, darunter LK 1 "
                               u"oder LK 2, mindestens 25 Punkte (Kurs + 4 × Prüfung) – Fächer mit diesen Punkten: 1"_s;
        row("one subject", u"5x22"_s, u"5x6"_s, u"4 4 4 15"_s, u"5 5 5 15"_s, strong);
        row("two without LK", u"5x22"_s, u"5x6"_s, u"4 4 5 15"_s, base5, strong);
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
        QCOMPARE(lines, (QStringList{u"Grundkurse: ? von 330 (bisher 210)"_s,
                                    u"Leistungskurse: ? von 210 (bisher 165)"_s,
                                    u"Abiturbereich: ? von 300 (bisher 15)"_s, u"Gesamt: ? von 840"_s,
                                    u"✔ Grundkurse: mindestens 110 Punkte – bisher 210"_s,
                                    u"✔ Grundkurse: höchstens 6 Ergebnisse unter 5 Punkten – bisher 0"_s,
                                    u"✔ Leistungskurse: mindestens 70 Punkte – bisher 165"_s,
                                    u"✔ Leistungskurse: mindestens 4 der 6 Ergebnisse mit 5 Punkten oder mehr – bisher 5"_s,
                                    u"? Leistungskurse: kein Ergebnis mit 0 Punkten – bisher 0"_s,
                                    u"? Abiturbereich: mindestens 100 Punkte – bisher 15"_s,
                                    u"? Abiturbereich: in mindestens 2 Prüfungsfächern, darunter LK 1 oder LK 2, "
                                    u"mindestens 25 Punkte (Kurs + 4 × Prüfung) – bisher 0"_s,
                                    u"Durchschnittsnote ?"_s}));
        QVERIFY(!r.passed && !r.gradeTenths && !r.total);
        // A zero in a Leistungskurs fails whatever is still missing.
        r = EvaluateAbitur(model, entries(u"-x22"_s, u"0 -x5"_s, u"-x4"_s, u"-x4"_s));
        QCOMPARE(r.verdictLine(), u"nicht bestanden: Leistungskurse: kein Ergebnis mit 0 Punkten – bisher 1"_s);
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
            for (auto &p : e.grundkurse)
                p = draw();
            for (auto &p : e.leistungskurse)
                p = draw();
            for (auto &p : e.semester4)
                p = draw();
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
        text.replace(u"Gewicht3 = 3"_s, u"Gewicht3 = 1"_s).replace(u"NullErlaubt = nein"_s, u"NullErlaubt = JA"_s);
        QCOMPARE(ParseAbiturModel(text.toUtf8(), &model), std::nullopt);
        const AbiturResult r = EvaluateAbitur(model, entries(u"5x22"_s, u"15x5 0"_s, u"5x4"_s, u"5x4"_s));
        QCOMPARE(r.areaLines().at(1), u"Leistungskurse: 135 von 150"_s);
        QCOMPARE(r.verdictLine(), u"Durchschnittsnote 3,4"_s); // 345 of 780
    }

    // A faulty file names its line and changes nothing.
    void modelRefusals_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QString &from, const QString &to, const QString &message) {
            QTest::newRow(name) << from << to << message;
        };
        row("no number", u"Gewicht = 1"_s, u"Gewicht = eins"_s, u"Zeile 16: Der Wert „eins“ ist keine ganze Zahl von 0 an."_s);
        row("weight 11", u"Gewicht = 1"_s, u"Gewicht = 11"_s, u"Zeile 16: Der Wert 11 liegt nicht zwischen 1 und 10."_s);
        row("limit 16", u"grenze = 5"_s, u"grenze = 16"_s, u"Zeile 12: Der Wert 16 liegt nicht zwischen 1 und 15."_s);
        row("gk minimum 331", u"= 110"_s, u"= 331"_s, u"Zeile 18: Der Wert 331 liegt nicht zwischen 0 und 330."_s);
        row("gk minimum 330", u"= 110"_s, u"= 330"_s, QString());
        row("subject minimum 76", u"= 25"_s, u"= 76"_s, u"Zeile 43: Der Wert 76 liegt nicht zwischen 0 und 75."_s);
        row("subjects 5", u"Faecher = 2"_s, u"Faecher = 5"_s, u"Zeile 41: Der Wert 5 liegt nicht zwischen 0 und 4."_s);
        row("minima 279", u"= 110"_s, u"= 109"_s,
            u"Zeile 39: Die Mindestpunkte der drei Bereiche ergeben zusammen 279, weniger als ein Drittel der 840 möglichen Punkte."_s);
        row("bool", u"LKDabei = ja"_s, u"LKDabei = 1"_s, u"Zeile 45: Der Wert „1“ ist weder ja noch nein."_s);
        row("unknown key", u"Faecher"_s, u"Fächer"_s, u"Zeile 41: Eine Angabe „Fächer“ gibt es im Abschnitt [Abiturbereich] nicht."_s);
        row("key twice", u"Gewicht2 = 2"_s, u"Gewicht1 = 2"_s, u"Zeile 25: Die Angabe „Gewicht1“ steht schon in Zeile 24."_s);
        row("unknown section", u"[Modell]"_s, u"[Model]"_s, u"Zeile 8: Einen Abschnitt [Model] gibt es nicht."_s);
        row("before a section", u"[Modell]"_s, u";"_s, u"Zeile 10: Die Angabe „Name“ steht vor dem ersten Abschnitt."_s);
        row("no equals", u"Gewicht = 1"_s, u"Gewicht 1"_s,
            u"Zeile 16: Die Zeile ist weder ein Abschnitt wie [Grundkurse] noch eine Angabe wie Mindestpunkte = 110."_s);
        row("missing", u"LKDabei = ja"_s, u"; LKDabei = ja"_s, u"Die Angabe „LKDabei“ im Abschnitt [Abiturbereich] fehlt."_s);
        row("empty name", u"Name = KMK-Rahmen, vier Prüfungsfächer, 840 Punkte"_s, u"Name ="_s, u"Zeile 10: Der Name ist leer."_s);
        row("long name", u"KMK-Rahmen"_s, QString(101, u'x'), u"Zeile 10: Der Name ist länger als 100 Zeichen."_s);
        row("latin-1", u"Prüfungsfächer, 840"_s, u"\u00ff"_s, u"Zeile 10: Die Zeile ist kein UTF-8-Text."_s);
        row("too large", u"[Modell]"_s, u"[Modell]\n"_s + QString(64 * 1024, u';'), u"Die Datei ist größer als 64 KB."_s);
    }
    void modelRefusals() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QString text = ::shippedModel();
        QVERIFY(text.count(from) == 1);
        text.replace(from, to);
        QByteArray bytes = text.toUtf8();
        if (to == u"\u00ff"_s)
            bytes.replace("\xC3\xBF", "\xFF");
        AbiturModel model = BuiltInAbiturModel();
        const std::optional<QString> fault = ParseAbiturModel(bytes, &model);
        QCOMPARE(fault.value_or(QString()), message);
        QCOMPARE(model == BuiltInAbiturModel(), !message.isEmpty());
    }

    // The points file: its bytes, the way back, and its refusals.
    void pointsFile() {
        const AbiturEntries e = entries(u"15 0 -x20"_s, u"1 2 3 4 5 -"_s, u"-x4"_s, u"7 - 9 10"_s);
        const QByteArray bytes = EncodeAbiturFile(e);
        QCOMPARE(bytes, QByteArray("{\n  \"format\": \"fachlese-abitur\",\n  \"version\": 1,\n"
                                   "  \"grundkurse\": [15, 0, null, null, null, null, null, null, null, null, null, "
                                   "null, null, null, null, null, null, null, null, null, null, null],\n"
                                   "  \"leistungskurse\": [1, 2, 3, 4, 5, null],\n"
                                   "  \"semester4\": [null, null, null, null],\n  \"pruefungen\": [7, null, 9, 10]\n}\n"));
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

    void pointsRefusals_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("detail");
        const QByteArray good = EncodeAbiturFile({});
        const auto row = [&](const char *name, const QByteArray &from, const QByteArray &to, const QString &detail) {
            QByteArray bytes = good;
            QTest::newRow(name) << bytes.replace(from, to) << detail;
        };
        row("not json", "{\n", "", u"Die Datei ist kein gültiger JSON-Text."_s);
        row("array", good, "[]", u"Die Datei ist keine Punktedatei von Fachlese."_s);
        row("other format", "fachlese-abitur", "fachlese", u"Die Datei ist keine Punktedatei von Fachlese."_s);
        row("version 2", "\"version\": 1", "\"version\": 2",
            u"Die Datei hat eine andere Version als 1 und kann nicht gelesen werden."_s);
        row("21 values", "[null, null, null, null, null, null, null, null, null, null, null, ",
            "[null, null, null, null, null, null, null, null, null, null, ",
            u"„grundkurse“ muss eine Liste mit 22 Werten sein."_s);
        row("16", "\"semester4\": [null, null, null, null]", "\"semester4\": [null, null, 16, null]",
            u"„semester4“, Wert 3: Erlaubt sind ganze Zahlen von 0 bis 15 und null."_s);
        row("1.5", "\"semester4\": [null,", "\"semester4\": [1.5,",
            u"„semester4“, Wert 1: Erlaubt sind ganze Zahlen von 0 bis 15 und null."_s);
        row("text", "\"semester4\": [null,", "\"semester4\": [\"7\",",
            u"„semester4“, Wert 1: Erlaubt sind ganze Zahlen von 0 bis 15 und null."_s);
        row("too large", "\n}", QByteArray(64 * 1024, ' ') + "\n}", u"Die Datei ist größer als 64 KB."_s);
        row("15 and 0", "\"semester4\": [null, null,", "\"semester4\": [15.0, 0,", QString());
    }
    void pointsRefusals() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, detail);
        const AbiturFileRead read = ParseAbiturFile(bytes);
        QCOMPARE(read.message, detail.isEmpty() ? QString() : u"Falsches oder fehlerhaftes Dateiformat\r"_s + detail);
        QCOMPARE(read.status, detail.isEmpty() ? AbiturFileStatus::Ok : AbiturFileStatus::BadFormat);
    }
};

QTEST_APPLESS_MAIN(TestAbitur)
#include "tst_abitur.moc"
