// The ICMP probe: what it sends, which datagrams it takes for an answer, and the real thing.
//
// Traffic stays on loopback: 127.0.0.1 of this machine, and 127.0.0.x inside a network
// namespace this test creates for itself (the test program runs itself again under
// `unshare -rn`). There the kernel's own echo replies are switched off, so an address that does
// not answer exists, and a helper thread plays the hosts: one that answers only the first of
// the three requests, and one that sends replies that are not ours (wrong source, wrong
// identifier) to every request.
#include "ktping.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <atomic>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <iostream>
#include <set>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using KtPing::Outcome;
using KtPing::SocketKind;

constexpr quint32 kLoopback = 0x7F000001u;  // 127.0.0.1
constexpr quint32 kLoopback2 = 0x7F000002u; // 127.0.0.2

// ---- The wire format ----

TEST(PingWire, AnEchoRequestIsTwelveBytesWithAValidChecksum)
{
    const QByteArray request = KtPing::EchoRequest(0x1234, 0x0007, 0xA1B2C3D4u);
    ASSERT_EQ(request.size(), 12);
    EXPECT_EQ(request.left(2).toHex(), QByteArray("0800"));
    EXPECT_EQ(request.mid(4).toHex(), QByteArray("12340007a1b2c3d4"));
    // A message carrying its own checksum sums to zero.
    EXPECT_EQ(KtPing::Checksum(request), 0);
}

TEST(PingWire, ChecksumIsTheOnesComplementSumOfRfc1071)
{
    // RFC 1071's example: the sum of 0001 f203 f4f5 f6f7 is ddf2, its complement 220d.
    EXPECT_EQ(KtPing::Checksum(QByteArray::fromHex("0001f203f4f5f6f7")), 0x220d);
    // An odd length pads the last byte with zero.
    EXPECT_EQ(KtPing::Checksum(QByteArray::fromHex("0001f203f4f5f6")), 0x220d + 0xf7);
}

// A datagram as a socket would deliver it: the ICMP message, behind an IP header of ihlWords
// 32-bit words (raw sockets) or bare (echo sockets).
KtPing::Received datagram(quint8 type, quint16 id, quint16 seq, quint32 source, int ihlWords,
                          int icmpSize = 12)
{
    QByteArray icmp(icmpSize, '\0');
    icmp[0] = char(type);
    if (icmpSize >= 8) {
        icmp[4] = char(id >> 8);
        icmp[5] = char(id);
        icmp[6] = char(seq >> 8);
        icmp[7] = char(seq);
    }
    KtPing::Received received;
    received.source = source;
    received.withIpHeader = ihlWords > 0;
    if (ihlWords > 0) {
        QByteArray ip(ihlWords * 4, '\0');
        ip[0] = char(0x40 | ihlWords);
        ip[9] = 1; // ICMP
        for (int i = 0; i < 4; ++i)
            ip[12 + i] = char(source >> (24 - 8 * i));
        received.datagram = ip + icmp;
    } else {
        received.datagram = icmp;
    }
    return received;
}

TEST(PingWire, OnlyAnEchoReplyFromTheTargetToOurRequestIsOurs)
{
    const quint16 id = 0x4242;
    const QList<quint16> sent{7, 8};
    const struct {
        const char *name;
        KtPing::Received received;
        bool ours;
    } rows[] = {
        {"echo socket, reply to the first request", datagram(0, id, 7, kLoopback, 0), true},
        {"raw socket, reply to the second request", datagram(0, id, 8, kLoopback, 5), true},
        {"raw socket, IP header with options", datagram(0, id, 7, kLoopback, 6), true},
        {"another program's ping (identifier)", datagram(0, id + 1, 7, kLoopback, 5), false},
        {"a sequence number never sent", datagram(0, id, 9, kLoopback, 5), false},
        {"a reply from another address", datagram(0, id, 7, kLoopback2, 0), false},
        {"our own request seen on loopback", datagram(8, id, 7, kLoopback, 5), false},
        {"destination unreachable", datagram(3, id, 7, kLoopback, 5), false},
        {"a reply cut short", datagram(0, id, 7, kLoopback, 5, 8), false},
        {"an IP header shorter than 20 bytes", datagram(0, id, 7, kLoopback, 4), false},
        {"nothing at all", KtPing::Received{}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(KtPing::IsOurReply(row.received, kLoopback, id, sent), row.ours);
    }
}

TEST(PingProbe, AnAddressThatIsNotFourNumbersIsNotLookedUp)
{
    // No name lookup: a text that is not a dotted address fails the test, it is not "free".
    const KtPing::Result result = KtPing::Probe(QStringLiteral("device.example"));
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.reason, QStringLiteral("Unable to resolve device.example"));
}

