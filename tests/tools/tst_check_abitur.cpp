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

    QString write(const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write");
        return name;
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
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray usage = "\nHilfe: fachlese-check --help\n";
        QTest::newRow("text") << u"--abitur gut.json"_s << 0
                              << QByteArray("Berechnung nach: vier Prüfungsfächer, 840 Punkte (eingebautes Modell)\n"
                                            "Grundkurse: 220 von 330\nLeistungskurse: 140 von 210\n"
                                            "Abiturbereich: 200 von 300\nGesamt: 560 von 840\n"
                                            "✔ Grundkurse: mindestens 110 Punkte – erreicht 220\n"
                                            "✔ Grundkurse: höchstens 6 Ergebnisse unter 5 Punkten – es sind 0\n"
                                            "✔ Leistungskurse: mindestens 70 Punkte – erreicht 140\n"
                                            "✔ Leistungskurse: mindestens 4 der 6 Ergebnisse mit 5 Punkten oder mehr – es sind 6\n"
                                            "✔ Leistungskurse: kein Ergebnis mit 0 Punkten – es sind 0\n"
                                            "✔ Abiturbereich: mindestens 100 Punkte – erreicht 200\n"
                                            "✔ Abiturbereich: in mindestens 2 Prüfungsfächern, darunter LK 1 oder LK 2, "
                                            "mindestens 25 Punkte (Kurs + 4 × Prüfung) – Fächer mit diesen Punkten: 4\n"
                                            "Durchschnittsnote 2,3\n")
                              << QByteArray();
        QTest::newRow("json, failed") << u"--json --abitur=null.json"_s << 1
                                      << QByteArray(R"({"bereiche": {"grundkurse": {"punkte": 220, "hoechstens": 330}, )"
                                                    R"("leistungskurse": {"punkte": 110, "hoechstens": 210}, )"
                                                    R"("abiturbereich": {"punkte": null, "hoechstens": 300}}, )")
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
        const int got = RunCheck(list, {[&](const QByteArray &b) { gotOut += b; }, [&](const QByteArray &b) { gotErr += b; }});
        QCOMPARE(got, status);
        QCOMPARE(gotOut.left(out.isEmpty() ? gotOut.size() : out.size()), out);
        QCOMPARE(gotErr, err);
    }

    // A faulty abitur.ini in the current folder is named; the built-in model is used.
    void faultyModel() {
        write(u"abitur.ini"_s, "[Modell]\nName = Test\nGewicht = 2\n");
        QByteArray out, err;
        QCOMPARE(RunCheck({"--abitur", "gut.json"}, {[&](const QByteArray &b) { out += b; },
                                                     [&](const QByteArray &b) { err += b; }}),
                 0);
        QCOMPARE(err, "fachlese-check: Die Datei " + QDir::current().filePath(u"abitur.ini"_s).toUtf8() +
                          " ist fehlerhaft. Zeile 3: Eine Angabe „Gewicht“ gibt es im Abschnitt [Modell] nicht.\n"
                          "fachlese-check: Berechnet wird nach dem eingebauten Modell.\n");
        QVERIFY(out.endsWith("Durchschnittsnote 2,3\n"));
        QFile::remove(dir.filePath(u"abitur.ini"_s));
    }
};

QTEST_APPLESS_MAIN(CheckAbiturTest)
#include "tst_check_abitur.moc"
