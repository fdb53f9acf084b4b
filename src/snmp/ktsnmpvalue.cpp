#include "ktsnmpvalue.h"

#include "ktdatetime.h"
#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmpvaritem.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

[[noreturn]] void throwBadSyntax()
{
    throw KtException(-511, KtMessages::text(KtMessages::Table::KtSnmp, 11));
}

[[noreturn]] void throwBadValue()
{
    throw KtException(-518, KtMessages::text(KtMessages::Table::KtSnmp, 18));
}

// A display string goes to the device one byte per character; a character with no such byte
// would be sent as "?" and stored so, so it is refused instead.
QByteArray displayBytes(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            throwBadValue();
    }
    return text.toLatin1();
}

bool isHexSyntax(int syntax)
{
    return syntax == SYN_BITSTR || syntax == SYN_OCTETSTR || syntax == SYN_OPAQUE
           || syntax == SYN_MACADDRESS;
}

// The C library's reading of a number as the device values were always read: blanks, an
// optional sign, then digits up to the first other character; no digits gives 0. The result
// saturates instead of overflowing.
qint64 leadingInteger(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    const qint64 limit = std::numeric_limits<qint64>::max() / 10 - 10;
    for (; i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        if (value < limit)
            value = value * 10 + (text.at(i).unicode() - '0');
    }
    return negative ? -value : value;
}

qint32 toInt32(const QString &text)
{
    const qint64 v = leadingInteger(text);
    return static_cast<qint32>(std::clamp<qint64>(v, std::numeric_limits<qint32>::min(),
                                                  std::numeric_limits<qint32>::max()));
}

quint32 toUInt32(const QString &text)
{
    const qint64 v = leadingInteger(text);
    return static_cast<quint32>(std::clamp<qint64>(v, 0, 0xFFFFFFFFLL));
}

