// Command variables make the simulated device act: restart and factory reset take it off the
// air for a while, transfer commands fetch and send files through a real TFTP server, the
// rogue AP commands change its lists and stLED follows the radios.
#include "apsim.h"
#include "snmptools.h"
#include "testenv.h"
#include "tftpserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysUpTime = QStringLiteral("1.3.6.1.2.1.1.3.0");
const QString kRestart = vendorOid("4.3.2.1.0");
const QString kFactoryDefault = vendorOid("4.3.2.2.0");
const QString kRemoteServer = vendorOid("4.3.3.1.0");
const QString kRemoteFile = vendorOid("4.3.3.2.0");
const QString kTftpCommand = vendorOid("4.3.3.4.0");
const QString kUpgradeCommand = vendorOid("4.3.3.5.0");
const QString kFirmware = vendorOid("4.4.1.1.1.0");
const QString kLed = vendorOid("4.4.4.0");
const QString kRadioA = vendorOid("4.2.3.1.12.1");
const QString kRadioG = vendorOid("4.2.3.1.12.2");
const QString kLogServer = vendorOid("4.2.11.4.0");
const QString kLogFile = vendorOid("4.2.11.5.0");
const QString kGetLog = vendorOid("4.2.11.6.0");
const QString kSntpServer = vendorOid("4.3.5.6.1.0");
const QString kSntpFile = vendorOid("4.3.5.6.2.0");
const QString kSntpGetList = vendorOid("4.3.5.6.3.0");
const QString kRefreshG = vendorOid("4.2.8.1.1.1.2");
const QString kRogueDetect = vendorOid("4.2.10.4.1.1.0");
const QString kRogueAdd = vendorOid("4.2.10.4.1.2.0");
const QString kRogueDeleteFound = vendorOid("4.2.10.4.1.3.0");
const QString kFoundBssid = vendorOid("4.2.10.4.1.4.1.5");
const QString kKnownBssid = vendorOid("4.2.10.4.2.2.1.5");

qint64 ticksOf(const QString &value)
{
    return value.mid(value.indexOf(QLatin1Char('(')) + 1).section(QLatin1Char(')'), 0, 0)
        .toLongLong();
}

class ApSimCommands : public ::testing::Test
{
protected:
    explicit ApSimCommands(const QStringList &extra = {})
        // Two seconds of silence leave room for a slow start of the next tool on a busy machine.
        : m_sim(QStringList{QStringLiteral("--restart-seconds"), QStringLiteral("2"),
                            QStringLiteral("--scan-ms"), QStringLiteral("50")} +
                extra)
    {
    }
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << qPrintable(m_sim.error()); }

    SnmpResult set(const QStringList &bindings, const QStringList &extra = {})
    {
        return runSnmpTool(QStringLiteral("snmpset"), v2c(QStringLiteral("tesmira")) + extra +
                                                           QStringList{target(m_sim.port())} +
                                                           bindings);
    }
    SnmpResult get(const QStringList &oids, const QStringList &extra = {})
    {
        return runSnmpTool(QStringLiteral("snmpget"),
                           v2c() + extra + QStringList{target(m_sim.port())} + oids);
    }
    QString value(const QString &oid) { return valueOf(get({oid}), oid); }
    QStringList walk(const QString &oid)
    {
        QStringList oids;
        const SnmpResult r = runSnmpTool(QStringLiteral("snmpwalk"),
                                         v2c() + QStringList{target(m_sim.port()), oid});
        // Only instances below oid (an empty subtree answers with the OID itself).
        for (const QString &line : r.lines())
            if (line.startsWith(QLatin1Char('.') + oid + QLatin1Char('.')))
                oids.append(line);
        return oids;
    }
    // Polls until the device answers again (or 10 s pass).
    bool answersAgain()
    {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired())
            if (get({kSysUpTime}, quick()).ok())
                return true;
        return false;
    }

    ApSim m_sim;
};

