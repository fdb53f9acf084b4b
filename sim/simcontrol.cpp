#include "simcontrol.h"

#include "simagent.h"
#include "simcommands.h"
#include "simprofile.h"

#include <cstring>
#include <optional>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::vector<std::string> words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> result;
    std::string word;
    while (in >> word)
        result.push_back(word);
    return result;
}

bool parseInt(const std::string &text, int *value)
{
    char *end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || number < 0 || number > 1000000000)
        return false;
    *value = int(number);
    return true;
}

// Everything after the first n words of line, as typed.
std::string restOf(const std::string &line, size_t n)
{
    size_t pos = 0;
    for (size_t i = 0; i < n; ++i) {
        pos = line.find_first_not_of(" \t", pos);
        pos = line.find_first_of(" \t", pos);
        if (pos == std::string::npos)
            return {};
    }
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string::npos)
        return {};
    std::string rest = line.substr(pos);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.pop_back();
    return rest;
}

std::optional<SimOid> oidOrName(const std::string &text)
{
    if (auto oid = parseOid(text))
        return oid;
    if (SimVar *var = SimAgent::instance().store().lookup(text))
        return var->oid;
    return std::nullopt;
}

} // namespace

SimControl &SimControl::instance()
{
    static SimControl control;
    return control;
}

bool SimControl::open(const std::string &path, std::string *error)
{
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        *error = "control socket path too long: " + path;
        return false;
    }
    ::unlink(path.c_str());
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (m_listenFd < 0 ||
        ::bind(m_listenFd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        *error = "cannot open the control socket " + path + ": " + std::strerror(errno);
        return false;
    }
    m_path = path;
    return true;
}

void SimControl::close()
{
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        ::unlink(m_path.c_str());
        m_listenFd = -1;
    }
}

void SimControl::addFds(fd_set *fds, int *maxFdPlusOne) const
{
    if (m_listenFd < 0)
        return;
    FD_SET(m_listenFd, fds);
    if (m_listenFd + 1 > *maxFdPlusOne)
        *maxFdPlusOne = m_listenFd + 1;
}

void SimControl::process(fd_set *fds)
{
    if (m_listenFd < 0 || !FD_ISSET(m_listenFd, fds))
        return;
    FD_CLR(m_listenFd, fds);
    int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0)
        serveClient(client);
}

