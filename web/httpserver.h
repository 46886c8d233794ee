#pragma once

#include "web/httpmessage.h"

#include <QHash>
#include <QMutex>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct MHD_Daemon;
struct MHD_Connection;
struct sockaddr;

// The HTTP layer: libmicrohttpd with a small pool of threads, the handler called on them for
// every complete request. Limits what one client can make the server hold: the body size, the
// size of the request head, the number of connections in all and per address, the time a
// connection may stay idle and the time one request may take to arrive whole (a client that
// sends a byte now and then is cut off all the same).
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
        unsigned requestSeconds = 30; // from the connection's start or the last answer
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
    // Counts the connection; false when it is one too many for its address (the check before
    // accepting and this count are not one step, so several threads may admit at once).
    bool connectionOpened(const sockaddr *address);
    void connectionClosed(const sockaddr *address);
    // The time limit of a connection's requests: watched from its start and after each answer.
    // A connection that was not admitted is shut down at once.
    void watch(MHD_Connection *connection, bool admitted = true);
    void unwatch(MHD_Connection *connection);
    void requestDone(MHD_Connection *connection);

private:
    Handler m_handler;
    Limits m_limits;
    MHD_Daemon *m_daemon = nullptr;
    QMutex m_countMutex;
    QHash<QString, int> m_perAddress;
    // The connections still waiting for a whole request, with the socket and the time by which
    // it must have come (milliseconds of a steady clock; none while a request is answered).
    struct Watched {
        int socket = -1;
        qint64 deadline = 0;
    };
    QHash<MHD_Connection *, Watched> m_watched; // under m_countMutex
    void sweep();
    std::thread m_sweeper;
    std::mutex m_sweepMutex;
    std::condition_variable m_sweepWake;
    bool m_sweepStop = false;
};
