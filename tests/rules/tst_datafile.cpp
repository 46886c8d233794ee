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
    void parse_data();
    void parse();
    void readingFromDisk();
    void failedSaveKeepsEarlierFile_data();
    void failedSaveKeepsEarlierFile();
};

namespace {
using Cells = QList<std::pair<QPoint, QString>>; // (column, row) -> text

// The file of an empty grid with line `line` (2 ... 13) replaced.
QByteArray fileWithLine(int line = 0, const QByteArray &content = {}) {
    QByteArray bytes = QByteArrayLiteral("Fachlese\r\n");
    for (int l = 2; l <= 13; ++l)
        bytes += l == line ? content : QByteArrayLiteral("\t\t\t\r\n");
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

// Writing the grid: exact bytes, or nothing at all for a text Windows-1252 cannot hold (the
// first one, rows outer and columns inner, is named).
void TestDataFile::encode_data() {
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("offending");

    QTest::newRow("empty grid, labels not written")
        << Cells{{{0, 1}, u"  LK 1"_s}, {{1, 0}, u" 1. Semester"_s}} << fileWithLine() << QString();
    QTest::newRow("spare row 12 is line 13, ö as F6")
        << Cells{{{3, 12}, u"Französisch"_s}} << fileWithLine(13, "\t\tFranz\xF6sisch\t\r\n") << QString();
    QTest::newRow("euro, quotes and the undefined bytes")
        << Cells{{{1, 3}, u"\u20AC\u201E\u0081\u008D\u008F\u0090\u009D"_s}}
        << fileWithLine(4, "\x80\x84\x81\x8D\x8F\x90\x9D\t\t\t\r\n") << QString();
    QTest::newRow("emoji in the spare row")
        << Cells{{{4, 12}, u"Sport \U0001F600"_s}} << QByteArray() << u"Sport \U0001F600"_s;
    QTest::newRow("lone surrogate") << Cells{{{1, 4}, u"Kunst"_s + QChar(0xD83D)}} << QByteArray()
                                    << u"Kunst"_s + QChar(0xD83D);
    QTest::newRow("columns within a row")
        << Cells{{{3, 7}, u"third ł"_s}, {{2, 7}, u"second ł"_s}, {{1, 7}, u"Deutsch"_s}} << QByteArray()
        << u"second ł"_s;
}

void TestDataFile::encode() {
    QFETCH(Cells, cells);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, offending);
    GridModel grid;
    fill(grid, cells);
    QString found;
    QCOMPARE(EncodeDataFile(grid, &found), bytes);
    QCOMPARE(found, offending);
    QTemporaryDir dir; // saved over an earlier file, which stays when nothing can be written
    const QString path = dir.filePath(u"anna.wahl.fld"_s);
    QVERIFY(writeBytes(path, QByteArray(5000, 'z')));
    const DataFileWriteResult result = SaveDataFile(path, grid);
    QCOMPARE(result.status, offending.isEmpty() ? DataFileWriteStatus::Ok : DataFileWriteStatus::Unencodable);
    QCOMPARE(result.offendingText, offending);
    QCOMPARE(readBytes(path), offending.isEmpty() ? bytes : QByteArray(5000, 'z'));
    QCOMPARE(filesIn(dir), QStringList{u"anna.wahl.fld"_s}); // no temporary file left
    QCOMPARE(fileWithLine().size(), 70);
}

// Reading, from bytes and from a file alike; a refused file gives no texts.
void TestDataFile::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<bool>("ok");

