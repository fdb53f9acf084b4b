// Helpers of the TFTP server tests: free ports, files of known content, client processes run
// while the server's event loop keeps turning, and a small datagram client of our own.
#pragma once

#include "tftpserver.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <vector>

namespace tftptest {

inline quint16 freeUdpPort()
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress::LocalHost, 0))
        return 0;
    return probe.localPort();
}

// Content that differs at every offset and from one file to the next.
inline QByteArray patternBytes(qint64 size, quint32 seed)
{
    QByteArray data(static_cast<int>(size), Qt::Uninitialized);
    QRandomGenerator generator(seed);
    const qint64 words = size / 4;
    generator.fillRange(reinterpret_cast<quint32 *>(data.data()), words);
    for (qint64 i = words * 4; i < size; ++i)
        data[static_cast<int>(i)] = static_cast<char>(generator.generate());
    return data;
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(data) == data.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Byte for byte, naming the first difference.
inline ::testing::AssertionResult sameBytes(const QByteArray &expected, const QByteArray &actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    qint64 i = 0;
    const qint64 common = qMin(expected.size(), actual.size());
    while (i < common && expected.at(i) == actual.at(i))
        ++i;
    return ::testing::AssertionFailure() << "sizes " << expected.size() << " and "
                                         << actual.size() << ", first difference at " << i;
}

struct ClientRun
{
    bool finished = false;
    int exitCode = -1;
    QString output;
};

// Runs a client program to its end while this thread's event loop (and so the server) runs.
inline ClientRun runClient(const QString &program, const QStringList &args,
                           const QString &workDir, int timeoutMs = 60000)
{
    ClientRun run;
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    process.start(program, args);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        run.output = QString::fromLocal8Bit(process.readAll());
        return run;
    }
    run.finished = process.exitStatus() == QProcess::NormalExit
                   && process.error() == QProcess::UnknownError;
    run.exitCode = process.exitCode();
    run.output = QString::fromLocal8Bit(process.readAll());
    return run;
}

// The TFTP clients Debian ships, as the simulated device runs them.
enum class Client { TftpHpa, Atftp, Curl };

inline const char *clientName(Client client)
{
    switch (client) {
    case Client::TftpHpa: return "TftpHpa";
    case Client::Atftp: return "Atftp";
    case Client::Curl: return "Curl";
    }
    return "";
}

// One transfer by a real client, the remote name given byte for byte as the device would send
// it (any bytes, not only what the locale can spell): local is the client's file, in workDir.
inline ClientRun runTransfer(Client client, bool upload, quint16 port,
                             const QByteArray &remoteName, const QString &local,
                             const QString &workDir, int timeoutSeconds = 20)
{
    const QString portText = QString::number(port);
    if (client == Client::Curl) {
        QString url = QStringLiteral("tftp://127.0.0.1:%1/").arg(port);
        url += QString::fromLatin1(remoteName.toPercentEncoding());
        QStringList args{QStringLiteral("-sS"), QStringLiteral("--tftp-no-options"),
                         QStringLiteral("--max-time"), QString::number(timeoutSeconds)};
        args << (upload ? QStringLiteral("-T") : QStringLiteral("-o")) << local << url;
        return runClient(QStringLiteral("curl"), args, workDir, (timeoutSeconds + 10) * 1000);
    }
    // tftp-hpa and atftp take the name from their command line: a shell hands them the bytes,
    // spelt as printf escapes.
    QString escaped;
    for (const char byte : remoteName)
        escaped += QStringLiteral("\\0%1").arg(static_cast<uchar>(byte), 3, 8, QLatin1Char('0'));
    const QString command
        = client == Client::TftpHpa
              ? QStringLiteral("exec timeout %1 tftp -m binary 127.0.0.1 \"$1\" -c %2 %3")
                    .arg(timeoutSeconds)
                    .arg(upload ? QStringLiteral("put") : QStringLiteral("get"),
                         upload ? QStringLiteral("\"$2\" \"$(printf %b \"$3\")\"")
                                : QStringLiteral("\"$(printf %b \"$3\")\" \"$2\""))
              : QStringLiteral("exec timeout %1 atftp %2 -r \"$(printf %b \"$3\")\" -l \"$2\" "
                               "127.0.0.1 \"$1\"")
                    .arg(timeoutSeconds)
                    .arg(upload ? QStringLiteral("-p") : QStringLiteral("-g"));
    return runClient(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"), command, QStringLiteral("sh"), portText, local,
                      escaped},
                     workDir, (timeoutSeconds + 10) * 1000);
}

// Keeps the event loop running until the condition holds or the time is up.
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer tick;   // bounds each wait below
    tick.start(5);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Every report a server's sessions made, in order.
struct Reports
{
    std::vector<KtTFTPMsg> all;

