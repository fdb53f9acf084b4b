// Faults a test can inject through the control channel (or --fault at start), and the
// channel's own commands.
#include "apsim.h"
#include "snmptools.h"

#include <gtest/gtest.h>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysContact = QStringLiteral("1.3.6.1.2.1.1.4.0");
const QString kLed = vendorOid("4.4.4.0");
const QString kClientMac = vendorOid("4.4.5.2.1.2");

class ApSimFaults : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << qPrintable(m_sim.error()); }
    SnmpResult get(const QStringList &versionArgs, const QStringList &oids,
                   const QString &tool = QStringLiteral("snmpget"))
    {
        return runSnmpTool(tool, versionArgs + quick() + QStringList{target(m_sim.port())} + oids);
    }
    QString ok(const QString &line) { return m_sim.command(line); }
    ApSim m_sim;
};

TEST_F(ApSimFaults, SilentDeviceAnswersNothingButTheControlChannel)
{
    ASSERT_EQ(ok(QStringLiteral("silent 30")), QStringLiteral("ok"));
    EXPECT_FALSE(get(v2c(), {kSysName}).ok());
    EXPECT_EQ(ok(QStringLiteral("get sysName")), QStringLiteral("ok displaystr \"ap-bldg2-3f\""));
    ASSERT_EQ(ok(QStringLiteral("silent 0")), QStringLiteral("ok"));
    EXPECT_TRUE(get(v2c(), {kSysName}).ok());
    // Only the answered request is in the log.
    EXPECT_EQ(m_sim.log().size(), 1);
}

TEST_F(ApSimFaults, DropLosesTheNextRequestsOnly)
{
    ASSERT_EQ(ok(QStringLiteral("drop 2")), QStringLiteral("ok"));
    EXPECT_FALSE(get(v2c(), {kSysName}).ok());
    EXPECT_FALSE(get(v1(), {kSysName}).ok());
    EXPECT_TRUE(get(v2c(), {kSysName}).ok());
}

TEST_F(ApSimFaults, DelayedAnswersMissAShortTimeout)
{
    ASSERT_EQ(ok(QStringLiteral("delay 1500")), QStringLiteral("ok"));
    EXPECT_FALSE(get(v2c(), {kSysName}).ok());
    ASSERT_EQ(ok(QStringLiteral("delay 0")), QStringLiteral("ok"));
    EXPECT_TRUE(get(v2c(), {kSysName}).ok());
}

TEST_F(ApSimFaults, ChosenErrorStatusOnAnOidAndBelowIt)
{
    ASSERT_EQ(ok(QStringLiteral("error ") + kLed + QStringLiteral(" genErr")),
              QStringLiteral("ok"));
    SnmpResult r = get(v2c(), {kLed});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("genErr"))) << qPrintable(r.err);
    // A device-specific status, on a whole subtree.
    ASSERT_EQ(ok(QStringLiteral("error 1.3.6.1.2.1.1 19")), QStringLiteral("ok"));
    get(v1(), {kSysName});
    EXPECT_TRUE(m_sim.log().last().endsWith(QStringLiteral("-> status19(1)")));
    ASSERT_EQ(ok(QStringLiteral("error clear")), QStringLiteral("ok"));
    EXPECT_TRUE(get(v2c(), {kLed, kSysName}).ok());
}

TEST_F(ApSimFaults, RepeatedOidInAWalk)
{
    const QString row3 = kClientMac + QStringLiteral(".3");
    ASSERT_EQ(ok(QStringLiteral("repeat ") + row3), QStringLiteral("ok"));
    SnmpResult r = get(v2c(), {row3}, QStringLiteral("snmpgetnext"));
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_FALSE(valueOf(r, row3).isEmpty()) << qPrintable(r.out);
    ASSERT_EQ(ok(QStringLiteral("repeat clear")), QStringLiteral("ok"));
    r = get(v2c(), {row3}, QStringLiteral("snmpgetnext"));
    EXPECT_FALSE(valueOf(r, kClientMac + QStringLiteral(".4")).isEmpty()) << qPrintable(r.out);
}

TEST_F(ApSimFaults, MutedSubtreeNeverAnswersTheRestDoes)
{
    // A table the firmware never builds: a walk of it, a get below it and a request that
    // names it beside another variable all go unanswered and unlogged.
    const QString clientTable = vendorOid("4.4.5.2");
    ASSERT_EQ(ok(QStringLiteral("mute ") + clientTable), QStringLiteral("ok"));
    EXPECT_FALSE(get(v2c(), {kClientMac}, QStringLiteral("snmpgetnext")).ok());
    EXPECT_FALSE(get(v2c(), {kClientMac + QStringLiteral(".1")}).ok());
    EXPECT_FALSE(get(v1(), {kSysName, kClientMac + QStringLiteral(".1")}).ok());
    EXPECT_TRUE(get(v2c(), {kSysName, kLed}).ok());
    EXPECT_EQ(m_sim.log().size(), 1) << qPrintable(m_sim.log().join(u'\n'));
    ASSERT_EQ(ok(QStringLiteral("mute clear")), QStringLiteral("ok"));
    EXPECT_TRUE(get(v2c(), {kClientMac + QStringLiteral(".1")}).ok());
    ASSERT_EQ(ok(QStringLiteral("mute clients-nowhere")).left(6), QStringLiteral("error "));
}

