// File names as the device sends them, through real clients: one byte per character whatever
// the bytes, never renamed, never two names for one file; a name the folder cannot hold is
// refused at the write request, before any data is taken.
#include "tftptestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

using namespace tftptest;

namespace {

class TftpNames : public ServedFolder, public ::testing::WithParamInterface<Client>
{
protected:
    // Sends local content under the remote name; the run of the client.
    ClientRun put(const QByteArray &remote, const QByteArray &content)
    {
        const QString local = QStringLiteral("upload.bin");
        EXPECT_TRUE(writeFile(m_client + QStringLiteral("/") + local, content));
        return runTransfer(GetParam(), true, m_port, remote, local, m_client);
    }

    // The client heard the refusal (tftp-hpa says so but ends with status 0).
    static bool refused(const ClientRun &run)
    {
        return run.exitCode != 0 || run.output.contains(QStringLiteral("Error code"));
    }
};

// "café" leaves the module as the bytes 63 61 66 E9, which are not UTF-8. They used to be
// read as UTF-8, so "café.cfg" and "cafè.cfg" both became "caf\uFFFD.cfg": the second upload
// replaced the first, under a name nobody had chosen.
TEST_P(TftpNames, EveryByteIsTheCharacterOfItsCode)
{
    struct Upload
    {
        QByteArray wire;
        QString file;
        QByteArray content;
    };
    const Upload uploads[] = {
        {QByteArray("caf\xE9.cfg"), QStringLiteral("caf\u00E9.cfg"), patternBytes(1500, 1)},
        {QByteArray("caf\xE8.cfg"), QStringLiteral("caf\u00E8.cfg"), patternBytes(700, 2)},
        // The UTF-8 spelling of "café" is another name: "cafÃ©".
        {QByteArray("caf\xC3\xA9.cfg"), QStringLiteral("caf\u00C3\u00A9.cfg"),
         patternBytes(100, 3)},
        {QByteArray("\xA0\xFF \x7F.RD"), QStringLiteral("\u00A0\u00FF \u007F.RD"),
         patternBytes(512, 4)},
    };
    int session = 0;
    for (const Upload &upload : uploads) {
        SCOPED_TRACE(upload.wire.toHex().toStdString());
        const ClientRun run = put(upload.wire, upload.content);
        ASSERT_TRUE(run.finished) << run.output.toStdString();
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        ASSERT_EQ(outcome(session), 3);
        EXPECT_EQ(m_reports.all.back().fileName, upload.file);
        ++session;
    }
    for (const Upload &upload : uploads)
        EXPECT_TRUE(sameBytes(upload.content, readFile(m_served + u'/' + upload.file)))
            << upload.file.toStdString();
    EXPECT_EQ(servedEntries().size(), 4) << servedEntries().join(u' ').toStdString();

    // And back: the device fetches each by the bytes it was given.
    const QString local = QStringLiteral("fetched.bin");
    const ClientRun run = runTransfer(GetParam(), false, m_port, uploads[0].wire, local,
                                      m_client);
    ASSERT_TRUE(run.finished) << run.output.toStdString();
    EXPECT_TRUE(sameBytes(uploads[0].content, readFile(m_client + u'/' + local)));
}

// The longest name a Linux folder holds is 255 bytes as stored; "é" takes two there.
TEST_P(TftpNames, NameTooLongForTheFolderIsRefusedBeforeAnyData)
{
    const QByteArray longest(255, 'n');
    const ClientRun fits = put(longest, patternBytes(2000, 5));
    ASSERT_TRUE(fits.finished) << fits.output.toStdString();
    EXPECT_EQ(outcome(0), 3);
    EXPECT_EQ(QFileInfo(m_served + u'/' + QString::fromLatin1(longest)).size(), 2000);

    // 128 bytes on the way, 256 on the disk.
    QList<QByteArray> tooLong{QByteArray(128, '\xE9')};
    // atftp cuts a longer name to 255 bytes itself before sending it.
    if (GetParam() != Client::Atftp)
        tooLong << QByteArray(256, 'n') << QByteArray(300, 'x') + ".cfg";
    int session = 1;
    for (const QByteArray &name : std::as_const(tooLong)) {
        SCOPED_TRACE(name.size());
        const ClientRun run = put(name, patternBytes(3000, 6));
        ASSERT_TRUE(run.finished) << run.output.toStdString();
        EXPECT_TRUE(refused(run)) << run.output.toStdString();
        // Refused at the request: no block taken, no "Disk full!" after the whole file.
        ASSERT_EQ(endedSession(session), (std::vector<int>{1, -1103}));
        EXPECT_EQ(m_reports.all.back().totalBytes, 0);
        ++session;
    }
    EXPECT_EQ(servedEntries(), QStringList{QString::fromLatin1(longest)});
}

// A folder gone since the window chose it takes no file.
TEST_P(TftpNames, FolderThatIsGoneIsRefusedAtTheRequest)
{
    ASSERT_TRUE(QDir(m_served).removeRecursively());
    const ClientRun run = put("saved.cfg", patternBytes(1200, 7));
    ASSERT_TRUE(run.finished) << run.output.toStdString();
    EXPECT_TRUE(refused(run)) << run.output.toStdString();
    EXPECT_EQ(endedSession(0), (std::vector<int>{1, -1103}));
}

INSTANTIATE_TEST_SUITE_P(Clients, TftpNames,
                         ::testing::Values(Client::Curl, Client::TftpHpa, Client::Atftp),
                         [](const ::testing::TestParamInfo<Client> &row) {
                             return std::string(clientName(row.param));
                         });

// What the module may not do in a folder, seen as an ordinary user would: run as root, the
// test takes nobody's rights for the exchange.
class OrdinaryUser
{
public:
    OrdinaryUser()
    {
        if (::geteuid() == 0)
            m_switched = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~OrdinaryUser()
    {
        if (m_switched) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    OrdinaryUser(const OrdinaryUser &) = delete;
    OrdinaryUser &operator=(const OrdinaryUser &) = delete;

    bool ok() const { return ::geteuid() != 0; }

private:
    bool m_switched = false;
};

class TftpFolderRights : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_top.isValid());
        m_served = m_top.filePath(QStringLiteral("served"));
        ASSERT_TRUE(QDir(m_top.path()).mkdir(QStringLiteral("served")));
        const auto readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                  | QFileDevice::ReadOther | QFileDevice::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(m_top.path(), readAndEnter | QFileDevice::WriteOwner));
        ASSERT_TRUE(writeFile(m_served + QStringLiteral("/other.cfg"), "kept\n"));
        ASSERT_TRUE(writeFile(m_served + QStringLiteral("/saved.cfg"), "last week\n"));
        ASSERT_TRUE(QFile::setPermissions(m_served + QStringLiteral("/saved.cfg"),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ReadOther
                                              | QFileDevice::WriteOther));
        // Nobody may create files in the folder (root may, but the exchanges run as nobody).
        ASSERT_TRUE(QFile::setPermissions(m_served, readAndEnter));
        m_port = freeUdpPort();
        m_server.SetOnMessage(m_reports.handler());
        m_server.SetTimeout(300, 3);
        m_server.Listen(m_served, m_port);
    }
    void TearDown() override
    {
        QFile::setPermissions(m_served, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                            | QFileDevice::ExeOwner);
    }

    QTemporaryDir m_top;
    QString m_served;
    quint16 m_port = 0;
    Reports m_reports;
    KtTFTPServer m_server;
};

