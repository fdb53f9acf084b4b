#include "simcommands.h"

#include "simagent.h"
#include "simtftp.h"

#include <cctype>
#include <cstdio>
#include <set>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

SimOid vendor(std::initializer_list<uint32_t> tail)
{
    SimOid result = {1, 3, 6, 1, 4, 1, 32473, 11, 37};
    result.insert(result.end(), tail);
    return result;
}

const SimOid kRemoteServer = vendor({4, 3, 3, 1, 0});
const SimOid kRemoteFileName = vendor({4, 3, 3, 2, 0});
const SimOid kLogServer = vendor({4, 2, 11, 4, 0});
const SimOid kLogFileName = vendor({4, 2, 11, 5, 0});
const SimOid kSntpServer = vendor({4, 3, 5, 6, 1, 0});
const SimOid kSntpFileName = vendor({4, 3, 5, 6, 2, 0});
const SimOid kFirmwareVersion = vendor({4, 4, 1, 1, 1, 0});
const SimOid kRadioWaveA = vendor({4, 2, 3, 1, 12, 1});
const SimOid kRadioWaveG = vendor({4, 2, 3, 1, 12, 2});
const SimOid kBssTypeDetected = vendor({4, 2, 10, 1, 0});
const SimOid kBandTypeDetected = vendor({4, 2, 10, 2, 0});
const SimOid kSecurityTypeDetected = vendor({4, 2, 10, 3, 0});

// Upgrade command values.
enum UpgradeCommand { FirmwareUpdate = 1, ConfigSetting, ConfigSave, Reboot, FactoryReset };
// Transfer command values.
enum TftpCommand { Connect = 1, Get, Put };

// The error status of a write that the device could not carry out (genErr), and of a row
// command naming no row (inconsistentValue).
constexpr int kDeviceFailed = 5;
constexpr int kNoSuchRow = 12;
// "(SNMP) Cannot download the overdue firmware!"
constexpr int kOverdueFirmware = 19;

std::string text(const SimAgent &agent, const SimOid &oid)
{
    auto it = agent.store().vars().find(oid);
    return it == agent.store().vars().end() ? std::string() : agent.currentValue(it->second).bytes;
}

int64_t number(const SimAgent &agent, const SimOid &oid, int64_t fallback)
{
    auto it = agent.store().vars().find(oid);
    if (it == agent.store().vars().end() || !it->second.served())
        return fallback;
    return agent.currentValue(it->second).number;
}

std::string address(const SimAgent &agent, const SimOid &oid)
{
    return valueText(SimSyntax::IpAddress, SimValue{0, text(agent, oid), {}});
}

bool radioOn(const SimAgent &agent, const SimOid &radio) { return number(agent, radio, 0) != 0; }

std::string statePath(const SimAgent &agent, const std::string &name)
{
    return agent.options().stateDir + "/" + name;
}

bool writeFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return bool(out);
}

bool readFile(const std::string &path, std::string *content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *content = buffer.str();
    return true;
}

// A file can only be sent once a TFTP server address has been written.
int checkServer(const SimAgent &agent, const SimOid &serverOid, std::string *why)
{
    std::string server = address(agent, serverOid);
    if (server == "0.0.0.0" || server.empty()) {
        *why = "no TFTP server address";
        return kDeviceFailed;
    }
    return 0;
}

// Sends content as the file named by nameOid to the server in serverOid.
int sendFile(SimAgent &agent, const SimOid &serverOid, const SimOid &nameOid,
             const std::string &content, const std::string &localName, std::string *why)
{
    if (int status = checkServer(agent, serverOid, why))
        return status;
    std::string server = address(agent, serverOid);
    std::string name = text(agent, nameOid);
    std::string local = statePath(agent, localName);
    if (!writeFile(local, content)) {
        *why = "cannot write " + local;
        return kDeviceFailed;
    }
    SimTftp client(agent.options().tftpClient, agent.options().tftpTimeoutSeconds);
    if (!client.put(server, agent.options().tftpPort, name, local, why))
        return kDeviceFailed;
    agent.deviceEvent("SYS", "Sent " + name + " to " + server);
    return 0;
}

