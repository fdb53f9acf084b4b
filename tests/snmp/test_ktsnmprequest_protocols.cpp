// SNMPv3 authentication and privacy protocols against the simulated access point and against
// net-snmp's own agent: every pair reads and writes; wrong passwords, unknown users, protocols
// the user does not have and levels it cannot give map to their catalogue texts; protocol
// numbers beyond the highest are refused before anything is sent.
#include "ktnetsnmpchannel.h"
#include "ktsnmprequest.h"
#include "modulesupport.h"
#include "snmpdagent.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

// The records' protocol numbers and the agents' names for them.
const std::pair<int, const char *> kAuth[] = {{2, "MD5"},     {3, "SHA"},     {4, "SHA-224"},
                                              {5, "SHA-256"}, {6, "SHA-384"}, {7, "SHA-512"}};
const std::pair<int, const char *> kPriv[] = {{1, "none"}, {2, "DES"}, {3, "AES"}};

QString userName(int auth, int priv) { return QStringLiteral("a%1p%2").arg(auth).arg(priv); }

const QString kLocation = QStringLiteral("1.3.6.1.2.1.1.6");

// One agent of each kind, each with a user for every pair.
class Protocols : public ::testing::TestWithParam<bool>
{
protected:
    static void SetUpTestSuite()
    {
        QStringList simArgs, snmpd;
        for (const auto &[auth, hash] : kAuth) {
            for (const auto &[priv, cipher] : kPriv) {
                const QString name = userName(auth, priv);
                simArgs << QStringLiteral("--user")
                        << QStringLiteral("%1:%2:authpass1:%3:privpass1").arg(name, hash, cipher);
                snmpd << QStringLiteral("createUser %1 %2 authpass1%3")
                             .arg(name, hash,
                                  priv == 1 ? QString()
                                            : QStringLiteral(" %1 privpass1").arg(cipher))
                      << QStringLiteral("rwuser %1 %2").arg(name, priv == 1 ? "auth" : "priv");
            }
        }
        s_sim = new ApSim(simArgs);
        s_agent = new SnmpdAgent(snmpd);
        s_started = s_sim->start() && s_agent->start();
    }
    static void TearDownTestSuite()
    {
        delete s_sim;
        delete s_agent;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_started) << s_sim->error().toStdString() << s_agent->error().toStdString();
    }

    void aimAt(KtSNMPRequest &request, int auth, int priv)
    {
        if (GetParam())
            aim(request, s_agent->address(), s_agent->port(), 3, userName(auth, priv));
        else
            aim(request, *s_sim, 3);
        request.securityName = userName(auth, priv);
        request.securityLevel = priv == 1 ? 2 : 3;
        request.authProtocol = auth;
        request.privProtocol = priv;
        request.retries = 0;
        request.timeout = 500;
    }

    static inline ApSim *s_sim = nullptr;
    static inline SnmpdAgent *s_agent = nullptr;
    static inline bool s_started = false;
};

TEST_P(Protocols, EveryPairReadsAndWrites)
{
    for (const auto &[auth, hash] : kAuth) {
        for (const auto &[priv, cipher] : kPriv) {
            const std::string pair = std::string(hash) + "/" + cipher;
            KtSNMPRequest request;
            aimAt(request, auth, priv);
            const KtSNMPVarItem table[] = {
                varItem(kLocation, SYN_DISPLAYSTR, ACC_READWRITE), {}};
            request.list = KtSNMPVarList(table, SVT_SV, 0);
            QStringList errors;
            request.statusCallback = [&](const KtSNMPError &e) { errors << e.text; };
            const QString written = QStringLiteral("rack %1").arg(QString::fromStdString(pair));
            request.list.Item(0).value = written;
            EXPECT_TRUE(request.WriteSync()) << pair << errors.join(' ').toStdString();
            request.list.Item(0).value.clear();
            EXPECT_TRUE(request.ReadSync(true)) << pair << errors.join(' ').toStdString();
            EXPECT_EQ(request.list.Item(0).value, written) << pair;
        }
    }
}

TEST_P(Protocols, FailuresMapToTheirCatalogueTexts)
{
    struct Case {
        const char *name;
        std::function<void(KtSNMPRequest &)> change;
        int code;
        const char *text;
        bool sent;
    };
    const Case cases[] = {
        {"wrong authentication password",
         [](KtSNMPRequest &r) { r.authPassword = QStringLiteral("wrongpass"); }, -308,
         "(SNMPv3USM) Authentication failure!", true},
        {"another hash than the user's", [](KtSNMPRequest &r) { r.authProtocol = 7; }, -308,
         "(SNMPv3USM) Authentication failure!", true},
        // The agent cannot decrypt the request and drops it, as it does for DES.
        {"wrong privacy password",
         [](KtSNMPRequest &r) {
             r.privPassword = QStringLiteral("wrongpass");
             r.timeout = 100;
         },
         -405, "(SNMPClass) SNMP request timed out!", true},
        {"unknown user", [](KtSNMPRequest &r) { r.securityName = QStringLiteral("nobody"); },
         -304, "(SNMPv3USM) Unknown SecurityName!", true},
        {"privacy the user lacks", [](KtSNMPRequest &r) {
             r.securityName = userName(5, 1);
             r.privProtocol = 3;
             r.securityLevel = 3;
         }, -303, "(SNMPv3USM) Unsupported SecurityLevel!", true},
        {"authentication beyond SHA-512", [](KtSNMPRequest &r) { r.authProtocol = 8; }, -312,
         "(SNMPv3USM) Unsupported AuthProtocol!", false},
        {"privacy beyond AES-128", [](KtSNMPRequest &r) { r.privProtocol = 4; }, -313,
         "(SNMPv3USM) Unsupported PrivProtocol!", false},
    };
    for (const Case &c : cases) {
        KtSNMPRequest request;
        aimAt(request, 5, 3);
        c.change(request);
        const KtSNMPVarItem table[] = {varItem(kLocation, SYN_DISPLAYSTR, ACC_READONLY), {}};
        request.list = KtSNMPVarList(table, SVT_SV, 0);
        QVector<KtSNMPError> errors;
        request.statusCallback = [&](const KtSNMPError &e) { errors << e; };
        const quint64 before = KtNetSnmp::packetsSent();
        EXPECT_FALSE(request.ReadSync(true)) << c.name;
        ASSERT_EQ(errors.size(), 1) << c.name;
        EXPECT_EQ(errors.at(0).code, c.code) << c.name;
        EXPECT_EQ(errors.at(0).text, QString::fromLatin1(c.text)) << c.name;
        if (!c.sent) {
            EXPECT_EQ(KtNetSnmp::packetsSent(), before) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Agents, Protocols, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &param) {
                             return std::string(param.param ? "Snmpd" : "Simulator");
                         });

} // namespace
