#include "simagent.h"

#include "simcommands.h"
#include "simcontrol.h"
#include "simprofile.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/agent/agent_callbacks.h>
#include <net-snmp/library/snmpusm.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/select.h>
#include <sys/socket.h>
#include <thread>

namespace {

const SimOid kSystemGroup = {1, 3, 6, 1, 2, 1, 1};
const SimOid kVendorTree = {1, 3, 6, 1, 4, 1, 32473, 11, 37};

const char *const kStatusNames[] = {
    "noError",        "tooBig",           "noSuchName",       "badValue",
    "readOnly",       "genErr",           "noAccess",         "wrongType",
    "wrongLength",    "wrongEncoding",    "wrongValue",       "noCreation",
    "inconsistentValue", "resourceUnavailable", "commitFailed", "undoFailed",
    "authorizationError", "notWritable",  "inconsistentName"};

SimOid toSimOid(const oid *name, size_t length)
{
    SimOid result(length);
    for (size_t i = 0; i < length; ++i)
        result[i] = static_cast<uint32_t>(name[i]);
    return result;
}

std::vector<oid> toNetSnmp(const SimOid &simOid)
{
    return std::vector<oid>(simOid.begin(), simOid.end());
}

const char *versionName(long version)
{
    switch (version) {
    case SNMP_VERSION_1:
        return "v1";
    case SNMP_VERSION_2c:
        return "v2c";
    case SNMP_VERSION_3:
        return "v3";
    default:
        return "v?";
    }
}

const char *commandName(int command)
{
    switch (command) {
    case SNMP_MSG_GET:
        return "get";
    case SNMP_MSG_GETNEXT:
        return "getnext";
    case SNMP_MSG_GETBULK:
        return "getbulk";
    case SNMP_MSG_SET:
        return "set";
    default:
        return "other";
    }
}

// The v1 error status net-snmp sends for a v2 one.
int v1Status(int status)
{
    switch (status) {
    case SNMP_ERR_WRONGVALUE:
    case SNMP_ERR_WRONGENCODING:
    case SNMP_ERR_WRONGTYPE:
    case SNMP_ERR_WRONGLENGTH:
    case SNMP_ERR_INCONSISTENTVALUE:
        return SNMP_ERR_BADVALUE;
    case SNMP_ERR_NOACCESS:
    case SNMP_ERR_NOTWRITABLE:
    case SNMP_ERR_NOCREATION:
    case SNMP_ERR_INCONSISTENTNAME:
    case SNMP_ERR_AUTHORIZATIONERROR:
        return SNMP_ERR_NOSUCHNAME;
    case SNMP_ERR_RESOURCEUNAVAILABLE:
    case SNMP_ERR_COMMITFAILED:
    case SNMP_ERR_UNDOFAILED:
        return SNMP_ERR_GENERR;
    default:
        return status;
    }
}

// A varbind's value as text for the log, shown in the syntax of the variable it goes to.
std::string varbindText(const netsnmp_variable_list *vb, const SimVar *target)
{
    switch (vb->type) {
    case ASN_INTEGER:
        return std::to_string(*vb->val.integer);
    case ASN_UNSIGNED:
    case ASN_COUNTER:
    case ASN_TIMETICKS:
        return std::to_string(static_cast<unsigned long>(*vb->val.integer) & 0xffffffffUL);
    case ASN_COUNTER64:
        return std::to_string((uint64_t(vb->val.counter64->high) << 32) |
                              vb->val.counter64->low);
    case ASN_IPADDRESS: {
        SimValue value;
        value.bytes.assign(reinterpret_cast<const char *>(vb->val.string), vb->val_len);
        return valueText(SimSyntax::IpAddress, value);
    }
    case ASN_OBJECT_ID:
        return oidText(toSimOid(vb->val.objid, vb->val_len / sizeof(oid)));
    case ASN_OCTET_STR: {
        SimValue value;
        value.bytes.assign(reinterpret_cast<const char *>(vb->val.string), vb->val_len);
        bool printable = true;
        for (unsigned char c : value.bytes)
            printable = printable && c >= 0x20 && c < 0x7f;
        bool hex = target ? target->syntax == SimSyntax::OctetStr : !printable;
        std::string text = valueText(hex ? SimSyntax::OctetStr : SimSyntax::DisplayStr, value);
        return hex && !value.bytes.empty() ? "0x" + text : text;
    }
    case ASN_NULL:
        return "null";
    default:
        return "type" + std::to_string(vb->type);
    }
}

// The value a set carries, in the variable's syntax (the type has been checked).
SimValue varbindValue(const netsnmp_variable_list *vb, SimSyntax syntax)
{
    SimValue value;
    switch (syntax) {
    case SimSyntax::Integer:
        value.number = *vb->val.integer;
        break;
    case SimSyntax::UInteger:
    case SimSyntax::Counter:
    case SimSyntax::Gauge:
    case SimSyntax::TimeTicks:
        value.number = static_cast<int64_t>(static_cast<unsigned long>(*vb->val.integer) &
                                            0xffffffffUL);
        break;
    case SimSyntax::Counter64:
        value.number = static_cast<int64_t>((uint64_t(vb->val.counter64->high) << 32) |
                                            vb->val.counter64->low);
        break;
    case SimSyntax::IpAddress:
    case SimSyntax::OctetStr:
    case SimSyntax::DisplayStr:
        value.bytes.assign(reinterpret_cast<const char *>(vb->val.string), vb->val_len);
        break;
    case SimSyntax::ObjectId:
        value.oid = toSimOid(vb->val.objid, vb->val_len / sizeof(oid));
        break;
    }
    return value;
}

void setVarbind(netsnmp_variable_list *vb, SimSyntax syntax, const SimValue &value)
{
    unsigned char type = asnType(syntax);
    switch (syntax) {
    case SimSyntax::Integer: {
        long number = static_cast<long>(value.number);
        snmp_set_var_typed_value(vb, type, &number, sizeof number);
        break;
    }
    case SimSyntax::UInteger:
    case SimSyntax::Counter:
    case SimSyntax::Gauge:
    case SimSyntax::TimeTicks: {
        u_long number = static_cast<u_long>(value.number) & 0xffffffffUL;
        snmp_set_var_typed_value(vb, type, &number, sizeof number);
        break;
    }
    case SimSyntax::Counter64: {
        struct counter64 number;
        number.high = static_cast<u_long>(uint64_t(value.number) >> 32);
        number.low = static_cast<u_long>(uint64_t(value.number) & 0xffffffffULL);
        snmp_set_var_typed_value(vb, type, &number, sizeof number);
        break;
    }
    case SimSyntax::IpAddress:
    case SimSyntax::OctetStr:
    case SimSyntax::DisplayStr:
        snmp_set_var_typed_value(vb, type, value.bytes.data(), value.bytes.size());
        break;
    case SimSyntax::ObjectId: {
        std::vector<oid> objid = toNetSnmp(value.oid);
        snmp_set_var_typed_value(vb, type, objid.data(), objid.size() * sizeof(oid));
        break;
    }
    }
}

// The error status a write of vb to var must get, or 0.
int checkWrite(const SimVar &var, const netsnmp_variable_list *vb)
{
    if (!var.served())
        return SNMP_ERR_NOACCESS;
    if (!var.writable())
        return SNMP_ERR_NOTWRITABLE;
    if (vb->type != asnType(var.syntax))
        return SNMP_ERR_WRONGTYPE;
    if (var.syntax == SimSyntax::IpAddress && vb->val_len != 4)
        return SNMP_ERR_WRONGLENGTH;
    SimValue value = varbindValue(vb, var.syntax);
    if (var.rules.size) {
        auto length = static_cast<int64_t>(value.bytes.size());
        if (length < var.rules.size->first || length > var.rules.size->second)
            return SNMP_ERR_WRONGLENGTH;
    }
    if (var.rules.range &&
        (value.number < var.rules.range->first || value.number > var.rules.range->second))
        return SNMP_ERR_WRONGVALUE;
    if (!var.rules.enums.empty()) {
        bool listed = false;
        for (int64_t allowed : var.rules.enums)
            listed = listed || allowed == value.number;
        if (!listed)
            return SNMP_ERR_WRONGVALUE;
    }
    return SNMP_ERR_NOERROR;
}

struct usmUser *findUser(const std::string &name)
{
    for (struct usmUser *user = usm_get_userList(); user; user = user->next)
        if (user->name && name == user->name)
            return user;
    return nullptr;
}

// Communities and users are checked by the simulator itself; every view is open to them.
int allowAccess(int, int, void *serverArg, void *)
{
    static_cast<struct view_parameters *>(serverArg)->errorcode = 0;
    return SNMP_ERR_NOERROR;
}

// net-snmp's messages: warnings and errors go to stderr, the chatter does not. Access control
// is the simulator's own, so the warning about a missing VACM configuration is noise too.
int logMessage(int, int, void *serverArg, void *)
{
    auto *message = static_cast<struct snmp_log_message *>(serverArg);
    if (message->priority > LOG_WARNING || !message->msg ||
        std::strstr(message->msg, "no access control information"))
        return 0;
    std::fprintf(stderr, "qrn-apsim: net-snmp: %s", message->msg);
    return 0;
}

// Every packet is let in; communities and users are checked after parsing.
int acceptPacket(netsnmp_session *, netsnmp_transport *, void *, int) { return 1; }

int handlerTrampoline(netsnmp_mib_handler *handler, netsnmp_handler_registration *reginfo,
                      netsnmp_agent_request_info *reqinfo, netsnmp_request_info *requests)
{
    return SimAgent::instance().handle(handler, reginfo, reqinfo, requests);
}

int receivedTrampoline(int op, netsnmp_session *session, int reqid, netsnmp_pdu *pdu, void *magic)
{
    return SimAgent::instance().received(op, session, reqid, pdu, magic);
}

int postParseTrampoline(netsnmp_session *session, netsnmp_pdu *pdu, int result)
{
    return SimAgent::instance().postParse(session, pdu, result);
}

} // namespace

