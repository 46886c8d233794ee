#include "rules/datafile.h"
#include "rules/grid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The bytes of the course-selection data file, reading it back, and saving that never
// destroys the file that was there.
class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void unencodable_data();
    void unencodable();
    void unencodableMessage();
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
    void applyReplacesRows1To12();
    void cannotOpen();
    void hugeFiles();
    void saveReplacesExistingFile();
    void saveIntoReadOnlyFolder();
    void saveOverWriteProtectedFile();
    void saveIntoFullFileSystem();
};

namespace {

using Cells = QList<std::pair<QPoint, QString>>; // (column, row) -> text

const QByteArray kEmptyRow = QByteArrayLiteral("\t\t\t\r\n");

QByteArray emptyFile() {
    return QByteArrayLiteral("Fachlese\r\n") + kEmptyRow.repeated(12);
}

// The file of an empty grid with line `line` (2 ... 13) replaced.
QByteArray fileWithLine(int line, const QByteArray &content) {
    QByteArray bytes = QByteArrayLiteral("Fachlese\r\n");
    for (int l = 2; l <= 13; ++l)
        bytes += l == line ? content : kEmptyRow;
    return bytes;
}

void fill(GridModel &grid, const Cells &cells) {
    for (const auto &[where, text] : cells)
        grid.setCell(where.x(), where.y(), text);
}

QString expectedAt(const Cells &cells, int column, int row) {
    QString text;
    for (const auto &[where, value] : cells) {
        if (where == QPoint(column, row))
            text = value;
    }
    return text;
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

void TestDataFile::encode_data() {
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty grid, 70 bytes") << Cells() << emptyFile();
    QTest::newRow("Deutsch through LK 1") << Cells{{{1, 1}, u"Deutsch"_s},
                                                   {{2, 1}, u"Deutsch"_s},
                                                   {{3, 1}, u"Deutsch"_s},
                                                   {{4, 1}, u"Deutsch"_s}}
                                          << fileWithLine(2, "Deutsch\tDeutsch\tDeutsch\tDeutsch\r\n");
    QTest::newRow("Französisch as F6")
        << Cells{{{1, 5}, u"Französisch"_s}} << fileWithLine(6, "Franz\xF6sisch\t\t\t\r\n");
    QTest::newRow("umlauts and sharp s")
        << Cells{{{2, 9}, u"Türkisch"_s}, {{3, 9}, u"Pädagogik"_s}, {{4, 9}, u"ß"_s}}
        << fileWithLine(10, "\tT\xFCrkisch\tP\xE4"
                            "dagogik\t\xDF\r\n");
    QTest::newRow("blanks not trimmed")
        << Cells{{{4, 11}, u" Physik  "_s}} << fileWithLine(12, "\t\t\t Physik  \r\n");
    QTest::newRow("spare row 12 is line 13") << Cells{{{3, 12}, u"x"_s}} << fileWithLine(13, "\t\tx\t\r\n");
    QTest::newRow("euro sign and curly quotes")
        << Cells{{{1, 2}, u"\u20AC\u201E\u201C"_s}} << fileWithLine(3, "\x80\x84\x93\t\t\t\r\n");
    QTest::newRow("undefined bytes back as they were") << Cells{{{1, 3}, u"\u0081\u008D\u008F\u0090\u009D"_s}}
                                                       << fileWithLine(4, "\x81\x8D\x8F\x90\x9D\t\t\t\r\n");
    QTest::newRow("label cells not written")
        << Cells{{{0, 1}, u"  LK 1"_s}, {{1, 0}, u" 1. Semester"_s}} << emptyFile();
}

void TestDataFile::encode() {
    QFETCH(Cells, cells);
    QFETCH(QByteArray, bytes);
    GridModel grid;
    fill(grid, cells);
    QString offending = u"unchanged"_s;
    const QByteArray encoded = EncodeDataFile(grid, &offending);
    QCOMPARE(encoded, bytes);
    QCOMPARE(offending, u"unchanged"_s);
    if (cells.isEmpty())
        QCOMPARE(encoded.size(), 70);
}

void TestDataFile::unencodable_data() {
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QString>("offending");

    QTest::newRow("Polish l") << Cells{{{2, 6}, u"Pło"_s}} << u"Pło"_s;
    QTest::newRow("s with comma") << Cells{{{1, 1}, u"Istoria ș"_s}} << u"Istoria ș"_s;
    QTest::newRow("emoji") << Cells{{{4, 11}, u"Sport \U0001F600"_s}} << u"Sport \U0001F600"_s;
    QTest::newRow("lone surrogate at the end")
        << Cells{{{1, 4}, u"Kunst"_s + QChar(0xD83D)}} << u"Kunst"_s + QChar(0xD83D);
    QTest::newRow("spare row") << Cells{{{1, 12}, u"漢"_s}} << u"漢"_s;
    QTest::newRow("rows before columns")
        << Cells{{{1, 3}, u"first in column order ł"_s}, {{4, 2}, u"first in row order ł"_s}}
        << u"first in row order ł"_s;
    QTest::newRow("columns within a row")
        << Cells{{{3, 7}, u"third ł"_s}, {{2, 7}, u"second ł"_s}, {{1, 7}, u"Deutsch"_s}} << u"second ł"_s;
}

void TestDataFile::unencodable() {
    QFETCH(Cells, cells);
    QFETCH(QString, offending);
    GridModel grid;
    fill(grid, cells);
    QString found;
    QVERIFY(EncodeDataFile(grid, &found).isEmpty());
    QCOMPARE(found, offending);

    // Nothing is written: an earlier file stays, a new name is not created.
    QTemporaryDir dir;
    const QString earlier = dir.filePath(u"earlier.fld"_s);
    QVERIFY(writeBytes(earlier, "earlier bytes"));
    DataFileWriteResult result = SaveDataFile(earlier, grid);
    QCOMPARE(result.status, DataFileWriteStatus::Unencodable);
    QCOMPARE(result.offendingText, offending);
    QCOMPARE(readBytes(earlier), QByteArray("earlier bytes"));
    result = SaveDataFile(dir.filePath(u"new.fld"_s), grid);
    QCOMPARE(result.status, DataFileWriteStatus::Unencodable);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"earlier.fld"_s});
}

