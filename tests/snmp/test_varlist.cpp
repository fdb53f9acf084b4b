// Variable lists built from static item tables, their copies and their access predicates.
#include "ktkeywords.h"
#include "ktoptionlist.h"
#include "ktsnmpvaritem.h"
#include "testenv.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

const KtOption kModes[] = {
    {1, nullptr, "Access Point"}, {2, nullptr, "WDS"}, {0, nullptr, nullptr},
};
const KtOptionList kModeList(kModes, KtOptionList::Numeric);

#define OID(n) "1.3.6.1.4.1.32473.11.37.1." #n
const KtSNMPVarItem kTable[] = {
    {OID(1), "Index", SYN_INTEGER, ACC_NOTACCESS, nullptr, {}, {}, {}, {}, {}},
    {OID(2), "Mode", SYN_INTEGER, ACC_READWRITE, &kModeList, "$1*2", "$1/2", "remark",
     "Access Point", {}},
    {OID(3), "Key", SYN_OCTETSTR, ACC_WRITEONLY, nullptr, {}, {}, {}, {}, {}},
    {OID(4), "Gone", SYN_INTEGER, ACC_READWRITE | ACC_INVALID, nullptr, {}, {}, {}, {}, {}},
    {OID(5), "Secret", SYN_DISPLAYSTR, ACC_READONLY | ACC_HIDDEN, nullptr, {}, {}, {}, {}, {}},
    {OID(6), "Count", SYN_COUNTER, ACC_DERIVED, nullptr, {}, {}, {}, {}, {}},
    {OID(7), "Name", SYN_DISPLAYSTR, ACC_READONLY | ACC_IMPLIED, nullptr, {}, {}, {}, {}, {}},
    {{}, {}, 0, 0, nullptr, {}, {}, {}, {}, {}},
};
#undef OID

const KtSNMPVarItem kEmpty[] = {
    {{}, "ignored", SYN_INTEGER, ACC_READWRITE, nullptr, {}, {}, {}, {}, {}},
    {"1.3.6.1.2.1.1.5", "after the end", SYN_DISPLAYSTR, ACC_READWRITE, nullptr, {}, {}, {}, {},
     {}},
};

TEST(VarList, TableIsCopiedUpToTheRecordWithoutOid)
{
    KtSNMPVarList list(kTable, MVT_FMV, 1);
    ASSERT_EQ(list.Count(), 7);
    EXPECT_EQ(list.itemType, MVT_FMV);
    EXPECT_EQ(list.keyCount, 1);
    EXPECT_TRUE(list.instance.isEmpty());
    EXPECT_TRUE(list.listName.isEmpty());
    const KtSNMPVarItem &mode = list.Item(1);
    EXPECT_EQ(mode.name, "Mode");
    EXPECT_EQ(mode.optionList, &kModeList);
    EXPECT_EQ(mode.getExpression, "$1*2");
    EXPECT_EQ(mode.setExpression, "$1/2");
    EXPECT_EQ(mode.remark, "remark");
    EXPECT_EQ(mode.value, "Access Point");
    EXPECT_TRUE(mode.lastOid.isEmpty());
}

