#include "web/handinstore.h"

#include "rules/datafile.h"
#include "web/codebook.h"
#include "web/identitylines.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
const QString kWriteFailed = QStringLiteral(
    "Deine Wahl konnte nicht gespeichert werden, weil der Server gerade nicht schreiben kann. "
    "Sie ist nicht abgegeben. Bitte versuche es später noch einmal oder wende dich an die Schule.");
const QString kDiskFull = QStringLiteral(
    "Deine Wahl konnte nicht gespeichert werden, weil der Speicher des Servers voll ist. "
    "Sie ist nicht abgegeben. Bitte sage der Schule Bescheid und versuche es später noch einmal.");

// Makes a rename or link inside the folder durable.
bool syncFolder(const QString &folder) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

// Keeps the earlier file under a name of its own, without a moment in which `path` is missing.
bool keepEarlier(const QString &path, const QString &keptPath) {
#ifdef Q_OS_UNIX
    return ::link(QFile::encodeName(path).constData(), QFile::encodeName(keptPath).constData()) == 0;
#else
    return QFile::copy(path, keptPath);
#endif
}

bool diskFull(const QString &folder, qsizetype bytes) {
#ifdef Q_OS_UNIX
    if (errno == ENOSPC || errno == EDQUOT)
        return true;
#endif
    const QStorageInfo storage(folder);
    return storage.isValid() && storage.bytesAvailable() < bytes + 4096;
}
} // namespace

HandInStore::HandInStore(const QString &folder, int pupilCount) : m_folder(folder) {
    for (int i = 0; i < pupilCount; ++i) {
        const QFileInfo file(filePath(i));
        m_times.append(file.exists() ? std::optional(file.lastModified()) : std::nullopt);
    }
}

QString HandInStore::filePath(int pupil) const {
    return m_folder + u'/' + CodeBook::pupilId(pupil) + QStringLiteral(".fld");
}

std::optional<QDateTime> HandInStore::handedInAt(int pupil) const {
    QMutexLocker lock(&m_timesMutex);
    return pupil >= 0 && pupil < m_times.size() ? m_times.at(pupil) : std::nullopt;
}

HandInStore::Result HandInStore::handIn(int pupil, const Pupil &identity, const GridSnapshotTexts &cells) {
    GridModel grid;
    ApplyDataFile(grid, cells);
    DataFileWriteResult problem;
    const QByteArray bytes = EncodeDataFile(grid, &problem);
    if (problem.status == DataFileWriteStatus::Unencodable)
        return {Status::Unencodable, {}, UnencodableMessage(problem.offendingText)};
    if (problem.status == DataFileWriteStatus::TooLong)
        return {Status::TooLong, {}, TooLongMessage(problem.offendingText)};
    QMutexLocker lock(&m_pupilLocks[std::size_t(pupil) % m_pupilLocks.size()]);
    return write(pupil, bytes + IdentityLines(identity.surname, identity.firstName, identity.className));
}

HandInStore::Result HandInStore::write(int pupil, const QByteArray &bytes) {
    const QString path = filePath(pupil);
    const Result failed{Status::Failed, {}, kWriteFailed};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return diskFull(m_folder, bytes.size()) ? Result{Status::DiskFull, {}, kDiskFull} : failed;
    if (file.write(bytes) != bytes.size() || !file.flush()
#ifdef Q_OS_UNIX
        || ::fsync(file.handle()) != 0
#endif
    ) {
        const bool full = diskFull(m_folder, bytes.size());
        file.cancelWriting();
        return full ? Result{Status::DiskFull, {}, kDiskFull} : failed;
    }
    const QFileInfo earlier(path);
    if (earlier.exists()) {
        const QString stamp = earlier.lastModified().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        const QString base = m_folder + u'/' + CodeBook::pupilId(pupil) + u'.' + stamp;
        QString kept = base + QStringLiteral(".fld.alt");
        for (int n = 2; QFileInfo::exists(kept); ++n)
            kept = base + QStringLiteral("-%1.fld.alt").arg(n);
        if (!keepEarlier(path, kept)) {
            file.cancelWriting();
            return failed;
        }
    }
    if (!file.commit() || !syncFolder(m_folder))
        return diskFull(m_folder, bytes.size()) ? Result{Status::DiskFull, {}, kDiskFull} : failed;
    const QDateTime now = QFileInfo(path).lastModified();
    QMutexLocker lock(&m_timesMutex);
    m_times[pupil] = now;
    return {Status::Saved, now, {}};
}
