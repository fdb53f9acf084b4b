// The 11-byte SNMP DateAndTime value behind the "datetime" syntax.
#pragma once

#include <QByteArray>
#include <QString>

class KtDateTime
{
public:
    // The local clock now: deci-seconds 0, direction "+", offset 0:0.
    KtDateTime();
    // Parsed from "y-m-d,h:n:s.d,+h:m", "y-m-d,h:n:s.d,-h:m" or "y-m-d,h:n:s.d"; fields the text
    // does not give stay 0, and the direction stays "+".
    explicit KtDateTime(const QString &text);

    // "%d-%d-%d,%d:%d:%d.%d,%c%d:%d" when there is a UTC offset, else "%d-%d-%d,%d:%d:%d.%d".
    QString ToText() const;

    // Exchanges the two year bytes. The year is held in host order and travels most significant
    // byte first; toWire/fromWire do this themselves.
    void SwapYear();

    // The 11 bytes as they travel (year most significant byte first). fromWire takes the first
    // 11 bytes; missing bytes count as 0.
    QByteArray toWire() const;
    static KtDateTime fromWire(const QByteArray &bytes);

    static constexpr int Size = 11;

    quint16 year = 0;
    quint8 month = 0;
    quint8 day = 0;
    quint8 hour = 0;
    quint8 minutes = 0;
    quint8 seconds = 0;
    quint8 deciSeconds = 0;
    char direction = '+';
    quint8 utcHours = 0;
    quint8 utcMinutes = 0;

private:
    struct Zero {};
    explicit KtDateTime(Zero) {}
};
