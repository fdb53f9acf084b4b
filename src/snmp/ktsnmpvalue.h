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

// The printable forms.
QString hexText(const QByteArray &bytes);    // "000F3DFA6DB1"
QByteArray parseHex(const QString &text);     // inverse; tolerates blanks and lower case
QString ticksText(quint32 ticks);             // time ticks, printable
quint32 parseTicks(const QString &text);      // printable or plain decimal ticks
QString counter64Text(quint64 value);
QString bcDateTimeText(double dayCount);      // "yyyy/mm/dd hh:nn:ss am/pm"
double parseBcDateTime(const QString &text);  // day count (days since 1899-12-30, with fraction)
QString oidText(const QVector<quint32> &oid); // dotted
QVector<quint32> parseOid(const QString &text);

} // namespace KtValue
