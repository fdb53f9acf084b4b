#include "ktsnmprequest.h"

#include "ktdatetime.h"
#include "ktexception.h"
#include "ktexpression.h"
#include "ktmessages.h"
#include "ktnetsnmpchannel.h"
#include "ktoptionlist.h"
#include "ktsnmpsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

// How net-snmp's outcomes reach the module. The channel (ktnetsnmpchannel.cpp) turns each one
// into the value SNMP++ gives for it, MapError turns that value into the code and catalogue text:
//
//   net-snmp outcome                                SNMP++ value        module code
//   response, error status 0                        0                   0     "(KtSNMP++) Ok!"
//   response, error status 1..19 (19: the device's  1..19               -101..-119 (SNMP table)
//     own "overdue firmware")
//   v1 noSuchName (2) ending a table walk           (normal end)        0
//   noSuchObject/noSuchInstance/endOfMibView        walk: column end;   -102 on a scalar read
//   OP_TIMED_OUT, SNMPERR_TIMEOUT                   -5  CLASS_TIMEOUT   -405
//   send failed (BAD_SENDTO, NO_SOCKET, OP_SEND_FAILED, DISCONNECT)
//                                                   -22 CLASS_TL_FAILED -422
//   SNMPERR_BAD_ADDRESS                             -18 INVALID_ADDRESS -418
//   PDU cannot be built (TOO_LONG, BAD_ASN1_BUILD)  -11 INVALID_PDU     -411
//   answer with fewer bindings than asked           -11 INVALID_PDU     -411
//   answer to a get naming another OID              -17 INVALID_OID     -417
//   SNMPERR_MALLOC                                  -2  RESOURCE_UNAVAIL -402
//   other library failures (GENERR ...)             -1  CLASS_ERROR     -401
//   report snmpUnknownSecurityModels                -1402               -201
//   report snmpInvalidMsgs                          -1405               -204
//   SNMPERR_BAD_ENG_ID                              -1406               -205
//   parse errors (ASN_PARSE_ERR, BAD_PARSE)         -1408               -207
//   report snmpUnknownPDUHandlers                   -1415               -214
//   report snmpUnavailableContexts                  -1416               -215
//   report snmpUnknownContexts                      -1417               -216
//   USM generic error, unknown report, OP_SEC_ERROR 1401 USM_ERROR      -301
//   report usmStatsUnsupportedSecLevels             1403                -303
//   report usmStatsUnknownUserNames (unknown user)  1404                -304
//   local encryption failure, priv key from a too short password
//                                                   1405                -305
//   report usmStatsDecryptionErrors                 1406                -306
//   auth key from a too short password              1407                -307
//   report usmStatsWrongDigests (wrong password)    1408                -308
//   SNMPERR_USM_PARSEERROR                          1409                -309
//   report usmStatsUnknownEngineIDs, no engine ID learned by discovery
//                                                   1410                -310
//   report usmStatsNotInTimeWindows when net-snmp has no retry left
//                                                   1411                -311
//   refused before sending (KtNetSnmp::refusal), nothing goes out:
//     version other than 0, 1 or 3                  -12 INVALID_TARGET  -412
//     SNMPv3 with a security model other than USM   -1402               -201
//     SNMPv3 level outside 1..3; authPriv without a privacy protocol, or a higher level
//     without an authentication protocol            1403                -303
//     authentication protocol other than MD5, SHA, SHA-224, SHA-256, SHA-384, SHA-512
//                                                   1412                -312
//     privacy protocol other than DES, AES-128      1413                -313
//   bulk walk: getbulk answered with an error status, or with bindings that cannot be the
//     rows that follow                              (the step is sent again as get-next)
//   OP_RESEND                                       (not a result: a retransmission)
//   session closed while the request is destroyed   (dropped; only outstanding counts down)

