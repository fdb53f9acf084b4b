// Writes are checked as the device checks them; a refused write changes nothing, not even the
// variables of the same request that were fine, and the request log shows what was asked.
#include "apsim.h"
#include "snmptools.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");
const QString kSysUpTime = QStringLiteral("1.3.6.1.2.1.1.3.0");
const QString kFirmware = vendorOid("4.4.1.1.1.0");
const QString kApModeA = vendorOid("4.2.1.1.1.1");        // enum 1..7
const QString kSsidA = vendorOid("4.1.1.1.1.1");          // size 1..32
const QString kIpAddress = vendorOid("4.1.2.2.0");

class ApSimWrites : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << qPrintable(m_sim.error()); }
    SnmpResult set(const QStringList &versionArgs, const QStringList &bindings)
    {
        return runSnmpTool(QStringLiteral("snmpset"),
                           versionArgs + QStringList{target(m_sim.port())} + bindings);
    }
    QString get(const QString &oid)
    {
        return valueOf(runSnmpTool(QStringLiteral("snmpget"),
                                   v2c() + QStringList{target(m_sim.port()), oid}),
                       oid);
    }
    ApSim m_sim;
};

struct RefusedWrite
{
    const char *name;
    QString oid;
    QString type;
    QString value;
    const char *v2Error;   // as snmpset prints it
    const char *v1Error;
};

class ApSimRefusedWrites : public ApSimWrites, public ::testing::WithParamInterface<RefusedWrite>
{
};

TEST_P(ApSimRefusedWrites, AnswersTheDeviceErrorAndKeepsTheValue)
{
    const RefusedWrite &w = GetParam();
    const QString before = get(w.oid);
    ASSERT_FALSE(before.isEmpty());
    SnmpResult r = set(v2c(QStringLiteral("tesmira")), {w.oid, w.type, w.value});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QLatin1String(w.v2Error))) << qPrintable(r.err);
    r = set(v1(QStringLiteral("tesmira")), {w.oid, w.type, w.value});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QLatin1String(w.v1Error))) << qPrintable(r.err);
    EXPECT_EQ(get(w.oid), before);
    const QStringList log = m_sim.log();
    ASSERT_GE(log.size(), 2);
    EXPECT_TRUE(log[1].startsWith(QStringLiteral("v2c set ") + w.oid + QLatin1Char('=')))
        << qPrintable(log[1]);
    EXPECT_TRUE(log[1].endsWith(QStringLiteral(" -> ") + QLatin1String(w.v2Error) +
                                QStringLiteral("(1)")))
        << qPrintable(log[1]);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ApSimRefusedWrites,
    ::testing::Values(
        RefusedWrite{"ReadOnly", kFirmware, QStringLiteral("s"), QStringLiteral("v9.99"),
                     "notWritable", "noSuchName"},
        RefusedWrite{"ReadOnlySystem", kSysDescr, QStringLiteral("s"), QStringLiteral("x"),
                     "notWritable", "noSuchName"},
        RefusedWrite{"WrongType", kSysName, QStringLiteral("i"), QStringLiteral("5"),
                     "wrongType", "badValue"},
        RefusedWrite{"EnumOutOfRange", kApModeA, QStringLiteral("i"), QStringLiteral("9"),
                     "wrongValue", "badValue"},
        RefusedWrite{"TooLong", kSsidA, QStringLiteral("s"),
                     QStringLiteral("an-ssid-longer-than-thirty-two-chars"), "wrongLength",
                     "badValue"},
        RefusedWrite{"Empty", kSsidA, QStringLiteral("s"), QString(), "wrongLength",
                     "badValue"},
        RefusedWrite{"AddressAsString", kIpAddress, QStringLiteral("s"),
                     QStringLiteral("10.0.0.1"), "wrongType", "badValue"}),
    [](const ::testing::TestParamInfo<RefusedWrite> &row) { return row.param.name; });

TEST_F(ApSimWrites, ARefusedWriteChangesNoneOfItsVariables)
{
    SnmpResult r = set(v2c(QStringLiteral("tesmira")),
                       {kSysName, QStringLiteral("s"), QStringLiteral("renamed"), kApModeA,
                        QStringLiteral("i"), QStringLiteral("3"), kFirmware, QStringLiteral("s"),
                        QStringLiteral("v9.99")});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("notWritable"))) << qPrintable(r.err);
    EXPECT_EQ(get(kSysName), QStringLiteral("STRING: \"ap-bldg2-3f\""));
    EXPECT_EQ(get(kApModeA), QStringLiteral("INTEGER: 1"));
    EXPECT_TRUE(m_sim.log().first().endsWith(QStringLiteral(" -> notWritable(3)")));
}