void TestDataFile::unencodableMessage() {
    QCOMPARE(
        UnencodableMessage(u"Pło"_s),
        u"Der Eintrag  Pło  enthält Zeichen, die in einer Fachlese-Datei nicht gespeichert werden können."
        u"\rBitte ändere den Eintrag und speichere dann erneut."_s);
    QCOMPARE(kCannotOpenMessage, u"Die Datei kann nicht geöffnet werden"_s);
    QCOMPARE(kBadFormatMessage, u"Falsches oder fehlerhaftes Dateiformat"_s);
    QCOMPARE(kWriteFailedMessage, u"Diskette oder Platte schreibgeschützt oder voll!"_s);
}

void TestDataFile::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Cells>("cells");

    const QByteArray sig = QByteArrayLiteral("Fachlese\r\n");
    QTest::newRow("empty grid") << emptyFile() << true << Cells();
    QTest::newRow("signature line only") << sig << true << Cells();
    QTest::newRow("signature without line end") << QByteArray("Fachlese") << true << Cells();
    QTest::newRow("missing lines read as empty")
        << sig + "a\tb\tc\td\r\n"
        << true << Cells{{{1, 1}, u"a"_s}, {{2, 1}, u"b"_s}, {{3, 1}, u"c"_s}, {{4, 1}, u"d"_s}};
    QTest::newRow("last line without line end")
        << sig + kEmptyRow + "\t\t\tMusik" << true << Cells{{{4, 2}, u"Musik"_s}};
    QTest::newRow("no TAB: all into column 4")
        << fileWithLine(3, "Deutsch\r\n") << true << Cells{{{4, 2}, u"Deutsch"_s}};
    QTest::newRow("one TAB") << fileWithLine(3, "a\tb\r\n") << true
                             << Cells{{{1, 2}, u"a"_s}, {{4, 2}, u"b"_s}};
    QTest::newRow("two TABs") << fileWithLine(3, "a\tb\tc\r\n") << true
                              << Cells{{{1, 2}, u"a"_s}, {{2, 2}, u"b"_s}, {{4, 2}, u"c"_s}};
    QTest::newRow("five TABs: the rest into column 4")
        << fileWithLine(4, "a\tb\tc\td\te\tf\r\n") << true
        << Cells{{{1, 3}, u"a"_s}, {{2, 3}, u"b"_s}, {{3, 3}, u"c"_s}, {{4, 3}, u"d\te\tf"_s}};
    QTest::newRow("leading TABs") << fileWithLine(5, "\t\t\t\tx\r\n") << true << Cells{{{4, 4}, u"\tx"_s}};
    QTest::newRow("blanks kept") << fileWithLine(6, " Deutsch \t  \t\t Kunst\r\n") << true
                                 << Cells{{{1, 5}, u" Deutsch "_s}, {{2, 5}, u"  "_s}, {{4, 5}, u" Kunst"_s}};
    QTest::newRow("spare row 12") << fileWithLine(13, "\t\tx\t\r\n") << true << Cells{{{3, 12}, u"x"_s}};
    QTest::newRow("Windows-1252 letters")
        << fileWithLine(2, "Franz\xF6sisch\tT\xFCrkisch\t\x80\t\x9F\r\n") << true
        << Cells{{{1, 1}, u"Französisch"_s},
                 {{2, 1}, u"Türkisch"_s},
                 {{3, 1}, u"\u20AC"_s},
                 {{4, 1}, u"\u0178"_s}};
    QTest::newRow("undefined bytes as control characters") << fileWithLine(2, "\x81\t\x8D\t\x8F\t\x90\x9D"
                                                                              "a\r\n")
                                                           << true
                                                           << Cells{{{1, 1}, u"\u0081"_s},
                                                                    {{2, 1}, u"\u008D"_s},
                                                                    {{3, 1}, u"\u008F"_s},
                                                                    {{4, 1}, u"\u0090\u009Da"_s}};
    QTest::newRow("LF line ends accepted")
        << QByteArray("Fachlese\n\t\tKunst\t\n") << true << Cells{{{3, 1}, u"Kunst"_s}};
    QTest::newRow("lines after 13 never read")
        << emptyFile() + "junk\0\xFF" + QByteArray(70000, 'x') << true << Cells();
    QTest::newRow("line of exactly 64 KiB") << fileWithLine(2, QByteArray(64 * 1024, 'x') + "\r\n") << true
                                            << Cells{{{4, 1}, QString(64 * 1024, u'x')}};

    QTest::newRow("empty file") << QByteArray() << false << Cells();
    QTest::newRow("empty first line") << "\r\n" + kEmptyRow.repeated(12) << false << Cells();
    QTest::newRow("small letters") << QByteArray("fachlese\r\n") << false << Cells();
    QTest::newRow("capitals") << QByteArray("FACHLESE\r\n") << false << Cells();
    QTest::newRow("trailing blank") << QByteArray("Fachlese \r\n") << false << Cells();
    QTest::newRow("leading blank") << QByteArray(" Fachlese\r\n") << false << Cells();
    QTest::newRow("trailing TAB") << QByteArray("Fachlese\t\r\n") << false << Cells();
    QTest::newRow("longer word") << QByteArray("Fachlesedaten\r\n") << false << Cells();
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "Fachlese\r\n")
                                     << false << Cells();
    QTest::newRow("NUL in the signature") << QByteArray("Fachlese\0\r\n", 11) << false << Cells();
    QTest::newRow("NUL in a row") << fileWithLine(7, QByteArray("a\0b\t\t\t\r\n", 8)) << false << Cells();
    QTest::newRow("NUL in the spare row")
        << fileWithLine(13, QByteArray("\t\t\t\0\r\n", 6)) << false << Cells();
    QTest::newRow("line over 64 KiB")
        << fileWithLine(2, QByteArray(64 * 1024 + 1, 'x') + "\r\n") << false << Cells();
    QTest::newRow("last line over 64 KiB without end")
        << sig + QByteArray(64 * 1024 + 1, 'x') << false << Cells();
    QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << false << Cells();
}

