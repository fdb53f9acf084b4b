// Delimited number lists: part lists, item maps and delimited-number input.
#pragma once

#include <QChar>
#include <QString>
#include <QVector>

template <typename T>
class KtNumListOf
{
public:
    explicit KtNumListOf(QChar delimiter = QLatin1Char('.')) : m_delimiter(delimiter) {}

    // An empty text gives no numbers. Otherwise there is one number more than there are
    // delimiters; every character other than the delimiter and "." counts as a digit (its
    // distance from "0"), without checking, and "." starts a fraction that is ignored up to the
    // next delimiter. Callers that need well-formed input check it themselves.
    void Parse(const QString &text);

    int IndexOf(T value) const { return m_values.indexOf(value); }
    bool AllWithin(T minimum, T maximum) const;

    int Count() const { return m_values.size(); }
    T Value(int i) const { return m_values.at(i); }
    const QVector<T> &Values() const { return m_values; }
    QChar Delimiter() const { return m_delimiter; }
    void SetDelimiter(QChar delimiter) { m_delimiter = delimiter; }

private:
    QVector<T> m_values;
    QChar m_delimiter;
};

using KtNumList = KtNumListOf<qint32>;
using KtUNumList = KtNumListOf<quint32>;

extern template class KtNumListOf<qint32>;
extern template class KtNumListOf<quint32>;
