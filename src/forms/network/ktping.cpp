#include "ktping.h"

#include "networkchecks.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace KtPing {

namespace {

Script *g_script = nullptr;

// The module's request counter: every echo request of the process carries the next number.
quint16 g_sequence = 0;

constexpr quint8 kEchoReply = 0;
constexpr quint8 kEchoRequest = 8;
constexpr int kRequestSize = 12;
constexpr int kReceiveSize = 1024;
constexpr quint8 kIcmpProtocol = 1;

quint16 get16(const QByteArray &bytes, int at)
{
    return quint16((quint8(bytes.at(at)) << 8) | quint8(bytes.at(at + 1)));
}

quint32 get32(const QByteArray &bytes, int at)
{
    return (quint32(get16(bytes, at)) << 16) | get16(bytes, at + 2);
}

void put16(QByteArray &bytes, int at, quint16 value)
{
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 0xFF);
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Milliseconds since the system started, as the payload of a request.
quint32 tickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return quint32(quint64(now.tv_sec) * 1000u + quint64(now.tv_nsec) / 1000000u);
}

// The ICMP socket of one probe: the unprivileged echo socket when this user's group may open
// one, else a raw socket.
class EchoSocket
{
public:
    EchoSocket() = default;
    ~EchoSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    EchoSocket(const EchoSocket &) = delete;
    EchoSocket &operator=(const EchoSocket &) = delete;

    // Opens a socket; false with the reason when neither kind may be opened.
    bool open(QString *reason)
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (m_fd >= 0 && bindDatagram()) {
            m_kind = SocketKind::Datagram;
            return true;
        }
        const int datagramError = errno;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (m_fd >= 0) {
            m_kind = SocketKind::Raw;
            // The kernel hands every ICMP message to a raw socket; ours carry the low 16 bits
            // of the process id.
            m_identifier = quint16(::getpid() & 0xFFFF);
            return true;
        }
        const int rawError = errno;
        *reason = QStringLiteral(
                      "The ping test cannot run: this user may not open ICMP echo sockets "
                      "(net.ipv4.ping_group_range: %1) and may not open raw sockets (root or "
                      "the CAP_NET_RAW capability: %2).")
                      .arg(systemError(datagramError), systemError(rawError));
        return false;
    }

    int fd() const { return m_fd; }
    SocketKind kind() const { return m_kind; }
    quint16 identifier() const { return m_identifier; }

    // Sends one request; false with errno set when the system refused it.
    bool send(quint32 target, quint16 sequence)
    {
        const QByteArray request = EchoRequest(m_identifier, sequence, tickCount());
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(target);
        const ssize_t sent = ::sendto(m_fd, request.constData(), size_t(request.size()), 0,
                                      reinterpret_cast<const sockaddr *>(&to), sizeof to);
        return sent == request.size();
    }

    // The next datagram waiting on the socket, if any.
    std::optional<Received> receive()
    {
        QByteArray buffer(kReceiveSize, Qt::Uninitialized);
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t n = ::recvfrom(m_fd, buffer.data(), size_t(buffer.size()), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (n < 0)
            return std::nullopt; // nothing more (or an ICMP error the socket reported)
        buffer.truncate(int(n));
        return Received{buffer, m_kind == SocketKind::Raw, ntohl(from.sin_addr.s_addr)};
    }

private:
    // The kernel gives an echo socket its own identifier (its "port") and passes it only the
    // replies that carry it.
    bool bindDatagram()
    {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (::bind(m_fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
            return false;
        socklen_t size = sizeof local;
        if (::getsockname(m_fd, reinterpret_cast<sockaddr *>(&local), &size) != 0)
            return false;
        m_identifier = ntohs(local.sin_port);
        return true;
    }

    int m_fd = -1;
    SocketKind m_kind = SocketKind::None;
    quint16 m_identifier = 0;
};

// Waits until the socket has something to read or the time is up, with the event loop running
// (the window paints, the main window's timers tick). Without an application object (a tool
// outside the module) it simply blocks.
bool waitReadable(int fd, int ms)
{
    if (ms <= 0)
        return false;
    if (!QCoreApplication::instance()) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    QEventLoop loop;
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may end the wait up to 5% early.
    timer.setTimerType(Qt::PreciseTimer);
    bool readable = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        readable = true;
        loop.quit();
    });
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
    return readable;
}

} // namespace