namespace {

using KtMessages::Table;

[[noreturn]] void raise(int code)
{
    throw KtException(code, KtMessages::text(Table::KtSnmp, code == 0 ? 0 : -code - 500));
}

bool isBooleanSyntax(int syntax)
{
    return syntax == SYN_BOOLEAN || syntax == SYN_BOOL8 || syntax == SYN_BOOL16;
}

bool isIntegerSyntax(int syntax)
{
    switch (syntax) {
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
    case SYN_INT8:
    case SYN_UINT8:
    case SYN_INT16:
    case SYN_UINT16:
        return true;
    default:
        return false;
    }
}

bool isTrueText(const QString &text)
{
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok && number != 0;
}

quint32 subId(QStringView text)
{
    bool ok = false;
    const quint32 value = text.toUInt(&ok);
    if (!ok)
        raise(-514);
    return value;
}

quint64 doubleBits(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double bitsDouble(quint64 bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QString joinSubIds(const QVector<quint32> &ids)
{
    QStringList parts;
    parts.reserve(ids.size());
    for (quint32 id : ids)
        parts << QString::number(id);
    return parts.join(QLatin1Char('.'));
}

// Dotted sub-identifiers (a leading dot allowed); empty when malformed. Every walk step turns
// each column's position into an OID and back, so these two stay lean.
QVector<quint32> parseOidOrEmpty(const QString &text)
{
    QVector<quint32> oid;
    oid.reserve(24);
    const QChar *c = text.constData();
    const QChar *end = c + text.size();
    if (c != end && *c == QLatin1Char('.'))
        ++c;
    if (c == end)
        return oid;
    while (c != end) {
        quint64 value = 0;
        const QChar *start = c;
        while (c != end && c->unicode() >= '0' && c->unicode() <= '9') {
            value = value * 10 + (c->unicode() - '0');
            if (value > 0xFFFFFFFFULL)
                return {};
            ++c;
        }
        if (c == start)
            return {};
        oid.append(static_cast<quint32>(value));
        if (c != end) {
            if (*c != QLatin1Char('.') || c + 1 == end)
                return {};
            ++c;
        }
    }
    return oid;
}

// Writes count sub-identifiers as dotted decimal text, each after a dot when dotFirst; returns
// the length written (at most 11 characters per sub-identifier).
int formatSubIds(const quint32 *ids, int count, char *out, bool dotFirst)
{
    char *const start = out;
    for (int i = 0; i < count; ++i) {
        if (i || dotFirst)
            *out++ = '.';
        char digits[12];
        int n = 0;
        quint32 v = ids[i];
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        while (n)
            *out++ = digits[--n];
    }
    return static_cast<int>(out - start);
}

QString oidToText(const QVector<quint32> &oid)
{
    char buffer[12 * 128];
    const int length = formatSubIds(oid.constData(), std::min<int>(oid.size(), 128), buffer, false);
    return QString::fromLatin1(buffer, length);
}

// The text of an answer's OID. Inside a column (column: its sub-identifiers, empty when its text
// is not written the way oidToText writes it) only the part after the column is formatted.
QString returnedText(const QVector<quint32> &oid, const QVector<quint32> &column,
                     const QString &columnText)
{
    const int prefix = static_cast<int>(column.size());
    if (prefix == 0 || oid.size() <= prefix || oid.size() > 128
        || !std::equal(column.begin(), column.end(), oid.begin()))
        return oidToText(oid);
    char buffer[12 * 128];
    const int length =
        formatSubIds(oid.constData() + prefix, static_cast<int>(oid.size()) - prefix, buffer, true);
    QString text;
    text.reserve(columnText.size() + length);
    text += columnText;
    text += QLatin1String(buffer, length);
    return text;
}

// Whether a value of the wire type can hold a value of the syntax: numbers for the number
// syntaxes, an OID for objectid, bytes for the rest; a null binding goes with any syntax.
bool carriesSyntax(KtWireValue::Type type, int syntax)
{
    using T = KtWireValue::Type;
    if (type == T::Null || syntax == SYN_NULL)
        return true;
    switch (syntax) {
    case SYN_BOOLEAN:
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_TIMETICKS:
    case SYN_UINTEGER:
    case SYN_COUNTER64:
        return type == T::Integer || type == T::Counter32 || type == T::Gauge32
               || type == T::TimeTicks || type == T::UInteger32 || type == T::Counter64;
    case SYN_OBJECTID:
        return type == T::ObjectId;
    default:
        return type == T::OctetString || type == T::IpAddress || type == T::Opaque;
    }
}

// Whether a get-next answer lies after the OID the column last stood at. A device that repeats
// itself, or answers with an OID it has already passed, would keep a walk going for ever; its
// column ends there instead. Sub-identifiers are compared as numbers (...9.10 follows ...9.9);
// a text that is not a dotted OID only counts as not following when it repeats lastOid.
bool oidTextFollows(const QString &returned, const QString &last)
{
    if (last.isEmpty())
        return true;
    const QChar *a = returned.constData();
    const QChar *const aEnd = a + returned.size();
    const QChar *b = last.constData();
    const QChar *const bEnd = b + last.size();
    // The beginning the two texts share decides nothing when it is made of whole dotted
    // sub-identifiers (a walk's OIDs mostly differ only in their last few): the comparison
    // starts at the sub-identifier where they part.
    const qsizetype shorter = std::min(returned.size(), last.size());
    qsizetype subId = 0;
    bool dotted = true;
    for (qsizetype k = 0; k < shorter; ++k) {
        const char16_t c = a[k].unicode();
        if (c != b[k].unicode())
            break;
        if (c == u'.') {
            dotted = dotted && k != subId;
            subId = k + 1;
        } else if (static_cast<char16_t>(c - u'0') > 9) {
            dotted = false;
        }
    }
    if (dotted) {
        a += subId;
        b += subId;
    }
    // One sub-identifier from the front of [c, end): false when it is not one.
    auto take = [](const QChar *&c, const QChar *end, quint64 *value) {
        if (c != end && *c == QLatin1Char('.'))
            ++c;
        const QChar *start = c;
        *value = 0;
        while (c != end && c->unicode() >= '0' && c->unicode() <= '9') {
            *value = *value * 10 + (c->unicode() - '0');
            if (*value > 0xFFFFFFFFULL)
                return false;
            ++c;
        }
        return c != start && (c == end || *c == QLatin1Char('.'));
    };
    while (a != aEnd && b != bEnd) {
        quint64 x = 0;
        quint64 y = 0;
        if (!take(a, aEnd, &x) || !take(b, bEnd, &y))
            return returned != last;
        if (x != y)
            return x > y;
    }
    // Equal so far: only the longer OID follows.
    return a != aEnd;
}

// OID order: sub-identifier by sub-identifier, a prefix before what it begins.
bool oidLess(const QVector<quint32> &a, const QVector<quint32> &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

} // namespace

struct KtSNMPRequest::Prepared {
    Step step = Step::ReadFirst;
    KtNetSnmpCommand command = KtNetSnmpCommand::Get;
    KtNetSnmpTarget target;
    QVector<KtNetSnmpBinding> bindings;
    QVector<int> items; // the readable items, in binding order
    bool empty = false; // nothing to send: the step is complete as it is
};

KtSNMPRequest::KtSNMPRequest()
{
    address = g_snmpDevice.address;
    port = g_snmpDevice.port;
    contextEngineID = g_snmpScope.contextEngineID;
    contextName = g_snmpScope.contextName;
    version = g_snmpSecurity.version;
    readCommunity = g_snmpSecurity.readCommunity;
    writeCommunity = g_snmpSecurity.writeCommunity;
    securityModel = g_snmpSecurity.securityModel;
    securityLevel = g_snmpSecurity.securityLevel;
    securityName = g_snmpSecurity.securityName;
    authPassword = g_snmpSecurity.authPassword;
    privPassword = g_snmpSecurity.privPassword;
    authProtocol = g_snmpSecurity.authProtocol;
    privProtocol = g_snmpSecurity.privProtocol;
    timeout = g_snmpTimeout;
    retries = 1;
    bulkRepetitions = g_snmpBulkRepetitions;
}

KtSNMPRequest::~KtSNMPRequest()
{
    alive = 0;
    if (outstanding > 0) {
        // The event processor and the sockets deliver the answers; a short timer makes sure
        // the wait wakes up even when nothing else happens.
        QElapsedTimer waited;
        waited.start();
        QTimer tick;
        tick.start(20);
        while (outstanding > 0 && waited.elapsed() < 6000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // Destroying the channel closes its sessions; what is still in flight is dropped.
    m_channel.reset();
}

KtNetSnmpChannel *KtSNMPRequest::channel()
{
    if (!m_channel)
        m_channel = std::make_unique<KtNetSnmpChannel>();
    return m_channel.get();
}

KtSNMPError KtSNMPRequest::MapError(int r)
{
    KtSNMPError status;
    if (r == 0 || r == 1400 || r == -1401) {
        status.code = 0;
        status.text = KtMessages::text(Table::KtSnmp, 0);
    } else if (r >= 1 && r <= 19) {
        status.code = -100 - r;
        status.text = KtMessages::text(Table::Snmp, r - 1);
    } else if (r <= -1402 && r >= -1418) {
        status.code = r + 1201;
        status.text = KtMessages::text(Table::SnmpV3, -r - 1402);
    } else if (r >= 1401 && r <= 1414) {
        status.code = 1100 - r;
        status.text = KtMessages::text(Table::SnmpUsm, r - 1401);
    } else if (r <= -1 && r >= -23) {
        status.code = r - 400;
        status.text = KtMessages::text(Table::SnmpClass, -r - 1);
    } else {
        status.code = -528;
        status.text = KtMessages::text(Table::KtSnmp, 28);
    }
    return status;
}

KtSNMPError KtSNMPRequest::NothingSentStatus(bool write)
{
    KtSNMPError status;
    status.code = 0;
    status.text = write ? QStringLiteral("(KtSNMP++) Nothing sent: no item to write!")
                        : QStringLiteral("(KtSNMP++) Nothing sent: no item to read!");
    status.finished = 1;
    return status;
}

KtNetSnmpTarget KtSNMPRequest::MakeTarget() const
{
    KtNetSnmpTarget target;
    // A dotted quad stays what it was at the last send; a name is looked up every time.
    if (address == m_resolved.first && !m_resolved.second.isEmpty()) {
        target.address = m_resolved.second;
    } else {
        if (!KtNetSnmp::resolveAddress(address, &target.address))
            raise(-509);
        if (target.address == address.trimmed())
            m_resolved = {address, target.address};
    }
    target.port = port;
    target.version = version;
    target.securityModel = securityModel;
    target.readCommunity = readCommunity;
    target.writeCommunity = writeCommunity;
    target.securityLevel = securityLevel;
    target.securityName = securityName;
    target.authPassword = authPassword;
    target.privPassword = privPassword;
    target.authProtocol = authProtocol;
    target.privProtocol = privProtocol;
    target.contextName = contextName;
    target.contextEngineID = contextEngineID;
    target.timeout = timeout;
    target.retries = retries;
    return target;
}

KtSNMPError KtSNMPRequest::reportError(KtSNMPError status)
{
    status.serial = ++serial;
    if (statusCallback)
        statusCallback(status);
    return status;
}

// Builds the read PDU of one step. Returns false when the list type is unknown (-515 has been
// reported and nothing may be sent).
bool KtSNMPRequest::prepareRead(bool first, Prepared *prepared)
{
    const int type = list.itemType;
    if (type < SVT_SV || type > MVT_UMV) {
        reportError(MapErrorInHouse(-515));
        return false;
    }
    if (!first && (type == SVT_SV || type == MVT_SV))
        raise(-510);
    prepared->step = first ? Step::ReadFirst : Step::ReadNext;
    prepared->bindings.reserve(list.Count());
    prepared->items.reserve(list.Count());
    prepared->command = type == SVT_SV                  ? KtNetSnmpCommand::Get
                        : type == MVT_SV && !useGetNext ? KtNetSnmpCommand::Get
                                                        : KtNetSnmpCommand::GetNext;
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.IsReadable(i))
            continue;
        KtSNMPVarItem &item = list.Item(i);
        QString oid;
        if (first) {
            item.lastOid.clear();
            oid = list.EffectiveOid(i);
            if (type == SVT_SV)
                oid += QStringLiteral(".0");
        } else {
            oid = item.lastOid;
        }
        KtNetSnmpBinding binding;
        if (!first && i < m_lastOids.size() && m_lastOids.at(i).first == oid)
            binding.oid = m_lastOids.at(i).second;
        else
            binding.oid = parseOidOrEmpty(oid);
        prepared->bindings.append(std::move(binding));
        prepared->items.append(i);
    }
    prepared->empty = prepared->items.isEmpty();
    return true;
}

bool KtSNMPRequest::prepareWrite(Prepared *prepared)
{
    const int type = list.itemType;
    if (type < SVT_SV || type > MVT_UMV) {
        reportError(MapErrorInHouse(-515));
        return false;
    }
    prepared->step = Step::Write;
    prepared->command = KtNetSnmpCommand::Set;
    QString rowIndex;
    if (list.IsTable()) {
        QStringList parts;
        for (int k = 0; k < list.keyCount && k < list.Count(); ++k) {
            const QString fragment = EncodeIndex(k);
            if (!fragment.isEmpty())
                parts << fragment;
        }
        rowIndex = parts.join(QLatin1Char('.'));
    }
    for (int i = 0; i < list.Count(); ++i) {
        if (list.IsTable() && i < list.keyCount)
            continue;
        if (!list.IsWritable(i))
            continue;
        QString oid = list.EffectiveOid(i);
        if (type == SVT_SV)
            oid += QStringLiteral(".0");
        else if (list.IsTable() && !rowIndex.isEmpty())
            oid += QLatin1Char('.') + rowIndex;
        KtNetSnmpBinding binding;
        binding.oid = parseOidOrEmpty(oid);
        LoadVb(i, binding.value);
        prepared->bindings.append(std::move(binding));
        prepared->items.append(i);
    }
    prepared->empty = prepared->bindings.isEmpty();
    return true;
}

const QPair<QString, QVector<quint32>> &KtSNMPRequest::columnOid(int i)
{
    QPair<QString, QVector<quint32>> &cached = m_columns[i];
    const QString text = list.EffectiveOid(i);
    if (cached.first != text) {
        const QVector<quint32> ids = parseOidOrEmpty(text);
        cached = {text, oidToText(ids) == text ? ids : QVector<quint32>()};
    }
    return cached;
}

KtSNMPError KtSNMPRequest::finishRead(const Prepared &prepared, const KtNetSnmpResult &result,
                                      bool *more)
{
    *more = false;
    KtSNMPError status = MapError(result.status);
    status.errorIndex = result.errorIndex;
    status.agentAddress = result.agentAddress;
    status.agentPort = result.agentPort;
    const bool table = list.IsTable();

    if (status.code == -102 && table) {
        // An SNMPv1 device answers a get-next beyond the end of its MIB with noSuchName and
        // echoes the request: the walk has ended normally. Anything else is reported.
        const int index = result.errorIndex > 0 ? result.errorIndex - 1 : 0;
        const bool echoed = index < result.bindings.size() && index < prepared.bindings.size()
                            && result.bindings.at(index).oid == prepared.bindings.at(index).oid;
        if (!echoed && result.errorIndex > 0)
            return reportError(status);
        for (int i : prepared.items)
            list.Item(i).value = KT_NOTDONE_TEXT;
        status = MapError(0);
        status.errorIndex = result.errorIndex;
        status.agentAddress = result.agentAddress;
        status.agentPort = result.agentPort;
        status.finished = 1;
        return status;
    }
    if (status.code != 0) {
        status.finished = 1;
        return reportError(status);
    }
    if (result.bindings.size() < prepared.items.size()) {
        // A device that answers with fewer bindings than asked: a malformed answer.
        status = MapError(-11);
        status.agentAddress = result.agentAddress;
        status.agentPort = result.agentPort;
        status.finished = 1;
        return reportError(status);
    }
    if (prepared.command == KtNetSnmpCommand::Get) {
        // A get is answered for the very OIDs asked; a value under another name belongs to
        // another variable and must not end up in this item.
        for (int n = 0; n < prepared.items.size(); ++n) {
            if (result.bindings.at(n).oid != prepared.bindings.at(n).oid) {
                status = MapError(-17);
                status.errorIndex = n + 1;
                status.agentAddress = result.agentAddress;
                status.agentPort = result.agentPort;
                status.finished = 1;
                return reportError(status);
            }
        }
    }

    if (m_lastOids.size() < list.Count())
        m_lastOids.resize(list.Count());
    if (m_columns.size() < list.Count())
        m_columns.resize(list.Count());
    QVarLengthArray<QString, 16> returnedOids(prepared.items.size());
    for (int n = 0; n < prepared.items.size(); ++n) {
        const QPair<QString, QVector<quint32>> &column = columnOid(prepared.items.at(n));
        returnedOids[n] = returnedText(result.bindings.at(n).oid, column.second, column.first);
    }

    // The row of this step: the lowest index among the bindings still inside their columns.
    // A column that skips that row (the device has no cell there) answers with a later row; it
    // shows "(NOTDONE)" for this row and asks again from here, so that every value is
    // delivered with its own row's keys. When an answer's OID does not continue its column's
    // sub-identifiers (a column running on into one whose number begins with the same digits)
    // the first binding's index is taken as it stands.
    QString rowIndex;
    QVarLengthArray<bool, 16> inside(prepared.items.size());
    // Each binding's index as sub-identifiers inside its answer's OID (no copy); size -1 when
    // the answer's OID does not begin with its column's sub-identifiers.
    struct IndexIds {
        const quint32 *ids = nullptr;
        qsizetype size = -1;
        bool operator<(const IndexIds &o) const
        {
            return std::lexicographical_compare(ids, ids + size, o.ids, o.ids + o.size);
        }
        bool operator!=(const IndexIds &o) const
        {
            return !std::equal(ids, ids + size, o.ids, o.ids + o.size);
        }
    };
    QVarLengthArray<IndexIds, 16> indexes(prepared.items.size());
    bool aligned = false;
    int lowest = -1; // the binding whose index is the row, when aligned
    if (table) {
        int first = -1;
        bool comparable = true;
        for (int n = 0; n < prepared.items.size(); ++n) {
            const int i = prepared.items.at(n);
            const QPair<QString, QVector<quint32>> &column = m_columns.at(i);
            const QVector<quint32> &oid = result.bindings.at(n).oid;
            inside[n] = !result.bindings.at(n).value.isException()
                        && !IsColumnDone(column.first, list.Item(i).lastOid, returnedOids.at(n));
            if (!inside[n])
                continue;
            const qsizetype prefix = column.second.size();
            if (prefix > 0 && oid.size() > prefix
                && std::equal(column.second.begin(), column.second.end(), oid.begin()))
                indexes[n] = {oid.constData() + prefix, oid.size() - prefix};
            comparable = comparable && indexes[n].size > 0;
            if (first < 0)
                first = lowest = n;
            else if (comparable && indexes[n] < indexes[lowest])
                lowest = n;
        }
        aligned = first >= 0 && comparable;
        const int chosen = aligned ? lowest : first;
        if (chosen >= 0)
            rowIndex = returnedOids.at(chosen).mid(
                m_columns.at(prepared.items.at(chosen)).first.size() + 1);
    }

    int ended = 0;
    for (int n = 0; n < prepared.items.size(); ++n) {
        const int i = prepared.items.at(n);
        KtSNMPVarItem &item = list.Item(i);
        const KtNetSnmpBinding &binding = result.bindings.at(n);
        const QString &column = m_columns.at(i).first;
        const QString &returned = returnedOids.at(n);
        if (binding.value.isException()) {
            if (!table) {
                // A scalar the device does not have.
                status = MapError(2);
                status.errorIndex = n + 1;
                status.agentAddress = result.agentAddress;
                status.agentPort = result.agentPort;
                status.finished = 1;
                return reportError(status);
            }
            ++ended;
            item.value = KT_NOTDONE_TEXT;
            item.lastOid = column + QLatin1Char('.') + rowIndex;
            continue;
        }
        if (table && (!inside[n] || (aligned && indexes[n] != indexes[lowest]))) {
            ++ended;
            item.value = KT_NOTDONE_TEXT;
            item.lastOid = column + QLatin1Char('.') + rowIndex;
            continue;
        }
        StoreVb(i, binding.value);
        item.lastOid = returned;
        QPair<QString, QVector<quint32>> &last = m_lastOids[i];
        last.first = returned;
        last.second = binding.oid;
    }

    if (ended < prepared.items.size()) {
        if (table) {
            QString rest = rowIndex;
            for (int k = 0; k < list.keyCount && k < list.Count(); ++k) {
                if (rest.isEmpty())
                    raise(-514);
                if (!list.IsReadable(k))
                    list.Item(k).lastOid = list.EffectiveOid(k) + QLatin1Char('.') + rowIndex;
                rest = DecodeIndex(k, rest);
            }
        }
        for (int i = 0; i < list.Count(); ++i)
            Derive(i, true);
        *more = table;
    }
    status.finished = *more ? 0 : 1;
    return status;
}

bool KtSNMPRequest::ReadSync(bool first, bool *more)
{
    bool dummy = false;
    bool &hasMore = more ? *more : dummy;
    hasMore = false;
    Prepared prepared;
    prepared.target = MakeTarget();
    m_sentNothing = false;
    if (!prepareRead(first, &prepared))
        return false;
    m_sentNothing = prepared.empty;
    if (prepared.empty)
        return true;
    const KtNetSnmpResult result =
        usesBulk(prepared)
            ? readBulkSync(prepared)
            : channel()->sendSync(prepared.target, prepared.command, prepared.bindings);
    const KtSNMPError status = finishRead(prepared, result, &hasMore);
    return status.code == 0;
}

void KtSNMPRequest::ReadAsync(Completion completion, void *owner, bool first)
{
    if (!alive)
        return; // destruction has begun: nothing is sent any more
    Prepared prepared;
    prepared.target = MakeTarget();
    if (!prepareRead(first, &prepared)) {
        KtSNMPError status = MapErrorInHouse(-515);
        status.serial = serial;
        status.finished = 1;
        if (completion)
            completion(owner, status, list);
        return;
    }
    sendAsync(std::move(prepared), std::move(completion), owner);
}

bool KtSNMPRequest::WriteSync(const QString &itemMap, const QStringList &values)
{
    Prepared prepared;
    m_sentNothing = false;
    if (!prepareMappedWrite(itemMap, values, &prepared))
        return false;
    m_sentNothing = prepared.empty;
    if (prepared.empty)
        return true;
    const KtNetSnmpResult result =
        channel()->sendSync(prepared.target, prepared.command, prepared.bindings);
    KtSNMPError status = MapError(result.status);
    if (status.code == 0)
        return true;
    status.errorIndex = result.errorIndex;
    status.agentAddress = result.agentAddress;
    status.agentPort = result.agentPort;
    status.finished = 1;
    reportError(status);
    return false;
}

void KtSNMPRequest::WriteAsync(Completion completion, void *owner, const QString &itemMap,
                               const QStringList &values)
{
    if (!alive)
        return;
    Prepared prepared;
    if (!prepareMappedWrite(itemMap, values, &prepared)) {
        KtSNMPError status = MapErrorInHouse(-515);
        status.serial = serial;
        status.finished = 1;
        if (completion)
            completion(owner, status, list);
        return;
    }
    sendAsync(std::move(prepared), std::move(completion), owner);
}

bool KtSNMPRequest::prepareMappedWrite(const QString &itemMap, const QStringList &values,
                                       Prepared *prepared)
{
    // The item map and the values shape this one write only: the list is as it was afterwards,
    // whether the write was prepared, refused or thrown.
    const KtSNMPVarList snapshot(list);
    const auto restore = qScopeGuard([&] { list = snapshot; });
    prepared->target = MakeTarget();
    applyItemMap(itemMap, values);
    for (int i = 0; i < list.Count(); ++i)
        Derive(i, false);
    return prepareWrite(prepared);
}

void KtSNMPRequest::applyItemMap(const QString &itemMap, const QStringList &values)
{
    if (itemMap.trimmed().isEmpty())
        return;
    QVector<int> numbers;
    for (const QString &part : itemMap.split(QLatin1Char(','))) {
        bool ok = false;
        const int number = part.trimmed().toInt(&ok);
        numbers.append(ok ? number : -1);
    }
    for (int i = 0; i < list.Count(); ++i) {
        KtSNMPVarItem &item = list.Item(i);
        const int position = numbers.indexOf(i);
        if (position < 0) {
            item.access |= ACC_INVALID;
            continue;
        }
        item.access &= ~ACC_INVALID;
        if (position < values.size())
            item.value = values.at(position);
    }
}

void KtSNMPRequest::sendAsync(Prepared prepared, Completion completion, void *owner)
{
    ++outstanding;
    m_sentNothing = prepared.empty;
    if (prepared.empty) {
        // Nothing to ask the device: the step completes at once, from the event loop like any
        // other completion, and says that nothing was sent rather than that a device agreed.
        const bool write = prepared.step == Step::Write;
        QTimer::singleShot(0, channel(), [this, completion, owner, write] {
            --outstanding;
            if (!alive)
                return;
            const KtSNMPError status = NothingSentStatus(write);
            if (completion)
                completion(owner, status, list);
        });
        return;
    }
    auto shared = std::make_shared<Prepared>(std::move(prepared));
    const auto done = [this, shared, completion, owner](const KtNetSnmpResult &result) {
        --outstanding;
        // A request being destroyed only counts its answers down: its owner is going away.
        if (!alive)
            return;
        KtSNMPError status;
        bool more = false;
        if (shared->step == Step::Write) {
            status = MapError(result.status);
            status.errorIndex = result.errorIndex;
            status.agentAddress = result.agentAddress;
            status.agentPort = result.agentPort;
            status.finished = 1;
            if (status.code != 0)
                status = reportError(status);
        } else {
            try {
                status = finishRead(*shared, result, &more);
            } catch (const KtException &e) {
                status.code = e.code();
                status.text = e.text();
                status.agentAddress = result.agentAddress;
                status.agentPort = result.agentPort;
                status.finished = 1;
                status = reportError(status);
            }
        }
        if (completion)
            completion(owner, status, list); // may destroy this request
    };
    if (usesBulk(*shared)) {
        readBulkAsync(shared, done);
        return;
    }
    const int refused = channel()->sendAsync(shared->target, shared->command, shared->bindings,
                                             done);
    if (refused != 0) {
        // Refused before anything went out: reported at once, as the answer would be.
        KtNetSnmpResult failed;
        failed.status = refused;
        failed.agentAddress = shared->target.address;
        failed.agentPort = shared->target.port;
        done(failed);
    }
}

bool KtSNMPRequest::usesBulk(const Prepared &prepared) const
{
    return bulkRepetitions > 0 && (version == 1 || version == 3) && !m_bulkRefused
           && prepared.command == KtNetSnmpCommand::GetNext && list.IsTable();
}

int KtSNMPRequest::maxRepetitions() const
{
    return std::clamp(bulkRepetitions, 1, MaxBulkRepetitions);
}

// The get-next answer of this step, when the walk's getbulk answers hold it for every column: a
// get-next from an OID is answered with the first OID after it, so what follows any OID between
// two a getbulk returned in a row (or between the one it was asked from and its first) is known,
// and after endOfMibView nothing follows.
bool KtSNMPRequest::answerFromBulk(const Prepared &prepared, KtNetSnmpResult *result)
{
    if (m_bulk.size() < list.Count())
        return false;
    QVector<KtNetSnmpBinding> answers;
    answers.reserve(prepared.items.size());
    QVarLengthArray<int, 16> cursors(prepared.items.size());
    for (int n = 0; n < prepared.items.size(); ++n) {
        const BulkColumn &column = m_bulk.at(prepared.items.at(n));
        const QVector<quint32> &asked = prepared.bindings.at(n).oid;
        if (column.next.isEmpty() || asked.isEmpty() || oidLess(asked, column.from))
            return false;
        // Mostly the answer is the one after the last, or the same again (a column with a
        // hole asks from a row before it).
        int k = column.cursor;
        if (k > 0 && oidLess(asked, column.next.at(k - 1).oid))
            k = 0;
        while (k < column.next.size()
               && column.next.at(k).value.type != KtWireValue::Type::EndOfMibView
               && !oidLess(asked, column.next.at(k).oid))
            ++k;
        if (k == column.next.size())
            return false;
        KtNetSnmpBinding answer = column.next.at(k);
        if (answer.value.type == KtWireValue::Type::EndOfMibView)
            answer.oid = asked; // named after the request, as the device names it
        answers.append(std::move(answer));
        cursors[n] = k;
    }
    for (int n = 0; n < prepared.items.size(); ++n)
        m_bulk[prepared.items.at(n)].cursor = cursors[n];
    *result = KtNetSnmpResult();
    result->agentAddress = m_bulkAgentAddress;
    result->agentPort = m_bulkAgentPort;
    result->bindings = std::move(answers);
    return true;
}

// Keeps a getbulk's answer for the walk when it is one: per column, OIDs that only go forward
// and end, if at all, in endOfMibView, no more repetitions than asked and at least one. An error
// status or anything else means the device does not walk with getbulk.
KtSNMPRequest::BulkAnswer KtSNMPRequest::takeBulk(const Prepared &prepared,
                                                  const KtNetSnmpResult &answer)
{
    if (answer.status != 0)
        return answer.status > 0 && answer.status < 1400 ? BulkAnswer::Refused
                                                         : BulkAnswer::Failed;
    const int columns = static_cast<int>(prepared.items.size());
    const int count = static_cast<int>(answer.bindings.size());
    if (count < columns || count > columns * maxRepetitions())
        return BulkAnswer::Refused;
    QVector<BulkColumn> taken(columns);
    for (int n = 0; n < columns; ++n) {
        BulkColumn &column = taken[n];
        column.from = prepared.bindings.at(n).oid;
        const QVector<quint32> *previous = &column.from;
        bool ended = false;
        column.next.reserve((count - n + columns - 1) / columns);
        for (int at = n; at < count; at += columns) {
            const KtNetSnmpBinding &binding = answer.bindings.at(at);
            if (binding.value.type == KtWireValue::Type::EndOfMibView) {
                ended = true;
            } else if (ended || binding.value.isException() || !oidLess(*previous, binding.oid)) {
                return BulkAnswer::Refused;
            }
            column.next.append(binding);
            previous = &column.next.last().oid;
        }
    }
    if (m_bulk.size() < list.Count())
        m_bulk.resize(list.Count());
    for (int n = 0; n < columns; ++n)
        m_bulk[prepared.items.at(n)] = std::move(taken[n]);
    m_bulkAgentAddress = answer.agentAddress;
    m_bulkAgentPort = answer.agentPort;
    return BulkAnswer::Taken;
}

KtNetSnmpResult KtSNMPRequest::readBulkSync(const Prepared &prepared)
{
    KtNetSnmpResult result;
    if (prepared.step == Step::ReadFirst)
        m_bulk.clear();
    if (answerFromBulk(prepared, &result))
        return result;
    const KtNetSnmpResult answer = channel()->sendSync(
        prepared.target, KtNetSnmpCommand::GetBulk, prepared.bindings, maxRepetitions());
    switch (takeBulk(prepared, answer)) {
    case BulkAnswer::Taken:
        if (answerFromBulk(prepared, &result))
            return result;
        break;
    case BulkAnswer::Failed:
        return answer;
    case BulkAnswer::Refused:
        break;
    }
    m_bulkRefused = true;
    m_bulk.clear();
    return channel()->sendSync(prepared.target, prepared.command, prepared.bindings);
}

void KtSNMPRequest::readBulkAsync(const std::shared_ptr<Prepared> &prepared,
                                  const std::function<void(const KtNetSnmpResult &)> &done)
{
    if (prepared->step == Step::ReadFirst)
        m_bulk.clear();
    auto fail = [prepared, done](int refused) {
        KtNetSnmpResult failed;
        failed.status = refused;
        failed.agentAddress = prepared->target.address;
        failed.agentPort = prepared->target.port;
        done(failed);
    };
    KtNetSnmpResult known;
    if (answerFromBulk(*prepared, &known)) {
        // No round trip, but the completion still comes from the event loop.
        QTimer::singleShot(0, channel(), [done, known] { done(known); });
        return;
    }
    const int refused = channel()->sendAsync(
        prepared->target, KtNetSnmpCommand::GetBulk, prepared->bindings,
        [this, prepared, done, fail](const KtNetSnmpResult &answer) {
            if (!alive) {
                done(answer); // counts down only
                return;
            }
            KtNetSnmpResult result;
            switch (takeBulk(*prepared, answer)) {
            case BulkAnswer::Taken:
                if (!answerFromBulk(*prepared, &result))
                    break;
                done(result);
                return;
            case BulkAnswer::Failed:
                done(answer);
                return;
            case BulkAnswer::Refused:
                break;
            }
            m_bulkRefused = true;
            m_bulk.clear();
            const int again = channel()->sendAsync(prepared->target, prepared->command,
                                                   prepared->bindings, done);
            if (again != 0)
                fail(again);
        },
        maxRepetitions());
    if (refused != 0)
        fail(refused);
}

KtSNMPError KtSNMPRequest::MapErrorInHouse(int code)
{
    KtSNMPError status;
    status.code = code;
    status.text = KtMessages::text(Table::KtSnmp, code == 0 ? 0 : -code - 500);
    return status;
}

QString KtSNMPRequest::SubstituteValues(const QString &expression, const QString &marker,
                                        bool quoteStrings)
{
    if (marker.isEmpty())
        return expression;
    QString out;
    out.reserve(expression.size());
    int pos = 0;
    while (pos < expression.size()) {
        const int found = expression.indexOf(marker, pos);
        if (found < 0) {
            out += expression.mid(pos);
            break;
        }
        out += expression.mid(pos, found - pos);
        int end = found + marker.size();
        while (end < expression.size() && expression.at(end).isDigit())
            ++end;
        if (end == found + marker.size()) {
            out += marker;
            pos = end;
            continue;
        }
        const int digits = found + marker.size();
        const int number = expression.mid(digits, end - digits).toInt();
        pos = end;
        if (number < 0 || number >= list.Count()) {
            // No such item: left as written, the evaluation reports it.
            out += expression.mid(found, end - found);
            continue;
        }
        const KtSNMPVarItem &item = list.Item(number);
        QString text = item.value;
        if (item.optionList)
            text = item.optionList->ValueOf(text);
        if (text == KT_NULL_TEXT)
            raise(-512);
        const int syntax = item.syntax;
        if (isBooleanSyntax(syntax)) {
            out += isTrueText(text) ? QStringLiteral("1") : QStringLiteral("0");
        } else if (isIntegerSyntax(syntax) || syntax == SYN_COUNTER64 || syntax == SYN_DOUBLE) {
            out += text;
        } else if (syntax == SYN_TIMETICKS) {
            out += QString::number(KtValue::parseTicks(text));
        } else if (syntax == SYN_BCDATETIME) {
            out += KtValue::realText(KtValue::parseBcDateTime(text));
        } else if (quoteStrings) {
            out += QLatin1Char('"') + text + QLatin1Char('"');
        } else {
            raise(-513);
        }
    }
    return out;
}

QString KtSNMPRequest::DecodeIndex(int key, const QString &suffix)
{
    KtSNMPVarItem &item = list.Item(key);
    // The sub-identifiers are taken from the front of the text; what is left goes back as
    // written. A walk decodes the keys of every row, so nothing is split or joined.
    int count = suffix.isEmpty() ? 0 : static_cast<int>(suffix.count(QLatin1Char('.'))) + 1;
    int pos = 0;
    auto next = [&]() {
        int end = static_cast<int>(suffix.indexOf(QLatin1Char('.'), pos));
        if (end < 0)
            end = static_cast<int>(suffix.size());
        const quint32 value = subId(QStringView(suffix).mid(pos, end - pos));
        pos = end < suffix.size() ? end + 1 : end;
        --count;
        return value;
    };
    auto take = [&](int wanted) {
        if (wanted > count)
            raise(-514);
        QVector<quint32> taken;
        taken.reserve(wanted);
        for (int n = 0; n < wanted; ++n)
            taken.append(next());
        return taken;
    };
    // Two sub-identifiers, high half first, as one 64-bit value.
    auto two = [&]() {
        const QVector<quint32> halves = take(2);
        return (quint64(halves.at(0)) << 32) | halves.at(1);
    };
    auto one = [&]() {
        if (count < 1)
            raise(-514);
        return next();
    };
    auto bytesOf = [](const QVector<quint32> &taken) {
        QByteArray bytes;
        bytes.reserve(taken.size());
        for (quint32 id : taken)
            bytes.append(static_cast<char>(id & 0xff));
        return bytes;
    };
    // Strings and OIDs carry their length first, except the implied last key, which takes all
    // that remains.
    auto variable = [&]() {
        if (key == list.keyCount - 1 && list.IsImplied(key))
            return take(count);
        const quint32 length = one();
        if (length > static_cast<quint32>(count))
            raise(-514);
        return take(static_cast<int>(length));
    };

    QString text;
    switch (item.syntax) {
    case SYN_BOOLEAN:
        text = one() != 0 ? QStringLiteral("true") : QStringLiteral("false");
        break;
    case SYN_INTEGER:
        text = QString::number(static_cast<qint32>(one()));
        break;
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
        text = QString::number(one());
        break;
    case SYN_TIMETICKS:
        text = KtValue::ticksText(one());
        break;
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        text = joinSubIds(take(4));
        break;
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_OPAQUE:
        text = KtValue::hexText(bytesOf(variable()));
        break;
    case SYN_DISPLAYSTR:
        text = QString::fromLatin1(bytesOf(variable()));
        break;
    case SYN_OBJECTID:
        text = joinSubIds(variable());
        break;
    case SYN_COUNTER64:
        text = KtValue::counter64Text(two());
        break;
    case SYN_DOUBLE:
        text = KtValue::realText(bitsDouble(two()));
        break;
    case SYN_MACADDRESS:
        text = KtValue::hexText(bytesOf(take(6)));
        break;
    case SYN_DATETIME:
        text = KtDateTime::fromWire(bytesOf(take(KtDateTime::Size))).ToText();
        break;
    case SYN_BCDATETIME:
        text = KtValue::bcDateTimeText(bitsDouble(two()));
        break;
    case SYN_NULL:
        text = KT_NULL_TEXT;
        break;
    default:
        raise(-511);
    }
    item.value = item.optionList ? item.optionList->LabelOf(text) : text;
    return count > 0 ? suffix.mid(pos) : QString();
}

QString KtSNMPRequest::EncodeIndex(int key)
{
    const KtSNMPVarItem &item = list.Item(key);
    QString text = item.value;
    if (item.optionList)
        text = item.optionList->ValueOf(text);
    const bool implied = key == list.keyCount - 1 && list.IsImplied(key);
    QVector<quint32> ids;
    auto withLength = [&](const QVector<quint32> &content) {
        if (!implied)
            ids.append(static_cast<quint32>(content.size()));
        ids += content;
    };
    auto bytesIds = [](const QByteArray &bytes) {
        QVector<quint32> out;
        out.reserve(bytes.size());
        for (char c : bytes)
            out.append(static_cast<quint8>(c));
        return out;
    };
    auto halves = [&ids](quint64 value) {
        ids.append(static_cast<quint32>(value >> 32));
        ids.append(static_cast<quint32>(value & 0xffffffffu));
    };

    switch (item.syntax) {
    case SYN_BOOLEAN:
        ids.append(isTrueText(text) ? 1 : 0);
        break;
    case SYN_INTEGER:
        ids.append(static_cast<quint32>(text.trimmed().toInt()));
        break;
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
        ids.append(text.trimmed().toUInt());
        break;
    case SYN_TIMETICKS:
        ids.append(KtValue::parseTicks(text));
        break;
    case SYN_COUNTER64:
        halves(text.trimmed().toULongLong());
        break;
    case SYN_DOUBLE:
        halves(doubleBits(text.trimmed().toDouble()));
        break;
    case SYN_MACADDRESS: {
        const QByteArray bytes = KtValue::parseHex(text);
        if (bytes.size() >= 6)
            ids += bytesIds(bytes.left(6));
        break;
    }
    case SYN_DATETIME: {
        QByteArray bytes = KtDateTime(text).toWire();
        bytes.resize(KtDateTime::Size);
        ids += bytesIds(bytes);
        break;
    }
    case SYN_BCDATETIME:
        halves(doubleBits(KtValue::parseBcDateTime(text)));
        break;
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        ids += parseOidOrEmpty(text);
        break;
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_OPAQUE:
        withLength(bytesIds(KtValue::parseHex(text)));
        break;
    case SYN_DISPLAYSTR:
        withLength(bytesIds(text.toLatin1()));
        break;
    case SYN_OBJECTID:
        withLength(parseOidOrEmpty(text));
        break;
    case SYN_NULL:
        break;
    default:
        raise(-511);
    }
    return joinSubIds(ids);
}

void KtSNMPRequest::StoreVb(int i, const KtWireValue &binding)
{
    KtSNMPVarItem &item = list.Item(i);
    QString text = KtValue::fromWire(item.syntax, binding);
    // A device that answers a number where the item holds bytes (or the other way round) has
    // not given this item a value: "0" or an empty text here would be written back as such.
    if (!carriesSyntax(binding.type, item.syntax))
        text = KT_NULL_TEXT;
    item.value = item.optionList ? item.optionList->LabelOf(text) : text;
}

void KtSNMPRequest::LoadVb(int i, KtWireValue &binding)
{
    const KtSNMPVarItem &item = list.Item(i);
    const QString text = item.optionList ? item.optionList->ValueOf(item.value) : item.value;
    binding = KtValue::toWire(item.syntax, text);
}

void KtSNMPRequest::Derive(int i, bool afterRead)
{
    KtSNMPVarItem &item = list.Item(i);
    const QString &expression = afterRead ? item.getExpression : item.setExpression;
    if (expression.isEmpty())
        return;
    const double result =
        KtExpression::EvaluateArithmetic(SubstituteValues(expression, QStringLiteral("$"), false));
    const int syntax = item.syntax;
    // A whole number for the integer kinds; a division by zero or a result beyond 64 bits has
    // none and is refused rather than written as whatever the conversion makes of it.
    auto whole = [result]() {
        if (!std::isfinite(result) || std::fabs(result) >= 9.2e18)
            raise(-513);
        return static_cast<qint64>(std::trunc(result));
    };
    QString text;
    if (isBooleanSyntax(syntax)) {
        text = result != 0 ? QStringLiteral("true") : QStringLiteral("false");
    } else if (isIntegerSyntax(syntax)) {
        text = QString::number(whole());
    } else if (syntax == SYN_TIMETICKS) {
        text = KtValue::ticksText(static_cast<quint32>(whole()));
    } else if (syntax == SYN_COUNTER64) {
        text = KtValue::counter64Text(static_cast<quint64>(whole()));
    } else if (syntax == SYN_DOUBLE) {
        text = KtValue::realText(result);
    } else if (syntax == SYN_BCDATETIME) {
        text = KtValue::bcDateTimeText(result);
    } else {
        raise(-513);
    }
    item.value = item.optionList ? item.optionList->LabelOf(text) : text;
}

bool KtSNMPRequest::Condition(const QString &expression)
{
    if (expression.isEmpty())
        return true;
    return KtExpression::EvaluateLogical(SubstituteValues(expression, QStringLiteral("$"), true));
}

bool KtSNMPRequest::IsColumnDone(const QString &columnOid, const QString &lastOid,
                                 const QString &returnedOid)
{
    if (!list.IsTable())
        return false;
    // Compared as text, as the device's own tools do: an OID of column ...1.10 counts as inside
    // column ...1.1.
    if (returnedOid.size() > columnOid.size() && returnedOid.startsWith(columnOid))
        return !oidTextFollows(returnedOid, lastOid);
    return true;
}
