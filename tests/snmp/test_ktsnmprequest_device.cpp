// The request engine against the simulated access point: reads over every SNMP version, table
// walks and their ends, writes with item maps.
#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmprequest.h"
#include "modulesupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSys = QStringLiteral("1.3.6.1.2.1.1");
const QString kMssid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.9.2.1");
const QString kClients = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.2.1");

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

struct Collected {
    QVector<QStringList> rows;
    QVector<KtSNMPError> errors;
};

void collectErrors(KtSNMPRequest &request, Collected &out)
{
    request.statusCallback = [&out](const KtSNMPError &status) { out.errors.append(status); };
}

// Walks the whole table synchronously; each delivered row as the items' values.
bool walk(KtSNMPRequest &request, Collected &out, int limit = 5000)
{
    bool more = false;
    bool first = true;
    do {
        if (!request.ReadSync(first, &more))
            return false;
        first = false;
        if (more) {
            QStringList row;
            for (int i = 0; i < request.list.Count(); ++i)
                row << request.list.Item(i).value;
            out.rows.append(row);
        }
    } while (more && out.rows.size() < limit);
    return true;
}

class DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString(); }

    KtSNMPVarList systemList()
    {
        const KtSNMPVarItem table[] = {
            varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READWRITE, "sysName"),
            varItem(kSys + QStringLiteral(".7"), SYN_INTEGER, ACC_READONLY, "sysServices"),
            varItem(kSys + QStringLiteral(".2"), SYN_OBJECTID, ACC_READONLY, "sysObjectID"),
            {}};
        return KtSNMPVarList(table, SVT_SV, 0);
    }

    // The multi-SSID table: band and SSID index are the two keys of every row.
    KtSNMPVarList mssidList()
    {
        const KtSNMPVarItem table[] = {
            varItem(kMssid + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS, "band"),
            varItem(kMssid + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS, "index"),
            varItem(kMssid + QStringLiteral(".2"), SYN_INTEGER, ACC_READONLY, "state"),
            varItem(kMssid + QStringLiteral(".3"), SYN_DISPLAYSTR, ACC_READONLY, "ssid"),
            {}};
        return KtSNMPVarList(table, MVT_UMV, 2);
    }

    ApSim m_sim;
};

void expectScalars(KtSNMPRequest &request)
{
    Collected out;
    collectErrors(request, out);
    bool more = true;
    ASSERT_TRUE(request.ReadSync(true, &more));
    EXPECT_FALSE(more);
    EXPECT_TRUE(out.errors.isEmpty());
    EXPECT_EQ(request.list.Item(0).value, QStringLiteral("ap-bldg2-3f"));
    EXPECT_EQ(request.list.Item(1).value, QStringLiteral("2"));
    EXPECT_EQ(request.list.Item(2).value, QStringLiteral("1.3.6.1.4.1.32473.11.37.21"));
    EXPECT_EQ(request.list.Item(0).lastOid, kSys + QStringLiteral(".5.0"));
}

TEST_F(DeviceTest, ScalarGetOverV1)
{
    KtSNMPRequest request;
    aim(request, m_sim, 0);
    request.list = systemList();
    m_sim.clearLog();
    expectScalars(request);
    EXPECT_TRUE(logOf(m_sim, 1).value(0).startsWith(QStringLiteral("v1 get")));
}

TEST_F(DeviceTest, ScalarGetOverV2c)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = systemList();
    m_sim.clearLog();
    expectScalars(request);
    EXPECT_TRUE(logOf(m_sim, 1).value(0).startsWith(QStringLiteral("v2c get")));
}

TEST_F(DeviceTest, ScalarGetOverV3AuthPriv)
{
    KtSNMPRequest request;
    aim(request, m_sim, 3);
    request.list = systemList();
    m_sim.clearLog();
    expectScalars(request);
    EXPECT_TRUE(logOf(m_sim, 1).last().startsWith(QStringLiteral("v3 get")));
}

