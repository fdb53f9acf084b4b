// The request engine without a device: error mapping, row index codecs, the column end test,
// value substitution and expressions.
#include "ktexception.h"
#include "ktmessages.h"
#include "ktoptionlist.h"
#include "ktsnmprequest.h"
#include "testenv.h"

#include <gtest/gtest.h>

namespace {

int codeOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const KtException &e) {
        return e.code();
    }
    return 0;
}

// ---- MapError --------------------------------------------------------------------------------

struct MapRow {
    const char *name;
    int libraryValue;
    int code;
    KtMessages::Table table;
    int position;
};

class MapErrorTest : public ::testing::TestWithParam<MapRow>
{
};

TEST_P(MapErrorTest, GivesCodeAndCatalogueText)
{
    const MapRow &row = GetParam();
    const KtSNMPError status = KtSNMPRequest::MapError(row.libraryValue);
    EXPECT_EQ(status.code, row.code);
    EXPECT_EQ(status.text, KtMessages::text(row.table, row.position));
    EXPECT_FALSE(status.text.isEmpty());
}

using T = KtMessages::Table;
INSTANTIATE_TEST_SUITE_P(
    Rows, MapErrorTest,
    ::testing::Values(MapRow{"success", 0, 0, T::KtSnmp, 0},
                      MapRow{"usmOk", 1400, 0, T::KtSnmp, 0},
                      MapRow{"mpOk", -1401, 0, T::KtSnmp, 0},
                      MapRow{"tooBig", 1, -101, T::Snmp, 0},
                      MapRow{"noSuchName", 2, -102, T::Snmp, 1},
                      MapRow{"overdueFirmware", 19, -119, T::Snmp, 18},
                      MapRow{"mpFirst", -1402, -201, T::SnmpV3, 0},
                      MapRow{"mpLast", -1418, -217, T::SnmpV3, 16},
                      MapRow{"usmFirst", 1401, -301, T::SnmpUsm, 0},
                      MapRow{"usmUnknownUser", 1404, -304, T::SnmpUsm, 3},
                      MapRow{"usmDecryption", 1406, -306, T::SnmpUsm, 5},
                      MapRow{"usmWrongDigest", 1408, -308, T::SnmpUsm, 7},
                      MapRow{"usmUnknownEngineId", 1410, -310, T::SnmpUsm, 9},
                      MapRow{"usmNotInTimeWindow", 1411, -311, T::SnmpUsm, 10},
                      MapRow{"usmLast", 1414, -314, T::SnmpUsm, 13},
                      MapRow{"classError", -1, -401, T::SnmpClass, 0},
                      MapRow{"timeout", -5, -405, T::SnmpClass, 4},
                      MapRow{"invalidPdu", -11, -411, T::SnmpClass, 10},
                      MapRow{"invalidOid", -17, -417, T::SnmpClass, 16},
                      MapRow{"transportFailed", -22, -422, T::SnmpClass, 21},
                      MapRow{"classLast", -23, -423, T::SnmpClass, 22},
                      MapRow{"belowClass", -24, -528, T::KtSnmp, 28},
                      MapRow{"status20", 20, -528, T::KtSnmp, 28},
                      MapRow{"afterUsm", 1415, -528, T::KtSnmp, 28},
                      MapRow{"afterMp", -1419, -528, T::KtSnmp, 28}),
    [](const ::testing::TestParamInfo<MapRow> &row) { return std::string(row.param.name); });

TEST(MapErrorTexts, TimeoutAndOverdueFirmwareReadAsTheUserSeesThem)
{
    KtMessages::resetToBuiltIn();
    EXPECT_EQ(KtSNMPRequest::MapError(-5).text,
              QStringLiteral("(SNMPClass) SNMP request timed out!"));
    EXPECT_EQ(KtSNMPRequest::MapError(19).text,
              QStringLiteral("(SNMP) Cannot download the overdue firmware!"));
    EXPECT_EQ(KtSNMPRequest::MapError(1406).text, QStringLiteral("(SNMPv3USM) Decryption error!"));
    EXPECT_EQ(KtSNMPRequest::MapError(1410).text,
              QStringLiteral("(SNMPv3USM) Unknown EngineID!"));
    EXPECT_EQ(KtSNMPRequest::MapError(1411).text,
              QStringLiteral("(SNMPv3USM) Message not in TimeWindow!"));
}

// ---- Row index codecs ------------------------------------------------------------------------

