// What the launch parameters can ask of the SNMP security settings, sent to the simulated access
// point: a combination the library speaks goes out as asked; any other is refused with the
// library's error and its catalogue text, in both modes, and nothing is sent. A protocol nobody
// chose is never used in place of one that is missing or unknown.
#include "ktlaunchparameters.h"
#include "ktnetsnmpchannel.h"
#include "ktsnmprequest.h"
#include "modulesupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5");

struct Row {
    const char *name;
    std::vector<const char *> parameters; // after "/I127.0.0.1"
    const char *file;                     // 127.0.0.1.cfg in the parameter folder, or null
    int code;                             // 0: sent and answered
    const char *text;                     // the catalogue text of the refusal
    const char *sent;                     // accepted rows: how the simulator logged the read
};

void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

const char *const kInvalidTarget = "(SNMPClass) Invalid Target!";
const char *const kModel = "(SNMPv3) Unsupported Security Model!";
const char *const kLevel = "(SNMPv3USM) Unsupported SecurityLevel!";
const char *const kAuth = "(SNMPv3USM) Unsupported AuthProtocol!";
const char *const kPriv = "(SNMPv3USM) Unsupported PrivProtocol!";

// The simulator's users: authpriv (MD5, DES), authsha (SHA, AES), sha256aes (SHA-256, AES),
// authnopriv (MD5), noauth;
// passwords authpass1 and privpass1. A wrong protocol would fail the user's authentication.
const Row kRows[] = {
    // Communities: the SNMPv3 fields play no part, whatever they hold.
    {"V1", {"/v0"}, nullptr, 0, "", "v1 get"},
    {"V2c", {"/v1"}, nullptr, 0, "", "v2c get"},
    {"V2cIgnoresSnmpV3FieldsOfTheFile", {"/Rvarnok"},
     "Version=1\nSecurityModel=9\nSecurityLevel=7\nAuthProtocol=8\nPrivProtocol=9\n", 0, "",
     "v2c get"},
    {"V1IgnoresAnUnknownModel", {"/v3", "/m7", "/l9", "/v0"}, nullptr, 0, "", "v1 get"},
    // SNMPv3 as the library speaks it.
    {"NoAuthNoPriv", {"/v3", "/m3", "/nnoauth"}, nullptr, 0, "", "v3 get"},
    {"NoAuthNoPrivIgnoresUnusedProtocols", {"/v3", "/m3", "/nnoauth", "/l1", "/a9", "/p9"},
     nullptr, 0, "", "v3 get"},
    {"AuthNoPrivMd5", {"/v3", "/m3", "/nauthnopriv", "/l2", "/a1", "/Aauthpass1"}, nullptr, 0,
     "", "v3 get"},
    {"AuthNoPrivShaIgnoresAnUnusedPrivacyProtocol",
     {"/v3", "/m3", "/nauthsha", "/l2", "/a2", "/p9", "/Aauthpass1"}, nullptr, 0, "", "v3 get"},
    {"AuthPrivMd5Des",
     {"/v3", "/m3", "/nauthpriv", "/l3", "/a1", "/p1", "/Aauthpass1", "/Pprivpass1"}, nullptr, 0,
     "", "v3 get"},
    {"AuthPrivShaAes",
     {"/v3", "/m3", "/nauthsha", "/l3", "/a2", "/p2", "/Aauthpass1", "/Pprivpass1"}, nullptr, 0,
     "", "v3 get"},
    {"AuthPrivSha256Aes",
     {"/v3", "/m3", "/nsha256aes", "/l3", "/a4", "/p2", "/Aauthpass1", "/Pprivpass1"}, nullptr,
     0, "", "v3 get"},
    {"AuthPrivFromTheFile", {"/Rvarnok"},
     "Version=3\nSecurityModel=3\nSecurityLevel=2\nSecurityName=authpriv\nAuthProtocol=1\n"
     "PrivProtocol=1\nAuthPassword=authpass1\nPrivPassword=privpass1\n",
     0, "", "v3 get"},
    // Versions the library does not speak.
    {"Version2", {"/v2"}, nullptr, -412, kInvalidTarget, nullptr},
    {"Version4", {"/v4"}, nullptr, -412, kInvalidTarget, nullptr},
    {"Version255", {"/v255"}, nullptr, -412, kInvalidTarget, nullptr},
    {"Version2FromTheFile", {"/Rvarnok"}, "Version=2\nSecurityModel=3\n", -412, kInvalidTarget,
     nullptr},
    // SNMPv3 with another security model than USM, the default model (1) included.
    {"ModelLeftAtItsDefault", {"/v3", "/nnoauth"}, nullptr, -201, kModel, nullptr},
    {"ModelV1", {"/v3", "/m1", "/nnoauth"}, nullptr, -201, kModel, nullptr},
    {"ModelV2", {"/v3", "/m2", "/nnoauth"}, nullptr, -201, kModel, nullptr},
    {"ModelZero", {"/v3", "/m0", "/nnoauth"}, nullptr, -201, kModel, nullptr},
    {"ModelV2FromTheFile", {"/Rvarnok"}, "Version=3\nSecurityModel=2\nSecurityName=noauth\n", -201,
     kModel, nullptr},
    // Levels outside 1..3.
    {"LevelZero", {"/v3", "/m3", "/nnoauth", "/l0"}, nullptr, -303, kLevel, nullptr},
    {"LevelFour", {"/v3", "/m3", "/nnoauth", "/l4"}, nullptr, -303, kLevel, nullptr},
    {"LevelNegative", {"/v3", "/m3", "/nnoauth", "/l-1"}, nullptr, -303, kLevel, nullptr},
    {"LevelFourFromTheFile", {"/Rvarnok"},
     "Version=3\nSecurityModel=3\nSecurityLevel=3\nSecurityName=authpriv\nAuthProtocol=1\n"
     "PrivProtocol=1\nAuthPassword=authpass1\nPrivPassword=privpass1\n",
     -303, kLevel, nullptr},
    // Authentication asked for without its protocol: once sent as HMAC-MD5 unasked.
    {"AuthNoPrivWithoutAuthProtocol", {"/v3", "/m3", "/nauthnopriv", "/l2", "/Aauthpass1"},
     nullptr, -303, kLevel, nullptr},
    {"AuthNoPrivWithAuthProtocolNone", {"/v3", "/m3", "/nauthnopriv", "/l2", "/a0"}, nullptr,
     -303, kLevel, nullptr},
    {"AuthNoPrivFromTheFileWithoutAuthProtocol", {"/Rvarnok"},
     "Version=3\nSecurityModel=3\nSecurityLevel=1\nSecurityName=authnopriv\n"
     "AuthPassword=authpass1\n",
     -303, kLevel, nullptr},
    {"AuthPrivWithoutAuthProtocol", {"/v3", "/m3", "/nauthpriv", "/l3", "/p1"}, nullptr, -303,
     kLevel, nullptr},
    // Privacy asked for without its protocol: once sent as DES unasked.
    {"AuthPrivWithoutPrivProtocol", {"/v3", "/m3", "/nauthpriv", "/l3", "/a1"}, nullptr, -303,
     kLevel, nullptr},
    {"AuthPrivWithPrivProtocolNone", {"/v3", "/m3", "/nauthpriv", "/l3", "/a1", "/p0"}, nullptr,
     -303, kLevel, nullptr},
    // Protocol numbers the library does not know.
    {"AuthProtocol7", {"/v3", "/m3", "/nauthnopriv", "/l2", "/a7"}, nullptr, -312, kAuth,
     nullptr},
    {"AuthProtocolNegative", {"/v3", "/m3", "/nauthnopriv", "/l2", "/a-1"}, nullptr, -312, kAuth,
     nullptr},
    {"AuthProtocol7FromTheFile", {"/Rvarnok"},
     "Version=3\nSecurityModel=3\nSecurityLevel=1\nSecurityName=authnopriv\nAuthProtocol=7\n",
     -312, kAuth, nullptr},
    {"PrivProtocol3", {"/v3", "/m3", "/nauthpriv", "/l3", "/a1", "/p3"}, nullptr, -313, kPriv,
     nullptr},
    {"PrivProtocolNegative", {"/v3", "/m3", "/nauthpriv", "/l3", "/a1", "/p-5"}, nullptr, -313,
     kPriv, nullptr},
    // Privacy is looked at before authentication.
    {"BothProtocolsUnknown", {"/v3", "/m3", "/nauthpriv", "/l3", "/a8", "/p5"}, nullptr, -313,
     kPriv, nullptr},
};