int parseErrorStatus(const std::string &text)
{
    for (int i = 0; i < int(sizeof kStatusNames / sizeof kStatusNames[0]); ++i)
        if (strcasecmp(text.c_str(), kStatusNames[i]) == 0)
            return i;
    if (strcasecmp(text.c_str(), "noSuchObject") == 0)
        return SNMP_NOSUCHOBJECT;
    if (strcasecmp(text.c_str(), "noSuchInstance") == 0)
        return SNMP_NOSUCHINSTANCE;
    if (strcasecmp(text.c_str(), "endOfMibView") == 0)
        return SNMP_ENDOFMIBVIEW;
    char *end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || number < 0 || number > 255)
        return -1;
    return int(number);
}

std::string errorStatusName(int status)
{
    if (status >= 0 && status < int(sizeof kStatusNames / sizeof kStatusNames[0]))
        return kStatusNames[status];
    if (status == SNMP_NOSUCHOBJECT)
        return "noSuchObject";
    if (status == SNMP_NOSUCHINSTANCE)
        return "noSuchInstance";
    if (status == SNMP_ENDOFMIBVIEW)
        return "endOfMibView";
    return "status" + std::to_string(status);
}

SimAgent &SimAgent::instance()
{
    static SimAgent agent;
    return agent;
}