// "vMAJOR.MINOR" as one comparable number, -1 when the text is no version. A restricted-region
// firmware carries its region code after the number ("v2.10eu"), which does not count.
long versionNumber(const std::string &version)
{
    unsigned major = 0, minor = 0;
    int used = 0;
    if (std::sscanf(version.c_str(), "v%u.%u%n", &major, &minor, &used) != 2)
        return -1;
    for (size_t i = size_t(used); i < version.size(); ++i)
        if (!std::isalpha(static_cast<unsigned char>(version[i])))
            return -1;
    return long(major) * 1000 + long(minor);
}

int upgradeFirmware(SimAgent &agent, std::string *why)
{
    std::string image;
    if (agent.fetchedFile().empty() || !readFile(agent.fetchedFile(), &image) || image.empty()) {
        *why = "no firmware image fetched";
        return kDeviceFailed;
    }
    // An image names its version in a line "version=vX.YY"; one older than the running
    // firmware is refused with the device's own status.
    std::string version;
    size_t at = image.find("version=");
    if (at != std::string::npos) {
        size_t end = image.find_first_of("\r\n \t", at + 8);
        version = image.substr(at + 8, end == std::string::npos ? end : end - at - 8);
    }
    SimVar *current = agent.store().find(kFirmwareVersion);
    if (!version.empty() && current) {
        long have = versionNumber(current->value.bytes), offered = versionNumber(version);
        if (have >= 0 && offered >= 0 && offered < have) {
            *why = "firmware " + version + " is older than " + current->value.bytes;
            return kOverdueFirmware;
        }
        current->value.bytes = version;
    }
    agent.deviceEvent("SYS", "Firmware " + (version.empty() ? std::string("image") : version) +
                                 " installed");
    return 0;
}

int upgradeConfiguration(SimAgent &agent, std::string *why)
{
    std::string content;
    if (agent.fetchedFile().empty() || !readFile(agent.fetchedFile(), &content)) {
        *why = "no configuration file fetched";
        return kDeviceFailed;
    }
    if (!SimCommands::applyConfiguration(agent, content, why))
        return kDeviceFailed;
    agent.deviceEvent("SYS", "Configuration file applied");
    return 0;
}

int transfer(SimAgent &agent, int64_t command, std::string *why)
{
    if (command == Put && agent.faults().losePut) {
        // A client that reports the file sent although it never left the device.
        agent.deviceEvent("SYS", "Sent " + text(agent, kRemoteFileName) + " (lost)");
        return 0;
    }
    if (command == Put)
        return sendFile(agent, kRemoteServer, kRemoteFileName,
                        SimCommands::configurationText(agent), "tftp-put.cfg", why);
    if (command != Get)
        return 0;  // Connect and Nothing have nothing to do
    std::string server = address(agent, kRemoteServer);
    std::string name = text(agent, kRemoteFileName);
    if (server == "0.0.0.0" || server.empty()) {
        *why = "no TFTP server address";
        return kDeviceFailed;
    }
    std::string local = statePath(agent, "tftp-fetched.bin");
    SimTftp client(agent.options().tftpClient, agent.options().tftpTimeoutSeconds);
    agent.fetchedFile().clear();
    if (!client.get(server, agent.options().tftpPort, name, local, why))
        return kDeviceFailed;
    agent.fetchedFile() = local;
    agent.deviceEvent("SYS", "Fetched " + name + " from " + server);
    return 0;
}

void scan(const SimAgent &agent)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(agent.options().scanMs));
}

// Column value of a row of a table in store (nullptr when absent).
const SimVar *cell(const SimStore &store, const SimTable &table, uint32_t column,
                   const SimOid &index)
{
    SimOid oid = table.entry;
    oid.push_back(column);
    oid.insert(oid.end(), index.begin(), index.end());
    auto it = store.vars().find(oid);
    return it == store.vars().end() ? nullptr : &it->second;
}

