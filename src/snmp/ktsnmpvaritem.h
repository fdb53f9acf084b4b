// Variable items and lists: how every window declares the device variables it reads and writes.
#pragma once

#include <QList>
#include <QString>
#include <QVector>
#include <memory>

class KtOptionList;

// Syntax codes: the item's SNMP syntax, and for 193..198 the type of a part of an octet string.
enum KtSyntax : int {
    SYN_BOOLEAN = 1,
    SYN_INTEGER = 2,
    SYN_BITSTR = 3,
    SYN_OCTETSTR = 4,
    SYN_NULL = 5,
    SYN_OBJECTID = 6,
    SYN_IPADDRESS = 64,
    SYN_COUNTER = 65,
    SYN_GUAGE = 66,
    SYN_TIMETICKS = 67,
    SYN_OPAQUE = 68,
    SYN_NSAPADDR = 69,
    SYN_COUNTER64 = 70,
    SYN_UINTEGER = 71,
    SYN_DOUBLE = 72,
    SYN_MACADDRESS = 73,
    SYN_DATETIME = 74,
    SYN_BCDATETIME = 75,
    SYN_DISPLAYSTR = 76,
    SYN_BOOL8 = 193,
    SYN_INT8 = 194,
    SYN_UINT8 = 195,
    SYN_BOOL16 = 196,
    SYN_INT16 = 197,
    SYN_UINT16 = 198,
};

// Access flags, a bit set.
enum KtAccess : int {
    ACC_NOTACCESS = 1,
    ACC_READONLY = 2,
    ACC_WRITEONLY = 4,
    ACC_READWRITE = 6,
    ACC_DERIVED = 8,
    ACC_HIDDEN = 16,
    ACC_INVALID = 32,
    ACC_IMPLIED = 64,
};

// List item types.
enum KtListType : int {
    SVT_SV = 0,  // scalars: ".0" appended; read with get
    MVT_SV = 1,  // fully instanced variables; get (or get-next when asked)
    MVT_FMV = 2, // table; bound controls stay disabled until a row is selected
    MVT_UMV = 3, // table; bound controls stay enabled
};

// Special value texts.
inline const QString KT_NULL_TEXT = QStringLiteral("(NULL)");
inline const QString KT_NOTDONE_TEXT = QStringLiteral("(NOTDONE)");

// One device variable as a window declares it. Static tables of these end with a record whose
// oid is empty; the list holds owned copies whose value and lastOid change at run time.
struct KtSNMPVarItem {
    QString oid;
    QString name;
    int syntax = 0;
    int access = 0;
    const KtOptionList *optionList = nullptr; // not owned
    QString getExpression;
    QString setExpression;
    QString remark;
    QString value;   // value text in the form of its syntax
    QString lastOid; // OID last returned for this item, or where its walk stopped
};

// An item for a table built at run time: the fields a window declares, the rest empty.
KtSNMPVarItem makeVarItem(const QString &oid, const QString &name, int syntax, int access,
                          const KtOptionList *options = nullptr);

class KtSNMPVarList
{
public:
    KtSNMPVarList();
    KtSNMPVarList(const KtSNMPVarItem *table, int itemType, int keyCount);
    KtSNMPVarList(const KtSNMPVarList &other); // deep copy
    KtSNMPVarList &operator=(const KtSNMPVarList &other);
    ~KtSNMPVarList();

    void AddItems(const KtSNMPVarItem *table);
    void Assign(const KtSNMPVarList &other); // items, itemType, keyCount, listName; not instance

    int Count() const { return m_items.size(); }
    KtSNMPVarItem &Item(int i) { return m_items[i]; }
    const KtSNMPVarItem &Item(int i) const { return m_items[i]; }

    bool IsImplied(int i) const;
    bool IsReadable(int i) const;
    bool IsWritable(int i) const;
    bool IsVisibleColumn(int i) const;
    bool IsHiddenColumn(int i) const; // zero-width column
    int VisibleColumnCount() const;
    int HiddenColumnCount() const;
    bool IsTable() const { return itemType == MVT_FMV || itemType == MVT_UMV; }

    // The item's OID with the list instance appended when there is one.
    QString EffectiveOid(int i) const;

    // Option lists the list owns (destroyed with it).
    KtOptionList *AdoptOptionList(std::unique_ptr<KtOptionList> list);

    QString instance;
    int keyCount = 0;
    int itemType = SVT_SV;
    QString listName;

private:
    QVector<KtSNMPVarItem> m_items;
    QList<std::shared_ptr<KtOptionList>> m_ownedOptionLists;
};