bool SimAgent::start(const SimOptions &options, std::string *error)
{
    m_options = options;
    m_profilePath = SimProfile::resolve(options.profile);
    if (!SimProfile::load(m_profilePath, m_store, error) ||
        !SimProfile::load(m_profilePath, m_pristine, error))
        return false;
    if (!options.logFile.empty() && !m_log.open(options.logFile)) {
        *error = "cannot write the request log " + options.logFile;
        return false;
    }
    m_bootTime = std::chrono::steady_clock::now();
    if (!initNetSnmp(error) || !openListener(error))
        return false;
    SimCommands::started(*this);
    return true;
}

bool SimAgent::initNetSnmp(std::string *error)
{
    const std::string &dir = m_options.stateDir;
    // Only our own folder: never /etc/snmp, /usr/share/snmp or /var/lib/snmp.
    setenv("SNMPCONFPATH", dir.c_str(), 1);
    setenv("SNMP_PERSISTENT_DIR", dir.c_str(), 1);
    setenv("MIBDIRS", dir.c_str(), 1);
    setenv("MIBS", "", 1);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, dir.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR, dir.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    set_persistent_directory(dir.c_str());
    set_configuration_directory(dir.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_ROOT_ACCESS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_MASTER, 0);
    snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, logMessage, nullptr);
    snmp_enable_calllog();

    if (init_agent("qrn-apsim") != 0) {
        *error = "net-snmp agent initialisation failed";
        return false;
    }
    for (int check : {SNMPD_CALLBACK_ACM_CHECK, SNMPD_CALLBACK_ACM_CHECK_INITIAL,
                      SNMPD_CALLBACK_ACM_CHECK_SUBTREE})
        snmp_register_callback(SNMP_CALLBACK_APPLICATION, check, allowAccess, nullptr);
    registerSubtrees();
    init_snmp("qrn-apsim");

    for (const SimUser &user : m_options.users) {
        std::string line = user.name;
        if (!user.authProtocol.empty()) {
            line += " " + user.authProtocol + " " + user.authPass;
            if (!user.privProtocol.empty())
                line += " " + user.privProtocol + " " + user.privPass;
        }
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        usm_parse_create_usmUser(nullptr, buffer.data());
        if (!findUser(user.name)) {
            *error = "cannot create SNMPv3 user " + user.name;
            return false;
        }
    }
    return true;
}

