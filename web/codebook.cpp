#include "web/codebook.h"

#include "web/accesscode.h"

#include <QCryptographicHash>

CodeBook::CodeBook(QList<Pupil> pupils, const QString &coordinatorCode)
    : m_salt(RandomToken(16)), m_pupils(std::move(pupils)) {
    for (Pupil &pupil : m_pupils) {
        m_hashes.append(hash(pupil.code));
        pupil.code.clear();
    }
    if (!NormaliseAccessCode(coordinatorCode).isEmpty())
        m_coordinatorHash = hash(coordinatorCode);
}

QByteArray CodeBook::hash(const QString &code) const {
    QCryptographicHash sha(QCryptographicHash::Sha256);
    sha.addData(m_salt);
    sha.addData(NormaliseAccessCode(code).toUtf8());
    return sha.result();
}

int CodeBook::lookUp(const QString &typedCode) const {
    if (NormaliseAccessCode(typedCode).isEmpty())
        return kNobody;
    const QByteArray typed = hash(typedCode);
    int found = kNobody;
    // Every hash is compared; no early exit.
    for (int i = 0; i < int(m_hashes.size()); ++i) {
        if (ConstantTimeEquals(typed, m_hashes.at(i)))
            found = i;
    }
    if (!m_coordinatorHash.isEmpty() && ConstantTimeEquals(typed, m_coordinatorHash))
        found = kCoordinator;
    return found;
}

QString CodeBook::pupilId(int index) {
    return QStringLiteral("schueler-%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}
