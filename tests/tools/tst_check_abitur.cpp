#include "rules/abitur.h"
#include "tools/run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// fachlese-check --abitur: the result of a points file, as text and as JSON, and its refusals.
class CheckAbiturTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    void write(const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(dir.path()));
        AbiturEntries e;
        e.grundkurse.fill(10);
        e.leistungskurse.fill(10);
        e.semester4.fill(10);
        e.pruefungen.fill(10);
        write(u"gut.json"_s, EncodeAbiturFile(e));
        e.leistungskurse[5] = 0;
        e.pruefungen[3] = std::nullopt;
        write(u"null.json"_s, EncodeAbiturFile(e));
        write(u"kaputt.json"_s, "{\"format\": \"fachlese-abitur\", \"version\": 3}");
    }

    void run_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out"); // without the middle of the text output
        QTest::addColumn<QByteArray>("err");
        const QByteArray usage = "\nHilfe: fachlese-check --help\n";
        QTest::newRow("text, failed")
            << u"--abitur null.json"_s << 1
            << QByteArray("Berechnung nach: vier Prüfungsfächer, 840 Punkte (eingebautes Modell)\n"
                          "Grundkurse: 220 von 330\n...\n"
                          "nicht bestanden: Leistungskurse: kein Ergebnis mit 0 Punkten – es sind 1\n")
            << QByteArray();
        QTest::newRow("json")
            << u"--json --abitur=gut.json"_s << 0
            << QByteArray(R"({"bereiche": {"grundkurse": {"punkte": 220, "hoechstens": 330}, )"
                          R"("leistungskurse": {"punkte": 140, "hoechstens": 210}, )"
                          R"("abiturbereich": {"punkte": 200, "hoechstens": 300}}, "bedingungen": [)"
                          R"({"text": "Grundkurse: mindestens 110 Punkte – erreicht 220", "erfuellt": true}, )"
                          R"({"text": "Grundkurse: höchstens 6 Ergebnisse unter 5 Punkten – es sind 0", "erfuellt": true}, )"
                          R"({"text": "Leistungskurse: mindestens 70 Punkte – erreicht 140", "erfuellt": true}, )"
                          R"({"text": "Leistungskurse: mindestens 4 der 6 Ergebnisse mit 5 Punkten oder mehr – es sind 6", "erfuellt": true}, )"
                          R"({"text": "Leistungskurse: kein Ergebnis mit 0 Punkten – es sind 0", "erfuellt": true}, )"
                          R"({"text": "Abiturbereich: mindestens 100 Punkte – erreicht 200", "erfuellt": true}, )"
                          R"({"text": "Abiturbereich: in mindestens 2 Prüfungsfächern, darunter LK 1 oder LK 2, mindestens 25 Punkte (Kurs + 4 × Prüfung) – Fächer mit diesen Punkten: 4", "erfuellt": true}], )"
                          R"("gesamt": 560, "note": "2,3", "bestanden": true})"
                          "\n")
            << QByteArray();
        QTest::newRow("refused") << u"--abitur kaputt.json"_s << 2 << QByteArray()
                                 << QByteArray("fachlese-check: kaputt.json: Falsches oder fehlerhaftes Dateiformat\n"
                                               "fachlese-check: Die Datei hat eine andere Version als 1 und kann "
                                               "nicht gelesen werden.\n");
        QTest::newRow("missing") << u"--abitur fehlt.json"_s << 2 << QByteArray()
                                 << QByteArray("fachlese-check: fehlt.json: Die Datei kann nicht geöffnet werden\n");
        QTest::newRow("no name") << u"--abitur"_s << 2 << QByteArray()
                                 << "fachlese-check: --abitur verlangt einen Namen" + usage;
        QTest::newRow("with --csv") << u"--abitur gut.json --csv"_s << 2 << QByteArray()
                                    << "fachlese-check: --abitur verträgt sich nur mit --json: --csv" + usage;
    }
    void run() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QList<QByteArray> list;
        for (const QString &a : arguments.split(u' '))
            list << a.toUtf8();
        QByteArray gotOut, gotErr;
        QCOMPARE(RunCheck(list, {[&](const QByteArray &b) { gotOut += b; }, [&](const QByteArray &b) { gotErr += b; }}),
                 status);
        // The text output: its first two lines and its last, with the lines between (tested
        // on the calculation) left out.
        const QList<QByteArray> lines = gotOut.split('\n');
        if (!gotOut.startsWith('{') && lines.size() > 3)
            gotOut = lines[0] + '\n' + lines[1] + "\n...\n" + lines[lines.size() - 2] + '\n';
        QCOMPARE(gotOut, out);
        QCOMPARE(gotErr, err);
    }
};

QTEST_APPLESS_MAIN(CheckAbiturTest)
#include "tst_check_abitur.moc"
