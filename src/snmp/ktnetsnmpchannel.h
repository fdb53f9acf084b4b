// One request's way to its device over net-snmp (private glue of the request engine). The header
// names no net-snmp type; bindings travel as KtWireValue.
#pragma once

#include "ktsnmpvalue.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVector>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QSocketNotifier;
struct snmp_session;
struct snmp_pdu;

// Where and how to send: the request's copy of the session records, resolved.
struct KtNetSnmpTarget {
    QString address; // IPv4 dotted quad, already resolved
    quint16 port = 161;
    int version = 0; // 0 = SNMPv1, 1 = SNMPv2c, 3 = SNMPv3
    int securityModel = 3; // SNMPv3 only: 3 = USM, the one model the library speaks
    QString readCommunity;
    QString writeCommunity;
    int securityLevel = 1; // 1 noAuthNoPriv, 2 authNoPriv, 3 authPriv
    QString securityName;
    QString authPassword;
    QString privPassword;
    // 1 none, 2 HMAC-MD5, 3 HMAC-SHA, 4 HMAC-SHA-224, 5 HMAC-SHA-256, 6 HMAC-SHA-384,
    // 7 HMAC-SHA-512 (RFC 7860)
    int authProtocol = 1;
    int privProtocol = 1; // 1 none, 2 DES, 3 AES-128 (CFB)
    QString contextName;
    QString contextEngineID;
    int timeout = 100; // hundredths of a second
    int retries = 1;

    // The fields a net-snmp session is built from (the rest goes into each PDU).
    bool sameSession(const KtNetSnmpTarget &other) const;
};

// GetBulk asks with no non-repeaters; its max-repetitions travel with the send.
enum class KtNetSnmpCommand { Get, GetNext, Set, GetBulk };

struct KtNetSnmpBinding {
    QVector<quint32> oid;
    KtWireValue value;
};

// The outcome of one exchange, with the status already translated into the SNMP++ library
// value that MapError understands (0, error status 1..19, library and SNMPv3 values).
struct KtNetSnmpResult {
    int status = 0;
    int errorIndex = 0;
    QString agentAddress;
    quint16 agentPort = 0;
    QVector<KtNetSnmpBinding> bindings;
};

namespace KtNetSnmp {
// Resolves a dotted quad or a host name to an IPv4 dotted quad; false when it does not resolve.
bool resolveAddress(const QString &text, QString *ipv4);
// Datagrams net-snmp has sent in this process (requests, retransmissions and probes).
quint64 packetsSent();
// The library value with which a send to this target is refused before anything goes out, or 0.
// A version, security model, level or protocol the library does not speak is never replaced by
// one it does: a level that asks for authentication or privacy without its protocol is
// refused, not sent with a protocol nobody chose.
int refusal(const KtNetSnmpTarget &target);
// Tests: shifts what this process believes of a known SNMPv3 device's boot count and clock,
// as when the device restarted behind its back. False when the device's engine is not known.
bool shiftEngineClock(const QString &ipv4, quint16 port, int boots, int seconds);
} // namespace KtNetSnmp

class KtNetSnmpChannel : public QObject
{
    Q_OBJECT
public:
    using Completion = std::function<void(const KtNetSnmpResult &)>;

    explicit KtNetSnmpChannel(QObject *parent = nullptr);
    ~KtNetSnmpChannel() override; // drops every exchange in flight without completing it

    // Sends and waits for the answer, the time-out or the refusal. Only this channel's socket is
    // served meanwhile; completions of its asynchronous exchanges are delivered later.
    KtNetSnmpResult sendSync(const KtNetSnmpTarget &target, KtNetSnmpCommand command,
                             const QVector<KtNetSnmpBinding> &bindings, int maxRepetitions = 0);

    // Sends without waiting. Returns 0 when the exchange is under way (the completion follows
    // on the GUI thread from the event loop), else the library value of the refusal (no
    // completion follows).
    int sendAsync(const KtNetSnmpTarget &target, KtNetSnmpCommand command,
                  const QVector<KtNetSnmpBinding> &bindings, Completion completion,
                  int maxRepetitions = 0);

    // Exchanges sent and not yet completed.
    int pending() const;

    // Lets net-snmp retransmit or give up the sends whose time is over (the event processor).
    void processTimeouts();

    struct Session;
    struct Exchange;

private:
    Session *sessionFor(const KtNetSnmpTarget &target, int *failure);
    Session *openSession(const KtNetSnmpTarget &target, int *failure);
    void answerDropped(Session *session, const QByteArray &datagram);
    int startProbe(Session *session, bool synchronous);
    int transmit(Session *session, const std::shared_ptr<Exchange> &exchange);
    void probeFinished(Session *session, const KtNetSnmpResult &result);
    void finish(Session *session, quint64 token, const KtNetSnmpResult &result);
    void readSocket(Session *session);
    void waitFor(Session *session, const std::shared_ptr<Exchange> &exchange);
    void deliverLater(const std::shared_ptr<Exchange> &exchange);
    void deliverReady();
    void dropIdleSessions();
    void closeSession(Session *session);

    static int libraryCallback(int operation, snmp_session *session, int requestId,
                               snmp_pdu *pdu, void *magic);

    std::vector<std::unique_ptr<Session>> m_sessions; // back() serves new sends
    std::deque<std::shared_ptr<Exchange>> m_ready;
    bool m_deliveryQueued = false;
    bool m_reading = false; // inside snmp_sess_read from the socket notifier
    int m_pending = 0;
};
