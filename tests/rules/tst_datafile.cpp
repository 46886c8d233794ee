#include "rules/datafile.h"
#include "rules/grid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
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
    void parse_data();
    void parse();
    void refused_data();
    void refused();
    void roundTripAndApply();
    void readingFromDisk();
    void failedSaveKeepsEarlierFile_data();
    void failedSaveKeepsEarlierFile();
};

namespace {
using Cells = QList<std::pair<QPoint, QString>>; // (column, row) -> text

const QByteArray kEmptyRow = QByteArrayLiteral("\t\t\t\r\n");

// The file of an empty grid with line `line` (2 ... 13) replaced.
QByteArray fileWithLine(int line = 0, const QByteArray &content = {}) {
    QByteArray bytes = QByteArrayLiteral("Fachlese\r\n");
    for (int l = 2; l <= 13; ++l)
        bytes += l == line ? content : kEmptyRow;
    return bytes;
}

void fill(GridModel &grid, const Cells &cells) {
    for (const auto &[where, text] : cells)
        grid.setCell(where.x(), where.y(), text);
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList filesIn(const QTemporaryDir &dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}
} // namespace

void TestDataFile::encode_data() {
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty grid, labels not written")
        << Cells{{{0, 1}, u"  LK 1"_s}, {{1, 0}, u" 1. Semester"_s}} << fileWithLine();
    QTest::newRow("Deutsch through LK 1") << Cells{{{1, 1}, u"Deutsch"_s},
                                                   {{2, 1}, u"Deutsch"_s},
                                                   {{3, 1}, u"Deutsch"_s},
                                                   {{4, 1}, u"Deutsch"_s}}
                                          << fileWithLine(2, "Deutsch\tDeutsch\tDeutsch\tDeutsch\r\n");
    QTest::newRow("Französisch as F6, blanks kept")
        << Cells{{{1, 5}, u"Französisch"_s}, {{4, 5}, u" Physik  "_s}}
        << fileWithLine(6, "Franz\xF6sisch\t\t\t Physik  \r\n");
    QTest::newRow("spare row 12 is line 13") << Cells{{{3, 12}, u"x"_s}} << fileWithLine(13, "\t\tx\t\r\n");
    QTest::newRow("euro, quotes and the undefined bytes")
        << Cells{{{1, 3}, u"\u20AC\u201E\u0081\u008D\u008F\u0090\u009D"_s}}
        << fileWithLine(4, "\x80\x84\x81\x8D\x8F\x90\x9D\t\t\t\r\n");
}

void TestDataFile::encode() {
    QFETCH(Cells, cells);
    QFETCH(QByteArray, bytes);
    GridModel grid;
    fill(grid, cells);
    QString offending = u"unchanged"_s;
    QCOMPARE(EncodeDataFile(grid, &offending), bytes);
    QCOMPARE(offending, u"unchanged"_s);
    QCOMPARE(fileWithLine().size(), 70);
}

void TestDataFile::unencodable_data() {
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QString>("offending");

    QTest::newRow("Polish l") << Cells{{{2, 6}, u"Pło"_s}} << u"Pło"_s;
    QTest::newRow("s with comma") << Cells{{{1, 1}, u"Istoria ș"_s}} << u"Istoria ș"_s;
    QTest::newRow("emoji in the spare row")
        << Cells{{{4, 12}, u"Sport \U0001F600"_s}} << u"Sport \U0001F600"_s;
    QTest::newRow("lone surrogate") << Cells{{{1, 4}, u"Kunst"_s + QChar(0xD83D)}}
                                    << u"Kunst"_s + QChar(0xD83D);
    QTest::newRow("rows before columns")
        << Cells{{{1, 3}, u"column order ł"_s}, {{4, 2}, u"row order ł"_s}} << u"row order ł"_s;
    QTest::newRow("columns within a row")
        << Cells{{{3, 7}, u"third ł"_s}, {{2, 7}, u"second ł"_s}, {{1, 7}, u"Deutsch"_s}} << u"second ł"_s;
}

void TestDataFile::unencodable() {
    QFETCH(Cells, cells);
    QFETCH(QString, offending);
    GridModel grid;
    fill(grid, cells);

    // Nothing is written: an earlier file stays, a new name is not created.
    QTemporaryDir dir;
    const QString earlier = dir.filePath(u"earlier.fld"_s);
    QVERIFY(writeBytes(earlier, "earlier bytes"));
    const DataFileWriteResult result = SaveDataFile(earlier, grid);
    QCOMPARE(result.status, DataFileWriteStatus::Unencodable);
    QCOMPARE(result.offendingText, offending);
    QCOMPARE(readBytes(earlier), QByteArray("earlier bytes"));
    QCOMPARE(SaveDataFile(dir.filePath(u"new.fld"_s), grid).status, DataFileWriteStatus::Unencodable);
    QCOMPARE(filesIn(dir), QStringList{u"earlier.fld"_s});

    QCOMPARE(
        UnencodableMessage(u"Pło"_s),
        u"Der Eintrag  Pło  enthält Zeichen, die in einer Fachlese-Datei nicht gespeichert werden können."
        u"\rBitte ändere den Eintrag und speichere dann erneut."_s);
}

void TestDataFile::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Cells>("cells");

