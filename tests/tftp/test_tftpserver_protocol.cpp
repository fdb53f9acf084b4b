// The server's side of the protocol, driven packet by packet by a client of our own: what it
// answers, what it refuses, what it reports, and how it survives loss, strangers and silence.
#include "tftptestsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tftptest;

namespace {

// What a datagram carries after its four header bytes.
QByteArray payloadOf(const QNetworkDatagram &datagram)
{
    return datagram.data().mid(4);
}

class TftpProtocol : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_top.isValid());
        ASSERT_TRUE(QDir(m_top.path()).mkdir(QStringLiteral("served")));
        m_served = m_top.filePath(QStringLiteral("served"));
        m_port = freeUdpPort();
        ASSERT_NE(m_port, 0);
        m_server.SetOnMessage(m_reports.handler());
    }

    void listen() { m_server.Listen(m_served, m_port); }

    // For tests that leave a transfer hanging: it gives up after half a second, so the server's
    // destruction does not wait for it.
    void quickGiveUp() { m_server.SetTimeout(50, 1); }
    QString served(const QString &name) const { return m_served + QStringLiteral("/") + name; }

    // Nothing arrives at the client for a while.
    static bool silent(UdpClient &client, int ms = 200)
    {
        return !client.receive(ms).isValid();
    }

    QTemporaryDir m_top;
    QString m_served;
    quint16 m_port = 0;
    Reports m_reports;     // outlives the server, whose sessions report until it is gone
    quint32 m_oddPort = 0;
    KtTFTPServer m_server;
};

TEST_F(TftpProtocol, ReadReportsEveryStep)
{
    const QByteArray content = patternBytes(700, 1);
    ASSERT_TRUE(writeFile(served(QStringLiteral("cfg.bin")), content));
    listen();
    UdpClient client;
    client.send(request(RRQ, "cfg.bin"), m_port);

    const QNetworkDatagram first = client.receive();
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(opcodeOf(first.data()), DATA);
    EXPECT_EQ(numberOf(first.data()), 1);
    EXPECT_NE(first.senderPort(), m_port);   // each session speaks from a port of its own
    client.send(packet(ACK, 1), static_cast<quint16>(first.senderPort()));
    const QNetworkDatagram second = client.receive();
    ASSERT_TRUE(second.isValid());
    EXPECT_EQ(numberOf(second.data()), 2);
    EXPECT_EQ(first.senderPort(), second.senderPort());
    EXPECT_EQ(payloadOf(first) + payloadOf(second), content);
    client.send(packet(ACK, 2), static_cast<quint16>(second.senderPort()));

    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));
    EXPECT_EQ(m_reports.codes(), (std::vector<int>{1, 2, 2, 3}));
    const KtTFTPMsg &last = m_reports.all.back();
    EXPECT_EQ(last.text, QStringLiteral("(KtTFTP) Success to transfer file."));
    EXPECT_EQ(m_reports.all.front().text,
              QStringLiteral("(KtTFTP) A TFTP session is connected..."));
    EXPECT_EQ(m_reports.all.at(1).text, QStringLiteral("(KtTFTP) File is transferring..."));
    EXPECT_EQ(last.totalBytes, 700);
    EXPECT_EQ(last.lastBlockBytes, 188);
    EXPECT_EQ(last.clientPort, client.port());
    EXPECT_EQ(last.port, m_port);
    EXPECT_EQ(last.mode, QStringLiteral("octet"));
    EXPECT_EQ(last.sessionNo, 0);
    EXPECT_EQ(last.retries, 1);

    // What the owner learns at each step.
    const KtTFTPMsg &connected = m_reports.all.at(0);
    EXPECT_EQ(connected.op, 1);
    EXPECT_EQ(connected.fileName, QStringLiteral("cfg.bin"));
    EXPECT_EQ(connected.clientIP, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(connected.clientPort, client.port());
    EXPECT_EQ(connected.serverIP, m_server.msgTemplate().serverIP);
    EXPECT_EQ(connected.totalBytes, 0);
    EXPECT_EQ(connected.lastBlockBytes, -1);
    EXPECT_EQ(connected.retries, 0);
    EXPECT_EQ(connected.timeout, 1000);
    const KtTFTPMsg &firstBlock = m_reports.all.at(1);
    EXPECT_EQ(firstBlock.totalBytes, 512);
    EXPECT_EQ(firstBlock.lastBlockBytes, 512);
    EXPECT_EQ(firstBlock.retries, 1);
    EXPECT_EQ(m_reports.all.at(2).totalBytes, 700);
    EXPECT_EQ(m_reports.all.at(2).lastBlockBytes, 188);
    EXPECT_TRUE(waitFor([this] { return m_server.sessions().isEmpty(); }, 3000));
}