class LaunchSecuritySends : public ::testing::TestWithParam<Row>
{
protected:
    // One simulator for every row: the accepted rows only read, the refused ones reach it not.
    static void SetUpTestSuite() { s_sim = new ApSim; }
    static void TearDownTestSuite()
    {
        delete s_sim;
        s_sim = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (!s_sim->isRunning()) {
            ASSERT_TRUE(s_sim->start()) << s_sim->error().toStdString();
        }
        s_sim->clearLog();
    }

    // The records as start-up leaves them after the launch parameters of the row, aimed at
    // the simulator's port.
    void applyParameters(const Row &row)
    {
        KtLaunchRecords records;
        records.device = {QStringLiteral("127.0.0.1"), 161};
        records.security.readCommunity = QStringLiteral("varnok");
        records.security.writeCommunity = QStringLiteral("tesmira");
        records.security.securityModel = 1;
        records.security.securityLevel = 1;
        records.security.authProtocol = 1;
        records.security.privProtocol = 1;
        const QString folder = m_dir.path() + QLatin1Char('/');
        if (row.file)
            writeFile(folder + QStringLiteral("127.0.0.1.cfg"),
                      QByteArray("[Program Information]\nAgentPort=161\n") + row.file);
        QStringList parameters{QStringLiteral("/I127.0.0.1")};
        for (const char *parameter : row.parameters)
            parameters << QString::fromLatin1(parameter);
        KtLaunchParameters::Apply(parameters, folder, records);
        records.device.port = s_sim->port();
        records.toSession();
    }