void TestDataFile::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(Cells, cells);

    const DataFileReadResult result = ParseDataFile(bytes);
    QCOMPARE(result.status, ok ? DataFileStatus::Ok : DataFileStatus::BadFormat);
    if (!ok)
        return;
    for (int row = 1; row <= 12; ++row) {
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(result.texts.at(column, row), expectedAt(cells, column, row));
    }

    // The same from a file.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.fld"_s);
    QVERIFY(writeBytes(path, bytes));
    const DataFileReadResult fromFile = ReadDataFile(path);
    QCOMPARE(fromFile.status, DataFileStatus::Ok);
    QCOMPARE(fromFile.texts.texts, result.texts.texts);
}

void TestDataFile::roundTrip_data() {
    QTest::addColumn<Cells>("cells");

    Cells everySubject;
    for (int code = 1; code <= 21; ++code)
        everySubject.append({{(code - 1) % 4 + 1, (code - 1) / 4 + 1}, SubjectCatalog[code]});
    QTest::newRow("every subject") << everySubject;
    QTest::newRow("spare row and last course row")
        << Cells{{{1, 12}, u"spare"_s}, {{4, 12}, u"row"_s}, {{2, 11}, u"Sport-Theorie"_s}};
    QTest::newRow("TABs in column 4") << Cells{{{4, 3}, u"a\tb\t\tc"_s}, {{4, 6}, u"\t"_s}};
    QTest::newRow("blanks around") << Cells{{{1, 1}, u"  Deutsch "_s}, {{2, 1}, u" "_s}};
    QTest::newRow("Windows-1252 extremes") << Cells{{{1, 2}, u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178"_s},
                                                    {{3, 9}, u"\u00FF\u00A0\u0001"_s}};
}

void TestDataFile::roundTrip() {
    QFETCH(Cells, cells);
    GridModel grid;
    fill(grid, cells);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wahl.fld"_s);
    QCOMPARE(SaveDataFile(path, grid).status, DataFileWriteStatus::Ok);
    const QByteArray first = readBytes(path);
    QCOMPARE(first, EncodeDataFile(grid));

    const DataFileReadResult read = ReadDataFile(path);
    QCOMPARE(read.status, DataFileStatus::Ok);
    GridModel loaded;
    ApplyDataFile(loaded, read.texts);
    for (int row = 1; row <= 12; ++row) {
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(loaded.cell(column, row), grid.cell(column, row));
    }
    QCOMPARE(EncodeDataFile(loaded), first);
}

void TestDataFile::applyReplacesRows1To12() {
    GridModel grid;
    for (int row = 0; row <= 12; ++row) {
        for (int column = 0; column <= 4; ++column)
            grid.setCell(column, row, u"old"_s);
    }
    const DataFileReadResult read = ParseDataFile(fileWithLine(13, "\t\t\tnew\r\n"));
    ApplyDataFile(grid, read.texts);
    for (int row = 1; row <= 12; ++row) {
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(grid.cell(column, row), row == 12 && column == 4 ? u"new"_s : QString());
        QCOMPARE(grid.cell(0, row), u"old"_s); // the labels stay
    }
    QCOMPARE(grid.cell(1, 0), u"old"_s);
}

void TestDataFile::cannotOpen() {
    QTemporaryDir dir;
    QCOMPARE(ReadDataFile(dir.filePath(u"missing.fld"_s)).status, DataFileStatus::CannotOpen);
    QCOMPARE(ReadDataFile(dir.path()).status, DataFileStatus::CannotOpen);
    QCOMPARE(ReadDataFile(QString()).status, DataFileStatus::CannotOpen);

    const QString locked = dir.filePath(u"locked.fld"_s);
    QVERIFY(writeBytes(locked, emptyFile()));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    QFile probe(locked);
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("running with rights that read any file");
    QCOMPARE(ReadDataFile(locked).status, DataFileStatus::CannotOpen);
}

void TestDataFile::hugeFiles() {
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();

    // A valid file followed by 8 GB of (sparse) zeros: lines after 13 are never read.
    const QString tail = dir.filePath(u"tail.fld"_s);
    QVERIFY(writeBytes(tail, fileWithLine(2, "Deutsch\t\t\t\r\n")));
    QFile grow(tail);
    QVERIFY(grow.resize(qint64(8) << 30));
    QCOMPARE(ReadDataFile(tail).status, DataFileStatus::Ok);

    // A signature followed by an endless line of zeros.
    const QString zeros = dir.filePath(u"zeros.fld"_s);
    QVERIFY(writeBytes(zeros, "Fachlese\r\n"));
    QFile growZeros(zeros);
    QVERIFY(growZeros.resize(qint64(8) << 30));
    QCOMPARE(ReadDataFile(zeros).status, DataFileStatus::BadFormat);

    // One line of 50 MB of letters.
    const QString longLine = dir.filePath(u"long.fld"_s);
    QVERIFY(writeBytes(longLine, "Fachlese\r\n" + QByteArray(50 << 20, 'a') + "\r\n"));
    QCOMPARE(ReadDataFile(longLine).status, DataFileStatus::BadFormat);

    // A device that never ends.
    if (QFile::exists(u"/dev/zero"_s))
        QCOMPARE(ReadDataFile(u"/dev/zero"_s).status, DataFileStatus::BadFormat);
    QVERIFY2(clock.elapsed() < 5000, "reading must stop early");
}

void TestDataFile::saveReplacesExistingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"anna.wahl.fld"_s);
    QVERIFY(writeBytes(path, QByteArray(5000, 'z')));
    GridModel grid;
    grid.setCell(2, 2, u"Englisch"_s);
    QCOMPARE(SaveDataFile(path, grid).status, DataFileWriteStatus::Ok);
    QCOMPARE(readBytes(path), fileWithLine(3, "\tEnglisch\t\t\r\n"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"anna.wahl.fld"_s});
}