std::vector<std::string> rowTexts(const SimStore &store, const SimTable &table,
                                  const SimOid &index)
{
    std::vector<std::string> values;
    for (const SimColumn &column : table.columns) {
        const SimVar *var = cell(store, table, column.subid, index);
        values.push_back(var ? valueText(column.syntax, var->value)
                             : valueText(column.syntax, SimValue{}));
    }
    return values;
}

// The first column of these tables holds the row's own index.
void renumber(const SimTable &table, std::vector<std::string> *values, uint32_t index)
{
    if (!table.columns.empty() && table.columns.front().subid == 1 &&
        table.columns.front().syntax == SimSyntax::Integer)
        (*values)[0] = std::to_string(index);
}

// The rogue AP scan: what the profile says the radios hear, through the device's filters,
// leaving out the access points already known.
int detectRogues(SimAgent &agent, std::string *why)
{
    SimStore &store = agent.store();
    SimTable *found = store.findTable("roguefound");
    SimTable *known = store.findTable("rogueknown");
    const SimTable *heard = agent.pristine().findTable("roguefound");
    if (!found || !heard) {
        *why = "this device has no rogue AP list";
        return kDeviceFailed;
    }
    scan(agent);
    std::set<std::string> knownMacs;
    if (known)
        for (const SimOid &index : store.rowIndexes(*known))
            if (const SimVar *mac = cell(store, *known, 5, index))
                knownMacs.insert(mac->value.bytes);
    const int64_t bssType = number(agent, kBssTypeDetected, 3);
    const int64_t bands = number(agent, kBandTypeDetected, 0xff);
    const int64_t security = number(agent, kSecurityTypeDetected, 0xff);
    const bool radioA = radioOn(agent, kRadioWaveA), radioG = radioOn(agent, kRadioWaveG);
    store.clearRows(*found);
    uint32_t next = 1;
    for (const SimOid &index : agent.pristine().rowIndexes(*heard)) {
        const SimStore &source = agent.pristine();
        const SimVar *type = cell(source, *heard, 2, index);
        const SimVar *mac = cell(source, *heard, 5, index);
        const SimVar *mode = cell(source, *heard, 7, index);
        const SimVar *sec = cell(source, *heard, 9, index);
        if (mac && knownMacs.count(mac->value.bytes))
            continue;
        if (type) {
            bool adHoc = type->value.bytes.find("Ad") != std::string::npos;
            if ((bssType == 1 && adHoc) || (bssType == 2 && !adHoc))
                continue;
        }
        if (mode) {
            // Mode 0 is 802.11a (band bit 0), 2 is 802.11b (bit 2), 3 is 802.11g (bit 3).
            int64_t bit = mode->value.number == 0 ? 1 : mode->value.number == 2 ? 4 : 8;
            bool radio = mode->value.number == 0 ? radioA : radioG;
            if (!(bands & bit) || !radio)
                continue;
        }
        if (sec && sec->value.number >= 0 && sec->value.number < 8 &&
            !(security & (int64_t(1) << sec->value.number)))
            continue;
        std::vector<std::string> values = rowTexts(source, *heard, index);
        renumber(*found, &values, next);
        std::string error;
        if (store.setRow(*found, {next}, values, &error))
            ++next;
    }
    agent.deviceEvent("WIRELESS", "Rogue AP detection found " + std::to_string(next - 1) +
                                      " access points");
    return 0;
}