void SimAgent::registerSubtrees()
{
    std::set<SimOid> roots;
    for (const auto &entry : m_store.vars()) {
        const SimOid &name = entry.first;
        if (oidStartsWith(name, kSystemGroup))
            roots.insert(kSystemGroup);
        else if (oidStartsWith(name, kVendorTree))
            roots.insert(kVendorTree);
        else
            roots.insert(SimOid(name.begin(),
                                name.begin() + long(std::min<size_t>(name.size() - 1, 8))));
    }
    roots.insert(kSystemGroup);
    roots.insert(kVendorTree);
    for (const SimOid &root : roots) {
        bool nested = false;
        for (const SimOid &other : roots)
            nested = nested || (other != root && oidStartsWith(root, other));
        if (nested || m_registered.count(root))
            continue;
        std::vector<oid> name = toNetSnmp(root);
        netsnmp_handler_registration *reg = netsnmp_create_handler_registration(
            "qrn-apsim", handlerTrampoline, name.data(), name.size(), HANDLER_CAN_RWRITE);
        if (reg && netsnmp_register_handler(reg) == MIB_REGISTERED_OK)
            m_registered.insert(root);
    }
}

bool SimAgent::openListener(std::string *error)
{
    std::string spec = "udp:" + m_options.listenAddress + ":" +
                       std::to_string(m_options.listenPort);
    netsnmp_transport *transport = netsnmp_transport_open_server("snmp", spec.c_str());
    if (!transport) {
        *error = "cannot listen on " + spec;
        return false;
    }
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_DEFAULT_VERSION;
    session.callback = receivedTrampoline;
    session.authenticator = nullptr;
    session.isAuthoritative = SNMP_SESS_AUTHORITATIVE;
    netsnmp_session *added = snmp_add(&session, transport, acceptPacket,
                                      postParseTrampoline);
    if (!added) {
        *error = "cannot open the agent session on " + spec;
        return false;
    }
    m_transport = transport;
    m_session = added;
    return true;
}

bool SimAgent::reloadProfile(std::string *error)
{
    SimStore fresh;
    if (!SimProfile::load(m_profilePath, fresh, error))
        return false;
    m_store = std::move(fresh);
    SimStore pristine;
    if (SimProfile::load(m_profilePath, pristine, error))
        m_pristine = std::move(pristine);
    registerSubtrees();
    return true;
}

