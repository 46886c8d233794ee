#include "web/netaddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

bool ParseNetAddress(const QString &text, quint16 port, NetAddress *address) {
    const QByteArray bytes = text.toLatin1();
    *address = NetAddress{};
    auto *v4 = reinterpret_cast<sockaddr_in *>(&address->storage);
    auto *v6 = reinterpret_cast<sockaddr_in6 *>(&address->storage);
    if (inet_pton(AF_INET, bytes.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        address->length = sizeof(sockaddr_in);
        return true;
    }
    *address = NetAddress{};
    if (inet_pton(AF_INET6, bytes.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        address->length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}

QString NetAddressText(const sockaddr *address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address && address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text, sizeof(text));
    else if (address && address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr, text, sizeof(text));
    return QString::fromLatin1(text);
}

bool IsLoopbackAddress(const sockaddr *address) {
    if (address && address->sa_family == AF_INET)
        return (ntohl(reinterpret_cast<const sockaddr_in *>(address)->sin_addr.s_addr) >> 24) == 127;
    if (address && address->sa_family == AF_INET6) {
        const in6_addr &v6 = reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr;
        if (IN6_IS_ADDR_LOOPBACK(&v6))
            return true;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}
