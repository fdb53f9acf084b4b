// Option lookups of numeric, text and prefix lists.
#include "ktoptionlist.h"
#include "testenv.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

const KtOption kRates[] = {
    {0, nullptr, "Auto"}, {1, nullptr, "1 Mbps"}, {11, nullptr, "11 Mbps"}, {-1, nullptr, "Off"},
    {0, nullptr, nullptr},
};

const KtOption kCountries[] = {
    {0, "US", "United States"}, {0, "DE", "Germany"}, {0, "us", "lower case us"},
    {0, nullptr, nullptr},
};

// A prefix list: the value's leading part is shown as its label, the rest stays as it is.
const KtOption kPrefixes[] = {
    {0, "1.3.6.1.4.1.32473", "norvane"}, {0, "1.3.6.1.2.1", "mib-2"}, {0, nullptr, nullptr},
};

struct LookupRow {
    const char *name;
    int list; // 0 numeric, 1 text, 2 text case-sensitive, 3 prefix
    QString text;
    int indexOfValue;
    int indexOfLabel;
    QString labelOf;
    QString valueOf;
};

const KtOptionList &listOf(int which)
{
    static const KtOptionList numeric(kRates, KtOptionList::Numeric);
    static const KtOptionList text(kCountries, KtOptionList::Text);
    static const KtOptionList textCase(kCountries, KtOptionList::Text, true);
    static const KtOptionList prefix(kPrefixes, KtOptionList::Prefix);
    switch (which) {
    case 0:
        return numeric;
    case 1:
        return text;
    case 2:
        return textCase;
    default:
        return prefix;
    }
}

class Lookup : public ::testing::TestWithParam<LookupRow> {};

TEST_P(Lookup, FindsOrPassesThrough)
{
    const LookupRow &row = GetParam();
    const KtOptionList &list = listOf(row.list);
    EXPECT_EQ(list.IndexOfValue(row.text), row.indexOfValue);
    EXPECT_EQ(list.IndexOfLabel(row.text), row.indexOfLabel);
    EXPECT_EQ(list.LabelOf(row.text), row.labelOf);
    EXPECT_EQ(list.ValueOf(row.text), row.valueOf);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Lookup,
    ::testing::Values(
        LookupRow{"numericValue", 0, "11", 2, -1, "11 Mbps", "11"},
        LookupRow{"numericNegativeValue", 0, "-1", 3, -1, "Off", "-1"},
        LookupRow{"numericLabel", 0, "11 Mbps", -1, 2, "11 Mbps", "11"},
        LookupRow{"numericLabelIgnoresCase", 0, "AUTO", -1, 0, "AUTO", "0"},
        LookupRow{"numericNull", 0, "(NULL)", -1, -1, "(NULL)", "(NULL)"},
        LookupRow{"numericUnknown", 0, "5", -1, -1, "5", "5"},
        LookupRow{"numericNotANumber", 0, "1x", -1, -1, "1x", "1x"},
        LookupRow{"textValue", 1, "DE", 1, -1, "Germany", "DE"},
        LookupRow{"textValueIgnoresCase", 1, "de", 1, -1, "Germany", "de"},
        LookupRow{"textFirstMatchWithoutCase", 1, "us", 0, -1, "United States", "us"},
        LookupRow{"textCaseSensitive", 2, "us", 2, -1, "lower case us", "us"},
        LookupRow{"textLabel", 1, "germany", -1, 1, "germany", "DE"},
        LookupRow{"textCaseSensitiveLabel", 2, "germany", -1, -1, "germany", "germany"},
        LookupRow{"prefixValue", 3, "1.3.6.1.4.1.32473.11.37", 0, -1, "norvane.11.37",
                  "1.3.6.1.4.1.32473.11.37"},
        LookupRow{"prefixLabel", 3, "mib-2.1.5.0", -1, 1, "mib-2.1.5.0", "1.3.6.1.2.1.1.5.0"},
        LookupRow{"prefixUnknown", 3, "1.0.8802", -1, -1, "1.0.8802", "1.0.8802"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(OptionList, AddEntryKeepsNumbersNumeric)
{
    KtOptionList list(KtOptionList::Numeric);
    list.AddEntry(" 7 ", "Seven");
    EXPECT_EQ(list.Value(0), "7");
    EXPECT_EQ(list.LabelOf("7"), "Seven");
    EXPECT_EQ(list.Count(), 1);
}

TEST(OptionList, AddEntriesAppendsAfterExisting)
{
    KtOptionList list(kRates, KtOptionList::Numeric);
    list.AddEntries(kRates);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.IndexOfValue("0"), 0); // the first of equal values wins
}

} // namespace
