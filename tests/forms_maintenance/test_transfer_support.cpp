// What the transfer windows share: the PC's address on the device's network (from a scripted
// interface list, never this machine's), the server's start and its message, and the folder the
// device's files arrive in, end to end with the simulator sending its log.
#include "kttransfersupport.h"
#include "ktnetinterface.h"
#include "mainformtest.h"

#include <QFile>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <memory>

namespace {

using KtNetInterfaces::Script;

KtNetInterface down(const QString &address, const QString &netmask)
{
    KtNetInterface record = Script::up(address, netmask);
    record.up = 0;
    return record;
}

struct ChoiceRow
{
    const char *what;
    QString deviceAddress;
    QString deviceMask;
    QList<KtNetInterface> interfaces;
    QString chosen;   // empty: none
};

TEST(PCAddressChoice, FirstInterfaceUpOnTheDevicesNetwork)
{
    const QString mask24 = QStringLiteral("255.255.255.0");
    const QString mask25 = QStringLiteral("255.255.255.128");
    const ChoiceRow rows[] = {
        {"the same /25 half", "192.168.0.50", mask25, {Script::up("192.168.0.100", mask25)},
         "192.168.0.100"},
        {"the other /25 half", "192.168.0.50", mask25, {Script::up("192.168.0.200", mask25)},
         ""},
        {"the first of several matching",
         "10.1.2.3",
         "255.255.0.0",
         {Script::up("127.0.0.1", "255.0.0.0"), Script::up("10.1.9.9", "255.255.0.0"),
          Script::up("10.1.4.4", "255.255.0.0")},
         "10.1.9.9"},
        // Each side's network is taken with its own mask.
        {"a wider interface mask",
         "192.168.5.50",
         mask24,
         {Script::up("192.168.5.7", "255.255.0.0")},
         ""},
        {"a narrower interface mask",
         "192.168.0.50",
         "255.255.0.0",
         {Script::up("192.168.3.7", mask24)},
         ""},
        {"the same network under both masks",
         "192.168.0.50",
         "255.255.0.0",
         {Script::up("192.168.0.7", mask24)},
         "192.168.0.7"},
        {"an interface that is down is passed over",
         "192.168.0.50",
         mask24,
         {down("192.168.0.9", mask24), Script::up("192.168.0.10", mask24)},
         "192.168.0.10"},
        {"only a down interface", "192.168.0.50", mask24, {down("192.168.0.9", mask24)}, ""},
        {"no interfaces", "192.168.0.50", mask24, {}, ""},
        {"the device has not answered yet",
         "IPAddressEdit",
         "SubMaskEdit",
         {Script::up("192.168.0.9", mask24)},
         ""},
        {"an empty mask", "192.168.0.50", "", {Script::up("192.168.0.9", mask24)}, ""},
        {"the device on loopback", "127.0.0.50", "255.0.0.0",
         {Script::up("192.168.1.20", mask24), Script::up("127.0.0.1", "255.0.0.0")},
         "127.0.0.1"},
    };
    for (const ChoiceRow &row : rows) {
        SCOPED_TRACE(row.what);
        const Script script(row.interfaces);
        KtNetInterface records[KtMaxNetInterfaces];
        const int count = ListInterfaces(records);
        EXPECT_EQ(LocalAddressOnNetwork(row.deviceAddress, row.deviceMask, records, count),
                  row.chosen);

        KtDialogs::Script dialogs;
        QLineEdit edit;
        EXPECT_EQ(ChoosePCAddress(nullptr, &edit, row.deviceAddress, row.deviceMask),
                  !row.chosen.isEmpty());
        EXPECT_EQ(edit.text(), row.chosen);
        if (row.chosen.isEmpty()) {
            ASSERT_EQ(dialogs.messages().size(), 1);
            EXPECT_EQ(dialogs.messages().at(0).text,
                      QStringLiteral("Invalid Server IP Address or SNMP timed out!"));
            EXPECT_EQ(dialogs.messages().at(0).caption, QStringLiteral("QRN-7300XB"));
        } else {
            EXPECT_TRUE(dialogs.messages().isEmpty());
        }
    }
}

// Only the first ten interfaces count, as the system's list holds no more; a script ends with
// its scope.
TEST(PCAddressChoice, ScriptedListHoldsTenAndEndsWithItsScope)
{
    QList<KtNetInterface> eleven;
    for (int i = 1; i <= 11; ++i)
        eleven.append(Script::up(QStringLiteral("10.0.%1.1").arg(i), "255.255.255.0"));
    {
        const Script script(eleven);
        KtNetInterface records[KtMaxNetInterfaces];
        ASSERT_EQ(ListInterfaces(records), 10);
        EXPECT_EQ(LocalAddressOnNetwork("10.0.10.5", "255.255.255.0", records, 10), "10.0.10.1");
        EXPECT_EQ(LocalAddressOnNetwork("10.0.11.5", "255.255.255.0", records, 10), "");
        {
            const Script inner({});
            EXPECT_EQ(ListInterfaces(records), 0);
        }
        EXPECT_EQ(ListInterfaces(records), 10);
    }
    KtNetInterface records[KtMaxNetInterfaces];
    const int count = ListInterfaces(records);
    bool loopback = false;   // this PC's own list again
    for (int i = 0; i < count; ++i)
        loopback = loopback || records[i].address == QStringLiteral("127.0.0.1");
    EXPECT_TRUE(loopback);
}

TEST(TransferSupport, DeviceFilesArriveInTheDataFolder)
{
    const QString data = qEnvironmentVariable("QRN_DATA_DIR");
    ASSERT_FALSE(data.isEmpty());
    EXPECT_EQ(DeviceFilesFolder(), data + QStringLiteral("/"));
}

// A port another program holds: the window is told in the words it shows, and gets no server.
TEST(TransferSupport, ServerThatCannotListenIsReportedAsTheWindowShowsIt)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
    const quint16 port = holder.localPort();
    qputenv("QRN_TFTP_PORT", QByteArray::number(port));
    KtDialogs::Script dialogs;
    QWidget owner;
    EXPECT_EQ(StartTFTPServer(&owner, 3000, 3), nullptr);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages().at(0).text,
              QStringLiteral("TFTP Service Init Error:(KtTFTP) Fail to open socket!Please check "
                             "if the network is ready."));
    EXPECT_TRUE(owner.findChildren<KtTFTPServer *>().isEmpty());

    holder.close();
    KtTFTPServer *server = StartTFTPServer(&owner, 3000, 3);
    qunsetenv("QRN_TFTP_PORT");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->parent(), &owner);
    EXPECT_TRUE(server->isListening());
    EXPECT_EQ(server->msgTemplate().port, port);
    EXPECT_EQ(server->msgTemplate().timeout, 3000);
    EXPECT_EQ(server->maxRetries(), 3);

    // Nothing is served before the window names its file.
    QUdpSocket device;
    ASSERT_TRUE(device.bind(QHostAddress::LocalHost, 0));
    device.writeDatagram(QByteArray("\0\1fw.tfp\0octet\0", 15), QHostAddress::LocalHost, port);
    ASSERT_TRUE(processUntil([&device] { return device.hasPendingDatagrams(); }, 5000));
    EXPECT_EQ(device.receiveDatagram().data(), QByteArray("\0\5\0\1\0", 5));
}

