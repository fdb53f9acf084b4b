// Option lists shown in combo boxes and radio groups.
#include "ktoptionlist.h"
#include "ktoptionwidgets.h"
#include "ktradiogroup.h"

#include <QComboBox>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

const KtOption kModes[] = {
    {1, nullptr, "Access Point"}, {2, nullptr, "Point to Point Bridge"},
    {4, nullptr, "Wireless Client"}, {0, nullptr, nullptr},
};

struct SelectRow {
    const char *name;
    QString text;
    int position;
};

class Select : public ::testing::TestWithParam<SelectRow> {};

TEST_P(Select, ComboBoxByLabelThenValue)
{
    const KtOptionList list(kModes, KtOptionList::Numeric);
    QComboBox combo;
    KtOptionWidgets::FillComboBox(list, &combo);
    combo.setCurrentIndex(1);
    EXPECT_EQ(KtOptionWidgets::SelectInComboBox(list, &combo, GetParam().text),
              GetParam().position);
    EXPECT_EQ(combo.currentIndex(), GetParam().position);
}

TEST_P(Select, RadioGroupByLabelThenValue)
{
    const KtOptionList list(kModes, KtOptionList::Numeric);
    KtRadioGroup group;
    KtOptionWidgets::FillRadioGroup(list, &group);
    group.setItemIndex(1);
    EXPECT_EQ(KtOptionWidgets::SelectInRadioGroup(list, &group, GetParam().text),
              GetParam().position);
    EXPECT_EQ(group.itemIndex(), GetParam().position);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(group.button(i)->isChecked(), i == GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Texts, Select,
                         ::testing::Values(SelectRow{"label", "Wireless Client", 2},
                                           SelectRow{"labelAnyCase", "access point", 0},
                                           SelectRow{"value", "2", 1},
                                           SelectRow{"unknownSelectsNothing", "3", -1},
                                           SelectRow{"nullSelectsNothing", "(NULL)", -1}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(OptionWidgets, FillReplacesTheItems)
{
    const KtOptionList list(kModes, KtOptionList::Numeric);
    QComboBox combo;
    combo.addItem("stale");
    KtOptionWidgets::FillComboBox(list, &combo);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(1), "Point to Point Bridge");

    KtRadioGroup group;
    group.setItems({"a", "b", "c", "d"});
    group.setItemIndex(3);
    KtOptionWidgets::FillRadioGroup(list, &group);
    EXPECT_EQ(group.items(), QStringList({"Access Point", "Point to Point Bridge",
                                          "Wireless Client"}));
    EXPECT_EQ(group.itemIndex(), -1);
}

TEST(RadioGroup, ReportsTheCheckedPosition)
{
    KtRadioGroup group;
    group.setItems({"Off", "On"});
    QList<int> seen;
    QObject::connect(&group, &KtRadioGroup::itemIndexChanged, [&seen](int i) { seen.append(i); });
    group.button(1)->click();
    EXPECT_EQ(group.itemIndex(), 1);
    group.setItemIndex(0);
    group.setItemIndex(-1);
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_EQ(seen, QList<int>({1, 0, -1}));
}

} // namespace
