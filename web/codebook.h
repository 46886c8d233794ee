#pragma once

#include "web/classlist.h"

#include <QByteArray>
#include <QList>

// The codes the server accepts, kept only as salted SHA-256 hashes. A look-up compares the
// typed code with every stored hash in constant time, so neither the answer time nor an early
// stop tells how much of a code was right.
class CodeBook {
public:
    static constexpr int kNobody = -1;
    static constexpr int kCoordinator = -2;

    // The pupils with their codes; the codes are hashed and dropped from the copy kept.
    CodeBook(QList<Pupil> pupils, const QString &coordinatorCode);

    // kCoordinator, the index of the pupil, or kNobody.
    int lookUp(const QString &typedCode) const;

    const QList<Pupil> &pupils() const { return m_pupils; }
    bool hasCoordinator() const { return !m_coordinatorHash.isEmpty(); }

    // The server's own name for pupil `index`: "schueler-0001" for the first one.
    static QString pupilId(int index);

private:
    QByteArray hash(const QString &code) const;

    QByteArray m_salt;
    QList<Pupil> m_pupils;
    QList<QByteArray> m_hashes;
    QByteArray m_coordinatorHash;
};