void SimAgent::silence(int seconds)
{
    m_faults.silentUntil = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

bool SimAgent::isSilent() const
{
    return std::chrono::steady_clock::now() < m_faults.silentUntil;
}

void SimAgent::restart(int seconds, bool factoryDefaults)
{
    if (factoryDefaults) {
        std::string error;
        if (!reloadProfile(&error))
            std::fprintf(stderr, "qrn-apsim: factory reset: %s\n", error.c_str());
    }
    silence(seconds);
    // sysUpTime counts from when the device answers again; the log lives in RAM.
    m_bootTime = m_faults.silentUntil;
    m_deviceLog.clear();
    SimCommands::started(*this);
}

void SimAgent::deviceEvent(const std::string &type, const std::string &message)
{
    static const std::pair<const char *, SimOid> levels[] = {
        {"SYS", {1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 2, 11, 1, 0}},
        {"WIRELESS", {1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 2, 11, 2, 0}},
        {"NOTICE", {1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 2, 11, 3, 0}}};
    for (const auto &level : levels) {
        const SimVar *enabled = m_store.find(level.second);
        if (type == level.first && enabled && enabled->value.number == 0)
            return;
    }
    // The device has no clock of its own: its log counts from power-on, 1 January.
    uint32_t seconds = upTimeTicks() / 100;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "Jan %2u %02u:%02u:%02u", 1 + seconds / 86400,
                  seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
    m_deviceLog.push_back(std::string(stamp) + "\t[" + type + "]" + message);
    if (m_deviceLog.size() > 500)
        m_deviceLog.erase(m_deviceLog.begin());
}

void SimAgent::afterResponse(std::function<void()> action)
{
    if (m_inRequest)
        m_afterResponse.push_back(std::move(action));
    else
        action();
}

uint32_t SimAgent::upTimeTicks() const
{
    auto elapsed = std::chrono::steady_clock::now() - m_bootTime;
    auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10;
    return ticks < 0 ? 0 : static_cast<uint32_t>(ticks);
}

SimValue SimAgent::currentValue(const SimVar &var) const
{
    const SimVar *source = &var;
    if (!var.rules.same.empty()) {
        auto it = m_store.vars().find(var.rules.same);
        if (it != m_store.vars().end())
            source = &it->second;
    }
    SimValue value = source->value;
    if (source->rules.ticking)
        value.number = upTimeTicks();
    if (source->rules.led)
        value.number = SimCommands::ledState(*this, *source);
    if (var.rules.masked)
        value.bytes = std::string(value.bytes.size(), '*');
    return value;
}

bool SimAgent::rejectUser(const std::string &name, bool reject, std::string *error)
{
    if (reject) {
        if (m_faults.rejectedUsers.count(name))
            return true;
        struct usmUser *user = findUser(name);
        if (!user) {
            *error = "no such user " + name;
            return false;
        }
        usm_remove_user(user);
        m_faults.rejectedUsers[name] = user;
        return true;
    }
    auto it = m_faults.rejectedUsers.find(name);
    if (it == m_faults.rejectedUsers.end()) {
        *error = "user " + name + " is not rejected";
        return false;
    }
    usm_add_user(static_cast<struct usmUser *>(it->second));
    m_faults.rejectedUsers.erase(it);
    return true;
}

int SimAgent::postParse(void *sessionPtr, void *pduPtr, int result)
{
    auto *session = static_cast<netsnmp_session *>(sessionPtr);
    auto *pdu = static_cast<netsnmp_pdu *>(pduPtr);
    if (!netsnmp_agent_check_parse(session, pdu, result))
        return 0;
    if (result != 0)
        return 1;
    if (isSilent())
        return 0;
    if (pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c) {
        std::string community(reinterpret_cast<const char *>(pdu->community),
                              pdu->community_len);
        // A device answers no request with a community it does not know.
        if (m_faults.rejectedCommunities.count(community) ||
            (community != m_options.communityRead && community != m_options.communityWrite))
            return 0;
    }
    // A part of the device that never answers (a table its firmware does not build): the
    // whole request is lost, as when the agent hangs on it.
    for (netsnmp_variable_list *vb = pdu->variables; vb; vb = vb->next_variable) {
        const SimOid name = toSimOid(vb->name, vb->name_length);
        for (const SimOid &prefix : m_faults.muted)
            if (oidStartsWith(name, prefix))
                return 0;
    }
    // Engine discovery probes carry no variables; they are not requests of the manager.
    if (pdu->variables && m_faults.dropCount > 0) {
        --m_faults.dropCount;
        return 0;
    }
    return 1;
}

int SimAgent::received(int op, void *sessionPtr, int reqid, void *pduPtr, void *magic)
{
    auto *session = static_cast<netsnmp_session *>(sessionPtr);
    auto *pdu = static_cast<netsnmp_pdu *>(pduPtr);
    // Engine discovery probes carry no variables: not requests of the manager, not logged.
    if (op != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu || !pdu->variables)
        return handle_snmp_packet(op, session, reqid, pdu, magic);
    // Before net-snmp's agent sees it: a getbulk whose answer could outgrow the manager's
    // message size would keep the agent busy for ever.
    if (pdu->command == SNMP_MSG_GETBULK && !fitBulkAnswer(pdu))
        return 1;
    if (m_faults.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_faults.delayMs));

    m_record = Record();
    m_record.version = pdu->version;
    m_record.command = pdu->command;
    if (pdu->version == SNMP_VERSION_3)
        m_record.principal = pdu->securityName ? pdu->securityName : "";
    else
        m_record.principal.assign(reinterpret_cast<const char *>(pdu->community),
                                  pdu->community_len);
    m_undo.clear();
    m_afterResponse.clear();
    m_inRequest = true;

    std::string line = std::string(versionName(pdu->version)) + " " + commandName(pdu->command);
    int count = 0;
    for (netsnmp_variable_list *vb = pdu->variables; vb; vb = vb->next_variable) {
        SimOid name = toSimOid(vb->name, vb->name_length);
        line += " " + oidText(name);
        ++count;
        if (pdu->command != SNMP_MSG_SET)
            continue;
        line += "=" + varbindText(vb, m_store.find(name));
        // net-snmp refuses a set carrying a NULL value before any check of ours (community
        // and handler included): wrongType for the first such binding.
        if (vb->type == ASN_NULL && !m_record.refusedStat) {
            m_record.refusedStat = SNMP_ERR_WRONGTYPE;
            m_record.refusedIndex = count;
        }
    }

    int rc = handle_snmp_packet(op, session, reqid, pdu, magic);

    // The answer has gone out; the log line says what it carried, with the v1 mapping as
    // net-snmp applies it.
    std::string result;
    int errStat = m_record.errStat, errIndex = m_record.errIndex;
    if (m_record.refusedStat) {
        errStat = m_record.refusedStat;
        errIndex = m_record.refusedIndex;
    }
    std::string exceptions;
    if (!errStat && pdu->command != SNMP_MSG_GETBULK) {
        for (int index = 1; index <= count; ++index) {
            std::string exception;
            if (m_record.exceptions.count(index))
                exception = m_record.exceptions[index];
            else if (!m_record.answered.count(index))
                exception = pdu->command == SNMP_MSG_GETNEXT ? "endOfMibView"
                            : pdu->command == SNMP_MSG_SET   ? "notWritable"
                                                             : "noSuchObject";
            if (exception.empty())
                continue;
            if (pdu->command == SNMP_MSG_SET || pdu->version == SNMP_VERSION_1) {
                errStat = pdu->command == SNMP_MSG_SET ? SNMP_ERR_NOTWRITABLE
                                                       : SNMP_ERR_NOSUCHNAME;
                errIndex = index;
                break;
            }
            exceptions += " " + exception + "(" + std::to_string(index) + ")";
        }
    }
    if (pdu->version == SNMP_VERSION_1)
        errStat = v1Status(errStat);
    result = errorStatusName(errStat);
    if (errStat)
        result += "(" + std::to_string(errIndex) + ")";
    m_log.write(line + " -> " + result + exceptions);
    if (pdu->command == SNMP_MSG_SET && !errStat)
        deviceEvent("NOTICE", "Settings changed by " + m_record.principal);

    m_inRequest = false;
    std::vector<std::function<void()>> actions;
    actions.swap(m_afterResponse);
    for (auto &action : actions)
        action();
    return rc;
}

