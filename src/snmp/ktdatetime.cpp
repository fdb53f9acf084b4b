#include "ktdatetime.h"

#include <QDateTime>
#include <algorithm>
#include <cstdio>
#include <iterator>

KtDateTime::KtDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    year = static_cast<quint16>(date.year());
    month = static_cast<quint8>(date.month());
    day = static_cast<quint8>(date.day());
    hour = static_cast<quint8>(time.hour());
    minutes = static_cast<quint8>(time.minute());
    seconds = static_cast<quint8>(time.second());
}

KtDateTime::KtDateTime(const QString &text)
{
    const QByteArray latin = text.toLatin1();
    const char *s = latin.constData();
    int f[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (std::sscanf(s, "%d-%d-%d,%d:%d:%d.%d,+%d:%d", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5],
                    &f[6], &f[7], &f[8])
        != 9) {
        std::fill(std::begin(f), std::end(f), 0);
        if (std::sscanf(s, "%d-%d-%d,%d:%d:%d.%d,-%d:%d", &f[0], &f[1], &f[2], &f[3], &f[4],
                        &f[5], &f[6], &f[7], &f[8])
            == 9) {
            direction = '-';
        } else {
            std::fill(std::begin(f), std::end(f), 0);
            std::sscanf(s, "%d-%d-%d,%d:%d:%d.%d", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5],
                        &f[6]);
        }
    }
    year = static_cast<quint16>(f[0]);
    month = static_cast<quint8>(f[1]);
    day = static_cast<quint8>(f[2]);
    hour = static_cast<quint8>(f[3]);
    minutes = static_cast<quint8>(f[4]);
    seconds = static_cast<quint8>(f[5]);
    deciSeconds = static_cast<quint8>(f[6]);
    utcHours = static_cast<quint8>(f[7]);
    utcMinutes = static_cast<quint8>(f[8]);
}

QString KtDateTime::ToText() const
{
    QString text = QStringLiteral("%1-%2-%3,%4:%5:%6.%7")
                       .arg(year)
                       .arg(month)
                       .arg(day)
                       .arg(hour)
                       .arg(minutes)
                       .arg(seconds)
                       .arg(deciSeconds);
    if ((utcHours != 0 || utcMinutes != 0) && (direction == '+' || direction == '-')) {
        text += QStringLiteral(",%1%2:%3")
                    .arg(QLatin1Char(direction))
                    .arg(utcHours)
                    .arg(utcMinutes);
    }
    return text;
}

void KtDateTime::SwapYear()
{
    year = static_cast<quint16>((year >> 8) | (year << 8));
}

QByteArray KtDateTime::toWire() const
{
    QByteArray bytes(Size, '\0');
    bytes[0] = static_cast<char>(year >> 8);
    bytes[1] = static_cast<char>(year & 0xFF);
    bytes[2] = static_cast<char>(month);
    bytes[3] = static_cast<char>(day);
    bytes[4] = static_cast<char>(hour);
    bytes[5] = static_cast<char>(minutes);
    bytes[6] = static_cast<char>(seconds);
    bytes[7] = static_cast<char>(deciSeconds);
    bytes[8] = direction;
    bytes[9] = static_cast<char>(utcHours);
    bytes[10] = static_cast<char>(utcMinutes);
    return bytes;
}

KtDateTime KtDateTime::fromWire(const QByteArray &bytes)
{
    auto at = [&bytes](int i) -> quint8 {
        return i < bytes.size() ? static_cast<quint8>(bytes.at(i)) : 0;
    };
    KtDateTime result{Zero{}};
    result.year = static_cast<quint16>((at(0) << 8) | at(1));
    result.month = at(2);
    result.day = at(3);
    result.hour = at(4);
    result.minutes = at(5);
    result.seconds = at(6);
    result.deciSeconds = at(7);
    result.direction = static_cast<char>(at(8));
    result.utcHours = at(9);
    result.utcMinutes = at(10);
    return result;
}
