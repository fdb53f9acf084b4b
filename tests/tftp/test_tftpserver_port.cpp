// The port the server listens on: never taken from another server that holds it (another
// module, another program), and movable by QRN_TFTP_PORT for tests and unprivileged runs.
#include "tftptestsupport.h"

#include "../sim/tftpserver.h"

#include <QDir>
#include <QTemporaryDir>

using namespace tftptest;

namespace {

const QString kInitError
    = QStringLiteral("(KtTFTP) Fail to open socket!Please check if the network is ready.");

class TftpPort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_top.isValid());
        ASSERT_TRUE(writeFile(m_top.filePath(QStringLiteral("fw.tfp")), m_image));
        m_port = freeUdpPort();
        ASSERT_NE(m_port, 0);
    }

    // What a client fetching fw.tfp at the port gets.
    QByteArray fetch(quint16 port)
    {
        const QString local = m_top.filePath(QStringLiteral("fetched.bin"));
        QFile::remove(local);
        const ClientRun run
            = runTransfer(Client::Curl, false, port, "fw.tfp", local, m_top.path());
        EXPECT_TRUE(run.finished) << run.output.toStdString();
        return readFile(local);
    }

    // Listen must fail with the text the window shows after "TFTP Service Init Error:".
    static ::testing::AssertionResult listenFails(KtTFTPServer &server, const QString &folder,
                                                  quint16 port)
    {
        try {
            server.Listen(folder, port);
        } catch (const KtTFTPException &e) {
            if (e.code() != -1109 || e.text() != kInitError)
                return ::testing::AssertionFailure() << "threw " << e.code();
            if (server.isListening())
                return ::testing::AssertionFailure() << "listening after the failure";
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "Listen took a port that was held";
    }

    QTemporaryDir m_top;
    const QByteArray m_image = patternBytes(1500, 40);
    quint16 m_port = 0;
};

// Two modules (two windows of two modules) on one PC: the second is told, the first keeps its
// transfers. Before, both set SO_REUSEADDR and the second silently took the requests.
TEST_F(TftpPort, SecondServerCannotTakeThePortOfARunningOne)
{
    KtTFTPServer first;
    first.Listen(m_top.path(), m_port);
    QTemporaryDir elsewhere;
    ASSERT_TRUE(writeFile(elsewhere.filePath(QStringLiteral("fw.tfp")), "another image"));
    {
        KtTFTPServer second;
        EXPECT_TRUE(listenFails(second, elsewhere.path(), m_port));
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(sameBytes(m_image, fetch(m_port)));
    }
    EXPECT_TRUE(sameBytes(m_image, fetch(m_port)));
}

// Another program's socket, whether it allows sharing the address or not, on any address.
TEST_F(TftpPort, PortHeldByAnotherProgramIsNotShared)
{
    struct Holder
    {
        const char *what;
        QHostAddress address;
        QUdpSocket::BindMode mode;
    };
    const Holder holders[] = {
        {"all addresses, no sharing", QHostAddress(QHostAddress::AnyIPv4),
         QUdpSocket::DontShareAddress},
        {"all addresses, sharing allowed", QHostAddress(QHostAddress::AnyIPv4),
         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint},
        {"loopback only, sharing allowed", QHostAddress(QHostAddress::LocalHost),
         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint},
    };
    for (const Holder &holder : holders) {
        SCOPED_TRACE(holder.what);
        const quint16 port = freeUdpPort();
        QUdpSocket socket;
        ASSERT_TRUE(socket.bind(holder.address, port, holder.mode));
        KtTFTPServer server;
        EXPECT_TRUE(listenFails(server, m_top.path(), port));
    }
}

// tftpd-hpa, as a distribution starts it on port 69.
TEST_F(TftpPort, PortHeldByTftpdHpaIsNotShared)
{
    TestTftpServer tftpd;
    const QString why = tftpd.start(m_top.path());
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    KtTFTPServer server;
    EXPECT_TRUE(listenFails(server, m_top.path(), tftpd.port()));
    EXPECT_TRUE(sameBytes(m_image, fetch(tftpd.port())));
}

// Sets an environment variable for one scope.
class ScopedVariable
{
public:
    ScopedVariable(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

TEST(TftpServicePort, VariableMovesThePortWhenItNamesOne)
{
    struct Row
    {
        QByteArray value;   // null: not set
        int port;
    };
    const Row rows[] = {
        {QByteArray(), 69},   {"", 69},        {"16969", 16969}, {"1", 1},
        {"65535", 65535},     {"0", 69},       {"65536", 69},    {"-5", 69},
        {"69x", 69},          {"tftp", 69},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.value.isNull() ? "unset" : row.value.constData());
        ScopedVariable variable("QRN_TFTP_PORT", row.value);
        EXPECT_EQ(KtTFTPServer::servicePort(), row.port);
    }
}

// A window listens without naming a port: the variable's port is the one served.
TEST_F(TftpPort, ListenWithoutPortServesTheVariablesPort)
{
    ScopedVariable variable("QRN_TFTP_PORT", QByteArray::number(m_port));
    KtTFTPServer server;
    server.Listen(m_top.path());
    EXPECT_EQ(server.msgTemplate().port, m_port);
    EXPECT_TRUE(sameBytes(m_image, fetch(m_port)));
}

} // namespace