void SimControl::serveClient(int fd)
{
    // The client writes its line right after connecting; a silent one is given up on.
    timeval timeout = {2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string line;
    char c;
    while (line.size() < 65536 && ::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::string reply = execute(line) + "\n";
    size_t sent = 0;
    while (sent < reply.size()) {
        ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += size_t(n);
    }
    ::close(fd);
}

const char *SimControl::help()
{
    return "Control commands (one line each; the reply starts with \"ok\" or \"error\"):\n"
           "  log clear                   empty the request log\n"
           "  silent SECONDS              answer no SNMP request for SECONDS (0 ends it)\n"
           "  restart SECONDS             restart: silent for SECONDS, sysUpTime restarts\n"
           "  factory-reset [SECONDS]     restart with the profile's values\n"
           "  drop N                      drop the next N requests unanswered\n"
           "  delay MS                    answer every request MS milliseconds late (0 ends it)\n"
           "  error OID STATUS            answer requests on OID (or below it) with STATUS\n"
           "                              (a name such as genErr, noAccess, or a number: 19)\n"
           "  error clear | error clear OID\n"
           "  repeat OID | repeat clear   a get-next on OID answers with OID itself\n"
           "  mute OID | mute clear       requests naming OID (or below it) go unanswered\n"
           "  v1-nosuchname-end on|off    a v1 get-next leaving a table column: noSuchName\n"
           "  reject-community NAME | accept-community NAME | reject-community clear\n"
           "  reject-user NAME | accept-user NAME\n"
           "  set OID VALUE               change a variable (value as in the profile)\n"
           "  get OID                     read a variable: \"ok SYNTAX VALUE\" (masked: real)\n"
           "  row TABLE INDEX VALUE...    add or replace a row of a table (by table name)\n"
           "  clear-rows TABLE            remove every row of a table\n"
           "  port 1|2 up|down            LAN port link (its stLED bits dark while down)\n"
           "  lists-on-request on|off     as --lists-on-request; on empties those lists now\n"
           "  lose-put on|off             a tftp Put (3), the system log or the time-zone list\n"
           "                              is answered noError but nothing is sent\n"
           "  event TYPE MESSAGE          a line in the system log (SYS, WIRELESS, NOTICE or\n"
           "                              any type; left out while its level is 0)\n"
           "  faults clear                end every fault above\n"
           "  ping                        \"ok\"\n";
}

std::string SimControl::execute(const std::string &line)
{
    SimAgent &agent = SimAgent::instance();
    SimFaults &faults = agent.faults();
    std::vector<std::string> w = words(line);
    if (w.empty())
        return "error empty command";
    const std::string &cmd = w[0];
    int number = 0;

    if (cmd == "ping")
        return "ok";
    if (cmd == "log" && w.size() == 2 && w[1] == "clear") {
        agent.requestLog().clear();
        return "ok";
    }
    if (cmd == "silent" && w.size() == 2 && parseInt(w[1], &number)) {
        agent.silence(number);
        return "ok";
    }
    if ((cmd == "restart" || cmd == "factory-reset") && w.size() <= 2) {
        number = agent.options().restartSeconds;
        if (w.size() == 2 && !parseInt(w[1], &number))
            return "error bad seconds '" + w[1] + "'";
        agent.restart(number, cmd == "factory-reset");
        return "ok";
    }
    if (cmd == "drop" && w.size() == 2 && parseInt(w[1], &number)) {
        faults.dropCount = number;
        return "ok";
    }
    if (cmd == "delay" && w.size() == 2 && parseInt(w[1], &number)) {
        faults.delayMs = number;
        return "ok";
    }
    if (cmd == "error" && w.size() >= 2 && w[1] == "clear") {
        if (w.size() == 2) {
            faults.errors.clear();
            return "ok";
        }
        auto oid = oidOrName(w[2]);
        if (!oid || !faults.errors.erase(*oid))
            return "error no error set on '" + w[2] + "'";
        return "ok";
    }
    if (cmd == "error" && w.size() == 3) {
        auto oid = oidOrName(w[1]);
        int status = parseErrorStatus(w[2]);
        if (!oid)
            return "error bad OID '" + w[1] + "'";
        if (status <= 0)
            return "error bad error status '" + w[2] + "'";
        faults.errors[*oid] = status;
        return "ok";
    }
    if (cmd == "repeat" && w.size() == 2) {
        if (w[1] == "clear") {
            faults.repeats.clear();
            return "ok";
        }
        auto oid = oidOrName(w[1]);
        if (!oid)
            return "error bad OID '" + w[1] + "'";
        faults.repeats.insert(*oid);
        return "ok";
    }
    if (cmd == "mute" && w.size() == 2) {
        if (w[1] == "clear") {
            faults.muted.clear();
            return "ok";
        }
        auto oid = oidOrName(w[1]);
        if (!oid)
            return "error bad OID '" + w[1] + "'";
        faults.muted.insert(*oid);
        return "ok";
    }
    if (cmd == "v1-nosuchname-end" && w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
        faults.v1NoSuchNameEnd = w[1] == "on";
        return "ok";
    }
    if (cmd == "reject-community" && w.size() == 2) {
        if (w[1] == "clear")
            faults.rejectedCommunities.clear();
        else
            faults.rejectedCommunities.insert(w[1]);
        return "ok";
    }
    if (cmd == "accept-community" && w.size() == 2) {
        faults.rejectedCommunities.erase(w[1]);
        return "ok";
    }
    if ((cmd == "reject-user" || cmd == "accept-user") && w.size() == 2) {
        std::string error;
        if (!agent.rejectUser(w[1], cmd == "reject-user", &error))
            return "error " + error;
        return "ok";
    }
    if (cmd == "lists-on-request" && w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
        agent.setListsOnRequest(w[1] == "on");
        if (w[1] == "on")
            SimCommands::emptyRequestedLists(agent);
        return "ok";
    }
    if (cmd == "lose-put" && w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
        faults.losePut = w[1] == "on";
        return "ok";
    }
    if (cmd == "event" && w.size() >= 2) {
        agent.deviceEvent(w[1], restOf(line, 2));
        return "ok";
    }
    if (cmd == "port" && w.size() == 3 && (w[1] == "1" || w[1] == "2") &&
        (w[2] == "up" || w[2] == "down")) {
        faults.lanDown[w[1] == "1" ? 0 : 1] = w[2] == "down";
        return "ok";
    }
    if (cmd == "faults" && w.size() == 2 && w[1] == "clear") {
        faults.lanDown[0] = faults.lanDown[1] = false;
        faults.losePut = false;
        faults.silentUntil = {};
        faults.dropCount = 0;
        faults.delayMs = 0;
        faults.errors.clear();
        faults.repeats.clear();
        faults.muted.clear();
        faults.v1NoSuchNameEnd = false;
        faults.rejectedCommunities.clear();
        std::vector<std::string> users;
        for (const auto &entry : faults.rejectedUsers)
            users.push_back(entry.first);
        std::string error;
        for (const auto &user : users)
            agent.rejectUser(user, false, &error);
        return "ok";
    }
    if (cmd == "get" && w.size() == 2) {
        SimVar *var = agent.store().lookup(w[1]);
        if (!var)
            return "error no such variable '" + w[1] + "'";
        // What the device holds: a masked key shows its real value here.
        SimValue value = agent.currentValue(*var);
        if (var->rules.masked) {
            const SimVar *source =
                var->rules.same.empty() ? var : agent.store().find(var->rules.same);
            value.bytes = (source ? source : var)->value.bytes;
        }
        return std::string("ok ") + syntaxName(var->syntax) + " " + valueText(var->syntax, value);
    }
    if (cmd == "set" && w.size() >= 3) {
        SimVar *var = agent.store().lookup(w[1]);
        if (!var)
            return "error no such variable '" + w[1] + "'";
        // A mirror shows its target's value, so the target is what changes.
        if (!var->rules.same.empty() && agent.store().find(var->rules.same))
            var = agent.store().find(var->rules.same);
        std::string text = restOf(line, 2);
        auto value = parseValue(var->syntax, text, true);
        if (!value)
            return "error bad " + std::string(syntaxName(var->syntax)) + " value '" + text + "'";
        var->value = *value;
        // A value set directly wins over a computed one until the next restart.
        var->rules.led = false;
        var->rules.ticking = false;
        return "ok";
    }
    if (cmd == "row" && w.size() >= 3) {
        SimTable *table = agent.store().findTable(w[1]);
        auto index = parseOid(w[2]);
        if (!table)
            return "error no such table '" + w[1] + "'";
        if (!index)
            return "error bad index '" + w[2] + "'";
        std::vector<std::string> values;
        if (!SimProfile::splitWords(restOf(line, 3), &values))
            return "error unterminated string";
        std::string error;
        if (!agent.store().setRow(*table, *index, values, &error))
            return "error " + error;
        return "ok";
    }
    if (cmd == "clear-rows" && w.size() == 2) {
        SimTable *table = agent.store().findTable(w[1]);
        if (!table)
            return "error no such table '" + w[1] + "'";
        agent.store().clearRows(*table);
        return "ok";
    }
    return "error unknown command '" + line + "'";
}