TEST_F(ApSimCommands, RestartGoesSilentAndComesBackWithUpTimeRestarted)
{
    QThread::msleep(1200);
    const qint64 before = ticksOf(value(kSysUpTime));
    ASSERT_GE(before, 100);
    SnmpResult r = set({kRestart, QStringLiteral("i"), QStringLiteral("1")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_FALSE(get({kSysUpTime}, quick()).ok()) << "still answering during the restart";
    ASSERT_TRUE(answersAgain());
    EXPECT_LT(ticksOf(value(kSysUpTime)), before);
    // The command variable reads its idle value again.
    EXPECT_EQ(value(kRestart), QStringLiteral("INTEGER: 0"));
    // The control channel kept working all along, and the silent request was not logged.
    EXPECT_TRUE(m_sim.command(QStringLiteral("get sysName")).startsWith(QStringLiteral("ok")));
}

TEST_F(ApSimCommands, FactoryResetRestoresTheProfileValues)
{
    ASSERT_TRUE(set({kSysName, QStringLiteral("s"), QStringLiteral("renamed")}).ok());
    ASSERT_TRUE(set({kFactoryDefault, QStringLiteral("i"), QStringLiteral("1")}).ok());
    ASSERT_TRUE(answersAgain());
    EXPECT_EQ(value(kSysName), QStringLiteral("STRING: \"ap-bldg2-3f\""));
}

TEST_F(ApSimCommands, UpgradeCommandRebootRestarts)
{
    ASSERT_TRUE(set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("4")}).ok());
    EXPECT_FALSE(get({kSysUpTime}, quick()).ok());
    EXPECT_TRUE(answersAgain());
}

TEST_F(ApSimCommands, LedFollowsTheRadios)
{
    const int led = value(kLed).section(QLatin1Char(' '), 1).toInt();
    ASSERT_EQ(led & 0x0300, 0x0300);
    ASSERT_TRUE(set({kRadioA, QStringLiteral("i"), QStringLiteral("0")}).ok());
    const int withoutA = value(kLed).section(QLatin1Char(' '), 1).toInt();
    EXPECT_EQ(withoutA, led & ~0x0300);
    ASSERT_TRUE(set({kRadioG, QStringLiteral("i"), QStringLiteral("0")}).ok());
    EXPECT_EQ(value(kLed).section(QLatin1Char(' '), 1).toInt(), led & ~0x03C0);
    // The LAN ports' lamps follow their link.
    ASSERT_EQ(m_sim.command(QStringLiteral("port 1 down")), QStringLiteral("ok"));
    EXPECT_EQ(value(kLed).section(QLatin1Char(' '), 1).toInt(), led & ~0x0FC0);
    ASSERT_EQ(m_sim.command(QStringLiteral("port 1 up")), QStringLiteral("ok"));
    EXPECT_EQ(value(kLed).section(QLatin1Char(' '), 1).toInt(), led & ~0x03C0);
    // A test may also fix the LED state directly.
    EXPECT_EQ(m_sim.command(QStringLiteral("set stLED 259")), QStringLiteral("ok"));
    EXPECT_EQ(value(kLed), QStringLiteral("INTEGER: 259"));
}

TEST_F(ApSimCommands, SiteSurveyNeedsTheRadio)
{
    EXPECT_TRUE(set({kRefreshG, QStringLiteral("i"), QStringLiteral("1")}).ok());
    ASSERT_TRUE(set({kRadioG, QStringLiteral("i"), QStringLiteral("0")}).ok());
    SnmpResult r = set({kRefreshG, QStringLiteral("i"), QStringLiteral("1")});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("genErr"))) << qPrintable(r.err);
}

TEST_F(ApSimCommands, RogueApsMoveBetweenTheLists)
{
    ASSERT_TRUE(set({kRogueDetect, QStringLiteral("i"), QStringLiteral("1")}).ok());
    const QStringList found = walk(kFoundBssid);
    const QStringList known = walk(kKnownBssid);
    ASSERT_GE(found.size(), 2);
    const QString firstMac = found.first().section(QStringLiteral(" = "), 1);

    ASSERT_TRUE(set({kRogueAdd, QStringLiteral("i"), QStringLiteral("1")}).ok());
    const QStringList knownAfter = walk(kKnownBssid);
    ASSERT_EQ(knownAfter.size(), known.size() + 1);
    EXPECT_EQ(knownAfter.last().section(QStringLiteral(" = "), 1), firstMac);
    EXPECT_EQ(walk(kFoundBssid).size(), found.size() - 1);

    // A row that is not there: the device refuses and nothing moves.
    SnmpResult r = set({kRogueAdd, QStringLiteral("i"), QStringLiteral("1")});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("inconsistentValue"))) << qPrintable(r.err);
    EXPECT_EQ(walk(kKnownBssid).size(), known.size() + 1);

    ASSERT_TRUE(set({kRogueDeleteFound, QStringLiteral("i"), QStringLiteral("2")}).ok());
    EXPECT_EQ(walk(kFoundBssid).size(), found.size() - 2);
    // A new detection leaves out what is known now.
    ASSERT_TRUE(set({kRogueDetect, QStringLiteral("i"), QStringLiteral("1")}).ok());
    EXPECT_EQ(walk(kFoundBssid).size(), found.size() - 1);
}