TEST_F(TftpProtocol, WriteReportsEveryStep)
{
    listen();
    UdpClient client;
    client.send(request(WRQ, "LogFile.RD"), m_port);
    const QNetworkDatagram ack0 = client.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());
    client.send(packet(DATA, 1, patternBytes(512, 27)), sessionPort);
    ASSERT_EQ(client.receive().data(), packet(ACK, 1));
    client.send(packet(DATA, 2), sessionPort);   // an empty last block
    ASSERT_EQ(client.receive().data(), packet(ACK, 2));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));

    EXPECT_EQ(m_reports.codes(), (std::vector<int>{1, 2, 2, 3}));
    for (const KtTFTPMsg &msg : m_reports.all) {
        EXPECT_EQ(msg.op, 2);
        EXPECT_EQ(msg.fileName, QStringLiteral("LogFile.RD"));
        EXPECT_EQ(msg.retries, 0);   // acknowledgements are never sent again by the timer
    }
    EXPECT_EQ(m_reports.all.at(1).totalBytes, 0);        // ACK 0 sent
    EXPECT_EQ(m_reports.all.at(1).lastBlockBytes, -1);
    EXPECT_EQ(m_reports.all.at(2).totalBytes, 512);
    EXPECT_EQ(m_reports.all.at(2).lastBlockBytes, 512);
    EXPECT_EQ(m_reports.all.at(3).totalBytes, 512);
    EXPECT_EQ(m_reports.all.at(3).lastBlockBytes, 0);
    EXPECT_EQ(readFile(served(QStringLiteral("LogFile.RD"))).size(), 512);
}

// Every transfer is binary whatever mode the request names, and option extensions get no
// answer of their own: the first block comes at 512 bytes.
TEST_F(TftpProtocol, ModeAndOptionsAreIgnored)
{
    QByteArray content = patternBytes(600, 28);
    content.replace(10, 4, "\r\n\n\r");
    ASSERT_TRUE(writeFile(served(QStringLiteral("cfg.bin")), content));
    listen();
    UdpClient client;
    const QByteArray options("blksize\0" "1428\0" "tsize\0" "0\0", 18);
    client.send(request(RRQ, "cfg.bin", "netascii") + options, m_port);
    const QNetworkDatagram first = client.receive();
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(opcodeOf(first.data()), DATA);
    EXPECT_EQ(numberOf(first.data()), 1);
    EXPECT_EQ(payloadOf(first), content.left(512));
    client.send(packet(ACK, 1), static_cast<quint16>(first.senderPort()));
    const QNetworkDatagram second = client.receive();
    EXPECT_EQ(payloadOf(second), content.mid(512));
    client.send(packet(ACK, 2), static_cast<quint16>(first.senderPort()));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));
    EXPECT_EQ(m_reports.all.back().mode, QStringLiteral("netascii"));
}

// Within a transfer, whatever is not the next step is dropped without an answer: the wrong
// kind of packet, an ERROR from the device, a packet too short or of no known kind.
TEST_F(TftpProtocol, SessionsDropWhatTheyDoNotTake)
{
    const QByteArray content = patternBytes(700, 29);
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), content));
    m_server.SetTimeout(1000, 3);
    listen();
    const QList<QByteArray> junk = {packet(DATA, 1, "xyz"), request(RRQ, "fw.tfp"),
                                    request(WRQ, "fw.tfp"), errorPacket(0),
                                    QByteArray("\0\4\0", 3), packet(99, 1), QByteArray()};

    UdpClient reader;
    reader.send(request(RRQ, "fw.tfp"), m_port);
    const QNetworkDatagram first = reader.receive();
    ASSERT_TRUE(first.isValid());
    const auto readPort = static_cast<quint16>(first.senderPort());
    for (const QByteArray &bytes : junk)
        reader.send(bytes, readPort);
    EXPECT_TRUE(silent(reader));
    reader.send(packet(ACK, 1), readPort);
    const QNetworkDatagram second = reader.receive();
    EXPECT_EQ(payloadOf(first) + payloadOf(second), content);
    reader.send(packet(ACK, 2), readPort);
    ASSERT_TRUE(waitFor([this] { return m_reports.codes(0) == std::vector<int>{1, 2, 2, 3}; },
                        3000));

    UdpClient writer;
    writer.send(request(WRQ, "saved.cfg"), m_port);
    const QNetworkDatagram ack0 = writer.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto writePort = static_cast<quint16>(ack0.senderPort());
    for (const QByteArray &bytes : junk)
        if (opcodeOf(bytes) != DATA)
            writer.send(bytes, writePort);
    writer.send(packet(ACK, 1), writePort);
    writer.send(packet(DATA, 2, "out of order"), writePort);
    EXPECT_TRUE(silent(writer));
    writer.send(packet(DATA, 1, "the log"), writePort);
    EXPECT_EQ(writer.receive().data(), packet(ACK, 1));
    ASSERT_TRUE(waitFor([this] { return m_reports.codes(1) == std::vector<int>{1, 2, 3}; }, 3000));
    EXPECT_EQ(readFile(served(QStringLiteral("saved.cfg"))), QByteArray("the log"));
    for (int code : m_reports.codes())
        EXPECT_GE(code, 0);
}