int moveOrDeleteRow(SimAgent &agent, const std::string &from, const std::string &to,
                    int64_t row, std::string *why)
{
    if (row == 0)
        return 0;
    SimStore &store = agent.store();
    SimTable *source = store.findTable(from);
    SimTable *target = to.empty() ? nullptr : store.findTable(to);
    if (!source || (!to.empty() && !target)) {
        *why = "this device has no " + from + " list";
        return kDeviceFailed;
    }
    const SimOid index = {uint32_t(row)};
    if (!cell(store, *source, source->columns.front().subid, index)) {
        *why = "no row " + std::to_string(row) + " in " + from;
        return kNoSuchRow;
    }
    std::vector<std::string> values = rowTexts(store, *source, index);
    if (target) {
        uint32_t next = 1;
        for (const SimOid &existing : store.rowIndexes(*target))
            if (!existing.empty() && existing.front() >= next)
                next = existing.front() + 1;
        renumber(*target, &values, next);
        std::string error;
        if (!store.setRow(*target, {next}, values, &error)) {
            *why = error;
            return kDeviceFailed;
        }
    }
    for (const SimColumn &column : source->columns) {
        SimOid name = source->entry;
        name.push_back(column.subid);
        name.push_back(uint32_t(row));
        store.vars().erase(name);
    }
    return 0;
}

// The lists the device builds when asked: the profile's rows are what it finds then.
const char *const kRequestedLists[] = {"clients", "wdspeers", "sitesurvey", "roguefound"};

// Refills table name from the profile's rows; with band (1 or 2) only rows whose index starts
// with the band.
void refill(SimAgent &agent, const std::string &name, uint32_t band = 0)
{
    SimStore &store = agent.store();
    SimTable *table = store.findTable(name);
    const SimTable *heard = agent.pristine().findTable(name);
    if (!table || !heard)
        return;
    for (const SimOid &index : store.rowIndexes(*table)) {
        if (band && (index.empty() || index.front() != band))
            continue;
        for (const SimColumn &column : table->columns) {
            SimOid instance = table->entry;
            instance.push_back(column.subid);
            instance.insert(instance.end(), index.begin(), index.end());
            store.vars().erase(instance);
        }
    }
    for (const SimOid &index : agent.pristine().rowIndexes(*heard)) {
        if (band && (index.empty() || index.front() != band))
            continue;
        std::string error;
        store.setRow(*table, index, rowTexts(agent.pristine(), *heard, index), &error);
    }
}

} // namespace

void SimCommands::emptyRequestedLists(SimAgent &agent)
{
    for (const char *name : kRequestedLists)
        if (SimTable *table = agent.store().findTable(name))
            agent.store().clearRows(*table);
}

void SimCommands::started(SimAgent &agent)
{
    if (agent.options().listsOnRequest)
        emptyRequestedLists(agent);
    agent.deviceEvent("SYS", "System started");
    if (radioOn(agent, kRadioWaveA))
        agent.deviceEvent("WIRELESS", "802.11a radio started");
    if (radioOn(agent, kRadioWaveG))
        agent.deviceEvent("WIRELESS", "802.11g radio started");
}

int SimCommands::action(SimAgent &agent, SimVar &var, std::string *why)
{
    const std::string &cmd = var.rules.cmd;
    const int64_t value = var.value.number;
    if (cmd == "tftp")
        return transfer(agent, value, why);
    if (cmd == "upgrade") {
        if (value == FirmwareUpdate)
            return upgradeFirmware(agent, why);
        if (value == ConfigSetting || value == ConfigSave)
            return upgradeConfiguration(agent, why);
        return 0;
    }
    if (value != 1 && (cmd == "logget" || cmd == "logclear" || cmd == "sntplist" ||
                       cmd == "sitesurvey" || cmd == "roguedetect" || cmd == "clientinfo" ||
                       cmd == "wdsinfo"))
        return 0;
    if (cmd == "logget")
        return checkServer(agent, kLogServer, why);
    if (cmd == "logclear") {
        agent.deviceLog().clear();
        return 0;
    }
    if (cmd == "sntplist")
        return checkServer(agent, kSntpServer, why);
    if (cmd == "sitesurvey") {
        // The table keeps what the radio hears; the scan only takes its time.
        bool radio = radioOn(agent, var.oid.back() == 1 ? kRadioWaveA : kRadioWaveG);
        scan(agent);
        if (!radio) {
            *why = "the radio is off";
            return kDeviceFailed;
        }
        if (agent.options().listsOnRequest)
            refill(agent, "sitesurvey", var.oid.back());
        agent.deviceEvent("WIRELESS", "Site survey done");
        return 0;
    }
    if (cmd == "roguedetect")
        return detectRogues(agent, why);
    if (cmd == "rogueadd")
        return moveOrDeleteRow(agent, "roguefound", "rogueknown", value, why);
    if (cmd == "roguedelfound")
        return moveOrDeleteRow(agent, "roguefound", "", value, why);
    if (cmd == "roguedelknown")
        return moveOrDeleteRow(agent, "rogueknown", "", value, why);
    if (cmd == "clientinfo" || cmd == "wdsinfo") {
        // Without lists on request the lists are kept current all the time.
        if (agent.options().listsOnRequest)
            refill(agent, cmd == "clientinfo" ? "clients" : "wdspeers");
        return 0;
    }
    if (cmd == "restart" || cmd == "reboot" || cmd == "factoryreset")
        return 0;
    *why = "unknown command " + cmd;
    return kDeviceFailed;
}