int SimAgent::handle(void *, void *reginfoPtr, void *reqinfoPtr, void *requestsPtr)
{
    auto *reginfo = static_cast<netsnmp_handler_registration *>(reginfoPtr);
    auto *reqinfo = static_cast<netsnmp_agent_request_info *>(reqinfoPtr);
    auto *requests = static_cast<netsnmp_request_info *>(requestsPtr);
    const SimOid root = toSimOid(reginfo->rootoid, reginfo->rootoid_len);
    netsnmp_pdu *pdu = reqinfo->asp ? reqinfo->asp->pdu : nullptr;
    const long version = pdu ? pdu->version : SNMP_VERSION_2c;

    auto fail = [&](netsnmp_request_info *request, int status) {
        netsnmp_set_request_error(reqinfo, request, status);
        if (status >= int(SNMP_NOSUCHOBJECT)) {
            m_record.exceptions[request->index] = errorStatusName(status);
        } else if (!m_record.errStat || request->index < m_record.errIndex) {
            m_record.errStat = status;
            m_record.errIndex = request->index;
        }
    };
    auto injected = [&](const SimOid &name) -> int {
        for (const auto &[prefix, status] : m_faults.errors)
            if (oidStartsWith(name, prefix))
                return status;
        return 0;
    };

    for (netsnmp_request_info *request = requests; request; request = request->next) {
        if (request->processed)
            continue;
        netsnmp_variable_list *vb = request->requestvb;
        SimOid name = toSimOid(vb->name, vb->name_length);
        switch (reqinfo->mode) {
        case MODE_GET: {
            if (int status = injected(name)) {
                fail(request, status);
                break;
            }
            SimVar *var = m_store.find(name);
            if (var && var->served()) {
                setVarbind(vb, var->syntax, currentValue(*var));
                m_record.answered.insert(request->index);
                m_record.exceptions.erase(request->index);
                break;
            }
            // An instance of an object the device knows, or no such object at all.
            fail(request, knownObject(name, root) ? SNMP_NOSUCHINSTANCE : SNMP_NOSUCHOBJECT);
            break;
        }
        case MODE_GETNEXT: {
            const SimVar *found = nullptr;
            if (m_faults.repeats.count(name)) {
                found = m_store.find(name);
            }
            if (!found) {
                for (auto it = m_store.vars().upper_bound(name); it != m_store.vars().end();
                     ++it) {
                    if (!oidStartsWith(it->first, root))
                        break;
                    if (it->second.served()) {
                        found = &it->second;
                        break;
                    }
                }
            }
            if (!found) {
                // Past our subtree: unanswered (NULL), so the agent tries the next subtree or
                // ends the view. A bulk repetition arrives marked for retry and must not keep
                // the OID it was given.
                snmp_set_var_typed_value(vb, ASN_NULL, nullptr, 0);
                break;
            }
            if (int status = injected(found->oid) ? injected(found->oid) : injected(name)) {
                fail(request, status);
                break;
            }
            if (version == SNMP_VERSION_1 && m_faults.v1NoSuchNameEnd) {
                // A v1 device that ends a table walk with noSuchName instead of moving on.
                const SimTable *table = m_store.tableOf(name);
                if (table && name.size() > table->entry.size()) {
                    SimOid column(name.begin(), name.begin() + long(table->entry.size() + 1));
                    if (!oidStartsWith(found->oid, column)) {
                        fail(request, SNMP_ERR_NOSUCHNAME);
                        break;
                    }
                }
            }
            std::vector<oid> next = toNetSnmp(found->oid);
            snmp_set_var_objid(vb, next.data(), next.size());
            setVarbind(vb, found->syntax, currentValue(*found));
            m_record.answered.insert(request->index);
            break;
        }
        case MODE_SET_RESERVE1: {
            m_record.answered.insert(request->index);
            if (int status = injected(name)) {
                fail(request, status);
                break;
            }
            if (version != SNMP_VERSION_3) {
                std::string community(reinterpret_cast<const char *>(pdu->community),
                                      pdu->community_len);
                if (community != m_options.communityWrite) {
                    fail(request, SNMP_ERR_NOACCESS);
                    break;
                }
            }
            SimVar *var = m_store.find(name);
            if (!var) {
                const SimTable *table = m_store.tableOf(name);
                fail(request, table ? SNMP_ERR_NOCREATION : SNMP_ERR_NOTWRITABLE);
                break;
            }
            if (int status = checkWrite(*var, vb))
                fail(request, status);
            break;
        }
        case MODE_SET_RESERVE2:
            break;
        case MODE_SET_ACTION: {
            SimVar *var = m_store.find(name);
            if (!var)
                break;
            // A variable that mirrors another one writes through to it.
            SimVar *target = var->rules.same.empty() ? var : m_store.find(var->rules.same);
            if (!target)
                target = var;
            m_undo.emplace_back(target->oid, target->value);
            target->value = varbindValue(vb, var->syntax);
            break;
        }
        case MODE_SET_UNDO:
            for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it)
                if (SimVar *var = m_store.find(it->first))
                    var->value = it->second;
            m_undo.clear();
            break;
        case MODE_SET_COMMIT: {
            SimVar *var = m_store.find(name);
            if (var && !var->rules.cmd.empty())
                SimCommands::commit(*this, *var);
            break;
        }
        case MODE_SET_FREE:
            break;
        default:
            break;
        }
    }
    // Commands act once every value of the request is in place (a transfer may name its
    // server and file in the same request).
    if (reqinfo->mode == MODE_SET_ACTION) {
        for (netsnmp_request_info *request = requests; request; request = request->next) {
            netsnmp_variable_list *vb = request->requestvb;
            SimVar *var = m_store.find(toSimOid(vb->name, vb->name_length));
            if (!var || var->rules.cmd.empty() || request->status)
                continue;
            std::string why;
            int status = SimCommands::action(*this, *var, &why);
            if (status) {
                std::fprintf(stderr, "qrn-apsim: %s=%s failed: %s\n", var->rules.cmd.c_str(),
                             valueText(var->syntax, var->value).c_str(), why.c_str());
                deviceEvent("SYS", "Command " + var->rules.cmd + " failed: " + why);
                fail(request, status);
                break;
            }
        }
    }
    return SNMP_ERR_NOERROR;
}

