// The request engine: reads (get, get-next walk) and writes (set) one variable list on the
// managed device, synchronously or asynchronously, and reports every SNMP outcome as a
// KtSNMPError. The SNMP library stays behind this class.
#pragma once

#include "ktsnmperror.h"
#include "ktsnmpvalue.h"
#include "ktsnmpvaritem.h"

#include <QPair>
#include <QString>
#include <QVector>
#include <QStringList>

#include <functional>
#include <memory>

class KtNetSnmpChannel;
struct KtNetSnmpBinding;
struct KtNetSnmpResult;
struct KtNetSnmpTarget;

class KtSNMPRequest
{
public:
    using StatusCallback = std::function<void(const KtSNMPError &status)>;
    // Completion of an asynchronous step: (owner, status record, list).
    using Completion =
        std::function<void(void *owner, const KtSNMPError &status, KtSNMPVarList &list)>;

    // Copies the session records (address, port, scope, security, the global time-out).
    KtSNMPRequest();
    // Waits up to 6000 ms for the asynchronous sends still in flight, processing events.
    virtual ~KtSNMPRequest();
    KtSNMPRequest(const KtSNMPRequest &) = delete;
    KtSNMPRequest &operator=(const KtSNMPRequest &) = delete;

    // One synchronous read step: first = true starts a read or a walk, false continues a walk.
    // Returns ok; *more tells that a table row was delivered and the walk goes on.
    bool ReadSync(bool first, bool *more = nullptr);
    // One asynchronous read step; the completion runs on the GUI thread from the event loop.
    void ReadAsync(Completion completion, void *owner, bool first);

    // One set PDU. itemMap: comma-separated item numbers to send (the others are left out), in
    // the order that values (when given) are taken. The list is restored afterwards.
    bool WriteSync(const QString &itemMap = QString(), const QStringList &values = QStringList());
    void WriteAsync(Completion completion, void *owner, const QString &itemMap = QString(),
                    const QStringList &values = QStringList());

    // Library result (SNMP++ value) -> module code and catalogue text.
    static KtSNMPError MapError(int libraryResult);

    // The status of a step that had no readable (write: writable) item: nothing failed, so the
    // code is 0, but nothing was sent and no device answered. Asynchronous steps complete with
    // it; sentNothing() tells a synchronous caller.
    static KtSNMPError NothingSentStatus(bool write);
    // Whether the last read or write step had nothing to send.
    bool sentNothing() const { return m_sentNothing; }

    virtual QString SubstituteValues(const QString &expression, const QString &marker,
                                     bool quoteStrings);
    virtual QString DecodeIndex(int key, const QString &suffix);
    virtual QString EncodeIndex(int key);
    virtual void StoreVb(int item, const KtWireValue &binding);
    virtual void LoadVb(int item, KtWireValue &binding);
    virtual void Derive(int item, bool afterRead);
    virtual bool Condition(const QString &expression);
    virtual bool IsColumnDone(const QString &columnOid, const QString &lastOid,
                              const QString &returnedOid);

    // The request's record.
    StatusCallback statusCallback;
    quint8 useGetNext = 0;
    int timeout = 100; // hundredths of a second
    int retries = 1;
    QString address;
    quint16 port = 161;
    QString contextEngineID;
    QString contextName;
    quint8 version = 0;
    QString readCommunity;
    QString writeCommunity;
    qint32 securityModel = 1;
    qint32 securityLevel = 1;
    QString securityName;
    QString authPassword;
    QString privPassword;
    qint32 authProtocol = 1;
    qint32 privProtocol = 1;
    // Table walks over SNMPv2c and SNMPv3: 0 walks with get-next, a round trip per row; N > 0
    // asks with getbulk for up to N rows a round trip (at most MaxBulkRepetitions). The rows and
    // every outcome are those of the get-next walk. A device that answers a getbulk with an
    // error, or with bindings that cannot be the rows that follow, is walked with get-next from
    // then on. Copied from g_snmpBulkRepetitions.
    int bulkRepetitions = 0;
    static constexpr int MaxBulkRepetitions = 100;
    KtSNMPVarList list;
    QString rowFilter;
    quint8 alive = 1;
    qint32 outstanding = 0;
    quint64 serial = 0;

private:
    enum class Step { ReadFirst, ReadNext, Write };
    struct Prepared;
    // What a getbulk told of one item's column: the OID it was asked from and the bindings that
    // follow it in the device's order (endOfMibView, once there, to the end).
    struct BulkColumn {
        QVector<quint32> from;
        QVector<KtNetSnmpBinding> next;
        int cursor = 0; // where the last look-up ended
    };
    enum class BulkAnswer { Taken, Refused, Failed };

    KtNetSnmpTarget MakeTarget() const;
    bool prepareRead(bool first, Prepared *prepared);
    bool prepareWrite(Prepared *prepared);
    // The per-item processing of a read answer; returns the status record (finished set).
    KtSNMPError finishRead(const Prepared &prepared, const KtNetSnmpResult &result, bool *more);
    KtSNMPError reportError(KtSNMPError status);
    void sendAsync(Prepared prepared, Completion completion, void *owner);
    // Bulk walks: whether this step goes through getbulk; the get-next answer of the step when
    // the last getbulk holds it; and the taking of a getbulk's answer.
    bool usesBulk(const Prepared &prepared) const;
    bool answerFromBulk(const Prepared &prepared, KtNetSnmpResult *result);
    BulkAnswer takeBulk(const Prepared &prepared, const KtNetSnmpResult &answer);
    int maxRepetitions() const;
    KtNetSnmpResult readBulkSync(const Prepared &prepared);
    void readBulkAsync(const std::shared_ptr<Prepared> &prepared,
                       const std::function<void(const KtNetSnmpResult &)> &done);
    // The write of the item map's values; the list itself is left as it was.
    bool prepareMappedWrite(const QString &itemMap, const QStringList &values,
                            Prepared *prepared);
    void applyItemMap(const QString &itemMap, const QStringList &values);
    static KtSNMPError MapErrorInHouse(int code);
    KtNetSnmpChannel *channel();
    // The item's effective OID with its sub-identifiers (see m_columns).
    const QPair<QString, QVector<quint32>> &columnOid(int i);

    std::unique_ptr<KtNetSnmpChannel> m_channel;
    bool m_sentNothing = false;
    // The current walk's getbulk answers by item, and where they came from.
    QVector<BulkColumn> m_bulk;
    QString m_bulkAgentAddress;
    quint16 m_bulkAgentPort = 0;
    bool m_bulkRefused = false; // the device cannot be walked with getbulk
    // The binary form of each item's lastOid as the last answer gave it, so that the next walk
    // step need not parse the text again (used only while the text is unchanged).
    QVector<QPair<QString, QVector<quint32>>> m_lastOids;
    // Each item's effective OID and its sub-identifiers (empty when the text is not in the form
    // the answers' OIDs are written in), so that an answer's OID is formatted only after its
    // column.
    QVector<QPair<QString, QVector<quint32>>> m_columns;
    // The address text last found to be a dotted quad, and that quad.
    mutable QPair<QString, QString> m_resolved;
};