// A leading real number, read in the C locale whatever the user's locale; none gives 0.
double leadingReal(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*([-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return 0.0;
    return QLocale::c().toDouble(m.capturedView(1));
}

quint64 toUInt64(const QString &text)
{
    // Whole numbers are read exactly: a real would lose the low digits above 2^53.
    bool ok = false;
    const quint64 exact = text.trimmed().toULongLong(&ok, 10);
    if (ok)
        return exact;
    const double real = leadingReal(text);
    if (!(real > 0.0))
        return 0;
    if (real >= 18446744073709551615.0)
        return std::numeric_limits<quint64>::max();
    return static_cast<quint64>(real);
}

QByteArray littleEndian32(quint32 v)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

QByteArray littleEndian64(quint64 v)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

QByteArray doubleBytes(double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return littleEndian64(bits);
}

double bytesDouble(const QByteArray &bytes)
{
    const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QString boolText(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

bool isTrue(const QString &text)
{
    return text == QLatin1String("true");
}

QByteArray ipBytesForSet(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QByteArray(4, '\0');
    bool ok = false;
    const QByteArray bytes = KtValue::parseIpAddress(text, &ok);
    if (!ok)
        throwBadValue();
    return bytes;
}

QString emptyRule(int syntax, const QString &text)
{
    if (text.isEmpty() && syntax != SYN_DISPLAYSTR && !isHexSyntax(syntax))
        return KT_NULL_TEXT;
    return text;
}

const QDate &dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

} // namespace

namespace KtValue {

int partWidth(int syntax)
{
    switch (syntax) {
    case SYN_BOOLEAN:
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
    case SYN_TIMETICKS:
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        return 4;
    case SYN_COUNTER64:
    case SYN_DOUBLE:
    case SYN_BCDATETIME:
        return 8;
    case SYN_MACADDRESS:
        return 6;
    case SYN_DATETIME:
        return KtDateTime::Size;
    case SYN_BOOL8:
    case SYN_INT8:
    case SYN_UINT8:
        return 1;
    case SYN_BOOL16:
    case SYN_INT16:
    case SYN_UINT16:
        return 2;
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_OPAQUE:
    case SYN_OBJECTID:
    case SYN_DISPLAYSTR:
    case SYN_NULL:
        return 0;
    default:
        return -1;
    }
}

QString fromWire(int syntax, const KtWireValue &value)
{
    if (partWidth(syntax) < 0 || syntax >= SYN_BOOL8)
        throwBadSyntax();
    if (value.type == KtWireValue::Type::Null || value.isException())
        return KT_NULL_TEXT;

    QString text;
    switch (syntax) {
    case SYN_BOOLEAN:
        text = boolText(value.number != 0);
        break;
    case SYN_INTEGER:
        text = QString::number(value.signedNumber());
        break;
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_OPAQUE:
    case SYN_MACADDRESS:
        text = hexText(value.bytes);
        break;
    case SYN_NULL:
        text = KT_NULL_TEXT;
        break;
    case SYN_OBJECTID:
        text = oidText(value.oid);
        break;
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        text = ipAddressText(value.bytes);
        break;
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
        text = QString::number(static_cast<quint32>(value.number));
        break;
    case SYN_TIMETICKS:
        text = ticksText(static_cast<quint32>(value.number));
        break;
    case SYN_COUNTER64:
        text = counter64Text(value.number);
        break;
    case SYN_DOUBLE:
        if (value.bytes.size() >= 8)
            text = realText(bytesDouble(value.bytes));
        break;
    case SYN_DATETIME:
        // Devices may send the 8-byte form without the UTC offset: the missing bytes are 0.
        if (!value.bytes.isEmpty())
            text = KtDateTime::fromWire(value.bytes).ToText();
        break;
    case SYN_BCDATETIME:
        if (value.bytes.size() >= 8)
            text = bcDateTimeText(bytesDouble(value.bytes));
        break;
    case SYN_DISPLAYSTR:
        text = QString::fromLatin1(value.bytes);
        break;
    default:
        throwBadSyntax();
    }
    return emptyRule(syntax, text);
}

KtWireValue toWire(int syntax, const QString &text)
{
    KtWireValue wire;
    if (text == KT_NULL_TEXT)
        return wire;
    switch (syntax) {
    case SYN_BOOLEAN:
        wire.type = KtWireValue::Type::Integer;
        wire.number = isTrue(text) ? 1 : 0;
        break;
    case SYN_INTEGER:
        wire.type = KtWireValue::Type::Integer;
        wire.number = static_cast<quint32>(toInt32(text));
        break;
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_MACADDRESS:
        wire.type = KtWireValue::Type::OctetString;
        wire.bytes = parseHex(text);
        break;
    case SYN_OPAQUE:
        wire.type = KtWireValue::Type::Opaque;
        wire.bytes = parseHex(text);
        break;
    case SYN_NULL:
        break;
    case SYN_OBJECTID: {
        bool ok = false;
        wire.type = KtWireValue::Type::ObjectId;
        wire.oid = parseOid(text, &ok);
        if (!ok)
            throwBadValue();
        if (wire.oid.isEmpty())
            wire.oid = {0, 0}; // zeroDotZero: an OID cannot travel empty
        break;
    }
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        wire.type = KtWireValue::Type::IpAddress;
        wire.bytes = ipBytesForSet(text);
        break;
    case SYN_COUNTER:
        wire.type = KtWireValue::Type::Counter32;
        wire.number = toUInt32(text);
        break;
    case SYN_GUAGE:
        wire.type = KtWireValue::Type::Gauge32;
        wire.number = toUInt32(text);
        break;
    case SYN_UINTEGER:
        wire.type = KtWireValue::Type::UInteger32;
        wire.number = toUInt32(text);
        break;
    case SYN_TIMETICKS:
        wire.type = KtWireValue::Type::TimeTicks;
        wire.number = parseTicks(text);
        break;
    case SYN_COUNTER64:
        wire.type = KtWireValue::Type::Counter64;
        wire.number = toUInt64(text);
        break;
    case SYN_DOUBLE:
        wire.type = KtWireValue::Type::OctetString;
        wire.bytes = doubleBytes(leadingReal(text));
        break;
    case SYN_DATETIME:
        wire.type = KtWireValue::Type::OctetString;
        wire.bytes = KtDateTime(text).toWire();
        break;
    case SYN_BCDATETIME: {
        bool ok = false;
        const double days = parseBcDateTime(text, &ok);
        if (!ok)
            throwBadValue();
        wire.type = KtWireValue::Type::OctetString;
        wire.bytes = doubleBytes(days);
        break;
    }
    case SYN_DISPLAYSTR:
        wire.type = KtWireValue::Type::OctetString;
        wire.bytes = displayBytes(text);
        break;
    default:
        throwBadSyntax();
    }
    return wire;
}

QByteArray textToBytes(int syntax, const QString &text)
{
    if (partWidth(syntax) < 0)
        throwBadSyntax();
    if (text == KT_NULL_TEXT)
        return {};
    switch (syntax) {
    case SYN_BOOLEAN:
        return littleEndian32(isTrue(text) ? 1 : 0);
    case SYN_INTEGER:
        return littleEndian32(static_cast<quint32>(toInt32(text)));
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
        return littleEndian32(toUInt32(text));
    case SYN_TIMETICKS:
        return littleEndian32(parseTicks(text));
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        return ipBytesForSet(text);
    case SYN_COUNTER64:
        return littleEndian64(toUInt64(text));
    case SYN_DOUBLE:
        return doubleBytes(leadingReal(text));
    case SYN_BCDATETIME: {
        bool ok = false;
        const double days = parseBcDateTime(text, &ok);
        if (!ok)
            throwBadValue();
        return doubleBytes(days);
    }
    case SYN_MACADDRESS:
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_OPAQUE:
        return parseHex(text);
    case SYN_DATETIME:
        return KtDateTime(text).toWire();
    case SYN_OBJECTID:
        return text.toLatin1();
    case SYN_DISPLAYSTR:
        return displayBytes(text);
    case SYN_NULL:
        return {};
    case SYN_BOOL8:
        return QByteArray(1, isTrue(text) ? '\1' : '\0');
    case SYN_INT8:
        return QByteArray(1, static_cast<char>(toInt32(text)));
    case SYN_UINT8:
        return QByteArray(1, static_cast<char>(toUInt32(text)));
    case SYN_BOOL16:
    case SYN_INT16:
    case SYN_UINT16: {
        const quint32 v = syntax == SYN_BOOL16 ? (isTrue(text) ? 1u : 0u)
                          : syntax == SYN_INT16 ? static_cast<quint32>(toInt32(text))
                                                : toUInt32(text);
        QByteArray bytes(2, '\0');
        qToBigEndian(static_cast<quint16>(v), bytes.data());
        return bytes;
    }
    default:
        throwBadSyntax();
    }
}

QString bytesToText(int syntax, const QByteArray &bytes)
{
    const int width = partWidth(syntax);
    if (width < 0)
        throwBadSyntax();
    if (bytes.isEmpty())
        return emptyRule(syntax, QString());
    if (bytes.size() < width)
        throwBadValue();
    const char *data = bytes.constData();
    switch (syntax) {
    case SYN_BOOLEAN:
        return boolText(qFromLittleEndian<quint32>(data) != 0);
    case SYN_INTEGER:
        return QString::number(qFromLittleEndian<qint32>(data));
    case SYN_COUNTER:
    case SYN_GUAGE:
    case SYN_UINTEGER:
        return QString::number(qFromLittleEndian<quint32>(data));
    case SYN_TIMETICKS:
        return ticksText(qFromLittleEndian<quint32>(data));
    case SYN_IPADDRESS:
    case SYN_NSAPADDR:
        return ipAddressText(bytes.left(4));
    case SYN_COUNTER64:
        return counter64Text(qFromLittleEndian<quint64>(data));
    case SYN_DOUBLE:
        return realText(bytesDouble(bytes));
    case SYN_BCDATETIME:
        return bcDateTimeText(bytesDouble(bytes));
    case SYN_MACADDRESS:
    case SYN_BITSTR:
    case SYN_OCTETSTR:
    case SYN_OPAQUE:
        return hexText(bytes);
    case SYN_DATETIME:
        return KtDateTime::fromWire(bytes).ToText();
    case SYN_OBJECTID:
    case SYN_DISPLAYSTR:
        return QString::fromLatin1(bytes);
    case SYN_NULL:
        return KT_NULL_TEXT;
    case SYN_BOOL8:
        return boolText(bytes.at(0) != 0);
    case SYN_INT8:
        return QString::number(static_cast<qint8>(bytes.at(0)));
    case SYN_UINT8:
        return QString::number(static_cast<quint8>(bytes.at(0)));
    case SYN_BOOL16:
        return boolText(qFromBigEndian<quint16>(data) != 0);
    case SYN_INT16:
        return QString::number(qFromBigEndian<qint16>(data));
    case SYN_UINT16:
        return QString::number(qFromBigEndian<quint16>(data));
    default:
        throwBadSyntax();
    }
}

QString hexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray parseHex(const QString &text)
{
    QByteArray bytes;
    int nibbles = 0;
    int current = 0;
    for (const QChar c : text) {
        int digit = -1;
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else if (c.isSpace() || u == ':' || u == '-')
            continue;
        else
            throwBadValue();
        current = current * 16 + digit;
        if (++nibbles == 2) {
            bytes.append(static_cast<char>(current));
            nibbles = 0;
            current = 0;
        }
    }
    if (nibbles == 1)
        bytes.append(static_cast<char>(current));
    return bytes;
}

QString ticksText(quint32 ticks)
{
    const quint32 days = ticks / 8640000;
    const quint32 hours = ticks / 360000 % 24;
    const quint32 minutes = ticks / 6000 % 60;
    const quint32 seconds = ticks / 100 % 60;
    const quint32 hundredths = ticks % 100;
    const QLatin1Char zero('0');
    return QStringLiteral("%1 days, %2h:%3m:%4s.%5th")
        .arg(days)
        .arg(hours, 2, 10, zero)
        .arg(minutes, 2, 10, zero)
        .arg(seconds, 2, 10, zero)
        .arg(hundredths, 2, 10, zero);
}

quint32 parseTicks(const QString &text, bool *ok)
{
    static const QRegularExpression printable(QStringLiteral(
        "^\\s*(\\d+)\\s*days?,\\s*(\\d+)h:(\\d+)m:(\\d+)s\\.(\\d+)th\\s*$"));
    static const QRegularExpression plain(QStringLiteral("^\\s*(\\d+)\\s*$"));
    quint64 ticks = 0;
    bool matched = true;
    QRegularExpressionMatch m = printable.match(text);
    if (m.hasMatch()) {
        ticks = m.captured(1).toULongLong() * 8640000 + m.captured(2).toULongLong() * 360000
                + m.captured(3).toULongLong() * 6000 + m.captured(4).toULongLong() * 100
                + m.captured(5).toULongLong();
    } else if ((m = plain.match(text)).hasMatch()) {
        ticks = m.captured(1).toULongLong();
    } else {
        matched = false;
    }
    if (ticks > 0xFFFFFFFFULL) {
        ticks = 0;
        matched = false;
    }
    if (ok)
        *ok = matched;
    return static_cast<quint32>(ticks);
}

QString counter64Text(quint64 value)
{
    return QString::number(value);
}

QString bcDateTimeText(double dayCount)
{
    if (!std::isfinite(dayCount) || std::fabs(dayCount) > 3.0e6)
        return QString();
    // A negative day count keeps its time of day as a positive fraction.
    double whole = std::trunc(dayCount);
    qint64 ms = std::llround(std::fabs(dayCount - whole) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += dayCount < 0 ? -1 : 1;
    }
    const QDate date = dayZero().addDays(static_cast<qint64>(whole));
    const int secs = static_cast<int>(ms / 1000);
    const int hour = secs / 3600;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d %s", date.year(), date.month(),
                             date.day(), hour12, secs / 60 % 60, secs % 60,
                             hour < 12 ? "am" : "pm");
}

double parseBcDateTime(const QString &text, bool *ok)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,4})/(\\d{1,2})/(\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{1,2})"
                       "(?::(\\d{1,2}))?(?:\\s*([aApP][mM]))?)?\\s*$"));
    static const QRegularExpression number(
        QStringLiteral("^\\s*[-+]?(?:\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (ok)
        *ok = false;
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        if (!number.match(text).hasMatch())
            return 0.0;
        if (ok)
            *ok = true;
        return leadingReal(text);
    }
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    int hour = m.captured(4).toInt();
    const int minute = m.captured(5).toInt();
    const int second = m.captured(6).toInt();
    const QString ampm = m.captured(7).toLower();
    if (!ampm.isEmpty()) {
        if (hour < 1 || hour > 12)
            return 0.0;
        hour = hour % 12 + (ampm == QLatin1String("pm") ? 12 : 0);
    }
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return 0.0;
    if (ok)
        *ok = true;
    return static_cast<double>(dayZero().daysTo(date))
           + (hour * 3600 + minute * 60 + second) / 86400.0;
}