class ApSimListsOnRequest : public ApSimCommands
{
protected:
    ApSimListsOnRequest() : ApSimCommands({QStringLiteral("--lists-on-request")}) {}
};

// A manager that reads the client or survey list without asking the device to build it first
// finds it empty.
TEST_F(ApSimListsOnRequest, ListsAppearWhenAskedFor)
{
    const QString clientMacs = vendorOid("4.4.5.2.1.2");
    const QString surveyBssids = vendorOid("4.2.8.2.1.5");
    EXPECT_TRUE(walk(clientMacs).isEmpty());
    EXPECT_TRUE(walk(surveyBssids).isEmpty());

    ASSERT_TRUE(set({vendorOid("4.4.5.1.1.1.1"), QStringLiteral("i"), QStringLiteral("1")}).ok());
    EXPECT_GE(walk(clientMacs).size(), 2);

    ASSERT_TRUE(set({kRefreshG, QStringLiteral("i"), QStringLiteral("1")}).ok());
    const QStringList survey = walk(surveyBssids);
    ASSERT_FALSE(survey.isEmpty());
    for (const QString &line : survey)
        EXPECT_TRUE(line.startsWith(QLatin1Char('.') + surveyBssids + QStringLiteral(".2.")))
            << qPrintable(line);

    // A restart forgets them again.
    ASSERT_EQ(m_sim.command(QStringLiteral("restart 0")), QStringLiteral("ok"));
    EXPECT_TRUE(walk(clientMacs).isEmpty());
}

class ApSimTransfers : public ApSimCommands
{
protected:
    ApSimTransfers()
        : ApSimCommands({QStringLiteral("--tftp-port"), QString::number(s_server->port())})
    {
    }
    // One TFTP server for the suite, serving a folder the tests fill and read.
    static void SetUpTestSuite()
    {
        s_root = std::make_unique<QTemporaryDir>();
        s_server = std::make_unique<TestTftpServer>();
        s_skip = s_server->start(s_root->path());
    }
    static void TearDownTestSuite()
    {
        s_server.reset();
        s_root.reset();
    }
    void SetUp() override
    {
        if (!s_skip.isEmpty())
            GTEST_SKIP() << qPrintable(s_skip);
        ApSimCommands::SetUp();
    }

    static QString path(const QString &name) { return s_root->filePath(name); }
    static void writeFile(const QString &name, const QByteArray &content)
    {
        ::writeFile(path(name), content);
    }
    static QByteArray readFile(const QString &name)
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    SnmpResult fetch(const QString &name)
    {
        return set({kRemoteServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"), kRemoteFile,
                    QStringLiteral("s"), name, kTftpCommand, QStringLiteral("i"),
                    QStringLiteral("2")});
    }

    static std::unique_ptr<QTemporaryDir> s_root;
    static std::unique_ptr<TestTftpServer> s_server;
    static QString s_skip;
};

std::unique_ptr<QTemporaryDir> ApSimTransfers::s_root;
std::unique_ptr<TestTftpServer> ApSimTransfers::s_server;
QString ApSimTransfers::s_skip;

TEST_F(ApSimTransfers, FirmwareIsFetchedAndInstalled)
{
    writeFile(QStringLiteral("newer.tfp"), "QRN-7300XB firmware image\nversion=v2.10\n");
    SnmpResult r = fetch(QStringLiteral("newer.tfp"));
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_EQ(value(kTftpCommand), QStringLiteral("INTEGER: 4"));
    r = set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("1")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_EQ(value(kFirmware), QStringLiteral("STRING: \"v2.10\""));
}

TEST_F(ApSimTransfers, OverdueFirmwareIsRefusedWithTheDeviceStatus)
{
    writeFile(QStringLiteral("older.tfp"), "QRN-7300XB firmware image\nversion=v1.30\n");
    ASSERT_TRUE(fetch(QStringLiteral("older.tfp")).ok());
    SnmpResult r = set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("1")});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(m_sim.log().last().endsWith(QStringLiteral(" -> status19(1)")))
        << qPrintable(m_sim.log().last());
    EXPECT_EQ(value(kFirmware), QStringLiteral("STRING: \"v2.00\""));
}