bool SimAgent::knownObject(const SimOid &name, const SimOid &root) const
{
    // The object of a variable: a table cell's column, else the variable's OID without its
    // instance (".0" of a scalar, the band of a per-band variable). Every variable below an
    // object is one of its instances, so the first one below a prefix tells whether the
    // prefix is an object.
    for (size_t length = name.size(); length > root.size(); --length) {
        const SimOid prefix(name.begin(), name.begin() + long(length));
        for (auto it = m_store.vars().lower_bound(prefix);
             it != m_store.vars().end() && oidStartsWith(it->first, prefix); ++it) {
            const SimVar &var = it->second;
            if (!var.served())
                continue;
            const size_t objectLength =
                var.table ? var.table->entry.size() + 1 : var.oid.size() - 1;
            if (objectLength == length)
                return true;
            break;
        }
    }
    return false;
}

bool SimAgent::fitBulkAnswer(void *pduPtr) const
{
    auto *pdu = static_cast<netsnmp_pdu *>(pduPtr);
    // Room the answer's headers may take: message and security parameters with the longest
    // engine ID, user and keys, the scoped PDU's context, and a bound for every binding.
    constexpr long kHeaders = 320;
    constexpr long kUdpMaximum = 65507;
    const long limit = pdu->msgMaxSize > 0 ? std::min<long>(pdu->msgMaxSize, kUdpMaximum)
                                           : kUdpMaximum;
    long widest = 0;
    for (const auto &entry : m_store.vars()) {
        const SimVar &var = entry.second;
        if (!var.served())
            continue;
        const SimValue value = currentValue(var);
        const long valueBytes = long(std::max<size_t>(
            {value.bytes.size(), value.oid.size() * 5, size_t(9)}));
        // Sequence, OID and value headers of up to four bytes each; five bytes per
        // sub-identifier at most.
        widest = std::max(widest, 12 + long(var.oid.size()) * 5 + valueBytes);
    }
    long count = 0;
    for (netsnmp_variable_list *vb = pdu->variables; vb; vb = vb->next_variable)
        ++count;
    const long nonRepeaters = std::clamp<long>(pdu->non_repeaters, 0, count);
    const long repeaters = count - nonRepeaters;
    const long fitting = widest > 0 ? (limit - kHeaders) / widest : 0;
    if (repeaters == 0 || pdu->max_repetitions <= 0)
        return nonRepeaters <= fitting;
    const long repetitions = (fitting - nonRepeaters) / repeaters;
    if (repetitions < 1)
        return false;
    if (pdu->max_repetitions > repetitions)
        pdu->max_repetitions = repetitions;
    return true;
}