struct IndexRow {
    const char *name;
    int syntax;
    bool implied;
    const char *suffix;
    const char *value;
    const char *rest;
};

// One key followed by a trailing integer key, so that "rest" shows what the first key left.
class IndexCodecTest : public ::testing::TestWithParam<IndexRow>
{
protected:
    void SetUp() override
    {
        const IndexRow &row = GetParam();
        const KtSNMPVarItem table[] = {
            {QStringLiteral("1.3.6.1.4.1.9.1.1"), QStringLiteral("key"), row.syntax,
             ACC_NOTACCESS | (row.implied ? ACC_IMPLIED : 0), nullptr, {}, {}, {}, {}, {}},
            {QStringLiteral("1.3.6.1.4.1.9.1.2"), QStringLiteral("col"), SYN_INTEGER,
             ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
            {},
        };
        m_request.list = KtSNMPVarList(table, MVT_UMV, 1);
    }
    KtSNMPRequest m_request;
};

TEST_P(IndexCodecTest, DecodesTheKeyAndEncodesItBack)
{
    const IndexRow &row = GetParam();
    const QString rest = m_request.DecodeIndex(0, QString::fromLatin1(row.suffix));
    EXPECT_EQ(m_request.list.Item(0).value, QString::fromLatin1(row.value));
    EXPECT_EQ(rest, QString::fromLatin1(row.rest));

    const QString suffix = QString::fromLatin1(row.suffix);
    const QString consumed = QString::fromLatin1(row.rest).isEmpty()
                                 ? suffix
                                 : suffix.left(suffix.size() - int(strlen(row.rest)) - 1);
    EXPECT_EQ(m_request.EncodeIndex(0), consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, IndexCodecTest,
    ::testing::Values(
        IndexRow{"integer", SYN_INTEGER, false, "5.7", "5", "7"},
        IndexRow{"negativeInteger", SYN_INTEGER, false, "4294967295", "-1", ""},
        IndexRow{"booleanTrue", SYN_BOOLEAN, false, "1.2", "true", "2"},
        IndexRow{"booleanFalse", SYN_BOOLEAN, false, "0", "false", ""},
        IndexRow{"uinteger", SYN_UINTEGER, false, "4000000000.1", "4000000000", "1"},
        IndexRow{"counter", SYN_COUNTER, false, "17", "17", ""},
        IndexRow{"guage", SYN_GUAGE, false, "3000000000.6", "3000000000", "6"},
        IndexRow{"ipaddress", SYN_IPADDRESS, false, "192.168.0.1.9", "192.168.0.1", "9"},
        IndexRow{"nsapaddr", SYN_NSAPADDR, false, "10.0.0.254", "10.0.0.254", ""},
        IndexRow{"octetstr", SYN_OCTETSTR, false, "3.1.2.255.4", "0102FF", "4"},
        IndexRow{"bitstr", SYN_BITSTR, false, "1.128.5", "80", "5"},
        IndexRow{"opaque", SYN_OPAQUE, false, "2.0.1", "0001", ""},
        IndexRow{"impliedOctetstr", SYN_OCTETSTR, true, "1.2.255", "0102FF", ""},
        IndexRow{"emptyOctetstr", SYN_OCTETSTR, false, "0.4", "", "4"},
        IndexRow{"displaystr", SYN_DISPLAYSTR, false, "3.97.98.99.2", "abc", "2"},
        IndexRow{"impliedDisplaystr", SYN_DISPLAYSTR, true, "97.98.99", "abc", ""},
        IndexRow{"objectid", SYN_OBJECTID, false, "3.1.3.6.2", "1.3.6", "2"},
        IndexRow{"impliedObjectid", SYN_OBJECTID, true, "1.3.6.1", "1.3.6.1", ""},
        IndexRow{"macaddress", SYN_MACADDRESS, false, "0.15.61.250.109.177.3", "000F3DFA6DB1",
                 "3"},
        IndexRow{"counter64", SYN_COUNTER64, false, "1.2", "4294967298", ""},
        IndexRow{"null", SYN_NULL, false, "", "(NULL)", ""}),
    [](const ::testing::TestParamInfo<IndexRow> &row) { return std::string(row.param.name); });

class IndexEdgeTest : public ::testing::Test
{
protected:
    void use(int syntax, int access = ACC_NOTACCESS)
    {
        const KtSNMPVarItem table[] = {
            {QStringLiteral("1.3.6.1.4.1.9.1.1"), QStringLiteral("key"), syntax, access, nullptr,
             {}, {}, {}, {}, {}},
            {},
        };
        m_request.list = KtSNMPVarList(table, MVT_UMV, 1);
    }
    KtSNMPRequest m_request;
};

TEST_F(IndexEdgeTest, TimeticksAndDoubleAndDateTimeRoundTrip)
{
    use(SYN_TIMETICKS);
    m_request.DecodeIndex(0, QStringLiteral("8640123"));
    EXPECT_EQ(m_request.EncodeIndex(0), QStringLiteral("8640123"));

    use(SYN_DOUBLE);
    m_request.list.Item(0).value = QStringLiteral("2.5");
    const QString encoded = m_request.EncodeIndex(0);
    EXPECT_EQ(encoded.count(QLatin1Char('.')), 1);
    m_request.DecodeIndex(0, encoded);
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("2.5"));

    use(SYN_DATETIME);
    m_request.DecodeIndex(0, QStringLiteral("7.234.5.17.13.30.15.0.43.2.0"));
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("2026-5-17,13:30:15.0,+2:0"));
    EXPECT_EQ(m_request.EncodeIndex(0), QStringLiteral("7.234.5.17.13.30.15.0.43.2.0"));
}

