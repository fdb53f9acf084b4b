// Starts qrn-apsim as a separate process on a free loopback port, and always stops it.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ApSim
{
public:
    // extraArgs go to qrn-apsim after --listen, --log and --control (e.g. {"--profile", "v130"}).
    explicit ApSim(const QStringList &extraArgs = {});
    ~ApSim();
    ApSim(const ApSim &) = delete;
    ApSim &operator=(const ApSim &) = delete;

    // Starts the simulator and waits until it reports that it serves. Returns false (with the
    // reason in error()) when it does not start within timeoutMs.
    bool start(int timeoutMs = 10000);
    void stop();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1"); }
    QString error() const { return m_error; }
    QString workDir() const { return m_dir.path(); }

    // One line per request the simulator answered, in order.
    QStringList log() const;
    void clearLog();

    // A run-time command on the simulator's control channel; returns its one-line answer
    // (starts with "ok" on success).
    QString command(const QString &line) const;

    // Path of the qrn-apsim executable (QRN_APSIM from the test environment).
    static QString executable();
    // A UDP port on 127.0.0.1 that was free a moment ago.
    static quint16 freeUdpPort();

private:
    QStringList m_extraArgs;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
