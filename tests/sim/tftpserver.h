// A real TFTP server for the simulator's transfers: tftp-hpa's in.tftpd on a free loopback
// port, serving (and accepting new files into) one folder.
#pragma once

#include "apsim.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUdpSocket>

#include <unistd.h>

class TestTftpServer
{
public:
    ~TestTftpServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }

    // Empty when it serves, else why not (the test then skips).
    QString start(const QString &dir)
    {
        QString program = QStandardPaths::findExecutable(QStringLiteral("in.tftpd"));
        if (program.isEmpty())
            program = QStandardPaths::findExecutable(QStringLiteral("in.tftpd"),
                                                     {QStringLiteral("/usr/sbin")});
        if (program.isEmpty())
            return QStringLiteral("in.tftpd (tftpd-hpa) is not installed");
        // in.tftpd changes root into the folder (-s), which needs root.
        if (::geteuid() != 0)
            return QStringLiteral("in.tftpd needs root to serve a folder");
        m_port = ApSim::freeUdpPort();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, {QStringLiteral("-L"), QStringLiteral("-s"),
                                  QStringLiteral("-c"), QStringLiteral("-p"),
                                  QStringLiteral("-u"), QStringLiteral("root"),
                                  QStringLiteral("-a"),
                                  QStringLiteral("127.0.0.1:%1").arg(m_port), dir});
        if (!m_process.waitForStarted(3000))
            return QStringLiteral("cannot start in.tftpd");
        // Serving once the port is taken (a probe that does not share addresses cannot bind);
        // the first look comes late enough not to take the port from under the server.
        QThread::msleep(50);
        for (int i = 0; i < 100 && m_process.state() == QProcess::Running; ++i) {
            QUdpSocket probe;
            if (!probe.bind(QHostAddress::LocalHost, m_port, QUdpSocket::DontShareAddress))
                return {};
            probe.close();
            QThread::msleep(20);
        }
        return QStringLiteral("in.tftpd did not start: ") +
               QString::fromLocal8Bit(m_process.readAll());
    }

    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};