TEST_F(IndexEdgeTest, BcDateTimeRoundTripsThroughTheTwoHalvesOfItsDouble)
{
    use(SYN_BCDATETIME);
    m_request.list.Item(0).value = QStringLiteral("2026/05/17 01:30:15 pm");
    const QString encoded = m_request.EncodeIndex(0);
    EXPECT_EQ(encoded.count(QLatin1Char('.')), 1);
    m_request.list.Item(0).value.clear();
    EXPECT_EQ(m_request.DecodeIndex(0, encoded + QStringLiteral(".8")), QStringLiteral("8"));
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("2026/05/17 01:30:15 pm"));
}

// Only the last key may go without its length: a string key before it keeps the length
// sub-identifier even when flagged implied.
TEST_F(IndexEdgeTest, ImpliedFlagCountsOnTheLastKeyOnly)
{
    const KtSNMPVarItem table[] = {
        {QStringLiteral("1.3.6.1.4.1.9.1.1"), QStringLiteral("name"), SYN_DISPLAYSTR,
         ACC_NOTACCESS | ACC_IMPLIED, nullptr, {}, {}, {}, {}, {}},
        {QStringLiteral("1.3.6.1.4.1.9.1.2"), QStringLiteral("tail"), SYN_DISPLAYSTR,
         ACC_NOTACCESS | ACC_IMPLIED, nullptr, {}, {}, {}, {}, {}},
        {},
    };
    m_request.list = KtSNMPVarList(table, MVT_FMV, 2);
    const QString rest = m_request.DecodeIndex(0, QStringLiteral("2.97.98.120.121.122"));
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("ab"));
    EXPECT_EQ(m_request.DecodeIndex(1, rest), QString());
    EXPECT_EQ(m_request.list.Item(1).value, QStringLiteral("xyz"));
    EXPECT_EQ(m_request.EncodeIndex(0), QStringLiteral("2.97.98"));
    EXPECT_EQ(m_request.EncodeIndex(1), QStringLiteral("120.121.122"));
}

// A device's row index whose sub-identifiers are not numbers of 32 bits is refused, not read.
TEST_F(IndexEdgeTest, MalformedSubIdentifierIsABadKeyCount)
{
    use(SYN_INTEGER);
    EXPECT_EQ(codeOf([&] { m_request.DecodeIndex(0, QStringLiteral("4294967296")); }), -514);
    EXPECT_EQ(codeOf([&] { m_request.DecodeIndex(0, QStringLiteral(".5")); }), -514);
    EXPECT_EQ(codeOf([&] { m_request.DecodeIndex(0, QStringLiteral("x")); }), -514);
}

TEST_F(IndexEdgeTest, LengthBeyondTheIndexIsABadKeyCount)
{
    use(SYN_DISPLAYSTR);
    EXPECT_EQ(codeOf([&] { m_request.DecodeIndex(0, QStringLiteral("5.97.98")); }), -514);
    use(SYN_IPADDRESS);
    EXPECT_EQ(codeOf([&] { m_request.DecodeIndex(0, QStringLiteral("10.0")); }), -514);
}

