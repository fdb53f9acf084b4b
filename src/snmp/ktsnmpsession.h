// The one process-wide set of device, scope and security records that every request copies when
// it is constructed, and the global SNMP session.
#pragma once

#include <QString>

struct KtSNMPDevice {
    QString address;
    quint16 port = 0;
};

struct KtSNMPScope {
    QString contextEngineID;
    QString contextName;
};

struct KtSNMPSecurity {
    quint8 version = 0; // 0 = SNMPv1, 1 = SNMPv2c, 3 = SNMPv3
    QString readCommunity;
    QString writeCommunity;
    qint32 securityModel = 0; // 1 = v1, 2 = v2, 3 = USM
    qint32 securityLevel = 0; // 1 = noAuthNoPriv, 2 = authNoPriv, 3 = authPriv
    QString securityName;
    QString authPassword;
    QString privPassword;
    // 1 = none, 2 = HMAC-MD5, 3 = HMAC-SHA, 4 = HMAC-SHA-224, 5 = HMAC-SHA-256,
    // 6 = HMAC-SHA-384, 7 = HMAC-SHA-512
    qint32 authProtocol = 0;
    qint32 privProtocol = 0; // 1 = none, 2 = DES, 3 = AES-128
};

// The records: constructed empty, set to their defaults by OpenSession, then overwritten by the
// launch parameters.
extern KtSNMPDevice g_snmpDevice;
extern KtSNMPScope g_snmpScope;
extern KtSNMPSecurity g_snmpSecurity;
// Time-out every new request takes, in hundredths of a second (100 after OpenSession).
extern int g_snmpTimeout;
// Table walks over SNMPv2c and SNMPv3: 0 (after OpenSession) walks with get-next, one round trip
// per row; N > 0 asks for up to N rows a round trip with getbulk (see KtSNMPRequest).
extern int g_snmpBulkRepetitions;

namespace KtSNMPSession {

// Creates the global session, loads and stores the engine boot counter in
// directory/"KtSNMP_PP_BootCounter", sets the records to their defaults and starts the event
// processor. Throws KtException -506, -507 or -508.
void OpenSession(const QString &directory);

bool IsOpen();

// The boot count the session started with (1 on the first start with a given counter file).
int EngineBoots();

// Ends the session (tests; the module keeps it for the life of the process).
void CloseSession();

} // namespace KtSNMPSession
