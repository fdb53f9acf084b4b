#include "ktformatspecifier.h"

#include "ktexception.h"
#include "ktmessages.h"

#include <QLocale>
#include <limits>

namespace {

[[noreturn]] void throwBadSpecifier()
{
    throw KtException(-2, KtMessages::text(KtMessages::Table::Common, 2));
}

bool isNumberChar(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
           || c == QLatin1Char('.');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

double readNumber(const QString &options, int &pos)
{
    const int start = pos;
    while (pos < options.size() && isNumberChar(options.at(pos)))
        ++pos;
    bool ok = false;
    const double value = QLocale::c().toDouble(options.mid(start, pos - start), &ok);
    if (!ok)
        throwBadSpecifier();
    return value;
}

int readDigits(const QString &options, int &pos)
{
    const int start = pos;
    while (pos < options.size() && isDigit(options.at(pos)))
        ++pos;
    bool ok = false;
    const int value = options.mid(start, pos - start).toInt(&ok);
    if (!ok)
        throwBadSpecifier();
    return value;
}

} // namespace

bool KtFormatSpec::isNumeric() const
{
    return conversion == QLatin1Char('u') || conversion == QLatin1Char('i')
           || conversion == QLatin1Char('f');
}

KtFormatSpec KtFormatSpec::Parse(const QString &specifier)
{
    if (specifier.size() < 2 || specifier.at(0) != QLatin1Char('%'))
        throwBadSpecifier();
    KtFormatSpec spec;
    spec.conversion = specifier.at(1);
    int pos = 2;
    switch (spec.conversion.unicode()) {
    case 's':
    case 'h':
        break;
    case 'u':
        spec.maximum = 4294967295.0;
        break;
    case 'i':
        spec.minimum = -2147483648.0;
        spec.maximum = 2147483647.0;
        break;
    case 'f':
        spec.minimum = std::numeric_limits<double>::min();
        spec.maximum = std::numeric_limits<double>::max();
        break;
    case 'n':
        if (specifier.size() < 3)
            throwBadSpecifier();
        spec.delimiter = specifier.at(2);
        spec.maximum = 4294967295.0;
        pos = 3;
        break;
    default:
        throwBadSpecifier();
    }
    if (pos == specifier.size())
        return spec;
    if (specifier.at(pos) != QLatin1Char('{') || !specifier.endsWith(QLatin1Char('}'))
        || specifier.size() - pos < 2)
        throwBadSpecifier();

    const QString options = specifier.mid(pos + 1, specifier.size() - pos - 2);
    int i = 0;
    while (i < options.size()) {
        const QChar option = options.at(i++);
        switch (option.unicode()) {
        case 'n':
            spec.minimum = readNumber(options, i);
            break;
        case 'x':
            spec.maximum = readNumber(options, i);
            break;
        case 'l':
            spec.length = readDigits(options, i);
            // Up to three flag letters. An "n" followed by a number is the minimum option,
            // not the not-empty flag.
            for (int k = 0; k < 3 && i < options.size(); ++k) {
                const QChar flag = options.at(i);
                if (flag == QLatin1Char('a'))
                    spec.flags |= AutoAdvance;
                else if (flag == QLatin1Char('f'))
                    spec.flags |= Fixed;
                else if (flag == QLatin1Char('n')
                         && !(i + 1 < options.size() && isNumberChar(options.at(i + 1))))
                    spec.flags |= NotEmpty;
                else
                    break;
                ++i;
            }
            break;
        case 'w':
            spec.width = readDigits(options, i);
            break;
        case 'e':
            if (i >= options.size())
                throwBadSpecifier();
            spec.skipCharacter = options.at(i++);
            break;
        default:
            throwBadSpecifier();
        }
    }
    return spec;
}

QStringList KtFormatSpec::Split(const QString &format)
{
    QStringList specifiers;
    int start = 0;
    for (int i = 1; i < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('%')) {
            specifiers.append(format.mid(start, i - start));
            start = i;
        }
    }
    if (!format.isEmpty())
        specifiers.append(format.mid(start));
    return specifiers;
}
