#include "snmpdagent.h"

#include "apsim.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

SnmpdAgent::SnmpdAgent(const QStringList &configLines) : m_config(configLines)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

SnmpdAgent::~SnmpdAgent() { stop(); }

QString SnmpdAgent::executable()
{
    QString path = QStandardPaths::findExecutable(QStringLiteral("snmpd"));
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(
            QStringLiteral("snmpd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
    return path;
}

bool SnmpdAgent::start(int timeoutMs)
{
    stop();
    const QString program = executable();
    if (program.isEmpty()) {
        m_error = QStringLiteral("snmpd is not installed (Debian package snmpd)");
        return false;
    }
    m_port = ApSim::freeUdpPort();
    const QString config = m_dir.filePath(QStringLiteral("snmpd.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = QStringLiteral("cannot write %1").arg(config);
        return false;
    }
    QStringList lines{QStringLiteral("agentAddress udp:127.0.0.1:%1").arg(m_port),
                      QStringLiteral("dontLogTCPWrappersConnects yes")};
    lines += m_config;
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    file.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Only the folder of this agent: never /etc/snmp, /var/lib/snmp or the MIB files.
    environment.insert(QStringLiteral("SNMPCONFPATH"), m_dir.path());
    environment.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_dir.filePath(QStringLiteral("persist")));
    environment.insert(QStringLiteral("MIBS"), QString());
    environment.insert(QStringLiteral("MIBDIRS"), QString());
    m_process.setProcessEnvironment(environment);
    // -f: stay in the foreground; -C -c: this configuration only; -Lo: log to stdout.
    m_process.start(program, {QStringLiteral("-f"), QStringLiteral("-C"), QStringLiteral("-c"),
                              config, QStringLiteral("-Lo"), QStringLiteral("-p"),
                              m_dir.filePath(QStringLiteral("snmpd.pid"))});
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }
    // snmpd logs its version once it serves.
    QByteArray seen;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process.state() != QProcess::Running) {
            m_error = QStringLiteral("snmpd exited: %1").arg(QString::fromLocal8Bit(seen));
            return false;
        }
        m_process.waitForReadyRead(50);
        seen += m_process.readAll();
        if (seen.contains("NET-SNMP version"))
            return true;
    }
    m_error = QStringLiteral("snmpd did not report ready: %1").arg(QString::fromLocal8Bit(seen));
    stop();
    return false;
}

void SnmpdAgent::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}