TEST(PingProbe, TheScriptAnswersWithoutTraffic)
{
    KtPing::Script script;
    script.answerNext(Outcome::InUse);
    EXPECT_EQ(KtPing::Probe(QStringLiteral("192.168.0.7")).outcome, Outcome::InUse);
    EXPECT_EQ(KtPing::Probe(QStringLiteral("192.168.0.8")).outcome, Outcome::Free);
    EXPECT_EQ(script.probed(), (QStringList{"192.168.0.7", "192.168.0.8"}));
}

// ---- The real probe on this machine's loopback ----

TEST(PingProbe, LoopbackAnswers)
{
    const KtPing::Result result = KtPing::Probe(QStringLiteral("127.0.0.1"));
    if (result.outcome == Outcome::Failed)
        GTEST_SKIP() << "no ICMP socket for this user: " << result.reason.toStdString();
    EXPECT_EQ(result.outcome, Outcome::InUse);
    EXPECT_NE(result.socket, SocketKind::None);
}

// ---- Inside a network namespace of the test's own ----

const char *const kInNamespace = "QRN_PING_TEST_NAMESPACE";

bool inOwnNamespace() { return qEnvironmentVariableIsSet(kInNamespace); }

// The cases of one kind of socket, run in a namespace of their own: a namespace's ping group
// range can be opened to this user's group, but not closed again (only that group is mapped).
class NamespaceRun
{
public:
    explicit NamespaceRun(const char *kind) : m_kind(kind)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kInNamespace), QString::fromLatin1(kind));
        m_child.setProcessEnvironment(environment);
        m_child.setProcessChannelMode(QProcess::MergedChannels);
        m_child.start(QStringLiteral("unshare"),
                      {QStringLiteral("-rn"), QCoreApplication::applicationFilePath(),
                       QStringLiteral("--gtest_filter=*PingProbeInNamespace.*/")
                           + QLatin1String(kind)});
    }

    // Waits for the run and checks it; true when a case was skipped there.
    bool check()
    {
        const bool ended = m_child.waitForFinished(120000);
        const std::string output = QString::fromLocal8Bit(m_child.readAll()).toStdString();
        EXPECT_TRUE(ended) << m_kind << ": the namespace run did not end\n" << output;
        EXPECT_EQ(m_child.exitCode(), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 4 tests"), std::string::npos) << output;
        if (output.find("[  SKIPPED ]") == std::string::npos)
            return false;
        std::cout << output;
        return true;
    }

private:
    const char *m_kind;
    QProcess m_child;
};

TEST(PingProbe, InANetworkNamespaceOfItsOwn)
{
    if (inOwnNamespace())
        GTEST_SKIP() << "this is the run inside the namespace";
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-rn"), QStringLiteral("true")});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit
        || probe.exitCode() != 0) {
        GTEST_SKIP() << "user and network namespaces cannot be created here (unshare -rn): "
                     << (probe.errorString() + u' '
                         + QString::fromLocal8Bit(probe.readAllStandardError()))
                            .toStdString();
    }
    // Both at once: most of their time is spent waiting for replies that do not come.
    NamespaceRun echoSockets("EchoSocket");
    NamespaceRun rawSockets("RawSocket");
    const bool echoSkipped = echoSockets.check();
    const bool rawSkipped = rawSockets.check();
    if (echoSkipped || rawSkipped)
        GTEST_SKIP() << "cases were skipped inside the namespace (their reasons above)";
}

// Network settings of the namespace (only ever written inside it).
void sysctl(const char *name, const QByteArray &value)
{
    const QByteArray path = QByteArray("/proc/sys/net/ipv4/") + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << path.constData() << ": " << std::strerror(errno);
    const ssize_t written = ::write(fd, value.constData(), size_t(value.size()));
    const int error = errno;
    ::close(fd);
    ASSERT_EQ(written, value.size()) << path.constData() << ": " << std::strerror(error);
}

bool bringLoopbackUp()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = short(request.ifr_flags | IFF_UP);
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up;
}

// The hosts of the namespace: a raw socket that sees every ICMP message and answers echo
// requests to 127.0.0.1 the way its mode says.
class Hosts
{
public:
    enum Mode {
        AnswerFirstLate, // only the first request, 1.5 s late (during the second wait)
        Mislead,         // to every request: a reply from 127.0.0.2, and one with another id
    };

    explicit Hosts(Mode mode) : m_mode(mode)
    {
        m_listen = rawSocket(0);
        m_from1 = rawSocket(kLoopback);
        m_from2 = rawSocket(kLoopback2);
        m_thread = std::thread([this] { run(); });
    }
    ~Hosts()
    {
        m_stop = true;
        m_thread.join();
        for (int fd : {m_listen, m_from1, m_from2})
            ::close(fd);
    }
    Hosts(const Hosts &) = delete;
    Hosts &operator=(const Hosts &) = delete;