TEST_F(ApSimTransfers, RegionFirmwareComparesByItsVersionNumber)
{
    // A restricted-region firmware ("v2.10eu") refuses an older image and takes a newer one.
    ASSERT_EQ(m_sim.command(QStringLiteral("set stFirmwareVersion v2.10eu")), QStringLiteral("ok"));
    writeFile(QStringLiteral("v200.tfp"), "QRN-7300XB firmware image\nversion=v2.00\n");
    ASSERT_TRUE(fetch(QStringLiteral("v200.tfp")).ok());
    EXPECT_FALSE(set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("1")}).ok());
    EXPECT_TRUE(m_sim.log().last().endsWith(QStringLiteral(" -> status19(1)")))
        << qPrintable(m_sim.log().last());
    EXPECT_EQ(value(kFirmware), QStringLiteral("STRING: \"v2.10eu\""));

    writeFile(QStringLiteral("v220.tfp"), "QRN-7300XB firmware image\nversion=v2.20eu\n");
    ASSERT_TRUE(fetch(QStringLiteral("v220.tfp")).ok());
    ASSERT_TRUE(set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("1")}).ok());
    EXPECT_EQ(value(kFirmware), QStringLiteral("STRING: \"v2.20eu\""));
}

TEST_F(ApSimTransfers, MissingFileFailsTheTransferCommand)
{
    SnmpResult r = fetch(QStringLiteral("no-such-file.tfp"));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("genErr"))) << qPrintable(r.err);
    // Nothing was fetched, so there is nothing to install.
    EXPECT_FALSE(set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("1")}).ok());
}