TEST_F(ApSimFaults, V1WalkEndedWithNoSuchName)
{
    // The last row of the client table's MAC column: get-next would move on to column 3.
    const QString lastRow = kClientMac + QStringLiteral(".8");
    SnmpResult r = get(v1(), {lastRow}, QStringLiteral("snmpgetnext"));
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    ASSERT_EQ(ok(QStringLiteral("v1-nosuchname-end on")), QStringLiteral("ok"));
    r = get(v1(), {lastRow}, QStringLiteral("snmpgetnext"));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("noSuchName"))) << qPrintable(r.err);
    // Inside the column, and for v2c, nothing changes.
    EXPECT_TRUE(get(v1(), {kClientMac + QStringLiteral(".2")}, QStringLiteral("snmpgetnext")).ok());
    EXPECT_TRUE(get(v2c(), {lastRow}, QStringLiteral("snmpgetnext")).ok());
}

TEST_F(ApSimFaults, RejectedCommunityAndUser)
{
    ASSERT_EQ(ok(QStringLiteral("reject-community varnok")), QStringLiteral("ok"));
    EXPECT_FALSE(get(v2c(), {kSysName}).ok());
    EXPECT_TRUE(get(v2c(QStringLiteral("tesmira")), {kSysName}).ok());
    ASSERT_EQ(ok(QStringLiteral("accept-community varnok")), QStringLiteral("ok"));
    EXPECT_TRUE(get(v2c(), {kSysName}).ok());

    ASSERT_EQ(ok(QStringLiteral("reject-user authpriv")), QStringLiteral("ok"));
    SnmpResult r = get(v3AuthPriv(), {kSysName});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("Unknown user name"))) << qPrintable(r.err);
    ASSERT_EQ(ok(QStringLiteral("accept-user authpriv")), QStringLiteral("ok"));
    EXPECT_TRUE(get(v3AuthPriv(), {kSysName}).ok());
}

TEST_F(ApSimFaults, SetAndGetThroughTheControlChannel)
{
    EXPECT_EQ(ok(QStringLiteral("set ") + kSysContact + QStringLiteral(" \"Night shift\"")),
              QStringLiteral("ok"));
    EXPECT_EQ(valueOf(get(v2c(), {kSysContact}), kSysContact),
              QStringLiteral("STRING: \"Night shift\""));
    EXPECT_EQ(ok(QStringLiteral("set stLED 0x0103")), QStringLiteral("ok"));
    EXPECT_EQ(ok(QStringLiteral("get ") + kLed), QStringLiteral("ok integer 259"));
    EXPECT_EQ(ok(QStringLiteral("row clients 9 9 00AABBCCDDEE 2 6 50 0 \"Lab guest\"")),
              QStringLiteral("ok"));
    EXPECT_EQ(ok(QStringLiteral("get ") + kClientMac + QStringLiteral(".9")),
              QStringLiteral("ok octetstr 00AABBCCDDEE"));
    // No request reached the device through the control channel.
    EXPECT_EQ(m_sim.log().size(), 1);
    ok(QStringLiteral("log clear"));
    EXPECT_TRUE(m_sim.log().isEmpty());
}

TEST_F(ApSimFaults, BadControlCommandsAreRefused)
{
    for (const char *line : {"fly away", "silent soon", "error 1.3.6.1.2.1.1.5.0 sometimes",
                             "set sysName", "set stLED high", "get 1.3.6.1.9.9.9",
                             "reject-user nobody-known", "row nosuchtable 1 1"})
        EXPECT_TRUE(ok(QLatin1String(line)).startsWith(QStringLiteral("error ")))
            << line << ": " << qPrintable(ok(QLatin1String(line)));
}

TEST(ApSimFaultsAtStart, FaultOptionAppliesBeforeTheFirstRequest)
{
    ApSim sim({QStringLiteral("--fault"), QStringLiteral("error 1.3.6.1.2.1.1.5.0 noAccess")});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    SnmpResult r = runSnmpTool(QStringLiteral("snmpget"),
                               v2c() + QStringList{target(sim.port()), kSysName});
    EXPECT_TRUE(r.err.contains(QStringLiteral("noAccess"))) << qPrintable(r.err);
}

} // namespace