TEST_F(TftpFolderRights, NewNameInAFolderWithoutWriteRightIsRefusedAtTheRequest)
{
    {
        OrdinaryUser user;
        ASSERT_TRUE(user.ok());
        UdpClient device;
        device.send(request(WRQ, "new.cfg"), m_port);
        EXPECT_EQ(device.receive().data(), errorPacket(2));
        EXPECT_TRUE(waitFor([this] { return m_reports.has(-1103); }, 3000));
    }
    EXPECT_EQ(QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden,
                                       QDir::Name),
              (QStringList{QStringLiteral("other.cfg"), QStringLiteral("saved.cfg")}));
}

// A file of that name the user may write is still written, in place, as before.
TEST_F(TftpFolderRights, WritableFileInSuchAFolderIsWrittenInPlace)
{
    const QByteArray content = patternBytes(700, 9);
    {
        OrdinaryUser user;
        ASSERT_TRUE(user.ok());
        UdpClient device;
        device.send(request(WRQ, "saved.cfg"), m_port);
        const QNetworkDatagram ack0 = device.receive();
        ASSERT_EQ(ack0.data(), packet(ACK, 0));
        const auto sessionPort = static_cast<quint16>(ack0.senderPort());
        device.send(packet(DATA, 1, content.left(512)), sessionPort);
        ASSERT_EQ(device.receive().data(), packet(ACK, 1));
        device.send(packet(DATA, 2, content.mid(512)), sessionPort);
        ASSERT_EQ(device.receive().data(), packet(ACK, 2));
        EXPECT_TRUE(waitFor([this] { return m_reports.has(3); }, 3000));
    }
    EXPECT_TRUE(sameBytes(content, readFile(m_served + QStringLiteral("/saved.cfg"))));
}

// Names the module can give the device, and ones it cannot.
TEST(TftpServableNames, OneByteCharactersOfABareName)
{
    EXPECT_TRUE(KtTFTPServer::isServableName(QStringLiteral("LogFile.RD")));
    EXPECT_TRUE(KtTFTPServer::isServableName(QStringLiteral("caf\u00E9 v2.tfp")));
    EXPECT_TRUE(KtTFTPServer::isServableName(QStringLiteral("\u00FF")));
    EXPECT_FALSE(KtTFTPServer::isServableName(QString()));
    EXPECT_FALSE(KtTFTPServer::isServableName(QStringLiteral("..")));
    EXPECT_FALSE(KtTFTPServer::isServableName(QStringLiteral("dir/file.cfg")));
    EXPECT_FALSE(KtTFTPServer::isServableName(QStringLiteral("dir\\file.cfg")));
    EXPECT_FALSE(KtTFTPServer::isServableName(QStringLiteral("\u20AC.cfg")));   // the euro
    EXPECT_FALSE(KtTFTPServer::isServableName(QStringLiteral("\u0444.cfg")));
}

} // namespace
