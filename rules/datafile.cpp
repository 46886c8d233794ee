#include "rules/datafile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
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

// Decodes one line. False when the converter reports an error.
bool decodeLine(const QByteArray &bytes, QString *text) {
    text->clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const bool end = i == bytes.size();
        if (!end && !isUndefinedByte(static_cast<uchar>(bytes[i])))
            continue;
        if (i > start) {
            QStringDecoder decoder("windows-1252");
            *text += decoder.decode(QByteArrayView(bytes).sliced(start, i - start));
            if (!decoder.isValid() || decoder.hasError())
                return false;
        }
        if (!end)
            *text += QChar(char16_t(static_cast<uchar>(bytes[i])));
        start = i + 1;
    }
    return true;
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

enum class LineStatus { Ok, End, Bad };

// Reads the next line into `line` without its line end (LF, or CR LF). At the end of the
// file the line is empty and the result End. A line longer than kMaxLineBytes, a NUL byte or
// a read error of the system give Bad; no more than kMaxLineBytes + 2 bytes are read.
LineStatus readLine(QIODevice &device, QByteArray *line) {
    line->clear();
    auto *file = qobject_cast<QFileDevice *>(&device);
    const auto failed = [file] { return file && file->error() != QFileDevice::NoError; };
    if (device.atEnd())
        return failed() ? LineStatus::Bad : LineStatus::End;
    *line = device.readLine(kMaxLineBytes + 3); // content, CR, LF
    if (failed())
        return LineStatus::Bad;
    if (line->endsWith('\n')) {
        line->chop(1);
        if (line->endsWith('\r'))
            line->chop(1);
    } else if (!device.atEnd()) {
        return LineStatus::Bad; // longer than any line of a data file can sensibly be
    }
    if (line->size() > kMaxLineBytes || line->contains('\0'))
        return LineStatus::Bad;
    return LineStatus::Ok;
}

DataFileReadResult parse(QIODevice &device) {
    DataFileReadResult result;
    result.status = DataFileStatus::BadFormat;
    QByteArray line;
    if (readLine(device, &line) != LineStatus::Ok || line != kSignature)
        return result;
    for (int row = 1; row <= GridModel::kDataRows; ++row) {
        // A missing line at the end of the file reads as an empty line.
        if (readLine(device, &line) == LineStatus::Bad)
            return result;
        QString rest;
        if (!decodeLine(line, &rest))
            return result;
        // Columns 1 ... 3 take the text before the next TAB, if there is one; column 4 takes
        // what is left, further TABs included.
        for (int column = 1; column < GridModel::kSemesters; ++column) {
            const qsizetype tab = rest.indexOf(QLatin1Char(kTab));
            if (tab < 0)
                continue;
            result.texts.at(column, row) = rest.left(tab);
            rest.remove(0, tab + 1);
        }
        result.texts.at(GridModel::kSemesters, row) = rest;
    }
    result.status = DataFileStatus::Ok;
    return result;
}

} // namespace

DataFileReadResult ReadDataFile(const QString &path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        DataFileReadResult result;
        result.status = DataFileStatus::CannotOpen;
        return result;
    }
    return parse(file);
}

DataFileReadResult ParseDataFile(const QByteArray &bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return parse(buffer);
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

DataFileWriteResult SaveDataFile(const QString &path, const GridModel &grid) {
    DataFileWriteResult result;
    const QByteArray bytes = EncodeDataFile(grid, &result);
    if (result.status != DataFileWriteStatus::Ok)
        return result;
    result.status = DataFileWriteStatus::Failed;
    // Only a regular file is replaced: a FIFO, a device or a folder (also behind a symbolic
    // link) stays what it is. A write-protected file stays as it is, although its folder would
    // let it be replaced.
    const QFileInfo target(path);
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return result;
#ifdef Q_OS_UNIX
    // The mode, owner and group of the file that is replaced, through a symbolic link as
    // QSaveFile writes through it.
    struct stat earlier {};
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &earlier) == 0;
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