    static KtSNMPVarList nameList()
    {
        const KtSNMPVarItem table[] = {varItem(kSysName, SYN_DISPLAYSTR, ACC_READWRITE), {}};
        return KtSNMPVarList(table, SVT_SV, 0);
    }

    static ApSim *s_sim;
    QTemporaryDir m_dir;
};

ApSim *LaunchSecuritySends::s_sim = nullptr;

TEST_P(LaunchSecuritySends, SentAsAskedOrRefusedWithTheLibraryError)
{
    const Row &row = GetParam();
    applyParameters(row);
    KtSNMPRequest request;
    request.list = nameList();
    QVector<KtSNMPError> reported;
    request.statusCallback = [&](const KtSNMPError &status) { reported.append(status); };
    const quint64 sentBefore = KtNetSnmp::packetsSent();

    // Synchronous.
    const bool ok = request.ReadSync(true);
    EXPECT_EQ(ok, row.code == 0);
    if (row.code == 0) {
        EXPECT_TRUE(reported.isEmpty()) << reported.value(0).text.toStdString();
        EXPECT_EQ(request.list.Item(0).value, QStringLiteral("ap-bldg2-3f"));
        const QStringList log = logOf(*s_sim, 1);
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log.first().startsWith(QString::fromLatin1(row.sent)))
            << log.first().toStdString();
        return;
    }
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported.at(0).code, row.code);
    EXPECT_EQ(reported.at(0).text, QString::fromLatin1(row.text));

    // Asynchronous: the same refusal reaches the status callback and the completion.
    KtSNMPError completed;
    bool done = false;
    request.ReadAsync(
        [&](void *, const KtSNMPError &status, KtSNMPVarList &) {
            completed = status;
            done = true;
        },
        nullptr, true);
    ASSERT_TRUE(processUntil([&] { return done; }));
    EXPECT_EQ(completed.code, row.code);
    EXPECT_EQ(completed.text, QString::fromLatin1(row.text));
    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(reported.at(1).code, row.code);

    // A write is refused the same way, and none of it left this process.
    request.list.Item(0).value = QStringLiteral("must-not-arrive");
    EXPECT_FALSE(request.WriteSync());
    ASSERT_EQ(reported.size(), 3);
    EXPECT_EQ(reported.at(2).code, row.code);
    EXPECT_EQ(KtNetSnmp::packetsSent(), sentBefore);
    EXPECT_EQ(s_sim->command(QStringLiteral("get sysName")),
              QStringLiteral("ok displaystr \"ap-bldg2-3f\""));
}

INSTANTIATE_TEST_SUITE_P(Rows, LaunchSecuritySends, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row> &row) {
                             return std::string(row.param.name);
                         });

} // namespace
