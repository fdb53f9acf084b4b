// Listing the PC's own IPv4 interfaces.
#include "ktnetinterface.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <deque>
#include <gtest/gtest.h>

namespace {

// A hand-built getifaddrs list.
class FakeList
{
public:
    void addIPv4(const char *address, const char *mask, unsigned int flags)
    {
        sockaddr_in &a = m_addresses.emplace_back();
        a.sin_family = AF_INET;
        inet_pton(AF_INET, address, &a.sin_addr);
        sockaddr_in &m = m_addresses.emplace_back();
        m.sin_family = AF_INET;
        inet_pton(AF_INET, mask, &m.sin_addr);
        add(reinterpret_cast<sockaddr *>(&a), reinterpret_cast<sockaddr *>(&m), flags);
    }
    void addIPv6(unsigned int flags)
    {
        sockaddr_in6 &a = m_addresses6.emplace_back();
        a.sin6_family = AF_INET6;
        add(reinterpret_cast<sockaddr *>(&a), nullptr, flags);
    }
    void addWithoutAddress(unsigned int flags) { add(nullptr, nullptr, flags); }

    const ifaddrs *head() const { return m_entries.empty() ? nullptr : &m_entries.front(); }

private:
    void add(sockaddr *address, sockaddr *mask, unsigned int flags)
    {
        ifaddrs &entry = m_entries.emplace_back();
        entry.ifa_name = const_cast<char *>("if");
        entry.ifa_addr = address;
        entry.ifa_netmask = mask;
        entry.ifa_flags = flags;
        if (m_entries.size() > 1)
            m_entries[m_entries.size() - 2].ifa_next = &entry;
    }

    std::deque<ifaddrs> m_entries;
    std::deque<sockaddr_in> m_addresses;
    std::deque<sockaddr_in6> m_addresses6;
};

TEST(NetInterfaces, OnlyIPv4EntriesWithAddressMaskAndFlags)
{
    FakeList list;
    list.addIPv4("127.0.0.1", "255.0.0.0", IFF_UP | IFF_LOOPBACK);
    list.addIPv6(IFF_UP);
    list.addWithoutAddress(IFF_UP);
    list.addIPv4("192.168.1.20", "255.255.255.0", IFF_UP | IFF_BROADCAST | IFF_MULTICAST);
    list.addIPv4("10.8.0.2", "255.255.255.255", IFF_POINTOPOINT);

    KtNetInterface records[KtMaxNetInterfaces];
    records[5].address = QStringLiteral("stale");
    ASSERT_EQ(ListInterfaces(list.head(), records), 3);

    EXPECT_EQ(records[0].address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(records[0].netmask, QStringLiteral("255.0.0.0"));
    EXPECT_EQ(records[0].up, 1);
    EXPECT_EQ(records[0].loopback, 1);
    EXPECT_EQ(records[0].broadcast, 0);

    EXPECT_EQ(records[1].address, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(records[1].netmask, QStringLiteral("255.255.255.0"));
    EXPECT_EQ(records[1].up, 1);
    EXPECT_EQ(records[1].broadcast, 1);
    EXPECT_EQ(records[1].multicast, 1);
    EXPECT_EQ(records[1].loopback, 0);
    EXPECT_EQ(records[1].pointToPoint, 0);

    EXPECT_EQ(records[2].address, QStringLiteral("10.8.0.2"));
    EXPECT_EQ(records[2].up, 0);
    EXPECT_EQ(records[2].pointToPoint, 1);

    // Records past the count are cleared, not left from an earlier call.
    EXPECT_TRUE(records[5].address.isEmpty());
}

TEST(NetInterfaces, MoreThanTenListsTheFirstTen)
{
    FakeList list;
    for (int i = 1; i <= 12; ++i)
        list.addIPv4(QByteArray("10.0.0." + QByteArray::number(i)).constData(), "255.0.0.0",
                     IFF_UP);
    KtNetInterface records[KtMaxNetInterfaces];
    ASSERT_EQ(ListInterfaces(list.head(), records), 10);
    EXPECT_EQ(records[0].address, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(records[9].address, QStringLiteral("10.0.0.10"));
}

TEST(NetInterfaces, EmptyListGivesNone)
{
    KtNetInterface records[KtMaxNetInterfaces];
    EXPECT_EQ(ListInterfaces(nullptr, records), 0);
}

// The PC always has its loopback interface up.
TEST(NetInterfaces, ThisPcListsItsLoopback)
{
    KtNetInterface records[KtMaxNetInterfaces];
    const int count = ListInterfaces(records);
    ASSERT_GE(count, 1);
    bool loopback = false;
    for (int i = 0; i < count; ++i)
        loopback = loopback || (records[i].loopback && records[i].address == "127.0.0.1");
    EXPECT_TRUE(loopback);
}

} // namespace
