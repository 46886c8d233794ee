#pragma once

#include <QString>

#include <sys/socket.h>

// IP addresses without Qt Network: parsing an address to bind to, the text of a peer's address.
struct NetAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
    bool isV6() const { return storage.ss_family == AF_INET6; }
};

// An IPv4 or IPv6 address in its usual text form, with the port; nothing for any other text.
bool ParseNetAddress(const QString &text, quint16 port, NetAddress *address);

// The address's text ("127.0.0.1", "::1"); empty for anything but IPv4 or IPv6.
QString NetAddressText(const sockaddr *address);

// True for 127.0.0.0/8, ::1 and IPv4-mapped loopback.
bool IsLoopbackAddress(const sockaddr *address);