    TTFTPMsgEvent handler()
    {
        return [this](KtTFTPMsg &msg, bool &) { all.push_back(msg); };
    }
    std::vector<int> codes(int sessionNo = -1) const
    {
        std::vector<int> result;
        for (const KtTFTPMsg &msg : all)
            if (sessionNo < 0 || msg.sessionNo == sessionNo)
                result.push_back(msg.code);
        return result;
    }
    bool has(int code) const
    {
        for (const KtTFTPMsg &msg : all)
            if (msg.code == code)
                return true;
        return false;
    }
};

// TFTP opcodes.
constexpr quint16 RRQ = 1;
constexpr quint16 WRQ = 2;
constexpr quint16 DATA = 3;
constexpr quint16 ACK = 4;
constexpr quint16 ERROR = 5;

// TFTP packets as a client writes them.
inline QByteArray request(quint16 opcode, const QByteArray &name, const QByteArray &mode = "octet")
{
    QByteArray packet;
    packet.append(static_cast<char>(opcode >> 8)).append(static_cast<char>(opcode & 0xff));
    packet.append(name).append('\0').append(mode).append('\0');
    return packet;
}

inline QByteArray packet(quint16 opcode, quint16 number, const QByteArray &payload = {})
{
    QByteArray bytes;
    bytes.append(static_cast<char>(opcode >> 8)).append(static_cast<char>(opcode & 0xff));
    bytes.append(static_cast<char>(number >> 8)).append(static_cast<char>(number & 0xff));
    bytes.append(payload);
    return bytes;
}

inline quint16 opcodeOf(const QByteArray &bytes)
{
    return bytes.size() < 2 ? 0
                            : static_cast<quint16>((static_cast<uchar>(bytes.at(0)) << 8)
                                                   | static_cast<uchar>(bytes.at(1)));
}

inline quint16 numberOf(const QByteArray &bytes)
{
    return bytes.size() < 4 ? 0
                            : static_cast<quint16>((static_cast<uchar>(bytes.at(2)) << 8)
                                                   | static_cast<uchar>(bytes.at(3)));
}

// ERROR with the code and the empty message the server sends.
inline QByteArray errorPacket(quint16 code)
{
    return packet(ERROR, code) + QByteArray(1, '\0');
}

// A datagram client on a loopback port of its own, for what the real clients cannot do on
// purpose (drop an acknowledgement, speak from the wrong port, never answer).
class UdpClient
{
public:
    UdpClient() { m_socket.bind(QHostAddress::LocalHost, 0); }

    quint16 port() const { return m_socket.localPort(); }

    void send(const QByteArray &bytes, quint16 toPort)
    {
        m_socket.writeDatagram(bytes, QHostAddress::LocalHost, toPort);
    }

    // The next datagram, or an invalid one when none comes in time.
    QNetworkDatagram receive(int timeoutMs = 3000)
    {
        waitFor([this] { return m_socket.hasPendingDatagrams(); }, timeoutMs);
        return m_socket.hasPendingDatagrams() ? m_socket.receiveDatagram() : QNetworkDatagram();
    }

    QUdpSocket &socket() { return m_socket; }

private:
    QUdpSocket m_socket;
};

// A server listening on a free loopback port in the folder "served" of a temporary folder,
// which also holds the client's folder "client"; every report kept.
class ServedFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_top.isValid());
        ASSERT_TRUE(QDir(m_top.path()).mkdir(QStringLiteral("served")));
        ASSERT_TRUE(QDir(m_top.path()).mkdir(QStringLiteral("client")));
        m_served = m_top.filePath(QStringLiteral("served"));
        m_client = m_top.filePath(QStringLiteral("client"));
        m_port = freeUdpPort();
        ASSERT_NE(m_port, 0);
        m_server.SetOnMessage(m_reports.handler());
        m_server.Listen(m_served, m_port);
    }

    QString served(const QString &name) const { return m_served + QStringLiteral("/") + name; }

    // Everything in the served folder, hidden files included, by name.
    QStringList servedEntries() const
    {
        return QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden,
                                        QDir::Name);
    }

    // The codes a session reported, once it has ended (or what it reported within 10 s).
    std::vector<int> endedSession(int sessionNo)
    {
        waitFor([this, sessionNo] {
            const std::vector<int> codes = m_reports.codes(sessionNo);
            return !codes.empty() && (codes.back() == 3 || codes.back() < 0);
        }, 10000);
        return m_reports.codes(sessionNo);
    }
    // Its last code (0 when it reported nothing).
    int outcome(int sessionNo)
    {
        const std::vector<int> codes = endedSession(sessionNo);
        return codes.empty() ? 0 : codes.back();
    }

    QTemporaryDir m_top;
    QString m_served;
    QString m_client;
    quint16 m_port = 0;
    Reports m_reports;     // outlives the server, whose sessions report until it is gone
    KtTFTPServer m_server;
};

} // namespace tftptest
