// Starts net-snmp's own agent (snmpd) as a separate process on a free loopback port, with a
// private configuration in a folder of its own (no system configuration, no persistent state
// outside that folder, no MIB files, no root rights needed), and always stops it.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class SnmpdAgent
{
public:
    // configLines: snmpd.conf directives (communities, createUser, rwuser ...); the agent's
    // address is added.
    explicit SnmpdAgent(const QStringList &configLines);
    ~SnmpdAgent();
    SnmpdAgent(const SnmpdAgent &) = delete;
    SnmpdAgent &operator=(const SnmpdAgent &) = delete;

    // Starts snmpd and waits until it serves. Returns false (with the reason in error()) when it
    // does not start within timeoutMs.
    bool start(int timeoutMs = 15000);
    void stop();

    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1"); }
    QString error() const { return m_error; }

    // Path of snmpd (PATH, then the system folders it installs to); empty when missing.
    static QString executable();

private:
    QStringList m_config;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