TEST_F(DeviceTest, ScalarGetOverV3AuthNoPrivAndNoAuth)
{
    KtSNMPRequest md5;
    aim(md5, m_sim, 3);
    md5.securityLevel = 2;
    md5.securityName = QStringLiteral("authnopriv");
    md5.privProtocol = 1;
    md5.list = systemList();
    expectScalars(md5);

    KtSNMPRequest none;
    aim(none, m_sim, 3);
    none.securityLevel = 1;
    none.securityName = QStringLiteral("noauth");
    none.authProtocol = 1;
    none.privProtocol = 1;
    none.list = systemList();
    expectScalars(none);
}

TEST_F(DeviceTest, ScalarGetOverV3WithSha)
{
    KtSNMPRequest sha;
    aim(sha, m_sim, 3);
    sha.securityLevel = 2;
    sha.securityName = QStringLiteral("authsha");
    sha.authProtocol = 3;
    sha.privProtocol = 1;
    sha.list = systemList();
    expectScalars(sha);

    // AES-128 privacy (privacy protocol 3) beside the DES of the launch parameters.
    KtSNMPRequest aes;
    aim(aes, m_sim, 3);
    aes.securityName = QStringLiteral("authsha");
    aes.authProtocol = 3;
    aes.privProtocol = 3;
    aes.list = systemList();
    expectScalars(aes);
}

TEST_F(DeviceTest, ScalarTheDeviceLacksIsVariableDoesNotExist)
{
    for (int version : {0, 1, 3}) {
        KtSNMPRequest request;
        aim(request, m_sim, version);
        const KtSNMPVarItem table[] = {
            varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READONLY),
            varItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.77.1"), SYN_INTEGER, ACC_READONLY),
            {}};
        request.list = KtSNMPVarList(table, SVT_SV, 0);
        Collected out;
        collectErrors(request, out);
        EXPECT_FALSE(request.ReadSync(true)) << "version " << version;
        ASSERT_EQ(out.errors.size(), 1) << "version " << version;
        EXPECT_EQ(out.errors.at(0).code, -102);
        EXPECT_EQ(out.errors.at(0).text, QStringLiteral("(SNMP) Variable does not exist!"));
        EXPECT_EQ(out.errors.at(0).errorIndex, 2);
        EXPECT_EQ(out.errors.at(0).serial, 1u);
        EXPECT_EQ(out.errors.at(0).agentAddress, QStringLiteral("127.0.0.1"));
        EXPECT_EQ(out.errors.at(0).agentPort, m_sim.port());
    }
}

// An answer whose type cannot hold the item's syntax (a number for a text, a text for a number,
// a text for an OID) gives the item no value instead of "0" or "", which a later write would
// send back to the device as a real setting.
TEST_F(DeviceTest, AnswerOfAnotherTypeGivesNoValue)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    const KtSNMPVarItem table[] = {
        varItem(kSys + QStringLiteral(".5"), SYN_INTEGER, ACC_READONLY, "sysName"),
        varItem(kSys + QStringLiteral(".7"), SYN_DISPLAYSTR, ACC_READONLY, "sysServices"),
        varItem(kSys + QStringLiteral(".1"), SYN_OBJECTID, ACC_READONLY, "sysDescr"),
        varItem(kSys + QStringLiteral(".2"), SYN_MACADDRESS, ACC_READONLY, "sysObjectID"),
        // Numbers of another kind, and bytes for another string syntax, are read as usual.
        varItem(kSys + QStringLiteral(".3"), SYN_UINTEGER, ACC_READONLY, "sysUpTime"),
        varItem(kSys + QStringLiteral(".4"), SYN_OCTETSTR, ACC_READONLY, "sysContact"),
        {}};
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    Collected out;
    collectErrors(request, out);
    ASSERT_TRUE(request.ReadSync(true));
    EXPECT_TRUE(out.errors.isEmpty());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(request.list.Item(i).value, QStringLiteral("(NULL)")) << "item " << i;
    bool ok = false;
    request.list.Item(4).value.toUInt(&ok);
    EXPECT_TRUE(ok) << request.list.Item(4).value.toStdString();
    EXPECT_TRUE(request.list.Item(5).value.startsWith(QStringLiteral("4E6574")))
        << request.list.Item(5).value.toStdString();
}