TEST_F(ApSimWrites, AcceptedWritesAreLoggedInOrderWithTheirValues)
{
    ASSERT_TRUE(set(v2c(QStringLiteral("tesmira")), {kApModeA, QStringLiteral("i"),
                                                     QStringLiteral("3")})
                    .ok());
    ASSERT_TRUE(set(v2c(QStringLiteral("tesmira")),
                    {kIpAddress, QStringLiteral("a"), QStringLiteral("10.1.2.3"), kSsidA,
                     QStringLiteral("s"), QStringLiteral("say \"hi\"")})
                    .ok());
    EXPECT_EQ(get(kIpAddress), QStringLiteral("IpAddress: 10.1.2.3"));
    const QStringList log = m_sim.log();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], QStringLiteral("v2c set ") + kApModeA + QStringLiteral("=3 -> noError"));
    EXPECT_EQ(log[1], QStringLiteral("v2c set ") + kIpAddress + QStringLiteral("=10.1.2.3 ") +
                          kSsidA + QStringLiteral("=\"say \\\"hi\\\"\" -> noError"));
    EXPECT_EQ(log[2], QStringLiteral("v2c get ") + kIpAddress + QStringLiteral(" -> noError"));
}

// A value with a line break must not split its log line (tests read the log line by line).
TEST_F(ApSimWrites, ControlCharactersStayOnTheirLogLine)
{
    ASSERT_TRUE(set(v2c(QStringLiteral("tesmira")),
                    {kSysName, QStringLiteral("s"), QStringLiteral("two\nlines")})
                    .ok());
    const QStringList log = m_sim.log();
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0], QStringLiteral("v2c set ") + kSysName +
                          QStringLiteral("=\"two\\x0Alines\" -> noError"));
    EXPECT_EQ(m_sim.command(QStringLiteral("get sysName")),
              QStringLiteral("ok displaystr \"two\\x0Alines\""));
}

TEST_F(ApSimWrites, MirroredVariablesShareOneValue)
{
    const QString hChannelG = vendorOid("4.1.1.1.3.2");
    const QString adChannelG = vendorOid("4.2.3.1.2.2");
    ASSERT_TRUE(set(v2c(QStringLiteral("tesmira")), {adChannelG, QStringLiteral("i"),
                                                     QStringLiteral("11")})
                    .ok());
    EXPECT_EQ(get(hChannelG), QStringLiteral("INTEGER: 11"));
    ASSERT_TRUE(set(v2c(QStringLiteral("tesmira")), {hChannelG, QStringLiteral("i"),
                                                     QStringLiteral("3")})
                    .ok());
    EXPECT_EQ(get(adChannelG), QStringLiteral("INTEGER: 3"));
    // The mirror keeps its own rules.
    EXPECT_FALSE(set(v2c(QStringLiteral("tesmira")), {adChannelG, QStringLiteral("i"),
                                                      QStringLiteral("12")})
                     .ok());
    EXPECT_EQ(get(hChannelG), QStringLiteral("INTEGER: 3"));
}

TEST_F(ApSimWrites, MaskedKeysReadAsStars)
{
    const QString key = vendorOid("4.2.5.3.1.1.1.1");
    const QString before = get(key);
    ASSERT_TRUE(before.startsWith(QStringLiteral("STRING: \"****"))) << qPrintable(before);
    ASSERT_TRUE(set(v2c(QStringLiteral("tesmira")), {key, QStringLiteral("s"),
                                                     QStringLiteral("0011223344")})
                    .ok());
    EXPECT_EQ(get(key), QStringLiteral("STRING: \"**********\""));
    EXPECT_EQ(m_sim.command(QStringLiteral("get ") + key),
              QStringLiteral("ok displaystr \"0011223344\""));
}

TEST_F(ApSimWrites, MissingVariablesAnswerAsTheVersionWants)
{
    const QString missing = vendorOid("4.4.1.1.1.99");
    SnmpResult r = runSnmpTool(QStringLiteral("snmpget"),
                               v2c() + QStringList{target(m_sim.port()), missing});
    EXPECT_TRUE(valueOf(r, missing).startsWith(QStringLiteral("No Such"))) << qPrintable(r.out);
    r = runSnmpTool(QStringLiteral("snmpget"), v1() + QStringList{target(m_sim.port()), missing});
    EXPECT_TRUE(r.err.contains(QStringLiteral("noSuchName"))) << qPrintable(r.err);
    EXPECT_TRUE(m_sim.log().last().endsWith(QStringLiteral("-> noSuchName(1)")));
}

TEST_F(ApSimWrites, SysUpTimeTicks)
{
    auto ticks = [this] {
        QString text = get(kSysUpTime);
        return text.mid(text.indexOf(QLatin1Char('(')) + 1).section(QLatin1Char(')'), 0, 0)
            .toLongLong();
    };
    const qint64 first = ticks();
    QThread::msleep(300);
    EXPECT_GE(ticks() - first, 20);
}

} // namespace