TEST_F(TftpProtocol, RepeatedReadRequestCreatesNoSecondSession)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(100, 2)));
    quickGiveUp();
    listen();
    UdpClient client;
    client.send(request(RRQ, "fw.tfp"), m_port);
    client.send(request(RRQ, "fw.tfp"), m_port);
    const QNetworkDatagram data = client.receive();
    ASSERT_TRUE(data.isValid());
    EXPECT_TRUE(silent(client)) << "the repeated request started a second transfer";
    EXPECT_EQ(m_server.sessions().size(), 1);
    for (const KtTFTPMsg &msg : m_reports.all)
        EXPECT_EQ(msg.sessionNo, 0);

    // The same file for another requester is a transfer of its own.
    UdpClient other;
    other.send(request(RRQ, "fw.tfp"), m_port);
    ASSERT_TRUE(other.receive().isValid());
    EXPECT_EQ(m_server.sessions().size(), 2);
    EXPECT_EQ(m_reports.all.back().sessionNo, 1);
}

TEST_F(TftpProtocol, MissingFileGetsErrorOne)
{
    listen();
    UdpClient client;
    client.send(request(RRQ, "nothing.tfp"), m_port);
    const QNetworkDatagram answer = client.receive();
    EXPECT_EQ(answer.data(), errorPacket(1));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1102); }, 2000));
    EXPECT_EQ(m_reports.codes(), (std::vector<int>{1, -1102}));
    EXPECT_EQ(m_reports.all.back().text, QStringLiteral("(KtTFTP) File not found!"));
    EXPECT_TRUE(waitFor([this] { return m_server.sessions().isEmpty(); }, 2000));
}

// A named pipe in the folder must not freeze the module waiting for a writer.
TEST_F(TftpProtocol, NamedPipeIsNotServed)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(served(QStringLiteral("pipe"))).constData(), 0600), 0);
    listen();
    UdpClient client;
    client.send(request(RRQ, "pipe"), m_port);
    EXPECT_EQ(client.receive().data(), errorPacket(1));
    EXPECT_TRUE(waitFor([this] { return m_reports.has(-1102); }, 2000));
}

TEST_F(TftpProtocol, WrongOperationsAtTheListeningPortAreDropped)
{
    listen();
    UdpClient client;
    client.send(packet(DATA, 1, "xyz"), m_port);
    client.send(packet(ACK, 1), m_port);
    client.send(errorPacket(0), m_port);
    client.send(QByteArray("\0\1x", 3), m_port);   // shorter than any request
    client.send(request(9, "cfg.bin"), m_port);
    EXPECT_TRUE(silent(client, 300));
    EXPECT_TRUE(m_reports.all.empty());
    EXPECT_TRUE(m_server.sessions().isEmpty());
}

// --- Names that reach outside the served folder -------------------------------------------

struct NameRow
{
    const char *name;
    const char *requested;   // "@" stands for the temporary folder above the served one
};

class TftpOutsideNames : public TftpProtocol, public ::testing::WithParamInterface<NameRow>
{
protected:
    QByteArray requestedName() const
    {
        QString name = QString::fromLatin1(GetParam().requested);
        name.replace(QLatin1Char('@'), m_top.path());
        return QFile::encodeName(name);
    }
};

