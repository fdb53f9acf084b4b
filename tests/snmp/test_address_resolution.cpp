// The device address of the launch parameters as the engine sends to it: a dotted quad as
// typed, an IPv4-mapped IPv6 address as its IPv4 part, a host name resolved (here only names
// the hosts file knows, so that nothing leaves the machine), anything else refused.
#include "ktnetsnmpchannel.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *text;
    const char *ipv4; // nullptr: refused
};

const Case kCases[] = {
    {"127.0.0.1", "127.0.0.1"},
    {"  10.1.2.3 ", "10.1.2.3"},
    {"::ffff:192.168.0.10", "192.168.0.10"},
    {"localhost", "127.0.0.1"},
    {"::1", nullptr},
    {"fe80::1", nullptr},
    {"", nullptr},
    {"   ", nullptr},
};

TEST(AddressResolution, TextWithANulCharacterIsRefused)
{
    QString ipv4 = QStringLiteral("unchanged");
    const QString text = QStringLiteral("127.0.0.1") + QChar(0) + QStringLiteral("x");
    EXPECT_FALSE(KtNetSnmp::resolveAddress(text, &ipv4));
    EXPECT_EQ(ipv4, QStringLiteral("unchanged"));
}

TEST(AddressResolution, TextsGiveTheirIPv4AddressOrAreRefused)
{
    for (const Case &c : kCases) {
        QString ipv4 = QStringLiteral("unchanged");
        const bool ok = KtNetSnmp::resolveAddress(QString::fromLatin1(c.text), &ipv4);
        EXPECT_EQ(ok, c.ipv4 != nullptr) << c.text;
        EXPECT_EQ(ipv4, c.ipv4 ? QString::fromLatin1(c.ipv4) : QStringLiteral("unchanged"))
            << c.text;
    }
}

} // namespace