    const QByteArray sig = QByteArrayLiteral("Fachlese\r\n");
    QTest::newRow("missing lines, last without line end")
        << sig + "\t\tc\t\r\n\t\t\tMusik" << Cells{{{3, 1}, u"c"_s}, {{4, 2}, u"Musik"_s}} << true;
    QTest::newRow("no TAB: all into column 4")
        << fileWithLine(3, "Deutsch\r\n") << Cells{{{4, 2}, u"Deutsch"_s}} << true;
    QTest::newRow("five TABs: the rest into column 4")
        << fileWithLine(4, "a\tb\tc\td\te\tf\r\n")
        << Cells{{{1, 3}, u"a"_s}, {{2, 3}, u"b"_s}, {{3, 3}, u"c"_s}, {{4, 3}, u"d\te\tf"_s}} << true;
    QTest::newRow("blanks kept, spare row")
        << fileWithLine(13, " Deutsch \t  \t\t Kunst\r\n")
        << Cells{{{1, 12}, u" Deutsch "_s}, {{2, 12}, u"  "_s}, {{4, 12}, u" Kunst"_s}} << true;
    QTest::newRow("Windows-1252, undefined bytes as control characters")
        << fileWithLine(2, "\t\t\tFranz\xF6sisch\x80\x9F\x81\x8D\x8F\x90\x9D\r\n")
        << Cells{{{4, 1}, u"Französisch\u20AC\u0178\u0081\u008D\u008F\u0090\u009D"_s}} << true;
    QTest::newRow("line of exactly 64 KiB") << fileWithLine(2, QByteArray(64 * 1024, 'x') + "\r\n")
                                            << Cells{{{4, 1}, QString(64 * 1024, u'x')}} << true;
    QTest::newRow("signature only: an empty grid") << sig << Cells() << true;
    QTest::newRow("empty file") << QByteArray() << Cells() << false;
    QTest::newRow("other letter case") << QByteArray("FACHLESE\r\n") << Cells() << false;
    QTest::newRow("empty first line") << "\r\n" + fileWithLine().mid(10) << Cells() << false;
    QTest::newRow("trailing blank") << QByteArray("Fachlese \r\n") << Cells() << false;
    QTest::newRow("NUL in the spare row")
        << fileWithLine(13, QByteArray("\t\t\t\0\r\n", 6)) << Cells() << false;
    QTest::newRow("line over 64 KiB")
        << fileWithLine(2, QByteArray(64 * 1024 + 1, 'x') + "\r\n") << Cells() << false;
    QTest::newRow("last line over 64 KiB without end")
        << sig + QByteArray(64 * 1024 + 1, 'x') << Cells() << false;
}

void TestDataFile::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(Cells, cells);
    QFETCH(bool, ok);
    GridSnapshotTexts expected;
    for (const auto &[where, text] : cells)
        expected.at(where.x(), where.y()) = text;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.fld"_s);
    QVERIFY(writeBytes(path, bytes));
    for (const DataFileReadResult &result : {ParseDataFile(bytes), ReadDataFile(path)}) {
        QCOMPARE(result.status, ok ? DataFileStatus::Ok : DataFileStatus::BadFormat);
        if (ok)
            QCOMPARE(result.texts.texts, expected.texts);
    }
}

void TestDataFile::readingFromDisk() {
    QTemporaryDir dir;
    QCOMPARE(ReadDataFile(dir.path()).status, DataFileStatus::CannotOpen);
    QElapsedTimer clock;
    clock.start();

    // A valid file followed by 8 GB of (sparse) zeros: lines after 13 are never read.
    const QString tail = dir.filePath(u"tail.fld"_s);
    QVERIFY(writeBytes(tail, fileWithLine(2, "Deutsch\t\t\t\r\n")));
    QVERIFY(QFile(tail).resize(qint64(8) << 30));
    QCOMPARE(ReadDataFile(tail).status, DataFileStatus::Ok);

    // An endless line of zeros.
    if (QFile::exists(u"/dev/zero"_s))
        QCOMPARE(ReadDataFile(u"/dev/zero"_s).status, DataFileStatus::BadFormat);
    QVERIFY2(clock.elapsed() < 5000, "reading must stop early");
}

void TestDataFile::failedSaveKeepsEarlierFile_data() {
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("sizeLimit"); // bytes a file may have, 0 for no limit

    QTest::newRow("read-only folder") << 0555 << 0644 << 0;
    QTest::newRow("write-protected file") << 0777 << 0444 << 0;
    QTest::newRow("full file system") << 0777 << 0666 << 40;
}

// The save runs in a child process: as an ordinary user when the tests run as root (for whom
// write protection does not hold), and with the file-size limit of a full disk.
void TestDataFile::failedSaveKeepsEarlierFile() {
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    QFETCH(int, sizeLimit);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wahl.fld"_s);
    const QByteArray earlier = fileWithLine(2, "Kunst\t\t\t\r\n");
    QVERIFY(writeBytes(path, earlier));
    GridModel grid;
    grid.setCell(1, 1, u"Deutsch"_s); // the file is longer than the size limit
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
        _exit(SaveDataFile(path, grid).status == DataFileWriteStatus::Failed ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QCOMPARE(readBytes(path), earlier);
    QCOMPARE(filesIn(dir), QStringList{u"wahl.fld"_s});
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