TEST_P(TftpOutsideNames, ReadIsRefused)
{
    ASSERT_TRUE(writeFile(m_top.filePath(QStringLiteral("victim.txt")), "secret\n"));
    ASSERT_TRUE(QDir(m_served).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(writeFile(served(QStringLiteral("sub/victim.txt")), "inner\n"));
    listen();
    UdpClient client;
    client.send(request(RRQ, requestedName()), m_port);
    EXPECT_EQ(client.receive().data(), errorPacket(1));
    EXPECT_TRUE(waitFor([this] { return m_reports.has(-1102); }, 2000));
}

TEST_P(TftpOutsideNames, WriteIsRefusedAndNothingIsTouched)
{
    ASSERT_TRUE(writeFile(m_top.filePath(QStringLiteral("victim.txt")), "secret\n"));
    ASSERT_TRUE(QDir(m_served).mkdir(QStringLiteral("sub")));
    listen();
    UdpClient client;
    client.send(request(WRQ, requestedName()), m_port);
    EXPECT_EQ(client.receive().data(), errorPacket(2));
    EXPECT_TRUE(waitFor([this] { return m_reports.has(-1103); }, 2000));
    EXPECT_EQ(m_reports.all.back().text, QStringLiteral("(KtTFTP) Access violation!"));
    EXPECT_EQ(readFile(m_top.filePath(QStringLiteral("victim.txt"))), QByteArray("secret\n"));
    const QStringList outside = QDir(m_top.path()).entryList(QDir::NoDotAndDotDot | QDir::Files);
    EXPECT_EQ(outside, QStringList{QStringLiteral("victim.txt")});
    EXPECT_TRUE(QDir(m_served + QStringLiteral("/sub")).isEmpty());
}

const NameRow kNameRows[] = {
    {"ParentFolder", "../victim.txt"},
    {"DeepParent", "../../../../../../../../../..@/victim.txt"},
    {"AbsolutePath", "@/victim.txt"},
    {"SubFolder", "sub/victim.txt"},
    {"BackslashParent", "..\\victim.txt"},
    {"DotDot", ".."},
    {"Dot", "."},
    {"Empty", ""},
};

INSTANTIATE_TEST_SUITE_P(Names, TftpOutsideNames, ::testing::ValuesIn(kNameRows),
                         [](const ::testing::TestParamInfo<NameRow> &rowInfo) {
                             return std::string(rowInfo.param.name);
                         });

// --- Strangers, losses and silence ----------------------------------------------------------

TEST_F(TftpProtocol, StrangerInReadSessionGetsUnknownTransferId)
{
    const QByteArray content = patternBytes(1000, 3);
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), content));
    listen();
    UdpClient device;
    UdpClient stranger;
    device.send(request(RRQ, "fw.tfp"), m_port);
    const QNetworkDatagram first = device.receive();
    ASSERT_TRUE(first.isValid());
    const auto sessionPort = static_cast<quint16>(first.senderPort());

    // An acknowledgement from another port must not move the transfer on.
    stranger.send(packet(ACK, 1), sessionPort);
    EXPECT_EQ(stranger.receive().data(), errorPacket(5));
    EXPECT_TRUE(silent(device));
    EXPECT_EQ(m_server.sessions().size(), 1);
    EXPECT_EQ(m_reports.codes(), (std::vector<int>{1, 2}));

    device.send(packet(ACK, 1), sessionPort);
    const QNetworkDatagram second = device.receive();
    ASSERT_TRUE(second.isValid());
    EXPECT_EQ(payloadOf(first) + payloadOf(second), content);
    device.send(packet(ACK, 2), sessionPort);
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 2000));
    EXPECT_EQ(m_reports.all.back().clientPort, device.port());
}

TEST_F(TftpProtocol, StrangerInWriteSessionCannotWriteIntoTheFile)
{
    listen();
    UdpClient device;
    UdpClient stranger;
    device.send(request(WRQ, "saved.cfg"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());

    stranger.send(packet(DATA, 1, "planted"), sessionPort);
    EXPECT_EQ(stranger.receive().data(), errorPacket(5));
    EXPECT_FALSE(m_reports.has(3));

    const QByteArray block1 = patternBytes(512, 4);
    const QByteArray block2 = patternBytes(40, 5);
    device.send(packet(DATA, 1, block1), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 1));
    device.send(packet(DATA, 2, block2), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 2));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 2000));
    EXPECT_EQ(readFile(served(QStringLiteral("saved.cfg"))), block1 + block2);
}

// The device repeats a DATA whose ACK it never saw; without a second ACK it would give up and
// the configuration or log it was sending would be lost.
TEST_F(TftpProtocol, LostAcknowledgementDoesNotLoseTheUpload)
{
    listen();
    UdpClient device;
    device.send(request(WRQ, "LogFile.RD"), m_port);
    QNetworkDatagram ack = device.receive();
    ASSERT_EQ(ack.data(), packet(ACK, 0));
    // ACK 0 lost: the device asks again and must hear ACK 0 again from the same session.
    device.send(request(WRQ, "LogFile.RD"), m_port);
    ack = device.receive();
    ASSERT_EQ(ack.data(), packet(ACK, 0));
    EXPECT_EQ(m_server.sessions().size(), 1);
    const auto sessionPort = static_cast<quint16>(ack.senderPort());

    const QByteArray block1 = patternBytes(512, 6);
    const QByteArray block2 = patternBytes(512, 7);
    const QByteArray block3 = patternBytes(100, 8);
    device.send(packet(DATA, 1, block1), sessionPort);
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));   // dropped on its way
    device.send(packet(DATA, 1, block1), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 1));
    device.send(packet(DATA, 2, block2), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 2));
    device.send(packet(DATA, 3, block3), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 3));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 2000));
    EXPECT_EQ(readFile(served(QStringLiteral("LogFile.RD"))), block1 + block2 + block3);
    EXPECT_EQ(m_reports.all.back().totalBytes, 1124);
}

