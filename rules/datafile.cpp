#include "rules/datafile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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

// Encodes one cell text. False when a character has no byte in Windows-1252.
bool encodeText(const QString &text, QByteArray *bytes) {
    for (const QChar c : text) {
        if (c.isSurrogate())
            return false; // nothing outside the Basic Multilingual Plane has a byte
        const char16_t u = c.unicode();
        if (u < 0x100 && isUndefinedByte(static_cast<uchar>(u))) {
            bytes->append(static_cast<char>(u));
            continue;
        }
        QStringEncoder encoder("windows-1252");
        const QByteArray one = encoder.encode(QStringView(&c, 1));
        if (!encoder.isValid() || encoder.hasError() || one.size() != 1)
            return false;
        bytes->append(one);
    }
    return true;
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

QByteArray EncodeDataFile(const GridModel &grid, QString *offendingText) {
    QByteArray bytes = kSignature + kLineEnd;
    for (int row = 1; row <= GridModel::kDataRows; ++row) {
        for (int column = 1; column <= GridModel::kSemesters; ++column) {
            const QString text = grid.cell(column, row);
            if (!encodeText(text, &bytes)) {
                if (offendingText)
                    *offendingText = text;
                return QByteArray();
            }
            bytes.append(column < GridModel::kSemesters ? QByteArray(1, kTab) : kLineEnd);
        }
    }
    return bytes;
}

DataFileWriteResult SaveDataFile(const QString &path, const GridModel &grid) {
    DataFileWriteResult result;
    const QByteArray bytes = EncodeDataFile(grid, &result.offendingText);
    if (bytes.isEmpty()) { // never empty otherwise: the signature line is always there
        result.status = DataFileWriteStatus::Unencodable;
        return result;
    }
    result.status = DataFileWriteStatus::Failed;
    // A write-protected file stays as it is, although its folder would let it be replaced.
    const QFileInfo target(path);
    if (target.exists() && (target.isDir() || !target.isWritable()))
        return result;
    // The file is written beside the target and renamed over it only when everything was
    // written: a full or write-protected disk never destroys the file that was there.
    // Unbuffered, so that a short write (a full disk, a file-size limit) shows in the count
    // that write() returns; a buffered flush inside commit() can lose it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return result;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit();
        return result;
    }
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
