#include "web/httpserver.h"

#include "web/netaddress.h"

#include <microhttpd.h>

#include <QDeadlineTimer>

#include <limits>

#include <sys/socket.h>

namespace {
struct RequestState {
    QByteArray body;
    bool tooLarge = false;
};

const sockaddr *peerOf(MHD_Connection *connection) {
    const MHD_ConnectionInfo *info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info ? info->client_addr : nullptr;
}

MHD_Result collectHeader(void *cls, enum MHD_ValueKind, const char *key, const char *value) {
    auto *request = static_cast<HttpRequest *>(cls);
    if (request->headers.size() < 100)
        request->headers.append({QByteArray(key).toLower(), QByteArray(value ? value : "")});
    return MHD_YES;
}

MHD_Result queue(MHD_Connection *connection, const HttpResponse &answer) {
    MHD_Response *response = MHD_create_response_from_buffer(
        std::size_t(answer.body.size()), const_cast<char *>(answer.body.constData()), MHD_RESPMEM_MUST_COPY);
    if (!response)
        return MHD_NO;
    MHD_add_response_header(response, "Content-Type", answer.contentType.constData());
    MHD_add_response_header(response, "Content-Security-Policy",
                            "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                            "connect-src 'self'; form-action 'self'; frame-ancestors 'none'; base-uri 'none'");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, "X-Frame-Options", "DENY");
    MHD_add_response_header(response, "Referrer-Policy", "no-referrer");
    MHD_add_response_header(response, "Cache-Control", answer.cacheable ? "max-age=3600" : "no-store");
    for (const auto &[name, value] : answer.headers)
        MHD_add_response_header(response, name.constData(), value.constData());
    const MHD_Result result = MHD_queue_response(connection, unsigned(answer.status), response);
    MHD_destroy_response(response);
    return result;
}

HttpResponse tooLarge() {
    HttpResponse response;
    response.status = 413;
    response.body = QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\">"
                                   "<title>Anfrage zu groß</title></head><body><h1>Anfrage zu groß</h1>"
                                   "<p>Die Anfrage ist größer, als der Server annimmt.</p></body></html>\n")
                        .toUtf8();
    return response;
}

MHD_Result onRequest(void *cls, MHD_Connection *connection, const char *url, const char *method, const char *,
                     const char *uploadData, std::size_t *uploadSize, void **state) {
    return static_cast<HttpServer *>(cls)->handleCall(connection, url, method, uploadData, uploadSize, state) ? MHD_YES
                                                                                                               : MHD_NO;
}

void onCompleted(void *cls, MHD_Connection *connection, void **state, enum MHD_RequestTerminationCode) {
    delete static_cast<RequestState *>(*state);
    *state = nullptr;
    static_cast<HttpServer *>(cls)->requestDone(connection);
}

constexpr qint64 kAnswering = std::numeric_limits<qint64>::max();

qint64 steadyNow() {
    return QDeadlineTimer::current().deadline();
}

MHD_Result onAccept(void *cls, const sockaddr *address, socklen_t) {
    return static_cast<HttpServer *>(cls)->admit(address) ? MHD_YES : MHD_NO;
}

void onConnection(void *cls, MHD_Connection *connection, void **, enum MHD_ConnectionNotificationCode code) {
    auto *server = static_cast<HttpServer *>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        server->watch(connection, server->connectionOpened(peerOf(connection)));
    } else {
        server->unwatch(connection);
        server->connectionClosed(peerOf(connection));
    }
}
} // namespace

HttpServer::HttpServer(Handler handler, Limits limits) : m_handler(std::move(handler)), m_limits(limits) {}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::admit(const sockaddr *address) {
    if (IsLoopbackAddress(address))
        return true;
    QMutexLocker lock(&m_countMutex);
    return m_perAddress.value(NetAddressText(address)) < m_limits.connectionsPerAddress;
}

bool HttpServer::connectionOpened(const sockaddr *address) {
    QMutexLocker lock(&m_countMutex);
    const int count = ++m_perAddress[NetAddressText(address)];
    return IsLoopbackAddress(address) || count <= m_limits.connectionsPerAddress;
}

void HttpServer::watch(MHD_Connection *connection, bool admitted) {
    const MHD_ConnectionInfo *info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    const int socket = info ? int(info->connect_fd) : -1;
    QMutexLocker lock(&m_countMutex);
    if (!admitted && socket >= 0) {
        ::shutdown(socket, SHUT_RDWR); // the library sees it end and closes it
        m_watched.insert(connection, {socket, kAnswering});
        return;
    }
    m_watched.insert(connection, {socket, steadyNow() + m_limits.requestSeconds * 1000LL});
}

void HttpServer::requestDone(MHD_Connection *connection) {
    QMutexLocker lock(&m_countMutex);
    if (const auto it = m_watched.find(connection); it != m_watched.end())
        it->deadline = steadyNow() + m_limits.requestSeconds * 1000LL;
}

