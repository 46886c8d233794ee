#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

// Counts failed sign-ins per address. After kMaxFailures failures within kWindowSeconds an
// address is refused (even with the right code) until the window of its first failure is
// over. Thread-safe.
class SignInLimiter {
public:
    static constexpr int kMaxFailures = 10;
    static constexpr qint64 kWindowSeconds = 15 * 60;

    // True while the address may still try.
    bool allowed(const QString &address, qint64 nowSeconds);
    void recordFailure(const QString &address, qint64 nowSeconds);

private:
    struct Record {
        qint64 windowStart = 0;
        int failures = 0;
    };
    void forgetOld(qint64 nowSeconds);

    QMutex m_mutex;
    QHash<QString, Record> m_records;
};
