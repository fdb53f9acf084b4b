// qrn-apsim: the simulated QRN-7300XB access point.
#include "simagent.h"
#include "simcommands.h"
#include "simcontrol.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: qrn-apsim [options]\n"
    "The simulated QRN-7300XB access point: an SNMPv1/v2c/v3 agent serving the MIB-II system\n"
    "group and the vendor subtree 1.3.6.1.4.1.32473.11.37 from a profile file.\n"
    "\n"
    "  --listen ADDR:PORT         UDP address to serve (default 127.0.0.1:161)\n"
    "  --profile NAME|FILE        profile name in the profile folders, or a file path\n"
    "                             (default: default, the healthy dual-band device)\n"
    "  --log FILE                 write one line per answered request to FILE\n"
    "  --control PATH             UNIX-domain socket for run-time control commands\n"
    "  --state-dir DIR            net-snmp persistent and configuration folder\n"
    "                             (default: a new temporary folder)\n"
    "  --user NAME:AUTH:AUTHPASS:PRIV:PRIVPASS\n"
    "                             an SNMPv3 user; AUTH MD5|SHA|SHA-224|SHA-256|SHA-384|\n"
    "                             SHA-512|none, PRIV DES|AES|none; repeatable (the first\n"
    "                             --user replaces the default users: authpriv MD5/DES,\n"
    "                             authsha SHA/AES, sha256aes SHA-256/AES, authnopriv MD5,\n"
    "                             noauth; passwords authpass1 and privpass1)\n"
    "  --community-read NAME      read community (default varnok)\n"
    "  --community-write NAME     write community (default tesmira; it may read too)\n"
    "  --restart-seconds N        how long a restart, upgrade or factory reset keeps the\n"
    "                             device silent (default 3)\n"
    "  --tftp-port N              UDP port of the TFTP server the device fetches from and\n"
    "                             sends to (default 69; the module's QRN_TFTP_PORT)\n"
    "  --tftp-client curl|tftp|atftp  the TFTP client program used (default curl)\n"
    "  --tftp-timeout N           seconds a transfer may take (default 30)\n"
    "  --scan-ms N                how long a site survey or rogue AP scan takes (default 1000)\n"
    "  --lists-on-request         the site survey, client, WDS and rogue AP lists are empty\n"
    "                             until their command asks the device to build them\n"
    "  --fault \"COMMAND\"          run a control command at start (repeatable), for example\n"
    "                             --fault \"error 1.3.6.1.2.1.1.5.0 genErr\"\n"
    "  --help                     this text\n"
    "\n"
    "Prints \"qrn-apsim ready ADDR:PORT\" on stdout once it serves. SIGTERM ends it.\n";

void onSignal(int) { SimAgent::instance().stop(); }

bool takeValue(int argc, char **argv, int *i, std::string *value)
{
    if (*i + 1 >= argc) {
        std::fprintf(stderr, "qrn-apsim: %s needs a value\n", argv[*i]);
        return false;
    }
    *value = argv[++*i];
    return true;
}

bool parseNumberOption(const std::string &text, int low, int high, int *out)
{
    char *end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || number < low || number > high)
        return false;
    *out = int(number);
    return true;
}

std::vector<SimUser> defaultUsers()
{
    return {{"authpriv", "MD5", "authpass1", "DES", "privpass1"},
            {"authsha", "SHA", "authpass1", "AES", "privpass1"},
            {"sha256aes", "SHA-256", "authpass1", "AES", "privpass1"},
            {"authnopriv", "MD5", "authpass1", "", ""},
            {"noauth", "", "", "", ""}};
}

} // namespace