TEST_F(DeviceTest, WalkDecodesBothKeysOfTheMultiSsidTable)
{
    for (int version : {1, 3}) {
        KtSNMPRequest request;
        aim(request, m_sim, version);
        request.list = mssidList();
        Collected out;
        collectErrors(request, out);
        ASSERT_TRUE(walk(request, out)) << "version " << version;
        EXPECT_TRUE(out.errors.isEmpty());
        ASSERT_EQ(out.rows.size(), 16);
        EXPECT_EQ(out.rows.at(0), (QStringList{"1", "1", "1", "Norvane-11a"}));
        EXPECT_EQ(out.rows.at(7), (QStringList{"1", "8", "0", ""}));
        EXPECT_EQ(out.rows.at(10), (QStringList{"2", "3", "1", "Norvane-Voice"}));
        EXPECT_EQ(out.rows.at(15).mid(0, 2), (QStringList{"2", "8"}));
        // The walk ends with every column done.
        EXPECT_EQ(request.list.Item(2).value, QStringLiteral("(NOTDONE)"));
        EXPECT_EQ(request.list.Item(3).value, QStringLiteral("(NOTDONE)"));
        // A key that is not read remembers where its row was.
        EXPECT_EQ(request.list.Item(0).lastOid, kMssid + QStringLiteral(".1.2.8"));
    }
}

TEST_F(DeviceTest, WalkAsksForAWholeRowPerRequest)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = mssidList();
    m_sim.clearLog();
    Collected out;
    ASSERT_TRUE(walk(request, out));
    const QStringList log = logOf(m_sim, 17);
    // 16 rows and the step that finds every column done.
    ASSERT_EQ(log.size(), 17);
    const QString firstStep = QStringLiteral("v2c getnext ") + kMssid + QStringLiteral(".2 ")
                              + kMssid + QStringLiteral(".3 ->");
    EXPECT_TRUE(log.at(0).startsWith(firstStep))
        << log.at(0).toStdString();
}

TEST_F(DeviceTest, WalkWhoseFirstGetNextLeavesTheTableDeliversNoRow)
{
    ASSERT_TRUE(
        m_sim.command(QStringLiteral("clear-rows mssid")).startsWith(QStringLiteral("ok")));
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = mssidList();
    Collected out;
    collectErrors(request, out);
    m_sim.clearLog();
    bool more = true;
    ASSERT_TRUE(request.ReadSync(true, &more));
    EXPECT_FALSE(more);
    EXPECT_TRUE(out.errors.isEmpty());
    EXPECT_EQ(request.list.Item(2).value, QStringLiteral("(NOTDONE)"));
    EXPECT_EQ(request.list.Item(3).value, QStringLiteral("(NOTDONE)"));
    EXPECT_EQ(logOf(m_sim, 1).size(), 1);
}

TEST_F(DeviceTest, V1WalkEndedByNoSuchNameIsANormalEnd)
{
    ASSERT_TRUE(
        m_sim.command(QStringLiteral("v1-nosuchname-end on")).startsWith(QStringLiteral("ok")));
    KtSNMPRequest request;
    aim(request, m_sim, 0);
    request.list = mssidList();
    Collected out;
    collectErrors(request, out);
    ASSERT_TRUE(walk(request, out));
    EXPECT_TRUE(out.errors.isEmpty());
    EXPECT_EQ(out.rows.size(), 16);
    const QString last = logOf(m_sim, 17).value(16);
    EXPECT_TRUE(last.contains(QStringLiteral("noSuchName"))) << last.toStdString();
}

TEST_F(DeviceTest, RepeatedOidEndsItsColumn)
{
    // The device answers a get-next on row 1.4 of the SSID column with that same cell.
    ASSERT_TRUE(m_sim.command(QStringLiteral("repeat ") + kMssid + QStringLiteral(".3.1.4"))
                    .startsWith(QStringLiteral("ok")));
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = mssidList();
    request.list.Item(2).access |= ACC_INVALID; // the SSID column alone
    Collected out;
    ASSERT_TRUE(walk(request, out, 100));
    ASSERT_EQ(out.rows.size(), 4);
    EXPECT_EQ(out.rows.at(3).mid(0, 2), (QStringList{"1", "4"}));
    EXPECT_EQ(request.list.Item(3).value, QStringLiteral("(NOTDONE)"));
}

