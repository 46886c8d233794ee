#pragma once

#include "web/httpmessage.h"

#include <QHash>
#include <QMutex>

#include <functional>

struct MHD_Daemon;
struct MHD_Connection;
struct sockaddr;

// The HTTP layer: libmicrohttpd with a small pool of threads, the handler called on them for
// every complete request. Limits what one client can make the server hold: the body size, the
// size of the request head, the number of connections in all and per address, and the time a
// connection may stay idle.
class HttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest &)>;

    struct Limits {
        qsizetype maxBodyBytes = 64 * 1024;
        std::size_t connectionMemory = 16 * 1024; // request line and headers must fit
        unsigned connections = 1000;
        // Per address other than the local one (behind the local TLS proxy every connection
        // comes from there; the proxy limits those).
        int connectionsPerAddress = 32;
        unsigned idleSeconds = 30;
        unsigned threads = 4;
    };

    HttpServer(Handler handler, Limits limits);
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Listens on the address and port (0: any free port). On failure `error` tells why.
    bool start(const QString &address, quint16 port, QString *error);
    quint16 port() const;
    void stop();

    // Used by the library's callbacks.
    int handleCall(MHD_Connection *connection, const char *url, const char *method, const char *uploadData,
                   std::size_t *uploadSize, void **state);
    bool admit(const sockaddr *address);
    void connectionOpened(const sockaddr *address);
    void connectionClosed(const sockaddr *address);

private:
    Handler m_handler;
    Limits m_limits;
    MHD_Daemon *m_daemon = nullptr;
    QMutex m_countMutex;
    QHash<QString, int> m_perAddress;
};
