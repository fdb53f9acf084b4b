#include "ktnetsnmpchannel.h"

#include "ktnetsnmp.h"
#include "ktnetsnmpincludes.h"

#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <sys/select.h>
#include <sys/socket.h>

// SNMP++ library values the engine's MapError understands (see the translation table in
// ktsnmprequest.cpp).
namespace {

enum SnmpPlusPlus {
    SPP_CLASS_ERROR = -1,
    SPP_CLASS_RESOURCE_UNAVAIL = -2,
    SPP_CLASS_TIMEOUT = -5,
    SPP_CLASS_INVALID_PDU = -11,
    SPP_CLASS_INVALID_TARGET = -12,
    SPP_CLASS_INVALID_ADDRESS = -18,
    SPP_CLASS_TL_FAILED = -22,
    SPP_MP_UNSUPPORTED_SECURITY_MODEL = -1402,
    SPP_MP_INVALID_MESSAGE = -1405,
    SPP_MP_INVALID_ENGINEID = -1406,
    SPP_MP_PARSE_ERROR = -1408,
    SPP_MP_UNKNOWN_PDU_HANDLERS = -1415,
    SPP_MP_UNAVAILABLE_CONTEXT = -1416,
    SPP_MP_UNKNOWN_CONTEXT = -1417,
    SPP_USM_ERROR = 1401,
    SPP_USM_UNSUPPORTED_SECURITY_LEVEL = 1403,
    SPP_USM_UNKNOWN_SECURITY_NAME = 1404,
    SPP_USM_ENCRYPTION_ERROR = 1405,
    SPP_USM_DECRYPTION_ERROR = 1406,
    SPP_USM_AUTHENTICATION_ERROR = 1407,
    SPP_USM_AUTHENTICATION_FAILURE = 1408,
    SPP_USM_PARSE_ERROR = 1409,
    SPP_USM_UNKNOWN_ENGINEID = 1410,
    SPP_USM_NOT_IN_TIME_WINDOW = 1411,
    SPP_USM_UNSUPPORTED_AUTHPROTOCOL = 1412,
    SPP_USM_UNSUPPORTED_PRIVPROTOCOL = 1413,
};

// A net-snmp error number (s_snmp_errno, or the type of a report) as the SNMP++ value.
int fromNetSnmpError(int error)
{
    switch (error) {
    case SNMPERR_SUCCESS:
        return 0;
    case SNMPERR_TIMEOUT:
        return SPP_CLASS_TIMEOUT;
    case SNMPERR_BAD_SENDTO:
    case SNMPERR_BAD_RECVFROM:
    case SNMPERR_NO_SOCKET:
    case SNMPERR_BAD_LOCPORT:
    case SNMPERR_ABORT:
        return SPP_CLASS_TL_FAILED;
    case SNMPERR_BAD_ADDRESS:
        return SPP_CLASS_INVALID_ADDRESS;
    case SNMPERR_TOO_LONG:
    case SNMPERR_BAD_ASN1_BUILD:
    case SNMPERR_NULL_PDU:
    case SNMPERR_NO_VARS:
    case SNMPERR_VAR_TYPE:
        return SPP_CLASS_INVALID_PDU;
    case SNMPERR_MALLOC:
        return SPP_CLASS_RESOURCE_UNAVAIL;
    case SNMPERR_UNKNOWN_SEC_MODEL:
        return SPP_MP_UNSUPPORTED_SECURITY_MODEL;
    case SNMPERR_INVALID_MSG:
        return SPP_MP_INVALID_MESSAGE;
    case SNMPERR_BAD_ENG_ID:
        return SPP_MP_INVALID_ENGINEID;
    case SNMPERR_ASN_PARSE_ERR:
    case SNMPERR_BAD_PARSE:
        return SPP_MP_PARSE_ERROR;
    case SNMPERR_UNKNOWN_PDU:
        return SPP_MP_UNKNOWN_PDU_HANDLERS;
    case SNMPERR_BAD_CONTEXT:
        return SPP_MP_UNKNOWN_CONTEXT;
    case SNMPERR_UNKNOWN_USER_NAME:
    case SNMPERR_USM_UNKNOWNSECURITYNAME:
    case SNMPERR_BAD_SEC_NAME:
        return SPP_USM_UNKNOWN_SECURITY_NAME;
    case SNMPERR_UNSUPPORTED_SEC_LEVEL:
    case SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL:
    case SNMPERR_BAD_SEC_LEVEL:
        return SPP_USM_UNSUPPORTED_SECURITY_LEVEL;
    case SNMPERR_AUTHENTICATION_FAILURE:
    case SNMPERR_USM_AUTHENTICATIONFAILURE:
        return SPP_USM_AUTHENTICATION_FAILURE;
    case SNMPERR_NOT_IN_TIME_WINDOW:
    case SNMPERR_USM_NOTINTIMEWINDOW:
        return SPP_USM_NOT_IN_TIME_WINDOW;
    case SNMPERR_DECRYPTION_ERR:
    case SNMPERR_USM_DECRYPTIONERROR:
        return SPP_USM_DECRYPTION_ERROR;
    case SNMPERR_UNKNOWN_ENG_ID:
    case SNMPERR_USM_UNKNOWNENGINEID:
        return SPP_USM_UNKNOWN_ENGINEID;
    case SNMPERR_USM_ENCRYPTIONERROR:
        return SPP_USM_ENCRYPTION_ERROR;
    case SNMPERR_USM_PARSEERROR:
        return SPP_USM_PARSE_ERROR;
    case SNMPERR_USM_GENERICERROR:
    case SNMPERR_UNKNOWN_REPORT:
        return SPP_USM_ERROR;
    default:
        return SPP_CLASS_ERROR;
    }
}

// A report PDU by the counter it carries (the standard report OIDs of RFC 3412, 3413, 3414).
int fromReport(netsnmp_pdu *pdu)
{
    static const oid mpd[] = {1, 3, 6, 1, 6, 3, 11, 2, 1};
    static const oid usm[] = {1, 3, 6, 1, 6, 3, 15, 1, 1};
    static const oid target[] = {1, 3, 6, 1, 6, 3, 12, 1};
    const netsnmp_variable_list *vb = pdu->variables;
    if (!vb)
        return SPP_USM_ERROR;
    auto startsWith = [vb](const oid *prefix, size_t length) {
        return vb->name_length > length
               && std::memcmp(vb->name, prefix, length * sizeof(oid)) == 0;
    };
    if (startsWith(mpd, 9)) {
        switch (vb->name[9]) {
        case 1:
            return SPP_MP_UNSUPPORTED_SECURITY_MODEL;
        case 2:
            return SPP_MP_INVALID_MESSAGE;
        case 3:
            return SPP_MP_UNKNOWN_PDU_HANDLERS;
        default:
            break;
        }
    } else if (startsWith(usm, 9)) {
        switch (vb->name[9]) {
        case 1:
            return SPP_USM_UNSUPPORTED_SECURITY_LEVEL;
        case 2:
            return SPP_USM_NOT_IN_TIME_WINDOW;
        case 3:
            return SPP_USM_UNKNOWN_SECURITY_NAME;
        case 4:
            return SPP_USM_UNKNOWN_ENGINEID;
        case 5:
            return SPP_USM_AUTHENTICATION_FAILURE;
        case 6:
            return SPP_USM_DECRYPTION_ERROR;
        default:
            break;
        }
    } else if (startsWith(target, 8)) {
        if (vb->name[8] == 4)
            return SPP_MP_UNAVAILABLE_CONTEXT;
        if (vb->name[8] == 5)
            return SPP_MP_UNKNOWN_CONTEXT;
    }
    return fromNetSnmpError(snmpv3_get_report_type(pdu));
}

KtWireValue wireFromVariable(const netsnmp_variable_list *vb)
{
    KtWireValue value;
    switch (vb->type) {
    case ASN_INTEGER:
        value.type = KtWireValue::Type::Integer;
        value.number = static_cast<quint32>(static_cast<qint32>(*vb->val.integer));
        break;
    case ASN_OCTET_STR:
    case ASN_BIT_STR:
    case ASN_NSAP:
        value.type = KtWireValue::Type::OctetString;
        value.bytes = QByteArray(reinterpret_cast<const char *>(vb->val.string),
                                 static_cast<int>(vb->val_len));
        break;
    case ASN_OPAQUE:
        value.type = KtWireValue::Type::Opaque;
        value.bytes = QByteArray(reinterpret_cast<const char *>(vb->val.string),
                                 static_cast<int>(vb->val_len));
        break;
    case ASN_IPADDRESS:
        value.type = KtWireValue::Type::IpAddress;
        value.bytes = QByteArray(reinterpret_cast<const char *>(vb->val.string),
                                 static_cast<int>(vb->val_len));
        break;
    case ASN_OBJECT_ID:
        value.type = KtWireValue::Type::ObjectId;
        for (size_t i = 0; i < vb->val_len / sizeof(oid); ++i)
            value.oid.append(static_cast<quint32>(vb->val.objid[i]));
        break;
    case ASN_COUNTER:
        value.type = KtWireValue::Type::Counter32;
        value.number = static_cast<quint32>(*vb->val.integer);
        break;
    case ASN_GAUGE:
        value.type = KtWireValue::Type::Gauge32;
        value.number = static_cast<quint32>(*vb->val.integer);
        break;
    case ASN_TIMETICKS:
        value.type = KtWireValue::Type::TimeTicks;
        value.number = static_cast<quint32>(*vb->val.integer);
        break;
    case ASN_UINTEGER:
        value.type = KtWireValue::Type::UInteger32;
        value.number = static_cast<quint32>(*vb->val.integer);
        break;
    case ASN_COUNTER64:
        value.type = KtWireValue::Type::Counter64;
        value.number = (static_cast<quint64>(vb->val.counter64->high) << 32)
                       | static_cast<quint32>(vb->val.counter64->low);
        break;
    case SNMP_NOSUCHOBJECT:
        value.type = KtWireValue::Type::NoSuchObject;
        break;
    case SNMP_NOSUCHINSTANCE:
        value.type = KtWireValue::Type::NoSuchInstance;
        break;
    case SNMP_ENDOFMIBVIEW:
        value.type = KtWireValue::Type::EndOfMibView;
        break;
    default:
        value.type = KtWireValue::Type::Null;
        break;
    }
    return value;
}

bool addVariable(netsnmp_pdu *pdu, const KtNetSnmpBinding &binding, bool withValue)
{
    if (binding.oid.isEmpty())
        return false;
    if (!withValue && binding.oid.size() <= MAX_OID_LEN) {
        // Every read sends its bindings this way: no allocation for the name.
        oid name[MAX_OID_LEN];
        std::copy(binding.oid.begin(), binding.oid.end(), name);
        return snmp_add_null_var(pdu, name, static_cast<size_t>(binding.oid.size())) != nullptr;
    }
    std::vector<oid> name(binding.oid.begin(), binding.oid.end());
    if (!withValue)
        return snmp_add_null_var(pdu, name.data(), name.size()) != nullptr;

    const KtWireValue &v = binding.value;
    const auto *bytes = reinterpret_cast<const u_char *>(v.bytes.constData());
    const auto byteCount = static_cast<size_t>(v.bytes.size());
    long integer = 0;
    u_long unsignedValue = static_cast<u_long>(static_cast<quint32>(v.number));
    struct counter64 c64 = {static_cast<u_long>(v.number >> 32),
                            static_cast<u_long>(v.number & 0xffffffffu)};
    std::vector<oid> objid(v.oid.begin(), v.oid.end());
    netsnmp_variable_list *added = nullptr;
    switch (v.type) {
    case KtWireValue::Type::Integer:
        integer = v.signedNumber();
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &integer,
                                      sizeof(integer));
        break;
    case KtWireValue::Type::OctetString:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OCTET_STR, bytes,
                                      byteCount);
        break;
    case KtWireValue::Type::Opaque:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OPAQUE, bytes,
                                      byteCount);
        break;
    case KtWireValue::Type::IpAddress:
        if (byteCount != 4)
            return false;
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_IPADDRESS, bytes, 4);
        break;
    case KtWireValue::Type::ObjectId:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OBJECT_ID,
                                      objid.data(), objid.size() * sizeof(oid));
        break;
    case KtWireValue::Type::Counter32:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_COUNTER,
                                      &unsignedValue, sizeof(unsignedValue));
        break;
    case KtWireValue::Type::Gauge32:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_GAUGE, &unsignedValue,
                                      sizeof(unsignedValue));
        break;
    case KtWireValue::Type::TimeTicks:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_TIMETICKS,
                                      &unsignedValue, sizeof(unsignedValue));
        break;
    case KtWireValue::Type::UInteger32:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_UINTEGER,
                                      &unsignedValue, sizeof(unsignedValue));
        break;
    case KtWireValue::Type::Counter64:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_COUNTER64, &c64,
                                      sizeof(c64));
        break;
    default:
        added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_NULL, nullptr, 0);
        break;
    }
    return added != nullptr;
}

