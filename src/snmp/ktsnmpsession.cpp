#include "ktsnmpsession.h"

#include "ktexception.h"
#include "ktini.h"
#include "ktmessages.h"
#include "ktnetsnmp.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <limits>

KtSNMPDevice g_snmpDevice;
KtSNMPScope g_snmpScope;
KtSNMPSecurity g_snmpSecurity;
int g_snmpTimeout = 0;
int g_snmpBulkRepetitions = 0;

namespace {

const char *const kEngineIdentity = "KtSNMP_PP_Application";
const char *const kBootCounterFile = "KtSNMP_PP_BootCounter";

int s_engineBoots = 0;
bool s_open = false;

[[noreturn]] void fail(int code)
{
    throw KtException(code, KtMessages::text(KtMessages::Table::KtSnmp, -code - 500));
}

// Results of reading the counter, in the library's manner: 0 read, -1 no entry for the identity,
// -2 the file could not be opened, -3 the entry is unreadable.
enum { BootRead = 0, BootNoEntry = -1, BootNoFile = -2, BootBadEntry = -3 };

// The counter file holds one line per engine identity: the identity, a blank, the boot count.
// Other identities' lines are kept as they are when the count is stored.
int loadBoots(const QString &path, int *boots)
{
    *boots = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return BootNoFile;
    const QString identity = QString::fromLatin1(kEngineIdentity);
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.isEmpty() || fields.at(0) != identity)
            continue;
        bool ok = false;
        const int count = fields.size() == 2 ? fields.at(1).toInt(&ok) : 0;
        if (!ok || count < 0)
            return BootBadEntry;
        *boots = count;
        return BootRead;
    }
    return BootNoEntry;
}

bool saveBoots(const QString &path, int boots)
{
    const QString identity = QString::fromLatin1(kEngineIdentity);
    QStringList lines;
    QFile old(path);
    if (old.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!old.atEnd()) {
            const QString line = QString::fromUtf8(old.readLine()).trimmed();
            if (line.isEmpty() || line.split(QLatin1Char(' ')).at(0) == identity)
                continue;
            lines << line;
        }
    }
    lines << identity + QLatin1Char(' ') + QString::number(boots);

    // Written beside the old file and renamed over it, so a failed write never leaves a
    // truncated counter behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8() + '\n';
    if (file.write(text) != text.size())
        return false;
    return file.commit();
}

void setDefaults()
{
    g_snmpDevice.address = QStringLiteral("127.0.0.1");
    g_snmpDevice.port = 161;
    g_snmpScope.contextEngineID.clear();
    g_snmpScope.contextName.clear();
    g_snmpSecurity.version = 0;
    g_snmpSecurity.readCommunity = QStringLiteral("varnok");
    g_snmpSecurity.writeCommunity = QStringLiteral("tesmira");
    g_snmpSecurity.securityModel = 1;
    g_snmpSecurity.securityLevel = 1;
    g_snmpSecurity.securityName.clear();
    g_snmpSecurity.authPassword.clear();
    g_snmpSecurity.privPassword.clear();
    g_snmpSecurity.authProtocol = 1;
    g_snmpSecurity.privProtocol = 1;
    g_snmpTimeout = 100;
    g_snmpBulkRepetitions = 0;
}

} // namespace

namespace KtSNMPSession {

void OpenSession(const QString &directory)
{
    if (!KtNetSnmp::initLibrary() || !KtNetSnmp::openGlobalSession())
        fail(-506);

    const QString path = JoinPath(directory, QString::fromLatin1(kBootCounterFile));
    int boots = 0;
    if (loadBoots(path, &boots) < BootNoFile) {
        KtNetSnmp::closeGlobalSession();
        fail(-507);
    }
    // The boot count never wraps round: once it has reached its greatest value it stays there
    // (a count that went back to 0 or below would make every agent take us for a replay).
    const int next = boots < std::numeric_limits<qint32>::max() ? boots + 1 : boots;
    if (!saveBoots(path, next)) {
        KtNetSnmp::closeGlobalSession();
        fail(-508);
    }
    s_engineBoots = next;
    KtNetSnmp::setLocalEngine(QByteArray(kEngineIdentity), s_engineBoots);

    setDefaults();
    KtNetSnmp::startEventProcessor();
    s_open = true;
}

bool IsOpen()
{
    return s_open;
}

int EngineBoots()
{
    return s_engineBoots;
}

void CloseSession()
{
    KtNetSnmp::stopEventProcessor();
    KtNetSnmp::closeGlobalSession();
    s_open = false;
}

} // namespace KtSNMPSession