    int requestsSeen() const { return m_requests; }

private:
    static int rawSocket(quint32 source)
    {
        const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0 && source != 0) {
            sockaddr_in local{};
            local.sin_family = AF_INET;
            local.sin_addr.s_addr = htonl(source);
            ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local);
        }
        return fd;
    }

    static void reply(int fromSocket, QByteArray message, quint16 id)
    {
        message[0] = 0;
        message[2] = 0;
        message[3] = 0;
        message[4] = char(id >> 8);
        message[5] = char(id);
        const quint16 sum = KtPing::Checksum(message);
        message[2] = char(sum >> 8);
        message[3] = char(sum);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(kLoopback);
        ::sendto(fromSocket, message.constData(), size_t(message.size()), 0,
                 reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }

    void run()
    {
        std::set<quint32> answered; // id << 16 | seq
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[1500];
            const ssize_t n = ::recv(m_listen, buffer, sizeof buffer, 0);
            if (n < 28)
                continue;
            const int ihl = (buffer[0] & 0x0F) * 4;
            const QByteArray message(buffer + ihl, int(n) - ihl);
            quint32 destination = 0;
            std::memcpy(&destination, buffer + 16, 4);
            if (message.size() < 8 || quint8(message.at(0)) != 8
                || ntohl(destination) != kLoopback)
                continue;
            const quint16 id = quint16((quint8(message.at(4)) << 8) | quint8(message.at(5)));
            const quint16 seq = quint16((quint8(message.at(6)) << 8) | quint8(message.at(7)));
            if (!answered.insert((quint32(id) << 16) | seq).second)
                continue;
            ++m_requests;
            if (m_mode == AnswerFirstLate) {
                if (m_requests == 1) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                    reply(m_from1, message, id);
                }
            } else {
                reply(m_from2, message, id);
                reply(m_from1, message, quint16(id ^ 0x8000));
            }
        }
    }

    Mode m_mode;
    int m_listen = -1;
    int m_from1 = -1;
    int m_from2 = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

// Each case for both kinds of socket: the echo socket (the namespace lets our group open one)
// and the raw socket (a new namespace lets no group open an echo socket).
class PingProbeInNamespace : public ::testing::TestWithParam<SocketKind>
{
protected:
    void SetUp() override
    {
        if (!inOwnNamespace())
            GTEST_SKIP() << "runs only inside the namespace PingProbe.InANetworkNamespaceOfItsOwn"
                            " creates";
        ASSERT_TRUE(bringLoopbackUp()) << std::strerror(errno);
        // A new namespace lets no group open echo sockets.
        if (GetParam() == SocketKind::Datagram)
            sysctl("ping_group_range", "0 0");
        sysctl("icmp_echo_ignore_all", "1");
    }

    KtPing::Result probe()
    {
        const KtPing::Result result = KtPing::Probe(QStringLiteral("127.0.0.1"));
        EXPECT_EQ(result.socket, GetParam()) << result.reason.toStdString();
        return result;
    }
};

TEST_P(PingProbeInNamespace, TheKernelsReplyMakesTheAddressInUse)
{
    sysctl("icmp_echo_ignore_all", "0");
    EXPECT_EQ(probe().outcome, Outcome::InUse);
}

TEST_P(PingProbeInNamespace, AnAddressThatDoesNotAnswerIsFreeAfterThreeRequests)
{
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(probe().outcome, Outcome::Free);
    EXPECT_GE(elapsed.elapsed(), KtPing::kAttempts * KtPing::kWaitMs - 100);
}

TEST_P(PingProbeInNamespace, RepliesThatAreNotOursDoNotMakeTheAddressInUse)
{
    // Guards against counting any echo reply that arrives: another program's, or one from
    // another address to our own identifier and sequence.
    Hosts hosts(Hosts::Mislead);
    EXPECT_EQ(probe().outcome, Outcome::Free);
    EXPECT_EQ(hosts.requestsSeen(), KtPing::kAttempts);
}

TEST_P(PingProbeInNamespace, AHostThatAnsweredOnlyTheFirstRequestIsInUse)
{
    // Guards against taking the third request's outcome alone: the only reply comes late, to
    // the first request, while the probe waits for the second.
    Hosts hosts(Hosts::AnswerFirstLate);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(probe().outcome, Outcome::InUse);
    EXPECT_GE(elapsed.elapsed(), 1400);
}

INSTANTIATE_TEST_SUITE_P(Sockets, PingProbeInNamespace,
                         ::testing::Values(SocketKind::Datagram, SocketKind::Raw),
                         [](const ::testing::TestParamInfo<SocketKind> &param) {
                             return param.param == SocketKind::Datagram ? "EchoSocket"
                                                                        : "RawSocket";
                         });

} // namespace
