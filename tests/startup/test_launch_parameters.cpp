// The command line and the per-device parameter file, applied to the session records.
#include "ktlaunchparameters.h"
#include "testenv.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The records as start-up has them before the parameters: the session defaults, version 0.
KtLaunchRecords startRecords()
{
    KtLaunchRecords r;
    r.device = {QStringLiteral("127.0.0.1"), 161};
    r.security.version = 0;
    r.security.readCommunity = QStringLiteral("varnok");
    r.security.writeCommunity = QStringLiteral("tesmira");
    r.security.securityModel = 1;
    r.security.securityLevel = 1;
    r.security.authProtocol = 1;
    r.security.privProtocol = 1;
    return r;
}

// Every field in one line, so that a row also catches a switch that writes a wrong field.
std::string summary(const KtLaunchRecords &r)
{
    const KtSNMPSecurity &s = r.security;
    return QStringLiteral("addr=%1 text=%2 port=%3 v=%4 rc=%5 wc=%6 model=%7 level=%8 name=%9 "
                          "auth=%10 priv=%11 ap=%12 pp=%13 ctx=%14 eid=%15")
        .arg(r.device.address, r.addressText)
        .arg(r.device.port)
        .arg(s.version)
        .arg(s.readCommunity, s.writeCommunity)
        .arg(s.securityModel)
        .arg(s.securityLevel)
        .arg(s.securityName)
        .arg(s.authProtocol)
        .arg(s.privProtocol)
        .arg(s.authPassword, s.privPassword, r.scope.contextName, r.scope.contextEngineID)
        .toStdString();
}

const char *const kDefaults = "addr=127.0.0.1 text= port=161 v=0 rc=varnok wc=tesmira model=1 "
                              "level=1 name= auth=1 priv=1 ap= pp= ctx= eid=";

struct Row {
    const char *name;
    std::vector<const char *> parameters;
    // Parameter files in the parameter folder: file name, content.
    std::vector<std::pair<const char *, const char *>> files;
    const char *expected;
};

void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

class LaunchParameterRows : public ::testing::TestWithParam<Row>
{
};

TEST_P(LaunchParameterRows, GiveTheRecords)
{
    const Row &row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto &[name, content] : row.files)
        writeFile(dir.filePath(QString::fromLatin1(name)), content);
    QStringList parameters;
    for (const char *p : row.parameters)
        parameters.append(QString::fromLatin1(p));
    KtLaunchRecords records = startRecords();
    KtLaunchParameters::Apply(parameters, dir.path() + u'/', records);
    EXPECT_EQ(summary(records), row.expected);
}

const char *const kFullFile = "[Program Information]\n"
                              "AgentPort=1161\nVersion=3\nContextName=ctx\nContextEngineID=eid\n"
                              "SecurityModel=3\nSecurityLevel=2\nSecurityName=user\n"
                              "AuthProtocol=1\nPrivProtocol=1\nAuthPassword=authpw\n"
                              "PrivPassword=privpw\n";

const char *const kZeroFile = "[Program Information]\n"
                              "AgentPort=1162\nVersion=3\nSecurityModel=3\nSecurityLevel=0\n"
                              "AuthProtocol=0\nPrivProtocol=0\n";

