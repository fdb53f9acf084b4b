// Value texts and their wire values, independent of the SNMP library: the request engine turns
// KtWireValue into the library's bindings and back, nothing else touches the library.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// A variable binding's value as it travels.
struct KtWireValue {
    enum class Type {
        Null,
        Integer,     // Integer32 (signed, in number)
        OctetString, // bytes
        ObjectId,    // oid
        IpAddress,   // bytes (4)
        Counter32,   // unsigned in number
        Gauge32,     // unsigned in number
        TimeTicks,   // unsigned in number
        Opaque,      // bytes
        Counter64,   // unsigned 64-bit in number
        UInteger32,  // unsigned in number
        NoSuchObject,
        NoSuchInstance,
        EndOfMibView,
    };
    Type type = Type::Null;
    quint64 number = 0; // Integer32 kept as its two's-complement bits: use signedNumber()
    QByteArray bytes;
    QVector<quint32> oid;

    qint32 signedNumber() const { return static_cast<qint32>(static_cast<quint32>(number)); }
    bool isException() const
    {
        return type == Type::NoSuchObject || type == Type::NoSuchInstance
               || type == Type::EndOfMibView;
    }
};

namespace KtValue {

// Received binding -> value text of the syntax (before any option list is applied), with the
// "(NULL)" rule for empty printable values. Throws KtException -511 for an unknown syntax.
QString fromWire(int syntax, const KtWireValue &value);

// Value text (already converted from label to value) -> binding for a set. "(NULL)" gives a null
// binding for every syntax. Throws KtException -511 for an unknown syntax.
KtWireValue toWire(int syntax, const QString &text);

// Value text <-> the bytes of the value by syntax (used for parts of values and for the indexes).
QByteArray textToBytes(int syntax, const QString &text);
QString bytesToText(int syntax, const QByteArray &bytes);

// Bytes a part of the syntax occupies inside an octet string: 0 for "the rest" (octet strings,
// objectid, displaystr), -1 for an unknown syntax.
int partWidth(int syntax);

// The printable forms.
QString hexText(const QByteArray &bytes);    // "000F3DFA6DB1"
// Inverse of hexText; tolerates blanks, ':' and '-' between digits and lower case; a lone last
// digit is a byte of its own. Throws KtException -518 for any other character.
QByteArray parseHex(const QString &text);
QString ticksText(quint32 ticks);             // "1 days, 02h:03m:04s.05th"
// Printable or plain decimal ticks; anything else gives 0 and clears *ok.
quint32 parseTicks(const QString &text, bool *ok = nullptr);
QString counter64Text(quint64 value);         // decimal
QString bcDateTimeText(double dayCount);      // "yyyy/mm/dd hh:nn:ss am/pm"
// Day count (days since 1899-12-30, with fraction) of "yyyy/mm/dd hh:nn:ss am/pm" (the time,
// its seconds and am/pm may be left out) or of a plain day-count number; 0 and *ok cleared when
// the text is neither.
double parseBcDateTime(const QString &text, bool *ok = nullptr);
QString oidText(const QVector<quint32> &oid); // dotted
// Dotted sub-identifiers, a leading dot allowed; an empty result and *ok cleared when malformed.
QVector<quint32> parseOid(const QString &text, bool *ok = nullptr);
QString ipAddressText(const QByteArray &bytes); // dotted quad
// Four dotted numbers 0..255; empty result and *ok cleared otherwise.
QByteArray parseIpAddress(const QString &text, bool *ok = nullptr);
// A real as plain decimal text without exponent, as short as round-trips exactly.
QString realText(double value);

} // namespace KtValue
