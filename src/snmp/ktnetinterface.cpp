#include "ktnetinterface.h"

#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

QString dottedQuad(const sockaddr *address)
{
    if (!address || address->sa_family != AF_INET)
        return QStringLiteral("0.0.0.0");
    sockaddr_in in{};
    // Copied rather than cast: the list only promises a sockaddr's alignment.
    std::memcpy(&in, address, sizeof in);
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &in.sin_addr, text, sizeof text))
        return QStringLiteral("0.0.0.0");
    return QString::fromLatin1(text);
}

quint8 flag(unsigned int flags, unsigned int bit) { return (flags & bit) ? 1 : 0; }

} // namespace

int ListInterfaces(const ifaddrs *list, KtNetInterface (&records)[KtMaxNetInterfaces])
{
    for (KtNetInterface &record : records)
        record = KtNetInterface();
    int count = 0;
    for (const ifaddrs *entry = list; entry && count < KtMaxNetInterfaces;
         entry = entry->ifa_next) {
        // The list also holds each interface's link-layer and IPv6 entries.
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        KtNetInterface &record = records[count++];
        record.address = dottedQuad(entry->ifa_addr);
        record.netmask = dottedQuad(entry->ifa_netmask);
        const unsigned int flags = entry->ifa_flags;
        record.up = flag(flags, IFF_UP);
        record.broadcast = flag(flags, IFF_BROADCAST);
        record.loopback = flag(flags, IFF_LOOPBACK);
        record.pointToPoint = flag(flags, IFF_POINTOPOINT);
        record.multicast = flag(flags, IFF_MULTICAST);
    }
    return count;
}

int ListInterfaces(KtNetInterface (&records)[KtMaxNetInterfaces])
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) {
        for (KtNetInterface &record : records)
            record = KtNetInterface();
        return 0;
    }
    const int count = ListInterfaces(list, records);
    freeifaddrs(list);
    return count;
}