TEST_F(DeviceTest, RepeatedOidEndsItsColumnForThatRowWhileOthersGoOn)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("repeat ") + kMssid + QStringLiteral(".3.1.4"))
                    .startsWith(QStringLiteral("ok")));
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = mssidList();
    Collected out;
    ASSERT_TRUE(walk(request, out, 100));
    ASSERT_EQ(out.rows.size(), 16);
    EXPECT_EQ(out.rows.at(4), (QStringList{"1", "5", "0", "(NOTDONE)"}));
    // The SSID column takes up again from the row the others are on.
    EXPECT_EQ(out.rows.at(10), (QStringList{"2", "3", "1", "Norvane-Voice"}));
}

TEST_F(DeviceTest, ColumnOneTakesColumnTenForItsOwnCharacterByCharacter)
{
    // A table with columns 1 and 10 only: the walk of column 1 runs on into column 10.
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("quirk.profile"));
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("table 1.3.6.1.4.1.32473.11.37.4.2.77.1 quirk\n"
               "column 1 integer ro\n"
               "column 10 integer ro\n"
               "row 1 11 101\n"
               "row 2 12 102\n"
               "end\n");
    file.close();
    ApSim sim({QStringLiteral("--profile"), profile});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();

    KtSNMPRequest request;
    aim(request, sim, 1);
    const KtSNMPVarItem table[] = {
        varItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.77.1.1"), SYN_INTEGER, ACC_READONLY),
        {}};
    request.list = KtSNMPVarList(table, MVT_UMV, 0);
    Collected out;
    ASSERT_TRUE(walk(request, out));
    QStringList values;
    for (const QStringList &row : out.rows)
        values << row.at(0);
    EXPECT_EQ(values, (QStringList{"11", "12", "101", "102"}));
}

TEST_F(DeviceTest, IndexShorterThanTheKeyCountIsABadKeyCount)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    const KtSNMPVarItem table[] = {
        varItem(kClients + QStringLiteral(".1"), SYN_INTEGER, ACC_READONLY),
        varItem(kClients + QStringLiteral(".3"), SYN_INTEGER, ACC_READONLY),
        varItem(kClients + QStringLiteral(".2"), SYN_MACADDRESS, ACC_READONLY),
        {}};
    request.list = KtSNMPVarList(table, MVT_FMV, 2); // the client table has one key
    try {
        request.ReadSync(true);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -514);
        EXPECT_EQ(e.text(), QStringLiteral("(KtSNMP++) Bad key count of SNMP variable list!"));
    }
}

TEST_F(DeviceTest, ContinuingAScalarReadIsRefused)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = systemList();
    try {
        request.ReadSync(false);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -510);
    }
}

TEST_F(DeviceTest, WriteWithItemMapSendsTheListedItemsWithTheirValuesAndRestoresTheList)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    const KtSNMPVarItem table[] = {
        varItem(kSys + QStringLiteral(".4"), SYN_DISPLAYSTR, ACC_READWRITE, "sysContact"),
        varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READWRITE, "sysName"),
        varItem(kSys + QStringLiteral(".6"), SYN_DISPLAYSTR, ACC_READWRITE | ACC_INVALID,
             "sysLocation"),
        {}};
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    request.list.Item(0).value = QStringLiteral("old contact");
    request.list.Item(1).value = QStringLiteral("old name");
    request.list.Item(2).value = QStringLiteral("old location");
    const KtSNMPVarList before(request.list);

    m_sim.clearLog();
    Collected out;
    collectErrors(request, out);
    const QStringList values{QStringLiteral("New location"), QStringLiteral("New contact")};
    ASSERT_TRUE(request.WriteSync(QStringLiteral("2,0"), values));
    EXPECT_TRUE(out.errors.isEmpty());
    const QStringList log = logOf(m_sim, 1);
    ASSERT_EQ(log.size(), 1);
    const QString line = log.at(0);
    EXPECT_TRUE(line.startsWith(QStringLiteral("v2c set ") + kSys + QStringLiteral(".4.0=")))
        << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("New contact"))) << line.toStdString();
    EXPECT_TRUE(line.contains(kSys + QStringLiteral(".6.0="))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("New location"))) << line.toStdString();
    EXPECT_FALSE(line.contains(kSys + QStringLiteral(".5.0"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("-> noError"))) << line.toStdString();

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(request.list.Item(i).value, before.Item(i).value) << i;
        EXPECT_EQ(request.list.Item(i).access, before.Item(i).access) << i;
    }
    EXPECT_EQ(m_sim.command(QStringLiteral("get ") + kSys + QStringLiteral(".4.0")),
              QStringLiteral("ok displaystr \"New contact\""));
    EXPECT_EQ(m_sim.command(QStringLiteral("get ") + kSys + QStringLiteral(".5.0")),
              QStringLiteral("ok displaystr \"ap-bldg2-3f\""));
}