    const QByteArray sig = QByteArrayLiteral("Fachlese\r\n");
    QTest::newRow("signature line only") << sig << Cells();
    QTest::newRow("missing lines, last without line end")
        << sig + "a\tb\tc\td\r\n\t\t\tMusik"
        << Cells{
               {{1, 1}, u"a"_s}, {{2, 1}, u"b"_s}, {{3, 1}, u"c"_s}, {{4, 1}, u"d"_s}, {{4, 2}, u"Musik"_s}};
    QTest::newRow("no TAB: all into column 4")
        << fileWithLine(3, "Deutsch\r\n") << Cells{{{4, 2}, u"Deutsch"_s}};
    QTest::newRow("five TABs: the rest into column 4")
        << fileWithLine(4, "a\tb\tc\td\te\tf\r\n")
        << Cells{{{1, 3}, u"a"_s}, {{2, 3}, u"b"_s}, {{3, 3}, u"c"_s}, {{4, 3}, u"d\te\tf"_s}};
    QTest::newRow("blanks kept, spare row")
        << fileWithLine(13, " Deutsch \t  \t\t Kunst\r\n")
        << Cells{{{1, 12}, u" Deutsch "_s}, {{2, 12}, u"  "_s}, {{4, 12}, u" Kunst"_s}};
    QTest::newRow("Windows-1252, undefined bytes as control characters")
        << fileWithLine(2, "Franz\xF6sisch\t\x80\x9F\t\x81\x8D\x8F\t\x90\x9D"
                           "a\r\n")
        << Cells{{{1, 1}, u"Französisch"_s},
                 {{2, 1}, u"\u20AC\u0178"_s},
                 {{3, 1}, u"\u0081\u008D\u008F"_s},
                 {{4, 1}, u"\u0090\u009Da"_s}};
    QTest::newRow("LF line ends") << QByteArray("Fachlese\n\t\tKunst\t\n") << Cells{{{3, 1}, u"Kunst"_s}};
    QTest::newRow("lines after 13 never read")
        << fileWithLine() + "junk\0\xFF" + QByteArray(70000, 'x') << Cells();
    QTest::newRow("line of exactly 64 KiB")
        << fileWithLine(2, QByteArray(64 * 1024, 'x') + "\r\n") << Cells{{{4, 1}, QString(64 * 1024, u'x')}};
}

void TestDataFile::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(Cells, cells);
    GridSnapshotTexts expected;
    for (const auto &[where, text] : cells)
        expected.at(where.x(), where.y()) = text;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.fld"_s);
    QVERIFY(writeBytes(path, bytes));
    for (const DataFileReadResult &result : {ParseDataFile(bytes), ReadDataFile(path)}) {
        QCOMPARE(result.status, DataFileStatus::Ok);
        QCOMPARE(result.texts.texts, expected.texts);
    }
}

void TestDataFile::refused_data() {
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("empty first line") << "\r\n" + kEmptyRow.repeated(12);
    QTest::newRow("small letters") << QByteArray("fachlese\r\n");
    QTest::newRow("trailing blank") << QByteArray("Fachlese \r\n");
    QTest::newRow("NUL in the spare row") << fileWithLine(13, QByteArray("\t\t\t\0\r\n", 6));
    QTest::newRow("line over 64 KiB") << fileWithLine(2, QByteArray(64 * 1024 + 1, 'x') + "\r\n");
    QTest::newRow("last line over 64 KiB without end") << "Fachlese\r\n" + QByteArray(64 * 1024 + 1, 'x');
    QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
}

void TestDataFile::refused() {
    QFETCH(QByteArray, bytes);
    QCOMPARE(ParseDataFile(bytes).status, DataFileStatus::BadFormat);
}

