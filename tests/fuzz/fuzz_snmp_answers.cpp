// Values a device sends, into the items: a read or a walk of a few items of any syntax, in any
// list type, answered by a responder on loopback with whatever bindings the input makes (any
// OID, any BER type, any content length); then what a window does with the values: the row
// filter, the get expressions and the conversion back for a write.
//
// The input: a byte for the list type and key count, then per item (one to four) a byte for its
// syntax and whether it has an option list or a get expression; then per answer (a read and up
// to three walk steps) an error status and index, the number of bindings, and per binding how
// its OID relates to the one asked for, its BER type and its content.
// The event loop and net-snmp allocate and free across inputs, which would have libFuzzer look
// for leaks after nearly every input; leaks are looked for when the run ends instead.
// Fuzz options: -detect_leaks=0
// Links: qrn_snmp netsnmp_client
#include "snmpresponder.h"
#include "fuzzing.h"
#include "ktexception.h"
#include "ktnetsnmpchannel.h"
#include "ktoptionlist.h"
#include "ktsnmprequest.h"
#include "ktsnmpsession.h"
#include "ktsnmpvaritem.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QElapsedTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint64 kAnswerWithinMs = 10000;

const int kSyntaxes[] = {SYN_BOOLEAN,   SYN_INTEGER,    SYN_BITSTR,     SYN_OCTETSTR,
                         SYN_NULL,      SYN_OBJECTID,   SYN_IPADDRESS,  SYN_COUNTER,
                         SYN_GUAGE,     SYN_TIMETICKS,  SYN_OPAQUE,     SYN_NSAPADDR,
                         SYN_COUNTER64, SYN_UINTEGER,   SYN_DOUBLE,     SYN_MACADDRESS,
                         SYN_DATETIME,  SYN_BCDATETIME, SYN_DISPLAYSTR, SYN_BOOL8,
                         SYN_INT8,      SYN_UINT8,      SYN_BOOL16,     SYN_INT16,
                         SYN_UINT16};
// The BER types a device may answer with (the last ones are the exceptions of SNMPv2).
const quint8 kTypes[] = {0x02, 0x04, 0x05, 0x06, 0x40, 0x41, 0x42, 0x43,
                         0x44, 0x46, 0x47, 0x80, 0x81, 0x82, 0x03, 0x45};
const char *const kFilters[] = {"", "$0<>\"\"", "$1>=\"5\"", "!($0=\"1\")|$2<\"z\"", "$3=1"};
const char *const kExpressions[] = {"$0/10", "$0*2-$1", "($0+1)*100", "NOW-$0", "$9"};

const KtOption kOnOff[] = {{1, nullptr, "On"}, {2, nullptr, "Off"}, {0, nullptr, nullptr}};

using SnmpResponder::readTlv;
using SnmpResponder::tlv;

// What the engine asked: the request id's content and the OIDs' contents.
struct Asked {
    QByteArray requestId;
    QVector<QByteArray> oids;
};

bool parseRequest(const QByteArray &datagram, Asked *asked)
{
    int pos = 0;
    quint8 tag = 0;
    QByteArray message, part;
    if (!readTlv(datagram, &pos, &tag, &message) || tag != 0x30)
        return false;
    pos = 0;
    if (!readTlv(message, &pos, &tag, &part) || !readTlv(message, &pos, &tag, &part))
        return false; // version, community
    QByteArray pdu;
    if (!readTlv(message, &pos, &tag, &pdu))
        return false;
    pos = 0;
    if (!readTlv(pdu, &pos, &tag, &asked->requestId) || !readTlv(pdu, &pos, &tag, &part)
        || !readTlv(pdu, &pos, &tag, &part))
        return false;
    QByteArray bindings;
    if (!readTlv(pdu, &pos, &tag, &bindings))
        return false;
    pos = 0;
    QByteArray binding;
    while (readTlv(bindings, &pos, &tag, &binding)) {
        int at = 0;
        QByteArray oid;
        if (!readTlv(binding, &at, &tag, &oid))
            return false;
        asked->oids.append(oid);
    }
    return true;
}

QByteArray integer(int value)
{
    return tlv(0x02, QByteArray(1, static_cast<char>(value)));
}

// The OID content of an answer binding, from the one asked.
QByteArray answerOid(fuzzing::Input &input, const QByteArray &askedOid)
{
    switch (input.pick(4)) {
    case 0:
        return askedOid;
    case 1: { // one to three sub-identifiers below it (small ones: one byte each)
        QByteArray oid = askedOid;
        const int count = 1 + input.pick(3);
        for (int i = 0; i < count; ++i)
            oid.append(static_cast<char>(input.byte() & 0x7f));
        return oid;
    }
    case 2: { // its last sub-identifier changed
        QByteArray oid = askedOid;
        if (!oid.isEmpty())
            oid[oid.size() - 1] = static_cast<char>(input.byte() & 0x7f);
        return oid;
    }
    default:
        return input.sized();
    }
}

bool netSnmpTakes(const QByteArray &pduBytes)
{
    netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
    pdu->version = SNMP_VERSION_2c;
    QByteArray copy = pduBytes;
    size_t length = static_cast<size_t>(copy.size());
    const int result = snmp_pdu_parse(pdu, reinterpret_cast<u_char *>(copy.data()), &length);
    snmp_free_pdu(pdu);
    return result == 0;
}