// The acknowledgement of the last block lost: the device sends that block again after the
// session has ended, and must hear the acknowledgement again rather than a closed port.
TEST_F(TftpProtocol, LostLastAcknowledgementIsRepeatedAfterTheUploadEnds)
{
    m_server.SetTimeout(100, 3);   // the finished upload lingers for one second
    listen();
    UdpClient device;
    device.send(request(WRQ, "config.bin"), m_port);
    const QNetworkDatagram ack = device.receive();
    ASSERT_EQ(ack.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack.senderPort());
    const QByteArray last = patternBytes(200, 21);
    device.send(packet(DATA, 1, last), sessionPort);
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));   // lost on its way
    ASSERT_TRUE(waitFor([this] { return m_server.sessions().isEmpty(); }, 2000));
    EXPECT_EQ(m_server.dallyingCount(), 1);

    device.send(packet(DATA, 1, last), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 1));
    EXPECT_EQ(readFile(served(QStringLiteral("config.bin"))), last);   // not written twice
    EXPECT_EQ(m_reports.all.back().code, 3);
    // A stranger gets nothing from a finished upload.
    UdpClient stranger;
    stranger.send(packet(DATA, 1, last), sessionPort);
    EXPECT_TRUE(silent(stranger));

    ASSERT_TRUE(waitFor([this] { return m_server.dallyingCount() == 0; }, 3000));
    device.send(packet(DATA, 1, last), sessionPort);
    EXPECT_TRUE(silent(device));
}

TEST_F(TftpProtocol, StopEndsTheLingeringOfFinishedUploads)
{
    listen();   // the default interval: ten seconds of lingering
    UdpClient device;
    device.send(request(WRQ, "LogFile.RD"), m_port);
    const QNetworkDatagram ack = device.receive();
    ASSERT_EQ(ack.data(), packet(ACK, 0));
    device.send(packet(DATA, 1, patternBytes(10, 22)),
                static_cast<quint16>(ack.senderPort()));
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));
    ASSERT_TRUE(waitFor([this] { return m_server.dallyingCount() == 1; }, 2000));
    QElapsedTimer elapsed;
    elapsed.start();
    m_server.Stop();
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_EQ(m_server.dallyingCount(), 0);
}

TEST_F(TftpProtocol, StaleAcknowledgementIsIgnored)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(2000, 9)));
    m_server.SetTimeout(150, 1);   // gives up after 1.5 s, well after the last ACK below
    listen();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    const QNetworkDatagram first = device.receive();
    ASSERT_TRUE(first.isValid());
    const auto sessionPort = static_cast<quint16>(first.senderPort());
    device.send(packet(ACK, 0), sessionPort);
    device.send(packet(ACK, 7), sessionPort);
    EXPECT_TRUE(silent(device));
    device.send(packet(ACK, 1), sessionPort);
    EXPECT_EQ(numberOf(device.receive().data()), 2);
}

TEST_F(TftpProtocol, ReadTimesOutAfterTheRetries)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(600, 10)));
    m_server.SetTimeout(5, 3);   // 50 ms
    listen();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1113); }, 3000));
    int copies = 0;
    while (device.receive(100).isValid())
        ++copies;
    EXPECT_EQ(copies, 3);   // first sending and two retransmissions
    EXPECT_EQ(m_reports.all.back().code, -1113);
    EXPECT_EQ(m_reports.all.back().text, QStringLiteral("(KtTFTP) Timeout!"));
    EXPECT_EQ(m_reports.all.back().retries, 3);
    EXPECT_TRUE(m_server.sessions().isEmpty());
}

// A session keeps the interval and the retry limit it began with.
TEST_F(TftpProtocol, NewTimeoutAppliesToLaterSessionsOnly)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(600, 26)));
    m_server.SetTimeout(5, 3);
    listen();
    UdpClient first;
    first.send(request(RRQ, "fw.tfp"), m_port);
    ASSERT_TRUE(first.receive().isValid());
    m_server.SetTimeout(7, 1);
    EXPECT_EQ(m_server.msgTemplate().timeout, 7);
    EXPECT_EQ(m_server.maxRetries(), 1);
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1113); }, 3000));
    int copies = 1;
    while (first.receive(100).isValid())
        ++copies;
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(m_reports.all.back().timeout, 5);
    EXPECT_EQ(m_reports.all.back().retries, 3);

    m_reports.all.clear();
    UdpClient later;
    later.send(request(RRQ, "fw.tfp"), m_port);
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1113); }, 3000));
    copies = 0;
    while (later.receive(100).isValid())
        ++copies;
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(m_reports.all.back().timeout, 7);
    EXPECT_EQ(m_reports.all.back().retries, 1);
}

// --- Uploads that fail ---------------------------------------------------------------------
// What the device sent of a failed upload is thrown away: no partial file under the name, and
// a file of that name from before (an earlier backup, an earlier log) stays as it was.

TEST_F(TftpProtocol, WriteTimesOutWithoutData)
{
    m_server.SetTimeout(5, 3);
    listen();
    UdpClient device;
    device.send(request(WRQ, "saved.cfg"), m_port);
    ASSERT_EQ(device.receive().data(), packet(ACK, 0));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1113); }, 3000));
    EXPECT_TRUE(m_server.sessions().isEmpty());
    EXPECT_TRUE(QDir(m_served).isEmpty()) << QDir(m_served).entryList().join(u' ').toStdString();
}