TEST_F(IndexEdgeTest, PartSyntaxIsNotAKeySyntax)
{
    use(SYN_BOOL8);
    EXPECT_EQ(codeOf([&] { m_request.DecodeIndex(0, QStringLiteral("1")); }), -511);
    EXPECT_EQ(codeOf([&] { m_request.EncodeIndex(0); }), -511);
}

TEST_F(IndexEdgeTest, MacAddressShorterThanSixBytesEncodesNothing)
{
    use(SYN_MACADDRESS);
    m_request.list.Item(0).value = QStringLiteral("000F3D");
    EXPECT_EQ(m_request.EncodeIndex(0), QString());
}

TEST_F(IndexEdgeTest, KeyWithOptionListStoresTheLabelAndEncodesTheValue)
{
    static const KtOption bands[] = {{1, nullptr, "IEEE 802.11a"}, {2, nullptr, "IEEE 802.11g"},
                                     {0, nullptr, nullptr}};
    KtOptionList options(bands, KtOptionList::Numeric);
    use(SYN_INTEGER);
    m_request.list.Item(0).optionList = &options;
    EXPECT_EQ(m_request.DecodeIndex(0, QStringLiteral("2.5")), QStringLiteral("5"));
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("IEEE 802.11g"));
    EXPECT_EQ(m_request.EncodeIndex(0), QStringLiteral("2"));
}

// ---- Column end ------------------------------------------------------------------------------

TEST(ColumnDone, ComparesOidTextsCharacterByCharacter)
{
    KtSNMPRequest request;
    request.list.itemType = MVT_FMV;
    const QString column = QStringLiteral("1.3.6.1.4.1.9.1.1");
    EXPECT_FALSE(request.IsColumnDone(column, QString(), column + QStringLiteral(".4")));
    // Column ...1.10 still counts as inside column ...1.1.
    EXPECT_FALSE(request.IsColumnDone(column, QString(), QStringLiteral("1.3.6.1.4.1.9.1.10.4")));
    EXPECT_TRUE(request.IsColumnDone(column, QString(), QStringLiteral("1.3.6.1.4.1.9.1.2.4")));
    EXPECT_TRUE(request.IsColumnDone(column, QString(), column));
    // The device repeated itself.
    EXPECT_TRUE(request.IsColumnDone(column, column + QStringLiteral(".4"),
                                     column + QStringLiteral(".4")));

    request.list.itemType = MVT_SV;
    EXPECT_FALSE(request.IsColumnDone(column, QString(), QStringLiteral("1.3.6.1.9")));
    request.list.itemType = SVT_SV;
    EXPECT_FALSE(request.IsColumnDone(column, QString(), QStringLiteral("1.3.6.1.9")));
}

// A device whose get-next answers go back to an OID already passed would keep a walk going for
// ever (row 5, row 4, row 5, ...): such an answer ends the column like a repeated one.
TEST(ColumnDone, AnswerThatDoesNotFollowTheLastOneEndsTheColumn)
{
    KtSNMPRequest request;
    request.list.itemType = MVT_UMV;
    const QString column = QStringLiteral("1.3.6.1.4.1.9.1.1");
    const auto at = [&](const char *row) {
        return column + QLatin1Char('.') + QLatin1String(row);
    };
    EXPECT_TRUE(request.IsColumnDone(column, at("5"), at("4")));
    EXPECT_TRUE(request.IsColumnDone(column, at("4.1"), at("4")));
    EXPECT_TRUE(request.IsColumnDone(column, at("4.2.7"), at("4.1.9")));
    // Sub-identifiers compare as numbers: row 10 follows row 9, though its text sorts first.
    EXPECT_FALSE(request.IsColumnDone(column, at("9"), at("10")));
    EXPECT_FALSE(request.IsColumnDone(column, at("4"), at("4.1")));
    EXPECT_FALSE(request.IsColumnDone(column, at("4.1.9"), at("4.2")));
    // Texts that part inside a sub-identifier compare it whole.
    EXPECT_FALSE(request.IsColumnDone(column, at("12"), at("123")));
    EXPECT_TRUE(request.IsColumnDone(column, at("123"), at("19")));
    EXPECT_FALSE(request.IsColumnDone(column, at("7.19"), at("7.123")));
    EXPECT_TRUE(request.IsColumnDone(column, at("7.5"), at("7.5")));
    // The position of a column that ended in an earlier row, taken from another column.
    EXPECT_FALSE(request.IsColumnDone(column, at("3"), at("7.1")));
    // Scalar lists never end a column, whatever comes back.
    request.list.itemType = MVT_SV;
    EXPECT_FALSE(request.IsColumnDone(column, at("5"), at("4")));
}