void SimAgent::drainSilently()
{
    auto *transport = static_cast<netsnmp_transport *>(m_transport);
    char buffer[65536];
    while (::recv(transport->sock, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) {
    }
}

int SimAgent::run()
{
    auto *transport = static_cast<netsnmp_transport *>(m_transport);
    while (!m_stopping) {
        int fds = 0, block = 0;
        fd_set readFds;
        FD_ZERO(&readFds);
        struct timeval timeout = {0, 200000};
        snmp_select_info(&fds, &readFds, &timeout, &block);
        // Wake up now and then so a SIGTERM or the end of a silence is seen.
        if (block || timeout.tv_sec > 0 || timeout.tv_usec > 200000)
            timeout = {0, 200000};
        SimControl::instance().addFds(&readFds, &fds);
        int count = ::select(fds, &readFds, nullptr, nullptr, &timeout);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            std::perror("qrn-apsim: select");
            return 1;
        }
        if (count > 0) {
            SimControl::instance().process(&readFds);
            if (isSilent() && FD_ISSET(transport->sock, &readFds)) {
                // A device that is restarting hears nothing.
                drainSilently();
                FD_CLR(transport->sock, &readFds);
            }
            snmp_read(&readFds);
        } else {
            snmp_timeout();
        }
        run_alarms();
        netsnmp_check_outstanding_agent_requests();
    }
    snmp_shutdown("qrn-apsim");
    return 0;
}
