#include "ktnumlist.h"

template <typename T>
void KtNumListOf<T>::Parse(const QString &text)
{
    m_values.clear();
    if (text.isEmpty())
        return;
    // Computed in unsigned arithmetic, so overlong input wraps instead of overflowing.
    quint32 current = 0;
    bool fraction = false;
    for (const QChar c : text) {
        if (c == m_delimiter) {
            m_values.append(static_cast<T>(current));
            current = 0;
            fraction = false;
        } else if (c == QLatin1Char('.')) {
            fraction = true;
        } else if (!fraction) {
            current = current * 10u + static_cast<quint32>(c.unicode() - u'0');
        }
    }
    m_values.append(static_cast<T>(current));
}

template <typename T>
bool KtNumListOf<T>::AllWithin(T minimum, T maximum) const
{
    for (const T v : m_values) {
        if (v < minimum || v > maximum)
            return false;
    }
    return true;
}

template class KtNumListOf<qint32>;
template class KtNumListOf<quint32>;
