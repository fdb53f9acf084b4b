#include "ktoptionlist.h"

namespace {

Qt::CaseSensitivity sensitivity(bool caseSensitive)
{
    return caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// A numeric value text: an optional sign and decimal digits, blanks around allowed.
bool parseNumber(const QString &text, qint64 *number)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    if (ok)
        *number = value;
    return ok;
}

} // namespace

KtOptionList::KtOptionList(ValueType valueType, bool caseSensitive)
    : m_valueType(valueType), m_caseSensitive(caseSensitive)
{
}

KtOptionList::KtOptionList(const KtOption *table, ValueType valueType, bool caseSensitive)
    : m_valueType(valueType), m_caseSensitive(caseSensitive)
{
    AddEntries(table);
}

void KtOptionList::AddEntries(const KtOption *table)
{
    if (!table)
        return;
    for (const KtOption *row = table; row->label; ++row) {
        Entry entry;
        entry.label = QString::fromUtf8(row->label);
        if (m_valueType == Numeric) {
            entry.number = row->number;
            entry.value = QString::number(row->number);
        } else {
            entry.value = row->text ? QString::fromUtf8(row->text) : QString();
        }
        m_entries.append(entry);
    }
}

void KtOptionList::AddEntry(const QString &value, const QString &label)
{
    Entry entry;
    entry.label = label;
    if (m_valueType == Numeric) {
        qint64 number = 0;
        parseNumber(value, &number);
        entry.number = static_cast<qint32>(number);
        entry.value = QString::number(entry.number);
    } else {
        entry.value = value;
    }
    m_entries.append(entry);
}

int KtOptionList::IndexOfLabel(const QString &text) const
{
    const Qt::CaseSensitivity cs = sensitivity(m_caseSensitive);
    for (int i = 0; i < m_entries.size(); ++i) {
        const QString &label = m_entries.at(i).label;
        if (m_valueType == Prefix) {
            if (text.startsWith(label, cs))
                return i;
        } else if (text.compare(label, cs) == 0) {
            return i;
        }
    }
    return -1;
}

int KtOptionList::IndexOfValue(const QString &text) const
{
    if (m_valueType == Numeric) {
        qint64 number = 0;
        if (!parseNumber(text, &number))
            return -1;
        for (int i = 0; i < m_entries.size(); ++i) {
            if (m_entries.at(i).number == number)
                return i;
        }
        return -1;
    }
    const Qt::CaseSensitivity cs = sensitivity(m_caseSensitive);
    for (int i = 0; i < m_entries.size(); ++i) {
        const QString &value = m_entries.at(i).value;
        if (m_valueType == Prefix) {
            if (text.startsWith(value, cs))
                return i;
        } else if (text.compare(value, cs) == 0) {
            return i;
        }
    }
    return -1;
}

QString KtOptionList::LabelOf(const QString &valueText) const
{
    const int i = IndexOfValue(valueText);
    if (i < 0)
        return valueText;
    const Entry &entry = m_entries.at(i);
    if (m_valueType == Prefix)
        return entry.label + valueText.mid(entry.value.size());
    return entry.label;
}

QString KtOptionList::ValueOf(const QString &labelText) const
{
    const int i = IndexOfLabel(labelText);
    if (i < 0)
        return labelText;
    const Entry &entry = m_entries.at(i);
    if (m_valueType == Prefix)
        return entry.value + labelText.mid(entry.label.size());
    return entry.value;
}
