#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Starts the real fachlese-web and speaks plain HTTP/1.1 with it over a socket, one connection
// per request, so that every byte the server sends is seen as it is.
namespace webclient {

struct Reply {
    int status = 0;
    QByteArray head;
    QByteArray body;
    QByteArray header(const QByteArray &name) const {
        for (const QByteArray &line : head.split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return QByteArray();
    }
    // The value of the hidden field "csrf" on the page.
    QByteArray csrf() const {
        const QRegularExpression field(QStringLiteral("name=\"csrf\" value=\"([^\"]*)\""));
        return field.match(QString::fromUtf8(body)).captured(1).toLatin1();
    }
    // The value of the cookie the answer sets.
    QByteArray cookie() const {
        const QByteArray set = header("Set-Cookie");
        return set.left(set.indexOf(';')).mid(set.indexOf('=') + 1);
    }
};

inline Reply exchange(quint16 port, const QByteArray &request) {
    Reply reply;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return reply;
    }
    for (qsizetype sent = 0; sent < request.size();) {
        const ssize_t n = ::send(fd, request.constData() + sent, std::size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            break; // the server may answer and close before it has read everything
        sent += n;
    }
    QByteArray all;
    char buffer[65536];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof(buffer), 0)) > 0;)
        all.append(buffer, n);
    ::close(fd);
    const qsizetype end = all.indexOf("\r\n\r\n");
    reply.head = all.left(end);
    reply.body = end < 0 ? QByteArray() : all.mid(end + 4);
    reply.status = all.mid(9, 3).toInt();
    return reply;
}

inline Reply request(quint16 port, const QByteArray &method, const QByteArray &path, const QByteArray &cookie = {},
                     const QByteArray &body = {}, const QByteArray &extraHeaders = {}) {
    QByteArray text = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!cookie.isEmpty())
        text += "Cookie: fachlese_sitzung=" + cookie + "\r\n";
    if (method == "POST") {
        if (!extraHeaders.contains("Content-Type"))
            text += "Content-Type: application/x-www-form-urlencoded\r\n";
        text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    return exchange(port, text + extraHeaders + "\r\n" + body);
}

// "a=1&b=%C3%A4" from pairs.
inline QByteArray form(const QList<QPair<QString, QString>> &fields) {
    QByteArray body;
    for (const auto &[name, value] : fields)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    return body;
}

// A running server; the first line it prints is its address.
struct Server {
    QProcess process;
    quint16 port = 0;
    bool start(const QStringList &arguments) {
        process.start(QStringLiteral(FACHLESE_BINARY_DIR "/web/fachlese-web"), arguments);
        if (!process.waitForStarted() || !process.waitForReadyRead(10000))
            return false;
        const QString line = QString::fromUtf8(process.readLine()).trimmed();
        port = quint16(QUrl(line).port());
        return line.startsWith(u"http://127.0.0.1:") && line.endsWith(u'/') && port != 0;
    }
    ~Server() {
        process.terminate();
        process.waitForFinished(5000);
    }
    // Signs in with `code`; the session's cookie, or empty.
    QByteArray signIn(const QString &code, const QByteArray &extraHeaders = {}) {
        const Reply page = request(port, "GET", "/");
        const Reply reply = request(port, "POST", "/anmelden", page.cookie(),
                                    form({{QStringLiteral("csrf"), QString::fromLatin1(page.csrf())},
                                          {QStringLiteral("code"), code}}),
                                    extraHeaders);
        return reply.status == 303 ? reply.cookie() : QByteArray();
    }
};

// Writes a class list, makes the codes with --codes and returns the codes in list order.
inline QStringList makeCodes(const QTemporaryDir &dir, const QByteArray &classList) {
    QFile list(dir.filePath(QStringLiteral("liste.csv")));
    list.open(QIODevice::WriteOnly);
    list.write(classList);
    list.close();
    QProcess::execute(QStringLiteral(FACHLESE_BINARY_DIR "/web/fachlese-web"),
                      {QStringLiteral("--codes"), list.fileName(), QStringLiteral("--ausgabe"),
                       dir.filePath(QStringLiteral("codes.csv"))});
    QFile codes(dir.filePath(QStringLiteral("codes.csv")));
    codes.open(QIODevice::ReadOnly);
    QStringList found;
    for (const QByteArray &line : codes.readAll().split('\n').mid(1)) {
        if (!line.trimmed().isEmpty())
            found.append(QString::fromUtf8(line.trimmed().split(';').last()));
    }
    return found;
}

} // namespace webclient