u_char *duplicate(const QByteArray &bytes)
{
    auto *copy = static_cast<u_char *>(std::malloc(static_cast<size_t>(bytes.size()) + 1));
    if (copy) {
        std::memcpy(copy, bytes.constData(), static_cast<size_t>(bytes.size()));
        copy[bytes.size()] = 0;
    }
    return copy;
}

// An engine ID as the launch parameters give it: hex digits (optionally "0x" first), else the
// characters themselves.
QByteArray engineIdBytes(const QString &text)
{
    QString hex = text.trimmed();
    if (hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        hex = hex.mid(2);
    bool isHex = !hex.isEmpty() && hex.size() % 2 == 0;
    for (const QChar c : hex)
        isHex = isHex && QStringLiteral("0123456789abcdefABCDEF").contains(c);
    return isHex ? QByteArray::fromHex(hex.toLatin1()) : text.toUtf8();
}

// Engine IDs learned from the devices, by "address:port", so that only the first session to a
// device pays the discovery round trip.
std::map<QString, QByteArray> &engineIds()
{
    static std::map<QString, QByteArray> ids;
    return ids;
}

QString engineKey(const KtNetSnmpTarget &target)
{
    return target.address + QLatin1Char(':') + QString::number(target.port);
}

// One BER element: tag, and the content as an offset and length into data.
bool berElement(const QByteArray &data, int *pos, int *tag, int *start, int *length)
{
    const int size = data.size();
    if (*pos + 2 > size)
        return false;
    *tag = static_cast<quint8>(data.at(*pos));
    int n = static_cast<quint8>(data.at(*pos + 1));
    int at = *pos + 2;
    if (n & 0x80) {
        const int bytes = n & 0x7f;
        if (bytes < 1 || bytes > 3 || at + bytes > size)
            return false;
        n = 0;
        for (int i = 0; i < bytes; ++i)
            n = (n << 8) | static_cast<quint8>(data.at(at++));
    }
    if (at + n > size)
        return false;
    *start = at;
    *length = n;
    *pos = at + n;
    return true;
}

// The msgAuthoritativeEngineID of an SNMPv3 message (RFC 3412, 3414), or empty.
QByteArray authoritativeEngineId(const QByteArray &message)
{
    int pos = 0, tag = 0, start = 0, length = 0;
    if (!berElement(message, &pos, &tag, &start, &length) || tag != 0x30)
        return {};
    pos = start;
    if (!berElement(message, &pos, &tag, &start, &length) || tag != 0x02) // msgVersion
        return {};
    if (!berElement(message, &pos, &tag, &start, &length) || tag != 0x30) // msgGlobalData
        return {};
    if (!berElement(message, &pos, &tag, &start, &length) || tag != 0x04) // security parameters
        return {};
    const QByteArray parameters = message.mid(start, length);
    pos = 0;
    if (!berElement(parameters, &pos, &tag, &start, &length) || tag != 0x30)
        return {};
    pos = start;
    if (!berElement(parameters, &pos, &tag, &start, &length) || tag != 0x04)
        return {};
    return parameters.mid(start, length);
}

// The user net-snmp's USM sends discovery probes as: no name, no authentication, no privacy.
void ensureProbeUser()
{
    if (usm_get_user(nullptr, 0, const_cast<char *>("")))
        return;
    struct usmUser *user = usm_create_user();
    if (!user)
        return;
    user->name = strdup("");
    user->secName = strdup("");
    user->authProtocolLen = OID_LENGTH(usmNoAuthProtocol);
    user->authProtocol = snmp_duplicate_objid(usmNoAuthProtocol, user->authProtocolLen);
    user->privProtocolLen = OID_LENGTH(usmNoPrivProtocol);
    user->privProtocol = snmp_duplicate_objid(usmNoPrivProtocol, user->privProtocolLen);
    usm_add_user(user);
}

// (Re-)enters the session's user into the library's USM table for the session's engine, from
// the session's keys: a user left from an earlier session with other passwords or protocols
// must not be reused.
void enterUser(netsnmp_session *session)
{
    if (session->securityEngineIDLen == 0 || session->securityNameLen == 0)
        return;
    struct usmUser *old =
        usm_get_user(session->securityEngineID, session->securityEngineIDLen,
                     session->securityName);
    if (old) {
        usm_remove_user(old);
        usm_free_user(old);
    }
    session->flags &= ~SNMP_FLAGS_USER_CREATED;
    usm_create_user_from_session(session);
}

// A user key from a password (RFC 3414, A.2): a million bytes of hashing each. Every request
// opens sessions of its own, so each password's key is derived once per hash in this process.
bool passwordKey(const oid *hash, size_t hashLength, const QString &password, u_char *key,
                 size_t *keyLength)
{
    static std::map<QByteArray, QByteArray> keys;
    QByteArray pass = password.toUtf8();
    const QByteArray id =
        QByteArray(reinterpret_cast<const char *>(hash), static_cast<int>(hashLength * sizeof(oid)))
        + '\0' + pass;
    auto known = keys.find(id);
    if (known == keys.end()) {
        u_char derived[USM_AUTH_KU_LEN];
        size_t derivedLength = sizeof derived;
        if (generate_Ku(hash, static_cast<u_int>(hashLength),
                        reinterpret_cast<const u_char *>(pass.constData()),
                        static_cast<size_t>(pass.size()), derived, &derivedLength)
            != SNMPERR_SUCCESS)
            return false;
        known = keys.emplace(id, QByteArray(reinterpret_cast<const char *>(derived),
                                            static_cast<int>(derivedLength)))
                    .first;
    }
    const auto size = static_cast<size_t>(known->second.size());
    if (size > *keyLength)
        return false;
    std::memcpy(key, known->second.constData(), size);
    *keyLength = size;
    return true;
}

// The user-based security model's protocols by the records' numbers (counted from 1, 1 being
// none); null for a number the module does not speak.
const oid *authenticationProtocol(int number)
{
    switch (number) {
    case 2:
        return usmHMACMD5AuthProtocol;
    case 3:
        return usmHMACSHA1AuthProtocol;
    case 4:
        return usmHMAC128SHA224AuthProtocol;
    case 5:
        return usmHMAC192SHA256AuthProtocol;
    case 6:
        return usmHMAC256SHA384AuthProtocol;
    case 7:
        return usmHMAC384SHA512AuthProtocol;
    default:
        return nullptr;
    }
}

const oid *privacyProtocol(int number)
{
    switch (number) {
    case 2:
        return usmDESPrivProtocol;
    case 3:
        return usmAESPrivProtocol;
    default:
        return nullptr;
    }
}

} // namespace