// The answer the input makes for what was asked. An answer net-snmp itself would throw away
// becomes a genErr, so that no step waits for its time-out.
QByteArray makeAnswer(fuzzing::Input &input, const Asked &asked, const QByteArray &community)
{
    const quint8 statusByte = input.byte();
    const int errorStatus = statusByte < 208 ? 0 : statusByte % 20;
    const int errorIndex = input.pick(5);
    const quint8 countByte = input.byte();
    const int count = countByte < 192 ? asked.oids.size() : countByte % 6;
    QByteArray bindings;
    for (int n = 0; n < count; ++n) {
        const QByteArray askedOid = asked.oids.isEmpty() ? QByteArray("\x2b\x06", 2)
                                                          : asked.oids.at(n % asked.oids.size());
        const QByteArray oid = answerOid(input, askedOid);
        const quint8 typeByte = input.byte();
        const quint8 type = typeByte < 240 ? kTypes[typeByte % std::size(kTypes)] : typeByte;
        bindings += tlv(0x30, tlv(0x06, oid) + tlv(type, input.sized()));
    }
    QByteArray pdu = tlv(0xa2, tlv(0x02, asked.requestId) + integer(errorStatus)
                                   + integer(errorIndex) + tlv(0x30, bindings));
    if (!netSnmpTakes(pdu)) {
        QByteArray echoed;
        for (const QByteArray &oid : asked.oids)
            echoed += tlv(0x30, tlv(0x06, oid) + tlv(0x05, {}));
        pdu = tlv(0xa2, tlv(0x02, asked.requestId) + integer(5) + integer(1)
                            + tlv(0x30, echoed));
    }
    return tlv(0x30, integer(1) + tlv(0x04, community) + pdu);
}

struct Responder {
    int fd = -1;
    quint16 port = 0;
};

Responder &responder()
{
    static Responder *made = [] {
        fuzzing::coreApplication();
        KtSNMPSession::OpenSession(fuzzing::scratchFolder());
        // net-snmp says on standard error what it throws away; here that is most answers.
        snmp_disable_log();
        auto *r = new Responder;
        r->fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        if (::bind(r->fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0
            || ::getsockname(r->fd, reinterpret_cast<sockaddr *>(&sa), &len) != 0) {
            std::fprintf(stderr, "fuzz_snmp_answers: no loopback port\n");
            std::abort();
        }
        r->port = ntohs(sa.sin_port);
        return r;
    }();
    return *made;
}

// Answers the request the engine has just sent; false when none came.
bool answerOne(fuzzing::Input &input)
{
    Responder &r = responder();
    pollfd waiting = {r.fd, POLLIN, 0};
    if (::poll(&waiting, 1, 5000) <= 0)
        return false;
    char buffer[65536];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(r.fd, buffer, sizeof buffer, 0,
                                 reinterpret_cast<sockaddr *>(&from), &len);
    if (n <= 0)
        return false;
    Asked asked;
    if (!parseRequest(QByteArray(buffer, static_cast<int>(n)), &asked))
        return false;
    const QByteArray answer = makeAnswer(input, asked, "public");
    ::sendto(r.fd, answer.constData(), static_cast<size_t>(answer.size()), 0,
             reinterpret_cast<const sockaddr *>(&from), len);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Responder &r = responder();
    fuzzing::Input input(data, size);

    const quint8 shape = input.byte();
    const int itemType = shape & 3;
    const int keyCount = (shape >> 2) & 3;
    const int itemCount = 1 + input.pick(4);
    KtOptionList onOff(kOnOff, KtOptionList::Numeric);
    QVector<KtSNMPVarItem> table;
    for (int i = 0; i < itemCount; ++i) {
        const quint8 kind = input.byte();
        KtSNMPVarItem item = makeVarItem(
            QStringLiteral("1.3.6.1.4.1.32473.11.37.4.9.1.%1").arg(i + 1), QString(),
            kSyntaxes[(kind & 0x1f) % std::size(kSyntaxes)], (kind & 0x80) ? ACC_READWRITE : ACC_READONLY);
        if ((kind & 0x60) == 0x20)
            item.optionList = &onOff;
        else if ((kind & 0x60) == 0x40)
            item.getExpression = QString::fromLatin1(kExpressions[i % std::size(kExpressions)]);
        table.append(item);
    }
    table.append(KtSNMPVarItem());
    KtSNMPRequest request;
    request.list = KtSNMPVarList(table.constData(), itemType, keyCount);
    request.address = QStringLiteral("127.0.0.1");
    request.port = r.port;
    request.version = 1;
    request.readCommunity = QStringLiteral("public");
    request.timeout = 100;
    request.retries = 0;
    request.statusCallback = nullptr;
    const QString filter = QString::fromLatin1(kFilters[input.pick(std::size(kFilters))]);

    for (int step = 0; step < 4; ++step) {
        bool done = false;
        KtSNMPError status;
        const quint64 sentBefore = KtNetSnmp::packetsSent();
        request.ReadAsync(
            [&](void *, const KtSNMPError &result, KtSNMPVarList &) {
                status = result;
                done = true;
            },
            nullptr, step == 0);
        // A step with nothing to ask completes without a datagram.
        if (KtNetSnmp::packetsSent() > sentBefore && !answerOne(input)) {
            std::fprintf(stderr, "fuzz_snmp_answers: the request did not reach the responder\n");
            std::abort();
        }
        QElapsedTimer waited;
        waited.start();
        QTimer tick;
        tick.start(5);
        while (!done) {
            if (waited.elapsed() > kAnswerWithinMs) {
                std::fprintf(stderr, "fuzz_snmp_answers: the answer never completed the read\n");
                std::abort();
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (status.code != 0)
            break;
        // What a window does next with the values it got.
        try {
            request.Condition(filter);
        } catch (const KtException &) {
        }
        for (int i = 0; i < request.list.Count(); ++i) {
            try {
                KtWireValue back;
                request.LoadVb(i, back);
            } catch (const KtException &) {
            }
        }
        if (!request.list.IsTable() || input.atEnd())
            break;
    }
    return 0;
}