QByteArray EchoRequest(quint16 identifier, quint16 sequence, quint32 ticks)
{
    QByteArray request(kRequestSize, '\0');
    request[0] = char(kEchoRequest);
    put16(request, 4, identifier);
    put16(request, 6, sequence);
    put16(request, 8, quint16(ticks >> 16));
    put16(request, 10, quint16(ticks & 0xFFFF));
    put16(request, 2, Checksum(request));
    return request;
}

quint16 Checksum(const QByteArray &bytes)
{
    quint32 sum = 0;
    int i = 0;
    for (; i + 1 < bytes.size(); i += 2)
        sum += get16(bytes, i);
    if (i < bytes.size())
        sum += quint32(quint8(bytes.at(i))) << 8; // an odd last byte, padded with zero
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum & 0xFFFF);
}

bool IsOurReply(const Received &received, quint32 target, quint16 identifier,
                const QList<quint16> &sequences)
{
    const QByteArray &d = received.datagram;
    int at = 0;
    if (received.withIpHeader) {
        if (d.size() < 20)
            return false;
        const quint8 first = quint8(d.at(0));
        at = (first & 0x0F) * 4;
        if ((first >> 4) != 4 || at < 20 || quint8(d.at(9)) != kIcmpProtocol)
            return false;
        if (get32(d, 12) != target)
            return false;
    }
    // Our request carries 12 bytes, and an echo reply returns them all.
    if (d.size() < at + kRequestSize)
        return false;
    if (received.source != target)
        return false;
    if (quint8(d.at(at)) != kEchoReply || quint8(d.at(at + 1)) != 0)
        return false;
    return get16(d, at + 4) == identifier && sequences.contains(get16(d, at + 6));
}

Result Probe(const QString &address)
{
    if (g_script) {
        g_script->m_probed.append(address);
        if (g_script->onProbe)
            g_script->onProbe(address);
        return g_script->m_answers.isEmpty() ? Result{} : g_script->m_answers.takeFirst();
    }

    Result result;
    const std::optional<quint32> target = NetworkChecks::AddressNumber(address);
    if (!target) {
        result.outcome = Outcome::Failed;
        result.reason = QStringLiteral("Unable to resolve ") + address;
        return result;
    }
    EchoSocket socket;
    if (!socket.open(&result.reason)) {
        result.outcome = Outcome::Failed;
        return result;
    }
    result.socket = socket.kind();

    QList<quint16> sent;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const quint16 sequence = ++g_sequence;
        if (!socket.send(*target, sequence)) {
            result.outcome = Outcome::Failed;
            result.reason = QStringLiteral("Cannot send a ping to %1: %2")
                                .arg(address, systemError(errno));
            return result;
        }
        sent.append(sequence);
        // A late reply to an earlier request of this test counts too.
        const QDeadlineTimer deadline(kWaitMs, Qt::PreciseTimer);
        while (!deadline.hasExpired()) {
            if (!waitReadable(socket.fd(), int(deadline.remainingTime())))
                continue;
            while (const std::optional<Received> received = socket.receive()) {
                if (IsOurReply(*received, *target, socket.identifier(), sent)) {
                    result.outcome = Outcome::InUse;
                    return result;
                }
            }
        }
    }
    result.outcome = Outcome::Free;
    return result;
}

Script::Script() : m_previous(g_script) { g_script = this; }

Script::~Script() { g_script = m_previous; }

} // namespace KtPing
