#include "ktnetinterface.h"

#include "ktsnmpvalue.h"

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

KtNetInterfaces::Script *g_script = nullptr;

// The network of an address under a mask, as four bytes; empty when either is no dotted quad.
QByteArray networkOf(const QString &address, const QString &mask)
{
    bool addressOk = false;
    bool maskOk = false;
    QByteArray network = KtValue::parseIpAddress(address, &addressOk);
    const QByteArray bits = KtValue::parseIpAddress(mask, &maskOk);
    if (!addressOk || !maskOk)
        return {};
    for (int i = 0; i < network.size(); ++i)
        network[i] = static_cast<char>(network.at(i) & bits.at(i));
    return network;
}

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
    if (g_script) {
        for (KtNetInterface &record : records)
            record = KtNetInterface();
        const int count = static_cast<int>(
            qMin<qsizetype>(g_script->m_interfaces.size(), KtMaxNetInterfaces));
        for (int i = 0; i < count; ++i)
            records[i] = g_script->m_interfaces.at(i);
        return count;
    }
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

QString LocalAddressOnNetwork(const QString &deviceAddress, const QString &deviceMask,
                              const KtNetInterface *records, int count)
{
    const QByteArray network = networkOf(deviceAddress, deviceMask);
    if (network.isEmpty())
        return {};
    for (int i = 0; i < count; ++i) {
        // An interface that is down keeps its address, but the device cannot reach it there.
        if (records[i].up && networkOf(records[i].address, records[i].netmask) == network)
            return records[i].address;
    }
    return {};
}

namespace KtNetInterfaces {

Script::Script(const QList<KtNetInterface> &interfaces)
    : m_interfaces(interfaces), m_previous(g_script)
{
    g_script = this;
}

Script::~Script()
{
    g_script = m_previous;
}

KtNetInterface Script::up(const QString &address, const QString &netmask)
{
    KtNetInterface record;
    record.address = address;
    record.netmask = netmask;
    record.up = 1;
    record.broadcast = 1;
    record.multicast = 1;
    return record;
}

} // namespace KtNetInterfaces
