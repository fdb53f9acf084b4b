// Every profile loads and serves what it is for: the facts the module's windows decide on
// (firmware text, capabilities, absent variables, full or empty slot tables), read back with
// net-snmp's tools.
#include "apsim.h"
#include "snmptools.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString profileDir()
{
    return qEnvironmentVariable("QRN_SOURCE_DIR") + QStringLiteral("/sim/profiles");
}

QStringList profileNames()
{
    QStringList names;
    const QStringList files = QDir(profileDir()).entryList({QStringLiteral("*.profile")},
                                                          QDir::Files, QDir::Name);
    for (const QString &file : files)
        names << file.chopped(int(qstrlen(".profile")));
    return names;
}

const QString kAbsent = QStringLiteral("absent");

// The value text of one variable ("INTEGER: 3", "STRING: \"v1.30\"") or kAbsent.
QString read(const ApSim &sim, const QString &oid)
{
    SnmpResult result = runSnmpTool(QStringLiteral("snmpget"),
                                    v2c() + QStringList{target(sim.port()), oid});
    const QString value = valueOf(result, oid);
    if (value.startsWith(QStringLiteral("No Such")))
        return kAbsent;
    return value;
}

// The values of one table column, in walk order.
QStringList column(const ApSim &sim, const QString &columnOid)
{
    SnmpResult walk = runSnmpTool(QStringLiteral("snmpbulkwalk"),
                                  v2c() + QStringList{target(sim.port()), columnOid});
    QStringList values;
    for (const QString &line : walk.lines()) {
        const QString value = line.section(QStringLiteral(" = "), 1);
        // an empty walk ends with the tool's own get of the root, answered "No Such ..."
        if (!value.startsWith(QStringLiteral("No Such")))
            values << value;
    }
    return values;
}

class ApSimProfileLoads : public ::testing::TestWithParam<QString>
{
};

TEST_P(ApSimProfileLoads, ServesTheSystemGroupAndTheStatusLed)
{
    ApSim sim({QStringLiteral("--profile"), GetParam()});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    EXPECT_EQ(read(sim, QStringLiteral("1.3.6.1.2.1.1.2.0")),
              QStringLiteral("OID: .1.3.6.1.4.1.32473.11.37.21"));
    EXPECT_TRUE(read(sim, vendorOid("4.4.4.0")).startsWith(QStringLiteral("INTEGER: ")));
    EXPECT_TRUE(read(sim, vendorOid("4.4.1.1.1.0")).startsWith(QStringLiteral("STRING: \"v")));
}

