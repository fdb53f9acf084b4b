// The global session: engine boot counter file and the records' defaults.
#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmpsession.h"
#include "testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Runs OpenSession and returns the code of the exception it raised (0 when none).
int openCode(const QString &directory, QString *text = nullptr)
{
    try {
        KtSNMPSession::OpenSession(directory);
    } catch (const KtException &e) {
        if (text)
            *text = e.text();
        return e.code();
    }
    return 0;
}

class SessionTest : public ::testing::Test
{
protected:
    void TearDown() override { KtSNMPSession::CloseSession(); }
    QTemporaryDir m_dir;
};

TEST_F(SessionTest, MissingCounterFileStartsAtOneAndCreatesIt)
{
    ASSERT_EQ(openCode(m_dir.path()), 0);
    EXPECT_TRUE(KtSNMPSession::IsOpen());
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 1);
    EXPECT_EQ(readAll(m_dir.filePath("KtSNMP_PP_BootCounter")),
              QStringLiteral("KtSNMP_PP_Application 1\n"));
}

TEST_F(SessionTest, SecondStartReadsTheCountAndStoresOneMore)
{
    ASSERT_EQ(openCode(m_dir.path()), 0);
    KtSNMPSession::CloseSession();
    ASSERT_EQ(openCode(m_dir.path() + QStringLiteral("/")), 0);
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 2);
    EXPECT_EQ(readAll(m_dir.filePath("KtSNMP_PP_BootCounter")),
              QStringLiteral("KtSNMP_PP_Application 2\n"));
}

TEST_F(SessionTest, OtherEngineIdentitiesInTheFileAreKept)
{
    writeFile(m_dir.filePath("KtSNMP_PP_BootCounter"),
             "OtherTool 7\nKtSNMP_PP_Application 41\n\n");
    ASSERT_EQ(openCode(m_dir.path()), 0);
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 42);
    EXPECT_EQ(readAll(m_dir.filePath("KtSNMP_PP_BootCounter")),
              QStringLiteral("OtherTool 7\nKtSNMP_PP_Application 42\n"));
}

// The greatest boot count stays where it is: a count that wrapped round to a negative number
// would be refused by every agent.
TEST_F(SessionTest, GreatestCountDoesNotWrapRound)
{
    writeFile(m_dir.filePath("KtSNMP_PP_BootCounter"), "KtSNMP_PP_Application 2147483646\n");
    ASSERT_EQ(openCode(m_dir.path()), 0);
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 2147483647);
    KtSNMPSession::CloseSession();

    ASSERT_EQ(openCode(m_dir.path()), 0);
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 2147483647);
    EXPECT_EQ(readAll(m_dir.filePath("KtSNMP_PP_BootCounter")),
              QStringLiteral("KtSNMP_PP_Application 2147483647\n"));
}

TEST_F(SessionTest, FileWithoutOurEntryStartsAtOne)
{
    writeFile(m_dir.filePath("KtSNMP_PP_BootCounter"), "OtherTool 7\n");
    ASSERT_EQ(openCode(m_dir.path()), 0);
    EXPECT_EQ(KtSNMPSession::EngineBoots(), 1);
}

// A damaged counter must not silently restart the engine at boot 1 (the device would then take
// our messages for replays until its window moves on).
TEST_F(SessionTest, UnreadableEntryFailsWithLoadError)
{
    writeFile(m_dir.filePath("KtSNMP_PP_BootCounter"), "KtSNMP_PP_Application many\n");
    QString text;
    EXPECT_EQ(openCode(m_dir.path(), &text), -507);
    EXPECT_EQ(text, KtMessages::text(KtMessages::Table::KtSnmp, 7));
    EXPECT_FALSE(KtSNMPSession::IsOpen());
}

TEST_F(SessionTest, UnwritableFolderFailsWithSaveErrorAndKeepsTheRecords)
{
    // A regular file used as the folder: nothing can be created below it, even by root.
    const QString notAFolder = m_dir.filePath("plainfile");
    writeFile(notAFolder, "x");
    KtSNMPSession::CloseSession();
    g_snmpDevice.address = QStringLiteral("before");
    g_snmpTimeout = 7;

    QString text;
    EXPECT_EQ(openCode(notAFolder, &text), -508);
    EXPECT_EQ(text, KtMessages::text(KtMessages::Table::KtSnmp, 8));
    EXPECT_FALSE(KtSNMPSession::IsOpen());
    EXPECT_EQ(g_snmpDevice.address, QStringLiteral("before"));
    EXPECT_EQ(g_snmpTimeout, 7);
}

TEST_F(SessionTest, OpenSetsTheRecordsToTheirDefaults)
{
    g_snmpDevice.address = QStringLiteral("10.1.1.1");
    g_snmpSecurity.version = 3;
    g_snmpScope.contextName = QStringLiteral("ctx");
    ASSERT_EQ(openCode(m_dir.path()), 0);
    EXPECT_EQ(g_snmpDevice.address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(g_snmpDevice.port, 161);
    EXPECT_TRUE(g_snmpScope.contextEngineID.isEmpty());
    EXPECT_TRUE(g_snmpScope.contextName.isEmpty());
    EXPECT_EQ(g_snmpSecurity.version, 0);
    EXPECT_EQ(g_snmpSecurity.readCommunity, QStringLiteral("varnok"));
    EXPECT_EQ(g_snmpSecurity.writeCommunity, QStringLiteral("tesmira"));
    EXPECT_EQ(g_snmpSecurity.securityModel, 1);
    EXPECT_EQ(g_snmpSecurity.securityLevel, 1);
    EXPECT_TRUE(g_snmpSecurity.securityName.isEmpty());
    EXPECT_EQ(g_snmpSecurity.authProtocol, 1);
    EXPECT_EQ(g_snmpSecurity.privProtocol, 1);
    EXPECT_EQ(g_snmpTimeout, 100);
}

} // namespace
