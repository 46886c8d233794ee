#include "rules/datafile.h"
#include "rules/grid.h"
#include "support/files.h"
#include "support/messages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPoint>
#include <QTemporaryDir>

#include <QStringDecoder>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PupilIdentity)

namespace {
using Cells = QList<std::pair<QPoint, QString>>; // (column, row) -> text

// The file of an empty grid with line `line` (2 ... 13) replaced.
QByteArray fileWithLine(int line = 0, const QByteArray &content = {}) {
    QByteArray bytes = QByteArrayLiteral("Fachlese\r\n");
    for (int l = 2; l <= 13; ++l)
        bytes += l == line ? content : QByteArrayLiteral("\t\t\t\r\n");
    return bytes;
}

QStringList entriesIn(const QTemporaryDir &dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Runs `work` in a child process, as the nobody user and group when `asNobody` is set (the tests
// run as root, for whom write protection and ownership do not hold), and tells whether the child
// ended with `work` returning true.
template <typename Work> bool inChild(bool asNobody, Work work) {
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (asNobody && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The rows of an identity table: the lines after line 13 as bytes, then the four fields.
void addIdentityRows(const QString &table) {
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<PupilIdentity>("identity");
    for (const QList<QByteArray> &r : tables::rows(table))
        QTest::newRow(r.value(0).constData())
            << tables::bytes(r.value(1))
            << PupilIdentity{tables::text(r.value(2)), tables::text(r.value(3)), tables::text(r.value(4)),
                             tables::text(r.value(5))};
}

struct stat statOf(const QString &path, bool followLink = true) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if ((followLink ? stat(name.constData(), &info) : lstat(name.constData(), &info)) != 0)
        info.st_mode = 0;
    return info;
}

} // namespace

// The bytes of the course-selection data file with the pupil's lines after line 13, reading it
// back, and saving that never destroys the file that was there.
class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    // The cases of data/datafile.tsv, and lines around the reader's limit of 64 KiB.
    void file_data() {
        QTest::addColumn<char>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Cells>("cells");
        static const QRegularExpression fileWith(u"^(\\d+):(.*)$"_s,
                                                 QRegularExpression::DotMatchesEverythingOption);
        for (const QList<QByteArray> &row : tables::rows(u"rules/data/datafile.tsv"_s)) {
            const char kind = row.value(1).at(0);
            QByteArray bytes = tables::bytes(row.value(2));
            if (const auto m = fileWith.match(QString::fromLatin1(bytes)); m.hasMatch() && kind != 'u')
                bytes = fileWithLine(m.captured(1).toInt(), m.captured(2).toLatin1());
            Cells cells;
            for (const QString &cell : tables::text(row.value(3)).split(u'|', Qt::SkipEmptyParts)) {
                const QString where = cell.section(u'=', 0, 0);
                cells.append({QPoint(where.section(u',', 0, 0).toInt(), where.section(u',', 1).toInt()),
                              cell.section(u'=', 1)});
            }
            QTest::newRow(row.value(0).constData()) << kind << bytes << cells;
        }
        const QByteArray over64k = QByteArray(64 * 1024 + 1, 'x');
        QTest::newRow("line of exactly 64 KiB") << '<' << fileWithLine(2, over64k.chopped(1) + "\r\n")
                                                << Cells{{{4, 1}, QString(64 * 1024, u'x')}};
        QTest::newRow("line over 64 KiB") << '!' << fileWithLine(2, over64k + "\r\n") << Cells{};
        QTest::newRow("last line over 64 KiB without end") << '!' << "Fachlese\r\n" + over64k << Cells{};
    }

    // Written over an earlier file, which stays when nothing can be written; read from bytes and
    // from a file alike.
    void file() {
        QFETCH(char, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(Cells, cells);
        GridModel grid;
        GridSnapshotTexts expected;
        for (const auto &[where, text] : cells) {
            grid.setCell(where.x(), where.y(), text);
            if (where.x() > 0 && where.y() > 0)
                expected.at(where.x(), where.y()) = text;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(u"anna.wahl.fld"_s);
        if (kind == '=' || kind == 'u') {
            const QString offending = kind == 'u' ? cells.at(bytes.toInt()).second : QString();
            DataFileWriteResult found;
            found.offendingText = u"stale"_s;
            QCOMPARE(EncodeDataFile(grid, &found), kind == 'u' ? QByteArray() : bytes);
            QCOMPARE(found.status, kind == 'u' ? DataFileWriteStatus::Unencodable : DataFileWriteStatus::Ok);
            QCOMPARE(found.offendingText, offending);
            QVERIFY(writeFile(path, QByteArray(5000, 'z')));
            const DataFileWriteResult result = SaveDataFile(path, grid);
            QCOMPARE(result.status, kind == 'u' ? DataFileWriteStatus::Unencodable : DataFileWriteStatus::Ok);
            QCOMPARE(result.offendingText, offending);
            QCOMPARE(fileBytes(path), kind == 'u' ? QByteArray(5000, 'z') : bytes);
            QCOMPARE(entriesIn(dir), QStringList{u"anna.wahl.fld"_s}); // no temporary file left
        }
        if (kind == 'u')
            return;
        QVERIFY(writeFile(path, bytes));
        for (const DataFileReadResult &result : {ParseDataFile(bytes), ReadDataFile(path)}) {
            QCOMPARE(result.status, kind == '!' ? DataFileStatus::BadFormat : DataFileStatus::Ok);
            if (kind != '!')
                QCOMPARE(result.texts.texts, expected.texts);
        }
    }

    // A folder cannot be opened; reading stops after line 13 and at an endless line.
    void readingFromDisk() {
        QTemporaryDir dir;
        QCOMPARE(ReadDataFile(dir.path()).status, DataFileStatus::CannotOpen);
        QElapsedTimer clock;
        clock.start();
        const QString tail = dir.filePath(u"tail.fld"_s); // followed by 8 GB of (sparse) zeros
        QVERIFY(writeFile(tail, fileWithLine(2, "Deutsch\t\t\t\r\n")));
        QVERIFY(QFile(tail).resize(qint64(8) << 30));
        QCOMPARE(ReadDataFile(tail).status, DataFileStatus::Ok);
        QVERIFY2(clock.elapsed() < 5000, "reading must stop early");
    }

    // Only regular files are read, never waiting for a FIFO's writer; names by their bytes.
    void onlyRegularFiles() {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray fifo = folder + "/pipe.fld", good = folder + "/M\xFCller.fld";
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        QVERIFY(writeFile(QFile::decodeName(folder + "/gut.fld"), fileWithLine(2, "Deutsch\r\n")));
        QVERIFY(::rename((folder + "/gut.fld").constData(), good.constData()) == 0);
        QVERIFY(::symlink(fifo.constData(), (folder + "/link.fld").constData()) == 0);
        QVERIFY(::symlink(good.constData(), (folder + "/zeiger.fld").constData()) == 0);
        // A read that blocks is set free by a writer, so that the test fails instead of hanging.
        const auto statusOf = [&fifo](const QByteArray &path) {
            auto reading = std::async(std::launch::async, [path] { return ReadDataFileAt(path).status; });
            if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
                const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
                reading.wait();
                ::close(writer);
                return DataFileStatus::Ok; // never expected for a FIFO
            }
            return reading.get();
        };
        QCOMPARE(statusOf(fifo), DataFileStatus::CannotOpen);
        QCOMPARE(statusOf(folder + "/link.fld"), DataFileStatus::CannotOpen); // a link to a FIFO
        QCOMPARE(ReadDataFile(QFile::decodeName(fifo)).status, DataFileStatus::CannotOpen);
        QCOMPARE(ReadDataFile(u"/dev/zero"_s).status, DataFileStatus::CannotOpen);
        QCOMPARE(ReadDataFile(u"/dev/null"_s).status, DataFileStatus::CannotOpen);
        QCOMPARE(ReadDataFile(QString()).status, DataFileStatus::CannotOpen);
        const DataFileReadResult read = ReadDataFileAt(good); // Latin-1 ü, no valid UTF-8
        QCOMPARE(read.status, DataFileStatus::Ok);
        QCOMPARE(read.texts.at(4, 1), u"Deutsch"_s);
        QCOMPARE(ReadDataFileAt(folder + "/zeiger.fld").status, DataFileStatus::Ok);
        // A file whose size the system does not know is read to its end.
        QCOMPARE(ReadDataFile(u"/proc/self/status"_s).status, DataFileStatus::BadFormat);
    }

    // The reader's own Windows-1252 table agrees with Qt's converter on every defined byte.
    void everyByte() {
        QByteArray line("Fachlese\r\n\t\t\t");
        QString expected;
        for (int byte = 1; byte < 256; ++byte) {
            if (byte == '\t' || byte == '\n' || byte == '\r')
                continue;
            line.append(char(byte));
            const bool undefined =
                byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
            expected += undefined ? QString(QChar(byte))
                                  : QStringDecoder("windows-1252").decode(QByteArray(1, char(byte)));
        }
        const DataFileReadResult read = ParseDataFile(line);
        QCOMPARE(read.status, DataFileStatus::Ok);
        QCOMPARE(read.texts.at(4, 1), expected);
    }

    // A row's line (four texts and three TABs) may be as long as the reader takes and no longer;
    // the longest text of the first row that is too long is named, and nothing is written.
    void lineLength_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<int>("offending"); // the column named, 0 when the file is written
        const int most = int(kMaxLineBytes) - 3;
        QTest::newRow("longest line, four texts")
            << 1 << QList<int>{16384, 16384, 16384, most - 3 * 16384} << 0;
        QTest::newRow("one more, the first of equals named")
            << 1 << QList<int>{16384, 16384, 16384, most - 3 * 16384 + 1} << 1;
        QTest::newRow("longest line, one text") << 7 << QList<int>{most} << 0;
        QTest::newRow("one more, the longest named") << 7 << QList<int>{10, most - 20, 11} << 2;
        QTest::newRow("spare row, column 4") << 12 << QList<int>{0, 0, 0, most + 1} << 4;
    }

    void lineLength() {
        QFETCH(int, row);
        QFETCH(QList<int>, lengths);
        QFETCH(int, offending);
        GridModel grid;
        for (int column = 1; column <= lengths.size(); ++column) // each column its own letter
            grid.setCell(column, row, QString(lengths.at(column - 1), QChar(u'a' + column - 1)));
        grid.setCell(2, 13 - row, u"Ä"_s + QChar(0x81)); // another row, before or after
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lang.fld"_s);
        QVERIFY(writeFile(path, "earlier"));
        const DataFileWriteResult result = SaveDataFile(path, grid);
        if (offending == 0) {
            QCOMPARE(result.status, DataFileWriteStatus::Ok);
            const DataFileReadResult read = ReadDataFile(path);
            QCOMPARE(read.status, DataFileStatus::Ok);
            for (int column = 1; column <= 4; ++column)
                QCOMPARE(read.texts.at(column, row), grid.cell(column, row));
            QCOMPARE(read.texts.at(2, 13 - row), grid.cell(2, 13 - row));
            return;
        }
        QCOMPARE(result.status, DataFileWriteStatus::TooLong);
        QCOMPARE(result.offendingText, grid.cell(offending, row));
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
        QCOMPARE(EncodeDataFile(grid), QByteArray());
    }

    // The message shows a long entry by its beginning (data/too-long.tsv).
    void tooLongMessage_data() { tables::addTextRows(u"rules/data/too-long.tsv"_s, {"text", "shown"}); }

    void tooLongMessage() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(TooLongMessage(text), messages::text(u"zu-lang"_s, {shown}));
    }

    // Only a regular file is replaced: anything else at the target's name stays what it was,
    // and the save fails. A symbolic link to a regular file stays a link; its target is written.
    void targetKind_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("throughLink");
        for (const bool link : {false, true}) {
            for (const char *kind : {"fifo", "folder", "device", "file"}) {
                const QByteArray name = QByteArray(kind) + (link ? " behind a link" : "");
                QTest::newRow(name.constData()) << QString::fromLatin1(kind) << link;
            }
        }
    }

