#pragma once

#include "rules/grid.h"
#include "rules/test.h"

#include <QByteArray>
#include <QString>

// The course-selection data file (".fld"): 13 lines of Windows-1252 text ended by CR LF, the
// signature "Fachlese" and grid rows 1 ... 12 as four TAB-separated cell texts. The pupil's
// name, class and date of birth may follow as lines "Nachname=...", "Vorname=...",
// "Klasse=...", "Geburtsdatum=..." in UTF-8 (only those not empty, in this order), which a
// reader of the 13 lines never sees.

inline const QString kCannotOpenMessage = QStringLiteral("Die Datei kann nicht geöffnet werden");
inline const QString kBadFormatMessage = QStringLiteral("Falsches oder fehlerhaftes Dateiformat");
inline const QString kWriteFailedMessage = QStringLiteral("Diskette oder Platte schreibgeschützt oder voll!");

// The longest line a data file may have, without its line end; a longer one is a format error.
// Only the first 13 lines of a file are ever read, so reading is bounded in time and memory.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;

// The error text for a cell whose text Windows-1252 cannot represent, or that would not read
// back as it was written (a NUL or a line feed anywhere, a TAB in columns 1 ... 3): the file is
// not written.
QString UnencodableMessage(const QString &cellText);

// The error text for the longest entry of a row whose line would be longer than kMaxLineBytes:
// the file is not written, since it could not be opened again. A long entry is shown shortened.
QString TooLongMessage(const QString &cellText);

// The lines after line 13 that are looked at: more are ignored, so reading stays bounded.
inline constexpr int kMaxIdentityLines = 16;

// Whose choice it is: the four fields of the print form, kept with the choice.
struct PupilIdentity {
    QString surname;
    QString firstName;
    QString className;
    QString birthDate;

    bool isEmpty() const;
    bool operator==(const PupilIdentity &) const = default;
};

enum class DataFileStatus {
    Ok,
    CannotOpen, // the file cannot be opened for reading
    BadFormat,  // wrong signature, read error, or input beyond the format's bounds
};

struct DataFileReadResult {
    DataFileStatus status = DataFileStatus::CannotOpen;
    GridSnapshotTexts texts; // columns 1 ... 4, rows 1 ... 12; only meaningful when Ok
    // From the lines after line 13; empty where the file has none. A key's first line counts;
    // unknown keys, a value with a TAB or CR, and anything after a line that is too long or
    // holds a NUL are ignored: the tail never makes the grid unreadable. A value that is no
    // valid UTF-8 is read as Windows-1252, like the lines before it.
    PupilIdentity identity;
};

// Reads and checks the whole file before anything changes; bounded in time and memory.
// Only a regular file is opened (never waiting for a FIFO's writer); anything else, a folder,
// a FIFO or a device, gives CannotOpen.
// Lines end with LF or CR LF; a missing line at the end reads as empty; a line over
// kMaxLineBytes, a NUL byte, a read error or a first line other than "Fachlese" give BadFormat.
// Bytes 81, 8D, 8F, 90 and 9D read as the control characters U+0081 ... of the same number.
DataFileReadResult ReadDataFile(const QString &path);

// The same for a path given by the bytes the system knows it by, for names that are no valid
// text in the locale's encoding.
DataFileReadResult ReadDataFileAt(const QByteArray &nativePath);

// The same, from the bytes of a file.
DataFileReadResult ParseDataFile(const QByteArray &bytes);

// Stores texts read from a file into columns 1 ... 4, rows 1 ... 12 of the grid.
void ApplyDataFile(GridModel &grid, const GridSnapshotTexts &texts);

enum class DataFileWriteStatus {
    Ok,
    Unencodable, // a cell holds a character Windows-1252 cannot represent; nothing written
    TooLong,     // a row's line would be longer than kMaxLineBytes; nothing written
    Failed,      // the file could not be created or written; the earlier file is unchanged
};

struct DataFileWriteResult {
    DataFileWriteStatus status = DataFileWriteStatus::Failed;
    // Unencodable: the first cell text that cannot be stored (rows outer, columns inner);
    // TooLong: the longest cell text of the first row that is too long.
    QString offendingText;
};

// The file's bytes for columns 1 ... 4, rows 1 ... 12 of the grid. When the grid cannot be
// stored the bytes are empty and `problem` (if given) tells why; otherwise its status is Ok.
QByteArray EncodeDataFile(const GridModel &grid, DataFileWriteResult *problem = nullptr);

// The same followed by the identity's lines. A name is refused like a cell: Unencodable for a
// NUL, TAB, CR or line feed (or half a surrogate pair), TooLong when its line would be longer
// than kMaxLineBytes; `offendingText` is the name. An empty identity adds nothing.
QByteArray EncodeDataFile(const GridModel &grid, const PupilIdentity &identity,
                          DataFileWriteResult *problem = nullptr);

// Writes the grid to `path` atomically: the file is replaced only when everything was written.
// Only a regular file (or a symbolic link to one, whose target is written) is replaced; the
// replacement keeps the mode of the earlier file and, where the process may, its owner and group.
// A file without any write permission in its mode, and a symbolic link that leads round in a
// circle, are not replaced (Failed).
DataFileWriteResult SaveDataFile(const QString &path, const GridModel &grid);
DataFileWriteResult SaveDataFile(const QString &path, const GridModel &grid, const PupilIdentity &identity);
