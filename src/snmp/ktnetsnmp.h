// Private glue between the SNMP access layer and net-snmp. Only the session and the request engine
// include this header; it names no net-snmp type, so net-snmp's headers stay in the .cpp files.
#pragma once

#include <QByteArray>
#include <QString>

class KtNetSnmpChannel;

namespace KtNetSnmp {

// Initialises net-snmp once per process: no configuration or persistent files of the host are read
// or written and no MIB is loaded (the module only uses numeric OIDs). Returns false when the
// library cannot start.
bool initLibrary();

// The local SNMP engine: its identity text and boot count, as the global session starts it.
void setLocalEngine(const QByteArray &engineIdText, int boots);

// The global session: a net-snmp session on a free local UDP port. Returns false when the library
// cannot create it.
bool openGlobalSession();
void closeGlobalSession();
bool globalSessionOpen();

// The event processor: lets net-snmp handle the answers and time-outs of asynchronous sends. It
// runs on the GUI thread (socket notifiers for answers and a timer for net-snmp's time-outs); the
// timer stops at a pass that finds nothing in flight, and an asynchronous send starts it again.
void startEventProcessor();
void stopEventProcessor();
bool eventProcessorRunning();

// One pass of the processor: lets net-snmp handle the time-outs of every channel with sends in
// flight (answers are read as soon as their socket is readable).
void processPendingEvents();

// Channels announce themselves so that the processor can look after their time-outs.
void registerChannel(KtNetSnmpChannel *channel);
void unregisterChannel(KtNetSnmpChannel *channel);

} // namespace KtNetSnmp
