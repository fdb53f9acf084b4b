// The device's TFTP client: a well-known client program (curl by default, or tftp-hpa's tftp
// or atftp) run to fetch a file from, or send one to, a TFTP server in binary mode.
#pragma once

#include <string>

class SimTftp
{
public:
    // client: "curl", "tftp" or "atftp".
    SimTftp(std::string client, int timeoutSeconds)
        : m_client(std::move(client)), m_timeoutSeconds(timeoutSeconds)
    {
    }

    bool get(const std::string &server, int port, const std::string &remoteName,
             const std::string &localPath, std::string *error) const;
    bool put(const std::string &server, int port, const std::string &remoteName,
             const std::string &localPath, std::string *error) const;

private:
    bool run(bool upload, const std::string &server, int port, const std::string &remoteName,
             const std::string &localPath, std::string *error) const;

    std::string m_client;
    int m_timeoutSeconds;
};