bool KtNetSnmp::shiftEngineClock(const QString &ipv4, quint16 port, int boots, int seconds)
{
    auto known = engineIds().find(ipv4 + QLatin1Char(':') + QString::number(port));
    if (known == engineIds().end())
        return false;
    const auto *id = reinterpret_cast<const u_char *>(known->second.constData());
    const auto length = static_cast<u_int>(known->second.size());
    u_int engineBoots = 0;
    u_int engineTime = 0;
    if (get_enginetime(id, length, &engineBoots, &engineTime, TRUE) != SNMPERR_SUCCESS)
        return false;
    return set_enginetime(id, length, static_cast<u_int>(int(engineBoots) + boots),
                          static_cast<u_int>(int(engineTime) + seconds), TRUE)
           == SNMPERR_SUCCESS;
}

bool KtNetSnmpTarget::sameSession(const KtNetSnmpTarget &o) const
{
    return address == o.address && port == o.port && version == o.version
           && readCommunity == o.readCommunity && securityLevel == o.securityLevel
           && securityName == o.securityName && authPassword == o.authPassword
           && privPassword == o.privPassword && authProtocol == o.authProtocol
           && privProtocol == o.privProtocol && timeout == o.timeout && retries == o.retries;
}

bool KtNetSnmp::resolveAddress(const QString &text, QString *ipv4)
{
    const QByteArray trimmed = text.trimmed().toUtf8();
    // The C library reads up to the first NUL: a text holding one is no address at all.
    if (trimmed.isEmpty() || trimmed.contains('\0'))
        return false;
    char dotted[INET_ADDRSTRLEN] = {};
    in_addr address{};
    in6_addr address6{};
    if (::inet_pton(AF_INET, trimmed.constData(), &address) == 1) {
        ::inet_ntop(AF_INET, &address, dotted, sizeof dotted);
        *ipv4 = QString::fromLatin1(dotted);
        return true;
    }
    if (::inet_pton(AF_INET6, trimmed.constData(), &address6) == 1) {
        // An IPv6 address serves only when it carries an IPv4 one (::ffff:a.b.c.d).
        if (!IN6_IS_ADDR_V4MAPPED(&address6))
            return false;
        std::memcpy(&address, address6.s6_addr + 12, sizeof address);
        ::inet_ntop(AF_INET, &address, dotted, sizeof dotted);
        *ipv4 = QString::fromLatin1(dotted);
        return true;
    }
    // A name: resolved like the library would, blocking, as every send builds its target.
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(trimmed.constData(), nullptr, &hints, &found) != 0 || !found)
        return false;
    const auto *first = reinterpret_cast<const sockaddr_in *>(found->ai_addr);
    ::inet_ntop(AF_INET, &first->sin_addr, dotted, sizeof dotted);
    ::freeaddrinfo(found);
    *ipv4 = QString::fromLatin1(dotted);
    return true;
}