QString oidText(const QVector<quint32> &oid)
{
    QString text;
    for (int i = 0; i < oid.size(); ++i) {
        if (i)
            text += QLatin1Char('.');
        text += QString::number(oid.at(i));
    }
    return text;
}

QVector<quint32> parseOid(const QString &text, bool *ok)
{
    QVector<quint32> oid;
    if (ok)
        *ok = false;
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('.')))
        t.remove(0, 1);
    if (t.isEmpty()) {
        if (ok)
            *ok = true;
        return oid;
    }
    const QStringList parts = t.split(QLatin1Char('.'));
    for (const QString &part : parts) {
        bool good = !part.isEmpty();
        for (const QChar c : part)
            good = good && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const quint64 v = good ? part.toULongLong(&good) : 0;
        if (!good || v > 0xFFFFFFFFULL)
            return {};
        oid.append(static_cast<quint32>(v));
    }
    if (ok)
        *ok = true;
    return oid;
}

QString ipAddressText(const QByteArray &bytes)
{
    QString text;
    for (int i = 0; i < bytes.size(); ++i) {
        if (i)
            text += QLatin1Char('.');
        text += QString::number(static_cast<quint8>(bytes.at(i)));
    }
    return text;
}

QByteArray parseIpAddress(const QString &text, bool *ok)
{
    if (ok)
        *ok = false;
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return {};
    QByteArray bytes;
    for (const QString &part : parts) {
        bool good = !part.isEmpty() && part.size() <= 3;
        for (const QChar c : part)
            good = good && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const int v = good ? part.toInt() : -1;
        if (v < 0 || v > 255)
            return {};
        bytes.append(static_cast<char>(v));
    }
    if (ok)
        *ok = true;
    return bytes;
}

QString realText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace KtValue
