// The one call through which the module asks whether an address is in use: three ICMP echo
// requests, one second each, answered or not. The LAN and DHCP windows ask it before they give
// the device (or a client) an address.
//
// Only an echo reply to one of this test's own requests counts: the reply must come from the
// address asked, carry our identifier and one of the sequence numbers we sent. Any of the three
// requests answered means in use; a host that answered the first and dropped a later one is not
// declared free.
//
// Sockets: Linux's unprivileged ICMP echo socket where net.ipv4.ping_group_range lets this
// user's group open one, else a raw ICMP socket (root, or the CAP_NET_RAW capability). Where
// neither opens, the test does not pretend: it fails with the reason.
//
// The event loop runs while the probe waits, so the window keeps painting; the caller keeps the
// user from starting a second action meanwhile.
//
// Tests install a KtPing::Script: every probe is recorded and answered from the script.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace KtPing {

enum class Outcome {
    Free,   // no reply to any of the three requests
    InUse,  // the address answered one of them
    Failed, // the test could not be made (reason says why)
};

enum class SocketKind { None, Datagram, Raw };

struct Result {
    Outcome outcome = Outcome::Free;
    QString reason;                     // Failed: what stopped the test, for the user
    SocketKind socket = SocketKind::None; // the socket the test used
};

// Three echo requests to the dotted address (read as NetworkChecks::AddressNumber reads it; no
// name lookup, so no query leaves for a name server), each followed by a wait of up to one
// second for its reply. Returns at the first reply to any of them.
Result Probe(const QString &address);

// How many requests a probe sends and how long it waits after each (milliseconds).
inline constexpr int kAttempts = 3;
inline constexpr int kWaitMs = 1000;

// ---- The wire format, for the probe and its tests ----

// An echo request of 12 bytes: type 8, code 0, the Internet checksum (RFC 1071), identifier and
// sequence (network byte order), then the 32-bit tick count as payload.
QByteArray EchoRequest(quint16 identifier, quint16 sequence, quint32 ticks);

// The Internet checksum of the bytes (RFC 1071), in network byte order as it goes on the wire.
quint16 Checksum(const QByteArray &bytes);

// What a received datagram is. withIpHeader: the datagram starts with the IP header (raw
// sockets); otherwise with the ICMP header (datagram sockets). source: the sender as recvfrom
// reported it (host byte order).
struct Received {
    QByteArray datagram;
    bool withIpHeader = false;
    quint32 source = 0;
};

// Whether the datagram is an echo reply from target to one of our requests (identifier and one
// of the sequence numbers sent). A raw socket also sees other programs' replies, echo requests
// and errors; they are not ours.
bool IsOurReply(const Received &received, quint32 target, quint16 identifier,
                const QList<quint16> &sequences);

// Test script: while an instance lives, Probe records the address and answers with the next
// queued result (Free when the queue is empty), without any traffic.
class Script
{
public:
    Script();
    ~Script();
    Script(const Script &) = delete;
    Script &operator=(const Script &) = delete;

    void answerNext(const Result &result) { m_answers.append(result); }
    void answerNext(Outcome outcome, const QString &reason = QString())
    {
        answerNext(Result{outcome, reason, SocketKind::None});
    }

    const QStringList &probed() const { return m_probed; }
    void clear() { m_probed.clear(); }

    // Called with each address while its probe "runs" (after recording), e.g. to try closing
    // the window meanwhile.
    std::function<void(const QString &address)> onProbe;

private:
    friend Result Probe(const QString &);
    QStringList m_probed;
    QList<Result> m_answers;
    Script *m_previous = nullptr;
};

} // namespace KtPing
