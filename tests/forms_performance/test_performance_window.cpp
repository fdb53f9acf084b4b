// "Advanced \ Performance" opened against the simulated access point: what each page offers for
// the device's capabilities (region code, turbo modes, XR, automatic channel scan, several
// SSIDs, WDS channel lists, one radio only), and how its rules follow the user's choices.
#include "performancetest.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace performancetest;

namespace {

const QString kWithout = QStringLiteral("Super Mode without Turbo");
const QString kStatic = QStringLiteral("Super Mode with Static Turbo");
const QString kDynamic = QStringLiteral("Super Mode with Dynamic Turbo");
const QString kDisable = QStringLiteral("Disable");

class PerformanceWindow : public PerformanceTest
{
};

TEST(PerformanceRules, DataRateEntriesAndValues)
{
    EXPECT_EQ(TFM_Performace::dataRateEntries(QStringLiteral("Auto 6  9 54 ")),
              (QStringList{"Auto", "6 Mb", "9 Mb", "54 Mb"}));
    EXPECT_EQ(TFM_Performace::bgDataRateEntries(true),
              (QStringList{"Auto", "1 Mb", "2 Mb", "5.5 Mb", "11 Mb"}));
    EXPECT_EQ(TFM_Performace::bgDataRateEntries(false).size(), 13);
    const struct {
        const char *entry;
        const char *value;
    } rows[] = {{"5.5 Mb", "5.5"}, {"54 Mb", "54"}, {"Auto", "Auto"}, {" Mb", " Mb"}, {"", ""}};
    for (const auto &row : rows)
        EXPECT_EQ(TFM_Performace::entryToValue(QString::fromLatin1(row.entry)),
                  QString::fromLatin1(row.value))
            << row.entry;
}

// The 802.11a super-mode box for the device's capabilities, with what the device runs.
TEST_F(PerformanceWindow, SuperModeChoicesFollowRegionAndTurboCapability)
{
    const struct {
        const char *profile;
        bool reduced;
        QStringList choices;
        QString shown;
        QString channel; // the 802.11a channel box: the device's, or the list's first
    } rows[] = {
        // All four values; the device runs without turbo on channel 36.
        {"default", false, {kWithout, kStatic, kDynamic, kDisable}, kWithout, "36"},
        // A restricted region offers no turbo.
        {"v210eu", true, {kDisable, kWithout}, kWithout, "36"},
        // Without turbo the device's static turbo runs as "without", off its turbo channel 42.
        {"turbo0", true, {kDisable, kWithout}, kWithout, "36"},
        // Dynamic turbo only: static turbo is shown as "without".
        {"turbo2", true, {kWithout, kDynamic, kDisable}, kWithout, "36"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.profile);
        startPerformance(QString::fromLatin1(row.profile));
        TFM_Performace &w = open();
        const TFM_Performace::BandPage &a = w.page(A);
        EXPECT_EQ(w.superModeReduced(A), row.reduced);
        EXPECT_EQ(entries(w.shownSuperMode(A)), row.choices);
        EXPECT_EQ(w.shownSuperMode(A)->currentText(), row.shown);
        EXPECT_TRUE(w.shownSuperMode(A)->isVisibleTo(a.sheet));
        EXPECT_FALSE((row.reduced ? a.superMode : a.superModeShown)->isVisibleTo(a.sheet));
        EXPECT_EQ(a.channel->currentText(), row.channel);
        // A super mode runs on "Auto" only.
        EXPECT_EQ(a.dataRate->currentText(), QStringLiteral("Auto"));
        EXPECT_FALSE(a.dataRate->isEnabled());
        // 802.11g knows only the dynamic-turbo rule.
        EXPECT_EQ(w.superModeReduced(G), QLatin1String(row.profile) == "turbo2");
        EXPECT_TRUE(w.page(G).apply->isEnabled());
        m_window.reset();
        TearDown();
    }
}

TEST_F(PerformanceWindow, DeviceWithoutXrOrAutoScanHidesThoseRows)
{
    startPerformance(QStringLiteral("noxr"));
    TFM_Performace &w = open();
    for (int band : {A, G}) {
        const TFM_Performace::BandPage &p = w.page(band);
        EXPECT_FALSE(w.xrSupported(band));
        EXPECT_FALSE(w.autoScanSupported(band));
        EXPECT_FALSE(p.xr->isVisibleTo(p.sheet));
        EXPECT_FALSE(p.xrLabel->isVisibleTo(p.sheet));
        EXPECT_FALSE(p.autoScan->isVisibleTo(p.sheet));
        EXPECT_TRUE(p.wmm->isVisibleTo(p.sheet));
        // No automatic scan: the channel is the user's.
        EXPECT_TRUE(p.channel->isEnabled());
    }
}

TEST_F(PerformanceWindow, AutoChannelScanShownOnlyWithoutSeveralSsids)
{
    {
        startPerformance(QStringLiteral("default"));
        TFM_Performace &w = open();
        for (int band : {A, G}) {
            const TFM_Performace::BandPage &p = w.page(band);
            EXPECT_TRUE(w.autoScanSupported(band));
            EXPECT_FALSE(p.autoScan->isVisibleTo(p.sheet));
            EXPECT_FALSE(p.autoScanLabel->isVisibleTo(p.sheet));
            // The hidden box keeps the device's value and locks nothing: the device scans
            // no channel by itself.
            EXPECT_EQ(p.autoScan->currentText(), kDisable);
            EXPECT_TRUE(p.channel->isEnabled());
        }
        m_window.reset();
        TearDown();
    }
    startPerformance(QStringLiteral("nomssid"));
    TFM_Performace &w = open();
    const TFM_Performace::BandPage &a = w.page(A);
    const TFM_Performace::BandPage &g = w.page(G);
    EXPECT_TRUE(a.autoScan->isVisibleTo(a.sheet));
    // An access point offers the scan on 802.11a; the channel is then the device's choice.
    EXPECT_EQ(a.autoScan->currentText(), QStringLiteral("Enable"));
    EXPECT_FALSE(a.channel->isEnabled());
    EXPECT_TRUE(g.autoScan->isVisibleTo(g.sheet));
    EXPECT_EQ(g.autoScan->currentText(), kDisable);
    EXPECT_TRUE(g.channel->isEnabled());
    choose(g.autoScan, QStringLiteral("Enable"));
    EXPECT_FALSE(g.channel->isEnabled());
    choose(a.autoScan, kDisable);
    EXPECT_TRUE(a.channel->isEnabled());
}

TEST_F(PerformanceWindow, WdsBridgeOffersTheWdsChannelLists)
{
    startPerformance(QStringLiteral("wds"));
    TFM_Performace &w = open();
    const TFM_Performace::BandPage &a = w.page(A);
    ASSERT_TRUE(w.wdsListsAvailable(A));
    EXPECT_EQ(a.apMode->currentText(), QStringLiteral("PtMP Bridge"));
    EXPECT_EQ(entries(a.channel).join(u' '), QStringLiteral("36 40 44 48 149 153 157 161 165"));
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("40"));
    // Static turbo takes the WDS static list; the device's channel is not in it.
    choose(a.superMode, kStatic);
    EXPECT_EQ(entries(a.channel), (QStringList{"42", "152", "160"}));
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("42"));
    // Without super mode the rates are the user's again, and channel 42 is no WDS channel.
    choose(a.superMode, kDisable);
    EXPECT_TRUE(a.dataRate->isEnabled());
    EXPECT_EQ(entries(a.channel).size(), 9);
    EXPECT_EQ(a.channel->currentText(), QStringLiteral("36"));
    // The access point on 802.11g keeps the ordinary list.
    EXPECT_EQ(entries(w.page(G).channel).size(), 11);
}