// Saved over an older file, read back and stored into a grid that held other texts: every
// cell, the spare row and odd TABs come back, and the labels stay.
void TestDataFile::roundTripAndApply() {
    GridModel grid;
    for (int code = 1; code <= 21; ++code)
        grid.setCell((code - 1) % 4 + 1, (code - 1) / 4 + 1, SubjectCatalog[code]);
    fill(grid, {{{1, 12}, u" spare "_s},
                {{4, 9}, u"a\tb\t\tc"_s},
                {{4, 10}, u"\t"_s},
                {{2, 11}, u"\u20AC\u0081\u009D\u00FF\u00A0\u0001"_s}});
    QTemporaryDir dir;
    const QString path = dir.filePath(u"anna.wahl.fld"_s);
    QVERIFY(writeBytes(path, QByteArray(5000, 'z'))); // replaced without a trace
    QCOMPARE(SaveDataFile(path, grid).status, DataFileWriteStatus::Ok);
    QCOMPARE(readBytes(path), EncodeDataFile(grid));
    QCOMPARE(filesIn(dir), QStringList{u"anna.wahl.fld"_s});

    const DataFileReadResult read = ReadDataFile(path);
    QCOMPARE(read.status, DataFileStatus::Ok);
    GridModel loaded;
    for (int row = 0; row <= 12; ++row) {
        for (int column = 0; column <= 4; ++column)
            loaded.setCell(column, row, u"old"_s);
    }
    ApplyDataFile(loaded, read.texts);
    for (int row = 0; row <= 12; ++row) {
        for (int column = 0; column <= 4; ++column) {
            const bool label = row == 0 || column == 0;
            QCOMPARE(loaded.cell(column, row), label ? u"old"_s : grid.cell(column, row));
        }
    }
}

void TestDataFile::readingFromDisk() {
    QTemporaryDir dir;
    QCOMPARE(ReadDataFile(dir.filePath(u"missing.fld"_s)).status, DataFileStatus::CannotOpen);
    QCOMPARE(ReadDataFile(dir.path()).status, DataFileStatus::CannotOpen);
    QElapsedTimer clock;
    clock.start();

    // A valid file followed by 8 GB of (sparse) zeros: lines after 13 are never read.
    const QString tail = dir.filePath(u"tail.fld"_s);
    QVERIFY(writeBytes(tail, fileWithLine(2, "Deutsch\t\t\t\r\n")));
    QVERIFY(QFile(tail).resize(qint64(8) << 30));
    QCOMPARE(ReadDataFile(tail).status, DataFileStatus::Ok);

    // An endless line of zeros, and a line of 4 MB of letters.
    const QString longLine = dir.filePath(u"long.fld"_s);
    QVERIFY(writeBytes(longLine, "Fachlese\r\n" + QByteArray(4 << 20, 'a') + "\r\n"));
    QCOMPARE(ReadDataFile(longLine).status, DataFileStatus::BadFormat);
    if (QFile::exists(u"/dev/zero"_s))
        QCOMPARE(ReadDataFile(u"/dev/zero"_s).status, DataFileStatus::BadFormat);
    QVERIFY2(clock.elapsed() < 5000, "reading must stop early");
}

void TestDataFile::failedSaveKeepsEarlierFile_data() {
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("sizeLimit"); // bytes a file may have, 0 for no limit
    QTest::addColumn<bool>("newFileWritten");

    QTest::newRow("read-only folder") << 0555 << 0644 << 0 << false;
    QTest::newRow("write-protected file") << 0777 << 0444 << 0 << true;
    QTest::newRow("full file system") << 0777 << 0666 << 40 << false;
}

// The save runs in a child process: as an ordinary user when the tests run as root (for whom
// write protection does not hold), and with the file-size limit of a full disk.
void TestDataFile::failedSaveKeepsEarlierFile() {
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    QFETCH(int, sizeLimit);
    QFETCH(bool, newFileWritten);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wahl.fld"_s);
    const QByteArray earlier = fileWithLine(2, "Kunst\t\t\t\r\n");
    QVERIFY(writeBytes(path, earlier));
    GridModel grid;
    for (int column = 1; column <= 4; ++column)
        grid.setCell(column, 1, u"Deutsch"_s); // 94 bytes
    QVERIFY(chmod(QFile::encodeName(path).constData(), mode_t(fileMode)) == 0);
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)) == 0);

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(3);
        if (sizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        const DataFileWriteStatus fresh =
            newFileWritten ? DataFileWriteStatus::Ok : DataFileWriteStatus::Failed;
        _exit(SaveDataFile(path, grid).status != DataFileWriteStatus::Failed   ? 1
              : SaveDataFile(dir.filePath(u"new.fld"_s), grid).status != fresh ? 2
                                                                               : 0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(readBytes(path), earlier);
    QFile::remove(dir.filePath(u"new.fld"_s));
    QCOMPARE(filesIn(dir), QStringList{u"wahl.fld"_s});
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