TEST_F(DeviceTest, WriteOfATableRowEncodesTheKeysIntoTheOid)
{
    KtSNMPRequest request;
    aim(request, m_sim, 3);
    request.list = mssidList();
    request.list.Item(2).access = ACC_READWRITE;
    request.list.Item(3).access = ACC_READWRITE;
    request.list.Item(0).value = QStringLiteral("2");
    request.list.Item(1).value = QStringLiteral("6");
    request.list.Item(2).value = QStringLiteral("1");
    request.list.Item(3).value = QStringLiteral("Norvane-Lobby");
    m_sim.clearLog();
    ASSERT_TRUE(request.WriteSync());
    const QString line = logOf(m_sim, 1).value(0);
    EXPECT_TRUE(line.startsWith(QStringLiteral("v3 set ") + kMssid + QStringLiteral(".2.2.6=")))
        << line.toStdString();
    EXPECT_TRUE(line.contains(kMssid + QStringLiteral(".3.2.6="))) << line.toStdString();

    KtSNMPRequest check;
    aim(check, m_sim, 1);
    check.list = mssidList();
    Collected out;
    ASSERT_TRUE(walk(check, out));
    EXPECT_EQ(out.rows.at(13), (QStringList{"2", "6", "1", "Norvane-Lobby"}));
}

TEST_F(DeviceTest, ErrorStatusOfAWriteIsReportedWithItsText)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("error ") + kSys + QStringLiteral(".5.0 19"))
                    .startsWith(QStringLiteral("ok")));
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.list = systemList();
    request.list.Item(0).value = QStringLiteral("x");
    Collected out;
    collectErrors(request, out);
    EXPECT_FALSE(request.WriteSync());
    ASSERT_EQ(out.errors.size(), 1);
    EXPECT_EQ(out.errors.at(0).code, -119);
    EXPECT_EQ(out.errors.at(0).text,
              QStringLiteral("(SNMP) Cannot download the overdue firmware!"));
    EXPECT_EQ(out.errors.at(0).errorIndex, 1);
}

TEST_F(DeviceTest, ReadsGoWithTheReadCommunityAndWritesWithTheWriteCommunity)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.writeCommunity = QStringLiteral("guess");
    request.timeout = 20;
    request.list = systemList();
    Collected out;
    collectErrors(request, out);
    ASSERT_TRUE(request.ReadSync(true));
    request.list.Item(0).value = QStringLiteral("x");
    // The device does not answer a community it does not know.
    EXPECT_FALSE(request.WriteSync());
    ASSERT_EQ(out.errors.size(), 1);
    EXPECT_EQ(out.errors.at(0).code, -405);
    EXPECT_EQ(out.errors.at(0).text, QStringLiteral("(SNMPClass) SNMP request timed out!"));
}

TEST_F(DeviceTest, HostNameIsResolved)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.address = QStringLiteral("localhost");
    request.list = systemList();
    expectScalars(request);
}

TEST_F(DeviceTest, UnresolvableAddressSendsNothing)
{
    KtSNMPRequest request;
    aim(request, m_sim, 1);
    request.address = QStringLiteral("no-such-host.invalid");
    request.list = systemList();
    m_sim.clearLog();
    try {
        request.ReadSync(true);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -509);
        EXPECT_EQ(e.text(), QStringLiteral("(KtSNMP++) Invalid IP Address or DNS name!"));
    }
    EXPECT_TRUE(m_sim.log().isEmpty());
}

} // namespace
