// The radio facts the wireless and performance windows share: the super mode a radio really runs
// and the channel list its channel box offers. A window that derived them on its own would show
// other channels than its sibling for the same device.
#include "radiofacts.h"
#include "testenv.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

using namespace RadioFacts;

const QString kWithout = QStringLiteral("Super Mode without Turbo");
const QString kStatic = QStringLiteral("Super Mode with Static Turbo");
const QString kDynamic = QStringLiteral("Super Mode with Dynamic Turbo");
const QString kDisable = QStringLiteral("Disable");

struct SuperModeRow {
    const char *name;
    Band band;
    QString device;
    QString turbo;
    QString firmware;
    QString expected;
};

TEST(RadioFacts, EffectiveSuperMode)
{
    const SuperModeRow rows[] = {
        {"all turbo modes keep static", Band11a, kStatic, "3", "v2.00", kStatic},
        {"no turbo: static runs without", Band11a, kStatic, "0", "v2.00", kWithout},
        {"no turbo: dynamic runs without", Band11a, kDynamic, "0", "v2.00", kWithout},
        {"no turbo: disabled stays", Band11a, kDisable, "0", "v2.00", kDisable},
        {"restricted region: static runs without", Band11a, kStatic, "3", "v2.10eu", kWithout},
        {"restricted region: disabled stays", Band11a, kDisable, "3", "v2.10cn", kDisable},
        {"unrestricted region keeps static", Band11a, kStatic, "3", "v2.10us", kStatic},
        {"dynamic only: static runs without", Band11a, kStatic, "2", "v2.00", kWithout},
        {"dynamic only keeps dynamic", Band11a, kDynamic, "2", "v2.00", kDynamic},
        {"11g dynamic only: static runs without", Band11g, kStatic, "2", "v2.00", kWithout},
        {"11g knows no region rule", Band11g, kStatic, "3", "v2.10eu", kStatic},
        {"11g without turbo reports as it is", Band11g, kStatic, "0", "v2.00", kStatic},
        {"capability not read yet", Band11a, kStatic, "ED_Turbomode", "Ed_FwVer", kStatic},
    };
    for (const SuperModeRow &row : rows)
        EXPECT_EQ(effectiveSuperMode(row.band, row.device, row.turbo, row.firmware), row.expected)
            << row.name;
}

TEST(RadioFacts, RegionCodeIsCharactersSixAndSeven)
{
    EXPECT_EQ(regionCode(QStringLiteral("v2.10eu")), QStringLiteral("eu"));
    EXPECT_EQ(regionCode(QStringLiteral("v2.00")), QString());
    EXPECT_TRUE(isRestrictedRegion(QStringLiteral("v2.10tw")));
    EXPECT_FALSE(isRestrictedRegion(QStringLiteral("v2.10jp")));
}

TEST(RadioFacts, ChannelListFollowsSuperModeAndWdsLists)
{
    ChannelLists lists;
    lists.normal = QStringLiteral("N");
    lists.dynamicTurbo = QStringLiteral("D");
    lists.staticTurbo = QStringLiteral("S");
    lists.wds = QStringLiteral("WN");
    lists.wdsDynamicTurbo = QStringLiteral("WD");
    lists.wdsStaticTurbo = QStringLiteral("WS");
    const struct {
        QString superMode;
        bool wds;
        QString expected;
    } rows[] = {
        {kWithout, false, "N"}, {kDisable, false, "N"}, {kStatic, false, "S"},
        {kDynamic, false, "D"}, {kWithout, true, "WN"}, {kStatic, true, "WS"},
        {kDynamic, true, "WD"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(channelListFor(lists, row.superMode, row.wds), row.expected)
            << row.superMode.toStdString() << " wds " << row.wds;
}

TEST(RadioFacts, ChannelBoxSelectsTheChannelOrTheFirstEntry)
{
    QComboBox box;
    EXPECT_TRUE(fillChannelBox(&box, QStringLiteral("36 40  44 "), QStringLiteral("40")));
    EXPECT_EQ(box.count(), 3); // the double blank gives no empty channel
    EXPECT_EQ(box.currentText(), QStringLiteral("40"));
    EXPECT_FALSE(fillChannelBox(&box, QStringLiteral("1 6 11"), QStringLiteral("42")));
    EXPECT_EQ(box.currentText(), QStringLiteral("1"));
    EXPECT_FALSE(fillChannelBox(&box, QString(), QStringLiteral("42")));
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST(RadioFacts, WdsModesAreTheFourLinkModes)
{
    for (ApMode mode : {PtPBridge, PtMPBridge, PtPWithout, P2MPWithout})
        EXPECT_TRUE(isWdsMode(apModeLabel(mode))) << mode;
    for (ApMode mode : {AccessPoint, ApRepeater, ApClient})
        EXPECT_FALSE(isWdsMode(apModeLabel(mode))) << mode;
}

} // namespace
