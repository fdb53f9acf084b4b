// An SNMPv3 getbulk whose manager takes only small messages: net-snmp's agent library spins
// for ever on an answer that does not fit (and answers nothing more). The simulator gives such
// a request fewer repetitions before the library sees it, answers, and keeps answering.
#include "apsim.h"
#include "snmptools.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {

struct BulkAnswer {
    int status = -1;     // STAT_SUCCESS, STAT_TIMEOUT, ...
    long errorStatus = -1;
    int bindings = 0;
};

// One getbulk from an SNMPv3 user, advertising msgMaxSize as the largest message it takes.
BulkAnswer bulk(quint16 port, const char *user, int level, long msgMaxSize, long repetitions,
                const char *start)
{
    netsnmp_session in;
    snmp_sess_init(&in);
    QByteArray peer = "udp:127.0.0.1:" + QByteArray::number(port);
    in.peername = peer.data();
    in.version = SNMP_VERSION_3;
    QByteArray name(user);
    in.securityName = name.data();
    in.securityNameLen = size_t(name.size());
    in.securityModel = SNMP_SEC_MODEL_USM;
    in.securityLevel = level;
    in.timeout = 2000000;
    in.retries = 0;
    static oid md5[] = {1, 3, 6, 1, 6, 3, 10, 1, 1, 2};
    static oid des[] = {1, 3, 6, 1, 6, 3, 10, 1, 2, 2};
    if (level != SNMP_SEC_LEVEL_NOAUTH) {
        in.securityAuthProto = md5;
        in.securityAuthProtoLen = OID_LENGTH(md5);
        in.securityAuthKeyLen = USM_AUTH_KU_LEN;
        const char *pass = "authpass1";
        generate_Ku(md5, OID_LENGTH(md5), reinterpret_cast<const u_char *>(pass), strlen(pass),
                    in.securityAuthKey, &in.securityAuthKeyLen);
    }
    if (level == SNMP_SEC_LEVEL_AUTHPRIV) {
        in.securityPrivProto = des;
        in.securityPrivProtoLen = OID_LENGTH(des);
        in.securityPrivKeyLen = USM_PRIV_KU_LEN;
        const char *pass = "privpass1";
        generate_Ku(md5, OID_LENGTH(md5), reinterpret_cast<const u_char *>(pass), strlen(pass),
                    in.securityPrivKey, &in.securityPrivKeyLen);
    }
    BulkAnswer answer;
    void *handle = snmp_sess_open(&in);
    if (!handle)
        return answer;
    // The msgMaxSize of the request's header: the largest answer this manager takes.
    snmp_sess_session(handle)->rcvMsgMaxSize = msgMaxSize;
    netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_GETBULK);
    pdu->non_repeaters = 0;
    pdu->max_repetitions = repetitions;
    oid name_[MAX_OID_LEN];
    size_t length = MAX_OID_LEN;
    read_objid(start, name_, &length);
    snmp_add_null_var(pdu, name_, length);
    netsnmp_pdu *response = nullptr;
    answer.status = snmp_sess_synch_response(handle, pdu, &response);
    if (response) {
        answer.errorStatus = response->errstat;
        for (netsnmp_variable_list *vb = response->variables; vb; vb = vb->next_variable)
            ++answer.bindings;
        snmp_free_pdu(response);
    }
    snmp_sess_close(handle);
    return answer;
}

class ApSimBulkMessageSize : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The library reads no configuration and keeps its state in a folder of its own.
        static QTemporaryDir state;
        qputenv("SNMPCONFPATH", QFile::encodeName(state.path()));
        qputenv("SNMP_PERSISTENT_DIR", QFile::encodeName(state.path()));
        qputenv("MIBS", "");
        qputenv("MIBDIRS", QFile::encodeName(state.path()));
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        init_snmp("apsim-bulk-test");
    }

    void SetUp() override { ASSERT_TRUE(m_sim.start()) << qPrintable(m_sim.error()); }

    bool stillAnswers()
    {
        const QStringList where{target(m_sim.port()), QStringLiteral("1.3.6.1.2.1.1.5.0")};
        const SnmpResult r = runSnmpTool(QStringLiteral("snmpget"), v2c() + quick() + where);
        return r.ok();
    }

    ApSim m_sim;
};

TEST_F(ApSimBulkMessageSize, SmallestMessageSizeGetsAFittingAnswerAndTheDeviceGoesOn)
{
    const struct {
        const char *user;
        int level;
        const char *start;
    } rows[] = {
        {"noauth", SNMP_SEC_LEVEL_NOAUTH, ".1.3.6.1.2.1.1"},
        {"noauth", SNMP_SEC_LEVEL_NOAUTH, ".1.3.6.1.4.1.32473.11.37.4.4.5"}, // client table
        {"authpriv", SNMP_SEC_LEVEL_AUTHPRIV, ".1.3.6.1.4.1.32473.11.37.4.4"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.user) + " " + row.start);
        // 484 is the smallest msgMaxSize a manager may advertise.
        const BulkAnswer answer = bulk(m_sim.port(), row.user, row.level, 484, 100, row.start);
        EXPECT_EQ(answer.status, STAT_SUCCESS);
        EXPECT_EQ(answer.errorStatus, SNMP_ERR_NOERROR);
        EXPECT_GE(answer.bindings, 1);
        EXPECT_LT(answer.bindings, 100);
        ASSERT_TRUE(stillAnswers());
    }
    // With room enough the repetitions asked for are all answered.
    const BulkAnswer roomy =
        bulk(m_sim.port(), "noauth", SNMP_SEC_LEVEL_NOAUTH, 65507, 20, ".1.3.6.1.4.1.32473.11.37");
    EXPECT_EQ(roomy.status, STAT_SUCCESS);
    EXPECT_EQ(roomy.bindings, 20);
}

} // namespace
