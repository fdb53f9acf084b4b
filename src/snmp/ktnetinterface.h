// The PC's own IPv4 interfaces, so that a window can pick the local address on the device's
// network (the address the device uses to reach the module's TFTP server).
#pragma once

#include <QList>
#include <QString>

struct ifaddrs;

struct KtNetInterface {
    QString address; // dotted quad
    QString netmask; // dotted quad
    quint8 up = 0;
    quint8 broadcast = 0;
    quint8 loopback = 0;
    quint8 pointToPoint = 0;
    quint8 multicast = 0;
};

// How many interfaces the caller's array holds.
constexpr int KtMaxNetInterfaces = 10;

// Fills records with the IPv4 interfaces of the PC, at most KtMaxNetInterfaces, in the order
// the system lists them, and returns their count. Clears all records first; returns 0 when the
// system cannot list its interfaces.
int ListInterfaces(KtNetInterface (&records)[KtMaxNetInterfaces]);

// The same from an interface list of getifaddrs (tests feed it lists of their own).
int ListInterfaces(const ifaddrs *list, KtNetInterface (&records)[KtMaxNetInterfaces]);

// The address of the PC on the device's network: the first interface, in the order given, that
// is up and whose network (its address ANDed with its own mask, octet by octet) is the device's
// network (the device's address ANDed with the device's mask). Empty when there is none, also
// when the device's address or mask is not a dotted quad (the device has not answered yet).
QString LocalAddressOnNetwork(const QString &deviceAddress, const QString &deviceMask,
                              const KtNetInterface *records, int count);

namespace KtNetInterfaces {

// Test script: while an instance lives, ListInterfaces(records) lists these interfaces (the
// first KtMaxNetInterfaces of them) instead of the PC's, so that a test does not depend on the
// machine it runs on. Scripts nest; the innermost one is used.
class Script
{
public:
    explicit Script(const QList<KtNetInterface> &interfaces);
    ~Script();
    Script(const Script &) = delete;
    Script &operator=(const Script &) = delete;

    // An interface that is up, with the broadcast and multicast flags an Ethernet card has.
    static KtNetInterface up(const QString &address, const QString &netmask);

private:
    friend int ::ListInterfaces(KtNetInterface (&records)[KtMaxNetInterfaces]);
    QList<KtNetInterface> m_interfaces;
    Script *m_previous = nullptr;
};

} // namespace KtNetInterfaces
