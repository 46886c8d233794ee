#include "rules/datafile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kSignature = QByteArrayLiteral("Fachlese");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
constexpr char kTab = '\t';

// Windows-1252 leaves these bytes undefined; Windows reads them as the control characters
// of the same number, and so does this program, whatever the converter makes of them.
bool isUndefinedByte(uchar byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// Windows-1252 as a table: bytes 80 ... 9F where they differ from Latin-1; the five bytes the
// code page leaves undefined read as the control characters of the same number.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one line. Every byte has a character, so decoding cannot fail; one table serves all
// lines and files instead of a converter per line.
QString decodeLine(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *target = reinterpret_cast<char16_t *>(text.data());
    for (const char c : bytes) {
        const auto byte = static_cast<uchar>(c);
        *target++ = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

// Appends one cell text in Windows-1252, with the file's one encoder. False when a character
// has no byte there, or would not read back as it was written: a NUL (the reader refuses it), a
// line feed (it would end the line) or, before column 4, a TAB (it would end the field).
bool encodeText(QStringEncoder &encoder, const QString &text, bool lastColumn, QByteArray *bytes) {
    qsizetype start = 0; // the first character not yet appended
    const auto appendUpTo = [&](qsizetype end) {
        if (end == start)
            return true;
        const QStringView part = QStringView(text).sliced(start, end - start);
        encoder.resetState();
        const QByteArray encoded = encoder(part);
        if (encoder.hasError() || encoded.size() != part.size())
            return false;
        bytes->append(encoded);
        start = end;
        return true;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isSurrogate(u))
            return false; // nothing outside the Basic Multilingual Plane has a byte
        if (u == u'\0' || u == u'\n' || (u == u'\t' && !lastColumn))
            return false;
        if (u < 0x100 && isUndefinedByte(static_cast<uchar>(u))) {
            if (!appendUpTo(i))
                return false;
            bytes->append(static_cast<char>(u));
            start = i + 1;
        }
    }
    return appendUpTo(text.size());
}

// The most a file can hold of what is read: 13 lines and the identity's lines, each of
// kMaxLineBytes with CR LF, and one byte more to tell whether the last of them ends there.
// Nothing after it is ever looked at.
constexpr qsizetype kMaxReadBytes = (13 + kMaxIdentityLines) * (kMaxLineBytes + 2) + 1;

// The keys of the identity's lines, in the order they are written.
constexpr std::array<QLatin1StringView, 4> kIdentityKeys = {
    QLatin1StringView("Nachname="), QLatin1StringView("Vorname="), QLatin1StringView("Klasse="),
    QLatin1StringView("Geburtsdatum=")};

std::array<QString *, 4> identityFields(PupilIdentity &identity) {
    return {&identity.surname, &identity.firstName, &identity.className, &identity.birthDate};
}

// A name that reads back as it was written: one line, no field separator, no NUL, and whole
// characters only.
bool storableName(const QString &name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name.at(i).unicode();
        if (u == u'\0' || u == u'\n' || u == u'\r' || u == u'\t')
            return false;
        if (QChar::isHighSurrogate(u) && i + 1 < name.size() && QChar::isLowSurrogate(name.at(i + 1).unicode()))
            ++i;
        else if (QChar::isSurrogate(u))
            return false;
    }
    return true;
}

enum class LineStatus { Ok, End, Bad };

// Reads lines from the bytes of a file (at most kMaxReadBytes of it).
class LineReader {
public:
    explicit LineReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // The next line without its line end (LF, or CR LF). At the end of the bytes the line is
    // empty and the result End. A line longer than kMaxLineBytes or a NUL byte give Bad; a
    // last line without LF keeps a CR at its end.
    LineStatus next(QByteArrayView *line) {
        *line = QByteArrayView();
        const qsizetype rest = m_bytes.size() - m_pos;
        if (rest == 0)
            return LineStatus::End;
        // A line end is looked for in no more than kMaxLineBytes + 2 bytes (content, CR, LF).
        const QByteArrayView window = m_bytes.sliced(m_pos, qMin(rest, kMaxLineBytes + 2));
        const qsizetype lf = window.indexOf('\n');
        if (lf >= 0) {
            *line = window.first(lf);
            m_pos += lf + 1;
            if (line->endsWith('\r'))
                line->chop(1);
        } else if (rest > window.size()) {
            return LineStatus::Bad; // longer than any line of a data file can sensibly be
        } else {
            *line = window;
            m_pos = m_bytes.size();
        }
        if (line->size() > kMaxLineBytes || line->contains('\0'))
            return LineStatus::Bad;
        return LineStatus::Ok;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

DataFileReadResult parse(QByteArrayView bytes) {
    DataFileReadResult result;
    result.status = DataFileStatus::BadFormat;
    LineReader reader(bytes);
    QByteArrayView line;
    if (reader.next(&line) != LineStatus::Ok || line != kSignature)
        return result;
    for (int row = 1; row <= GridModel::kDataRows; ++row) {
        // A missing line at the end of the file reads as an empty line.
        if (reader.next(&line) == LineStatus::Bad)
            return result;
        // Columns 1 ... 3 take the text before the next TAB, if there is one; column 4 takes
        // what is left, further TABs included.
        for (int column = 1; column < GridModel::kSemesters; ++column) {
            const qsizetype tab = line.indexOf(kTab);
            if (tab < 0)
                continue;
            result.texts.at(column, row) = decodeLine(line.first(tab));
            line = line.sliced(tab + 1);
        }
        result.texts.at(GridModel::kSemesters, row) = decodeLine(line);
    }
    result.status = DataFileStatus::Ok;
    // The lines after line 13, as far as they are well formed.
    const std::array<QString *, 4> fields = identityFields(result.identity);
    std::array<bool, 4> seen{};
    for (int i = 0; i < kMaxIdentityLines && reader.next(&line) == LineStatus::Ok; ++i) {
        for (std::size_t key = 0; key < kIdentityKeys.size(); ++key) {
            if (seen[key] || !line.startsWith(kIdentityKeys[key]))
                continue;
            seen[key] = true;
            const QByteArrayView value = line.sliced(kIdentityKeys[key].size());
            if (value.contains(kTab) || value.contains('\r'))
                break;
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString text = utf8(value);
            *fields[key] = utf8.hasError() ? decodeLine(value) : std::move(text);
            break;
        }
    }
    return result;
}

DataFileReadResult cannotOpen() {
    DataFileReadResult result;
    result.status = DataFileStatus::CannotOpen;
    return result;
}

DataFileReadResult badFormat() {
    DataFileReadResult result;
    result.status = DataFileStatus::BadFormat;
    return result;
}

} // namespace

DataFileReadResult ReadDataFile(const QString &path) {
    return ReadDataFileAt(QFile::encodeName(path));
}

DataFileReadResult ReadDataFileAt(const QByteArray &nativePath) {
    QByteArray bytes;
#ifdef Q_OS_UNIX
    // Opened without blocking, so that a FIFO does not wait for a writer, and read only when
    // the opened file is a regular one: a FIFO, a device or a folder cannot be opened. Asking
    // the open file closes the gap between a look at the name and the open.
    int fd = -1;
    do {
        fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return cannotOpen();
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return cannotOpen();
    }
    bool failed = false;
    bytes.resize(qMin<qsizetype>(kMaxReadBytes, 16 * 1024));
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size()) {
            if (size == kMaxReadBytes)
                break;
            bytes.resize(qMin(kMaxReadBytes, 2 * size));
        }
        const ssize_t got = ::read(fd, bytes.data() + size, static_cast<size_t>(bytes.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failed = true;
        if (got <= 0)
            break;
        size += got;
        // The size the system reports saves the read that would only find the end; files that
        // report no size (those of /proc, for one) are read to their end.
        if (info.st_size > 0 && size >= info.st_size)
            break;
    }
    ::close(fd);
    if (failed)
        return badFormat();
    bytes.truncate(size);
#else
    // Elsewhere without FIFOs that block: a look at the name keeps out folders and devices.
    const QString path = QFile::decodeName(nativePath);
    if (!QFileInfo(path).isFile())
        return cannotOpen();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen();
    bytes = file.read(kMaxReadBytes);
    if (file.error() != QFileDevice::NoError)
        return badFormat();
#endif
    return parse(bytes);
}

DataFileReadResult ParseDataFile(const QByteArray &bytes) {
    return parse(QByteArrayView(bytes).first(qMin(bytes.size(), kMaxReadBytes)));
}

void ApplyDataFile(GridModel &grid, const GridSnapshotTexts &texts) {
    for (int row = 1; row <= GridModel::kDataRows; ++row) {
        for (int column = 1; column <= GridModel::kSemesters; ++column)
            grid.setCell(column, row, texts.at(column, row));
    }
}

QByteArray EncodeDataFile(const GridModel &grid, DataFileWriteResult *problem) {
    DataFileWriteResult ignored;
    DataFileWriteResult &result = problem ? *problem : ignored;
    result.status = DataFileWriteStatus::Ok;
    result.offendingText.clear();
    // One encoder for the whole file; its state is reset for every piece of text.
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = kSignature + kLineEnd;
    for (int row = 1; row <= GridModel::kDataRows; ++row) {
        const qsizetype lineStart = bytes.size();
        QString longest;
        for (int column = 1; column <= GridModel::kSemesters; ++column) {
            const QString text = grid.cell(column, row);
            if (!encoder.isValid() || !encodeText(encoder, text, column == GridModel::kSemesters, &bytes)) {
                result.status = DataFileWriteStatus::Unencodable;
                result.offendingText = text;
                return QByteArray();
            }
            if (text.size() > longest.size())
                longest = text;
            if (column < GridModel::kSemesters)
                bytes.append(kTab);
        }
        // The reader refuses a longer line: such a file could never be opened again.
        if (bytes.size() - lineStart > kMaxLineBytes) {
            result.status = DataFileWriteStatus::TooLong;
            result.offendingText = longest;
            return QByteArray();
        }
        bytes.append(kLineEnd);
    }
    return bytes;
}

bool PupilIdentity::isEmpty() const {
    return surname.isEmpty() && firstName.isEmpty() && className.isEmpty() && birthDate.isEmpty();
}

QByteArray EncodeDataFile(const GridModel &grid, const PupilIdentity &identity, DataFileWriteResult *problem) {
    DataFileWriteResult ignored;
    DataFileWriteResult &result = problem ? *problem : ignored;
    QByteArray bytes = EncodeDataFile(grid, &result);
    if (result.status != DataFileWriteStatus::Ok)
        return bytes;
    PupilIdentity names = identity;
    const std::array<QString *, 4> fields = identityFields(names);
    for (std::size_t key = 0; key < kIdentityKeys.size(); ++key) {
        const QString &name = *fields[key];
        if (name.isEmpty())
            continue;
        if (!storableName(name)) {
            result.status = DataFileWriteStatus::Unencodable;
            result.offendingText = name;
            return QByteArray();
        }
        const QByteArray line = QByteArray(kIdentityKeys[key].data(), kIdentityKeys[key].size()) + name.toUtf8();
        if (line.size() > kMaxLineBytes) {
            result.status = DataFileWriteStatus::TooLong;
            result.offendingText = name;
            return QByteArray();
        }
        bytes += line + kLineEnd;
    }
    return bytes;
}

DataFileWriteResult SaveDataFile(const QString &path, const GridModel &grid) {
    return SaveDataFile(path, grid, PupilIdentity());
}

DataFileWriteResult SaveDataFile(const QString &path, const GridModel &grid, const PupilIdentity &identity) {
    DataFileWriteResult result;
    const QByteArray bytes = EncodeDataFile(grid, identity, &result);
    if (result.status != DataFileWriteStatus::Ok)
        return result;
    result.status = DataFileWriteStatus::Failed;
    // Only a regular file is replaced: a FIFO, a device or a folder (also behind a symbolic
    // link) stays what it is. A write-protected file stays as it is, although its folder would
    // let it be replaced.
    // Write-protected means without any write permission in its mode, also for a process that
    // may write anything (root), to which the file would otherwise count as writable.
    const QFileInfo target(path);
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (target.exists() && (!target.isFile() || !target.isWritable() || !(target.permissions() & anyWrite)))
        return result;
#ifdef Q_OS_UNIX
    // The mode, owner and group of the file that is replaced, through a symbolic link as
    // QSaveFile writes through it.
    struct stat earlier {};
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &earlier) == 0;
    // A symbolic link that leads round in a circle names no file: QSaveFile would put a file
    // in the place of the link.
    if (!replacing && errno == ELOOP)
        return result;
#else
    if (target.isSymLink() && !target.exists() && QFileInfo(target.symLinkTarget()).isSymLink())
        return result;
#endif
    // The file is written beside the target and renamed over it only when everything was
    // written: a full or write-protected disk never destroys the file that was there.
    // Unbuffered, so that a short write (a full disk, a file-size limit) shows in the count
    // that write() returns; a buffered flush inside commit() can lose it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return result;
    const auto cancel = [&file] {
        file.cancelWriting();
        file.commit();
    };
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        cancel();
        return result;
    }
#ifdef Q_OS_UNIX
    if (replacing) {
        // Set after writing, which would clear the set-user and set-group bits. Only a
        // privileged process may give a file to another owner; otherwise the group is kept
        // where the writer belongs to it, and the replacement is the writer's. A set-user or
        // set-group bit goes only with the owner and group it was set for.
        const int handle = file.handle();
        const bool sameOwner = ::fchown(handle, earlier.st_uid, earlier.st_gid) == 0;
        if (!sameOwner) {
            const int groupKept = ::fchown(handle, uid_t(-1), earlier.st_gid);
            Q_UNUSED(groupKept) // not a member of the group: the writer's group stays
        }
        if (::fchmod(handle, earlier.st_mode & (sameOwner ? 07777 : 0777)) != 0) {
            cancel();
            return result;
        }
    }
#else
    // QSaveFile carries the permissions over; the owner of a file on Windows is the one who
    // created it and is not handed on.
#endif
    if (!file.commit())
        return result;
    result.status = DataFileWriteStatus::Ok;
    return result;
}

QString UnencodableMessage(const QString &cellText) {
    return QStringLiteral("Der Eintrag  ") + cellText +
           QStringLiteral("  enthält Zeichen, die in einer Fachlese-Datei nicht gespeichert werden können.\r"
                          "Bitte ändere den Eintrag und speichere dann erneut.");
}

QString TooLongMessage(const QString &cellText) {
    constexpr qsizetype kShown = 40; // characters of a long entry that the message shows
    const QString shown = cellText.size() > kShown ? cellText.left(kShown) + QStringLiteral("...") : cellText;
    return QStringLiteral("Der Eintrag  ") + shown +
           QStringLiteral("  ist zu lang: Die Einträge einer Zeile dürfen zusammen höchstens %1 Zeichen "
                          "lang sein, damit die Fachlese-Datei wieder geöffnet werden kann.\r"
                          "Bitte kürze den Eintrag und speichere dann erneut.")
               .arg(kMaxLineBytes - (GridModel::kSemesters - 1));
}