TEST_F(PerformanceWindow, WithoutWdsListsTheOrdinaryListsServe)
{
    startPerformance(QStringLiteral("nowdslist"));
    simCommand(QStringLiteral("set adAPMode.1 3"));
    TFM_Performace &w = open();
    const TFM_Performace::BandPage &a = w.page(A);
    EXPECT_FALSE(w.wdsListsAvailable(A));
    choose(a.superMode, kDisable);
    EXPECT_EQ(entries(a.channel).size(), 13);
    choose(a.superMode, kStatic);
    EXPECT_EQ(entries(a.channel), (QStringList{"42", "50", "58", "152", "160"}));
}

TEST_F(PerformanceWindow, ElevenBOnlyNarrowsRatesAndForcesLongPreambleWithoutSuperMode)
{
    startPerformance();
    TFM_Performace &w = open();
    const TFM_Performace::BandPage &g = w.page(G);
    choose(g.superMode, kWithout);
    EXPECT_FALSE(g.dataRate->isEnabled());
    m_dialogs.clear();
    choose(g.bgMode, QStringLiteral("11b only"));
    EXPECT_EQ(entries(g.dataRate), TFM_Performace::bgDataRateEntries(true));
    EXPECT_TRUE(g.dataRate->isEnabled());
    EXPECT_EQ(g.preamble->currentText(), QStringLiteral("Long Only"));
    EXPECT_FALSE(g.preamble->isEnabled());
    EXPECT_EQ(g.superMode->currentText(), kDisable);
    EXPECT_FALSE(g.superMode->isEnabled());
    choose(g.bgMode, QStringLiteral("Mixed"));
    EXPECT_EQ(entries(g.dataRate).size(), 13);
    EXPECT_TRUE(g.superMode->isEnabled());
    EXPECT_TRUE(g.preamble->isEnabled());
    EXPECT_TRUE(g.dataRate->isEnabled());
}