    void targetKind() {
        QFETCH(QString, kind);
        QFETCH(bool, throughLink);
        QTemporaryDir dir;
        const QString node = dir.filePath(u"node"_s);
        const QByteArray nodeName = QFile::encodeName(node);
        if (kind == u"fifo"_s)
            QVERIFY(mkfifo(nodeName.constData(), 0666) == 0);
        else if (kind == u"folder"_s)
            QVERIFY(QDir().mkdir(node));
        else if (kind == u"file"_s)
            QVERIFY(writeFile(node, "earlier"));
        else if (mknod(nodeName.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) // like /dev/null
            QSKIP("this process may not create a device node");
        const QString path = throughLink ? dir.filePath(u"link.fld"_s) : node;
        if (throughLink)
            QVERIFY(QFile::link(node, path));
        const struct stat before = statOf(path, false), nodeBefore = statOf(node, false);
        const QStringList entries = entriesIn(dir);
        GridModel grid;
        grid.setCell(1, 1, u"Deutsch"_s);
        const DataFileWriteStatus status = SaveDataFile(path, grid).status;
        const struct stat after = statOf(path, false);
        QCOMPARE(after.st_mode, before.st_mode);
        if (kind != u"file"_s || throughLink)
            QCOMPARE(after.st_ino, before.st_ino); // a link stays the same link
        QCOMPARE(entriesIn(dir), entries);
        if (kind == u"file"_s) {
            QCOMPARE(status, DataFileWriteStatus::Ok);
            QCOMPARE(fileBytes(node), EncodeDataFile(grid));
        } else {
            QCOMPARE(status, DataFileWriteStatus::Failed);
            QCOMPARE(statOf(node, false).st_mode, nodeBefore.st_mode);
            QCOMPARE(statOf(node, false).st_ino, nodeBefore.st_ino);
        }
    }

    // A save that cannot write keeps the earlier file (read-only folder, write-protected file, a
    // full disk as a file-size limit); a replacement keeps the earlier file's mode, and its owner
    // and group where the writer may hand them on: root may, another user keeps the group only
    // where it belongs to it. The save runs in a child process, as the nobody user where a row
    // says so (for root, write protection does not hold).
    void save_data() {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("owner"); // user and group of the earlier file
        QTest::addColumn<bool>("byNobody");
        QTest::addColumn<int>("sizeLimit"); // bytes a file may have, 0 for no limit
        QTest::addColumn<int>("modeAfter"); // -1: the save fails
        QTest::addColumn<int>("ownerAfter");
        QTest::newRow("read-only folder") << 0555 << 0644 << 0 << true << 0 << -1 << 0;
        QTest::newRow("write-protected file") << 0777 << 0444 << 0 << true << 0 << -1 << 0;
        QTest::newRow("full file system") << 0777 << 0666 << 0 << true << 40 << -1 << 0;
        QTest::newRow("write for the owner only, by root") << 0777 << 0200 << 0 << false << 0 << 0200 << 0;
        QTest::newRow("private") << 0777 << 0600 << 0 << false << 0 << 0600 << 0;
        QTest::newRow("another user's, by root") << 0777 << 0640 << 65534 << false << 0 << 0640 << 65534;
        QTest::newRow("set-group bit, by root") << 0777 << 02664 << 65534 << false << 0 << 02664 << 65534;
        QTest::newRow("root's, by another user") << 0777 << 0666 << 0 << true << 0 << 0666 << 65534;
        QTest::newRow("set-user bit goes with the owner") << 0777 << 04666 << 0 << true << 0 << 0666 << 65534;
    }

    void save() {
        QFETCH(int, folderMode);
        QFETCH(int, mode);
        QFETCH(int, owner);
        QFETCH(bool, byNobody);
        QFETCH(int, sizeLimit);
        QFETCH(int, modeAfter);
        const bool root = geteuid() == 0;
        if (!root && modeAfter >= 0)
            QSKIP("handing a file to another user needs root");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"wahl.fld"_s);
        const QByteArray name = QFile::encodeName(path), earlier = fileWithLine(2, "Kunst\t\t\t\r\n");
        QVERIFY(writeFile(path, earlier));
        QVERIFY((!root || chown(name.constData(), uid_t(owner), gid_t(owner)) == 0) &&
                chmod(name.constData(), mode_t(mode)) == 0 &&
                chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)) == 0);
        const struct stat before = statOf(path);
        GridModel grid;
        grid.setCell(1, 1, u"Deutsch"_s); // the file is longer than the size limit
        const DataFileWriteStatus expected =
            modeAfter < 0 ? DataFileWriteStatus::Failed : DataFileWriteStatus::Ok;
        const bool saved = inChild(byNobody && root, [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            return (sizeLimit == 0 || setrlimit(RLIMIT_FSIZE, &limit) == 0) &&
                   SaveDataFile(path, grid).status == expected;
        });
        chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QVERIFY(saved);
        QCOMPARE(entriesIn(dir), QStringList{u"wahl.fld"_s});
        QCOMPARE(fileBytes(path), modeAfter < 0 ? earlier : EncodeDataFile(grid));
        if (modeAfter < 0)
            return;
        const struct stat after = statOf(path);
        QVERIFY(after.st_ino != before.st_ino); // replaced, not written in place
        QCOMPARE(int(after.st_mode & 07777), modeAfter);
        QTEST(int(after.st_uid), "ownerAfter");
        QTEST(int(after.st_gid), "ownerAfter");
    }

    // The pupil's lines as written after the 13 lines of the grid (data/identity-write.tsv), and
    // read back whole.
    void identityWritten_data() { addIdentityRows(u"rules/data/identity-write.tsv"_s); }

    void identityWritten() {
        QFETCH(QByteArray, tail);
        QFETCH(PupilIdentity, identity);
        GridModel grid;
        grid.setCell(1, 1, u"Französisch"_s);
        grid.setCell(4, 12, u"Notiz"_s);
        const QByteArray plain = EncodeDataFile(grid);
        DataFileWriteResult problem;
        const QByteArray bytes = EncodeDataFile(grid, identity, &problem);
        QCOMPARE(problem.status, DataFileWriteStatus::Ok);
        QCOMPARE(bytes, plain + tail);
        const DataFileReadResult read = ParseDataFile(bytes);
        QCOMPARE(read.status, DataFileStatus::Ok);
        QCOMPARE(read.identity, identity);
        QCOMPARE(read.texts.texts, ParseDataFile(plain).texts.texts);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"wahl.fld"_s);
        QCOMPARE(SaveDataFile(path, grid, identity).status, DataFileWriteStatus::Ok);
        QCOMPARE(ReadDataFile(path).identity, identity);
    }

    // A name is refused where a cell would be, with the same messages; nothing is written.
    void identityRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<DataFileWriteStatus>("status");
        for (const QList<QByteArray> &r : tables::rows(u"rules/data/identity-refused.tsv"_s))
            QTest::newRow(r.value(0).constData())
                << tables::text(r.value(1))
                << (r.value(2) == "Ok" ? DataFileWriteStatus::Ok : DataFileWriteStatus::Unencodable);
        const qsizetype room = kMaxLineBytes - 8; // after "Vorname="
        QTest::newRow("longest line") << QString(room, u'a') << DataFileWriteStatus::Ok;
        QTest::newRow("a byte too long") << QString(room + 1, u'a') << DataFileWriteStatus::TooLong;
        QTest::newRow("two-byte letters, a byte too long")
            << QString(room / 2, u'ş') + u'a' << DataFileWriteStatus::TooLong;
    }

    void identityRefused() {
        QFETCH(QString, name);
        QFETCH(DataFileWriteStatus, status);
        DataFileWriteResult problem;
        const QByteArray bytes = EncodeDataFile(GridModel(), {u"Muster"_s, name, {}, {}}, &problem);
        QCOMPARE(problem.status, status);
        QCOMPARE(bytes.isEmpty(), status != DataFileWriteStatus::Ok);
        QCOMPARE(problem.offendingText, status == DataFileWriteStatus::Ok ? QString() : name);
        QCOMPARE(ParseDataFile(bytes).identity.firstName,
                 status == DataFileWriteStatus::Ok ? name : QString());
    }

    // What follows line 13 is read as far as it is well formed and never refuses the grid
    // (data/identity-read.tsv); a file that ends before line 13 has no identity.
    void identityRead_data() {
        addIdentityRows(u"rules/data/identity-read.tsv"_s);
        QTest::newRow("stops at an endless line")
            << "Klasse=9\r\n" + QByteArray(kMaxLineBytes + 1, 'x') + "\r\nNachname=Kaya\r\n"
            << PupilIdentity{{}, {}, u"9"_s, {}};
        QTest::newRow("last line read")
            << QByteArray("x\r\n").repeated(kMaxIdentityLines - 1) + "Nachname=Kaya\r\nVorname=Ali\r\n"
            << PupilIdentity{u"Kaya"_s, {}, {}, {}};
        QTest::newRow("before line 13") << QByteArray() << PupilIdentity();
    }

    void identityRead() {
        QFETCH(QByteArray, tail);
        const QByteArray grid = fileWithLine(2, "Deutsch\t\t\t\r\n");
        const DataFileReadResult read =
            ParseDataFile(tail.isEmpty() ? grid.first(22) + "Nachname=Kaya\r\n" : grid + tail);
        QCOMPARE(read.status, DataFileStatus::Ok);
        QCOMPARE(read.texts.at(1, 1), u"Deutsch"_s);
        QTEST(read.identity, "identity");
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
