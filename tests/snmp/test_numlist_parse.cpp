// Delimited number lists, quirks of the parser included.
#include "ktnumlist.h"

#include <gtest/gtest.h>

namespace {

struct ParseRow {
    const char *name;
    QString text;
    char delimiter;
    QVector<quint32> values;
};

class UnsignedParse : public ::testing::TestWithParam<ParseRow> {};

TEST_P(UnsignedParse, Values)
{
    const ParseRow &row = GetParam();
    KtUNumList list(QLatin1Char(row.delimiter));
    list.Parse(row.text);
    EXPECT_EQ(list.Values(), row.values);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnsignedParse,
    ::testing::Values(
        ParseRow{"empty", "", ',', {}},
        ParseRow{"one", "42", ',', {42}},
        ParseRow{"commaList", "1,22,333", ',', {1, 22, 333}},
        ParseRow{"dottedDefault", "192.168.0.1", '.', {192, 168, 0, 1}},
        ParseRow{"emptyPartsAreZero", ",5,", ',', {0, 5, 0}},
        ParseRow{"fractionIgnored", "1.9,2.75", ',', {1, 2}},
        // Not checked for digits: "A" is 17 past "0".
        ParseRow{"letterCountsFromZero", "1A", ',', {27}},
        ParseRow{"maxUnsigned", "4294967295", ',', {4294967295u}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(NumList, SignedFormKeepsTheMinusQuirk)
{
    // "-" is 3 below "0": -5 parses as (0*10-3)*10+5.
    KtNumList list(QLatin1Char(','));
    list.Parse("-5,7");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Value(0), -25);
    EXPECT_EQ(list.Value(1), 7);
}

TEST(NumList, IndexOfAndAllWithin)
{
    KtUNumList list(QLatin1Char(','));
    list.Parse("3,0,4094");
    EXPECT_EQ(list.IndexOf(4094u), 2);
    EXPECT_EQ(list.IndexOf(5u), -1);
    EXPECT_TRUE(list.AllWithin(0u, 4094u));
    EXPECT_FALSE(list.AllWithin(1u, 4094u));
    EXPECT_FALSE(list.AllWithin(0u, 4093u));
}

TEST(NumList, UnsignedComparisonForTheUnsignedForm)
{
    KtUNumList list(QLatin1Char(','));
    list.Parse("4000000000");
    EXPECT_TRUE(list.AllWithin(1u, 4294967295u));
    KtNumList signedList(QLatin1Char(','));
    signedList.Parse("4000000000");
    EXPECT_FALSE(signedList.AllWithin(1, 2147483647));
}

TEST(NumList, EmptyListIsAllWithin)
{
    KtUNumList list;
    list.Parse("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.AllWithin(1u, 2u));
}

} // namespace