INSTANTIATE_TEST_SUITE_P(
    Startup, LaunchParameterRows,
    ::testing::Values(
        Row{"no_parameters", {}, {}, kDefaults},
        Row{"address_community_version",
            {"/I10.1.1.5", "/Rabc", "/v1"},
            {},
            "addr=10.1.1.5 text=10.1.1.5 port=161 v=1 rc=abc wc=tesmira model=1 level=1 name= "
            "auth=1 priv=1 ap= pp= ctx= eid="},
        Row{"port_ignored_while_version_1",
            {"/v1", "/t1161"},
            {},
            "addr=127.0.0.1 text= port=161 v=1 rc=varnok wc=tesmira model=1 level=1 name= auth=1 "
            "priv=1 ap= pp= ctx= eid="},
        Row{"port_before_version_3_ignored",
            {"/t1161", "/v3"},
            {},
            "addr=127.0.0.1 text= port=161 v=3 rc=varnok wc=tesmira model=1 level=1 name= auth=1 "
            "priv=1 ap= pp= ctx= eid="},
        Row{"version_3_port_and_protocols_counted_from_0",
            {"/v3", "/t1161", "/a1", "/p1"},
            {},
            "addr=127.0.0.1 text= port=1161 v=3 rc=varnok wc=tesmira model=1 level=1 name= "
            "auth=2 priv=2 ap= pp= ctx= eid="},
        Row{"level_switch_passes_unchanged",
            {"/v3", "/l2"},
            {},
            "addr=127.0.0.1 text= port=161 v=3 rc=varnok wc=tesmira model=1 level=2 name= auth=1 "
            "priv=1 ap= pp= ctx= eid="},
        Row{"every_version_3_switch",
            {"/v3", "/m3", "/nuser", "/AauthPw", "/PprivPw", "/cctx", "/deid"},
            {},
            "addr=127.0.0.1 text= port=161 v=3 rc=varnok wc=tesmira model=3 level=1 name=user "
            "auth=1 priv=1 ap=authPw pp=privPw ctx=ctx eid=eid"},
        Row{"empty_context_name_switch_keeps_the_name_empty_engine_id_clears",
            {"/v3", "/cctx", "/c", "/deid", "/d"},
            {},
            "addr=127.0.0.1 text= port=161 v=3 rc=varnok wc=tesmira model=1 level=1 name= auth=1 "
            "priv=1 ap= pp= ctx=ctx eid="},
        Row{"read_switch_takes_the_rest_of_the_parameter",
            {"/Rx/Wy"},
            {},
            "addr=127.0.0.1 text= port=161 v=0 rc=x/Wy wc=tesmira model=1 level=1 name= auth=1 "
            "priv=1 ap= pp= ctx= eid="},
        Row{"switch_order_not_position_decides",
            {"/Wa/Rb"},
            {},
            "addr=127.0.0.1 text= port=161 v=0 rc=b wc=tesmira model=1 level=1 name= auth=1 "
            "priv=1 ap= pp= ctx= eid="},
        Row{"switch_found_inside_a_parameter",
            {"xx/Wsecret", "/v3", "--/t2000"},
            {},
            "addr=127.0.0.1 text= port=2000 v=3 rc=varnok wc=secret model=1 level=1 name= auth=1 "
            "priv=1 ap= pp= ctx= eid="},
        Row{"switches_are_case_sensitive",
            {"/r1", "/V3", "/i10.0.0.1"},
            {},
            kDefaults},
        Row{"address_parameter_is_not_examined_further",
            {"/I1.2.3.4/Rabc"},
            {},
            "addr=1.2.3.4/Rabc text=1.2.3.4/Rabc port=161 v=0 rc=varnok wc=tesmira model=1 "
            "level=1 name= auth=1 priv=1 ap= pp= ctx= eid="},
        Row{"file_read_with_the_second_parameter_then_switch",
            {"/I10.1.1.5", "/Rabc"},
            {{"10.1.1.5.cfg", kFullFile}},
            "addr=10.1.1.5 text=10.1.1.5 port=1161 v=3 rc=abc wc=tesmira model=3 level=3 "
            "name=user auth=2 priv=2 ap=authpw pp=privpw ctx=ctx eid=eid"},
        Row{"file_not_read_for_an_address_parameter_alone",
            {"/I10.1.1.5"},
            {{"10.1.1.5.cfg", kFullFile}},
            "addr=10.1.1.5 text=10.1.1.5 port=161 v=0 rc=varnok wc=tesmira model=1 level=1 name= "
            "auth=1 priv=1 ap= pp= ctx= eid="},
        Row{"zero_level_and_protocols_in_the_file_leave_them",
            {"/v3", "/l3", "/a2", "/p1", "/I10.1.1.6", "/Rabc"},
            {{"10.1.1.6.cfg", kZeroFile}},
            "addr=10.1.1.6 text=10.1.1.6 port=1162 v=3 rc=abc wc=tesmira model=3 level=3 name= "
            "auth=3 priv=2 ap= pp= ctx= eid="},
        Row{"next_parameter_reads_the_file_over_an_earlier_switch",
            {"/I10.1.1.5", "/t2000", "/Rabc"},
            {{"10.1.1.5.cfg", kFullFile}},
            "addr=10.1.1.5 text=10.1.1.5 port=1161 v=3 rc=abc wc=tesmira model=3 level=3 "
            "name=user auth=2 priv=2 ap=authpw pp=privpw ctx=ctx eid=eid"},
        Row{"switch_overrides_the_file_read_with_it",
            {"/I10.1.1.5", "/t2000"},
            {{"10.1.1.5.cfg", kFullFile}},
            "addr=10.1.1.5 text=10.1.1.5 port=2000 v=3 rc=varnok wc=tesmira model=3 level=3 "
            "name=user auth=2 priv=2 ap=authpw pp=privpw ctx=ctx eid=eid"},
        // The file said "3" before the version switch: the version-3 switches still pass.
        Row{"file_version_3_lets_switches_through_after_v1",
            {"/I10.1.1.5", "/Rabc", "/I9.9.9.9", "/v1", "/t2000"},
            {{"10.1.1.5.cfg", kFullFile}},
            "addr=9.9.9.9 text=9.9.9.9 port=2000 v=1 rc=abc wc=tesmira model=3 level=3 "
            "name=user auth=2 priv=2 ap=authpw pp=privpw ctx=ctx eid=eid"},
        Row{"address_last_looks_for_dot_cfg",
            {"/Rabc", "/I10.1.1.5"},
            {{".cfg", "[Program Information]\nAgentPort=1500\nVersion=1\nSecurityModel=2\n"},
             {"10.1.1.5.cfg", kFullFile}},
            "addr=10.1.1.5 text=10.1.1.5 port=1500 v=1 rc=abc wc=tesmira model=2 level=1 name= "
            "auth=1 priv=1 ap= pp= ctx= eid="},
        Row{"empty_file_values_keep_context_name_and_passwords_clear_the_rest",
            {"/v3", "/cctx", "/deid", "/nuser", "/Aa", "/Pp", "/I10.1.1.7", "/W1"},
            {{"10.1.1.7.cfg", "[Program Information]\nAgentPort=161\nVersion=3\n"
                              "SecurityModel=3\nContextName=\nContextEngineID= \n"}},
            "addr=10.1.1.7 text=10.1.1.7 port=161 v=3 rc=varnok wc=1 model=3 level=1 name= "
            "auth=1 priv=1 ap=a pp=p ctx=ctx eid="},
        Row{"file_values_are_trimmed_and_other_sections_ignored",
            {"/I10.1.1.8", "/Wx"},
            {{"10.1.1.8.cfg", "[Other]\nAgentPort=9\n[Program Information]\n"
                              "AgentPort =  1170 \nVersion= 3\nSecurityModel=3\n"
                              "SecurityName=  admin \n"}},
            "addr=10.1.1.8 text=10.1.1.8 port=1170 v=3 rc=varnok wc=x model=3 level=1 "
            "name=admin auth=1 priv=1 ap= pp= ctx= eid="}),
    [](const ::testing::TestParamInfo<Row> &row) { return std::string(row.param.name); });