// A device that runs without 802.11g turbo still lets the user choose the 802.11g rate.
TEST_F(PerformanceWindow, ElevenGRateFollowsTheSuperModeShownWithoutTurbo)
{
    startPerformance(QStringLiteral("turbo0"));
    TFM_Performace &w = open();
    const TFM_Performace::BandPage &g = w.page(G);
    ASSERT_FALSE(w.superModeReduced(G));
    EXPECT_EQ(g.superMode->currentText(), kDisable);
    EXPECT_TRUE(g.dataRate->isEnabled());
    choose(g.superMode, kWithout);
    EXPECT_FALSE(g.dataRate->isEnabled());
    EXPECT_EQ(g.dataRate->currentText(), QStringLiteral("Auto"));
    choose(g.bgMode, QStringLiteral("11b only"));
    EXPECT_EQ(entries(g.dataRate), TFM_Performace::bgDataRateEntries(true));
    EXPECT_TRUE(g.dataRate->isEnabled());
}

TEST_F(PerformanceWindow, SuperModeWithSeveralSsidsWarnsOnTheUsersChoiceOnly)
{
    startPerformance();
    simCommand(QStringLiteral("set adSuperMode.2 1"));
    TFM_Performace &w = open();
    ASSERT_TRUE(processUntil([&w] { return w.page(G).mssidState->currentIndex() >= 0; }));
    // Opening on a device in that state says nothing.
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    choose(w.page(G).superMode, kDynamic);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text,
              QStringLiteral("If you enable \"Super Mode\", IEEE802.11g MSSID will be disabled!"));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    // 802.11a runs no secondary SSIDs on this device.
    m_dialogs.clear();
    choose(w.page(A).superMode, kDynamic);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(PerformanceWindow, AntennaDiversityIsOneSettingOfBothRadios)
{
    startPerformance();
    TFM_Performace &w = open();
    ASSERT_EQ(w.page(A).antenna->currentText(), QStringLiteral("auto"));
    EXPECT_EQ(w.page(A).antennaDiversity->currentText(), QStringLiteral("Enable"));
    EXPECT_EQ(w.page(G).antennaDiversity->currentText(), QStringLiteral("Enable"));
    choose(w.page(G).antennaDiversity, kDisable);
    for (int band : {A, G}) {
        EXPECT_EQ(w.page(band).antenna->currentText(), QStringLiteral("aut1")) << band;
        // The other page shows what its Apply would write.
        EXPECT_EQ(w.page(band).antennaDiversity->currentText(), kDisable) << band;
    }
}

