// The address rules the LAN and DHCP windows share: the dotted address as a number, and the
// dynamic pool interval start <= address < start + range.
#include "networkchecks.h"

#include <gtest/gtest.h>

namespace {

TEST(AddressNumber, ReadsDecimalPartsMostSignificantFirst)
{
    const struct {
        const char *text;
        std::optional<quint32> number;
    } rows[] = {
        {"192.168.0.50", 0xC0A80032u},
        {"0.0.0.0", 0u},
        {"255.255.255.255", 0xFFFFFFFFu},
        // Leading zeros are decimal, not octal: the address check reads them so.
        {"192.168.0.020", 0xC0A80014u},
        {"010.0.0.1", 0x0A000001u},
        {"192.168.0.256", std::nullopt},
        {"192.168.0", std::nullopt},
        {"192.168.0.5.1", std::nullopt},
        {"192.168..5", std::nullopt},
        {"192.168.0.x", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(NetworkChecks::AddressNumber(QString::fromLatin1(row.text)), row.number);
    }
}

TEST(DynamicPool, CoversFromItsStartForItsRange)
{
    const struct {
        const char *address;
        const char *start;
        const char *range;
        bool covered;
    } rows[] = {
        {"192.168.0.149", "192.168.0.100", "50", true},
        {"192.168.0.150", "192.168.0.100", "50", false},
        {"192.168.0.100", "192.168.0.100", "50", true},
        {"192.168.0.99", "192.168.0.100", "50", false},
        // The interval crosses into the next /24 as numbers do.
        {"192.168.1.3", "192.168.0.250", "10", true},
        {"192.168.1.4", "192.168.0.250", "10", false},
        // An interval ending past 255.255.255.255 does not wrap round to cover low addresses.
        {"10.0.0.1", "255.255.255.200", "255", false},
        {"255.255.255.254", "255.255.255.200", "255", true},
        // A pool that could not be read covers nothing.
        {"192.168.0.120", "", "", false},
        {"192.168.0.120", "192.168.0.100", "", false},
        {"192.168.0.100", "192.168.0.100", "0", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.address) + " in " + row.start + " + " + row.range);
        EXPECT_EQ(NetworkChecks::InDynamicPool(QString::fromLatin1(row.address),
                                               QString::fromLatin1(row.start),
                                               QString::fromLatin1(row.range)),
                  row.covered);
    }
}

TEST(SameAddress, ComparesAddressesAsNumbersAndOtherTextsAsTexts)
{
    EXPECT_TRUE(NetworkChecks::SameAddress(QStringLiteral("192.168.0.020"),
                                           QStringLiteral("192.168.0.20")));
    EXPECT_FALSE(NetworkChecks::SameAddress(QStringLiteral("192.168.0.21"),
                                            QStringLiteral("192.168.0.20")));
    EXPECT_TRUE(NetworkChecks::SameAddress(QString(), QString()));
    EXPECT_FALSE(NetworkChecks::SameAddress(QStringLiteral("192.168.0.20"), QString()));
}

} // namespace
