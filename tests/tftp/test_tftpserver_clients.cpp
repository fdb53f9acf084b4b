// Round trips between the server and the TFTP clients Debian ships (tftp-hpa, atftp, curl):
// every file the device could fetch or send, compared byte for byte.
#include "tftptestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace tftptest;

namespace {

enum class Direction { Get, Put };   // as the client sees it

struct Row
{
    const char *name;
    Client client;
    Direction direction;
    qint64 size;
};

constexpr qint64 Empty = 0;
constexpr qint64 BlockMultiple = 512 * 100;       // ends with an empty DATA block
constexpr qint64 ThreeMB = 3000000;
constexpr qint64 FortyMB = 40 * 1024 * 1024 + 123; // past 65535 blocks: the numbers wrap

QString program(Client client)
{
    switch (client) {
    case Client::TftpHpa: return QStringLiteral("tftp");
    case Client::Atftp: return QStringLiteral("atftp");
    case Client::Curl: return QStringLiteral("curl");
    }
    return {};
}

QStringList arguments(Client client, Direction direction, quint16 port, const QString &remote,
                      const QString &local)
{
    const QString host = QStringLiteral("127.0.0.1");
    const QString portText = QString::number(port);
    const QString url = QStringLiteral("tftp://127.0.0.1:%1/%2").arg(port).arg(remote);
    const bool get = direction == Direction::Get;
    switch (client) {
    case Client::TftpHpa:
        // tftp-hpa sends "netascii" unless told otherwise.
        return {QStringLiteral("-m"), QStringLiteral("binary"), host, portText,
                QStringLiteral("-c"), get ? QStringLiteral("get") : QStringLiteral("put"),
                get ? remote : local, get ? local : remote};
    case Client::Atftp:
        return {get ? QStringLiteral("-g") : QStringLiteral("-p"), QStringLiteral("-r"), remote,
                QStringLiteral("-l"), local, host, portText};
    case Client::Curl:
        return get ? QStringList{QStringLiteral("-sS"), QStringLiteral("-o"), local, url}
                   : QStringList{QStringLiteral("-sS"), QStringLiteral("-T"), local, url};
    }
    return {};
}

class TftpClients : public ServedFolder, public ::testing::WithParamInterface<Row>
{
};

TEST_P(TftpClients, FileArrivesUnchanged)
{
    const Row row = GetParam();
    const QByteArray content = patternBytes(row.size, static_cast<quint32>(row.size + 7));
    const QString remote = QStringLiteral("image.tfp");
    const QString local = QStringLiteral("local.bin");
    const bool get = row.direction == Direction::Get;
    const QString source = get ? m_served + QStringLiteral("/") + remote
                               : m_client + QStringLiteral("/") + local;
    const QString target = get ? m_client + QStringLiteral("/") + local
                               : m_served + QStringLiteral("/") + remote;
    ASSERT_TRUE(writeFile(source, content));

    const ClientRun run = runClient(program(row.client),
                                    arguments(row.client, row.direction, m_port, remote, local),
                                    m_client, 90000);
    ASSERT_TRUE(run.finished) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();

    // The client may be gone before the server has taken the last acknowledgement.
    ASSERT_TRUE(waitFor([this] { return m_reports.has(3); }, 10000))
        << run.output.toStdString();
    for (int code : m_reports.codes())
        EXPECT_GE(code, 0) << run.output.toStdString();
    EXPECT_TRUE(sameBytes(content, readFile(target)));

    const KtTFTPMsg &last = m_reports.all.back();
    EXPECT_EQ(last.code, 3);
    EXPECT_EQ(last.text, QStringLiteral("(KtTFTP) Success to transfer file."));
    EXPECT_EQ(last.op, get ? 1 : 2);
    EXPECT_EQ(last.fileName, remote);
    EXPECT_EQ(last.clientIP, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(last.totalBytes, row.size);
    EXPECT_EQ(last.sessionNo, 0);

    // The finished session is removed by the timer.
    EXPECT_TRUE(waitFor([this] { return m_server.sessions().isEmpty(); }, 5000));
}

const Row kRows[] = {
    {"TftpHpaGetEmpty", Client::TftpHpa, Direction::Get, Empty},
    {"TftpHpaPutEmpty", Client::TftpHpa, Direction::Put, Empty},
    {"TftpHpaGetBlockMultiple", Client::TftpHpa, Direction::Get, BlockMultiple},
    {"TftpHpaPutBlockMultiple", Client::TftpHpa, Direction::Put, BlockMultiple},
    {"TftpHpaGet3MB", Client::TftpHpa, Direction::Get, ThreeMB},
    {"TftpHpaPut3MB", Client::TftpHpa, Direction::Put, ThreeMB},
    {"TftpHpaGet40MB", Client::TftpHpa, Direction::Get, FortyMB},
    {"TftpHpaPut40MB", Client::TftpHpa, Direction::Put, FortyMB},
    {"CurlGetEmpty", Client::Curl, Direction::Get, Empty},
    {"CurlPutEmpty", Client::Curl, Direction::Put, Empty},
    {"CurlGetBlockMultiple", Client::Curl, Direction::Get, BlockMultiple},
    {"CurlPutBlockMultiple", Client::Curl, Direction::Put, BlockMultiple},
    {"CurlGet3MB", Client::Curl, Direction::Get, ThreeMB},
    {"CurlPut3MB", Client::Curl, Direction::Put, ThreeMB},
    {"CurlGet40MB", Client::Curl, Direction::Get, FortyMB},
    {"CurlPut40MB", Client::Curl, Direction::Put, FortyMB},
    {"AtftpGetEmpty", Client::Atftp, Direction::Get, Empty},
    {"AtftpPutEmpty", Client::Atftp, Direction::Put, Empty},
    {"AtftpGetBlockMultiple", Client::Atftp, Direction::Get, BlockMultiple},
    {"AtftpPutBlockMultiple", Client::Atftp, Direction::Put, BlockMultiple},
    {"AtftpGet3MB", Client::Atftp, Direction::Get, ThreeMB},
    {"AtftpPut3MB", Client::Atftp, Direction::Put, ThreeMB},
};

INSTANTIATE_TEST_SUITE_P(Sizes, TftpClients, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row> &rowInfo) {
                             return std::string(rowInfo.param.name);
                         });

// Names reaching outside the served folder are refused both ways, whatever the client.
class TftpClientTraversal : public ServedFolder
{
};

TEST_F(TftpClientTraversal, ReadOutsideTheFolderIsRefused)
{
    const QByteArray secret = "not for the device\n";
    ASSERT_TRUE(writeFile(m_top.filePath(QStringLiteral("secret.txt")), secret));
    const ClientRun run = runClient(
        program(Client::TftpHpa),
        arguments(Client::TftpHpa, Direction::Get, m_port, QStringLiteral("../secret.txt"),
                  QStringLiteral("got.txt")),
        m_client, 30000);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.output.contains(QStringLiteral("Error code 1"))) << run.output.toStdString();
    EXPECT_TRUE(readFile(m_client + QStringLiteral("/got.txt")).isEmpty());
    EXPECT_TRUE(waitFor([this] { return m_reports.has(-1102); }, 5000));
}

TEST_F(TftpClientTraversal, WriteOutsideTheFolderIsRefused)
{
    ASSERT_TRUE(writeFile(m_client + QStringLiteral("/evil.txt"), "overwrite\n"));
    const ClientRun run = runClient(
        program(Client::TftpHpa),
        arguments(Client::TftpHpa, Direction::Put, m_port, QStringLiteral("../planted.txt"),
                  QStringLiteral("evil.txt")),
        m_client, 30000);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.output.contains(QStringLiteral("Error code 2"))) << run.output.toStdString();
    EXPECT_TRUE(waitFor([this] { return m_reports.has(-1103); }, 5000));
    EXPECT_FALSE(QFileInfo::exists(m_top.filePath(QStringLiteral("planted.txt"))));
    EXPECT_EQ(QDir(m_served).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

} // namespace