TEST_F(TftpProtocol, UploadBrokenOffLeavesThePreviousFile)
{
    const QByteArray previous = "backup of last week\n";
    ASSERT_TRUE(writeFile(served(QStringLiteral("saved.cfg")), previous));
    m_server.SetTimeout(150, 3);   // time enough for the first block, then 1.5 s of silence
    listen();
    UdpClient device;
    device.send(request(WRQ, "saved.cfg"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    device.send(packet(DATA, 1, patternBytes(512, 16)), static_cast<quint16>(ack0.senderPort()));
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));
    // The device goes quiet after the first block.
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1113); }, 10000));
    EXPECT_EQ(m_reports.all.back().totalBytes, 512);
    EXPECT_EQ(readFile(served(QStringLiteral("saved.cfg"))), previous);
    EXPECT_EQ(QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("saved.cfg")});
}

TEST_F(TftpProtocol, CanceledUploadLeavesThePreviousFile)
{
    const QByteArray previous = "zones of yesterday\n";
    ASSERT_TRUE(writeFile(served(QStringLiteral("SNTPFile.RD")), previous));
    m_server.SetOnMessage([this](KtTFTPMsg &msg, bool &cancel) {
        m_reports.all.push_back(msg);
        cancel = msg.code == 2 && msg.totalBytes > 0;
    });
    listen();
    UdpClient device;
    device.send(request(WRQ, "SNTPFile.RD"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());
    device.send(packet(DATA, 1, patternBytes(512, 17)), sessionPort);
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));
    device.send(packet(DATA, 2, patternBytes(512, 18)), sessionPort);
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1114); }, 2000));
    EXPECT_TRUE(silent(device));
    EXPECT_EQ(readFile(served(QStringLiteral("SNTPFile.RD"))), previous);
    EXPECT_EQ(QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("SNTPFile.RD")});
}

// The whole file replaces the previous one of that name once its last block is in, and is
// there, complete, when the owner hears of the success.
TEST_F(TftpProtocol, FinishedUploadReplacesThePreviousFile)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("LogFile.RD")), patternBytes(3000, 19)));
    QByteArray seenAtSuccess;
    m_server.SetOnMessage([this, &seenAtSuccess](KtTFTPMsg &msg, bool &) {
        m_reports.all.push_back(msg);
        if (msg.code == 3)
            seenAtSuccess = readFile(served(QStringLiteral("LogFile.RD")));
    });
    listen();
    UdpClient device;
    device.send(request(WRQ, "LogFile.RD"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());
    const QByteArray block1 = patternBytes(512, 20);
    const QByteArray block2 = patternBytes(30, 23);
    device.send(packet(DATA, 1, block1), sessionPort);
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));
    EXPECT_EQ(readFile(served(QStringLiteral("LogFile.RD"))).size(), 3000);   // not yet
    device.send(packet(DATA, 2, block2), sessionPort);
    ASSERT_EQ(device.receive().data(), packet(ACK, 2));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 2000));
    EXPECT_EQ(seenAtSuccess, block1 + block2);
    EXPECT_EQ(readFile(served(QStringLiteral("LogFile.RD"))), block1 + block2);
    EXPECT_EQ(QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("LogFile.RD")});
}

// A named pipe or a device under the requested name is not written into: the module would
// block on the pipe, and the device could reach past the folder.
TEST_F(TftpProtocol, UploadOntoSomethingOtherThanAFileIsRefused)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(served(QStringLiteral("pipe"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), served(QStringLiteral("null.cfg"))));
    ASSERT_TRUE(QDir(m_served).mkdir(QStringLiteral("folder")));
    listen();
    for (const char *name : {"pipe", "null.cfg", "folder"}) {
        SCOPED_TRACE(name);
        m_reports.all.clear();
        UdpClient device;
        device.send(request(WRQ, name), m_port);
        EXPECT_EQ(device.receive().data(), errorPacket(2));
        EXPECT_TRUE(waitFor([this] { return m_reports.has(-1103); }, 2000));
    }
    struct stat pipeStat;
    ASSERT_EQ(::stat(QFile::encodeName(served(QStringLiteral("pipe"))).constData(), &pipeStat), 0);
    EXPECT_TRUE(S_ISFIFO(pipeStat.st_mode));
    EXPECT_TRUE(QFileInfo(served(QStringLiteral("null.cfg"))).isSymLink());
    EXPECT_TRUE(QDir(served(QStringLiteral("folder"))).isEmpty());
}

// Keeps the files this process writes below a size for as long as it lives, the way a full
// disk would; writing past it fails instead of raising a signal.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