namespace {
quint64 s_packetsSent = 0;
}

quint64 KtNetSnmp::packetsSent()
{
    return s_packetsSent;
}

int KtNetSnmp::refusal(const KtNetSnmpTarget &target)
{
    enum { NoAuthNoPriv = 1, AuthNoPriv = 2, AuthPriv = 3 };
    enum { NoProtocol = 1 };
    if (target.version == 0 || target.version == 1)
        return 0; // communities: the SNMPv3 fields play no part
    if (target.version != 3)
        return SPP_CLASS_INVALID_TARGET;
    if (target.securityModel != SNMP_SEC_MODEL_USM)
        return SPP_MP_UNSUPPORTED_SECURITY_MODEL;
    if (target.securityLevel < NoAuthNoPriv || target.securityLevel > AuthPriv)
        return SPP_USM_UNSUPPORTED_SECURITY_LEVEL;
    // Privacy is checked before authentication, as the user-based security model encrypts
    // before it signs; a level the user's protocols cannot give is unsupported for that user.
    if (target.securityLevel == AuthPriv) {
        if (target.privProtocol == NoProtocol)
            return SPP_USM_UNSUPPORTED_SECURITY_LEVEL;
        if (!privacyProtocol(target.privProtocol))
            return SPP_USM_UNSUPPORTED_PRIVPROTOCOL;
    }
    if (target.securityLevel >= AuthNoPriv) {
        if (target.authProtocol == NoProtocol)
            return SPP_USM_UNSUPPORTED_SECURITY_LEVEL;
        if (!authenticationProtocol(target.authProtocol))
            return SPP_USM_UNSUPPORTED_AUTHPROTOCOL;
    }
    return 0;
}

namespace {

// Every exchange in flight by its token. net-snmp matches an answer to its request by message
// ID and calls back with the token; the request ID it passes along is not reliable (a report
// about a message the device could not authenticate carries none).
std::map<quint64, KtNetSnmpChannel::Session *> &exchangeOwners()
{
    static std::map<quint64, KtNetSnmpChannel::Session *> owners;
    return owners;
}

quint64 nextToken()
{
    static quint64 token = 0;
    return ++token;
}

} // namespace

struct KtNetSnmpChannel::Exchange {
    KtNetSnmpCommand command = KtNetSnmpCommand::Get;
    QVector<KtNetSnmpBinding> bindings;
    int maxRepetitions = 0; // GetBulk
    Completion completion;
    bool synchronous = false;
    bool probe = false;
    bool done = false;
    quint64 token = 0; // what net-snmp hands back to the callback
    int resends = 0;
    int lastReport = 0;
    QElapsedTimer sinceActivity;
    bool inSend = false; // inside snmp_sess_async_send
    Session *owner = nullptr;
    KtNetSnmpResult result;
};

struct KtNetSnmpChannel::Session {
    enum State { Ready, NeedsProbe, Probing };
    KtNetSnmpChannel *channel = nullptr;
    void *handle = nullptr;
    KtNetSnmpTarget target;
    int socket = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    State state = Ready;
    std::map<quint64, std::shared_ptr<Exchange>> exchanges; // by token
    std::deque<std::shared_ptr<Exchange>> waiting;          // sends waiting for the discovery
    bool closing = false;
    quint64 callbacks = 0; // calls net-snmp made for this session's exchanges
    QByteArray engineId;   // the engine the session was opened for (SNMPv3)
    // SNMPv3: the datagram the last read took from the socket (see answerDropped).
    QByteArray received;

    netsnmp_session *library() const { return snmp_sess_session(handle); }
    // How long an exchange may stay silent before the channel gives it up itself: net-snmp
    // forgets a request whose last retransmission was refused by a report.
    qint64 watchdogMs() const
    {
        return qint64(target.timeout) * 10 * (target.retries + 1) + 2000;
    }
};

