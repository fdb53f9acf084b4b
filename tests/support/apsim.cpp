#include "apsim.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QUdpSocket>

ApSim::ApSim(const QStringList &extraArgs) : m_extraArgs(extraArgs)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

ApSim::~ApSim() { stop(); }

QString ApSim::executable()
{
    QString path = qEnvironmentVariable("QRN_APSIM");
    return path.isEmpty() ? QStringLiteral("qrn-apsim") : path;
}

quint16 ApSim::freeUdpPort()
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress::LocalHost, 0))
        return 0;
    return probe.localPort();
}

bool ApSim::start(int timeoutMs)
{
    stop();
    m_port = freeUdpPort();
    QStringList args{QStringLiteral("--listen"),
                     QStringLiteral("127.0.0.1:%1").arg(m_port),
                     QStringLiteral("--log"),
                     m_dir.filePath(QStringLiteral("requests.log")),
                     QStringLiteral("--control"),
                     m_dir.filePath(QStringLiteral("control.sock")),
                     QStringLiteral("--state-dir"),
                     m_dir.path()};
    args += m_extraArgs;
    m_process.start(executable(), args);
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(executable(), m_process.errorString());
        return false;
    }
    // The simulator prints "qrn-apsim ready <address>:<port>" once it serves.
    QByteArray seen;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process.state() != QProcess::Running) {
            m_error = QStringLiteral("qrn-apsim exited: %1")
                          .arg(QString::fromLocal8Bit(seen + m_process.readAllStandardError()));
            return false;
        }
        m_process.waitForReadyRead(50);
        seen += m_process.readAllStandardOutput();
        if (seen.contains("qrn-apsim ready"))
            return true;
    }
    m_error = QStringLiteral("qrn-apsim did not report ready: %1").arg(QString::fromLocal8Bit(seen));
    stop();
    return false;
}

void ApSim::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool ApSim::isRunning() const { return m_process.state() == QProcess::Running; }

QStringList ApSim::log() const
{
    // The simulator writes a request's line just after its answer has gone out, so a test that
    // has its answer may read the log a moment too early. It serves its control channel in the
    // same loop, one thing at a time: once a ping is answered, every earlier line is written.
    if (isRunning())
        command(QStringLiteral("ping"));
    QFile file(m_dir.filePath(QStringLiteral("requests.log")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

void ApSim::clearLog() { command(QStringLiteral("log clear")); }

QString ApSim::command(const QString &line) const
{
    QLocalSocket socket;
    socket.connectToServer(m_dir.filePath(QStringLiteral("control.sock")));
    if (!socket.waitForConnected(2000))
        return QStringLiteral("error: control channel: %1").arg(socket.errorString());
    socket.write(line.toUtf8() + '\n');
    socket.flush();
    QByteArray reply;
    QDeadlineTimer deadline(5000);
    while (!reply.contains('\n') && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(100) && socket.state() != QLocalSocket::ConnectedState)
            break;
        reply += socket.readAll();
    }
    return QString::fromUtf8(reply).trimmed();
}
