#include "ktnetsnmp.h"

#include "ktnetsnmpchannel.h"
#include "ktnetsnmpincludes.h"

#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

bool s_libraryReady = false;
void *s_globalSession = nullptr;
QTimer *s_processor = nullptr;
std::vector<KtNetSnmpChannel *> s_channels;

} // namespace

namespace KtNetSnmp {

bool initLibrary()
{
    if (s_libraryReady)
        return true;
    // The module must not depend on (nor change) the host's snmp.conf, persistent state or MIB
    // files: everything it needs arrives with the launch parameters.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
    netsnmp_set_mib_directory("");
    // Without this net-snmp looks for its default MIB modules (in the empty folder) and
    // complains on stderr about each; a MIBS the user set is left alone.
    setenv("MIBS", "", 0);
    // net-snmp logs to stderr by default; the module reports every outcome itself.
    snmp_disable_log();
    init_snmp("qrn7300xb");
    s_libraryReady = true;
    return true;
}

void setLocalEngine(const QByteArray &engineIdText, int boots)
{
    if (!s_libraryReady)
        return;
    setup_engineID(nullptr, engineIdText.constData());
    // The library takes the count its persistent file stored and counts this start itself.
    QByteArray stored = QByteArray::number(boots - 1);
    engineBoots_conf("engineBoots", stored.data());
}

bool openGlobalSession()
{
    if (s_globalSession)
        return true;
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_2c;
    // A client socket on a free local port; the peer is only a placeholder, nothing is sent.
    char peer[] = "udp:127.0.0.1:161";
    session.peername = peer;
    session.flags |= SNMP_FLAGS_DONT_PROBE;
    s_globalSession = snmp_sess_open(&session);
    return s_globalSession != nullptr;
}

void closeGlobalSession()
{
    if (s_globalSession)
        snmp_sess_close(s_globalSession);
    s_globalSession = nullptr;
}

bool globalSessionOpen()
{
    return s_globalSession != nullptr;
}

void startEventProcessor()
{
    if (!s_processor) {
        s_processor = new QTimer;
        s_processor->setInterval(20);
        QObject::connect(s_processor, &QTimer::timeout, [] { processPendingEvents(); });
    }
    s_processor->start();
}

void stopEventProcessor()
{
    if (s_processor)
        s_processor->stop();
}

bool eventProcessorRunning()
{
    return s_processor && s_processor->isActive();
}

void registerChannel(KtNetSnmpChannel *channel)
{
    s_channels.push_back(channel);
}

void unregisterChannel(KtNetSnmpChannel *channel)
{
    s_channels.erase(std::remove(s_channels.begin(), s_channels.end(), channel), s_channels.end());
}

void processPendingEvents()
{
    // A completion may destroy channels or create new ones: work on a copy and skip the ones
    // that are gone.
    const std::vector<KtNetSnmpChannel *> channels = s_channels;
    for (KtNetSnmpChannel *channel : channels) {
        if (std::find(s_channels.begin(), s_channels.end(), channel) != s_channels.end())
            channel->processTimeouts();
    }
    // With nothing in flight there is no time-out to look after until the next asynchronous
    // send, which starts the processor again. Ticking on would wake the idle module fifty times
    // a second for nothing.
    const bool inFlight = std::any_of(s_channels.begin(), s_channels.end(),
                                      [](const KtNetSnmpChannel *c) { return c->pending() > 0; });
    if (!inFlight)
        stopEventProcessor();
}

} // namespace KtNetSnmp