// A data rate chosen on 802.11a outlives the page change that rebuilds the box.
TEST_F(PerformanceWindow, ChosenRateSurvivesAPageChange)
{
    startPerformance();
    TFM_Performace &w = open();
    const TFM_Performace::BandPage &a = w.page(A);
    choose(a.superMode, kDisable);
    ASSERT_TRUE(a.dataRate->isEnabled());
    EXPECT_EQ(entries(a.dataRate), TFM_Performace::dataRateEntries(
                                       QStringLiteral("Auto 6 9 12 18 24 36 48 54")));
    choose(a.dataRate, QStringLiteral("54 Mb"));
    w.PageControl1->setCurrentIndex(G);
    w.PageControl1->setCurrentIndex(A);
    EXPECT_EQ(a.dataRate->currentText(), QStringLiteral("54 Mb"));
}

TEST_F(PerformanceWindow, RefreshShowsTheDeviceAgain)
{
    startPerformance();
    TFM_Performace &w = open();
    simCommand(QStringLiteral("set adBeaconInterval.1 250"));
    simCommand(QStringLiteral("set adbgMode.2 1"));
    w.page(A).beaconInterval->setText(QStringLiteral("300"));
    w.page(A).refresh->click();
    EXPECT_EQ(w.page(A).beaconInterval->text(), QStringLiteral("250"));
    EXPECT_EQ(w.page(G).bgMode->currentText(), QStringLiteral("Mixed"));
    w.page(G).refresh->click();
    EXPECT_EQ(w.page(G).bgMode->currentText(), QStringLiteral("11b only"));
    EXPECT_EQ(entries(w.page(G).dataRate), TFM_Performace::bgDataRateEntries(true));
    EXPECT_EQ(w.page(G).preamble->currentText(), QStringLiteral("Long Only"));
    EXPECT_TRUE(processUntil([&w] { return !w.isWorking(); }));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

// The one radio of a single-radio device works; the absent one's page has nothing to apply
// and nothing of it is written.
TEST_F(PerformanceWindow, SingleRadioDeviceAppliesOnlyTheRadioItHas)
{
    startPerformance(QStringLiteral("single-radio"));
    TFM_Performace &w = open();
    EXPECT_FALSE(w.page(A).apply->isEnabled());
    EXPECT_TRUE(w.page(A).refresh->isEnabled());
    ASSERT_TRUE(w.page(G).apply->isEnabled());
    EXPECT_EQ(w.page(G).beaconInterval->text(), QStringLiteral("100"));
    const QStringList written = apply(w, G);
    EXPECT_FALSE(written.isEmpty());
    for (const QString &line : written) {
        EXPECT_TRUE(line.contains(QStringLiteral("-> noError"))) << line.toStdString();
        // No variable of the 802.11a radio (band component 1).
        EXPECT_FALSE(line.contains(QStringLiteral(".1="))) << line.toStdString();
    }
    EXPECT_EQ(m_waiting.shown().size(), 1);
    // The 802.11a page's Apply writes nothing.
    EXPECT_TRUE(apply(w, A).isEmpty());
}

// A device that stops answering: the window opens with what it has (once one read has timed
// out it asks nothing more), offers no Apply without the radio's values, and a Refresh once the
// device answers again brings the page back.
TEST_F(PerformanceWindow, SilentDeviceOpensWithoutApplyAndRefreshBringsThePageBack)
{
    startPerformance();
    simCommand(QStringLiteral("silent 120"));
    TFM_Performace &w = open();
    EXPECT_FALSE(w.page(A).apply->isEnabled());
    EXPECT_FALSE(w.page(G).apply->isEnabled());
    EXPECT_TRUE(statusText(w).contains(QStringLiteral("timed out")))
        << statusText(w).toStdString();
    // Not known to be missing: the rows stay.
    EXPECT_TRUE(w.xrSupported(A));
    EXPECT_TRUE(w.page(A).xr->isVisibleTo(w.page(A).sheet));
    markLog();
    EXPECT_TRUE(apply(w, A).isEmpty());

    simCommand(QStringLiteral("silent 0"));
    w.page(A).refresh->click();
    EXPECT_TRUE(w.page(A).apply->isEnabled());
    EXPECT_EQ(w.page(A).beaconInterval->text(), QStringLiteral("100"));
    EXPECT_EQ(w.page(A).xr->currentText(), kDisable);
    EXPECT_TRUE(processUntil([&w] { return !w.isWorking(); }));
    EXPECT_EQ(entries(w.page(A).channel).size(), 13);
}

} // namespace
