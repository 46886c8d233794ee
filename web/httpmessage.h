#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One request as the server hands it to the application, and the answer to it. Header names
// are kept in lower case.
struct HttpRequest {
    QByteArray method;
    QByteArray path;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QString clientAddress; // the peer's address, or the forwarding proxy's report of it
    bool viaTls = false;   // the local TLS proxy says the pupil's connection is encrypted

    // The first header of that name (lower case), or an empty text.
    QByteArray header(const QByteArray &lowerName) const {
        for (const auto &pair : headers) {
            if (pair.first == lowerName)
                return pair.second;
        }
        return QByteArray();
    }
};

struct HttpResponse {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool cacheable = false; // static files may be cached; pages never

    void addHeader(const QByteArray &name, const QByteArray &value) { headers.append({name, value}); }
};