TEST_F(ApSimTransfers, ConfigurationSavedAndRestored)
{
    ASSERT_TRUE(set({kRemoteServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"),
                     kRemoteFile, QStringLiteral("s"), QStringLiteral("saved.cfg")})
                    .ok());
    SnmpResult r = set({kTftpCommand, QStringLiteral("i"), QStringLiteral("3")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    const QByteArray saved = readFile(QStringLiteral("saved.cfg"));
    ASSERT_TRUE(saved.startsWith("# QRN-7300XB configuration")) << saved.left(80).constData();
    EXPECT_TRUE(saved.contains("1.3.6.1.2.1.1.5.0 \"ap-bldg2-3f\""));

    ASSERT_TRUE(set({kSysName, QStringLiteral("s"), QStringLiteral("renamed")}).ok());
    ASSERT_TRUE(fetch(QStringLiteral("saved.cfg")).ok());
    r = set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("2")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_EQ(value(kSysName), QStringLiteral("STRING: \"ap-bldg2-3f\""));
}

// A device whose client loses the file and still reports it sent: what a manager must not take
// for a saved configuration.
TEST_F(ApSimTransfers, LostPutIsAnsweredWithoutAFile)
{
    ASSERT_EQ(m_sim.command(QStringLiteral("lose-put on")), QStringLiteral("ok"));
    ASSERT_TRUE(set({kRemoteServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"),
                     kRemoteFile, QStringLiteral("s"), QStringLiteral("lost.cfg")})
                    .ok());
    SnmpResult r = set({kTftpCommand, QStringLiteral("i"), QStringLiteral("3")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lost.cfg"))));

    ASSERT_EQ(m_sim.command(QStringLiteral("faults clear")), QStringLiteral("ok"));
    ASSERT_TRUE(set({kTftpCommand, QStringLiteral("i"), QStringLiteral("3")}).ok());
    EXPECT_TRUE(readFile(QStringLiteral("lost.cfg")).startsWith("# QRN-7300XB configuration"));
}

TEST_F(ApSimTransfers, ForeignFileIsNoConfiguration)
{
    writeFile(QStringLiteral("photo.jpg"), "\xff\xd8\xff\xe0 not a configuration");
    ASSERT_TRUE(set({kSysName, QStringLiteral("s"), QStringLiteral("kept")}).ok());
    ASSERT_TRUE(fetch(QStringLiteral("photo.jpg")).ok());
    EXPECT_FALSE(set({kUpgradeCommand, QStringLiteral("i"), QStringLiteral("2")}).ok());
    EXPECT_EQ(value(kSysName), QStringLiteral("STRING: \"kept\""));
}

TEST_F(ApSimTransfers, SystemLogIsSentAsLogFile)
{
    SnmpResult r = set({kLogServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"), kLogFile,
                        QStringLiteral("s"), QStringLiteral("LogFile.RD"), kGetLog,
                        QStringLiteral("i"), QStringLiteral("1")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    // The file follows the answer; the simulator serves nothing else until it is sent.
    m_sim.log();
    QByteArray content;
    processUntil([&] { return (content = readFile(QStringLiteral("LogFile.RD"))).endsWith('\n'); },
                 10000);
    const QList<QByteArray> lines = content.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines.first().contains("\t[SYS]System started")) << lines.first().constData();
}

TEST_F(ApSimTransfers, TimeZoneListIsSentAsSntpFile)
{
    SnmpResult r = set({kSntpServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"),
                        kSntpFile, QStringLiteral("s"), QStringLiteral("SNTPFile.RD"),
                        kSntpGetList, QStringLiteral("i"), QStringLiteral("1")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    m_sim.log();
    QByteArray content;
    processUntil([&] { return (content = readFile(QStringLiteral("SNTPFile.RD"))).size() >= 150; },
                 10000);
    QList<QByteArray> lines = content.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 75);
    EXPECT_EQ(lines[13].trimmed(), QByteArray("1"));  // Eastern Time (US & Canada)
    EXPECT_EQ(lines[14].trimmed(), QByteArray("0"));  // Indiana (East)
}

// The log and the time-zone list go out after the command is answered: a manager that waits
// for the answer without serving its TFTP port (a blocking request) still gets the file.
class ApSimFilesAfterAnswer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The manager's TFTP port: bound, so the request lands here, but not served.
        ASSERT_TRUE(m_server.bind(QHostAddress::LocalHost, 0));
        m_sim = std::make_unique<ApSim>(QStringList{
            QStringLiteral("--tftp-port"), QString::number(m_server.localPort()),
            QStringLiteral("--tftp-timeout"), QStringLiteral("2")});
        ASSERT_TRUE(m_sim->start()) << qPrintable(m_sim->error());
    }
    SnmpResult set(const QStringList &bindings)
    {
        // One try with a long wait: the answer must not depend on the transfer.
        return runSnmpTool(QStringLiteral("snmpset"),
                           v2c(QStringLiteral("tesmira")) +
                               QStringList{QStringLiteral("-t"), QStringLiteral("20"),
                                           QStringLiteral("-r"), QStringLiteral("0"),
                                           target(m_sim->port())} +
                               bindings);
    }
    // The first request that reaches the manager's port.
    QByteArray request()
    {
        processUntil([&] { return m_server.hasPendingDatagrams(); }, 10000);
        if (!m_server.hasPendingDatagrams())
            return {};
        QByteArray datagram(int(m_server.pendingDatagramSize()), '\0');
        m_server.readDatagram(datagram.data(), datagram.size());
        return datagram;
    }

    QUdpSocket m_server;
    std::unique_ptr<ApSim> m_sim;
};

TEST_F(ApSimFilesAfterAnswer, LogCommandIsAnsweredBeforeTheLogIsSent)
{
    SnmpResult r = set({kLogServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"), kLogFile,
                        QStringLiteral("s"), QStringLiteral("LogFile.RD"), kGetLog,
                        QStringLiteral("i"), QStringLiteral("1")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_EQ(request(), QByteArray("\0\2LogFile.RD\0octet\0", 19));  // write request, binary
}

TEST_F(ApSimFilesAfterAnswer, TimeZoneListCommandIsAnsweredBeforeTheListIsSent)
{
    SnmpResult r = set({kSntpServer, QStringLiteral("a"), QStringLiteral("127.0.0.1"),
                        kSntpFile, QStringLiteral("s"), QStringLiteral("SNTPFile.RD"),
                        kSntpGetList, QStringLiteral("i"), QStringLiteral("1")});
    ASSERT_TRUE(r.ok()) << qPrintable(r.err);
    EXPECT_EQ(request(), QByteArray("\0\2SNTPFile.RD\0octet\0", 20));
}

TEST_F(ApSimFilesAfterAnswer, WithoutServerAddressTheCommandFails)
{
    SnmpResult r = set({kGetLog, QStringLiteral("i"), QStringLiteral("1")});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.err.contains(QStringLiteral("genErr"))) << qPrintable(r.err);
    r = set({kSntpGetList, QStringLiteral("i"), QStringLiteral("1")});
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(m_server.hasPendingDatagrams());
}

} // namespace
