// The server serving one expected file in a folder of the user's (the configuration saved into
// their documents, the firmware image beside their other files, the log in the module's data
// folder beside its boot counter), and telling the window when that file has arrived whole.
#include "tftptestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace tftptest;

namespace {

class TftpExpectedFile : public ServedFolder
{
protected:
    void SetUp() override
    {
        ServedFolder::SetUp();
        ASSERT_TRUE(writeFile(served(QStringLiteral("other.cfg")), m_other));
        ASSERT_TRUE(writeFile(served(QStringLiteral("fw.tfp")), m_image));
        ASSERT_TRUE(writeFile(m_top.filePath(QStringLiteral("outside.cfg")), m_other));
        ASSERT_TRUE(writeFile(m_client + QStringLiteral("/upload.bin"), m_upload));
        m_server.SetTimeout(50, 1);
    }

    ClientRun transfer(bool upload, const QByteArray &remote)
    {
        return runTransfer(Client::Curl, upload, m_port, remote,
                           upload ? QStringLiteral("upload.bin") : QStringLiteral("fetched.bin"),
                           m_client);
    }

    // The last session's final code, once it has ended.
    int lastOutcome() { return outcome(m_server.msgTemplate().sessionNo); }

    const QByteArray m_other = "the user's own file\n";
    const QByteArray m_image = patternBytes(1300, 30);
    const QByteArray m_upload = patternBytes(1800, 31);
};

struct Attempt
{
    const char *what;
    bool upload;        // as the device sees it
    const char *remote;
    int outcome;        // the session's last report
};

// The configuration window's save: the device may write the chosen name, and nothing else.
TEST_F(TftpExpectedFile, SaveTakesOnlyTheChosenName)
{
    m_server.ExpectFile(QStringLiteral("saved.cfg"), KtTFTPServer::DeviceWrites);
    const Attempt attempts[] = {
        {"the expected name", true, "saved.cfg", 3},
        {"another new name", true, "new.cfg", -1103},
        {"an unrelated file of the folder", true, "other.cfg", -1103},
        {"outside the folder", true, "../outside.cfg", -1103},
        {"another spelling", true, "SAVED.CFG", -1103},
        {"reading a file of the folder", false, "other.cfg", -1102},
        {"the expected name, the wrong way", false, "saved.cfg", -1102},
    };
    for (const Attempt &attempt : attempts) {
        SCOPED_TRACE(attempt.what);
        const ClientRun run = transfer(attempt.upload, attempt.remote);
        ASSERT_TRUE(run.finished) << run.output.toStdString();
        EXPECT_EQ(run.exitCode == 0, attempt.outcome == 3) << run.output.toStdString();
        EXPECT_EQ(lastOutcome(), attempt.outcome);
    }
    EXPECT_EQ(servedEntries(), (QStringList{QStringLiteral("fw.tfp"), QStringLiteral("other.cfg"),
                                            QStringLiteral("saved.cfg")}));
    EXPECT_EQ(readFile(served(QStringLiteral("other.cfg"))), m_other);
    EXPECT_EQ(readFile(m_top.filePath(QStringLiteral("outside.cfg"))), m_other);
    EXPECT_TRUE(sameBytes(m_upload, readFile(served(QStringLiteral("saved.cfg")))));
    EXPECT_TRUE(readFile(m_client + QStringLiteral("/fetched.bin")).isEmpty());
}

// The firmware window: the device may fetch the image, and nothing else of the folder.
TEST_F(TftpExpectedFile, FirmwareServesOnlyTheImage)
{
    m_server.ExpectFile(QStringLiteral("fw.tfp"), KtTFTPServer::DeviceReads);
    const Attempt attempts[] = {
        {"another file of the folder", false, "other.cfg", -1102},
        {"replacing the image", true, "fw.tfp", -1103},
        {"the image", false, "fw.tfp", 3},
    };
    for (const Attempt &attempt : attempts) {
        SCOPED_TRACE(attempt.what);
        const ClientRun run = transfer(attempt.upload, attempt.remote);
        ASSERT_TRUE(run.finished) << run.output.toStdString();
        EXPECT_EQ(lastOutcome(), attempt.outcome);
    }
    EXPECT_TRUE(sameBytes(m_image, readFile(m_client + QStringLiteral("/fetched.bin"))));
    EXPECT_TRUE(sameBytes(m_image, readFile(served(QStringLiteral("fw.tfp")))));

    // An empty name serves the whole folder again.
    m_server.ExpectFile(QString());
    ASSERT_TRUE(transfer(false, "other.cfg").finished);
    EXPECT_EQ(lastOutcome(), 3);
}

// A window that listens when it opens serves nothing until its user has chosen the file.
TEST_F(TftpExpectedFile, NothingIsServedBeforeAFileIsExpected)
{
    m_server.ExpectNothing();
    UdpClient device;
    device.send(request(RRQ, "fw.tfp"), m_port);
    EXPECT_EQ(device.receive().data(), errorPacket(1));
    device.send(request(WRQ, "fw.tfp"), m_port);
    EXPECT_EQ(device.receive().data(), errorPacket(2));
    EXPECT_EQ(outcome(1), -1103);
    EXPECT_TRUE(sameBytes(m_image, readFile(served(QStringLiteral("fw.tfp")))));

    // Until the refused session is gone, the same request would count as repeated.
    ASSERT_TRUE(waitFor([this] { return m_server.sessions().isEmpty(); }, 3000));
    m_server.ExpectFile(QStringLiteral("fw.tfp"), KtTFTPServer::DeviceReads);
    device.send(request(RRQ, "fw.tfp"), m_port);
    EXPECT_EQ(device.receive().data(), packet(DATA, 1, m_image.left(512)));
}

// Someone else on the network cannot slip data into the expected upload.
TEST_F(TftpExpectedFile, StrangerCannotWriteIntoTheExpectedFile)
{
    m_server.ExpectFile(QStringLiteral("LogFile.RD"), KtTFTPServer::DeviceWrites);
    UdpClient device;
    UdpClient stranger;
    device.send(request(WRQ, "LogFile.RD"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());
    stranger.send(packet(DATA, 1, "forged log\n"), sessionPort);
    EXPECT_EQ(stranger.receive().data(), errorPacket(5));
    device.send(packet(DATA, 1, "Jan  1 00:00:05\t[SYS]System started\n"), sessionPort);
    EXPECT_EQ(device.receive().data(), packet(ACK, 1));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));
    EXPECT_EQ(readFile(served(QStringLiteral("LogFile.RD"))),
              QByteArray("Jan  1 00:00:05\t[SYS]System started\n"));
}

