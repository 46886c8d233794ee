#pragma once

#include "rules/test.h"
#include "web/classlist.h"

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QString>

#include <array>
#include <optional>

// The data folder: "<id>.fld" is each pupil's newest hand-in, the desktop's file bytes and the
// pupil's identity lines. A new hand-in keeps the earlier file beside it as
// "<id>.<JJJJMMTT-HHMMSS>.fld.alt" (the earlier file's time). Written atomically and synced
// to disk, the folder included, before handIn() returns Saved. Thread-safe.
class HandInStore {
public:
    enum class Status { Saved, Unencodable, TooLong, DiskFull, Failed };
    struct Result {
        Status status = Status::Failed;
        QDateTime when;  // Saved: the time of the hand-in
        QString message; // otherwise: what the pupil is told
    };

    // Reads the times of earlier hand-ins of pupils 0 ... pupilCount-1 from the folder.
    HandInStore(const QString &folder, int pupilCount);

    Result handIn(int pupil, const Pupil &identity, const GridSnapshotTexts &cells);
    std::optional<QDateTime> handedInAt(int pupil) const;
    QString filePath(int pupil) const;

private:
    Result write(int pupil, const QByteArray &bytes);

    QString m_folder;
    mutable QMutex m_timesMutex;
    QList<std::optional<QDateTime>> m_times;
    std::array<QMutex, 32> m_pupilLocks; // one pupil's hand-ins one after the other
};