namespace {

using Receive = int (*)(netsnmp_transport *, void *, int, void **, int *);

// The SNMPv3 sessions' transports, with their own receive function and where a copy of each
// datagram goes: net-snmp drops what it cannot match, and the session must still see it.
std::map<netsnmp_transport *, std::pair<Receive, QByteArray *>> &keptTransports()
{
    static std::map<netsnmp_transport *, std::pair<Receive, QByteArray *>> transports;
    return transports;
}

int receiveAndKeep(netsnmp_transport *transport, void *buffer, int size, void **opaque,
                   int *opaqueLength)
{
    const auto found = keptTransports().find(transport);
    if (found == keptTransports().end())
        return -1;
    const int received = found->second.first(transport, buffer, size, opaque, opaqueLength);
    if (received > 0) {
        QByteArray *copy = found->second.second;
        copy->resize(received);
        std::memcpy(copy->data(), buffer, static_cast<size_t>(received));
    }
    return received;
}

} // namespace

KtNetSnmpChannel::KtNetSnmpChannel(QObject *parent) : QObject(parent)
{
    KtNetSnmp::initLibrary();
    KtNetSnmp::registerChannel(this);
}

KtNetSnmpChannel::~KtNetSnmpChannel()
{
    KtNetSnmp::unregisterChannel(this);
    m_ready.clear();
    for (auto &session : m_sessions)
        closeSession(session.get());
}

int KtNetSnmpChannel::pending() const
{
    return m_pending;
}

void KtNetSnmpChannel::closeSession(Session *session)
{
    if (!session->handle)
        return;
    // net-snmp reports every request still queued as timed out while it closes: those reports
    // are dropped, nobody waits for them any more.
    session->closing = true;
    // The notifier may be the one whose signal is being handled right now.
    if (session->notifier) {
        session->notifier->setEnabled(false);
        session->notifier.release()->deleteLater();
    }
    if (netsnmp_transport *transport = snmp_sess_transport(session->handle)) {
        const auto kept = keptTransports().find(transport);
        if (kept != keptTransports().end()) {
            transport->f_recv = kept->second.first;
            keptTransports().erase(kept);
        }
    }
    snmp_sess_close(session->handle);
    session->handle = nullptr;
    for (const auto &entry : session->exchanges)
        exchangeOwners().erase(entry.first);
    session->exchanges.clear();
    session->waiting.clear();
}

KtNetSnmpChannel::Session *KtNetSnmpChannel::sessionFor(const KtNetSnmpTarget &target,
                                                         int *failure)
{
    *failure = 0;
    if (!m_sessions.empty() && m_sessions.back()->handle
        && m_sessions.back()->target.sameSession(target)) {
        m_sessions.back()->target = target;
        return m_sessions.back().get();
    }
    return openSession(target, failure);
}

KtNetSnmpChannel::Session *KtNetSnmpChannel::openSession(const KtNetSnmpTarget &target,
                                                         int *failure)
{
    *failure = 0;
    netsnmp_session in;
    snmp_sess_init(&in);
    QByteArray peer = "udp:" + target.address.toLatin1() + ':' + QByteArray::number(target.port);
    in.peername = peer.data();
    in.version = target.version == 3   ? SNMP_VERSION_3
                 : target.version == 1 ? SNMP_VERSION_2c
                                       : SNMP_VERSION_1;
    in.timeout = static_cast<long>(target.timeout) * 10000; // hundredths -> microseconds
    in.retries = target.retries;
    // Discovery is ours, asynchronous; never let the library probe inside a send.
    in.flags |= SNMP_FLAGS_DONT_PROBE;

    QByteArray community = target.readCommunity.toUtf8();
    QByteArray name = target.securityName.toUtf8();
    QByteArray engineId;
    if (target.version != 3) {
        in.community = reinterpret_cast<u_char *>(community.data());
        in.community_len = static_cast<size_t>(community.size());
    } else {
        in.securityModel = SNMP_SEC_MODEL_USM;
        in.securityName = name.data();
        in.securityNameLen = static_cast<size_t>(name.size());
        in.securityLevel = target.securityLevel == 3   ? SNMP_SEC_LEVEL_AUTHPRIV
                           : target.securityLevel == 2 ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                                       : SNMP_SEC_LEVEL_NOAUTH;
        if (in.securityLevel != SNMP_SEC_LEVEL_NOAUTH) {
            // refusal() has let only known protocols through.
            oid *hash = const_cast<oid *>(authenticationProtocol(target.authProtocol));
            in.securityAuthProto = hash;
            in.securityAuthProtoLen = USM_AUTH_PROTO_MD5_LEN;
            in.securityAuthKeyLen = USM_AUTH_KU_LEN;
            if (!passwordKey(hash, USM_AUTH_PROTO_MD5_LEN, target.authPassword,
                             in.securityAuthKey, &in.securityAuthKeyLen)) {
                *failure = SPP_USM_AUTHENTICATION_ERROR;
                return nullptr;
            }
        } else {
            in.securityAuthProto = usmNoAuthProtocol;
            in.securityAuthProtoLen = OID_LENGTH(usmNoAuthProtocol);
        }
        if (in.securityLevel == SNMP_SEC_LEVEL_AUTHPRIV) {
            in.securityPrivProto = const_cast<oid *>(privacyProtocol(target.privProtocol));
            in.securityPrivProtoLen = USM_PRIV_PROTO_DES_LEN;
            in.securityPrivKeyLen = USM_PRIV_KU_LEN;
            if (!passwordKey(in.securityAuthProto, in.securityAuthProtoLen, target.privPassword,
                             in.securityPrivKey, &in.securityPrivKeyLen)) {
                *failure = SPP_USM_ENCRYPTION_ERROR;
                return nullptr;
            }
        } else {
            in.securityPrivProto = usmNoPrivProtocol;
            in.securityPrivProtoLen = OID_LENGTH(usmNoPrivProtocol);
        }
        auto known = engineIds().find(engineKey(target));
        if (known != engineIds().end()) {
            engineId = known->second;
            in.securityEngineID = reinterpret_cast<u_char *>(engineId.data());
            in.securityEngineIDLen = static_cast<size_t>(engineId.size());
        }
    }

    void *handle = snmp_sess_open(&in);
    if (!handle) {
        *failure = fromNetSnmpError(in.s_snmp_errno);
        if (*failure == SPP_CLASS_ERROR)
            *failure = SPP_CLASS_TL_FAILED;
        return nullptr;
    }

    // The session that served until now stays open while it has exchanges in flight.
    auto session = std::make_unique<Session>();
    session->channel = this;
    session->handle = handle;
    session->target = target;
    netsnmp_session *library = session->library();
    library->flags |= SNMP_FLAGS_DONT_PROBE; // the library clears it once the session is open
    if (target.version == 3) {
        if (library->securityEngineIDLen == 0) {
            session->state = Session::NeedsProbe;
        } else {
            session->engineId = engineId;
            enterUser(library);
        }
    }
    netsnmp_transport *transport = snmp_sess_transport(handle);
    session->socket = transport ? transport->sock : -1;
    if (transport && transport->f_recv && target.version == 3) {
        // A copy of each datagram as net-snmp reads it, instead of a look at the socket
        // before every read.
        keptTransports()[transport] = {transport->f_recv, &session->received};
        transport->f_recv = receiveAndKeep;
    }
    if (session->socket >= 0) {
        session->notifier = std::make_unique<QSocketNotifier>(session->socket,
                                                              QSocketNotifier::Read);
        Session *raw = session.get();
        connect(session->notifier.get(), &QSocketNotifier::activated, this,
                [this, raw] { readSocket(raw); });
    }
    m_sessions.push_back(std::move(session));
    dropIdleSessions();
    return m_sessions.back().get();
}