void SimCommands::commit(SimAgent &agent, SimVar &var)
{
    const std::string cmd = var.rules.cmd;
    const int64_t value = var.value.number;
    // A command is an action, not a setting: the variable reads its idle value again.
    var.value = var.idle;
    bool restart = (cmd == "restart" && value == 1) || cmd == "reboot" ||
                   (cmd == "upgrade" && value == Reboot);
    bool factory = (cmd == "factoryreset" && value == 1) ||
                   (cmd == "upgrade" && value == FactoryReset);
    if (restart || factory)
        agent.afterResponse([&agent, factory] {
            agent.restart(agent.options().restartSeconds, factory);
        });
    // The log and the time-zone list are sent after the command has been answered: the
    // manager may wait for the answer without serving its TFTP server meanwhile, and
    // looks for the file a few seconds later.
    if ((cmd == "logget" || cmd == "sntplist") && value == 1) {
        std::string content;
        if (cmd == "logget")
            for (const std::string &line : agent.deviceLog())
                content += line + "\n";
        else
            content = timeZoneListText();
        const bool log = cmd == "logget";
        agent.afterResponse([&agent, log, content] {
            if (agent.faults().losePut) {
                // A client that reports the file sent although it never left the device.
                agent.deviceEvent("SYS", "Sent " + text(agent, log ? kLogFileName : kSntpFileName) +
                                             " (lost)");
                return;
            }
            std::string why;
            if (sendFile(agent, log ? kLogServer : kSntpServer, log ? kLogFileName : kSntpFileName,
                         content, log ? "logfile.out" : "sntpfile.out", &why))
                agent.deviceEvent("SYS", "Cannot send " + text(agent, log ? kLogFileName
                                                                          : kSntpFileName) +
                                             ": " + why);
        });
    }
}

int64_t SimCommands::ledState(const SimAgent &agent, const SimVar &var)
{
    int64_t state = var.value.number;
    if (!radioOn(agent, kRadioWaveA))
        state &= ~int64_t(0x0300);
    if (!radioOn(agent, kRadioWaveG))
        state &= ~int64_t(0x00C0);
    if (agent.faults().lanDown[0])
        state &= ~int64_t(0x0C00);
    if (agent.faults().lanDown[1])
        state &= ~int64_t(0x3000);
    return state;
}

std::string SimCommands::configurationText(SimAgent &agent)
{
    std::string text = "# QRN-7300XB configuration\n";
    if (const SimVar *version = agent.store().find(kFirmwareVersion))
        text += "# firmware " + version->value.bytes + "\n";
    for (const auto &entry : agent.store().vars()) {
        const SimVar &var = entry.second;
        if (var.access != SimAccess::ReadWrite || !var.rules.cmd.empty() ||
            !var.rules.same.empty())
            continue;
        text += oidText(var.oid) + " " + valueText(var.syntax, var.value) + "\n";
    }
    return text;
}