// A failing disk must not pass for the end of the upload.
TEST_F(TftpProtocol, FailedDiskWriteEndsTheUploadUnacknowledged)
{
    const QByteArray previous = "configuration saved before\n";
    ASSERT_TRUE(writeFile(served(QStringLiteral("full.cfg")), previous));
    listen();
    UdpClient device;
    device.send(request(WRQ, "full.cfg"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());
    {
        FileSizeLimit full(700);
        ASSERT_TRUE(full.ok());
        device.send(packet(DATA, 1, patternBytes(512, 11)), sessionPort);
        ASSERT_EQ(device.receive().data(), packet(ACK, 1));
        device.send(packet(DATA, 2, patternBytes(512, 24)), sessionPort);
        ASSERT_TRUE(waitFor([this] { return m_reports.has(-1104); }, 2000));
    }
    EXPECT_EQ(m_reports.all.back().text, QStringLiteral("(KtTFTP) Disk full!"));
    EXPECT_EQ(m_reports.all.back().totalBytes, 512);
    EXPECT_FALSE(m_reports.has(3));
    EXPECT_TRUE(silent(device));
    EXPECT_EQ(readFile(served(QStringLiteral("full.cfg"))), previous);
    EXPECT_EQ(QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("full.cfg")});
}

// The last block does not fit: the device is not told the file was stored.
TEST_F(TftpProtocol, FailedDiskWriteOfTheLastBlockIsNotAcknowledged)
{
    listen();
    UdpClient device;
    device.send(request(WRQ, "short.cfg"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    {
        FileSizeLimit full(100);
        ASSERT_TRUE(full.ok());
        device.send(packet(DATA, 1, patternBytes(300, 25)),
                    static_cast<quint16>(ack0.senderPort()));
        ASSERT_TRUE(waitFor([this] { return m_reports.has(-1104); }, 2000));
    }
    EXPECT_FALSE(m_reports.has(3));
    EXPECT_TRUE(silent(device));
    EXPECT_TRUE(QDir(m_served).isEmpty()) << QDir(m_served).entryList().join(u' ').toStdString();
}

TEST_F(TftpProtocol, CancelFlagEndsTheTransfer)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(5000, 12)));
    std::vector<int> codes;
    m_server.SetOnMessage([&codes](KtTFTPMsg &msg, bool &cancel) {
        codes.push_back(msg.code);
        if (msg.code == 2)
            cancel = true;
    });
    listen();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    const QNetworkDatagram first = device.receive();
    ASSERT_TRUE(first.isValid());
    device.send(packet(ACK, 1), static_cast<quint16>(first.senderPort()));
    EXPECT_TRUE(silent(device));   // nothing more goes to the device
    EXPECT_EQ(codes, (std::vector<int>{1, 2, -1114}));
    EXPECT_TRUE(waitFor([this] { return m_server.sessions().isEmpty(); }, 2000));
}

// The handler gets the record by reference. What it writes into the figures does not steer
// the transfer; an operation it changes before the start is one the server does not know.
TEST_F(TftpProtocol, HandlerWritingIntoTheRecord)
{
    const QByteArray content = patternBytes(1000, 30);
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), content));
    m_server.SetTimeout(20, 50);   // block 1 is sent again every 200 ms until acknowledged
    m_server.SetOnMessage([this](KtTFTPMsg &msg, bool &) {
        m_reports.all.push_back(msg);
        if (msg.code == 1 && msg.clientPort == m_oddPort)
            msg.op = 7;
        msg.lastBlockBytes = 100000;
        msg.totalBytes = -5;
    });
    listen();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    const QNetworkDatagram first = device.receive();
    ASSERT_TRUE(first.isValid());
    const QNetworkDatagram again = device.receive();
    EXPECT_EQ(first.data(), again.data());
    device.send(packet(ACK, 1), static_cast<quint16>(first.senderPort()));
    QNetworkDatagram second = device.receive();
    while (second.isValid() && numberOf(second.data()) == 1)   // copies sent meanwhile
        second = device.receive();
    EXPECT_EQ(payloadOf(first) + payloadOf(second), content);
    device.send(packet(ACK, 2), static_cast<quint16>(first.senderPort()));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));

    UdpClient odd;
    m_oddPort = odd.port();
    odd.send(request(RRQ, "fw.tfp"), m_port);
    EXPECT_EQ(odd.receive().data(), errorPacket(4));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1105); }, 2000));
    EXPECT_EQ(m_reports.all.back().text, QStringLiteral("(KtTFTP) Bad operation!"));
}

TEST_F(TftpProtocol, CancelBeforeStartSendsNothing)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(100, 13)));
    std::vector<int> codes;
    m_server.SetOnMessage([&codes](KtTFTPMsg &msg, bool &cancel) {
        codes.push_back(msg.code);
        cancel = true;
    });
    listen();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    EXPECT_TRUE(silent(device));
    EXPECT_EQ(codes, (std::vector<int>{1, -1114}));
}

// --- Listening and stopping ----------------------------------------------------------------

