#include "web/sessionstore.h"

#include "web/accesscode.h"

#include <QMessageAuthenticationCode>

SessionStore::SessionStore() : m_secret(RandomToken(32)) {}

QByteArray SessionStore::create(int who, qint64 nowSeconds) {
    const QByteArray id = RandomToken(32);
    QMutexLocker lock(&m_mutex);
    if (m_sessions.size() >= kMaxSessions) {
        for (auto it = m_sessions.begin(); it != m_sessions.end();) {
            if (nowSeconds - it->lastUsed >= kIdleSeconds)
                it = m_sessions.erase(it);
            else
                ++it;
        }
        // Still full: the longest unused one goes.
        if (m_sessions.size() >= kMaxSessions) {
            auto oldest = m_sessions.begin();
            for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
                if (it->lastUsed < oldest->lastUsed)
                    oldest = it;
            }
            m_sessions.erase(oldest);
        }
    }
    Session session;
    session.who = who;
    session.csrf = csrfToken(id);
    session.lastUsed = nowSeconds;
    m_sessions.insert(id, session);
    return id;
}

std::optional<SessionStore::Session> SessionStore::find(const QByteArray &id, qint64 nowSeconds) {
    QMutexLocker lock(&m_mutex);
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return std::nullopt;
    if (nowSeconds - it->lastUsed >= kIdleSeconds) {
        m_sessions.erase(it);
        return std::nullopt;
    }
    it->lastUsed = nowSeconds;
    return *it;
}

void SessionStore::storeCells(const QByteArray &id, const GridSnapshotTexts &cells, const QByteArray &checkAnswer) {
    QMutexLocker lock(&m_mutex);
    const auto it = m_sessions.find(id);
    if (it != m_sessions.end()) {
        it->cells = cells;
        it->checkAnswer = checkAnswer;
    }
}

void SessionStore::storeHandInVerdict(const QByteArray &id, bool passed) {
    QMutexLocker lock(&m_mutex);
    const auto it = m_sessions.find(id);
    if (it != m_sessions.end())
        it->handedInPassed = passed;
}

void SessionStore::remove(const QByteArray &id) {
    QMutexLocker lock(&m_mutex);
    m_sessions.remove(id);
}

QByteArray SessionStore::csrfToken(const QByteArray &cookieValue) const {
    return QMessageAuthenticationCode::hash(QByteArray("csrf:") + cookieValue, m_secret, QCryptographicHash::Sha256)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

bool SessionStore::csrfValid(const QByteArray &cookieValue, const QByteArray &token) const {
    return !cookieValue.isEmpty() && ConstantTimeEquals(csrfToken(cookieValue), token);
}

bool SessionStore::csrfValid(const std::optional<Session> &session, const QByteArray &token) {
    return session && ConstantTimeEquals(session->csrf, token);
}
