// The simulated access point answers SNMPv1, v2c and v3 (USM) managers: net-snmp's own tools
// read and write it, and requests with unknown credentials go unanswered or are refused.
#include "apsim.h"
#include "snmptools.h"

#include <gtest/gtest.h>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");

QStringList v3(const QString &level, const QString &user, const QString &auth,
               const QString &priv)
{
    QStringList args{QStringLiteral("-v3"), QStringLiteral("-l"), level, QStringLiteral("-u"),
                     user};
    if (!auth.isEmpty())
        args += {QStringLiteral("-a"), auth, QStringLiteral("-A"), QStringLiteral("authpass1")};
    if (!priv.isEmpty())
        args += {QStringLiteral("-x"), priv, QStringLiteral("-X"), QStringLiteral("privpass1")};
    return args;
}

class ApSimProtocols : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << qPrintable(m_sim.error()); }
    QString host() const { return target(m_sim.port()); }
    ApSim m_sim;
};

TEST_F(ApSimProtocols, EveryVersionReadsTheSystemGroup)
{
    const QList<QStringList> credentials = {
        v1(), v2c(), v3AuthPriv(),
        v3(QStringLiteral("authPriv"), QStringLiteral("authsha"), QStringLiteral("SHA"),
           QStringLiteral("AES")),
        v3(QStringLiteral("authNoPriv"), QStringLiteral("authnopriv"), QStringLiteral("MD5"), {}),
        v3(QStringLiteral("noAuthNoPriv"), QStringLiteral("noauth"), {}, {})};
    for (const QStringList &creds : credentials) {
        SnmpResult r =
            runSnmpTool(QStringLiteral("snmpget"), creds + QStringList{host(), kSysDescr});
        ASSERT_TRUE(r.ok()) << qPrintable(creds.join(' ') + ": " + r.err);
        EXPECT_TRUE(valueOf(r, kSysDescr).startsWith(QStringLiteral("STRING: \"QRN-7300XB")))
            << qPrintable(r.out);
    }
    const QStringList log = m_sim.log();
    ASSERT_EQ(log.size(), credentials.size());
    EXPECT_TRUE(log[0].startsWith(QStringLiteral("v1 get 1.3.6.1.2.1.1.1.0 -> noError")));
    EXPECT_TRUE(log[1].startsWith(QStringLiteral("v2c get ")));
    EXPECT_TRUE(log[2].startsWith(QStringLiteral("v3 get ")));
}

TEST_F(ApSimProtocols, WriteCommunityAndV3UserWriteAndTheValueReadsBack)
{
    SnmpResult set = runSnmpTool(QStringLiteral("snmpset"),
                                 v1(QStringLiteral("tesmira")) +
                                     QStringList{host(), kSysName, QStringLiteral("s"),
                                                 QStringLiteral("by-v1")});
    ASSERT_TRUE(set.ok()) << qPrintable(set.err);
    SnmpResult get = runSnmpTool(QStringLiteral("snmpget"), v2c() + QStringList{host(), kSysName});
    EXPECT_EQ(valueOf(get, kSysName), QStringLiteral("STRING: \"by-v1\""));

    set = runSnmpTool(QStringLiteral("snmpset"),
                      v3AuthPriv() + QStringList{host(), kSysName, QStringLiteral("s"),
                                                 QStringLiteral("by v3 authPriv")});
    ASSERT_TRUE(set.ok()) << qPrintable(set.err);
    get = runSnmpTool(QStringLiteral("snmpget"), v3AuthPriv() + QStringList{host(), kSysName});
    EXPECT_EQ(valueOf(get, kSysName), QStringLiteral("STRING: \"by v3 authPriv\""));
    EXPECT_TRUE(m_sim.log().contains(
        QStringLiteral("v3 set 1.3.6.1.2.1.1.5.0=\"by v3 authPriv\" -> noError")));
}

TEST_F(ApSimProtocols, ReadCommunityCannotWrite)
{
    SnmpResult set = runSnmpTool(QStringLiteral("snmpset"),
                                 v2c() + QStringList{host(), kSysName, QStringLiteral("s"),
                                                     QStringLiteral("x")});
    EXPECT_FALSE(set.ok());
    EXPECT_TRUE(set.err.contains(QStringLiteral("noAccess"))) << qPrintable(set.err);
    SnmpResult get = runSnmpTool(QStringLiteral("snmpget"), v2c() + QStringList{host(), kSysName});
    EXPECT_EQ(valueOf(get, kSysName), QStringLiteral("STRING: \"ap-bldg2-3f\""));
}

TEST_F(ApSimProtocols, UnknownCommunityGetsNoAnswer)
{
    SnmpResult r = runSnmpTool(QStringLiteral("snmpget"),
                               v2c(QStringLiteral("public")) + quick() +
                                   QStringList{host(), kSysName});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("Timeout"))) << qPrintable(r.err);
    EXPECT_TRUE(m_sim.log().isEmpty());
}

TEST_F(ApSimProtocols, WrongV3PasswordIsRefused)
{
    QStringList creds = v3AuthPriv();
    creds[creds.indexOf(QStringLiteral("authpass1"))] = QStringLiteral("wrongpass1");
    SnmpResult r =
        runSnmpTool(QStringLiteral("snmpget"), creds + quick() + QStringList{host(), kSysName});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(m_sim.log().isEmpty());
}

TEST(ApSimOptions, UsersAndCommunitiesFromTheCommandLine)
{
    ApSim sim({QStringLiteral("--community-read"), QStringLiteral("lesen"),
               QStringLiteral("--community-write"), QStringLiteral("schreiben"),
               QStringLiteral("--user"), QStringLiteral("ops:SHA:opspass123:DES:opspriv123")});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QString host = target(sim.port());
    SnmpResult r = runSnmpTool(QStringLiteral("snmpget"),
                               v2c(QStringLiteral("lesen")) + QStringList{host, kSysName});
    EXPECT_TRUE(r.ok()) << qPrintable(r.err);
    r = runSnmpTool(QStringLiteral("snmpset"), v2c(QStringLiteral("schreiben")) +
                                                   QStringList{host, kSysName, QStringLiteral("s"),
                                                               QStringLiteral("w")});
    EXPECT_TRUE(r.ok()) << qPrintable(r.err);
    const QStringList ops = QStringLiteral("-v3 -l authPriv -u ops -a SHA -A opspass123 -x DES "
                                           "-X opspriv123")
                                .split(QLatin1Char(' '));
    r = runSnmpTool(QStringLiteral("snmpget"), ops + QStringList{host, kSysName});
    EXPECT_EQ(valueOf(r, kSysName), QStringLiteral("STRING: \"w\"")) << qPrintable(r.err);
    // The given user replaces the default ones.
    r = runSnmpTool(QStringLiteral("snmpget"),
                    v3AuthPriv() + quick() + QStringList{host, kSysName});
    EXPECT_FALSE(r.ok());
}

TEST(ApSimOptions, BadOptionsStopTheSimulatorWithAMessage)
{
    for (const QStringList &args :
         {QStringList{QStringLiteral("--user"), QStringLiteral("x:MD4:authpass1")},
          QStringList{QStringLiteral("--profile"), QStringLiteral("no-such-profile")},
          QStringList{QStringLiteral("--restart-seconds"), QStringLiteral("soon")}}) {
        ApSim sim(args);
        EXPECT_FALSE(sim.start(5000)) << qPrintable(args.join(' '));
        EXPECT_TRUE(sim.error().contains(QStringLiteral("qrn-apsim"))) << qPrintable(sim.error());
    }
}

} // namespace