// Once a second: a connection whose request has not come whole in time is shut down; the
// library then sees it end and closes it in its own thread.
void HttpServer::sweep() {
    std::unique_lock wait(m_sweepMutex);
    while (!m_sweepWake.wait_for(wait, std::chrono::seconds(1), [this] { return m_sweepStop; })) {
        const qint64 now = steadyNow();
        QMutexLocker lock(&m_countMutex);
        for (Watched &watched : m_watched)
            if (watched.deadline < now && watched.socket >= 0) {
                ::shutdown(watched.socket, SHUT_RDWR);
                watched.deadline = kAnswering;
            }
    }
}

void HttpServer::unwatch(MHD_Connection *connection) {
    QMutexLocker lock(&m_countMutex);
    m_watched.remove(connection);
}

void HttpServer::connectionClosed(const sockaddr *address) {
    QMutexLocker lock(&m_countMutex);
    const auto it = m_perAddress.find(NetAddressText(address));
    if (it != m_perAddress.end() && --*it <= 0)
        m_perAddress.erase(it);
}

int HttpServer::handleCall(MHD_Connection *connection, const char *url, const char *method, const char *uploadData,
                           std::size_t *uploadSize, void **statePointer) {
    auto *state = static_cast<RequestState *>(*statePointer);
    if (!state) {
        *statePointer = state = new RequestState;
        const char *length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
        if (length && QByteArray(length).toLongLong() > m_limits.maxBodyBytes)
            return queue(connection, tooLarge()) == MHD_YES;
        return true;
    }
    if (*uploadSize > 0) {
        if (state->body.size() + qsizetype(*uploadSize) > m_limits.maxBodyBytes)
            return false; // a body without a length that grows too large: the connection is closed
        state->body.append(uploadData, qsizetype(*uploadSize));
        *uploadSize = 0;
        return true;
    }
    {
        QMutexLocker lock(&m_countMutex);
        if (const auto it = m_watched.find(connection); it != m_watched.end())
            it->deadline = kAnswering;
    }
    HttpRequest request;
    request.method = method;
    request.path = url;
    request.body = std::move(state->body);
    MHD_get_connection_values(connection, MHD_HEADER_KIND, collectHeader, &request);
    const sockaddr *peer = peerOf(connection);
    request.clientAddress = NetAddressText(peer);
    if (IsLoopbackAddress(peer)) {
        // The local TLS proxy reports the pupil's address last and whether the pupil's
        // connection was encrypted. From anywhere else these headers are not believed.
        const QList<QByteArray> forwarded = request.header("x-forwarded-for").split(',');
        NetAddress reported;
        if (ParseNetAddress(QString::fromLatin1(forwarded.last().trimmed()), 0, &reported))
            request.clientAddress = NetAddressText(reinterpret_cast<const sockaddr *>(&reported.storage));
        request.viaTls = request.header("x-forwarded-proto").trimmed() == "https";
    }
    return queue(connection, m_handler(request)) == MHD_YES;
}

bool HttpServer::start(const QString &address, quint16 port, QString *error) {
    NetAddress bindAddress;
    if (!ParseNetAddress(address, port, &bindAddress)) {
        *error = QStringLiteral("Die Adresse »%1« ist keine IP-Adresse.").arg(address);
        return false;
    }
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO;
    if (bindAddress.isV6())
        flags |= MHD_USE_IPv6;
    m_daemon = MHD_start_daemon(
        flags, port, onAccept, this, onRequest, this, MHD_OPTION_SOCK_ADDR, &bindAddress.storage,
        MHD_OPTION_THREAD_POOL_SIZE, m_limits.threads, MHD_OPTION_CONNECTION_LIMIT, m_limits.connections,
        MHD_OPTION_CONNECTION_TIMEOUT, m_limits.idleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        m_limits.connectionMemory, MHD_OPTION_NOTIFY_COMPLETED, onCompleted, this, MHD_OPTION_NOTIFY_CONNECTION,
        onConnection, this, MHD_OPTION_END);
    if (!m_daemon) {
        if (error)
            *error = QStringLiteral("Der Server kann nicht auf %1, Port %2 lauschen.").arg(address).arg(port);
        return false;
    }
    m_sweepStop = false;
    m_sweeper = std::thread([this] { sweep(); });
    return true;
}

quint16 HttpServer::port() const {
    const MHD_DaemonInfo *info = m_daemon ? MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT) : nullptr;
    return info ? info->port : 0;
}

void HttpServer::stop() {
    if (m_sweeper.joinable()) {
        {
            std::lock_guard lock(m_sweepMutex);
            m_sweepStop = true;
        }
        m_sweepWake.notify_all();
        m_sweeper.join();
    }
    if (m_daemon)
        MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
}