struct ErrorRow {
    const char *name;
    std::vector<const char *> parameters;
    const char *file; // content of 10.1.1.5.cfg, or null
    const char *message;
};

void PrintTo(const ErrorRow &row, std::ostream *os) { *os << row.name; }

class LaunchParameterErrors : public ::testing::TestWithParam<ErrorRow>
{
};

TEST_P(LaunchParameterErrors, RaiseTheConversionError)
{
    const ErrorRow &row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (row.file)
        writeFile(dir.filePath(QStringLiteral("10.1.1.5.cfg")), row.file);
    QStringList parameters;
    for (const char *p : row.parameters)
        parameters.append(QString::fromLatin1(p));
    KtLaunchRecords records = startRecords();
    try {
        KtLaunchParameters::Apply(parameters, dir.path() + u'/', records);
        FAIL() << "no conversion error";
    } catch (const KtConvertError &e) {
        EXPECT_EQ(e.text(), QString::fromLatin1(row.message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, LaunchParameterErrors,
    ::testing::Values(
        ErrorRow{"version_letters", {"/vx"}, nullptr, "'x' is not a valid integer value"},
        ErrorRow{"version_empty", {"/v"}, nullptr, "'' is not a valid integer value"},
        ErrorRow{"port_letters", {"/v3", "/t16a"}, nullptr, "'16a' is not a valid integer value"},
        // A port that does not fit 16 bits must not wrap round to another port.
        ErrorRow{"port_too_big", {"/v3", "/t70000"}, nullptr,
                 "'70000' is not a valid integer value"},
        ErrorRow{"port_negative", {"/v3", "/t-1"}, nullptr, "'-1' is not a valid integer value"},
        ErrorRow{"version_too_big", {"/v259"}, nullptr, "'259' is not a valid integer value"},
        ErrorRow{"model", {"/v3", "/musm"}, nullptr, "'usm' is not a valid integer value"},
        ErrorRow{"level", {"/v3", "/l 2x"}, nullptr, "' 2x' is not a valid integer value"},
        ErrorRow{"auth_protocol", {"/v3", "/aMD5"}, nullptr, "'MD5' is not a valid integer value"},
        ErrorRow{"priv_protocol", {"/v3", "/p"}, nullptr, "'' is not a valid integer value"},
        ErrorRow{"file_without_agent_port", {"/I10.1.1.5", "/Rx"},
                 "[Program Information]\nVersion=1\nSecurityModel=1\n",
                 "'' is not a valid integer value"},
        ErrorRow{"file_without_security_model", {"/I10.1.1.5", "/Rx"},
                 "[Program Information]\nAgentPort=161\nVersion=1\n",
                 "'' is not a valid integer value"},
        ErrorRow{"file_level_text", {"/I10.1.1.5", "/Rx"},
                 "[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                 "SecurityLevel=authPriv\n",
                 "'authPriv' is not a valid integer value"},
        ErrorRow{"bulk_negative", {"/b-1"}, nullptr, "'-1' is not a valid integer value"},
        ErrorRow{"bulk_file_text", {"/I10.1.1.5", "/Rx"},
                 "[Program Information]\nAgentPort=161\nVersion=1\nSecurityModel=1\n"
                 "BulkRepetitions=all\n",
                 "'all' is not a valid integer value"}),
    [](const ::testing::TestParamInfo<ErrorRow> &row) { return std::string(row.param.name); });

// Bulk walks: the key and the switch, which a parameter holding any other switch never is, so
// that communities, contexts and passwords with "/b" in them keep their meaning.
TEST(LaunchParameters, BulkRepetitions)
{
    struct BulkRow {
        std::vector<const char *> parameters;
        const char *file; // content of 10.1.1.5.cfg, or null
        int bulk;
        const char *community;
    };
    const char *const file = "[Program Information]\nAgentPort=161\nVersion=1\n"
                             "SecurityModel=1\nBulkRepetitions=25\n";
    const BulkRow rows[] = {
        {{"/I10.1.1.5", "/v1"}, nullptr, 0, "varnok"},
        {{"/I10.1.1.5", "/b40"}, nullptr, 40, "varnok"},
        {{"/I10.1.1.5", "/v0", "/b40"}, nullptr, 40, "varnok"},
        {{"/I10.1.1.5", "/Rpub/b40"}, nullptr, 0, "pub/b40"},
        {{"/I10.1.1.5", "/c/b40"}, nullptr, 0, "varnok"}, // an SNMPv3 switch while v1
        {{"/I10.1.1.5", "/Rx"}, file, 25, "x"},
        {{"/I10.1.1.5", "/b40", "/Rx"}, file, 25, "x"}, // the next file read wins
        {{"/I10.1.1.5", "/Rx", "/b0"}, file, 0, "x"},
        {{"/I10.1.1.5", "/b40", "/Rx"},
         "[Program Information]\nAgentPort=161\nVersion=1\nSecurityModel=1\nBulkRepetitions=\n",
         40, "x"}, // an empty key leaves it
    };
    for (const BulkRow &row : rows) {
        QTemporaryDir dir;
        if (row.file)
            writeFile(dir.filePath(QStringLiteral("10.1.1.5.cfg")), row.file);
        QStringList parameters;
        for (const char *p : row.parameters)
            parameters.append(QString::fromLatin1(p));
        KtLaunchRecords records = startRecords();
        KtLaunchParameters::Apply(parameters, dir.path() + u'/', records);
        const std::string what = parameters.join(' ').toStdString();
        EXPECT_EQ(records.bulkRepetitions, row.bulk) << what;
        EXPECT_EQ(records.security.readCommunity, QString::fromLatin1(row.community)) << what;
    }
}

struct NumberRow {
    const char *text;
    bool valid;
    int value;
};

void PrintTo(const NumberRow &row, std::ostream *os) { *os << '"' << row.text << '"'; }

class StrToIntRows : public ::testing::TestWithParam<NumberRow>
{
};

TEST_P(StrToIntRows, Converts)
{
    const NumberRow &row = GetParam();
    const QString text = QString::fromUtf8(row.text);
    if (row.valid) {
        EXPECT_EQ(KtLaunchParameters::StrToInt(text), row.value);
    } else {
        EXPECT_THROW(KtLaunchParameters::StrToInt(text), KtConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Startup, StrToIntRows,
                         ::testing::Values(NumberRow{"161", true, 161},
                                           NumberRow{"  3", true, 3},
                                           NumberRow{"+7", true, 7},
                                           NumberRow{"-3", true, -3},
                                           NumberRow{"007", true, 7},
                                           NumberRow{"2147483647", true, 2147483647},
                                           NumberRow{"-2147483648", true, -2147483647 - 1},
                                           NumberRow{"2147483648", false, 0},
                                           NumberRow{"99999999999999999999", false, 0},
                                           NumberRow{"", false, 0},
                                           NumberRow{" ", false, 0},
                                           NumberRow{"-", false, 0},
                                           NumberRow{"3 ", false, 0},
                                           NumberRow{"1.5", false, 0},
                                           NumberRow{"0x10", false, 0},
                                           NumberRow{"\xd9\xa3", false, 0})); // Arabic-Indic 3

} // namespace