void TestDataFile::saveIntoReadOnlyFolder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wahl.fld"_s);
    QVERIFY(writeBytes(path, "earlier"));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(dir.filePath(u"probe"_s));
    const bool refused = !probe.open(QIODevice::WriteOnly);
    if (!refused) {
        probe.remove();
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSKIP("running with rights that write into a read-only folder");
    }
    GridModel grid;
    grid.setCell(1, 1, u"Deutsch"_s);
    QCOMPARE(SaveDataFile(path, grid).status, DataFileWriteStatus::Failed);
    QCOMPARE(SaveDataFile(dir.filePath(u"new.fld"_s), grid).status, DataFileWriteStatus::Failed);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(readBytes(path), QByteArray("earlier"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"wahl.fld"_s});
}

void TestDataFile::saveOverWriteProtectedFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wahl.fld"_s);
    QVERIFY(writeBytes(path, "earlier"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QFile probe(path);
    if (probe.open(QIODevice::WriteOnly | QIODevice::Append))
        QSKIP("running with rights that write any file");
    GridModel grid;
    QCOMPARE(SaveDataFile(path, grid).status, DataFileWriteStatus::Failed);
    QCOMPARE(readBytes(path), QByteArray("earlier"));
}

void TestDataFile::saveIntoFullFileSystem() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wahl.fld"_s);
    const QByteArray earlier = emptyFile();
    QVERIFY(writeBytes(path, earlier));
    GridModel grid;
    for (int column = 1; column <= 4; ++column)
        grid.setCell(column, 1, u"Deutsch"_s);

    // A child process may write files of at most 40 bytes: the 94 bytes do not fit.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{40, 40};
        setrlimit(RLIMIT_FSIZE, &limit);
        const DataFileWriteStatus status = SaveDataFile(path, grid).status;
        _exit(status == DataFileWriteStatus::Failed ? 0 : status == DataFileWriteStatus::Ok ? 1 : 2);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(readBytes(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"wahl.fld"_s});
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
