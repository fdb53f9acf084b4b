// Value texts of every syntax in both directions: what a read stores and what a set sends.
#include "ktdatetime.h"
#include "ktexception.h"
#include "ktsnmpvalue.h"
#include "ktsnmpvaritem.h"
#include "testenv.h"

#include <gtest/gtest.h>
#include <ostream>

#include <cstring>

namespace {

KtWireValue number(KtWireValue::Type type, quint64 n)
{
    KtWireValue v;
    v.type = type;
    v.number = n;
    return v;
}

KtWireValue bytes(KtWireValue::Type type, const QByteArray &b)
{
    KtWireValue v;
    v.type = type;
    v.bytes = b;
    return v;
}

QByteArray rawDouble(double d)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &d, 8); // the x86 layout the device uses
    return b;
}

using T = KtWireValue::Type;

// ---- Received bindings --------------------------------------------------------------------

struct FromWireRow {
    const char *name;
    int syntax;
    KtWireValue wire;
    QString text;
};

class FromWire : public ::testing::TestWithParam<FromWireRow> {};

TEST_P(FromWire, StoresTheTextOfItsSyntax)
{
    const FromWireRow &row = GetParam();
    EXPECT_EQ(KtValue::fromWire(row.syntax, row.wire), row.text);
}

const QByteArray kDateAndTime("\x07\xD6\x03\x05\x0D\x1E\x0F\x00\x2D\x05\x00", 11);

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, FromWire,
    ::testing::Values(
        FromWireRow{"booleanTrue", SYN_BOOLEAN, number(T::Integer, 5), "true"},
        FromWireRow{"booleanFalse", SYN_BOOLEAN, number(T::Integer, 0), "false"},
        FromWireRow{"integerNegative", SYN_INTEGER, number(T::Integer, 0xFFFFFFFE), "-2"},
        FromWireRow{"octetstrUpperHexNoSeparators", SYN_OCTETSTR,
                    bytes(T::OctetString, QByteArray("\x00\x0f\x3d\xfa\x6d\xb1", 6)),
                    "000F3DFA6DB1"},
        FromWireRow{"macaddress", SYN_MACADDRESS,
                    bytes(T::OctetString, QByteArray("\x00\x0f\x3d\xfa\x6d\xb1", 6)),
                    "000F3DFA6DB1"},
        FromWireRow{"octetstrEmptyKeepsEmptyText", SYN_OCTETSTR, bytes(T::OctetString, {}),
                    ""},
        FromWireRow{"opaqueEmptyKeepsEmptyText", SYN_OPAQUE, bytes(T::Opaque, {}), ""},
        FromWireRow{"displaystrEmptyIsEmptyText", SYN_DISPLAYSTR, bytes(T::OctetString, {}), ""},
        FromWireRow{"displaystr", SYN_DISPLAYSTR, bytes(T::OctetString, "QRN-7300XB"),
                    "QRN-7300XB"},
        FromWireRow{"ipaddressEmptyIsNull", SYN_IPADDRESS, bytes(T::IpAddress, {}), "(NULL)"},
        FromWireRow{"ipaddress", SYN_IPADDRESS,
                    bytes(T::IpAddress, QByteArray("\xC0\xA8\x00\x01", 4)), "192.168.0.1"},
        FromWireRow{"nullBinding", SYN_INTEGER, KtWireValue{}, "(NULL)"},
        FromWireRow{"noSuchInstance", SYN_DISPLAYSTR, number(T::NoSuchInstance, 0), "(NULL)"},
        FromWireRow{"nullSyntax", SYN_NULL, number(T::Integer, 0), "(NULL)"},
        FromWireRow{"counterTop", SYN_COUNTER, number(T::Counter32, 4294967295u),
                    "4294967295"},
        FromWireRow{"guage", SYN_GUAGE, number(T::Gauge32, 7), "7"},
        FromWireRow{"uinteger", SYN_UINTEGER, number(T::UInteger32, 3000000000u),
                    "3000000000"},
        FromWireRow{"timeticks", SYN_TIMETICKS, number(T::TimeTicks, 9378405),
                    "1 days, 02h:03m:04s.05th"},
        FromWireRow{"counter64Decimal", SYN_COUNTER64,
                    number(T::Counter64, 18446744073709551615ull), "18446744073709551615"},
        FromWireRow{"double", SYN_DOUBLE, bytes(T::OctetString, rawDouble(2.5)), "2.5"},
        FromWireRow{"doubleTooShortIsNull", SYN_DOUBLE, bytes(T::OctetString, "\x01\x02"),
                    "(NULL)"},
        FromWireRow{"datetimeWithOffset", SYN_DATETIME, bytes(T::OctetString, kDateAndTime),
                    "2006-3-5,13:30:15.0,-5:0"},
        FromWireRow{"datetimeEightBytes", SYN_DATETIME,
                    bytes(T::OctetString, kDateAndTime.left(8)), "2006-3-5,13:30:15.0"},
        FromWireRow{"bcdatetimeAfternoon", SYN_BCDATETIME,
                    bytes(T::OctetString, rawDouble(38781.5626736111)),
                    "2006/03/05 01:30:15 pm"},
        FromWireRow{"bcdatetimeMidnight", SYN_BCDATETIME,
                    bytes(T::OctetString, rawDouble(38781.0)), "2006/03/05 12:00:00 am"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(FromWire, ObjectIdIsDotted)
{
    KtWireValue v;
    v.type = T::ObjectId;
    v.oid = {1, 3, 6, 1, 4, 1, 32473, 11, 37};
    EXPECT_EQ(KtValue::fromWire(SYN_OBJECTID, v), "1.3.6.1.4.1.32473.11.37");
}

// ---- Round trips --------------------------------------------------------------------------

struct RoundTripRow {
    const char *name;
    int syntax;
    QString text;
    T type;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripRow> {};

TEST_P(RoundTrip, TextToWireAndBackIsLossless)
{
    const RoundTripRow &row = GetParam();
    const KtWireValue wire = KtValue::toWire(row.syntax, row.text);
    EXPECT_EQ(wire.type, row.type);
    EXPECT_EQ(KtValue::fromWire(row.syntax, wire), row.text);
}

TEST_P(RoundTrip, TextToBytesAndBackIsLossless)
{
    const RoundTripRow &row = GetParam();
    // No bytes read back as the empty text for displaystr.
    const QString expected =
        row.syntax == SYN_DISPLAYSTR && row.text == KT_NULL_TEXT ? QString() : row.text;
    EXPECT_EQ(KtValue::bytesToText(row.syntax, KtValue::textToBytes(row.syntax, row.text)),
              expected);
}

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, RoundTrip,
    ::testing::Values(
        RoundTripRow{"booleanTrue", SYN_BOOLEAN, "true", T::Integer},
        RoundTripRow{"booleanFalse", SYN_BOOLEAN, "false", T::Integer},
        RoundTripRow{"integerMin", SYN_INTEGER, "-2147483648", T::Integer},
        RoundTripRow{"integerMax", SYN_INTEGER, "2147483647", T::Integer},
        RoundTripRow{"bitstr", SYN_BITSTR, "80", T::OctetString},
        RoundTripRow{"octetstr", SYN_OCTETSTR, "00FF7F", T::OctetString},
        RoundTripRow{"opaque", SYN_OPAQUE, "DEADBEEF", T::Opaque},
        RoundTripRow{"macaddress", SYN_MACADDRESS, "000F3DFA6DB1", T::OctetString},
        RoundTripRow{"objectid", SYN_OBJECTID, "1.3.6.1.2.1.1.1.0", T::ObjectId},
        RoundTripRow{"ipaddress", SYN_IPADDRESS, "10.0.255.1", T::IpAddress},
        RoundTripRow{"nsapaddr", SYN_NSAPADDR, "172.16.0.9", T::IpAddress},
        RoundTripRow{"counter", SYN_COUNTER, "4294967295", T::Counter32},
        RoundTripRow{"guage", SYN_GUAGE, "0", T::Gauge32},
        RoundTripRow{"timeticksZero", SYN_TIMETICKS, "0 days, 00h:00m:00s.00th", T::TimeTicks},
        RoundTripRow{"timeticksTop", SYN_TIMETICKS, "497 days, 02h:27m:52s.95th",
                     T::TimeTicks},
        RoundTripRow{"counter64Top", SYN_COUNTER64, "18446744073709551615", T::Counter64},
        RoundTripRow{"counter64AboveDoublePrecision", SYN_COUNTER64, "9007199254740993",
                     T::Counter64},
        RoundTripRow{"uinteger", SYN_UINTEGER, "3000000000", T::UInteger32},
        RoundTripRow{"double", SYN_DOUBLE, "-0.1", T::OctetString},
        RoundTripRow{"doubleLarge", SYN_DOUBLE, "123456789012.25", T::OctetString},
        RoundTripRow{"datetimeShort", SYN_DATETIME, "2006-3-5,13:30:15.0", T::OctetString},
        RoundTripRow{"datetimeOffset", SYN_DATETIME, "2006-3-5,13:30:15.9,+8:30",
                     T::OctetString},
        RoundTripRow{"bcdatetimeMorning", SYN_BCDATETIME, "2006/03/05 09:05:01 am",
                     T::OctetString},
        RoundTripRow{"bcdatetimeNoon", SYN_BCDATETIME, "2024/02/29 12:00:00 pm",
                     T::OctetString},
        RoundTripRow{"displaystr", SYN_DISPLAYSTR, "Wireless AP #1", T::OctetString},
        RoundTripRow{"displaystrLatin1", SYN_DISPLAYSTR, QString::fromUtf8("Caf\u00e9 \u00b5"),
                     T::OctetString},
        RoundTripRow{"nullOfInteger", SYN_INTEGER, "(NULL)", T::Null},
        RoundTripRow{"nullOfDisplaystr", SYN_DISPLAYSTR, "(NULL)", T::Null}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- Sets ---------------------------------------------------------------------------------

TEST(ToWire, NullTextIsANullBindingForEverySyntax)
{
    for (int syntax : std::initializer_list<int>{SYN_BOOLEAN, SYN_INTEGER, SYN_OCTETSTR,
                                                 SYN_IPADDRESS, SYN_COUNTER64,
                                                 SYN_DATETIME, SYN_DISPLAYSTR, 999})
        EXPECT_EQ(KtValue::toWire(syntax, "(NULL)").type, T::Null) << syntax;
}

TEST(ToWire, DateTimeTravelsWithTheYearMostSignificantByteFirst)
{
    const KtWireValue wire = KtValue::toWire(SYN_DATETIME, "2006-3-5,13:30:15.0,-5:0");
    EXPECT_EQ(wire.bytes, kDateAndTime);
}

TEST(ToWire, DoubleIsItsEightRawBytes)
{
    EXPECT_EQ(KtValue::toWire(SYN_DOUBLE, "2.5").bytes, rawDouble(2.5));
}

TEST(ToWire, TimeTicksAcceptPlainDecimalTicks)
{
    EXPECT_EQ(KtValue::toWire(SYN_TIMETICKS, "9378405").number, 9378405u);
    EXPECT_EQ(KtValue::parseTicks("1 days, 02h:03m:04s.05th"), 9378405u);
}

TEST(ToWire, EmptyIntegerGoesOutAsZero)
{
    // A write of an item that has no control sends its empty text.
    EXPECT_EQ(KtValue::toWire(SYN_INTEGER, "").number, 0u);
    EXPECT_EQ(KtValue::toWire(SYN_INTEGER, "").type, T::Integer);
}

TEST(ToWire, HexAcceptsLowerCaseAndBlanks)
{
    EXPECT_EQ(KtValue::toWire(SYN_OCTETSTR, "00 0f:3d").bytes, QByteArray("\x00\x0f\x3d", 3));
}

struct BadValueRow {
    const char *name;
    int syntax;
    QString text;
};

class ToWireBadValue : public ::testing::TestWithParam<BadValueRow> {};

// Malformed text must not go out as some made-up value.
TEST_P(ToWireBadValue, IsRefusedWith518)
{
    try {
        KtValue::toWire(GetParam().syntax, GetParam().text);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -518);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ToWireBadValue,
    ::testing::Values(BadValueRow{"hexWithLetterG", SYN_OCTETSTR, "0G"},
                      BadValueRow{"ipaddressFiveParts", SYN_IPADDRESS, "1.2.3.4.5"},
                      BadValueRow{"ipaddressOctetTooBig", SYN_IPADDRESS, "1.2.3.256"},
                      BadValueRow{"objectidWithLetters", SYN_OBJECTID, "1.3.x"},
                      BadValueRow{"bcdatetimeGarbage", SYN_BCDATETIME, "yesterday"},
                      // One byte per character: no byte for these, so not sent as "??".
                      BadValueRow{"displaystrBeyondLatin1", SYN_DISPLAYSTR,
                                  QString::fromUtf8("AP \u6771\u4eac")}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- Unknown syntaxes ----------------------------------------------------------------------

TEST(BadSyntax, EveryConversionRefusesWith511)
{
    const auto expect511 = [](auto &&call) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const KtException &e) {
            EXPECT_EQ(e.code(), -511);
            EXPECT_EQ(e.text(), "(KtSNMP++) Bad SNMP syntax!");
        }
    };
    expect511([] { KtValue::fromWire(7, KtWireValue{}); });
    expect511([] { KtValue::toWire(77, "1"); });
    expect511([] { KtValue::textToBytes(0, "1"); });
    expect511([] { KtValue::bytesToText(199, "1"); });
    // Part types exist only inside octet strings.
    expect511([] { KtValue::toWire(SYN_UINT16, "1"); });
}

// ---- Parts of octet strings ---------------------------------------------------------------

TEST(Parts, SixteenBitPartsAreMostSignificantByteFirst)
{
    EXPECT_EQ(KtValue::textToBytes(SYN_UINT16, "258"), QByteArray("\x01\x02", 2));
    EXPECT_EQ(KtValue::bytesToText(SYN_INT16, QByteArray("\xFF\xFE", 2)), "-2");
    EXPECT_EQ(KtValue::bytesToText(SYN_BOOL8, QByteArray("\x01", 1)), "true");
    EXPECT_EQ(KtValue::bytesToText(SYN_INT8, QByteArray("\x80", 1)), "-128");
}

TEST(Parts, IntegersOfFourBytesAreHostOrder)
{
    EXPECT_EQ(KtValue::textToBytes(SYN_INTEGER, "258"), QByteArray("\x02\x01\x00\x00", 4));
}

TEST(Parts, DisplayStringBeyondLatin1IsABadValue)
{
    try {
        KtValue::textToBytes(SYN_DISPLAYSTR, QString::fromUtf8("\u6771"));
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -518);
    }
}

TEST(Parts, APartShorterThanItsTypeIsABadValue)
{
    try {
        KtValue::bytesToText(SYN_IPADDRESS, QByteArray("\x01\x02", 2));
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -518);
    }
}

TEST(Parts, EmptyBytesFollowTheNullRule)
{
    EXPECT_EQ(KtValue::bytesToText(SYN_INTEGER, {}), "(NULL)");
    EXPECT_EQ(KtValue::bytesToText(SYN_DISPLAYSTR, {}), "");
    EXPECT_EQ(KtValue::bytesToText(SYN_OCTETSTR, {}), "");
}

TEST(Printable, RealTextHasNoExponentSoExpressionsCanReadIt)
{
    EXPECT_EQ(KtValue::realText(1e20), "100000000000000000000");
    EXPECT_EQ(KtValue::realText(-0.0), "0");
    EXPECT_EQ(KtValue::realText(0.1), "0.1");
}

} // namespace
