// Errors inside the SNMP access layer and the support library are exceptions carrying a text and
// a numeric code (the code also selects the catalogue text).
#pragma once

#include <QString>
#include <stdexcept>

class KtException : public std::runtime_error
{
public:
    KtException(int code, const QString &text)
        : std::runtime_error(text.toStdString()), m_code(code), m_text(text)
    {
    }

    int code() const { return m_code; }
    const QString &text() const { return m_text; }

private:
    int m_code;
    QString m_text;
};
