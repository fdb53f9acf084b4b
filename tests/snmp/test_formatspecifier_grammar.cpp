// The value format specifier grammar: what each specifier means and every refusal.
#include "ktexception.h"
#include "ktformatspecifier.h"
#include "testenv.h"

#include <gtest/gtest.h>
#include <ostream>

#include <limits>

namespace {

struct GoodRow {
    const char *name;
    QString specifier;
    char conversion;
    char delimiter;
    double minimum, maximum;
    int length;
    int flags;
    char skip;
    int width;
};

class GoodSpecifier : public ::testing::TestWithParam<GoodRow> {};

TEST_P(GoodSpecifier, Parses)
{
    const GoodRow &row = GetParam();
    const KtFormatSpec spec = KtFormatSpec::Parse(row.specifier);
    EXPECT_EQ(spec.conversion, QLatin1Char(row.conversion));
    EXPECT_EQ(spec.delimiter, row.delimiter ? QChar(QLatin1Char(row.delimiter)) : QChar());
    EXPECT_EQ(spec.minimum, row.minimum);
    EXPECT_EQ(spec.maximum, row.maximum);
    EXPECT_EQ(spec.length, row.length);
    EXPECT_EQ(spec.flags, row.flags);
    EXPECT_EQ(spec.skipCharacter, row.skip ? QChar(QLatin1Char(row.skip)) : QChar());
    EXPECT_EQ(spec.width, row.width);
}

constexpr double kDblMin = std::numeric_limits<double>::min();
constexpr double kDblMax = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(
    Specifiers, GoodSpecifier,
    ::testing::Values(
        GoodRow{"s", "%s", 's', 0, 0, 0, 0, 0, 0, 0},
        GoodRow{"h", "%h", 'h', 0, 0, 0, 0, 0, 0, 0},
        GoodRow{"uDefaults", "%u", 'u', 0, 0, 4294967295.0, 0, 0, 0, 0},
        GoodRow{"iDefaults", "%i", 'i', 0, -2147483648.0, 2147483647.0, 0, 0, 0, 0},
        GoodRow{"fDefaults", "%f", 'f', 0, kDblMin, kDblMax, 0, 0, 0, 0},
        GoodRow{"nComma", "%n,", 'n', ',', 0, 4294967295.0, 0, 0, 0, 0},
        GoodRow{"port", "%u{n1x65535}", 'u', 0, 1, 65535, 0, 0, 0, 0},
        GoodRow{"interval", "%u{n300x9999999}", 'u', 0, 300, 9999999, 0, 0, 0, 0},
        GoodRow{"vlan", "%u{n1x4094}", 'u', 0, 1, 4094, 0, 0, 0, 0},
        GoodRow{"negativeReal", "%f{n-1.5x2.25}", 'f', 0, -1.5, 2.25, 0, 0, 0, 0},
        GoodRow{"realBoundsWithBarePoint", "%f{n.5x5.}", 'f', 0, 0.5, 5, 0, 0, 0, 0},
        GoodRow{"delimitedWithBounds", "%n.{n1x254l4fa}", 'n', '.', 1, 254, 4, 3, 0, 0},
        GoodRow{"fixedLength", "%s{l8f}", 's', 0, 0, 0, 8, 2, 0, 0},
        GoodRow{"allFlags", "%h{l26afn}", 'h', 0, 0, 0, 26, 7, 0, 0},
        GoodRow{"notEmptyThenMinimum", "%u{l3nn5}", 'u', 0, 5, 4294967295.0, 3, 4, 0, 0},
        GoodRow{"ipOctet", "%u{x255l3ae.w40}", 'u', 0, 0, 255, 3, 1, '.', 40},
        GoodRow{"fourNumbers", "%n,{l4f}", 'n', ',', 0, 4294967295.0, 4, 2, 0, 0},
        GoodRow{"emptyBraces", "%s{}", 's', 0, 0, 0, 0, 0, 0, 0},
        GoodRow{"skipBrace", "%u{e}}", 'u', 0, 0, 4294967295.0, 0, 0, '}', 0}),
    [](const auto &row) { return std::string(row.param.name); });

struct BadRow {
    const char *name;
    QString specifier;
};

class BadSpecifier : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadSpecifier, IsRefusedWithCode2)
{
    try {
        KtFormatSpec::Parse(GetParam().specifier);
        FAIL() << "accepted";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -2);
        EXPECT_EQ(e.text(), "(KtCommon) Bad format specifier of edit's constraint!");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Specifiers, BadSpecifier,
    ::testing::Values(BadRow{"empty", ""}, BadRow{"percentOnly", "%"},
                      BadRow{"noPercent", "u{n1}"}, BadRow{"notStartingWithPercent", "x%u"},
                      BadRow{"unknownConversion", "%d"}, BadRow{"upperCaseConversion", "%U"},
                      BadRow{"nWithoutDelimiter", "%n"},
                      BadRow{"optionsWithoutBraces", "%un1x5"},
                      BadRow{"unclosedBrace", "%u{n1x5"},
                      BadRow{"textAfterBrace", "%u{n1}x"},
                      BadRow{"unknownOption", "%u{q1}"},
                      BadRow{"minimumWithoutNumber", "%u{nx5}"},
                      BadRow{"maximumWithoutNumber", "%u{x}"},
                      BadRow{"minimumNotANumber", "%u{n1-2}"},
                      BadRow{"lengthWithoutDigits", "%s{lf}"},
                      BadRow{"widthWithoutDigits", "%s{w}"},
                      BadRow{"skipWithoutCharacter", "%s{e}"},
                      BadRow{"blankBetweenOptions", "%u{n1 x5}"}),
    [](const auto &row) { return std::string(row.param.name); });

struct SplitRow {
    const char *name;
    QString format;
    QStringList specifiers;
};

class SplitFormat : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitFormat, EveryPercentAfterTheFirstStartsASpecifier)
{
    EXPECT_EQ(KtFormatSpec::Split(GetParam().format), GetParam().specifiers);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SplitFormat,
    ::testing::Values(SplitRow{"single", "%u{n1x65535}", {"%u{n1x65535}"}},
                      SplitRow{"ipAddress", "%u{x255}%u{x255}%u{x255}%u{x255}",
                               {"%u{x255}", "%u{x255}", "%u{x255}", "%u{x255}"}},
                      SplitRow{"mixed", "%s%h{l2}", {"%s", "%h{l2}"}},
                      SplitRow{"empty", "", {}}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
