#include "web/signinlimiter.h"

bool SignInLimiter::allowed(const QString &address, qint64 nowSeconds) {
    QMutexLocker lock(&m_mutex);
    const auto it = m_records.constFind(address);
    if (it == m_records.constEnd())
        return true;
    return it->failures < kMaxFailures || nowSeconds - it->windowStart >= kWindowSeconds;
}

void SignInLimiter::recordFailure(const QString &address, qint64 nowSeconds) {
    QMutexLocker lock(&m_mutex);
    if (m_records.size() > 100000)
        forgetOld(nowSeconds);
    Record &record = m_records[address];
    if (record.failures == 0 || nowSeconds - record.windowStart >= kWindowSeconds)
        record = Record{nowSeconds, 0};
    ++record.failures;
}

void SignInLimiter::forgetOld(qint64 nowSeconds) {
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (nowSeconds - it->windowStart >= kWindowSeconds)
            it = m_records.erase(it);
        else
            ++it;
    }
}
