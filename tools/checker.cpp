#include "tools/checker.h"

#include "rules/answers.h"

#include "rules/choicerules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#endif

FileCheck::Outcome FileCheck::outcome() const {
    if (readStatus != DataFileStatus::Ok)
        return Outcome::Unreadable;
    return passed ? Outcome::Passed : Outcome::Failed;
}

QString FileCheck::readMessage() const {
    switch (readStatus) {
    case DataFileStatus::Ok:
        return QString();
    case DataFileStatus::CannotOpen:
        return kCannotOpenMessage;
    case DataFileStatus::BadFormat:
        return kBadFormatMessage;
    }
    return QString();
}

QString FileCheck::entry(int semester, int row) const {
    return TrimBlanks(grid[static_cast<std::size_t>((row - 1) * GridModel::kSemesters + (semester - 1))]);
}

std::optional<int> FileCheck::countableCourses() const {
    if (readStatus != DataFileStatus::Ok)
        return std::nullopt;
    for (const SubjectCode subject : codes.codes) {
        if (subject == kUnknownSubject)
            return std::nullopt;
    }
    return ChoiceRules::CountCourses(codes);
}

ChoiceChecker::ChoiceChecker(bool foreignLanguageContinued, bool withChecklist)
    : m_withChecklist(withChecklist), m_test(m_grid, m_dialogs) {
    m_dialogs.fallback = [foreignLanguageContinued](const DialogRequest &request) {
        return UnattendedAnswer(request, foreignLanguageContinued);
    };
    // Nothing is printed and nothing sounds without a window.
    m_test.OpenPrintForm = [] {};
    m_test.AlertSound = [] {};
}

void ChoiceChecker::reset() {
    // The grid needs no clearing: a file that is read replaces all its data cells, and the
    // report of a file that is not read shows the empty grid of a fresh window.
    m_dialogs.answers.clear();
    m_dialogs.entries.clear();
    m_test.Reset();
}

FileCheck ChoiceChecker::check(const QByteArray &path, const QString &reportedPath) {
    reset();
    FileCheck result;
    result.file = reportedPath;

    const DataFileReadResult read = ReadDataFileAt(path);
    result.readStatus = read.status;
    result.identity = read.identity;
    if (read.status == DataFileStatus::Ok) {
        // What "&Öffnen" does after a successful read, then "&Wahl testen". The snapshot that
        // "&Öffnen" takes is left out: the run takes its own at its start, and nothing reads
        // the one in between.
        ApplyDataFile(m_grid, read.texts);
        if (m_withChecklist)
            result.checklist = BuildChecklist(m_grid);
        m_test.ChoiceTested = false;
        result.passed = m_test.RunValidation();
        result.choiceTested = m_test.ChoiceTested;
        result.courses = m_test.LastCourseCount;
        result.dialogs = m_dialogs.entries;
        std::size_t i = 0;
        for (int row = 1; row <= GridModel::kCourseRows; ++row) {
            for (int column = 1; column <= GridModel::kSemesters; ++column)
                result.grid[i++] = m_grid.cell(column, row);
        }
        result.verdict = m_test.LastVerdict;
        result.codes = ReadCourseCodes(m_grid).codes;
    }
    return result;
}

QString ShownPath(const QByteArray &nativePath) {
    QString shown;
    shown.reserve(nativePath.size());
    const auto *bytes = reinterpret_cast<const uchar *>(nativePath.constData());
    const qsizetype size = nativePath.size();
    qsizetype i = 0;
    while (i < size) {
        // The run of plain ASCII first, then one UTF-8 sequence or one stray byte.
        const qsizetype start = i;
        while (i < size && bytes[i] < 0x80)
            ++i;
        shown += QLatin1StringView(nativePath.constData() + start, i - start);
        if (i == size)
            break;
        const uchar lead = bytes[i];
        const int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k)
            valid = (bytes[i + k] & 0xC0) == 0x80;
        if (valid) {
            // No overlong forms, no surrogates, nothing above U+10FFFF.
            const uchar second = bytes[i + 1];
            valid = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second >= 0xA0) &&
                    !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second >= 0x90);
        }
        if (valid) {
            shown += QString::fromUtf8(nativePath.constData() + i, length);
            i += length;
        } else {
            shown += QStringLiteral("\\x") + QString::number(lead, 16).toUpper().rightJustified(2, u'0');
            ++i;
        }
    }
    return shown;
}

namespace {
bool isChoiceFileName(QByteArrayView name) {
    return name.size() >= 4 && name.last(4).compare(".fld", Qt::CaseInsensitive) == 0;
}

#ifdef Q_OS_UNIX
// Appends the choice files below `folder` (a path ending in '/', reported as `shown`) to
// `found`, unsorted; hidden files and folders (names beginning with a dot) are left out. Links to folders are
// not followed, so a loop of links cannot keep the walk going; a link to anything else named *.fld is a file.
// The folder is closed before its subfolders are read, so a deep tree needs no more than one open folder.
void collectFolder(const QByteArray &folder, const QByteArray &shown, ChoiceFiles &found) {
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        found.unreadableFolders.append(shown);
        return;
    }
    QList<QByteArray> subfolders;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                found.unreadableFolders.append(shown);
            break;
        }
        const QByteArrayView name(entry->d_name);
        if (name.startsWith('.'))
            continue; // hidden, as are "." and ".."
        const QByteArray path = folder + name.toByteArray();
        unsigned char type = entry->d_type;
        struct stat info {};
        if (type == DT_UNKNOWN && ::lstat(path.constData(), &info) == 0)
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
        if (type == DT_DIR) {
            subfolders.append(path);
        } else if (isChoiceFileName(name)) {
            if (type == DT_LNK && ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                continue; // a link to a folder is not followed
            found.files.append(path);
        }
    }
    ::closedir(dir);
    for (const QByteArray &subfolder : subfolders)
        collectFolder(subfolder + '/', subfolder, found);
}

bool isFolder(const QByteArray &path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}
#else
// The same with Qt's folder listing, where names are always text.
void collectFolder(const QByteArray &folder, const QByteArray &shown, ChoiceFiles &found) {
    QDir dir(QFile::decodeName(folder));
    if (!dir.isReadable()) {
        found.unreadableFolders.append(shown);
        return;
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QByteArray path = folder + QFile::encodeName(entry.fileName());
        if (entry.isDir()) {
            if (!entry.isSymLink())
                collectFolder(path + '/', path, found);
        } else if (isChoiceFileName(QFile::encodeName(entry.fileName()))) {
            found.files.append(path);
        }
    }
}

bool isFolder(const QByteArray &path) {
    return QFileInfo(QFile::decodeName(path)).isDir();
}
#endif
} // namespace

ChoiceFiles CollectChoiceFiles(const QList<QByteArray> &paths) {
    ChoiceFiles found;
    for (const QByteArray &path : paths) {
        if (!isFolder(path)) {
            found.files.append(path);
            continue;
        }
        const qsizetype before = found.files.size();
        collectFolder(path.endsWith('/') ? path : path + '/', path, found);
        std::sort(found.files.begin() + before, found.files.end());
    }
    return found;
}