TEST(VarList, TableStartingWithTheTerminatorGivesAnEmptyList)
{
    KtSNMPVarList list(kEmpty, SVT_SV, 0);
    EXPECT_EQ(list.Count(), 0);
    list.AddItems(kEmpty);
    EXPECT_EQ(list.Count(), 0);
    list.AddItems(nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(VarList, AddItemsAppends)
{
    KtSNMPVarList list(kTable, SVT_SV, 0);
    list.AddItems(kTable);
    EXPECT_EQ(list.Count(), 14);
    EXPECT_EQ(list.Item(7).oid, kTable[0].oid);
}

TEST(VarList, CopyIsDeep)
{
    KtSNMPVarList list(kTable, MVT_UMV, 1);
    list.instance = "3";
    list.listName = "Clients";
    KtSNMPVarList copy(list);
    copy.Item(1).value = "WDS";
    copy.Item(1).lastOid = "1.2";
    EXPECT_EQ(list.Item(1).value, "Access Point");
    EXPECT_TRUE(list.Item(1).lastOid.isEmpty());
    EXPECT_EQ(copy.instance, "3");
    EXPECT_EQ(copy.listName, "Clients");
    EXPECT_EQ(copy.keyCount, 1);
}

TEST(VarList, AssignKeepsTheInstance)
{
    KtSNMPVarList source(kTable, MVT_FMV, 2);
    source.listName = "Table";
    source.instance = "9";
    KtSNMPVarList target;
    target.instance = "1";
    target.AddItems(kEmpty);
    target.Assign(source);
    EXPECT_EQ(target.Count(), 7);
    EXPECT_EQ(target.itemType, MVT_FMV);
    EXPECT_EQ(target.keyCount, 2);
    EXPECT_EQ(target.listName, "Table");
    EXPECT_EQ(target.instance, "1");
}

TEST(VarList, OwnedOptionListsOutliveTheListThatAdoptedThemWhileCopiesUseThem)
{
    KtSNMPVarList copy;
    {
        KtSNMPVarList list(kTable, SVT_SV, 0);
        auto owned = std::make_unique<KtOptionList>(KtOptionList::Text);
        owned->AddEntry("a", "Alpha");
        list.Item(0).optionList = list.AdoptOptionList(std::move(owned));
        copy = list;
    }
    ASSERT_NE(copy.Item(0).optionList, nullptr);
    EXPECT_EQ(copy.Item(0).optionList->LabelOf("a"), "Alpha");
}

TEST(VarList, EffectiveOidAppendsTheInstance)
{
    KtSNMPVarList list(kTable, SVT_SV, 0);
    EXPECT_EQ(list.EffectiveOid(0), "1.3.6.1.4.1.32473.11.37.1.1");
    list.instance = "3";
    EXPECT_EQ(list.EffectiveOid(0), "1.3.6.1.4.1.32473.11.37.1.1.3");
}

struct PredicateRow {
    const char *name;
    int item;
    int itemType;
    bool readable, writable, visible, hidden, implied;
};

class Predicates : public ::testing::TestWithParam<PredicateRow> {};

TEST_P(Predicates, FollowTheAccessFlags)
{
    const PredicateRow &row = GetParam();
    KtSNMPVarList list(kTable, row.itemType, 1);
    EXPECT_EQ(list.IsReadable(row.item), row.readable);
    EXPECT_EQ(list.IsWritable(row.item), row.writable);
    EXPECT_EQ(list.IsVisibleColumn(row.item), row.visible);
    EXPECT_EQ(list.IsHiddenColumn(row.item), row.hidden);
    EXPECT_EQ(list.IsImplied(row.item), row.implied);
}

INSTANTIATE_TEST_SUITE_P(
    Items, Predicates,
    ::testing::Values(
        PredicateRow{"notaccessKeyOfTable", 0, MVT_FMV, false, true, true, false, false},
        PredicateRow{"notaccessKeyOfScalars", 0, SVT_SV, false, false, true, false, false},
        PredicateRow{"readwrite", 1, MVT_FMV, true, true, true, false, false},
        PredicateRow{"writeonlyZeroWidth", 2, MVT_FMV, false, true, false, true, false},
        PredicateRow{"readwriteInvalidIsNothing", 3, MVT_FMV, false, false, false, true, false},
        PredicateRow{"hiddenReadonly", 4, SVT_SV, true, false, false, true, false},
        PredicateRow{"derived", 5, SVT_SV, false, false, true, false, false},
        PredicateRow{"impliedKey", 6, MVT_UMV, true, false, true, false, true}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(VarList, ColumnCounts)
{
    KtSNMPVarList list(kTable, MVT_FMV, 1);
    EXPECT_EQ(list.VisibleColumnCount(), 4);
    EXPECT_EQ(list.HiddenColumnCount(), 3);
}

TEST(Keywords, TablesNameTheCodes)
{
    EXPECT_EQ(KtKeywords::SyntaxNames().LabelOf("2"), "integer");
    EXPECT_EQ(KtKeywords::SyntaxNames().ValueOf("guage"), "66");
    EXPECT_EQ(KtKeywords::SyntaxNames().ValueOf("uint16"), "198");
    EXPECT_EQ(KtKeywords::SyntaxNames().Count(), 25);
    EXPECT_EQ(KtKeywords::AccessNames().ValueOf("readwrite"), "6");
    EXPECT_EQ(KtKeywords::AccessNames().LabelOf("32"), "invalid");
    EXPECT_EQ(KtKeywords::ListTypeNames().ValueOf("MVT_UMV"), "3");
    EXPECT_EQ(KtKeywords::ListTypeNames().LabelOf("0"), "SVT_SV");
}

} // namespace
