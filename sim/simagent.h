// The simulated access point's SNMP agent: a net-snmp master agent on its own UDP address that
// serves a SimStore, checks writes as the device does, runs the device's commands and applies
// the faults tests ask for.
#pragma once

#include "simoptions.h"
#include "simrequestlog.h"
#include "simstore.h"

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct SimFaults
{
    std::chrono::steady_clock::time_point silentUntil;
    int dropCount = 0;
    int delayMs = 0;
    std::map<SimOid, int> errors;   // OID (or subtree) -> error status to answer
    std::set<SimOid> repeats;       // a get-next on one of these answers with itself
    std::set<SimOid> muted;         // requests naming an OID at or below one go unanswered
    bool v1NoSuchNameEnd = false;   // v1 get-next leaving a table column: noSuchName
    std::set<std::string> rejectedCommunities;
    std::map<std::string, void *> rejectedUsers;  // USM users taken out of the user table
    bool lanDown[2] = {false, false};  // LAN port without link: its stLED bits go dark
    bool losePut = false;  // a tftp Put, log or time-zone list answered, nothing sent
};

class SimAgent
{
public:
    static SimAgent &instance();

    bool start(const SimOptions &options, std::string *error);
    // Serves SNMP and the control channel until stop() (SIGTERM).
    int run();
    void stop() { m_stopping = true; }

    const SimOptions &options() const { return m_options; }
    void setListsOnRequest(bool on) { m_options.listsOnRequest = on; }
    SimStore &store() { return m_store; }
    const SimStore &store() const { return m_store; }
    // The variables as the profile gives them (what a scan finds, what a factory reset restores).
    const SimStore &pristine() const { return m_pristine; }
    SimFaults &faults() { return m_faults; }
    const SimFaults &faults() const { return m_faults; }
    SimRequestLog &requestLog() { return m_log; }

    // Reloads the profile (factory defaults); false leaves the current variables.
    bool reloadProfile(std::string *error);
    // The device stops answering for seconds, then comes back with sysUpTime restarted.
    void restart(int seconds, bool factoryDefaults = false);
    void silence(int seconds);
    bool isSilent() const;
    // Runs after the answer to the current request has been sent (or at once outside one).
    void afterResponse(std::function<void()> action);

    // Current value of a variable (ticking and led variables are computed).
    SimValue currentValue(const SimVar &var) const;
    uint32_t upTimeTicks() const;

    // The device's own system log, sent by the log command: "time<TAB>[TYPE]message" lines.
    // A type whose level is disabled on the device is not logged.
    void deviceEvent(const std::string &type, const std::string &message);
    std::vector<std::string> &deviceLog() { return m_deviceLog; }
    // The file the last TFTP "Get" fetched (empty when none).
    std::string &fetchedFile() { return m_fetchedFile; }

    bool rejectUser(const std::string &name, bool reject, std::string *error);

    // Hooks for net-snmp's C callbacks.
    int handle(void *handler, void *reginfo, void *reqinfo, void *requests);
    int received(int op, void *session, int reqid, void *pdu, void *magic);
    int postParse(void *session, void *pdu, int result);

private:
    SimAgent() = default;
    bool initNetSnmp(std::string *error);
    bool openListener(std::string *error);
    void registerSubtrees();
    void drainSilently();
    // Whether name lies at or below an object the device has (a scalar, a per-band variable or
    // a table column): a get of it then lacks only the instance.
    bool knownObject(const SimOid &name, const SimOid &root) const;
    // Makes a getbulk's answer fit the manager's message size (fewer repetitions); false when
    // not even one repetition fits, and the request is left unanswered.
    bool fitBulkAnswer(void *pdu) const;

    SimOptions m_options;
    SimStore m_store;
    SimStore m_pristine;
    std::vector<std::string> m_deviceLog;
    std::string m_fetchedFile;
    SimFaults m_faults;
    SimRequestLog m_log;
    std::string m_profilePath;
    std::chrono::steady_clock::time_point m_bootTime = std::chrono::steady_clock::now();
    std::set<SimOid> m_registered;
    void *m_transport = nullptr;
    void *m_session = nullptr;
    volatile bool m_stopping = false;
    bool m_inRequest = false;
    std::vector<std::function<void()>> m_afterResponse;

    // What the current request did, for its log line.
    struct Record
    {
        long version = 0;
        int command = 0;
        std::string principal;
        int errStat = 0;
        int errIndex = 0;
        std::map<int, std::string> exceptions;
        std::set<int> answered;
        // Refused by net-snmp before any handler saw the request: status and index.
        int refusedStat = 0;
        int refusedIndex = 0;
    } m_record;
    // Old values of the variables the current set has changed, for UNDO.
    std::vector<std::pair<SimOid, SimValue>> m_undo;
};

// Error status names as net-snmp's tools print them; numbers are accepted too.
int parseErrorStatus(const std::string &text);
std::string errorStatusName(int status);