// Whatever channel list a window fills its channel box from (normal, turbo or WDS lists), the
// channel it offers is one the device takes.
TEST_P(ApSimProfileLoads, EveryListedChannelCanBeChosen)
{
    ApSim sim({QStringLiteral("--profile"), GetParam()});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    for (const char *band : {"1", "2"}) {
        const QString channel = vendorOid("4.1.1.1.3.") + QLatin1String(band);
        const QString radioChannel = vendorOid("4.2.3.1.2.") + QLatin1String(band);
        if (read(sim, channel) == kAbsent)
            continue;
        QSet<QString> channels;
        for (const char *list : {"4", "6", "7", "8", "9", "10"}) {
            const QString text = read(sim, vendorOid("4.1.1.1.") + QLatin1String(list) +
                                               QLatin1Char('.') + QLatin1String(band));
            if (text == kAbsent)
                continue;
            ASSERT_TRUE(text.startsWith(QStringLiteral("STRING: \""))) << qPrintable(text);
            const QString numbers = text.mid(9).chopped(1);
            for (const QString &number : numbers.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                channels.insert(number);
        }
        EXPECT_FALSE(channels.isEmpty()) << band;
        for (const QString &number : channels) {
            const SnmpResult r = runSnmpTool(
                QStringLiteral("snmpset"),
                v2c(QStringLiteral("tesmira")) +
                    QStringList{target(sim.port()), channel, QStringLiteral("i"), number,
                                radioChannel, QStringLiteral("i"), number});
            EXPECT_TRUE(r.ok()) << "band " << band << " channel " << qPrintable(number) << ": "
                                << qPrintable(r.err);
        }
    }
}

// The same for the data rates the radio performance window offers.
TEST_P(ApSimProfileLoads, EveryListedDataRateCanBeChosen)
{
    ApSim sim({QStringLiteral("--profile"), GetParam()});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    for (const char *band : {"1", "2"}) {
        const QString rate = vendorOid("4.2.3.1.4.") + QLatin1String(band);
        if (read(sim, rate) == kAbsent)
            continue;
        QSet<QString> rates;
        for (const char *list : {"5", "25"}) {
            const QString text = read(sim, vendorOid("4.2.3.1.") + QLatin1String(list) +
                                               QLatin1Char('.') + QLatin1String(band));
            if (text == kAbsent)
                continue;
            ASSERT_TRUE(text.startsWith(QStringLiteral("STRING: \""))) << qPrintable(text);
            for (const QString &entry :
                 text.mid(9).chopped(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                rates.insert(entry);
        }
        EXPECT_FALSE(rates.isEmpty()) << band;
        for (const QString &entry : rates) {
            const SnmpResult r = runSnmpTool(
                QStringLiteral("snmpset"),
                v2c(QStringLiteral("tesmira")) +
                    QStringList{target(sim.port()), rate, QStringLiteral("s"), entry});
            EXPECT_TRUE(r.ok()) << "band " << band << " rate " << qPrintable(entry) << ": "
                                << qPrintable(r.err);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllProfiles, ApSimProfileLoads, ::testing::ValuesIn(profileNames()),
                         [](const ::testing::TestParamInfo<QString> &row) {
                             return QString(row.param)
                                 .replace(QLatin1Char('-'), QLatin1Char('_'))
                                 .toStdString();
                         });

struct Fact
{
    const char *profile;
    const char *oid;      // below the vendor subtree, or a full OID starting with "1.3.6.1.2"
    const char *expected; // value text as snmpget prints it, or "absent"
};

void PrintTo(const Fact &fact, std::ostream *os)
{
    *os << fact.profile << ' ' << fact.oid << " -> " << fact.expected;
}

class ApSimProfileFact : public ::testing::TestWithParam<Fact>
{
};

TEST_P(ApSimProfileFact, VariableReadsAsTheProfileSays)
{
    const Fact &fact = GetParam();
    ApSim sim({QStringLiteral("--profile"), QString::fromLatin1(fact.profile)});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QString oid = QString::fromLatin1(fact.oid).startsWith(QStringLiteral("1.3.6.1."))
                            ? QString::fromLatin1(fact.oid)
                            : vendorOid(fact.oid);
    EXPECT_EQ(read(sim, oid), QString::fromUtf8(fact.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ApSimProfileFact,
    ::testing::Values(
        // the healthy device
        Fact{"default", "4.4.1.1.1.0", "STRING: \"v2.00\""},
        Fact{"default", "4.4.1.1.2.0", "Hex-STRING: 00 0F 3D FA 6D B1 "},
        Fact{"default", "4.1.2.2.0", "IpAddress: 192.168.0.50"},
        Fact{"default", "4.1.2.3.0", "IpAddress: 255.255.255.0"},
        Fact{"default", "4.99.1.1.1.1", "INTEGER: 127"},
        Fact{"default", "4.99.1.1.1.2", "INTEGER: 127"},
        Fact{"default", "4.99.1.1.9.0", "INTEGER: 1"},
        Fact{"default", "4.99.1.1.7.0", "INTEGER: 1"},
        Fact{"default", "4.99.1.1.6.0", "STRING: \"US\""},
        Fact{"default", "4.99.1.1.2.1", "INTEGER: 3"},
        Fact{"default", "4.4.4.0", "INTEGER: 4033"},
        // stored WEP keys read back as one "*" per hex digit
        Fact{"default", "4.2.5.3.1.1.1.1", "STRING: \"**************************\""},
        // firmware variants
        Fact{"v130", "4.4.1.1.1.0", "STRING: \"v1.30\""},
        Fact{"v130", "4.99.1.1.7.0", "absent"},
        Fact{"v200-noinfo", "4.4.1.1.1.0", "STRING: \"v2.00\""},
        Fact{"v200-noinfo", "4.99.1.1.7.0", "absent"},
        Fact{"v210eu", "4.4.1.1.1.0", "STRING: \"v2.10eu\""},
        Fact{"v210eu", "4.99.1.1.2.1", "INTEGER: 3"},
        Fact{"gb", "4.99.1.1.6.0", "STRING: \"GB\""},
        // capabilities
        Fact{"mask31", "4.99.1.1.1.1", "INTEGER: 31"},
        Fact{"mask31", "4.99.1.1.1.2", "INTEGER: 31"},
        Fact{"turbo0", "4.99.1.1.2.1", "INTEGER: 0"},
        Fact{"turbo0", "4.4.2.1.3.1", "INTEGER: 2"},
        Fact{"turbo2", "4.99.1.1.2.2", "INTEGER: 2"},
        Fact{"turbo2", "4.2.3.1.11.1", "INTEGER: 2"},
        Fact{"noxr", "4.2.3.1.99.1", "absent"},
        Fact{"noxr", "4.2.3.1.14.2", "absent"},
        Fact{"nowdslist", "4.99.1.1.19.1", "INTEGER: 0"},
        Fact{"nowdslist", "4.1.1.1.8.2", "absent"},
        Fact{"nomssid", "4.99.1.1.9.0", "INTEGER: 0"},
        Fact{"nomssid", "4.2.9.2.1.2.2.2", "INTEGER: 0"},
        // radios
        Fact{"radios-off", "4.2.3.1.12.1", "INTEGER: 0"},
        Fact{"radios-off", "4.4.4.0", "INTEGER: 3073"},
        Fact{"single-radio", "4.1.1.1.1.1", "absent"},
        Fact{"single-radio", "4.1.1.1.1.2", "STRING: \"Norvane-11g\""},
        Fact{"single-radio", "4.99.1.1.1.1", "INTEGER: 0"},
        Fact{"single-radio", "4.2.4.3.1.3.2", "absent"},
        Fact{"single-radio", "4.2.5.3.1.1.1.1", "absent"},
        Fact{"single-radio", "4.4.4.0", "INTEGER: 3265"},
        // bridge
        Fact{"wds", "4.2.1.1.1.1", "INTEGER: 3"},
        Fact{"wds", "4.2.2.1.2.1.1", "Hex-STRING: 00 0F 3D FA 7C 21 "},
        Fact{"wds", "4.4.6.2.1.2.2", "Hex-STRING: 00 0F 3D FA 8E 07 "}));

// Slot tables keep their size; free slots hold the filler; the "full" profiles have none free.
struct SlotTable
{
    const char *profile;
    const char *keyColumn;  // column whose value tells a free slot
    const char *filler;
    int rows;
    int used;
};

void PrintTo(const SlotTable &table, std::ostream *os)
{
    *os << table.profile << ' ' << table.keyColumn;
}

class ApSimSlotTable : public ::testing::TestWithParam<SlotTable>
{
};

TEST_P(ApSimSlotTable, KeepsItsSizeWithFillersInFreeSlots)
{
    const SlotTable &table = GetParam();
    ApSim sim({QStringLiteral("--profile"), QString::fromLatin1(table.profile)});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QStringList values = column(sim, vendorOid(table.keyColumn));
    EXPECT_EQ(values.size(), table.rows);
    EXPECT_EQ(values.size() - values.count(QString::fromLatin1(table.filler)), table.used);
}

const char *const kFreeMac = "Hex-STRING: 00 00 00 00 00 00 ";

INSTANTIATE_TEST_SUITE_P(
    Profiles, ApSimSlotTable,
    ::testing::Values(SlotTable{"default", "4.2.7.3.1.1", "IpAddress: 0.0.0.0", 16, 2},
                      SlotTable{"dhcpfull", "4.2.7.3.1.1", "IpAddress: 0.0.0.0", 16, 16},
                      SlotTable{"default", "4.2.4.2.1.2.2", kFreeMac, 32, 3},
                      SlotTable{"default", "4.2.4.2.1.2.1", kFreeMac, 32, 0},
                      SlotTable{"filterfull", "4.2.4.2.1.2.1", kFreeMac, 32, 32},
                      SlotTable{"filterfull", "4.2.4.2.1.2.2", kFreeMac, 32, 32},
                      SlotTable{"default", "4.4.5.2.1.2", kFreeMac, 8, 6},
                      SlotTable{"default", "4.2.9.2.1.2", "INTEGER: 0", 16, 5},
                      SlotTable{"single-radio", "4.2.9.2.1.2.1", "INTEGER: 0", 0, 0},
                      SlotTable{"clients1000", "4.4.5.2.1.2", kFreeMac, 1000, 1000}));

TEST(ApSimClients1000, EveryStationHasItsOwnAddress)
{
    ApSim sim({QStringLiteral("--profile"), QStringLiteral("clients1000")});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QStringList macs = column(sim, vendorOid("4.4.5.2.1.2"));
    EXPECT_EQ(QSet<QString>(macs.begin(), macs.end()).size(), 1000);
}

// The generated profiles are the generator's output for the committed default profile.
TEST(ApSimGeneratedProfiles, MatchTheGenerator)
{
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {profileDir() + QStringLiteral("/make_profiles.py"), QStringLiteral("--out"),
                  out.path()});
    if (!python.waitForStarted(5000))
        GTEST_SKIP() << "python3 is not available";
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    for (const QString &name : {QStringLiteral("clients1000.profile"),
                               QStringLiteral("single-radio.profile")}) {
        QFile generated(out.filePath(name));
        QFile committed(profileDir() + QLatin1Char('/') + name);
        ASSERT_TRUE(generated.open(QIODevice::ReadOnly)) << qPrintable(name);
        ASSERT_TRUE(committed.open(QIODevice::ReadOnly)) << qPrintable(name);
        EXPECT_TRUE(generated.readAll() == committed.readAll())
            << qPrintable(name) << " is stale: run sim/profiles/make_profiles.py";
    }
}

} // namespace
