// The simulator's command line.
#pragma once

#include <string>
#include <vector>

struct SimUser
{
    std::string name;
    std::string authProtocol;     // "MD5", "SHA", "SHA-224" ... "SHA-512" or empty for noAuth
    std::string authPass;
    std::string privProtocol;     // "DES", "AES" or empty for noPriv
    std::string privPass;
};

struct SimOptions
{
    std::string listenAddress = "127.0.0.1";
    int listenPort = 161;
    std::string profile = "default";
    std::string logFile;
    std::string controlPath;
    std::string stateDir;
    std::vector<SimUser> users;
    std::string communityRead = "varnok";
    std::string communityWrite = "tesmira";
    int restartSeconds = 3;
    int tftpPort = 69;
    std::string tftpClient = "curl";  // curl | tftp | atftp
    int tftpTimeoutSeconds = 30;
    int scanMs = 1000;                // how long a site survey or rogue scan takes
    bool listsOnRequest = false;      // survey, client and WDS lists empty until asked for
    std::vector<std::string> controlCommands;  // --fault "COMMAND" at start
};

// Parses "NAME:AUTH:AUTHPASS:PRIV:PRIVPASS" (AUTH MD5|SHA|none, PRIV DES|AES|none).
bool parseUser(const std::string &text, SimUser *user, std::string *error);