TEST_F(TftpProtocol, ListenAgainMovesOnlyTheFolder)
{
    QTemporaryDir other;
    ASSERT_TRUE(writeFile(other.filePath(QStringLiteral("SNTPFile.RD")), "zones\n"));
    quickGiveUp();
    listen();
    const quint16 otherPort = freeUdpPort();
    m_server.Listen(other.path(), otherPort);
    EXPECT_EQ(m_server.rootDir(), other.path() + QStringLiteral("/"));
    EXPECT_EQ(m_server.msgTemplate().port, otherPort);

    UdpClient device;
    device.send(request(RRQ, "SNTPFile.RD"), m_port);   // still served at the first port
    const QNetworkDatagram data = device.receive();
    EXPECT_EQ(payloadOf(data), QByteArray("zones\n"));
    QUdpSocket probe;   // and the second port was never taken
    EXPECT_TRUE(probe.bind(QHostAddress::AnyIPv4, otherPort, QUdpSocket::DontShareAddress));
}

// The windows listen with no folder first; names then resolve against the working folder.
TEST_F(TftpProtocol, EmptyFolderMeansTheWorkingFolder)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("cfg.bin")), "here\n"));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_served));
    m_server.Listen(QString(), m_port);
    EXPECT_EQ(m_server.rootDir(), QString());
    UdpClient device;
    device.send(request(RRQ, "cfg.bin"), m_port);
    const QNetworkDatagram data = device.receive();
    QDir::setCurrent(before);
    EXPECT_EQ(payloadOf(data), QByteArray("here\n"));
    device.send(packet(ACK, 1), static_cast<quint16>(data.senderPort()));
    EXPECT_TRUE(waitFor([this] { return m_reports.has(3); }, 2000));
}

TEST_F(TftpProtocol, ListenOnATakenPortThrows)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, m_port, QUdpSocket::DontShareAddress));
    try {
        listen();
        FAIL() << "Listen succeeded on a taken port";
    } catch (const KtTFTPException &e) {
        EXPECT_EQ(e.code(), -1109);
        EXPECT_EQ(e.text(), QStringLiteral(
                                "(KtTFTP) Fail to open socket!Please check if the network is "
                                "ready."));
    }
    EXPECT_FALSE(m_server.isListening());
}

TEST_F(TftpProtocol, NewServerTemplate)
{
    const KtTFTPMsg &msg = m_server.msgTemplate();
    EXPECT_EQ(msg.code, -1111);
    EXPECT_EQ(msg.text, QStringLiteral("(KtTFTP) Socket is not ready!"));
    EXPECT_EQ(msg.op, 1);
    EXPECT_EQ(msg.mode, QStringLiteral("octet"));
    EXPECT_EQ(msg.clientIP, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(QHostAddress(msg.serverIP).protocol(), QAbstractSocket::IPv4Protocol);
    EXPECT_EQ(msg.port, 69);
    EXPECT_EQ(msg.sessionNo, -1);
    EXPECT_EQ(msg.timeout, 1000);
    EXPECT_EQ(msg.lastBlockBytes, -1);
    EXPECT_EQ(m_server.maxRetries(), 3);
}

// A device that keeps answering: Stop lets its transfer finish before it returns.
TEST_F(TftpProtocol, StopLetsARunningTransferFinish)
{
    const QByteArray content = patternBytes(512 * 40 + 3, 14);
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), content));
    listen();
    UdpClient device;
    QByteArray received;
    QObject::connect(&device.socket(), &QUdpSocket::readyRead, [&device, &received] {
        while (device.socket().hasPendingDatagrams()) {
            const QNetworkDatagram data = device.socket().receiveDatagram();
            received += payloadOf(data);
            device.socket().writeDatagram(packet(ACK, numberOf(data.data())),
                                          QHostAddress::LocalHost,
                                          static_cast<quint16>(data.senderPort()));
        }
    });
    device.send(request(RRQ, "fw.tfp"), m_port);
    ASSERT_TRUE(waitFor([this] { return !m_server.sessions().isEmpty(); }, 2000));
    m_server.Stop();
    EXPECT_TRUE(m_server.sessions().isEmpty());
    EXPECT_TRUE(m_reports.has(3));
    EXPECT_EQ(received, content);
    EXPECT_FALSE(m_server.isListening());
}

// A device that has gone quiet: Stop gives up after its ten seconds, not after the session's
// own (much longer) time-out.
TEST_F(TftpProtocol, StopReturnsWithinTenSecondsWhileASessionHangs)
{
    ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), patternBytes(2000, 15)));
    m_server.SetTimeout(3000, 3);   // 30 s per block, as the firmware window sets it
    listen();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    ASSERT_TRUE(device.receive().isValid());
    QElapsedTimer elapsed;
    elapsed.start();
    m_server.Stop();
    EXPECT_LT(elapsed.elapsed(), 11000);
    EXPECT_EQ(m_server.sessions().size(), 1);
    EXPECT_FALSE(m_server.isListening());
    // The listening port is free again.
    QUdpSocket probe;
    EXPECT_TRUE(probe.bind(QHostAddress::AnyIPv4, m_port, QUdpSocket::DontShareAddress));
}

} // namespace
