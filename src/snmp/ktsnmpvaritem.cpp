#include "ktsnmpvaritem.h"

#include "ktoptionlist.h"

KtSNMPVarItem makeVarItem(const QString &oid, const QString &name, int syntax, int access,
                          const KtOptionList *options)
{
    KtSNMPVarItem record;
    record.oid = oid;
    record.name = name;
    record.syntax = syntax;
    record.access = access;
    record.optionList = options;
    return record;
}

KtSNMPVarList::KtSNMPVarList() = default;

KtSNMPVarList::KtSNMPVarList(const KtSNMPVarItem *table, int itemType_, int keyCount_)
    : keyCount(keyCount_), itemType(itemType_)
{
    AddItems(table);
}

// Items are value records, so copying the vector copies every text. Option lists owned by the
// source are shared, because the copied items still point at them.
KtSNMPVarList::KtSNMPVarList(const KtSNMPVarList &other) = default;

KtSNMPVarList &KtSNMPVarList::operator=(const KtSNMPVarList &other) = default;

KtSNMPVarList::~KtSNMPVarList() = default;

void KtSNMPVarList::AddItems(const KtSNMPVarItem *table)
{
    if (!table)
        return;
    for (const KtSNMPVarItem *record = table; !record->oid.isEmpty(); ++record)
        m_items.append(*record);
}

void KtSNMPVarList::Assign(const KtSNMPVarList &other)
{
    if (&other == this)
        return;
    m_items = other.m_items;
    itemType = other.itemType;
    keyCount = other.keyCount;
    listName = other.listName;
    for (const auto &owned : other.m_ownedOptionLists) {
        if (!m_ownedOptionLists.contains(owned))
            m_ownedOptionLists.append(owned);
    }
}

bool KtSNMPVarList::IsImplied(int i) const
{
    return (m_items[i].access & ACC_IMPLIED) != 0;
}

bool KtSNMPVarList::IsReadable(int i) const
{
    const int access = m_items[i].access;
    return (access & ACC_INVALID) == 0 && (access & ACC_READONLY) != 0;
}

bool KtSNMPVarList::IsWritable(int i) const
{
    const int access = m_items[i].access;
    if (access & ACC_INVALID)
        return false;
    // Table keys go out with every set: they become the row index.
    return (access & ACC_WRITEONLY) != 0 || (IsTable() && i < keyCount);
}

bool KtSNMPVarList::IsVisibleColumn(int i) const
{
    const int access = m_items[i].access;
    return (access & (ACC_INVALID | ACC_HIDDEN)) == 0
           && (access & (ACC_NOTACCESS | ACC_READONLY | ACC_DERIVED)) != 0;
}

bool KtSNMPVarList::IsHiddenColumn(int i) const
{
    const int access = m_items[i].access;
    return access == ACC_WRITEONLY || (access & (ACC_INVALID | ACC_HIDDEN)) != 0;
}

int KtSNMPVarList::VisibleColumnCount() const
{
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        count += IsVisibleColumn(i) ? 1 : 0;
    return count;
}

int KtSNMPVarList::HiddenColumnCount() const
{
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        count += IsHiddenColumn(i) ? 1 : 0;
    return count;
}

QString KtSNMPVarList::EffectiveOid(int i) const
{
    const QString &oid = m_items[i].oid;
    return instance.isEmpty() ? oid : oid + QLatin1Char('.') + instance;
}

KtOptionList *KtSNMPVarList::AdoptOptionList(std::unique_ptr<KtOptionList> list)
{
    KtOptionList *raw = list.get();
    if (raw)
        m_ownedOptionLists.append(std::shared_ptr<KtOptionList>(std::move(list)));
    return raw;
}
