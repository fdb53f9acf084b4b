// Value and label pairs for combo boxes and radio groups.
#pragma once

#include <QString>
#include <QVector>

// One row of a static option table; a table ends with a row whose label is null.
// For numeric lists the value is in number, for text lists in text.
struct KtOption {
    qint32 number = 0;
    const char *text = nullptr;
    const char *label = nullptr;
};

class KtOptionList
{
public:
    enum ValueType { Numeric = 1, Text = 2, Prefix = 3 };

    KtOptionList(ValueType valueType = Numeric, bool caseSensitive = false);
    KtOptionList(const KtOption *table, ValueType valueType, bool caseSensitive = false);
    void AddEntries(const KtOption *table);
    void AddEntry(const QString &value, const QString &label);

    ValueType valueType() const { return m_valueType; }
    bool caseSensitive() const { return m_caseSensitive; }
    int Count() const { return m_entries.size(); }
    QString Value(int i) const { return m_entries.at(i).value; }
    QString Label(int i) const { return m_entries.at(i).label; }

    int IndexOfLabel(const QString &text) const;
    int IndexOfValue(const QString &text) const;
    QString LabelOf(const QString &valueText) const; // unknown values pass through unchanged
    QString ValueOf(const QString &labelText) const; // unknown labels pass through unchanged

private:
    struct Entry {
        QString value; // decimal text for numeric lists
        qint32 number = 0;
        QString label;
    };
    ValueType m_valueType;
    bool m_caseSensitive;
    QVector<Entry> m_entries;
};