// --- The receipt --------------------------------------------------------------------------
// A window parses the file the device sent only once this request's upload is in: a file of
// that name from an earlier run (or another device) is never shown as the answer.

// Sends content as the device would, from WRQ to the last ACK.
void upload(UdpClient &device, quint16 port, const QByteArray &name, const QByteArray &content)
{
    device.send(request(WRQ, name), port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    const auto sessionPort = static_cast<quint16>(ack0.senderPort());
    quint16 block = 1;
    for (qint64 at = 0;; at += 512, ++block) {
        device.send(packet(DATA, block, content.mid(at, 512)), sessionPort);
        ASSERT_EQ(device.receive().data(), packet(ACK, block));
        if (content.size() - at < 512)
            break;
    }
}

TEST_F(TftpExpectedFile, StaleOrUnfinishedFileIsNoReceipt)
{
    const QString log = served(QStringLiteral("LogFile.RD"));
    ASSERT_TRUE(writeFile(log, "a log of last month\n"));
    QList<QStringList> received;   // name and path of each fileReceived
    QObject::connect(&m_server, &KtTFTPServer::fileReceived,
                     [&received](const QString &name, const QString &path) {
                         received.append({name, path});
                     });
    m_server.ExpectFile(QStringLiteral("LogFile.RD"), KtTFTPServer::DeviceWrites);
    EXPECT_TRUE(m_server.receivedFile().isEmpty());

    // The device starts sending, then goes quiet: no receipt, and the old file stays.
    UdpClient device;
    device.send(request(WRQ, "LogFile.RD"), m_port);
    const QNetworkDatagram ack0 = device.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));
    device.send(packet(DATA, 1, patternBytes(512, 32)), static_cast<quint16>(ack0.senderPort()));
    ASSERT_EQ(device.receive().data(), packet(ACK, 1));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(-1113); }, 5000));
    EXPECT_TRUE(m_server.receivedFile().isEmpty());
    EXPECT_EQ(received.count(), 0);
    EXPECT_EQ(readFile(log), QByteArray("a log of last month\n"));

    // The whole log arrives: now it is the answer.
    const QByteArray content = patternBytes(1100, 33);
    UdpClient again;
    upload(again, m_port, "LogFile.RD", content);
    ASSERT_TRUE(waitFor([this] { return !m_server.receivedFile().isEmpty(); }, 3000));
    EXPECT_EQ(QFileInfo(m_server.receivedFile()).canonicalFilePath(),
              QFileInfo(log).canonicalFilePath());
    EXPECT_TRUE(sameBytes(content, readFile(m_server.receivedFile())));
    ASSERT_EQ(received.count(), 1);
    EXPECT_EQ(received.at(0), (QStringList{QStringLiteral("LogFile.RD"),
                                           m_server.receivedFile()}));

    // The next request begins without one.
    m_server.ExpectFile(QStringLiteral("LogFile.RD"), KtTFTPServer::DeviceWrites);
    EXPECT_TRUE(m_server.receivedFile().isEmpty());
}

// An upload already running when the window asks again answers the earlier request.
TEST_F(TftpExpectedFile, UploadBegunBeforeTheRequestIsNoReceipt)
{
    m_server.SetTimeout(300, 3);
    m_server.ExpectFile(QStringLiteral("SNTPFile.RD"), KtTFTPServer::DeviceWrites);
    UdpClient earlier;
    earlier.send(request(WRQ, "SNTPFile.RD"), m_port);
    const QNetworkDatagram ack0 = earlier.receive();
    ASSERT_EQ(ack0.data(), packet(ACK, 0));

    m_server.ExpectFile(QStringLiteral("SNTPFile.RD"), KtTFTPServer::DeviceWrites);
    earlier.send(packet(DATA, 1, "0\n1\n"), static_cast<quint16>(ack0.senderPort()));
    ASSERT_EQ(earlier.receive().data(), packet(ACK, 1));
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));
    EXPECT_TRUE(m_server.receivedFile().isEmpty());

    UdpClient current;
    upload(current, m_port, "SNTPFile.RD", "1\n0\n");
    ASSERT_TRUE(waitFor([this] { return !m_server.receivedFile().isEmpty(); }, 3000));
    EXPECT_EQ(readFile(m_server.receivedFile()), QByteArray("1\n0\n"));
}

} // namespace