// The log window's path with the simulator: the address comes from the main window's fields
// (the device moved onto loopback's network, so the simulator's client stays on loopback),
// and the log the device sends lands in the data folder, where the receipt names it.
class TransferWithDevice : public MainFormTest
{
protected:
    void SetUp() override
    {
        m_tftpPort = ApSim::freeUdpPort();
        m_sim = std::make_unique<ApSim>(
            QStringList{QStringLiteral("--tftp-port"), QString::number(m_tftpPort)});
        ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
        for (const char *line : {"set hIPAddress 127.0.0.50", "set hSubnetMask 255.0.0.0"})
            ASSERT_TRUE(m_sim->command(QString::fromLatin1(line)).startsWith(u"ok"));
        startAgainst(*m_sim);
    }
    void TearDown() override
    {
        qunsetenv("QRN_TFTP_PORT");
        MainFormTest::TearDown();
    }

    quint16 m_tftpPort = 0;
    std::unique_ptr<ApSim> m_sim;
};

TEST_F(TransferWithDevice, LogSentByTheDeviceArrivesInTheDataFolder)
{
    ASSERT_TRUE(processUntil(
        [this] { return m_form->IPAddressEdit->text() == QStringLiteral("127.0.0.50"); }, 15000))
        << m_form->IPAddressEdit->text().toStdString();
    const QString stale = DeviceFilesFolder() + QStringLiteral("LogFile.RD");
    writeFile(stale, "a log from another device\n");

    qputenv("QRN_TFTP_PORT", QByteArray::number(m_tftpPort));
    QWidget window;
    KtTFTPServer *server = StartTFTPServer(&window, 500, 3, DeviceFilesFolder());
    ASSERT_NE(server, nullptr);
    server->ExpectFile(QStringLiteral("LogFile.RD"), KtTFTPServer::DeviceWrites);

    const Script interfaces({Script::up("192.168.1.20", "255.255.255.0"),
                             Script::up("127.0.0.1", "255.0.0.0")});
    QLineEdit serverEdit;
    ASSERT_TRUE(ChoosePCAddress(&window, &serverEdit));
    EXPECT_EQ(serverEdit.text(), QStringLiteral("127.0.0.1"));

    // adTFTPServerIP, adLogFileName, adGetLog: what the log window writes.
    const QString base = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.11.");
    const KtSNMPVarItem table[] = {
        makeVarItem(base + u'4', QStringLiteral("adTFTPServerIP"), SYN_IPADDRESS, ACC_READWRITE),
        makeVarItem(base + u'5', QStringLiteral("adLogFileName"), SYN_DISPLAYSTR, ACC_READWRITE),
        makeVarItem(base + u'6', QStringLiteral("adGetLog"), SYN_INTEGER, ACC_READWRITE),
        {}};
    KtSNMPRequest request;
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    ASSERT_TRUE(request.WriteSync(QStringLiteral("0,1,2"),
                                  {serverEdit.text(), QStringLiteral("LogFile.RD"),
                                   QStringLiteral("1")}));

    ASSERT_TRUE(processUntil([server] { return !server->receivedFile().isEmpty(); }, 20000));
    EXPECT_EQ(server->receivedFile(), stale);
    QFile log(server->receivedFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray content = log.readAll();
    EXPECT_TRUE(content.contains("\t[SYS]")) << content.toStdString();
    EXPECT_FALSE(content.contains("another device"));
    server->Stop();
}

} // namespace