// ---- Values in expressions -------------------------------------------------------------------

class ExpressionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const KtSNMPVarItem table[] = {
            {QStringLiteral("1.3.6.1.4.1.9.2"), QStringLiteral("n"), SYN_INTEGER, ACC_READWRITE,
             nullptr, {}, {}, {}, QStringLiteral("5"), {}},
            {QStringLiteral("1.3.6.1.4.1.9.3"), QStringLiteral("b"), SYN_BOOLEAN, ACC_READWRITE,
             nullptr, {}, {}, {}, QStringLiteral("true"), {}},
            {QStringLiteral("1.3.6.1.4.1.9.4"), QStringLiteral("s"), SYN_DISPLAYSTR, ACC_READWRITE,
             nullptr, {}, {}, {}, QStringLiteral("abc"), {}},
            {QStringLiteral("1.3.6.1.4.1.9.5"), QStringLiteral("t"), SYN_TIMETICKS, ACC_READWRITE,
             nullptr, {}, {}, {}, QStringLiteral("250"), {}},
            {},
        };
        m_request.list = KtSNMPVarList(table, SVT_SV, 0);
    }
    KtSNMPRequest m_request;
};

TEST_F(ExpressionTest, SubstitutesNumbersBooleansTicksAndQuotedStrings)
{
    EXPECT_EQ(m_request.SubstituteValues(QStringLiteral("$0+$1*$3"), QStringLiteral("$"), false),
              QStringLiteral("5+1*250"));
    EXPECT_EQ(m_request.SubstituteValues(QStringLiteral("#2 = \"x\""), QStringLiteral("#"), true),
              QStringLiteral("\"abc\" = \"x\""));
    // Item numbers of several digits are read whole; a marker without digits stays.
    EXPECT_EQ(m_request.SubstituteValues(QStringLiteral("$ $10 $0"), QStringLiteral("$"), false),
              QStringLiteral("$ $10 5"));
}

TEST_F(ExpressionTest, TextWithoutQuotesAndNullAreRefused)
{
    EXPECT_EQ(codeOf([&] {
                  m_request.SubstituteValues(QStringLiteral("$2"), QStringLiteral("$"), false);
              }),
              -513);
    m_request.list.Item(0).value = QStringLiteral("(NULL)");
    EXPECT_EQ(codeOf([&] {
                  m_request.SubstituteValues(QStringLiteral("$0"), QStringLiteral("$"), false);
              }),
              -512);
}

TEST_F(ExpressionTest, DeriveStoresTheResultInTheFormOfTheSyntax)
{
    m_request.list.Item(0).getExpression = QStringLiteral("$0 * 3 / 2");
    m_request.Derive(0, true);
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("7")); // 7.5 truncated
    m_request.list.Item(1).setExpression = QStringLiteral("$0 - 7");
    m_request.Derive(1, false);
    EXPECT_EQ(m_request.list.Item(1).value, QStringLiteral("false"));
    // No expression: nothing happens.
    m_request.Derive(2, true);
    EXPECT_EQ(m_request.list.Item(2).value, QStringLiteral("abc"));
    m_request.list.Item(2).getExpression = QStringLiteral("1");
    EXPECT_EQ(codeOf([&] { m_request.Derive(2, true); }), -513);
    // A division by zero gives no whole number: refused, the value stays.
    m_request.list.Item(0).value = QStringLiteral("5");
    m_request.list.Item(0).getExpression = QStringLiteral("$0 / 0");
    EXPECT_EQ(codeOf([&] { m_request.Derive(0, true); }), -513);
    EXPECT_EQ(m_request.list.Item(0).value, QStringLiteral("5"));
}

TEST_F(ExpressionTest, ConditionComparesTheItemValues)
{
    EXPECT_TRUE(m_request.Condition(QString()));
    // Text values arrive quoted, so a value with operators in it stays one operand.
    m_request.list.Item(2).value = QStringLiteral("a|b");
    EXPECT_TRUE(m_request.Condition(QStringLiteral("$2=\"a|b\"")));
    EXPECT_TRUE(m_request.Condition(QStringLiteral("$0=5&$1=1")));
    EXPECT_FALSE(m_request.Condition(QStringLiteral("$0<>5")));
}

} // namespace