void KtNetSnmpChannel::dropIdleSessions()
{
    for (size_t i = 0; i + 1 < m_sessions.size();) {
        Session *session = m_sessions[i].get();
        if (session->exchanges.empty() && session->waiting.empty()) {
            closeSession(session);
            m_sessions.erase(m_sessions.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
}

int KtNetSnmpChannel::transmit(Session *session, const std::shared_ptr<Exchange> &exchange)
{
    const KtNetSnmpTarget &target = session->target;
    netsnmp_pdu *pdu = nullptr;
    if (exchange->probe) {
        // An empty get from the empty user: the device answers with a report that carries its
        // engine ID (RFC 3414, 4).
        ensureProbeUser();
        pdu = snmp_pdu_create(SNMP_MSG_GET);
        pdu->version = SNMP_VERSION_3;
        pdu->securityName = strdup("");
        pdu->securityNameLen = 0;
        pdu->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        pdu->securityModel = SNMP_SEC_MODEL_USM;
    } else {
        const int command = exchange->command == KtNetSnmpCommand::Set       ? SNMP_MSG_SET
                            : exchange->command == KtNetSnmpCommand::GetNext ? SNMP_MSG_GETNEXT
                            : exchange->command == KtNetSnmpCommand::GetBulk ? SNMP_MSG_GETBULK
                                                                             : SNMP_MSG_GET;
        pdu = snmp_pdu_create(command);
        if (command == SNMP_MSG_GETBULK) {
            pdu->non_repeaters = 0;
            pdu->max_repetitions = std::max(1, exchange->maxRepetitions);
        }
        for (const KtNetSnmpBinding &binding : exchange->bindings) {
            if (!addVariable(pdu, binding, command == SNMP_MSG_SET)) {
                snmp_free_pdu(pdu);
                return SPP_CLASS_INVALID_PDU;
            }
        }
        if (target.version == 3) {
            pdu->securityLevel = session->library()->securityLevel;
            const QByteArray context = target.contextName.toUtf8();
            pdu->contextName = reinterpret_cast<char *>(duplicate(context));
            pdu->contextNameLen = static_cast<size_t>(context.size());
            const QByteArray contextEngine = engineIdBytes(target.contextEngineID);
            if (!target.contextEngineID.isEmpty()) {
                pdu->contextEngineID = duplicate(contextEngine);
                pdu->contextEngineIDLen = static_cast<size_t>(contextEngine.size());
            }
        } else {
            // Reads go out with the read community, writes with the write community.
            const QByteArray community = (command == SNMP_MSG_SET ? target.writeCommunity
                                                                  : target.readCommunity)
                                             .toUtf8();
            pdu->community = duplicate(community);
            pdu->community_len = static_cast<size_t>(community.size());
        }
    }

    exchange->token = nextToken();
    exchange->owner = session;
    session->exchanges[exchange->token] = exchange;
    exchangeOwners()[exchange->token] = session;
    exchange->inSend = true;
    const int requestId =
        snmp_sess_async_send(session->handle, pdu, libraryCallback,
                             reinterpret_cast<void *>(static_cast<quintptr>(exchange->token)));
    exchange->inSend = false;
    if (requestId != 0)
        ++s_packetsSent;
    if (requestId == 0) {
        session->exchanges.erase(exchange->token);
        exchangeOwners().erase(exchange->token);
        const int error = session->library()->s_snmp_errno;
        snmp_free_pdu(pdu);
        if (exchange->done && exchange->result.status != 0)
            return exchange->result.status; // reported from inside the send
        exchange->done = false;
        int status = fromNetSnmpError(error);
        if (status == SPP_CLASS_ERROR || status == 0)
            status = SPP_CLASS_TL_FAILED;
        return status;
    }
    if (exchange->done) {
        // Completed from inside the send (a library that reports a failed send through the
        // callback): the exchange counts as sent, its outcome follows like any other.
        if (exchange->probe)
            probeFinished(session, exchange->result);
        else if (!exchange->synchronous)
            deliverLater(exchange);
        return 0;
    }
    exchange->sinceActivity.start();
    return 0;
}

int KtNetSnmpChannel::libraryCallback(int operation, snmp_session *librarySession, int,
                                      snmp_pdu *pdu, void *magic)
{
    const auto token = static_cast<quint64>(reinterpret_cast<quintptr>(magic));
    auto owner = exchangeOwners().find(token);
    if (owner == exchangeOwners().end())
        return 1;
    Session *session = owner->second;
    ++session->callbacks;
    auto found = session->exchanges.find(token);
    if (found == session->exchanges.end())
        return 1;
    std::shared_ptr<Exchange> exchange = found->second;
    if (exchange->done)
        return 1;

    switch (operation) {
    case NETSNMP_CALLBACK_OP_RESEND:
        // A retransmission, not a result.
        ++s_packetsSent;
        ++exchange->resends;
        exchange->sinceActivity.start();
        return 1;
    case NETSNMP_CALLBACK_OP_CONNECT:
        return 1;
    default:
        break;
    }
    if (session->closing) {
        exchange->done = true;
        return 1;
    }

    // net-snmp 5.9 announces a report first as a security error and then delivers it as a
    // received message (other versions in the other order): both are the report.
    if (operation == NETSNMP_CALLBACK_OP_SEC_ERROR && pdu && pdu->command == SNMP_MSG_REPORT)
        operation = NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE;

    KtNetSnmpResult result;
    result.agentAddress = session->target.address;
    result.agentPort = session->target.port;
    switch (operation) {
    case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE:
        if (!pdu) {
            result.status = SPP_CLASS_ERROR;
        } else if (exchange->probe) {
            // The report (or, from a lenient device, a response) names the engine.
            if (pdu->securityEngineIDLen > 0) {
                if (librarySession->securityEngineIDLen == 0) {
                    librarySession->securityEngineID = static_cast<u_char *>(
                        netsnmp_memdup(pdu->securityEngineID, pdu->securityEngineIDLen));
                    librarySession->securityEngineIDLen = pdu->securityEngineIDLen;
                }
                result.status = 0;
            } else {
                result.status = SPP_USM_UNKNOWN_ENGINEID;
            }
        } else if (pdu->command == SNMP_MSG_REPORT) {
            const int report = fromReport(pdu);
            exchange->lastReport = report;
            // After the device restarted, its first answer tells us its new boot count and
            // time; net-snmp takes them over and sends the request again while it has
            // retries left.
            if (report == SPP_USM_NOT_IN_TIME_WINDOW
                && exchange->resends <= session->target.retries) {
                exchange->sinceActivity.start();
                return 1;
            }
            result.status = report;
        } else {
            result.status = static_cast<int>(pdu->errstat);
            result.errorIndex = static_cast<int>(pdu->errindex);
            int count = 0;
            for (netsnmp_variable_list *vb = pdu->variables; vb; vb = vb->next_variable)
                ++count;
            result.bindings.reserve(count);
            for (netsnmp_variable_list *vb = pdu->variables; vb; vb = vb->next_variable) {
                KtNetSnmpBinding binding;
                binding.oid = QVector<quint32>(static_cast<qsizetype>(vb->name_length));
                quint32 *name = binding.oid.data();
                for (size_t i = 0; i < vb->name_length; ++i)
                    name[i] = static_cast<quint32>(vb->name[i]);
                binding.value = wireFromVariable(vb);
                result.bindings.append(std::move(binding));
            }
        }
        break;
    case NETSNMP_CALLBACK_OP_TIMED_OUT:
        result.status = exchange->lastReport ? exchange->lastReport : SPP_CLASS_TIMEOUT;
        break;
    case NETSNMP_CALLBACK_OP_SEND_FAILED:
    case NETSNMP_CALLBACK_OP_DISCONNECT:
        result.status = SPP_CLASS_TL_FAILED;
        break;
    case NETSNMP_CALLBACK_OP_SEC_ERROR: {
        const int error = librarySession ? librarySession->s_snmp_errno : 0;
        result.status = error ? fromNetSnmpError(error) : SPP_USM_ERROR;
        if (result.status == SPP_CLASS_ERROR)
            result.status = SPP_USM_ERROR;
        break;
    }
    default:
        return 1;
    }
    if (!exchange->inSend) {
        session->channel->finish(session, token, result);
    } else {
        // Still inside snmp_sess_async_send: transmit() takes the outcome from here.
        session->exchanges.erase(token);
        exchangeOwners().erase(token);
        exchange->done = true;
        exchange->result = result;
    }
    return 1;
}

void KtNetSnmpChannel::finish(Session *session, quint64 token, const KtNetSnmpResult &result)
{
    auto found = session->exchanges.find(token);
    if (found == session->exchanges.end())
        return;
    std::shared_ptr<Exchange> exchange = found->second;
    session->exchanges.erase(found);
    exchangeOwners().erase(token);
    exchange->done = true;
    exchange->result = result;
    if (exchange->probe)
        probeFinished(session, result);
    else if (!exchange->synchronous)
        deliverLater(exchange);
}

int KtNetSnmpChannel::startProbe(Session *session, bool synchronous)
{
    auto probe = std::make_shared<Exchange>();
    probe->probe = true;
    probe->synchronous = synchronous;
    session->state = Session::Probing;
    const int status = transmit(session, probe);
    if (status != 0) {
        session->state = Session::NeedsProbe;
        return status;
    }
    if (synchronous) {
        waitFor(session, probe);
        return probe->result.status;
    }
    return 0;
}

void KtNetSnmpChannel::probeFinished(Session *session, const KtNetSnmpResult &result)
{
    netsnmp_session *library = session->library();
    if (result.status == 0 && library->securityEngineIDLen > 0) {
        session->engineId = QByteArray(reinterpret_cast<const char *>(library->securityEngineID),
                                       static_cast<int>(library->securityEngineIDLen));
        engineIds()[engineKey(session->target)] = session->engineId;
        enterUser(library);
        session->state = Session::Ready;
    } else {
        session->state = Session::NeedsProbe;
    }
    // The waiting sends go out now (net-snmp allows sending from its callbacks), or fail with
    // the probe's outcome.
    std::deque<std::shared_ptr<Exchange>> waiting;
    waiting.swap(session->waiting);
    for (const auto &exchange : waiting) {
        if (exchange->done)
            continue; // given up meanwhile
        int sent = result.status != 0 ? result.status : SPP_USM_UNKNOWN_ENGINEID;
        if (session->state == Session::Ready)
            sent = transmit(session, exchange);
        if (sent != 0) {
            exchange->done = true;
            exchange->result = KtNetSnmpResult();
            exchange->result.status = sent;
            exchange->result.agentAddress = session->target.address;
            exchange->result.agentPort = session->target.port;
            if (!exchange->synchronous)
                deliverLater(exchange);
        }
    }
}

void KtNetSnmpChannel::deliverLater(const std::shared_ptr<Exchange> &exchange)
{
    m_ready.push_back(exchange);
    // An answer read from the socket notifier is delivered as soon as net-snmp has returned;
    // anything else (answers met during a synchronous wait) from the event loop.
    if (m_deliveryQueued || m_reading)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, [this] { deliverReady(); }, Qt::QueuedConnection);
}

void KtNetSnmpChannel::deliverReady()
{
    m_deliveryQueued = false;
    QPointer<KtNetSnmpChannel> self(this);
    while (self && !m_ready.empty()) {
        std::shared_ptr<Exchange> exchange = m_ready.front();
        m_ready.pop_front();
        --m_pending;
        if (exchange->completion)
            exchange->completion(exchange->result); // may destroy this channel
    }
    if (self)
        dropIdleSessions();
}

void KtNetSnmpChannel::readSocket(Session *session)
{
    if (!session->handle)
        return;
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(session->socket, &fds);
    session->received.resize(0);
    m_reading = true;
    const quint64 callbacks = session->callbacks;
    snmp_sess_read(session->handle, &fds);
    m_reading = false;
    if (session->callbacks == callbacks)
        answerDropped(session, QByteArray(session->received));
    if (!m_ready.empty())
        deliverReady(); // may destroy this channel: nothing may follow
}

void KtNetSnmpChannel::answerDropped(Session *session, const QByteArray &datagram)
{
    // A datagram net-snmp could not match to any request. When it comes from another engine
    // than the one the session talks to, the device has restarted with a new engine ID and
    // reports that it does not know ours (a report net-snmp cannot tie to the request).
    // Discover the engine again and send what is in flight once more, instead of waiting for
    // the time-out.
    if (session->target.version != 3 || session->state != Session::Ready || session->closing
        || session->exchanges.empty() || session->engineId.isEmpty())
        return;
    const QByteArray engine = authoritativeEngineId(datagram);
    if (engine.isEmpty() || engine == session->engineId)
        return;
    const QString key = engineKey(session->target);

    engineIds().erase(key);
    int failure = 0;
    Session *fresh = openSession(session->target, &failure);
    if (!fresh)
        return;
    // The exchanges move over; the old session is closed without reporting them.
    std::vector<std::shared_ptr<Exchange>> moved;
    for (const auto &entry : session->exchanges) {
        if (entry.second->probe)
            continue;
        exchangeOwners().erase(entry.first);
        entry.second->owner = fresh;
        entry.second->resends = 0;
        entry.second->lastReport = 0;
        entry.second->sinceActivity.start();
        moved.push_back(entry.second);
    }
    session->exchanges.clear();
    closeSession(session);
    for (const auto &exchange : moved)
        fresh->waiting.push_back(exchange);
    const int status = startProbe(fresh, false);
    if (status != 0) {
        KtNetSnmpResult failed;
        failed.status = status;
        probeFinished(fresh, failed);
    }
}

void KtNetSnmpChannel::waitFor(Session *, const std::shared_ptr<Exchange> &exchange)
{
    // Blocks like the library's synchronous calls, serving only the socket of the session that
    // carries the exchange (it changes when the device's engine had to be discovered again).
    while (!exchange->done) {
        Session *session = exchange->owner;
        if (!session || !session->handle)
            break;
        fd_set fds;
        FD_ZERO(&fds);
        int fdCount = 0;
        int block = 1;
        struct timeval wait = {0, 0};
        snmp_sess_select_info(session->handle, &fdCount, &fds, &wait, &block);
        if (block) {
            wait.tv_sec = 0;
            wait.tv_usec = 20000;
        }
        const int ready = select(fdCount, &fds, nullptr, nullptr, &wait);
        if (ready > 0) {
            session->received.resize(0);
            const quint64 callbacks = session->callbacks;
            snmp_sess_read(session->handle, &fds);
            if (session->callbacks == callbacks)
                answerDropped(session, QByteArray(session->received));
        } else if (ready == 0) {
            snmp_sess_timeout(session->handle);
        } else if (errno != EINTR) {
            KtNetSnmpResult failed;
            failed.status = SPP_CLASS_TL_FAILED;
            finish(session, exchange->token, failed);
            break;
        }
        session = exchange->owner;
        if (!exchange->done && session
            && exchange->sinceActivity.elapsed() > session->watchdogMs()) {
            KtNetSnmpResult silent;
            silent.status = exchange->lastReport ? exchange->lastReport : SPP_CLASS_TIMEOUT;
            if (session->exchanges.count(exchange->token)) {
                finish(session, exchange->token, silent);
            } else {
                exchange->done = true; // still waiting for a discovery that never ended
                exchange->result = silent;
            }
        }
    }
    if (!exchange->done) {
        exchange->done = true;
        exchange->result.status = SPP_CLASS_TL_FAILED;
    }
}

KtNetSnmpResult KtNetSnmpChannel::sendSync(const KtNetSnmpTarget &target,
                                           KtNetSnmpCommand command,
                                           const QVector<KtNetSnmpBinding> &bindings,
                                           int maxRepetitions)
{
    KtNetSnmpResult failed;
    failed.agentAddress = target.address;
    failed.agentPort = target.port;
    int status = KtNetSnmp::refusal(target);
    if (status != 0) {
        failed.status = status;
        return failed;
    }
    Session *session = sessionFor(target, &status);
    if (!session) {
        failed.status = status;
        return failed;
    }
    if (session->state == Session::NeedsProbe) {
        status = startProbe(session, true);
        if (status != 0 || session->state != Session::Ready) {
            failed.status = status != 0 ? status : SPP_USM_UNKNOWN_ENGINEID;
            return failed;
        }
    } else if (session->state == Session::Probing) {
        // An asynchronous discovery is under way: wait for it like for our own.
        while (session->state == Session::Probing && session->handle) {
            std::shared_ptr<Exchange> probe;
            for (const auto &entry : session->exchanges)
                if (entry.second->probe)
                    probe = entry.second;
            if (!probe)
                break;
            waitFor(session, probe);
        }
        if (session->state != Session::Ready) {
            failed.status = SPP_CLASS_TIMEOUT;
            return failed;
        }
    }

    auto exchange = std::make_shared<Exchange>();
    exchange->command = command;
    exchange->bindings = bindings;
    exchange->maxRepetitions = maxRepetitions;
    exchange->synchronous = true;
    status = transmit(session, exchange);
    if (status != 0) {
        failed.status = status;
        return failed;
    }
    waitFor(session, exchange);
    return exchange->result;
}

int KtNetSnmpChannel::sendAsync(const KtNetSnmpTarget &target, KtNetSnmpCommand command,
                                const QVector<KtNetSnmpBinding> &bindings,
                                Completion completion, int maxRepetitions)
{
    int status = KtNetSnmp::refusal(target);
    if (status != 0)
        return status;
    if (!KtNetSnmp::eventProcessorRunning())
        KtNetSnmp::startEventProcessor();
    Session *session = sessionFor(target, &status);
    if (!session)
        return status;

    auto exchange = std::make_shared<Exchange>();
    exchange->command = command;
    exchange->bindings = bindings;
    exchange->maxRepetitions = maxRepetitions;
    exchange->completion = std::move(completion);
    exchange->sinceActivity.start();
    if (session->state != Session::Ready) {
        session->waiting.push_back(exchange);
        if (session->state == Session::NeedsProbe) {
            status = startProbe(session, false);
            if (status != 0) {
                session->waiting.pop_back();
                return status;
            }
        }
        ++m_pending;
        return 0;
    }
    status = transmit(session, exchange);
    if (status != 0)
        return status;
    ++m_pending;
    return 0;
}

void KtNetSnmpChannel::processTimeouts()
{
    for (size_t i = 0; i < m_sessions.size(); ++i) {
        Session *session = m_sessions[i].get();
        if (!session->handle || session->exchanges.empty())
            continue;
        snmp_sess_timeout(session->handle);
        std::vector<quint64> silent;
        for (const auto &entry : session->exchanges)
            if (entry.second->sinceActivity.elapsed() > session->watchdogMs())
                silent.push_back(entry.first);
        for (quint64 token : silent) {
            auto found = session->exchanges.find(token);
            if (found == session->exchanges.end())
                continue;
            KtNetSnmpResult result;
            result.status = found->second->lastReport ? found->second->lastReport
                                                      : SPP_CLASS_TIMEOUT;
            result.agentAddress = session->target.address;
            result.agentPort = session->target.port;
            finish(session, token, result);
        }
    }
}
