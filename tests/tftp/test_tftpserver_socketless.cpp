// The server's packet handling driven without any socket, as a fuzzer drives it: requests and
// session datagrams handed in, what it would send taken from the sink.
#include "tftptestsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace tftptest;

namespace {

constexpr quint32 Device = 0x7F000001;
constexpr quint16 DevicePort = 40000;

struct Sent
{
    quint16 fromPort;
    QByteArray bytes;
    quint32 toAddress;
    quint16 toPort;
};

class TftpSocketless : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_server.SetOnMessage(m_reports.handler());
        m_server.setDatagramSink([this](quint16 fromPort, const char *data, qint64 length,
                                        quint32 toAddress, quint16 toPort) {
            m_sent.push_back({fromPort, QByteArray(data, static_cast<int>(length)), toAddress,
                              toPort});
        });
        m_port = freeUdpPort();
        m_server.Listen(m_dir.path(), m_port);
    }

    void deliverRequest(const QByteArray &bytes)
    {
        m_server.handleRequest(bytes.constData(), bytes.size(), Device, DevicePort);
    }
    bool deliver(quint16 sessionPort, const QByteArray &bytes)
    {
        return m_server.handleSessionDatagram(sessionPort, bytes.constData(), bytes.size(),
                                              Device, DevicePort);
    }

    QTemporaryDir m_dir;
    Reports m_reports;
    std::vector<Sent> m_sent;
    quint16 m_port = 0;
    KtTFTPServer m_server;
};

TEST_F(TftpSocketless, TransfersBothWaysThroughTheSink)
{
    // Listening took no port.
    QUdpSocket other;
    EXPECT_TRUE(other.bind(QHostAddress::AnyIPv4, m_port, QUdpSocket::DontShareAddress));
    EXPECT_TRUE(m_server.isListening());

    const QByteArray image = patternBytes(600, 50);
    ASSERT_TRUE(writeFile(m_dir.filePath(QStringLiteral("fw.tfp")), image));
    deliverRequest(request(RRQ, "fw.tfp"));
    ASSERT_EQ(m_sent.size(), 1u);
    const quint16 readPort = m_sent[0].fromPort;
    EXPECT_EQ(m_sent[0].toAddress, Device);
    EXPECT_EQ(m_sent[0].toPort, DevicePort);
    EXPECT_EQ(m_sent[0].bytes, packet(DATA, 1, image.left(512)));
    EXPECT_TRUE(deliver(readPort, packet(ACK, 1)));
    ASSERT_EQ(m_sent.size(), 2u);
    EXPECT_EQ(m_sent[1].bytes, packet(DATA, 2, image.mid(512)));
    EXPECT_TRUE(deliver(readPort, packet(ACK, 2)));
    EXPECT_EQ(m_reports.codes(0), (std::vector<int>{1, 2, 2, 3}));

    m_server.ExpectFile(QStringLiteral("LogFile.RD"), KtTFTPServer::DeviceWrites);
    deliverRequest(request(WRQ, "LogFile.RD"));
    ASSERT_EQ(m_sent.size(), 3u);
    const quint16 writePort = m_sent[2].fromPort;
    EXPECT_NE(writePort, readPort);
    EXPECT_EQ(m_sent[2].bytes, packet(ACK, 0));
    EXPECT_TRUE(deliver(writePort, packet(DATA, 1, "the log\n")));
    EXPECT_EQ(m_sent.back().bytes, packet(ACK, 1));
    EXPECT_EQ(readFile(m_server.receivedFile()), QByteArray("the log\n"));

    EXPECT_FALSE(deliver(9, packet(ACK, 1)));
}

// Time-outs come from ticks; Stop does not wait for sessions nothing can answer.
TEST_F(TftpSocketless, TicksEndSilentSessionsAndStopReturnsAtOnce)
{
    ASSERT_TRUE(writeFile(m_dir.filePath(QStringLiteral("fw.tfp")), patternBytes(100, 51)));
    m_server.SetTimeout(1, 2);
    deliverRequest(request(RRQ, "fw.tfp"));
    ASSERT_TRUE(waitFor([this] {
        m_server.tick();
        return m_reports.has(-1113);
    }, 3000));
    // Sent once, then once more before giving up.
    EXPECT_EQ(m_sent.size(), 2u);

    m_server.SetTimeout(1000, 3);
    deliverRequest(request(RRQ, "fw.tfp"));
    QElapsedTimer stopping;
    stopping.start();
    m_server.Stop();
    EXPECT_LT(stopping.elapsed(), 1000);
}

} // namespace
