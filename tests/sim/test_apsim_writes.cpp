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

// A get of an object the device has, without (or with another) instance, answers
// noSuchInstance; of an object it does not have, noSuchObject; SNMPv1 says noSuchName for both.
// The system group's scalars count as objects like the vendor ones.
TEST_F(ApSimWrites, MissingVariablesAnswerAsTheVersionWants)
{
    const QString noInstance = QStringLiteral("No Such Instance currently exists at this OID");
    const QString noObject = QStringLiteral("No Such Object available on this agent at this OID");
    const struct {
        QString oid;
        const QString &shown;
        const char *logged;
    } rows[] = {
        {vendorOid("4.4.1.1.1.99"), noInstance, "noSuchInstance"}, // firmware version .99
        {vendorOid("4.4.1.1.1"), noInstance, "noSuchInstance"},    // its object without .0
        {QStringLiteral("1.3.6.1.2.1.1.1"), noInstance, "noSuchInstance"}, // sysDescr
        {QStringLiteral("1.3.6.1.2.1.1.5.0.1"), noInstance, "noSuchInstance"},
        {vendorOid("4.4.5.2.1.2.99"), noInstance, "noSuchInstance"}, // a client row not there
        {QStringLiteral("1.3.6.1.2.1.1.99.0"), noObject, "noSuchObject"},
        {vendorOid("4.4.99.0"), noObject, "noSuchObject"},
        {vendorOid("4.4.1"), noObject, "noSuchObject"}, // a branch, not an object
    };
    for (const auto &row : rows) {
        m_sim.clearLog();
        SnmpResult r = runSnmpTool(QStringLiteral("snmpget"),
                                   v2c() + QStringList{target(m_sim.port()), row.oid});
        EXPECT_EQ(valueOf(r, row.oid), row.shown) << qPrintable(row.oid + ": " + r.out);
        EXPECT_EQ(logOf(m_sim, 1).value(0),
                  QStringLiteral("v2c get %1 -> noError %2(1)")
                      .arg(row.oid, QString::fromLatin1(row.logged)));
        r = runSnmpTool(QStringLiteral("snmpget"),
                        v1() + QStringList{target(m_sim.port()), row.oid});
        EXPECT_TRUE(r.err.contains(QStringLiteral("noSuchName"))) << qPrintable(r.err);
        EXPECT_TRUE(logOf(m_sim, 2).value(1).endsWith(QStringLiteral("-> noSuchName(1)")));
    }
}

// net-snmp refuses a set that carries a NULL value before the device's own checks: the wire
// says wrongType (SNMPv1: badValue) for the first such binding, and so does the request log.
TEST_F(ApSimWrites, NullValueIsLoggedAsTheRefusalNetSnmpSent)
{
    const struct {
        QStringList version;
        QStringList bindings;
        const char *shown;
        const char *logged;
    } rows[] = {
        {v2c(QStringLiteral("tesmira")), {kSysName, QStringLiteral("n"), QStringLiteral("x")},
         "wrongType", "v2c set 1.3.6.1.2.1.1.5.0=null -> wrongType(1)"},
        {v1(QStringLiteral("tesmira")), {kSysName, QStringLiteral("n"), QStringLiteral("x")},
         "badValue", "v1 set 1.3.6.1.2.1.1.5.0=null -> badValue(1)"},
        {v3AuthPriv(), {kSysName, QStringLiteral("n"), QStringLiteral("x")}, "wrongType",
         "v3 set 1.3.6.1.2.1.1.5.0=null -> wrongType(1)"},
        // The read community, and a good binding before it, do not change it.
        {v2c(), {kSysName, QStringLiteral("n"), QStringLiteral("x")}, "wrongType",
         "v2c set 1.3.6.1.2.1.1.5.0=null -> wrongType(1)"},
        {v2c(QStringLiteral("tesmira")),
         {kSysName, QStringLiteral("s"), QStringLiteral("fine"),
          QStringLiteral("1.3.6.1.2.1.1.4.0"), QStringLiteral("n"), QStringLiteral("x")},
         "wrongType",
         "v2c set 1.3.6.1.2.1.1.5.0=\"fine\" 1.3.6.1.2.1.1.4.0=null -> wrongType(2)"},
    };
    for (const auto &row : rows) {
        m_sim.clearLog();
        const SnmpResult r = set(row.version, row.bindings);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.err.contains(QLatin1String(row.shown))) << qPrintable(r.err);
        EXPECT_EQ(logOf(m_sim, 1).value(0), QString::fromLatin1(row.logged));
    }
    EXPECT_EQ(get(kSysName), QStringLiteral("STRING: \"ap-bldg2-3f\""));
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
