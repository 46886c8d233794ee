#pragma once

#include "rules/test.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>

#include <optional>

// The signed-in browsers. A session is known by a random id in the cookie; it remembers who
// signed in and the grid as the pupil last sent it (to see which cells changed). The CSRF
// token of a form is an HMAC of the cookie's value under a secret of this server run, so a
// page from elsewhere can neither read nor forge it. Thread-safe.
class SessionStore {
public:
    static constexpr qint64 kIdleSeconds = 4 * 60 * 60;
    static constexpr qsizetype kMaxSessions = 20000;

    struct Session {
        int who = -1; // CodeBook::lookUp's answer
        QByteArray csrf; // the token of the session's forms
        GridSnapshotTexts cells;
        QByteArray checkAnswer; // the live check's answer for `cells`, when it was the last to store them
        bool handedInPassed = false; // the last hand-in of this session passed the test
        qint64 lastUsed = 0;
    };

    SessionStore();

    QByteArray create(int who, qint64 nowSeconds);
    // The session, when the id is known and was used within kIdleSeconds; marks it used.
    std::optional<Session> find(const QByteArray &id, qint64 nowSeconds);
    void storeCells(const QByteArray &id, const GridSnapshotTexts &cells, const QByteArray &checkAnswer = {});
    void remove(const QByteArray &id);
    void storeHandInVerdict(const QByteArray &id, bool passed);

    QByteArray csrfToken(const QByteArray &cookieValue) const;
    bool csrfValid(const QByteArray &cookieValue, const QByteArray &token) const;
    // The same for a session found, without computing the token again.
    static bool csrfValid(const std::optional<Session> &session, const QByteArray &token);

private:
    QByteArray m_secret;
    QMutex m_mutex;
    QHash<QByteArray, Session> m_sessions;
};