int main(int argc, char **argv)
{
    SimOptions options;
    bool usersGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs("\n", stdout);
            std::fputs(SimControl::help(), stdout);
            std::fputs(SimCommands::help(), stdout);
            return 0;
        }
        if (arg == "--lists-on-request") {
            options.listsOnRequest = true;
            continue;
        }
        if (!takeValue(argc, argv, &i, &value))
            return 2;
        if (arg == "--listen") {
            size_t colon = value.rfind(':');
            if (colon == std::string::npos ||
                !parseNumberOption(value.substr(colon + 1), 1, 65535, &options.listenPort)) {
                std::fprintf(stderr, "qrn-apsim: bad --listen '%s' (ADDR:PORT)\n", value.c_str());
                return 2;
            }
            options.listenAddress = value.substr(0, colon);
        } else if (arg == "--profile") {
            options.profile = value;
        } else if (arg == "--log") {
            options.logFile = value;
        } else if (arg == "--control") {
            options.controlPath = value;
        } else if (arg == "--state-dir") {
            options.stateDir = value;
        } else if (arg == "--user") {
            SimUser user;
            std::string error;
            if (!parseUser(value, &user, &error)) {
                std::fprintf(stderr, "qrn-apsim: %s\n", error.c_str());
                return 2;
            }
            usersGiven = true;
            options.users.push_back(user);
        } else if (arg == "--community-read") {
            options.communityRead = value;
        } else if (arg == "--community-write") {
            options.communityWrite = value;
        } else if (arg == "--restart-seconds") {
            if (!parseNumberOption(value, 0, 3600, &options.restartSeconds)) {
                std::fprintf(stderr, "qrn-apsim: bad --restart-seconds '%s'\n", value.c_str());
                return 2;
            }
        } else if (arg == "--tftp-port") {
            if (!parseNumberOption(value, 1, 65535, &options.tftpPort)) {
                std::fprintf(stderr, "qrn-apsim: bad --tftp-port '%s'\n", value.c_str());
                return 2;
            }
        } else if (arg == "--tftp-timeout") {
            if (!parseNumberOption(value, 1, 3600, &options.tftpTimeoutSeconds)) {
                std::fprintf(stderr, "qrn-apsim: bad --tftp-timeout '%s'\n", value.c_str());
                return 2;
            }
        } else if (arg == "--scan-ms") {
            if (!parseNumberOption(value, 0, 600000, &options.scanMs)) {
                std::fprintf(stderr, "qrn-apsim: bad --scan-ms '%s'\n", value.c_str());
                return 2;
            }
        } else if (arg == "--tftp-client") {
            if (value != "curl" && value != "tftp" && value != "atftp") {
                std::fprintf(stderr, "qrn-apsim: bad --tftp-client '%s'\n", value.c_str());
                return 2;
            }
            options.tftpClient = value;
        } else if (arg == "--fault") {
            options.controlCommands.push_back(value);
        } else {
            std::fprintf(stderr, "qrn-apsim: unknown option '%s' (see --help)\n", arg.c_str());
            return 2;
        }
    }
    if (!usersGiven)
        options.users = defaultUsers();
    std::string tempDir;
    if (options.stateDir.empty()) {
        char pattern[] = "/tmp/qrn-apsim-XXXXXX";
        if (!::mkdtemp(pattern)) {
            std::perror("qrn-apsim: mkdtemp");
            return 1;
        }
        tempDir = options.stateDir = pattern;
    }

    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimAgent &agent = SimAgent::instance();
    std::string error;
    if (!agent.start(options, &error)) {
        std::fprintf(stderr, "qrn-apsim: %s\n", error.c_str());
        return 1;
    }
    if (!options.controlPath.empty() && !SimControl::instance().open(options.controlPath, &error)) {
        std::fprintf(stderr, "qrn-apsim: %s\n", error.c_str());
        return 1;
    }
    for (const std::string &command : options.controlCommands) {
        std::string reply = SimControl::execute(command);
        if (reply.rfind("ok", 0) != 0) {
            std::fprintf(stderr, "qrn-apsim: --fault \"%s\": %s\n", command.c_str(),
                         reply.c_str());
            return 2;
        }
    }
    std::printf("qrn-apsim ready %s:%d\n", options.listenAddress.c_str(), options.listenPort);
    std::fflush(stdout);

    int rc = agent.run();
    SimControl::instance().close();
    if (!tempDir.empty()) {
        std::string command = "rm -rf '" + tempDir + "'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "qrn-apsim: could not remove %s\n", tempDir.c_str());
    }
    return rc;
}