bool SimCommands::applyConfiguration(SimAgent &agent, const std::string &text, std::string *why)
{
    if (text.rfind("# QRN-7300XB configuration", 0) != 0) {
        *why = "not a configuration file of this device";
        return false;
    }
    std::vector<std::pair<SimVar *, SimValue>> changes;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t blank = line.find(' ');
        auto oid = parseOid(line.substr(0, blank));
        SimVar *var = oid ? agent.store().find(*oid) : nullptr;
        if (!var || blank == std::string::npos || var->access != SimAccess::ReadWrite) {
            *why = "line " + std::to_string(lineNo) + " names no setting";
            return false;
        }
        auto value = parseValue(var->syntax, line.substr(blank + 1));
        if (!value) {
            *why = "line " + std::to_string(lineNo) + " has a bad value";
            return false;
        }
        changes.emplace_back(var, *value);
    }
    // Nothing changes unless the whole file is good.
    for (auto &change : changes)
        change.first->value = change.second;
    return true;
}

std::string SimCommands::timeZoneListText()
{
    // Zones whose regions keep daylight saving time, by their number in the zone list.
    static const std::set<int> withDaylightSaving = {4,  5,  7,  8,  10, 11, 14, 16, 18, 19, 20, 22,
                                           23, 24, 27, 28, 29, 30, 31, 33, 34, 35, 37, 38,
                                           39, 41, 43, 45, 47, 51, 56, 58, 64, 65, 68, 70,
                                           71, 72, 73};
    std::string text;
    for (int zone = 1; zone <= 75; ++zone)
        text += withDaylightSaving.count(zone) ? "1\n" : "0\n";
    return text;
}

const char *SimCommands::help()
{
    return "\nCommands a profile attaches to variables (cmd=NAME), as the device acts on a write:\n"
           "  restart       1: answer, then silent for --restart-seconds; sysUpTime restarts\n"
           "  reboot        any value: as restart\n"
           "  factoryreset  1: the profile's values back, then as restart\n"
           "  upgrade       1 install the fetched firmware (genErr without one; status 19 for\n"
           "                an image whose \"version=vX.YY\" is older than stFirmwareVersion);\n"
           "                2, 3 apply the fetched configuration file; 4 restart;\n"
           "                5 factory reset; 6 nothing\n"
           "  tftp          2 fetch remotefilename from remotesrvip; 3 send the configuration\n"
           "                file there; 1, 4 nothing. The answer comes after the transfer;\n"
           "                a failed one answers genErr\n"
           "  logget        1: answer, then send the system log as adLogFileName to\n"
           "                adTFTPServerIP (genErr at once without a server address)\n"
           "  logclear      1: empty the system log\n"
           "  sntplist      1: answer, then send the time-zone list (75 lines of 1/0) as\n"
           "                sntpListFileName to sntpTFTPServerIP\n"
           "  sitesurvey    1: scan (--scan-ms), genErr when the band's radio is off; the table\n"
           "                sitesurvey keeps what the radio hears\n"
           "  roguedetect   1: scan, then fill roguefound with the profile's rows through\n"
           "                bssTypeDetected, bandTypeDetected, securityTypeDetected, leaving\n"
           "                out known access points and bands whose radio is off\n"
           "  rogueadd N    move row N of roguefound to rogueknown (inconsistentValue if none)\n"
           "  roguedelfound N, roguedelknown N   delete row N of roguefound / rogueknown\n"
           "  clientinfo, wdsinfo   1: answer at once; the tables clients / wdspeers are current\n"
           "A command variable reads its profile value again after acting.\n"
           "stLED (attribute led): the profile value without 0x0300 while hRadioWave.1 is 0\n"
           "and without 0x00C0 while hRadioWave.2 is 0; LAN1 (0x0C00) and LAN2 (0x3000) dark\n"
           "while the control channel has taken their link down (\"port 1 down\").\n";
}
