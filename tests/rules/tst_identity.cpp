#include "rules/datafile.h"
#include "support/tables.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PupilIdentity)

namespace {
const QByteArray kEmptyGrid = "Fachlese\r\n" + QByteArray("\t\t\t\r\n").repeated(12);

// A reader of the 13 lines that knows nothing of what follows: the rows as "a|b|c|d".
QStringList thirteenLines(const QByteArray &bytes) {
    const QList<QByteArray> lines = bytes.split('\n');
    QStringList rows;
    for (int i = 1; i <= 12; ++i) {
        QByteArray line = i < lines.size() ? lines[i] : QByteArray();
        line.chop(line.endsWith('\r') ? 1 : 0);
        rows << QString::fromLatin1(line).replace(u'\t', u'|');
    }
    return rows;
}
} // namespace

// The pupil's lines after line 13 of a choice file.
class TestIdentity : public QObject {
    Q_OBJECT

private slots:
    // The lines as written: UTF-8, CR LF, only those not empty, always in the same order.
    void written_data() {
        QTest::addColumn<PupilIdentity>("identity");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("nobody") << PupilIdentity() << QByteArray();
        QTest::newRow("all four") << PupilIdentity{u"Yılmaz"_s, u"Ayşe"_s, u"10b"_s, u"01.02.2008"_s}
                                  << QByteArray("Nachname=Y\xC4\xB1lmaz\r\nVorname=Ay\xC5\x9F"
                                                "e\r\nKlasse=10b\r\nGeburtsdatum=01.02.2008\r\n");
        QTest::newRow("first name and class") << PupilIdentity{{}, u"Łukasz"_s, u" 9a "_s, {}}
                                              << QByteArray("Vorname=\xC5\x81ukasz\r\nKlasse= 9a \r\n");
        QTest::newRow("a blank is a name") << PupilIdentity{{}, {}, {}, u" "_s} << QByteArray("Geburtsdatum= \r\n");
    }

    void written() {
        QFETCH(PupilIdentity, identity);
        QFETCH(QByteArray, tail);
        GridModel grid;
        grid.setCell(1, 1, u"Französisch"_s);
        grid.setCell(4, 12, u"Notiz"_s);
        const QByteArray plain = EncodeDataFile(grid);
        DataFileWriteResult problem;
        const QByteArray bytes = EncodeDataFile(grid, identity, &problem);
        QCOMPARE(problem.status, DataFileWriteStatus::Ok);
        QCOMPARE(bytes, plain + tail);
        QCOMPARE(EncodeDataFile(GridModel(), identity), kEmptyGrid + tail);

        // Read back whole; a reader of 13 lines sees the grid it saw before.
        const DataFileReadResult read = ParseDataFile(bytes);
        QCOMPARE(read.status, DataFileStatus::Ok);
        QCOMPARE(read.identity, identity);
        QCOMPARE(read.texts.at(1, 1), u"Französisch"_s);
        QCOMPARE(read.texts.at(4, 12), u"Notiz"_s);
        QCOMPARE(thirteenLines(bytes), thirteenLines(plain));

        QTemporaryDir dir;
        const QString path = dir.filePath(u"wahl.fld"_s);
        QCOMPARE(SaveDataFile(path, grid, identity).status, DataFileWriteStatus::Ok);
        QCOMPARE(ReadDataFile(path).identity, identity);
    }

    // A name is refused where a cell would be, with the same messages; nothing is written.
    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<DataFileWriteStatus>("status");
        const qsizetype room = kMaxLineBytes - 8; // after "Vorname="
        QTest::newRow("line feed") << u"An\nna"_s << DataFileWriteStatus::Unencodable;
        QTest::newRow("carriage return") << u"Anna\r"_s << DataFileWriteStatus::Unencodable;
        QTest::newRow("TAB") << u"An\tna"_s << DataFileWriteStatus::Unencodable;
        QTest::newRow("NUL") << u"An"_s + QChar(0) + u"na"_s << DataFileWriteStatus::Unencodable;
        QTest::newRow("half a surrogate pair") << u"An"_s + QChar(0xD83D) << DataFileWriteStatus::Unencodable;
        QTest::newRow("a whole pair") << u"An"_s + QChar(0xD83D) + QChar(0xDE00) << DataFileWriteStatus::Ok;
        QTest::newRow("longest line") << QString(room, u'a') << DataFileWriteStatus::Ok;
        QTest::newRow("a byte too long") << QString(room + 1, u'a') << DataFileWriteStatus::TooLong;
        QTest::newRow("two-byte letters, a byte too long")
            << QString(room / 2, u'ş') + u'a' << DataFileWriteStatus::TooLong;
    }

    void refused() {
        QFETCH(QString, name);
        QFETCH(DataFileWriteStatus, status);
        DataFileWriteResult problem;
        const QByteArray bytes = EncodeDataFile(GridModel(), PupilIdentity{u"Muster"_s, name, {}, {}}, &problem);
        QCOMPARE(problem.status, status);
        if (status == DataFileWriteStatus::Ok) {
            QCOMPARE(ParseDataFile(bytes).identity.firstName, name);
            return;
        }
        QCOMPARE(problem.offendingText, name);
        QVERIFY(bytes.isEmpty());
    }

    // What follows line 13 is read as far as it is well formed and never refuses the grid
    // (data/identity-read.tsv).
    void read_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<PupilIdentity>("identity");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/identity-read.tsv"_s))
            QTest::newRow(r.value(0).constData()) << tables::bytes(r.value(1))
                                                  << PupilIdentity{tables::text(r.value(2)), tables::text(r.value(3)),
                                                                   tables::text(r.value(4)), tables::text(r.value(5))};
        QTest::newRow("stops at an endless line")
            << "Klasse=9\r\n" + QByteArray(kMaxLineBytes + 1, 'x') + "\r\nNachname=Kaya\r\n"
            << PupilIdentity{{}, {}, u"9"_s, {}};
        QTest::newRow("last line read")
            << QByteArray("x\r\n").repeated(kMaxIdentityLines - 1) + "Nachname=Kaya\r\nVorname=Ali\r\n"
            << PupilIdentity{u"Kaya"_s, {}, {}, {}};
    }

    void read() {
        QFETCH(QByteArray, tail);
        QFETCH(PupilIdentity, identity);
        const QByteArray grid = "Fachlese\r\nDeutsch\t\t\t\r\n" + QByteArray("\t\t\t\r\n").repeated(11);
        const DataFileReadResult read = ParseDataFile(grid + tail);
        QCOMPARE(read.status, DataFileStatus::Ok);
        QCOMPARE(read.texts.at(1, 1), u"Deutsch"_s);
        QCOMPARE(read.identity, identity);
        // A file that ends before line 13 has no identity, whatever its last rows hold.
        QCOMPARE(ParseDataFile("Fachlese\r\nNachname=Kaya\r\n").identity, PupilIdentity());
    }
};

QTEST_GUILESS_MAIN(TestIdentity)
#include "tst_identity.moc"
