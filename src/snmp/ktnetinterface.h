// The PC's own IPv4 interfaces, so that a window can pick the local address on the device's
// network (the address the device uses to reach the module's TFTP server).
#pragma once

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
